#include "snapshot/tag_scan.h"

#include <gtest/gtest.h>

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

// The search reads large files in chunks from the end; a tag that straddles
// two chunks, and one in the first chunk of a big file, must still be seen.
TEST(TagScan, LargeFilesFindTagsAcrossChunkBoundariesAndFarFromTheEnd) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  Bytes bytes = file_of(3 * kMiB + 1000);
  const std::size_t boundary = bytes.size() - kMiB;  // where the last chunk begins
  for (std::size_t at = boundary - 3; at <= boundary; ++at) {
    Bytes copy = bytes;
    put(copy, at, "VIC-");
    put(copy, 7, "CIA2");
    const TagPositions tags = scan(copy);
    EXPECT_EQ(tags.vic, static_cast<std::int64_t>(at));
    EXPECT_EQ(tags.cia2, 7);
  }
}

}  // namespace
