#include "io/input_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "io/output_file.h"
#include "snapshot_builder.h"
#include "tool_run.h"

namespace {

TEST(ReadAt, BytesPastTheEndReadAsFF) {
  const Bytes bytes = {1, 2, 3};
  const InputFile input = memory_input(bytes);
  Bytes out(5);
  read_at(input, 1, out);
  EXPECT_EQ(out, (Bytes{2, 3, 0xFF, 0xFF, 0xFF}));
  read_at(input, 3, out);
  EXPECT_EQ(out, Bytes(5, 0xFF));
  EXPECT_EQ(byte_at(input, 1000000), 0xFF);
}

TEST(ReadAt, BytesBeforeTheStartReadAsFF) {
  const Bytes bytes = {1, 2, 3};
  const InputFile input = memory_input(bytes);
  Bytes out(4);
  read_at(input, -2, out);
  EXPECT_EQ(out, (Bytes{0xFF, 0xFF, 1, 2}));
  read_at(input, INT64_MIN, out);
  EXPECT_EQ(out, Bytes(4, 0xFF));
}

TEST(ReadAt, FileAndMemorySourcesAgree) {
  TempDir dir;
  Bytes bytes(10000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 31);
  write_file(dir.file("data"), bytes);
  InputFile file;
  ASSERT_TRUE(open_input(dir.file("data"), file));
  EXPECT_EQ(file.length, 10000);
  const InputFile memory = memory_input(bytes);
  // Inside, across the start, across the end, past the end, and all of it
  // with room to spare.
  const std::pair<std::int64_t, std::size_t> reads[] = {{0, 100},    {4095, 100}, {-40, 100},
                                                        {9990, 100}, {10000, 5},  {-3, 20000}};
  for (const auto& [offset, size] : reads) {
    Bytes a(size, 0), b(size, 0);
    read_at(file, offset, a);
    read_at(memory, offset, b);
    EXPECT_EQ(a, b) << "at " << offset;
    EXPECT_EQ(a, slice(bytes, offset, size)) << "at " << offset;
  }
}

TEST(OpenInput, MissingFileFails) {
  TempDir dir;
  InputFile input;
  EXPECT_FALSE(open_input(dir.file("missing"), input));
}

TEST(SameFile, NamesOfOneFileAgreeAndOfOtherFilesDiffer) {
  TempDir dir;
  write_file(dir.file("shot.vsf"), Bytes{1, 2, 3});
  write_file(dir.file("copy.vsf"), Bytes{1, 2, 3});
  std::filesystem::create_hard_link(dir.file("shot.vsf"), dir.file("hard.vsf"));
  std::vector<std::pair<std::string, bool>> cases = {
      {"shot.vsf", true},     {"hard.vsf", true},          {"copy.vsf", false},
      {"missing.vsf", false}, {"missing/shot.vsf", false}, {".", false},
  };
  if (cannot_make(Fault::SymbolicLink).empty()) {
    std::filesystem::create_symlink("shot.vsf", dir.file("soft.vsf"));
    std::filesystem::create_symlink("loop.vsf", dir.file("loop.vsf"));
    cases.push_back({"soft.vsf", true});
    cases.push_back({"loop.vsf", true});  // cannot be told: may be the snapshot
  }
  InputFile shot;
  ASSERT_TRUE(open_input(dir.file("shot.vsf"), shot));
  for (const auto& [name, same] : cases) {
    EXPECT_EQ(is_same_file(dir.file(name), shot), same) << name;
    EXPECT_EQ(are_same_file(dir.file(name), dir.file("shot.vsf")), same) << name;
  }
}

TEST(SameFile, NameNotValidUtf8NeverReachesTheFileWithAReplacementCharacter) {
  TempDir dir;
  const std::string replaced = dir.file("shot\xEF\xBF\xBD.vsf");  // U+FFFD
  const std::string invalid = dir.file("shot\xFF.vsf");
  write_file(replaced, Bytes{1, 2, 3});
  InputFile input;
  EXPECT_FALSE(open_input(invalid, input));
  ASSERT_TRUE(open_input(replaced, input));
  // POSIX systems take the name as it is, a file not made yet; Windows
  // cannot tell what it names, so the guards take it for the snapshot.
  const bool taken = allows_file_name("shot\xFF.vsf");
  EXPECT_EQ(is_same_file(invalid, input), !taken);
  OutputBatch batch;
  OutputFile output = open_output(batch, invalid);
  write_byte(output, 4);
  EXPECT_EQ(close_output(output), taken);
  EXPECT_FALSE(commit_outputs(batch).failed);  // while its folder is there
  EXPECT_EQ(read_file(replaced), (Bytes{1, 2, 3}));
}

}  // namespace
