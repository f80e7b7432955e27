#pragma once

#include <vector>

#include "render/render_frame.h"
#include "snapshot/video_state.h"

// What a frame drawn from the registers shows when part of the character
// ROM is not known: the state holds no ROM, or only the glyphs read off the
// frame VICE saved.

// The frame drawn, and which of its pixels come out otherwise with other
// bytes in the unknown glyphs (unknown_rom_pixels): those show the unknown
// part of the ROM, whatever it holds, and tell nothing.
struct RomFreeFrame {
  Frame drawn;
  std::vector<bool> showsUnknownRom = std::vector<bool>(kPicturePixels);
  unsigned unknownPixels = 0;  // how many do
};

// The frame of `state` so drawn. Where the whole ROM is known, or the frame
// fetches nothing from the ROM area, no pixel is unknown: one drawing.
RomFreeFrame rom_free_frame(const VideoState& state);

// Pixels in which the frame `saved` differs from `drawn`, leaving out those
// that show the unknown part of the ROM.
unsigned pixels_not_drawn(const Picture& saved, const RomFreeFrame& drawn);
