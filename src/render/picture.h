#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "snapshot/saved_frame.h"

// The PAL frame as VICE shows it with normal borders: 384 x 272 pixels,
// picture row 0 being raster line 16. The 320 x 200 window of 25 rows and
// 40 columns starts at (32, 35).
inline constexpr int kPictureWidth = kVisibleWidth;
inline constexpr int kPictureHeight = kVisibleHeight;
inline constexpr int kFirstPictureLine = kFirstVisibleLine;
inline constexpr std::size_t kPicturePixels = std::size_t{kPictureWidth} * kPictureHeight;
static_assert(kPictureWidth == 384 && kPictureHeight == 272 && kFirstPictureLine == 16);
static_assert(kPicturePixels == kVisiblePixels);
