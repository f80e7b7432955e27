#pragma once

// Where the VIC-II puts things on the PAL picture (raster line L is picture
// row L - 16): the display window for RSEL and CSEL, the graphics' first
// line and column, the border columns and the sprite X counter. The one
// home of these numbers, for the renderer and the band search alike.

// Text row 0, pixel line 0 is this raster line plus the vertical scroll;
// the 25 rows cover 200 lines.
inline constexpr int kFirstRowLine = 48;
inline constexpr int kGraphicsLines = 200;
// Cell column 0, pixel 0 is this picture column plus the horizontal
// scroll; 40 cells of 8 pixels.
inline constexpr int kGraphicsLeft = 32;
inline constexpr int kCellColumns = 40;

// The display window: raster lines and picture columns, inclusive.
struct DisplayWindow {
  int topLine, bottomLine, left, right;
};
constexpr DisplayWindow display_window(bool rows25, bool columns40) {
  return {rows25 ? 51 : 55, rows25 ? 250 : 246, columns40 ? 32 : 39, columns40 ? 351 : 342};
}
// What every window covers, and what some window covers: outside the
// widest, every picture shows the border.
inline constexpr DisplayWindow kNarrowestWindow = display_window(false, false);
inline constexpr DisplayWindow kWidestWindow = display_window(true, true);

// Whether raster line `line` lies inside the window of 25 rows, of 24 rows.
constexpr bool in_rows(int line, bool rows25) {
  const DisplayWindow w = display_window(rows25, true);
  return line >= w.topLine && line <= w.bottomLine;
}

// The PAL sprite X counter runs 0-503 and wraps; counter position q is
// picture column (q + 8) mod 504.
inline constexpr int kXWrap = 504;
inline constexpr int kXToPicture = 8;
constexpr int sprite_column(int x, int pixel) {
  return ((x + pixel) % kXWrap + kXToPicture) % kXWrap;
}
