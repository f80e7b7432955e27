// One run never overwrites a file it was not asked to write: not a file it
// wrote for an earlier snapshot, not one file named twice, not a snapshot
// taken for a picture.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "snapshot_builder.h"
#include "tool_run.h"

namespace {

using Runner = std::function<ToolRun(const std::vector<std::string>&, const RunOptions&)>;

std::map<std::string, Bytes> contents_of(const std::filesystem::path& folder) {
  std::map<std::string, Bytes> contents;
  for (const std::string& name : files_in(folder))
    contents[name] = read_file((folder / name).string());
  return contents;
}

const std::string kWonT = "Won't overwrite '";
const std::string kEarlier = "', written earlier in this run!\n";

TEST(OneRun, TwoSnapshotsOfOneNameKeepTheFirstSnapshotsFilesInEveryCommand) {
  const struct {
    const char* command;
    Runner run;
  } commands[] = {
      {"lumerist", run_lumerist},
      {"lumerist-sprites", run_lumerist_sprites},
      {"lumerist-bands", run_lumerist_bands},
      {"lumerist-preview", run_lumerist_preview},
      {"lumerist-preview --compare", run_lumerist_preview},
  };
  for (const auto& c : commands) {
    SCOPED_TRACE(c.command);
    TempDir dir;
    make_folders(dir.file("a"));
    make_folders(dir.file("b"));
    make_folders(dir.file("rips"));
    write_file(dir.file("a/shot.vsf"), build_snapshot(SnapshotPlan{}).bytes);
    SnapshotPlan bitmap;
    bitmap.registers = SnapshotPlan::multicolor_bitmap_registers();
    write_file(dir.file("b/shot.vsf"), build_snapshot(bitmap).bytes);
    std::vector<std::string> flags;
    if (std::string(c.command).ends_with("--compare")) flags.push_back("--compare");
    const auto with = [&flags](std::vector<std::string> names) {
      names.insert(names.begin(), flags.begin(), flags.end());
      return names;
    };

    const ToolRun alone = c.run(with({"-o", "rips", "a/shot.vsf"}), in_folder(dir.path));
    ASSERT_EQ(alone.status, 0) << alone.output;
    const std::map<std::string, Bytes> first = contents_of(dir.file("rips"));
    std::filesystem::remove_all(dir.file("rips"));
    make_folders(dir.file("rips"));
    const ToolRun both =
        c.run(with({"-o", "rips", "a/shot.vsf", "b/shot.vsf"}), in_folder(dir.path));
    EXPECT_EQ(both.status, 255);
    ASSERT_TRUE(both.output.starts_with(alone.output)) << both.output;
    const std::string refusal = both.output.substr(alone.output.size());
    // lumerist-bands prints the band lines it found first.
    EXPECT_NE(refusal.find(kWonT + "rips/shot.vsf."), std::string::npos) << refusal;
    EXPECT_TRUE(refusal.ends_with(kEarlier)) << refusal;
    EXPECT_EQ(contents_of(dir.file("rips")), first);
  }
}

TEST(OneRun, ExportRefusesOneFileNamedTwiceAndWritesNothing) {
  TempDir dir;
  write_file(dir.file("shot.vsf"), build_snapshot(SnapshotPlan{}).bytes);
  write_file(dir.file("kept.64c"), Bytes{1, 2, 3});
  const bool links = cannot_make(Fault::SymbolicLink).empty();
  if (links) std::filesystem::create_symlink("kept.64c", dir.file("link.64c"));
  const struct {
    std::vector<std::string> outputs;
    std::string named;  // the output refused
  } cases[] = {
      {{"font.64c", "font.64c"}, "font.64c"},
      {{"font.64c", "./font.64c"}, "./font.64c"},
      {{"kept.64c", "link.64c"}, "link.64c"},
      {{"kept.64c", "x.spd", "./kept.64c"}, "./kept.64c"},
  };
  for (const auto& c : cases) {
    if (!links && c.named == "link.64c") continue;
    std::vector<std::string> arguments = {"shot.vsf"};
    arguments.insert(arguments.end(), c.outputs.begin(), c.outputs.end());
    const std::vector<std::string> before = files_in(dir.path);
    const ToolRun run = run_lumerist_export(arguments, in_folder(dir.path));
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.output, kWonT + c.named + kEarlier);
    EXPECT_EQ(files_in(dir.path), before);
    EXPECT_EQ(read_file(dir.file("kept.64c")), (Bytes{1, 2, 3}));
  }
}

TEST(OneRun, PreviewDrawsEverySnapshotItIsGiven) {
  TempDir dir;
  const Bytes a = build_snapshot(SnapshotPlan{}).bytes;
  SnapshotPlan plan;
  plan.registers = SnapshotPlan::hires_bitmap_registers();
  const Bytes b = build_snapshot(plan).bytes;
  write_file(dir.file("a.vsf"), a);
  write_file(dir.file("b.vsf"), b);
  const ToolRun run = run_lumerist_preview({"a.vsf", "b.vsf"}, in_folder(dir.path));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(read_file(dir.file("a.vsf")), a);
  EXPECT_EQ(read_file(dir.file("b.vsf")), b);
  EXPECT_EQ(run.output, run_lumerist_preview({"a.vsf"}, in_folder(dir.path)).output +
                            run_lumerist_preview({"b.vsf"}, in_folder(dir.path)).output);
  EXPECT_EQ(files_in(dir.path),
            (std::vector<std::string>{"a.vsf", "a.vsf.png", "b.vsf", "b.vsf.png"}));
}

TEST(OneRun, APictureNamedIsReplacedOnlyWhenItIsEmptyOrAPng) {
  const Bytes snapshot = build_snapshot(SnapshotPlan{}).bytes;
  const Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0};
  const struct {
    const char* what;
    std::optional<Bytes> before;  // none: no file of the name
    bool replaced;
  } cases[] = {
      {"a snapshot", snapshot, false},
      {"a text file", Bytes{'h', 'i', '\n'}, false},
      {"eight bytes short of a signature", Bytes{0x89, 'P', 'N', 'G'}, false},
      {"empty", Bytes{}, true},
      {"a PNG file", png, true},
      {"missing", std::nullopt, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    write_file(dir.file("shot.vsf"), snapshot);
    if (c.before) write_file(dir.file("OUT.PNG"), *c.before);
    const ToolRun run = run_lumerist_preview({"shot.vsf", "OUT.PNG"}, in_folder(dir.path));
    EXPECT_EQ(run.status, c.replaced ? 0 : 255) << run.output;
    if (c.replaced) {
      EXPECT_EQ(read_file(dir.file("OUT.PNG")).at(1), 'P');
    } else {
      EXPECT_EQ(run.output, "'OUT.PNG' is not a PNG file: it is not replaced.\n");
      EXPECT_EQ(read_file(dir.file("OUT.PNG")), *c.before);
    }
  }
}

}  // namespace
