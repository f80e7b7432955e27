#pragma once

// The pieces of render_frame's model of the VIC-II that other readings of a
// frame share, so that they find the same cell, glyph line and colour for a
// pixel as the drawing does.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/render_frame.h"
#include "snapshot/video_setup.h"

inline constexpr int kTextColumns = 40;

// The display window: raster lines and picture columns, inclusive.
struct Window {
  int topLine, bottomLine, left, right;
};
Window window_of(const VideoSetup& setup);

// The graphics settings of a frame: the mode bits, the bank-relative
// addresses the cells are fetched from, the background colours.
struct Graphics {
  bool ecm, bmm, mcm;
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
  return 32 + setup.xScroll + column * 8;
}

// How a cell's graphics byte turns into pixels: one bit a pixel or one
// pair of bits for two pixels, and the colour of each value. A hires pixel
// is foreground when its bit is 1, a pair when it is 10 or 11. The invalid
// modes draw black but keep their classification.
struct CellColors {
  bool pairs = false;
  std::array<std::uint8_t, 4> color{};
};
CellColors cell_colors(const Graphics& g, std::uint8_t s, std::uint8_t m);

// Bank-relative address of the graphics byte of cell `cell`, pixel line `k`.
unsigned graphics_address(const Graphics& g, int cell, std::uint8_t s, int k);

// The picture pixels (1, row by row) where a sprite that can show gives a
// pixel on the lines of `lines`, whatever its priority against the
// graphics. A sprite whose pointer or data lies in the character ROM area
// while the state does not hold the whole ROM covers its whole box.
std::vector<std::uint8_t> sprite_cover(const VideoState& state, const VideoSetup& setup,
                                       const std::optional<SpritePointers>& pointers,
                                       LineRange lines);
