#include "preview/compare.h"

#include <algorithm>

#include "render/render_frame.h"

namespace {

constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kWhite = 1;

unsigned pixels_differing(const Picture& a, const Picture& b) {
  unsigned count = 0;
  for (std::size_t i = 0; i < kPicturePixels; ++i) count += a.pixels[i] != b.pixels[i];
  return count;
}

// The pixels in which the saved frame differs from the registers' frame
// among those that do not depend on the character ROM: a pixel drawn the
// same with the ROM area all $00 and all $FF.
unsigned pixels_differing_without_rom(const Picture& saved, const VideoState& state) {
  VideoState probe = state;
  probe.charRom.emplace();
  probe.charRom->fill(0x00);
  const Picture zeros = render_frame(probe).picture;
  probe.charRom->fill(0xFF);
  const Picture ones = render_frame(probe).picture;
  unsigned count = 0;
  for (std::size_t i = 0; i < kPicturePixels; ++i) {
    count += zeros.pixels[i] == ones.pixels[i] && saved.pixels[i] != zeros.pixels[i];
  }
  return count;
}

// Characters of a text screen at $1000 or $1800 of bank $0000 or $8000:
// the VIC-II sees the ROM there, the export takes the RAM.
bool charset_in_rom(const VideoSetup& setup) {
  const unsigned offset = setup.charsetAddress - setup.bankBase;
  return !setup.bitmapMode && setup.charRomInBank && (offset == 0x1000 || offset == 0x1800);
}

// The viewer programs show 25 rows with the vertical scroll at 3 and
// (bitmaps) 40 columns without horizontal scroll; the text viewer keeps
// $D016.
bool scrolled_or_narrow(const VideoSetup& setup) {
  return !setup.rows25 || setup.yScroll != 3 ||
         (setup.bitmapMode && (!setup.columns40 || setup.xScroll != 0));
}

}  // namespace

Comparison compare_screen_with_viewer(const InputFile& snapshot, const SnapshotReading& reading) {
  // The frame drawn from the registers is drawn once: it is the screen when
  // the snapshot holds no saved frame, and it tells sprites and the ROM.
  Frame registers = registers_frame(reading);
  Comparison comparison;
  comparison.romMissing = registers.readsCharRom && !reading.state.charRom;
  if (std::optional<Picture> saved = saved_frame_picture(snapshot, reading)) {
    comparison.screen = {std::move(*saved), PictureSource::SavedFrame};
    const Picture& screen = comparison.screen.picture;
    comparison.savedFrameWithoutRom = !reading.state.charRom;
    // A frame that fetches nothing from the ROM area depends on no pixel of
    // it: then the registers' frame is the one to count against.
    const unsigned changed = comparison.savedFrameWithoutRom && registers.readsCharRom
                                 ? pixels_differing_without_rom(screen, reading.state)
                                 : pixels_differing(screen, registers.picture);
    if (changed > 0) comparison.savedFrameDiffers = changed;
  } else {
    comparison.screen = {registers.picture, PictureSource::Registers, comparison.romMissing};
    if (reading.setup.rasterInterrupt) comparison.rasterInterruptLine = reading.setup.rasterLine;
  }
  comparison.viewer = viewer_picture(reading);
  comparison.differing = pixels_differing(comparison.screen.picture, comparison.viewer);

  for (int n = 0; n < 8; ++n) {
    if (registers.spritesShown >> n & 1) comparison.sprites.push_back(n);
  }
  const VideoSetup& setup = reading.setup;
  comparison.charsetInRom = charset_in_rom(setup);
  comparison.extendedOrInvalid = setup.extendedColorMode;
  comparison.scrolledOrNarrow = scrolled_or_narrow(setup);
  return comparison;
}

std::vector<std::uint8_t> comparison_picture(const Comparison& comparison) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kComparisonWidth) * kPictureHeight);
  const auto& screen = comparison.screen.picture.pixels;
  const auto& viewer = comparison.viewer.pixels;
  for (std::size_t y = 0; y < kPictureHeight; ++y) {
    const auto from = static_cast<std::ptrdiff_t>(y * kPictureWidth);
    auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y * kComparisonWidth);
    std::copy_n(screen.begin() + from, kPictureWidth, row);
    std::copy_n(viewer.begin() + from, kPictureWidth, row + kPictureWidth);
    std::transform(screen.begin() + from, screen.begin() + from + kPictureWidth,
                   viewer.begin() + from, row + 2 * kPictureWidth,
                   [](std::uint8_t a, std::uint8_t b) { return a != b ? kWhite : kBlack; });
  }
  return pixels;
}
