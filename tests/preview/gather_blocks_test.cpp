// The preview draws from the same bytes lumerist puts into its viewer.

#include "preview/gather_blocks.h"

#include <gtest/gtest.h>

#include "snapshot_builder.h"

namespace {

Bytes part(const auto& block, std::size_t from, std::size_t count) {
  return Bytes(block.begin() + static_cast<std::ptrdiff_t>(from),
               block.begin() + static_cast<std::ptrdiff_t>(from + count));
}

TEST(GatherBlocks, ViewerAndBlocksFollowTheVideoSetup) {
  struct Case {
    Shape shape;
    VideoRegisters registers;
    ViewerKind viewer;
    std::uint16_t screen, bitmap, charset;
  };
  const Case cases[] = {
      {Shape::Vice37Fast, SnapshotPlan::text_registers(), ViewerKind::Text, 0x0400, 0x0000, 0x1000},
      {Shape::Vice310CycleExact, SnapshotPlan::hires_bitmap_registers(), ViewerKind::Hires, 0x0C00,
       0x2000, 0x2000},
      {Shape::TagsOnly, SnapshotPlan::multicolor_bitmap_registers(), ViewerKind::Multicolor, 0x4400,
       0x6000, 0x6000},
  };
  for (const Case& c : cases) {
    SnapshotPlan plan;
    plan.shape = c.shape;
    plan.registers = c.registers;
    const BuiltSnapshot built = build_snapshot(plan);
    const InputFile input = memory_input(built.bytes);
    const ViewerBlocks blocks = gather_blocks(input, read_snapshot(input));
    const std::int64_t ram = built.location.ramOffset;
    EXPECT_EQ(blocks.viewer, c.viewer);
    EXPECT_EQ(part(blocks.screen, 0, 1000), slice(built.bytes, ram + c.screen, 1000));
    EXPECT_EQ(part(blocks.bitmap, 0, 8000), slice(built.bytes, ram + c.bitmap, 8000));
    EXPECT_EQ(part(blocks.charset, 0, 2000), slice(built.bytes, ram + c.charset, 2000));
    EXPECT_EQ(part(blocks.charset, 2000, 48), Bytes(48, 0));  // characters 250-255 blank
    EXPECT_EQ(part(blocks.colorRam, 0, 1000),
              slice(built.bytes, built.location.colorRamOffset, 1000));
    EXPECT_EQ(blocks.d016, c.registers.d016);
    EXPECT_EQ(blocks.d020, c.registers.d020);
    EXPECT_EQ(blocks.d023, c.registers.d023);
  }
}

TEST(GatherBlocks, BytesPastTheEndOfTheFileReadAsFF) {
  const Bytes bytes(100, 0x11);
  SnapshotReading reading;
  reading.location.ramOffset = 50;
  reading.location.colorRamOffset = 99;
  const ViewerBlocks blocks = gather_blocks(memory_input(bytes), reading);
  EXPECT_EQ(part(blocks.screen, 49, 2), (Bytes{0x11, 0xFF}));
  EXPECT_EQ(part(blocks.colorRam, 0, 2), (Bytes{0x11, 0xFF}));
  EXPECT_EQ(part(blocks.charset, 1999, 2), (Bytes{0xFF, 0x00}));
}

}  // namespace
