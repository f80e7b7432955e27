// lumerist-bands run as a process: a line for each band of the frame VICE
// saved, then lumerist's rip of each band, and one band of the snapshot's
// own registers where it saved no frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"
#include "split_frame.h"
#include "tool_run.h"

namespace {

std::vector<std::string> lines_starting(const std::string& text, const std::string& start) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    const std::string line = text.substr(at, end - at);
    if (line.starts_with(start)) lines.push_back(line);
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

TEST(BandsCommand, PrintsEveryBandThenRipsEachAsLumeristRipsItsScreen) {
  TempDir dir;
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  plan.registers.d018 = 0x18;  // text at $0400, characters at $2000
  const VideoState state = read_snapshot(memory_input(build_snapshot(plan).bytes)).state;
  const BandSet own = snapshot_set(state);
  // Another screen and border in the middle, then the snapshot's set again.
  const BandSet middle = changed(own, {{0xD018, 0x28}, {0xD020, 0x02}});
  plan.savedFrame =
      split_frame(state, {{own, 16, 100}, {middle, 101, 200}, {own, 201, 287}}).pixels;
  write_file(dir.file("split.vsf"), build_snapshot(plan).bytes);
  plan.savedFrame.reset();
  write_file(dir.file("plain.vsf"), build_snapshot(plan).bytes);

  const ToolRun run = run_lumerist_bands({"split.vsf"}, in_folder(dir.path));
  ASSERT_EQ(run.status, 0) << run.output;
  const std::vector<std::string> bands = lines_starting(run.output, "Band ");
  ASSERT_EQ(bands.size(), 4u) << run.output;  // three bands and the same rip
  EXPECT_TRUE(
      bands[0].starts_with("Band 1: lines 16-100: Text in Bank $0000, charset $2000, "
                           "screen $0400 ("))
      << bands[0];
  EXPECT_TRUE(
      bands[1].starts_with("Band 2: lines 101-200: Text in Bank $0000, charset $2000, "
                           "screen $0800 ("))
      << bands[1];
  EXPECT_TRUE(bands[2].starts_with("Band 3: lines 201-287: ")) << bands[2];
  EXPECT_EQ(bands[3], "Band 3: the same rip as band 1.");
  // The band lines first, then the rips in band order.
  EXPECT_LT(run.output.find(bands[2]), run.output.find("-----"));
  EXPECT_GT(run.output.find(bands[3]), run.output.find("'split.vsf.band2.prg'"));

  // Band 1 is the snapshot's own screen: lumerist's rip, file for file.
  ASSERT_EQ(run_lumerist({"plain.vsf"}, in_folder(dir.path)).status, 0);
  for (const char* suffix : {".prg", ".font", ".screen", ".attrib"}) {
    EXPECT_EQ(read_file(dir.file(std::string("split.vsf.band1") + suffix)),
              read_file(dir.file(std::string("plain.vsf") + suffix)))
        << suffix;
  }
  EXPECT_TRUE(file_exists(dir.file("split.vsf.band2.prg")));
  EXPECT_FALSE(file_exists(dir.file("split.vsf.band3.prg")));

  // Without a frame VICE drew: a note, and the registers for every line.
  const ToolRun plain = run_lumerist_bands({"plain.vsf", "-o", "."}, in_folder(dir.path));
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.errors,
            "Note: 'plain.vsf' holds no frame VICE drew: its registers stand for every line.\n");
  EXPECT_TRUE(plain.output.starts_with("Band 1: lines 16-287: Text in Bank $0000")) << plain.output;
  EXPECT_EQ(read_file(dir.file("plain.vsf.band1.prg")), read_file(dir.file("plain.vsf.prg")));
}

// Snapshots VICE 3.10 saved itself, without a ROM: each is one static
// screen, the text in the character ROM's shapes included.
TEST(BandsCommand, ViceSnapshotsAreOneBandWithOrWithoutTheirRom) {
  const char* chosen = std::getenv("LUMERIST_VICE_CASES");
  const std::filesystem::path folder = chosen && *chosen ? chosen : LUMERIST_VICE_CASES;
  if (!std::filesystem::exists(folder / "vice310-x64sc-text-rom-sprites.vsf")) {
    GTEST_SKIP() << "VICE's snapshots are not at " << folder << " (set LUMERIST_VICE_CASES)";
  }
  const std::pair<const char*, const char*> cases[] = {
      {"vice310-x64sc-mcbitmap-bank4000", "MC Bitmap in Bank $4000, bitmap $6000, screen $4400"},
      {"vice310-x64-hires-bankc000", "Hires Bitmap in Bank $c000, bitmap $e000, screen $cc00"},
      {"vice310-x64sc-text-rom-sprites", "Text in Bank $0000, charset $1000, screen $0400"},
  };
  for (const auto& [name, set] : cases) {
    TempDir out;
    const std::string snapshot = (folder / (std::string(name) + ".vsf")).string();
    const ToolRun run = run_lumerist_bands({"-o", out.path.string(), snapshot});
    ASSERT_EQ(run.status, 0) << run.output;
    const std::vector<std::string> bands = lines_starting(run.output, "Band ");
    ASSERT_EQ(bands.size(), 1u) << run.output;
    EXPECT_TRUE(bands[0].starts_with(std::string("Band 1: lines 16-287: ") + set)) << bands[0];
  }
}

}  // namespace
