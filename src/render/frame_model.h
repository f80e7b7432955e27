#pragma once

// The pieces of render_frame's model of the VIC-II that other readings of a
// frame share, so that they find the same cell, glyph line and colour for a
// pixel as the drawing does.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/cell_pixels.h"
#include "render/render_frame.h"
#include "render/vic_geometry.h"
#include "snapshot/video_setup.h"

using Window = DisplayWindow;
Window window_of(const VideoSetup& setup);

// The graphics settings of a frame: the mode bits, the bank-relative
// addresses the cells are fetched from, the background colours.
struct Graphics {
  CellMode mode;
  unsigned screen, charset, bitmap;
  std::array<std::uint8_t, 4> background;  // $D021-$D024, low nibbles
};
Graphics graphics_of(const VideoSetup& setup, const RegisterImages& vic);

// Which text row and pixel line of it a raster line shows; idle: none of
// the 25 rows (the idle pattern).
struct CellLine {
  bool idle = true;
  int row = 0, k = 0;
};
CellLine cell_line_of(const VideoSetup& setup, int line);

// Picture column of pixel 0 of text column `column` (0-39), scroll included.
inline int cell_left(const VideoSetup& setup, int column) {
  return kGraphicsLeft + setup.xScroll + column * 8;
}

// The picture pixels (1, row by row) where a sprite that can show gives a
// pixel on the lines of `lines`, whatever its priority against the
// graphics. A sprite whose pointer or data lies in the character ROM area
// while the state does not hold the whole ROM covers its whole box.
std::vector<std::uint8_t> sprite_cover(const VideoState& state, const VideoSetup& setup,
                                       const std::optional<SpritePointers>& pointers,
                                       LineRange lines);
