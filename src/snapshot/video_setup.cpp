#include "snapshot/video_setup.h"

VideoSetup decode_video_setup(const VideoRegisters& r) {
  VideoSetup setup;
  setup.cia2PortA = r.cia2PortA;
  setup.d011 = r.d011;
  setup.d016 = r.d016;
  setup.d018 = r.d018;
  setup.d020 = r.d020;
  setup.d021 = r.d021;
  setup.d022 = r.d022;
  setup.d023 = r.d023;
  setup.multicolorMode = (r.d016 & 0x10) != 0;
  setup.bitmapMode = (r.d011 & 0x20) != 0;
  setup.bankBase = static_cast<std::uint16_t>(0xC000 - (r.cia2PortA & 3) * 0x4000);
  setup.bitmapAddress = static_cast<std::uint16_t>(setup.bankBase + ((r.d018 >> 3) & 1) * 0x2000);
  setup.screenAddress = static_cast<std::uint16_t>(setup.bankBase + (r.d018 >> 4) * 0x400);
  setup.charsetAddress = static_cast<std::uint16_t>(setup.bankBase + ((r.d018 >> 1) & 7) * 0x800);
  return setup;
}
