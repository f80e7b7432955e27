// Bitmap screens exported end to end: files, viewer layout, report.

#include <gtest/gtest.h>

#include <filesystem>

#include "export_checks.h"

namespace {

const std::string kRule = std::string(79, '-') + "\n";

class BitmapExport : public ExportTest {};

TEST_F(BitmapExport, HiresWritesItsFilesAndReport) {
  SnapshotPlan hires;
  hires.shape = Shape::TagsOnly;
  hires.registers = SnapshotPlan::hires_bitmap_registers();
  const ToolRun run = run_on(hires);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output,
            kRule + "Using Hires Bitmap in Bank $0000 ($97).\n" +
                report_line("BitMap  at $2000\twritten as '%.bitmap' without header.\n") +
                report_line("ColMap  at $0c00 ($38)\twritten as '%.colmap' without header.\n") +
                report_line("HiRes format picture\twritten as '%.ip64h'  at $4000.\n") +
                report_line("Executable Hires-Viewer\twritten as '%.prg'.\n") + kRule);
  expect_bitmap_export(*this, hires.registers, 0x0C00, 0x2000);
  EXPECT_EQ(output(".ip64h").size(), 9002u);
}

TEST_F(BitmapExport, MulticolourWritesItsFilesAndReport) {
  SnapshotPlan multicolor;
  multicolor.shape = Shape::TagsOnly;
  multicolor.registers = SnapshotPlan::multicolor_bitmap_registers();
  const ToolRun run = run_on(multicolor);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output,
            kRule + "Using MC Bitmap in Bank $4000 ($96).\n" +
                report_line("BitMap  at $6000\twritten as '%.bitmap' without header.\n") +
                report_line("ColMap  at $4400 ($18)\twritten as '%.colmap' without header.\n") +
                report_line("ColAttr at $d800\twritten as '%.attrib' without header.\n") +
                report_line("Koala format picture\twritten as '%.koa'    at $6000 (BG=$0b).\n") +
                report_line("Executable MC-Viewer\twritten as '%.prg'.\n") + kRule);
  expect_bitmap_export(*this, multicolor.registers, 0x4400, 0x6000);
  const Bytes koala = output(".koa");
  ASSERT_EQ(koala.size(), 10003u);
  EXPECT_EQ(koala.back(), 0x0B);
  // The blocks are RAM as the machine held it, not the file around it.
  EXPECT_EQ(output(".bitmap"), part(plan.ram, 0x6000, 8000));
}

TEST_F(BitmapExport, BitmapInTheTopBankIsReadFromItsFileOffset) {
  SnapshotPlan top;
  top.shape = Shape::TagsOnly;
  top.decoyTags = false;
  top.registers = SnapshotPlan::hires_bitmap_registers();
  top.registers.cia2PortA = 0x94;  // bank $C000
  top.registers.d018 = 0xF8;       // screen $FC00, bitmap $E000
  ASSERT_EQ(run_on(top).status, 0);
  EXPECT_EQ(output(".bitmap"), slice(built.bytes, std::size_t{0xE080}, 8000));
  EXPECT_EQ(output(".colmap"), slice(built.bytes, std::size_t{0xFC80}, 1000));
}

class BitmapOnEveryShape : public ExportTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(BitmapOnEveryShape, BothKindsExportTheMachinesBytes) {
  for (const VideoRegisters& registers :
       {SnapshotPlan::hires_bitmap_registers(), SnapshotPlan::multicolor_bitmap_registers()}) {
    std::filesystem::remove_all(dir.path);
    std::filesystem::create_directory(dir.path);
    SnapshotPlan snapshot;
    snapshot.shape = GetParam();
    snapshot.registers = registers;
    const ToolRun run = run_on(snapshot);
    ASSERT_EQ(run.status, 0);
    const VideoSetup setup = setup_of(registers);
    const std::string mode = setup.multicolorMode ? "MC" : "Hires";
    const std::string bankLine = kRule + "Using " + mode + " Bitmap in Bank $" +
                                 (setup.multicolorMode ? "4000 ($96).\n" : "0000 ($97).\n");
    EXPECT_TRUE(run.output.starts_with(bankLine)) << run.output;
    EXPECT_NE(run.output.find("Executable " + mode + "-Viewer"), std::string::npos);
    expect_bitmap_export(*this, registers, setup.screenAddress, setup.bitmapAddress);
    EXPECT_EQ(output(".bitmap"), part(plan.ram, setup.bitmapAddress, 8000));
    EXPECT_EQ(output(".colmap"), part(plan.ram, setup.screenAddress, 1000));
  }
}

INSTANTIATE_TEST_SUITE_P(ViceVersions, BitmapOnEveryShape,
                         ::testing::Values(Shape::TagsOnly, Shape::Vice1Fast, Shape::Vice37Fast,
                                           Shape::Vice361CycleExact, Shape::Vice310CycleExact),
                         shape_test_name<::testing::TestParamInfo<Shape>>);

// An output that cannot be opened: its message, no report, nothing written.
}  // namespace
