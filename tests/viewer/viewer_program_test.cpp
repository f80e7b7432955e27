// The viewer program as a C64 runs it: the machine it leaves shows the
// screen's blocks, where the registers its stub writes point.

#include "viewer/viewer_program.h"

#include <gtest/gtest.h>

#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"

namespace {

Bytes block(const VideoState& state, std::uint16_t address, std::size_t count) {
  const auto bytes = ram_block(state, address, count);
  return Bytes(bytes.begin(), bytes.end());
}

TEST(ViewerMachine, ShowsTheScreensBlocksWithTheStubsRegisters) {
  struct Case {
    ViewerKind kind;
    VideoRegisters registers;
    std::uint8_t d011, d016;  // as the viewer leaves them
  };
  VideoRegisters text = SnapshotPlan::text_registers();
  text.d016 = 0xD3;  // multicolour, 38 columns, scrolled by 3: the text viewer keeps it
  text.d018 = 0x1C;  // characters $3000, not where the viewer shows them
  const Case cases[] = {
      {ViewerKind::Text, text, 0x1B, 0xD3},
      {ViewerKind::Hires, SnapshotPlan::hires_bitmap_registers(), 0x3B, 0xC8},
      {ViewerKind::Multicolor, SnapshotPlan::multicolor_bitmap_registers(), 0x3B, 0x18},
  };
  for (const Case& c : cases) {
    SnapshotPlan plan;
    plan.registers = c.registers;
    const SnapshotReading grab = read_snapshot(memory_input(build_snapshot(plan).bytes));
    const VideoSetup& setup = grab.setup;
    ASSERT_EQ(viewer_kind_of(setup), c.kind);

    const VideoState machine = viewer_machine(c.kind, viewer_program(c.kind, setup, grab.state));
    const VideoSetup shown = decode_video_setup(machine);
    EXPECT_EQ(shown.bankBase, 0x0000);
    EXPECT_EQ(shown.d011, c.d011);
    EXPECT_EQ(shown.d016, c.d016);
    EXPECT_EQ(shown.d020, setup.d020);
    EXPECT_EQ(block(machine, shown.screenAddress, 1000),
              block(grab.state, setup.screenAddress, 1000));
    if (c.kind == ViewerKind::Text) {
      EXPECT_EQ(block(machine, shown.charsetAddress, 2000),
                block(grab.state, setup.charsetAddress, 2000));
      EXPECT_EQ(block(machine, shown.charsetAddress + 2000, 48), Bytes(48, 0));
      EXPECT_EQ((Bytes{shown.d021, shown.d022, shown.d023}),
                (Bytes{setup.d021, setup.d022, setup.d023}));
    } else {
      EXPECT_EQ(block(machine, shown.bitmapAddress, 8000),
                block(grab.state, setup.bitmapAddress, 8000));
    }
    if (c.kind != ViewerKind::Hires) {
      EXPECT_EQ(machine.colorRam, grab.state.colorRam);
      EXPECT_EQ(shown.d021, setup.d021);
    }
    EXPECT_EQ(machine.reg(0xD015), 0) << "no sprites";
  }
}

}  // namespace
