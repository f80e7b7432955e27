#include "preview/compare.h"

#include <algorithm>

#include "render/render_frame.h"
#include "render/rom_free_frame.h"

namespace {

constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kWhite = 1;
constexpr std::uint8_t kDarkGrey = 11;

// Pixels in which `a` and `b` differ, leaving out those of `skipped`.
unsigned pixels_differing(const Picture& a, const Picture& b, const std::vector<bool>* skipped) {
  unsigned count = 0;
  for (std::size_t i = 0; i < kPicturePixels; ++i) {
    count += a.pixels[i] != b.pixels[i] && !(skipped && (*skipped)[i]);
  }
  return count;
}

// Characters of a text screen at $1000 or $1800 of bank $0000 or $8000:
// the VIC-II sees the ROM there.
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
  // The causes name a missing ROM where no glyph is known; where some were
  // read off the saved frame, the pixels of the others still go uncompared.
  const bool romUnknown = registers.readsCharRom && !reading.state.rom_known();
  comparison.romMissing = registers.readsCharRom && !reading.state.charRom;
  // A frame that fetches nothing from the ROM area depends on no pixel of it.
  std::optional<RomFreeFrame> romFree;
  if (romUnknown) romFree = rom_free_frame(reading.state);
  const std::vector<bool>* notCompared = nullptr;
  if (std::optional<Picture> saved = saved_frame_picture(snapshot, reading)) {
    comparison.screen = {std::move(*saved), PictureSource::SavedFrame};
    const Picture& screen = comparison.screen.picture;
    comparison.savedFrameWithoutRom = !reading.state.rom_known();
    const unsigned changed = romFree ? pixels_not_drawn(screen, *romFree)
                                     : pixels_differing(screen, registers.picture, nullptr);
    if (changed > 0) comparison.savedFrameDiffers = changed;
  } else {
    comparison.screen = {registers.picture, PictureSource::Registers, romUnknown};
    if (reading.setup.rasterInterrupt) comparison.rasterInterruptLine = reading.setup.rasterLine;
    if (romFree) {
      notCompared = &romFree->showsUnknownRom;
      comparison.notCompared = romFree->showsUnknownRom;
      comparison.uncompared = romFree->unknownPixels;
    }
  }
  comparison.viewer = viewer_picture(reading);
  comparison.differing =
      pixels_differing(comparison.screen.picture, comparison.viewer, notCompared);

  for (int n = 0; n < 8; ++n) {
    if (registers.spritesShown >> n & 1) comparison.sprites.push_back(n);
  }
  const VideoSetup& setup = reading.setup;
  comparison.charsetInRom = charset_in_rom(setup) && !reading.state.charRom;
  comparison.extendedOrInvalid = setup.extendedColorMode;
  comparison.scrolledOrNarrow = scrolled_or_narrow(setup);
  return comparison;
}

std::vector<std::uint8_t> comparison_picture(const Comparison& comparison) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kComparisonWidth) * kPictureHeight);
  const auto& screen = comparison.screen.picture.pixels;
  const auto& viewer = comparison.viewer.pixels;
  for (std::size_t y = 0; y < kPictureHeight; ++y) {
    const std::size_t from = y * kPictureWidth;
    auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y * kComparisonWidth);
    std::copy_n(screen.begin() + static_cast<std::ptrdiff_t>(from), kPictureWidth, row);
    std::copy_n(viewer.begin() + static_cast<std::ptrdiff_t>(from), kPictureWidth,
                row + kPictureWidth);
    for (std::size_t x = 0; x < kPictureWidth; ++x) {
      const std::size_t i = from + x;
      const bool skipped = !comparison.notCompared.empty() && comparison.notCompared[i];
      row[static_cast<std::ptrdiff_t>(2 * kPictureWidth + x)] = skipped                  ? kDarkGrey
                                                                : screen[i] != viewer[i] ? kWhite
                                                                                         : kBlack;
    }
  }
  return pixels;
}
