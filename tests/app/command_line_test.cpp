// The tool run as a process: its banner, its refusals and its output names.

#include <gtest/gtest.h>

#include "snapshot_builder.h"
#include "tool_run.h"

namespace {

const std::string kRule(79, '-');

std::string text_snapshot_in(const TempDir& dir, const std::string& name) {
  const std::string path = dir.file(name);
  write_file(path, build_snapshot(SnapshotPlan{}).bytes);
  return path;
}

TEST(CommandLine, WithoutArgumentsPrintsTheBannerAndFails) {
  const ToolRun run = run_lumerist({});
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, kRule + "\n" +
                            "Lumerist 4.0 by Korvane/Dunmarsh & Pelloth/Thrennic\n"
                            "Save VICE snapshot during display of any Screen.\n"
                            "Original code by Korvane; Support for MultiColor Bitmap by Pelloth\n"
                            "Syntax: '" +
                            lumerist_path() + " ViceSnapshotFile.vsf'.\n" + kRule + "\n");
  EXPECT_EQ(run.errors, "");
}

TEST(CommandLine, MissingSnapshotIsNamedAsTypedAndNothingIsCreated) {
  TempDir dir;
  const ToolRun run = run_lumerist({"missing.vsf"}, in_folder(dir.path));
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, "Cant't open snapshot file 'missing.vsf'!\n");
  EXPECT_TRUE(files_in(dir.path).empty());
}

TEST(CommandLine, RefusalsBeforeTheExportCreateNoOutput) {
  TempDir dir;
  const std::string messages[] = {
      "Not a VICE VSF file '%'!\n",
      "No VIC-II state in VICE VSF file '%'!\n",
      "No CIA2 state in VICE VSF file '%'!\n",
      "Unsupported machine 'C128' in VICE VSF file '%'!\n",
      "Damaged VICE VSF file '%'!\n",
      "Damaged VICE VSF file '%'!\n",
      "Damaged VICE VSF file '%'!\n",
  };
  const std::vector<Bytes> refused = refused_snapshots();
  ASSERT_EQ(refused.size(), std::size(messages));
  for (std::size_t i = 0; i < refused.size(); ++i) {
    const std::string path = dir.file("shot.vsf");
    write_file(path, refused[i]);
    const ToolRun run = run_lumerist({path});
    std::string expected = messages[i];
    expected.replace(expected.find('%'), 1, path);
    EXPECT_EQ(run.output, expected);
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"shot.vsf"});
  }
}

TEST(CommandLine, OutputNamesKeepTheWholePathAndOnlyTheFirstArgumentCounts) {
  TempDir dir;
  const std::string path = text_snapshot_in(dir, "a.vsf");
  const ToolRun run = run_lumerist({path, dir.file("b.vsf"), "--help"});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(file_exists(path + ".prg"));
  EXPECT_FALSE(file_exists(dir.file("b.vsf.prg")));
  EXPECT_NE(run.output.find("'" + path + ".prg'"), std::string::npos) << run.output;
}

TEST(CommandLine, VeryLongPathsRunThroughWithTheirWholeName) {
  TempDir dir;
  std::filesystem::path folder = dir.path;
  // Near 4000 characters: past every fixed buffer and Windows' 260, short of
  // Linux's 4096 also where Wine maps the folder to a longer one.
  while (folder.string().size() + 201 < 3900) folder /= std::string(200, 'd');
  make_folders(folder.string());
  const std::string path = (folder / "shot.vsf").string();
  write_file(path, build_snapshot(SnapshotPlan{}).bytes);
  const ToolRun run = run_lumerist({path});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(read_file(path + ".screen").size(), 1000u);
  EXPECT_NE(run.output.find("'" + path + ".prg'"), std::string::npos);
}

TEST(CommandLine, PathLongerThanTheSystemAllowsIsRefusedCleanly) {
  const std::string path = "/tmp/" + std::string(8000, 'x') + ".vsf";
  const ToolRun run = run_lumerist({path});
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, "Cant't open snapshot file '" + path + "'!\n");
}

}  // namespace
