// The picture the viewer shows, drawn from the exported blocks: where each
// cell lands, which colour each bit or bit pair takes, and the border.

#include "render/render_screen.h"

#include <gtest/gtest.h>

namespace {

// Top-left pixel of cell `cell` in the picture.
int cell_x(int cell) {
  return kWindowX + (cell % 40) * 8;
}
int cell_y(int cell) {
  return kWindowY + (cell / 40) * 8;
}

// The 8 colour indices of one row of a cell.
std::vector<int> row_of(const Picture& picture, int cell, int row) {
  std::vector<int> colors;
  for (int x = 0; x < 8; ++x) colors.push_back(picture.at(cell_x(cell) + x, cell_y(cell) + row));
  return colors;
}

ViewerBlocks blocks_of(ViewerKind viewer) {
  ViewerBlocks blocks;
  blocks.viewer = viewer;
  blocks.d020 = 0xF3;  // only the low nibble is a colour
  blocks.d021 = 0xF6;
  blocks.d022 = 0xF1;
  blocks.d023 = 0xF2;
  return blocks;
}

TEST(RenderScreen, BorderTakesD020AndFramesTheWholeWindow) {
  ViewerBlocks blocks = blocks_of(ViewerKind::Hires);
  blocks.screen.fill(0x55);
  const Picture picture = render_viewer_screen(blocks);
  ASSERT_EQ(picture.pixels.size(), 384u * 272u);
  for (int y = 0; y < kPictureHeight; ++y) {
    for (int x = 0; x < kPictureWidth; ++x) {
      const bool inWindow = x >= 32 && x < 352 && y >= 36 && y < 236;
      ASSERT_EQ(picture.at(x, y), inWindow ? 5 : 3) << x << "," << y;
    }
  }
}

TEST(RenderScreen, HiresSetBitsTakeTheHighNibbleClearBitsTheLow) {
  ViewerBlocks blocks = blocks_of(ViewerKind::Hires);
  blocks.screen[41] = 0x7A;
  blocks.bitmap[41 * 8 + 2] = 0b10010001;
  blocks.screen[999] = 0x90;
  blocks.bitmap[999 * 8 + 7] = 0x01;
  const Picture picture = render_viewer_screen(blocks);
  EXPECT_EQ(row_of(picture, 41, 2), (std::vector<int>{7, 10, 10, 7, 10, 10, 10, 7}));
  EXPECT_EQ(row_of(picture, 41, 3), std::vector<int>(8, 10));
  EXPECT_EQ(picture.at(351, 235), 9);  // last bit of the last cell
  EXPECT_EQ(picture.at(350, 235), 0);
}

TEST(RenderScreen, MulticolorBitmapDrawsDoubleWidePairs) {
  ViewerBlocks blocks = blocks_of(ViewerKind::Multicolor);
  blocks.screen[1] = 0x2D;
  blocks.colorRam[1] = 0xE5;
  blocks.bitmap[1 * 8 + 4] = 0b00011011;
  const Picture picture = render_viewer_screen(blocks);
  // 00 background, 01 high nibble, 10 low nibble, 11 colour RAM.
  EXPECT_EQ(row_of(picture, 1, 4), (std::vector<int>{6, 6, 2, 2, 13, 13, 5, 5}));
  EXPECT_EQ(row_of(picture, 1, 5), std::vector<int>(8, 6));
}

TEST(RenderScreen, TextDrawsGlyphsInColourRamOnTheBackground) {
  ViewerBlocks blocks = blocks_of(ViewerKind::Text);
  blocks.d016 = 0x08;
  blocks.screen[40] = 0x81;
  blocks.charset[0x81 * 8 + 5] = 0b11000001;
  blocks.colorRam[40] = 0xFB;  // bit 3 has no meaning outside multicolour text
  const Picture picture = render_viewer_screen(blocks);
  EXPECT_EQ(row_of(picture, 40, 5), (std::vector<int>{11, 11, 6, 6, 6, 6, 6, 11}));
  EXPECT_EQ(row_of(picture, 40, 4), std::vector<int>(8, 6));
}

TEST(RenderScreen, MulticolorTextChoosesEachCellsModeByColourRamBit3) {
  ViewerBlocks blocks = blocks_of(ViewerKind::Text);
  blocks.d016 = 0x18;
  blocks.screen[0] = 1;
  blocks.screen[1] = 1;
  blocks.charset[1 * 8] = 0b00011011;
  blocks.colorRam[0] = 0x05;  // bit 3 clear: one pixel per bit
  blocks.colorRam[1] = 0x0D;  // bit 3 set: pairs, bits 0-2 give the colour
  const Picture picture = render_viewer_screen(blocks);
  EXPECT_EQ(row_of(picture, 0, 0), (std::vector<int>{6, 6, 6, 5, 5, 6, 5, 5}));
  EXPECT_EQ(row_of(picture, 1, 0), (std::vector<int>{6, 6, 1, 1, 2, 2, 5, 5}));
}

}  // namespace
