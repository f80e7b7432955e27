// Text screens exported end to end: files, viewer layout, report.

#include <gtest/gtest.h>

#include <filesystem>

#include "export_checks.h"

namespace {

const std::string kRule = std::string(79, '-') + "\n";

class TextExport : public ExportTest {};

TEST_F(TextExport, StandardScreenReadsRamAndReportsAfterWriting) {
  SnapshotPlan text;
  text.shape = Shape::TagsOnly;
  const ToolRun run = run_on(text);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output,
            kRule + "Using screen ram in Bank $0000 ($97).\n" +
                report_line("Charset at $1000\t\twritten as '%.font' without header.\n") +
                report_line("Text screen at $0400 ($15)\twritten as '%.screen' without header.\n") +
                report_line("ColAttr at $d800\t\twritten as '%.attrib' without header.\n") +
                report_line("Executable screen-Viewer\twritten as '%.prg'.\n") + kRule);
  expect_text_export(*this, text.registers, 0x0400, 0x1000);
  // RAM under the character ROM is what is taken.
  EXPECT_EQ(output(".font"), part(plan.ram, 0x1000, 2000));
  EXPECT_EQ(output(".attrib"), part(plan.colorRam, 0, 1000));
}

TEST_F(TextExport, MulticolourTextTakesTheTextPathWithItsD016) {
  SnapshotPlan text;
  text.registers.d016 = 0xD8;
  text.registers.d018 = 0x1E;  // screen $0400, charset $3800
  const ToolRun run = run_on(text);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Executable screen-Viewer"), std::string::npos);
  expect_text_export(*this, text.registers, 0x0400, 0x3800);
  EXPECT_EQ(output(".prg")[43], 0xD8);
}

class TextOnEveryShape : public ExportTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(TextOnEveryShape, ExportsTheMachinesBytes) {
  SnapshotPlan text;
  text.shape = GetParam();
  text.registers.cia2PortA = 0x95;  // bank $8000
  text.registers.d018 = 0x26;       // screen $8800, charset $9800
  const ToolRun run = run_on(text);
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            kRule + "Using screen ram in Bank $8000 ($95).\n" +
                report_line("Charset at $9800\t\twritten as '%.font' without header.\n") +
                report_line("Text screen at $8800 ($26)\twritten as '%.screen' without header.\n") +
                report_line("ColAttr at $d800\t\twritten as '%.attrib' without header.\n") +
                report_line("Executable screen-Viewer\twritten as '%.prg'.\n") + kRule);
  expect_text_export(*this, text.registers, 0x8800, 0x9800);
  EXPECT_EQ(output(".screen"), part(plan.ram, 0x8800, 1000));
  EXPECT_EQ(output(".attrib"), part(plan.colorRam, 0, 1000));
}

INSTANTIATE_TEST_SUITE_P(ViceVersions, TextOnEveryShape,
                         ::testing::Values(Shape::TagsOnly, Shape::Vice1Fast, Shape::Vice37Fast,
                                           Shape::Vice361CycleExact, Shape::Vice310CycleExact),
                         shape_test_name<::testing::TestParamInfo<Shape>>);

}  // namespace
