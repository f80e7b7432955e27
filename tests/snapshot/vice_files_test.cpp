// Snapshots saved by VICE 3.10 itself, read where they lie (the folder of
// $LUMERIST_VICE_CASES, by default the cases beside the source tree), with
// VICE's own screenshots beside them as the expected pictures: the reader,
// the true screen and the rip on files no builder of ours made.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "png/palette.h"
#include "png_reading.h"
#include "preview/preview_pictures.h"
#include "render/render_frame.h"
#include "snapshot/read_snapshot.h"
#include "tool_run.h"

#ifndef LUMERIST_VICE_CASES
#error "LUMERIST_VICE_CASES must name the folder of VICE's snapshots"
#endif

namespace {

std::filesystem::path cases_folder() {
  const char* chosen = std::getenv("LUMERIST_VICE_CASES");
  return chosen && *chosen ? chosen : LUMERIST_VICE_CASES;
}

// VICE's screenshot as colour indices; empty when a pixel is no C64 colour.
Bytes screenshot(const std::filesystem::path& png) {
  const std::optional<PngContents> read = read_png(png.string());
  if (!read || read->width != 384 || read->height != 272 || read->colorType != 6) return {};
  Bytes pixels;
  for (const auto& row : read->rows) {
    for (std::size_t x = 0; x < 384; ++x) {
      const Rgb rgb{row[4 * x], row[4 * x + 1], row[4 * x + 2]};
      std::size_t index = 0;
      while (index < 16 &&
             (kC64Palette[index].red != rgb.red || kC64Palette[index].green != rgb.green ||
              kC64Palette[index].blue != rgb.blue)) {
        ++index;
      }
      if (index == 16) return {};
      pixels.push_back(static_cast<std::uint8_t>(index));
    }
  }
  return pixels;
}

struct ViceFile {
  const char* name;
  bool bitmap, multicolor;
  std::uint16_t bank, screen;
  bool romFont;  // characters from the character ROM, which the file does not hold
};

const ViceFile kFiles[] = {
    {"vice310-x64sc-mcbitmap-bank4000", true, true, 0x4000, 0x4400, false},
    {"vice310-x64-mcbitmap-bank4000", true, true, 0x4000, 0x4400, false},
    {"vice310-x64-hires-bankc000", true, false, 0xC000, 0xCC00, false},
    {"vice310-x64sc-text-rom-sprites", false, false, 0x0000, 0x0400, true},
};

TEST(ViceFiles, ReadAsSavedDrawnAsVicesScreenshotAndRippedAsShown) {
  const std::filesystem::path folder = cases_folder();
  if (!std::filesystem::exists(folder / "vice310-x64sc-mcbitmap-bank4000.vsf")) {
    GTEST_SKIP() << "VICE's snapshots are not at " << folder << " (set LUMERIST_VICE_CASES)";
  }
  for (const ViceFile& file : kFiles) {
    SCOPED_TRACE(file.name);
    const std::string snapshot = (folder / (std::string(file.name) + ".vsf")).string();
    const Bytes expected = screenshot(folder / (std::string(file.name) + ".png"));
    ASSERT_EQ(expected.size(), kPicturePixels) << "the screenshot is no C64 picture";

    InputFile input;
    ASSERT_TRUE(open_input(snapshot, input));
    const SnapshotReading reading = read_snapshot(input);
    ASSERT_EQ(reading.error, SnapshotError::None);
    EXPECT_EQ(reading.setup.bitmapMode, file.bitmap);
    EXPECT_EQ(reading.setup.multicolorMode, file.multicolor);
    EXPECT_EQ(reading.setup.bankBase, file.bank);
    EXPECT_EQ(reading.setup.screenAddress, file.screen);
    EXPECT_FALSE(reading.state.charRom) << "these files hold no ROM";

    // The frame VICE saved is its screenshot; the frame drawn from the
    // registers is too, but where it shows the ROM the file does not hold.
    const std::optional<Picture> saved = saved_frame_picture(input, reading);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->pixels, expected);
    VideoState probe = reading.state;
    probe.charRom.emplace();
    probe.charRom->fill(0x00);
    const Picture zeros = render_frame(probe).picture;
    probe.charRom->fill(0xFF);
    const Picture ones = render_frame(probe).picture;
    std::size_t compared = 0, differing = 0;
    for (std::size_t i = 0; i < kPicturePixels; ++i) {
      if (zeros.pixels[i] != ones.pixels[i]) continue;
      ++compared;
      differing += zeros.pixels[i] != expected[i];
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_EQ(compared < kPicturePixels, file.romFont);

    // The rip, from the read-only folder into another: a bitmap's viewer
    // program shows the screen.
    TempDir out;
    const ToolRun rip = run_lumerist({"-o", out.path.string(), snapshot});
    ASSERT_EQ(rip.status, 0) << rip.output;
    EXPECT_EQ(files_in(out.path).size(), file.bitmap && file.multicolor ? 5u : 4u);
    const ToolRun compare = run_lumerist_preview({"--compare", "-o", out.path.string(), snapshot});
    EXPECT_EQ(compare.output.starts_with("Screen and viewer program differ in 0 of 104448 pixels."),
              !file.romFont)
        << compare.output;
  }
}

}  // namespace
