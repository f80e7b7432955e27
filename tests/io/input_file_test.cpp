#include "io/input_file.h"

#include <gtest/gtest.h>

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

}  // namespace
