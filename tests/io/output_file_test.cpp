#include "io/output_file.h"

#include <gtest/gtest.h>

#include "tool_run.h"

namespace {

TEST(OutputFile, CloseSaysWhetherEveryByteReachedAFileThatOpened) {
  TempDir dir;
  const Bytes bytes = {1, 2, 3};
  struct Case {
    std::string path;
    bool written;
  };
  std::vector<Case> cases = {
      {dir.file("out.bin"), true},
      {dir.file("missing/out.bin"), false},  // never opened: takes no bytes, fails
      {dir.path.string(), false},            // a folder
  };
  if (cannot_make(Fault::FullDisk).empty()) {
    cases.push_back({"/dev/full", false});  // opened, but the bytes cannot land
  }
  OutputBatch batch;
  for (const auto& c : cases) {
    OutputFile output = open_output(batch, c.path);
    write_bytes(output, bytes);
    write_byte(output, 4);
    EXPECT_EQ(close_output(output), c.written) << c.path;
    EXPECT_EQ(close_output(output), c.written) << "closing again keeps the verdict";
  }
  EXPECT_FALSE(commit_outputs(batch).failed);
  EXPECT_EQ(read_file(dir.file("out.bin")), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"out.bin"});
}

TEST(OutputFile, TakesItsNameOnlyWhenCommittedAndLeavesTheEarlierFileWhenDiscarded) {
  TempDir dir;
  const std::string a = dir.file("a.bin"), b = dir.file("b.bin");
  write_file(a, Bytes{9});
  OutputBatch batch;
  const auto write = [&batch](const std::string& path, std::uint8_t byte) {
    OutputFile output = open_output(batch, path);
    write_byte(output, byte);
    return close_output(output);
  };
  ASSERT_TRUE(write(a, 1));
  ASSERT_TRUE(write(b, 2));
  EXPECT_EQ(read_file(a), Bytes{9}) << "not before the commit";
  EXPECT_FALSE(file_exists(b));
  discard_outputs(batch);
  EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"a.bin"});
  EXPECT_EQ(read_file(a), Bytes{9});

  ASSERT_TRUE(write(a, 1));
  ASSERT_TRUE(write(b, 2));
  const Commit commit = commit_outputs(batch);
  EXPECT_EQ(commit.replaced, (std::vector<std::string>{a, b}));
  EXPECT_FALSE(commit.failed);
  EXPECT_EQ(read_file(a), Bytes{1});
  EXPECT_EQ(read_file(b), Bytes{2});
  EXPECT_EQ(files_in(dir.path), (std::vector<std::string>{"a.bin", "b.bin"}));
}

}  // namespace
