#include "snapshot/tag_scan.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kTagLength = 4;
// Bytes read at a time: large enough that system calls cost little, small
// enough that a chunk is still in the processor's cache when it is searched.
constexpr std::size_t kChunk = std::size_t{64} << 10;
// Window starts tested at once by the quick test; kChunk is a multiple.
constexpr std::size_t kBlock = 256;

bool is_tag_at(const std::uint8_t* bytes, const char* tag) {
  return std::memcmp(bytes, tag, kTagLength) == 0;
}

// On x86-64 the quick test is compiled twice, for the baseline instruction
// set and for AVX2, and the processor's best is chosen when the program
// starts: twice the width, and the search keeps pace with reading. The
// choice is made by the dynamic loader of ELF systems (an indirect
// function); elsewhere, say in Windows executables, the baseline serves.
#if defined(__x86_64__) && defined(__ELF__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define LUMERIST_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef LUMERIST_VECTOR_CLONES
#define LUMERIST_VECTOR_CLONES
#endif

// Moves `end` down past the whole blocks of kBlock window starts just below
// it in which no window can hold a tag, and returns it: at the start of a
// block that may hold one (its end is returned) or below kBlock. The quick
// test uses what both tags share, 'I' second and 'V' or 'C' first; it is
// one pass without branches per block, which the compiler turns into vector
// instructions. In arbitrary data about one block in 128 passes it. Reads
// bytes[0, end + 1).
LUMERIST_VECTOR_CLONES
std::size_t skip_blocks_without_tags(const std::uint8_t* bytes, std::size_t end) {
  for (; end >= kBlock; end -= kBlock) {
    const std::uint8_t* block = bytes + end - kBlock;
    std::uint8_t any = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
      const std::uint8_t first = block[i];
      const std::uint8_t second = block[i + 1];
      const auto firstFits = static_cast<std::uint8_t>(-(first == 'V') | -(first == 'C'));
      any |= static_cast<std::uint8_t>(firstFits & -(second == 'I'));
    }
    if (any != 0) break;
  }
  return end;
}

// Tests the windows starting at bytes[start, end), last first, for the tags
// not found yet; `base` is the file offset of bytes[0].
void check_windows(const std::uint8_t* bytes, std::size_t start, std::size_t end, std::int64_t base,
                   TagPositions& found) {
  for (std::size_t at = end; at-- > start;) {
    const std::uint8_t* window = bytes + at;
    if (window[1] != 'I') continue;  // both tags have it, few windows do
    if (!found.vic && is_tag_at(window, "VIC-")) found.vic = base + static_cast<std::int64_t>(at);
    if (!found.cia2 && is_tag_at(window, "CIA2")) found.cia2 = base + static_cast<std::int64_t>(at);
    if (found.vic && found.cia2) return;
  }
}

}  // namespace

TagPositions find_last_tags(const InputFile& input) {
  TagPositions found;
  // One chunk of window starts plus the three bytes that follow it, so that
  // windows straddling chunks are seen; past the end of the file they read
  // $FF, which no tag holds.
  const auto chunk = static_cast<std::size_t>(
      std::min<std::int64_t>(input.length, static_cast<std::int64_t>(kChunk)));
  std::vector<std::uint8_t> buffer(chunk + kTagLength - 1);
  for (std::int64_t high = input.length; high > 0 && !(found.vic && found.cia2);) {
    const std::int64_t low = std::max<std::int64_t>(0, high - static_cast<std::int64_t>(kChunk));
    const auto positions = static_cast<std::size_t>(high - low);
    const std::span<std::uint8_t> window(buffer.data(), positions + kTagLength - 1);
    read_at(input, low, window);
    for (std::size_t end = positions; end > 0 && !(found.vic && found.cia2);) {
      end = skip_blocks_without_tags(buffer.data(), end);
      const std::size_t start = end >= kBlock ? end - kBlock : 0;
      check_windows(buffer.data(), start, end, low, found);
      end = start;
    }
    high = low;
  }
  return found;
}
