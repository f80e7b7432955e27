#include "snapshot/saved_frame.h"

#include <algorithm>
#include <array>

#include "io/little_endian.h"

namespace {

// Where the frame's three values start in the VIC-II module, and the width
// of the buffer, for each emulator.
constexpr std::int64_t kCycleExactFrame = 2081;
constexpr std::int64_t kFastFrame = 1259;
constexpr std::int64_t kCycleExactWidth = 384;
constexpr std::int64_t kFastWidth = 504;
// The 504-wide buffer shows its columns 104-487.
constexpr std::int64_t kFastFirstColumn = 104;
constexpr std::int64_t kFrameLines = 312;  // PAL raster lines
constexpr std::int64_t kPaddingLines = 2;
constexpr std::int64_t kFrameHeaderSize = 12;

}  // namespace

std::optional<SavedFrameLocation> locate_saved_frame(const InputFile& input,
                                                     const ModuleEntry& vicModule,
                                                     bool cycleExact) {
  if (vicModule.major < 1 || (vicModule.major == 1 && vicModule.minor < 3)) return std::nullopt;
  const std::int64_t header = vicModule.start + (cycleExact ? kCycleExactFrame : kFastFrame);
  const std::int64_t width = cycleExact ? kCycleExactWidth : kFastWidth;
  std::array<std::uint8_t, kFrameHeaderSize> values{};
  read_at(input, header, values);
  const auto value = [&values](std::size_t at) {
    return std::int64_t{read_le32(std::span<const std::uint8_t, 4>(values.data() + at, 4))};
  };
  if (value(0) != width || value(4) != kFrameLines || value(8) != width) {
    return std::nullopt;
  }
  const std::int64_t end = header + kFrameHeaderSize + width * (kFrameLines + 2 * kPaddingLines);
  if (end > vicModule.start + vicModule.size || end > input.length) return std::nullopt;
  return SavedFrameLocation{header + kFrameHeaderSize + kPaddingLines * width, width};
}

std::vector<std::uint8_t> read_saved_frame(const InputFile& input,
                                           const SavedFrameLocation& frame) {
  // The frame is read a band of lines at a time: the visible lines go to the
  // picture, and every byte is looked at to tell an empty frame.
  constexpr std::int64_t kBandLines = 24;  // 312 = 13 bands
  const auto width = static_cast<std::size_t>(frame.width);
  const std::size_t firstColumn = frame.width == kFastWidth ? kFastFirstColumn : 0;
  std::vector<std::uint8_t> band(width * kBandLines);
  std::vector<std::uint8_t> visible(static_cast<std::size_t>(kVisibleWidth * kVisibleHeight));
  std::uint8_t any = 0;
  for (std::int64_t first = 0; first < kFrameLines; first += kBandLines) {
    read_at(input, frame.firstLine + first * frame.width, band);
    for (const std::uint8_t byte : band) any |= byte;
    for (std::int64_t line = first; line < first + kBandLines; ++line) {
      const std::int64_t y = line - kFirstVisibleLine;
      if (y < 0 || y >= kVisibleHeight) continue;
      const std::uint8_t* from = band.data() + static_cast<std::size_t>(line - first) * width;
      std::transform(from + firstColumn, from + firstColumn + kVisibleWidth,
                     visible.begin() + y * kVisibleWidth,
                     [](std::uint8_t b) { return static_cast<std::uint8_t>(b & 15); });
    }
  }
  if (any == 0) return {};
  return visible;
}
