// lumerist-export run as a process: the rip in the formats asked for, the
// list of formats, and the outputs it refuses before writing anything.

#include <gtest/gtest.h>

#include <filesystem>

#include "snapshot_builder.h"
#include "tool_run.h"

namespace {

TEST(ExportCommand, WritesEachOutputInTheFormatOfItsExtensionWithLumeristsBytes) {
  TempDir dir;
  make_folders(dir.file("out"));
  SnapshotPlan plan;
  plan.registers = SnapshotPlan::multicolor_bitmap_registers();
  write_file(dir.file("shot.vsf"), build_snapshot(plan).bytes);
  const ToolRun run = run_lumerist_export(
      {"shot.vsf", "-o", "out", "pic.KLA", "pic.ocp", "font.64c", "sprites.spd"},
      in_folder(dir.path));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output,
            "Koala Painter written as 'out/pic.KLA'.\n"
            "Advanced OCP Art Studio written as 'out/pic.ocp'.\n"
            "Character set written as 'out/font.64c'.\n"
            "SpritePad 1.x written as 'out/sprites.spd'.\n");
  ASSERT_EQ(run_lumerist({"shot.vsf"}, in_folder(dir.path)).status, 0);
  // Lumerist's Koala file, colour nibbles stored without their high bits.
  Bytes koala = read_file(dir.file("shot.vsf.koa"));
  for (std::size_t i = 9002; i < koala.size(); ++i) koala[i] &= 15;
  EXPECT_EQ(read_file(dir.file("out/pic.KLA")), koala);
  EXPECT_EQ(read_file(dir.file("out/pic.ocp")).size(), 10018u);
  EXPECT_EQ(read_file(dir.file("out/font.64c")).size(), 2 + 2048u);
  EXPECT_EQ(read_file(dir.file("out/sprites.spd")).size(), 9 + 256 * 64 + 4u);
}

TEST(ExportCommand, RefusesAnOutputItCannotWriteBeforeWritingAny) {
  TempDir dir;
  write_file(dir.file("text.vsf"), build_snapshot(SnapshotPlan{}).bytes);
  SnapshotPlan multicolour;
  multicolour.registers = SnapshotPlan::multicolor_bitmap_registers();
  write_file(dir.file("mc.vsf"), build_snapshot(multicolour).bytes);
  const struct {
    std::vector<std::string> arguments;
    std::string output;
  } cases[] = {
      {{"text.vsf", "a.64c", "out.kla"},
       "Cannot write 'out.kla': Koala Painter holds multicolour bitmaps; 'text.vsf' shows a text "
       "screen.\n"},
      {{"mc.vsf", "a.koa", "b.dd"},
       "Cannot write 'b.dd': Doodle holds hires bitmaps; 'mc.vsf' shows a multicolour bitmap.\n"},
      {{"mc.vsf", "a.koa", "b.ctm"},
       "Cannot write 'b.ctm': CharPad project holds hires and multicolour text screens; 'mc.vsf' "
       "shows a multicolour bitmap.\n"},
      {{"mc.vsf", "a.koa", "b.xyz"}, "Cannot write 'b.xyz': no format has the extension '.xyz'.\n"},
      {{"mc.vsf", "mc.vsf.koa", "link.kla"}, "Can't write file 'link.kla'!\n"},  // the snapshot
  };
  std::filesystem::create_hard_link(dir.file("mc.vsf"), dir.file("link.kla"));
  for (const auto& c : cases) {
    const ToolRun run = run_lumerist_export(c.arguments, in_folder(dir.path));
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.output, c.output);
    EXPECT_EQ(files_in(dir.path), (std::vector<std::string>{"link.kla", "mc.vsf", "text.vsf"}));
  }
  const ToolRun noOutput = run_lumerist_export({"mc.vsf"}, in_folder(dir.path));
  EXPECT_EQ(noOutput.status, 255);
  EXPECT_TRUE(noOutput.output.starts_with("No output file given.\n")) << noOutput.output;
}

TEST(ExportCommand, ListsEveryFormatWithoutASnapshot) {
  const ToolRun run = run_lumerist_export({"--list"});
  EXPECT_EQ(run.status, 0);
  for (const char* line : {".kla .koa", "Koala Painter", ".spd", "SpritePad", "10003 bytes",
                           "packed", "hires bitmap", "any screen"}) {
    EXPECT_NE(run.output.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 16);
}

}  // namespace
