#include "render/render_screen.h"

namespace {

constexpr int kColumns = 40;
constexpr int kCells = 1000;

void set_pixel(Picture& picture, int x, int y, std::uint8_t color) {
  picture.pixels[static_cast<std::size_t>(y * kPictureWidth + x)] = color & 15;
}

// Draws one 8-pixel row of cell `cell`. A hires row maps each bit to
// colors[0] (clear) or colors[1] (set); a multicolour row maps each bit pair
// to colors[0..3], two pixels wide. Bit 7 is leftmost.
void draw_row(Picture& picture, int cell, int row, std::uint8_t bits, bool multicolor,
              const std::array<std::uint8_t, 4>& colors) {
  const int x0 = kWindowX + (cell % kColumns) * 8;
  const int y = kWindowY + (cell / kColumns) * 8 + row;
  for (int pixel = 0; pixel < 8; ++pixel) {
    const int shift = multicolor ? 6 - (pixel & ~1) : 7 - pixel;
    const int index = (bits >> shift) & (multicolor ? 3 : 1);
    set_pixel(picture, x0 + pixel, y, colors[static_cast<std::size_t>(index)]);
  }
}

void draw_bitmap(Picture& picture, const ViewerBlocks& blocks) {
  const bool multicolor = blocks.viewer == ViewerKind::Multicolor;
  for (int cell = 0; cell < kCells; ++cell) {
    const auto i = static_cast<std::size_t>(cell);
    const std::uint8_t high = blocks.screen[i] >> 4;
    const std::uint8_t low = blocks.screen[i] & 15;
    const std::array<std::uint8_t, 4> colors =
        multicolor ? std::array<std::uint8_t, 4>{blocks.d021, high, low, blocks.colorRam[i]}
                   : std::array<std::uint8_t, 4>{low, high, 0, 0};
    for (int row = 0; row < 8; ++row) {
      draw_row(picture, cell, row, blocks.bitmap[i * 8 + static_cast<std::size_t>(row)], multicolor,
               colors);
    }
  }
}

void draw_text(Picture& picture, const ViewerBlocks& blocks) {
  const bool multicolorText = (blocks.d016 & 0x10) != 0;
  for (int cell = 0; cell < kCells; ++cell) {
    const auto i = static_cast<std::size_t>(cell);
    const std::uint8_t color = blocks.colorRam[i];
    // In multicolour text, colour RAM bit 3 selects multicolour for the
    // cell and only bits 0-2 give its colour.
    const bool multicolor = multicolorText && (color & 8) != 0;
    const std::uint8_t foreground = multicolorText ? color & 7 : color;
    const std::array<std::uint8_t, 4> colors =
        multicolor ? std::array<std::uint8_t, 4>{blocks.d021, blocks.d022, blocks.d023, foreground}
                   : std::array<std::uint8_t, 4>{blocks.d021, foreground, 0, 0};
    const std::size_t glyph = static_cast<std::size_t>(blocks.screen[i]) * 8;
    for (int row = 0; row < 8; ++row) {
      draw_row(picture, cell, row, blocks.charset[glyph + static_cast<std::size_t>(row)],
               multicolor, colors);
    }
  }
}

}  // namespace

Picture render_viewer_screen(const ViewerBlocks& blocks) {
  Picture picture;
  for (std::uint8_t& pixel : picture.pixels) pixel = blocks.d020 & 15;
  if (blocks.viewer == ViewerKind::Text) {
    draw_text(picture, blocks);
  } else {
    draw_bitmap(picture, blocks);
  }
  return picture;
}
