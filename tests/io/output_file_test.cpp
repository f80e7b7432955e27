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
  };
  if (cannot_make(Fault::FullDisk).empty()) {
    cases.push_back({"/dev/full", false});  // opened, but the bytes cannot land
  }
  for (const auto& c : cases) {
    OutputFile output = open_output(c.path);
    write_bytes(output, bytes);
    write_byte(output, 4);
    EXPECT_EQ(close_output(output), c.written) << c.path;
    EXPECT_EQ(close_output(output), c.written) << "closing again keeps the verdict";
  }
  EXPECT_EQ(read_file(dir.file("out.bin")), (Bytes{1, 2, 3, 4}));
}

}  // namespace
