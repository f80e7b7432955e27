#pragma once

#include <cstdint>

// The register bytes the video state is decoded from, as read from the
// snapshot.
struct VideoRegisters {
  std::uint8_t cia2PortA = 0;  // $DD00, video bank in bits 0-1 (inverted)
  std::uint8_t d011 = 0;       // bit 5: bitmap mode
  std::uint8_t d016 = 0;       // bit 4: multicolour mode
  std::uint8_t d018 = 0;       // screen, bitmap and character set pointers
  std::uint8_t d020 = 0;       // border colour
  std::uint8_t d021 = 0;       // background colour 0
  std::uint8_t d022 = 0;       // background colour 1
  std::uint8_t d023 = 0;       // background colour 2
};

// What the video chip shows: its register bytes, the two mode flags, and the
// C64 addresses of the blocks it displays.
struct VideoSetup {
  std::uint8_t cia2PortA = 0;
  std::uint8_t d011 = 0;
  std::uint8_t d016 = 0;
  std::uint8_t d018 = 0;
  std::uint8_t d020 = 0;
  std::uint8_t d021 = 0;
  std::uint8_t d022 = 0;
  std::uint8_t d023 = 0;
  bool multicolorMode = false;       // bit 4 of d016
  bool bitmapMode = false;           // bit 5 of d011
  std::uint16_t bankBase = 0;        // start of the 16 KiB the video chip sees
  std::uint16_t bitmapAddress = 0;   // start of the 8000-byte bitmap
  std::uint16_t screenAddress = 0;   // start of the 1000-byte screen matrix
  std::uint16_t charsetAddress = 0;  // start of the character set
};

// Decodes flags and addresses. Port A bits 0-1 = 3, 2, 1, 0 select banks
// $0000, $4000, $8000, $C000; every other bit of $DD00, $D011 and $D016, and
// bit 0 of $D018, is ignored.
VideoSetup decode_video_setup(const VideoRegisters& registers);
