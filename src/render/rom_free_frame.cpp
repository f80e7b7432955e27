#include "render/rom_free_frame.h"

#include "render/unknown_pixels.h"

RomFreeFrame rom_free_frame(const VideoState& state) {
  RomFreeFrame frame{render_frame(state)};
  if (state.rom_known() || !frame.drawn.readsCharRom) return frame;
  const std::vector<std::uint8_t> unknown =
      unknown_rom_pixels(state, state.vic, state.cia2PortA, std::nullopt);
  if (unknown.empty()) return frame;
  for (std::size_t i = 0; i < kPicturePixels; ++i) {
    frame.showsUnknownRom[i] = unknown[i] != 0;
    frame.unknownPixels += unknown[i] != 0;
  }
  return frame;
}

unsigned pixels_not_drawn(const Picture& saved, const RomFreeFrame& frame) {
  unsigned count = 0;
  for (std::size_t i = 0; i < kPicturePixels; ++i) {
    count += saved.pixels[i] != frame.drawn.picture.pixels[i] && !frame.showsUnknownRom[i];
  }
  return count;
}
