#include "render/picture.h"

std::optional<Picture> saved_frame_picture(const InputFile& snapshot,
                                           const SnapshotReading& reading) {
  if (!reading.location.savedFrame) return std::nullopt;
  std::vector<std::uint8_t> pixels = read_saved_frame(snapshot, *reading.location.savedFrame);
  if (pixels.empty()) return std::nullopt;
  return Picture{std::move(pixels)};
}
