// lumerist-preview run as a process: usage, refusals, output names, the
// picture it writes and outputs it cannot write.

#include <gtest/gtest.h>

#include <filesystem>

#include "png_reading.h"
#include "preview/gather_blocks.h"
#include "render/render_screen.h"
#include "snapshot_builder.h"
#include "tool_run.h"

namespace {

TEST(PreviewCommand, WithoutArgumentsPrintsUsageAndFails) {
  const ToolRun run = run_lumerist_preview({});
  EXPECT_EQ(run.status, 255);
  EXPECT_NE(run.output.find("Syntax: '" + lumerist_preview_path() +
                            " ViceSnapshotFile.vsf [Preview.png]'.\n"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(run.errors, "");
}

TEST(PreviewCommand, RefusesWhatLumeristRefusesWithTheSameMessage) {
  TempDir dir;
  const std::string path = dir.file("shot.vsf");
  for (const Bytes& bytes : refused_snapshots()) {
    write_file(path, bytes);
    const ToolRun run = run_lumerist_preview({path});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.output, run_lumerist({path}).output);
    EXPECT_NE(run.output.find("'" + path + "'"), std::string::npos) << run.output;
    EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"shot.vsf"});
  }
  const ToolRun missing = run_lumerist_preview({dir.file("missing.vsf")});
  EXPECT_EQ(missing.status, 255);
  EXPECT_EQ(missing.output, "Cant't open snapshot file '" + dir.file("missing.vsf") + "'!\n");
}

TEST(PreviewCommand, WritesTheViewersPictureAsTheSnapshotNameWithPng) {
  const std::pair<Shape, VideoRegisters> cases[] = {
      {Shape::Vice37Fast, SnapshotPlan::text_registers()},
      {Shape::Vice310CycleExact, SnapshotPlan::hires_bitmap_registers()},
      {Shape::TagsOnly, SnapshotPlan::multicolor_bitmap_registers()},
  };
  for (const auto& [shape, registers] : cases) {
    TempDir dir;
    SnapshotPlan plan;
    plan.shape = shape;
    plan.registers = registers;
    const Bytes bytes = build_snapshot(plan).bytes;
    write_file(dir.file("shot.vsf"), bytes);
    const ToolRun run = run_lumerist_preview({"shot.vsf"}, in_folder(dir.path));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "Preview written as 'shot.vsf.png'.\n");
    const std::optional<PngContents> png = read_png(dir.file("shot.vsf.png"));
    ASSERT_TRUE(png);
    const InputFile input = memory_input(bytes);
    const Picture expected = render_viewer_screen(gather_blocks(input, read_snapshot(input)));
    EXPECT_EQ(png->rows[0][0], registers.d020 & 15);
    for (int y = 0; y < kPictureHeight; ++y) {
      ASSERT_EQ(png->rows[static_cast<std::size_t>(y)],
                Bytes(expected.pixels.begin() + y * kPictureWidth,
                      expected.pixels.begin() + (y + 1) * kPictureWidth))
          << "row " << y;
    }
  }
}

TEST(PreviewCommand, SecondArgumentNamesTheOutput) {
  TempDir dir;
  write_file(dir.file("shot.vsf"), build_snapshot(SnapshotPlan{}).bytes);
  const ToolRun run = run_lumerist_preview({dir.file("shot.vsf"), dir.file("look.png")});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "Preview written as '" + dir.file("look.png") + "'.\n");
  EXPECT_EQ(files_in(dir.path), (std::vector<std::string>{"look.png", "shot.vsf"}));
}

TEST(PreviewCommand, OutputThatCannotBeWrittenIsNamedAndFails) {
  TempDir dir;
  write_file(dir.file("shot.vsf"), build_snapshot(SnapshotPlan{}).bytes);
  std::filesystem::create_directory(dir.file("shot.vsf.png"));
  const ToolRun blocked = run_lumerist_preview({dir.file("shot.vsf")});
  EXPECT_EQ(blocked.status, 255);
  EXPECT_EQ(blocked.output, "Can't write PNG file '" + dir.file("shot.vsf.png") + "'!\n");

  RunOptions limited;
  limited.fileSizeLimit = 500;  // the file is created but cannot be written whole
  const ToolRun cut = run_lumerist_preview({dir.file("shot.vsf"), dir.file("cut.png")}, limited);
  EXPECT_EQ(cut.status, 255);
  EXPECT_EQ(cut.output, "Can't write PNG file '" + dir.file("cut.png") + "'!\n");
  EXPECT_EQ(cut.errors, "");
}

}  // namespace
