#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "io/input_file.h"
#include "snapshot/module_directory.h"
#include "snapshot/snapshot_location.h"

// The part of a PAL frame that VICE shows and saves as its screenshot with
// normal borders: 384 x 272 pixels, raster lines 16-287.
inline constexpr int kVisibleWidth = 384;
inline constexpr int kVisibleHeight = 272;
inline constexpr int kFirstVisibleLine = 16;
inline constexpr std::size_t kVisiblePixels = std::size_t{kVisibleWidth} * kVisibleHeight;

// A picture of that part: one colour index (0-15) per pixel, row by row.
struct Picture {
  std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(kVisiblePixels);
  std::uint8_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * kVisibleWidth + static_cast<std::size_t>(x)];
  }
};

// VICE 3.6 and later end the VIC-II module (version 1.3 or later) with the
// frame buffer the emulator last drew: width, height and pitch as LE32,
// then `width` x (height + 4) bytes, two padding lines first, one byte a
// pixel whose low nibble is the colour. Found when the module is recent
// enough, the three values are those of its emulator and both the module
// and the file reach the end of the frame.
std::optional<SavedFrameLocation> locate_saved_frame(const InputFile& input,
                                                     const ModuleEntry& vicModule, bool cycleExact);

// The visible part of the saved frame, colour indices row by row; empty when
// every byte of the frame is zero (VICE leaves it so in some snapshots).
std::vector<std::uint8_t> read_saved_frame(const InputFile& input, const SavedFrameLocation& frame);
