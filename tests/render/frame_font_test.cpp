// The shapes of the characters read off the frame VICE saved: snapshots
// whose frame was drawn with a made-up character ROM while the RAM beneath
// holds other bytes, and VICE's own snapshot of a ROM-font screen.

#include "render/frame_font.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"

namespace {

// Every glyph has a line of pixels on, one off, and six of its own.
Bytes pattern_rom() {
  Bytes rom(kCharRomSize);
  for (std::size_t i = 0; i < rom.size(); ++i) {
    rom[i] = i % 8 == 0 ? 0xFF : i % 8 == 1 ? 0x00 : static_cast<std::uint8_t>(i * 73 ^ i >> 3);
  }
  return rom;
}
const Bytes kRom = pattern_rom();

enum class Edit { None, Flip, Other };  // a pixel pair of the saved frame made wrong, or colour 15
struct Probe {
  int row, column;
  std::uint8_t code;
  bool taken;
  int color = -1;  // the scene's base colour
  Edit edit = Edit::None;
};
struct Scene {
  const char* what;
  std::uint8_t port, d011, d016, d018, baseColor;
  unsigned fetched;           // codes fetched from the ROM area: 0 where none is read
  std::vector<Probe> probes;  // after those of every scene
};

// Sprite 0 (all pixels set) covers rows 5-7 of columns 5-7; sprite 1, behind
// the foreground, takes its data from the ROM area and covers columns 20-22
// of rows 8-10. Both have the base cells' foreground colour.
// clang-format off
const std::vector<Probe> kEveryScene = {
    {5, 5, 240, false}, {5, 6, 241, true}, {20, 20, 241, true}, {8, 20, 242, false},
    {10, 10, 243, false, -1, Edit::Flip}, {10, 30, 243, false},
    {12, 12, 244, true, -1, Edit::Other}, {12, 30, 244, true},
    {14, 14, 245, false, -1, Edit::Other}};
const Scene kScenes[] = {
    {"text, bank $0000, $1000", 0x97, 0x1B, 0x08, 0x14, 1, 256, {{14, 3, 246, false, 6}}},
    {"text, bank $0000, $1800", 0x97, 0x1B, 0x08, 0x16, 1, 256, {}},
    {"text, bank $8000, $9000", 0x95, 0x1B, 0x08, 0x14, 1, 256, {}},
    {"multicolour text", 0x97, 0x1B, 0x18, 0x14, 9, 256, {{14, 3, 246, false, 14}, {14, 5, 247, true, 5}}},
    {"extended background", 0x97, 0x5B, 0x08, 0x14, 1, 64,
     {{14, 3, 246, false, 7}, {14, 5, 0x80 | 55, true}, {14, 7, 55, true}}},
    {"scrolled by 7 and 7", 0x97, 0x1F, 0x0F, 0x14, 1, 256, {{0, 39, 246, false}, {24, 10, 247, false}}},
    {"24 rows, 38 columns", 0x97, 0x13, 0x00, 0x14, 1, 256, {{0, 10, 246, false}, {10, 0, 247, false}}},
    {"bank $4000", 0x96, 0x1B, 0x08, 0x14, 1, 0, {}},
    {"characters $2000", 0x97, 0x1B, 0x08, 0x18, 1, 0, {}},
    {"hires bitmap", 0x97, 0x3B, 0x08, 0x14, 1, 0, {}},
    {"display off", 0x97, 0x0B, 0x08, 0x14, 1, 0, {}},
    {"screen in the ROM area", 0x97, 0x1B, 0x08, 0x44, 1, 256, {}},
};
// clang-format on

SnapshotPlan scene_plan(const Scene& scene, const std::vector<Probe>& probes) {
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  plan.registers = {scene.port, scene.d011, scene.d016, scene.d018, 6, 6, 2, 4};  // border as $D021
  const int xs = scene.d016 & 7, ys = scene.d011 & 7;
  plan.moreRegisters = {{0x24, 7},       {0x15, 3},        {0x1B, 2},
                        {0x27, 1},       {0x28, 1},        {0x00, 64 + xs},
                        {0x01, 87 + ys}, {0x02, 184 + xs}, {0x03, 111 + ys}};
  const std::size_t bank = 0xC000u - (scene.port & 3u) * 0x4000u;
  for (std::size_t i = 0; i < 1000; ++i) {  // beneath: sprite 1 transparent, other screen codes
    plan.ram[bank + 0x1000 + i] = i < 64 ? 0 : static_cast<std::uint8_t>(kRom[i] ^ 1);
    plan.ram[bank + 0x400 + i] = static_cast<std::uint8_t>(i % 32 | (i / 32 % 4) << 6);
    plan.colorRam[i] = scene.baseColor;  // the base cells: codes 0-31, in ECM every background
  }
  std::fill_n(plan.ram.begin() + bank + 0x0340, 63, 0xFF);
  plan.ram[bank + 0x7F8] = 13;
  plan.ram[bank + 0x7F9] = 0x40;
  for (const Probe& p : probes) {
    const auto cell = static_cast<std::size_t>(p.row * 40 + p.column);
    plan.ram[bank + 0x400 + cell] = p.code;
    plan.colorRam[cell] = static_cast<std::uint8_t>(p.color < 0 ? scene.baseColor : p.color);
  }
  return plan;
}

// The frame the plan's registers draw with the made-up ROM, and its edits.
Bytes saved_frame(const SnapshotPlan& plan, const std::vector<Probe>& probes) {
  VideoState state = read_snapshot(memory_input(build_snapshot(plan).bytes)).state;
  std::copy(kRom.begin(), kRom.end(), state.charRom.emplace().begin());
  Bytes frame = render_frame(state).picture.pixels;
  const VideoRegisters& r = plan.registers;
  const std::uint8_t background[] = {6, 2, 4, 7};
  for (const Probe& p : probes) {  // both pixels of pair 1 of line 2
    if (p.edit == Edit::None) continue;
    const std::size_t at =
        (32u + 8u * p.row + (r.d011 & 7u) + 2) * 384 + 34 + (r.d016 & 7u) + 8u * p.column;
    const std::uint8_t m = plan.colorRam[static_cast<std::size_t>(p.row * 40 + p.column)] & 15;
    const std::uint8_t fg = r.d016 & 0x10 && m & 8 ? m & 7 : m;
    const std::uint8_t bg = r.d011 & 0x40 ? background[p.code >> 6] : r.d021;
    frame[at] = frame[at + 1] = p.edit == Edit::Other ? 15 : frame[at] == fg ? bg : fg;
  }
  return frame;
}

TEST(FrameFont, ShapesAreReadWhereEveryBitShowsAndNoCellsDisagree) {
  for (const Scene& scene : kScenes) {
    SCOPED_TRACE(scene.what);
    std::vector<Probe> probes = kEveryScene;
    probes.insert(probes.end(), scene.probes.begin(), scene.probes.end());
    SnapshotPlan plan = scene_plan(scene, probes);
    plan.savedFrame = saved_frame(plan, probes);
    const Bytes file = build_snapshot(plan).bytes;
    const InputFile input = memory_input(file);
    const SnapshotReading reading = read_snapshot(input);
    const FrameFont font = read_frame_font(reading.state, *saved_frame_picture(input, reading));

    std::bitset<kRomGlyphs> expected;
    const auto set = [&](unsigned code) {
      expected.set((scene.d018 & 2 ? 256 : 0) + (scene.d011 & 0x40 ? code & 63u : code));
    };
    const bool reads = scene.fetched && scene.d018 < 0x40;  // the screen in RAM
    // The base cells: codes 0-31, 64-95, 128-159 and 192-223.
    for (unsigned code = 0; code < 256 && reads; code += code % 64 == 31 ? 33 : 1) set(code);
    for (const Probe& p : probes) {
      if (p.taken && reads) set(p.code);
    }
    EXPECT_EQ(font.taken, expected);
    const FrameFontCount count = count_frame_font(font);
    EXPECT_EQ(count.read, expected.count());
    EXPECT_EQ(count.beneath, scene.fetched - expected.count());

    VideoState state = reading.state;
    ASSERT_EQ(apply_frame_font(font, state), expected.any());
    if (expected.none()) continue;
    const std::size_t beneath = 0x1000u + (scene.port == 0x95 ? 0x8000u : 0u);
    Bytes shapes(plan.ram.begin() + beneath, plan.ram.begin() + beneath + 4096);
    for (std::size_t i = 0; i < shapes.size(); ++i)
      shapes[i] = expected[i / 8] ? kRom[i] : shapes[i];
    EXPECT_EQ(Bytes(state.charRom->begin(), state.charRom->end()), shapes);
    EXPECT_EQ(state.unknownGlyphs, ~expected);
    EXPECT_FALSE(apply_frame_font(font, state)) << "a state with a ROM keeps it";
    const Picture frame{*plan.savedFrame};
    EXPECT_TRUE(read_frame_font(reading.state, reading.state.vic, reading.state.cia2PortA, frame,
                                std::nullopt, {16, 50})
                    .taken.none())
        << "no text row on those lines";
  }
}

// VICE 3.10's snapshot of a text screen in the ROM's font, with sprites
// and without the ROM: drawn with the shapes read, the screen is the frame
// VICE saved wherever it does not depend on a glyph left unread.
TEST(FrameFont, VicesRomFontScreenIsDrawnAsSavedFromTheShapesRead) {
  const char* chosen = std::getenv("LUMERIST_VICE_CASES");
  const std::filesystem::path file =
      std::filesystem::path(chosen && *chosen ? chosen : LUMERIST_VICE_CASES) /
      "vice310-x64sc-text-rom-sprites.vsf";
  InputFile input;
  if (!open_input(file.string(), input)) GTEST_SKIP() << file << " (set LUMERIST_VICE_CASES)";
  const SnapshotReading reading = read_snapshot(input);
  const std::optional<Picture> saved = saved_frame_picture(input, reading);
  ASSERT_TRUE(saved);
  const FrameFont font = read_frame_font(reading.state, *saved);
  EXPECT_GE(font.taken.count(), 240u) << "the screen shows nearly every code";
  const std::array<std::uint8_t, 8> at = {0x3C, 0x66, 0x6E, 0x6E, 0x60, 0x62, 0x3C, 0x00};
  EXPECT_TRUE(font.taken[0] && std::equal(at.begin(), at.end(), font.glyphs.begin())) << "@";

  VideoState state = reading.state;
  ASSERT_TRUE(apply_frame_font(font, state));
  std::array<Picture, 2> unread;  // the glyphs not taken all 0, all 1
  for (std::size_t fill = 0; fill < 2; ++fill) {
    VideoState probe = state;
    for (std::size_t i = 0; i < kCharRomSize; ++i) {
      if (!font.taken[i / 8]) (*probe.charRom)[i] = fill ? 0xFF : 0x00;
    }
    unread[fill] = render_frame(probe).picture;
  }
  const Picture drawn = render_frame(state).picture;
  std::size_t compared = 0, differing = 0;
  for (std::size_t i = 0; i < kPicturePixels; ++i) {
    if (unread[0].pixels[i] != unread[1].pixels[i]) continue;
    ++compared;
    differing += drawn.pixels[i] != saved->pixels[i];
  }
  EXPECT_EQ(differing, 0u);
  EXPECT_GT(compared, kPicturePixels * 99 / 100);
}

}  // namespace
