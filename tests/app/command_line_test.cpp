// The commands run as processes: the banner, the options every command
// takes, many snapshots, an output folder, refusals and output names.

#include <gtest/gtest.h>

#include <filesystem>

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

using Runner = ToolRun (*)(const std::vector<std::string>&, const RunOptions&);

struct Command {
  const char* name;
  Runner run;
  std::string usage;  // how its usage text starts, after the rule line
};

const Command kCommands[] = {
    {"lumerist", run_lumerist, "Lumerist 4.0 by Korvane"},
    {"lumerist-preview", run_lumerist_preview, "Lumerist preview: "},
    {"lumerist-sprites", run_lumerist_sprites, "Lumerist sprites: "},
    {"lumerist-export", run_lumerist_export, "Lumerist export: "},
    {"lumerist-bands", run_lumerist_bands, "Lumerist bands: "},
};

TEST(CommandLine, EveryCommandTakesHelpVersionAndRefusesWhatItCannotUse) {
  TempDir dir;
  text_snapshot_in(dir, "shot.vsf");
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string before;  // the line before the usage; "usage" alone: none
    bool usage = true;
  } cases[] = {
      {{"--help"}, 0, ""},
      {{"shot.vsf", "--help"}, 0, ""},
      {{"--version"}, 0, "%s 4.0\n", false},
      {{"--bogus", "shot.vsf"}, 255, "Unknown option '--bogus'.\n"},
      {{"shot.vsf", "-x"}, 255, "Unknown option '-x'.\n"},
      {{"--help", "--bogus"}, 255, "Unknown option '--bogus'.\n"},
      {{"-o"}, 255, "Option -o needs a folder name.\n"},
      {{"--output-dir=", "shot.vsf"}, 255, "Option -o needs a folder name.\n"},
      {{"-o", "."}, 255, "No snapshot file given.\n"},
  };
  for (const Command& command : kCommands) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(command.name) + " " + c.arguments[0]);
      const ToolRun run = command.run(c.arguments, in_folder(dir.path));
      EXPECT_EQ(run.status, c.status);
      std::string before = c.before;
      if (const auto at = before.find("%s"); at != std::string::npos) {
        before.replace(at, 2, command.name);
      }
      const std::string expected = before + (c.usage ? kRule + "\n" + command.usage : "");
      EXPECT_EQ(run.output.substr(0, expected.size()), expected);
      if (!c.usage) {
        EXPECT_EQ(run.output, expected);
      }
      EXPECT_EQ(run.errors, "");
    }
  }
  EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"shot.vsf"});
}

TEST(CommandLine, EachSnapshotIsRippedInTurnAndAFailureDoesNotStopTheRest) {
  TempDir dir;
  text_snapshot_in(dir, "a.vsf");
  text_snapshot_in(dir, "b.vsf");
  const ToolRun a = run_lumerist({"a.vsf"}, in_folder(dir.path));
  const ToolRun b = run_lumerist({"b.vsf"}, in_folder(dir.path));
  const ToolRun all = run_lumerist({"a.vsf", "missing.vsf", "b.vsf"}, in_folder(dir.path));
  EXPECT_EQ(all.status, 255);
  EXPECT_EQ(all.output, a.output + "Cant't open snapshot file 'missing.vsf'!\n" + b.output);
  EXPECT_EQ(run_lumerist({"b.vsf", "a.vsf"}, in_folder(dir.path)).status, 0);

  const ToolRun sprites = run_lumerist_sprites({"a.vsf", "b.vsf"}, in_folder(dir.path));
  EXPECT_EQ(sprites.status, 0);
  EXPECT_EQ(sprites.output, run_lumerist_sprites({"a.vsf"}, in_folder(dir.path)).output +
                                run_lumerist_sprites({"b.vsf"}, in_folder(dir.path)).output);
  const ToolRun preview = run_lumerist_preview({"a.vsf", "a.png", "b.vsf"}, in_folder(dir.path));
  EXPECT_EQ(preview.status, 255);
  EXPECT_TRUE(preview.output.starts_with(
      "Unexpected picture name 'a.png': a picture is named only after a single snapshot.\n"))
      << preview.output;
}

TEST(CommandLine, OutputFolderTakesEveryOutputNamedAfterTheSnapshotsFileName) {
  TempDir dir;
  make_folders(dir.file("grabs"));
  make_folders(dir.file("rips"));
  text_snapshot_in(dir, "grabs/shot.vsf");
  const ToolRun run = run_lumerist({"grabs/shot.vsf", "-o", "rips"}, in_folder(dir.path));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("written as 'rips/shot.vsf.prg'"), std::string::npos) << run.output;
  EXPECT_EQ(files_in(dir.file("rips")),
            (std::vector<std::string>{"shot.vsf.attrib", "shot.vsf.font", "shot.vsf.prg",
                                      "shot.vsf.screen"}));
  EXPECT_EQ(files_in(dir.file("grabs")), std::vector<std::string>{"shot.vsf"});

  const ToolRun preview = run_lumerist_preview(
      {"--output-dir=rips", "grabs/shot.vsf", "screen.png"}, in_folder(dir.path));
  EXPECT_EQ(preview.output, "Preview written as 'rips/screen.png' from the VIC-II registers.\n");
  const ToolRun sprites = run_lumerist_sprites({"-orips", "grabs/shot.vsf"}, in_folder(dir.path));
  EXPECT_NE(sprites.output.find("'rips/shot.vsf.sprites.png'"), std::string::npos);

  // A folder that is not one, or cannot be written, is refused first.
  write_file(dir.file("plain"), Bytes{1});
  for (const std::string& folder : {std::string("missing"), std::string("plain")}) {
    for (const Command& command : kCommands) {
      const ToolRun refused =
          command.run({"-o", folder, "missing.vsf", "out.kla"}, in_folder(dir.path));
      EXPECT_EQ(refused.status, 255);
      EXPECT_EQ(refused.output, "Can't write into output folder '" + folder + "'!\n");
    }
  }
}

TEST(CommandLine, SnapshotInAFolderItCannotWriteIsRippedIntoAnother) {
  if (const std::string why = cannot_make(Fault::FolderPermission); !why.empty()) {
    GTEST_SKIP() << why;
  }
  TempDir dir;
  make_folders(dir.file("archive"));
  make_folders(dir.file("rips"));
  text_snapshot_in(dir, "archive/shot.vsf");
  namespace fs = std::filesystem;
  const fs::perms readOnly = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec;
  fs::permissions(dir.path, readOnly);
  fs::permissions(dir.file("archive"), readOnly);
  fs::permissions(dir.file("rips"), fs::perms::all);
  RunOptions nobody = in_folder(dir.path);
  nobody.unprivileged = true;
  EXPECT_EQ(run_lumerist({"archive/shot.vsf"}, nobody).output,
            "Cant't write PRG file 'archive/shot.vsf.prg'!\n");
  EXPECT_EQ(run_lumerist({"-o", "archive", "archive/shot.vsf"}, nobody).output,
            "Can't write into output folder 'archive'!\n");
  const ToolRun run = run_lumerist({"-o", "rips", "archive/shot.vsf"}, nobody);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(files_in(dir.file("rips")).size(), 4u);
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
