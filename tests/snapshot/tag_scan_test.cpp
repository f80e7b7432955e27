#include "snapshot/tag_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "snapshot_builder.h"

namespace {

Bytes file_of(std::size_t length) {
  return Bytes(length, 0);
}

void put(Bytes& bytes, std::size_t at, const std::string& text) {
  std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

TagPositions scan(const Bytes& bytes) {
  return find_last_tags(memory_input(bytes));
}

TEST(TagScan, LaterTagWins) {
  Bytes bytes = file_of(5000);
  put(bytes, 100, "VIC-");
  put(bytes, 3000, "VIC-");
  put(bytes, 200, "CIA2");
  put(bytes, 2000, "CIA2");
  const TagPositions tags = scan(bytes);
  EXPECT_EQ(tags.vic, 3000);
  EXPECT_EQ(tags.cia2, 2000);
}

TEST(TagScan, TextInDataAfterTheModuleStillWins) {
  Bytes bytes = file_of(5000);
  put(bytes, 100, "VIC-II");  // the real module
  put(bytes, 4500, "...VIC-20 cartridge");
  EXPECT_EQ(scan(bytes).vic, 4503);
}

TEST(TagScan, EveryPositionIsTriedSoOverlappingWindowsMatch) {
  Bytes bytes = file_of(64);
  put(bytes, 10, "VVIC-IC-");
  put(bytes, 30, "CICIA2A2");
  const TagPositions tags = scan(bytes);
  EXPECT_EQ(tags.vic, 11);
  EXPECT_EQ(tags.cia2, 32);
}

TEST(TagScan, TagInTheLastFourBytesIsFoundButNotACutOffOne) {
  Bytes bytes = file_of(100);
  put(bytes, 96, "VIC-");
  EXPECT_EQ(scan(bytes).vic, 96);

  Bytes cut = file_of(100);
  put(cut, 20, "VIC-");
  put(cut, 97, "VIC");  // the fourth byte would lie past the end and reads $FF
  EXPECT_EQ(scan(cut).vic, 20);
}

TEST(TagScan, TagsAtTheVeryStartAndInTinyFiles) {
  Bytes bytes = {'C', 'I', 'A', '2', 'V', 'I', 'C', '-'};
  const TagPositions tags = scan(bytes);
  EXPECT_EQ(tags.cia2, 0);
  EXPECT_EQ(tags.vic, 4);
  EXPECT_FALSE(scan(Bytes{}).vic);
  EXPECT_FALSE(scan(Bytes{'V', 'I', 'C'}).vic);
}

TEST(TagScan, MissingTagsAreReportedIndependently) {
  Bytes bytes = file_of(300);
  put(bytes, 0, "VICE");  // the header is not a tag
  put(bytes, 50, "CIA2");
  const TagPositions tags = scan(bytes);
  EXPECT_FALSE(tags.vic);
  EXPECT_EQ(tags.cia2, 50);
}

// Every window, the forward way: the answer the search must give.
TagPositions scan_every_window(const Bytes& bytes) {
  TagPositions found;
  for (std::size_t at = 0; at + 4 <= bytes.size(); ++at) {
    if (std::equal(bytes.begin() + at, bytes.begin() + at + 4, "VIC-")) found.vic = at;
    if (std::equal(bytes.begin() + at, bytes.begin() + at + 4, "CIA2")) found.cia2 = at;
  }
  return found;
}

// The search reads the file in chunks from the end and skips runs of
// windows in which no tag can start; a tag that straddles two chunks or two
// such runs, and one in the first chunk of a big file, must still be seen.
TEST(TagScan, TagsStraddlingChunksAreFoundFarFromTheEnd) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  const Bytes bytes = file_of(3 * kMiB + 1000);
  // Chunk and run boundaries lie at these distances from the end for any
  // power-of-two sizes from 256 bytes to 1 MiB.
  for (std::size_t distance = 256; distance <= kMiB; distance *= 2) {
    const std::size_t boundary = bytes.size() - distance;
    for (std::size_t at = boundary - 3; at <= boundary; ++at) {
      Bytes copy = bytes;
      put(copy, at, "VIC-");
      put(copy, 7, "CIA2");
      const TagPositions tags = scan(copy);
      EXPECT_EQ(tags.vic, static_cast<std::int64_t>(at)) << distance;
      EXPECT_EQ(tags.cia2, 7) << distance;
    }
  }
}

// Files full of near misses: pieces of both tags sprinkled over arbitrary
// bytes, whole tags now and then, at every length up to a few chunks.
TEST(TagScan, AgreesWithAScanOfEveryWindow) {
  std::uint32_t state = 12345;
  const auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return state >> 8;
  };
  const char* pieces[] = {"VI", "CI", "VIC", "CIA", "IC-", "IA2", "VVI", "CCI", "VIC-", "CIA2"};
  for (int round = 0; round < 40; ++round) {
    Bytes bytes(next() % (300 * 1024));
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(next());
    const std::size_t count = bytes.size() / 64;
    for (std::size_t i = 0; i < count && bytes.size() > 4; ++i) {
      const std::string piece = pieces[next() % (round % 2 ? 8 : 10)];
      put(bytes, next() % (bytes.size() - 4), piece);
    }
    const TagPositions expected = scan_every_window(bytes);
    const TagPositions tags = scan(bytes);
    EXPECT_EQ(tags.vic, expected.vic) << "round " << round << ", " << bytes.size() << " bytes";
    EXPECT_EQ(tags.cia2, expected.cia2) << "round " << round << ", " << bytes.size() << " bytes";
  }
}

}  // namespace
