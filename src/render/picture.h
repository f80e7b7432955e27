#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "io/input_file.h"
#include "snapshot/read_snapshot.h"
#include "snapshot/saved_frame.h"

// The PAL frame as VICE shows it with normal borders: 384 x 272 pixels,
// picture row 0 being raster line 16. The 320 x 200 window of 25 rows and
// 40 columns starts at (32, 35).
inline constexpr int kPictureWidth = kVisibleWidth;
inline constexpr int kPictureHeight = kVisibleHeight;
inline constexpr int kFirstPictureLine = kFirstVisibleLine;
inline constexpr std::size_t kPicturePixels = std::size_t{kPictureWidth} * kPictureHeight;
static_assert(kPictureWidth == 384 && kPictureHeight == 272 && kFirstPictureLine == 16);

// One colour index (0-15) per pixel, row by row.
struct Picture {
  std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(kPicturePixels);
  std::uint8_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * kPictureWidth + static_cast<std::size_t>(x)];
  }
};

// The frame VICE saved in the snapshot, when it holds one (not an empty one).
std::optional<Picture> saved_frame_picture(const InputFile& snapshot,
                                           const SnapshotReading& reading);
