// The PNG file as another program reads it: size, format, palette, pixels.

#include "png/png_file.h"

#include <gtest/gtest.h>

#include "io/output_file.h"
#include "png_reading.h"
#include "render/picture.h"
#include "tool_run.h"

namespace {

Picture numbered_picture() {
  Picture picture;
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    picture.pixels[i] = static_cast<std::uint8_t>((i * 7 + i / 384) % 16);
  }
  return picture;
}

TEST(PngFile, ReadsBackAs384By272FourBitPaletteWithTheC64ColoursPackedEitherWay) {
  for (const PngPacking packing : {PngPacking::Runs, PngPacking::Stored}) {
    TempDir dir;
    const Picture picture = numbered_picture();
    OutputBatch batch;
    ASSERT_TRUE(write_png_file(batch, dir.file("out.png"), picture.pixels, kPictureWidth,
                               kPictureHeight, packing));
    ASSERT_FALSE(commit_outputs(batch).failed);
    const std::optional<PngContents> png = read_png(dir.file("out.png"));
    ASSERT_TRUE(png);
    EXPECT_EQ(png->width, 384u);
    EXPECT_EQ(png->height, 272u);
    EXPECT_EQ(png->bitDepth, 4);
    EXPECT_EQ(png->colorType, 3);
    EXPECT_EQ(png->palette,
              (std::vector<std::uint32_t>{
                  0x000000, 0xFFFFFF, 0x68372B, 0x70A4B2, 0x6F3D86, 0x588D43, 0x352879, 0xB8C76F,
                  0x6F4F25, 0x433900, 0x9A6759, 0x444444, 0x6C6C6C, 0x9AD284, 0x6C5EB5, 0x959595}));
    for (const auto& [x, y] :
         {std::pair{0, 0}, {383, 0}, {1, 1}, {200, 150}, {0, 271}, {383, 271}}) {
      EXPECT_EQ(png->rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)],
                picture.at(x, y))
          << x << "," << y;
    }
  }
}

}  // namespace
