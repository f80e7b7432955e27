// --band N: the commands that rip one register set take band N of the
// frame VICE saved, the very set lumerist-bands rips for it; and a split
// frame ripped without it is named.

#include <gtest/gtest.h>

#include "render/render_frame.h"
#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"
#include "split_frame.h"
#include "tool_run.h"

namespace {

// A text screen over a bitmap: its band 2 draws a multicolour bitmap in
// bank $4000 with sprite 0 re-pointed, that the snapshot's registers do not.
Bytes write_split(const TempDir& dir) {
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  std::uint32_t seed = 1;
  for (std::size_t i = 0x4000; i < 0x8000; ++i) {
    seed = seed * 1103515245u + 12345u;
    plan.ram[i] = static_cast<std::uint8_t>(seed >> 16);
  }
  plan.moreRegisters = {{0x15, 0x01}, {0x00, 120}, {0x01, 180}, {0x27, 0x07}};
  const VideoState state = read_snapshot(memory_input(build_snapshot(plan).bytes)).state;
  const BandSet own = snapshot_set(state);
  BandSet picture = changed(own, {{0xD011, 0x3B}, {0xD016, 0x18}, {0xD018, 0x18}});
  picture.cia2PortA = static_cast<std::uint8_t>((own.cia2PortA & ~3u) | 2u);
  picture.pointers[0] = 0x21;
  plan.savedFrame = split_frame(state, {{own, 16, 150}, {picture, 151, 287}}).pixels;
  write_file(dir.file("split.vsf"), build_snapshot(plan).bytes);
  plan.savedFrame = split_frame(state, {{own, 16, 287}}).pixels;
  write_file(dir.file("static.vsf"), build_snapshot(plan).bytes);
  return plan.ram;
}

const std::string kSplitNote = "Note: the frame VICE saved in 'split.vsf' is not drawn by its";

TEST(BandOption, EachCommandRipsTheBandLumeristBandsRips) {
  TempDir dir;
  const Bytes ram = write_split(dir);
  make_folders(dir.file("bands"));
  const ToolRun bands = run_lumerist_bands({"-o", "bands", "split.vsf"}, in_folder(dir.path));
  ASSERT_EQ(bands.status, 0) << bands.output;
  ASSERT_NE(bands.output.find("Band 2: lines 151-287: MC Bitmap in Bank $4000"), std::string::npos)
      << bands.output;

  const ToolRun rip = run_lumerist({"--band", "2", "split.vsf"}, in_folder(dir.path));
  ASSERT_EQ(rip.status, 0) << rip.output;
  EXPECT_EQ(rip.errors, "") << "a band is no split";
  for (const char* suffix : {".prg", ".bitmap", ".colmap", ".attrib", ".koa"}) {
    EXPECT_EQ(read_file(dir.file(std::string("split.vsf.band2") + suffix)),
              read_file(dir.file(std::string("bands/split.vsf.band2") + suffix)))
        << suffix;
  }
  // The band's own sprite pointer, not the one in the snapshot's screen.
  ASSERT_EQ(run_lumerist_sprites({"--band=2", "split.vsf"}, in_folder(dir.path)).status, 0);
  EXPECT_EQ(read_file(dir.file("split.vsf.band2.sprites")).size(), 64u);
  EXPECT_EQ(read_file(dir.file("split.vsf.band2.sprites")),
            Bytes(ram.begin() + 0x4000 + 0x21 * 64, ram.begin() + 0x4000 + 0x22 * 64));
  EXPECT_EQ(
      run_lumerist_export({"--band", "2", "split.vsf", "band.kla"}, in_folder(dir.path)).status, 0);
  EXPECT_EQ(read_file(dir.file("band.kla")).size(), 10003u);
  ASSERT_EQ(
      run_lumerist_preview({"--viewer", "--band", "2", "split.vsf"}, in_folder(dir.path)).status,
      0);
  EXPECT_TRUE(file_exists(dir.file("split.vsf.band2.viewer.png")));
}

TEST(BandOption, BandsThatCannotBeRippedAndSplitsWithoutIt) {
  TempDir dir;
  write_split(dir);
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string output;  // its start
    bool splitNote;
  } cases[] = {
      {{"--band", "3", "split.vsf"}, 255, "Snapshot 'split.vsf' has no band 3 to rip!\n", false},
      {{"--band", "0", "split.vsf"}, 255, "Option --band needs a band number.\n", false},
      {{"--band", "2x", "split.vsf"}, 255, "Option --band needs a band number.\n", false},
      {{"--band"}, 255, "Option --band needs a band number.\n", false},
      {{"split.vsf"}, 0, "-----", true},
      {{"static.vsf"}, 0, "-----", false},
      {{"--band", "1", "static.vsf"}, 0, "-----", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.size() > 1 ? c.arguments[1] + " " + c.arguments.back() : "--band");
    const ToolRun run = run_lumerist(c.arguments, in_folder(dir.path));
    EXPECT_EQ(run.status, c.status);
    EXPECT_TRUE(run.output.starts_with(c.output)) << run.output;
    EXPECT_EQ(run.errors.find(kSplitNote) != std::string::npos, c.splitNote) << run.errors;
  }
  EXPECT_FALSE(file_exists(dir.file("split.vsf.band3.prg")));
  EXPECT_EQ(run_lumerist_preview({"--band", "1", "split.vsf"}, in_folder(dir.path)).status, 255)
      << "the screen is the same for every band";
}

}  // namespace

namespace {

// A ROM-font screen saved with a made-up ROM that the snapshot does not
// hold: the rip takes the shapes the frame shows, except where two cells
// of one code disagree, and the RAM beneath for every other code.
TEST(FontOffTheFrame, TheRipHoldsTheShapesTheFrameShowsAndTheNoteCountsThem) {
  TempDir dir;
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  plan.registers.d018 = 0x15;  // screen $0400, characters at $1000: the ROM
  plan.registers.d021 = 6;
  for (std::size_t i = 0; i < 1000; ++i) plan.ram[0x0400 + i] = static_cast<std::uint8_t>(i % 50);
  plan.colorRam.assign(1024, 1);
  Bytes rom(4096);
  for (std::size_t i = 0; i < rom.size(); ++i) rom[i] = static_cast<std::uint8_t>(i * 7 + 3);
  VideoState state = read_snapshot(memory_input(build_snapshot(plan).bytes)).state;
  state.charRom.emplace();
  std::copy(rom.begin(), rom.end(), state.charRom->begin());
  Picture frame = render_frame(state).picture;
  // Cell 5 (code 5) at row 0: one pixel flipped from white to blue.
  const std::size_t pixel = static_cast<std::size_t>(51 - 16) * 384 + 32 + 5 * 8;
  frame.pixels[pixel] = frame.pixels[pixel] == 1 ? 6 : 1;
  plan.savedFrame = frame.pixels;
  write_file(dir.file("basic.vsf"), build_snapshot(plan).bytes);

  const ToolRun run = run_lumerist({"basic.vsf"}, in_folder(dir.path));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.errors,
            "Note: no character ROM is at hand: the shapes of 49 characters were read from the "
            "frame VICE saved; the other 207 hold the RAM beneath.\n");
  const Bytes font = read_file(dir.file("basic.vsf.font"));
  ASSERT_EQ(font.size(), 2000u);
  for (std::size_t code = 0; code < 250; ++code) {
    const bool read = code < 50 && code != 5;
    const Bytes& source = read ? rom : plan.ram;
    const std::size_t at = read ? code * 8 : 0x1000 + code * 8;
    EXPECT_EQ(Bytes(font.begin() + code * 8, font.begin() + code * 8 + 8),
              Bytes(source.begin() + at, source.begin() + at + 8))
        << "code " << code;
  }
}

}  // namespace
