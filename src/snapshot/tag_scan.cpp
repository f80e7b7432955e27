#include "snapshot/tag_scan.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kVicTag = "VIC-";
constexpr std::string_view kCia2Tag = "CIA2";
constexpr std::int64_t kTagLength = 4;
constexpr std::int64_t kChunk = std::int64_t{1} << 20;

// The last position below `positions` at which `tag` starts within `bytes`
// (which holds the tag's remaining bytes past `positions`, where the file
// has them).
std::optional<std::size_t> last_in_chunk(const std::uint8_t* bytes, std::size_t size,
                                         std::size_t positions, std::string_view tag) {
  std::size_t end = positions;
  while (end > 0) {
    const void* hit = memrchr(bytes, static_cast<unsigned char>(tag[0]), end);
    if (!hit) return std::nullopt;
    const auto at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - bytes);
    if (at + tag.size() <= size && std::memcmp(bytes + at, tag.data(), tag.size()) == 0) return at;
    end = at;
  }
  return std::nullopt;
}

}  // namespace

TagPositions find_last_tags(const InputFile& input) {
  TagPositions found;
  std::vector<std::uint8_t> buffer;
  // Chunks [low, high) from the end backwards; each chunk is read with the
  // three bytes that follow it, so windows that straddle chunks are seen.
  for (std::int64_t high = input.length; high > 0 && !(found.vic && found.cia2);) {
    const std::int64_t low = std::max<std::int64_t>(0, high - kChunk);
    const std::int64_t end = std::min(input.length, high + kTagLength - 1);
    buffer.resize(static_cast<std::size_t>(end - low));
    read_at(input, low, buffer);
    const auto positions = static_cast<std::size_t>(high - low);
    if (!found.vic) {
      if (auto at = last_in_chunk(buffer.data(), buffer.size(), positions, kVicTag)) {
        found.vic = low + static_cast<std::int64_t>(*at);
      }
    }
    if (!found.cia2) {
      if (auto at = last_in_chunk(buffer.data(), buffer.size(), positions, kCia2Tag)) {
        found.cia2 = low + static_cast<std::int64_t>(*at);
      }
    }
    high = low;
  }
  return found;
}
