// lumerist-sprites run as a process: its report, the sprite data file, the
// sheet of the bank's blocks, the character ROM area, and what it refuses.

#include <gtest/gtest.h>

#include <filesystem>

#include "png_reading.h"
#include "snapshot_builder.h"
#include "tool_run.h"

namespace {

const std::string kRule =
    "-------------------------------------------------------------------------------\n";

// A multicolour bitmap in bank $4000 (screen $4400, sprite pointers at
// $47F8) with three sprites on:
//   0  block $30 (solid), X 148, Y 203, yellow: on the screen
//   1  block $31, X 300, Y 0, multicolour, wide, tall, behind: above the window
//   5  block $30, X 400: right of the window
SnapshotPlan three_sprites() {
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  plan.registers = SnapshotPlan::multicolor_bitmap_registers();
  plan.registers.d021 = 0x0B;
  plan.ram[0x47F8] = 0x30;
  plan.ram[0x47F9] = 0x31;
  plan.ram[0x47FD] = 0x30;
  std::fill_n(plan.ram.begin() + 0x4C00, 63, 0xFF);  // block $30
  std::fill_n(plan.ram.begin() + 0x4C40, 64, 0x00);  // block $31 ...
  plan.ram[0x4C40] = 0x1B;                           // ... its first row: pairs 00 01 10 11
  std::fill_n(plan.ram.begin() + 0x5000, 64, 0x00);  // block $40, no sprite's ...
  plan.ram[0x5000] = 0x80;                           // ... one pixel, top left
  plan.moreRegisters = {{0x00, 148},  {0x01, 203},   // sprite 0
                        {0x02, 44},   {0x03, 0},     // sprite 1, X 256 + 44
                        {0x0A, 144},  {0x0B, 100},   // sprite 5, X 256 + 144
                        {0x10, 0x22}, {0x15, 0x23}, {0x17, 0x02}, {0x1B, 0x02}, {0x1C, 0x02},
                        {0x1D, 0x02}, {0x25, 0x0D}, {0x26, 0x09},   // sprite multicolours
                        {0x27, 0xF7}, {0x28, 0x0E}, {0x2C, 0x05}};  // colours (high nibble ignored)
  return plan;
}

// The sheet's pixels; empty when it cannot be read as a 416 x 368 PNG.
struct Sheet {
  std::vector<std::vector<std::uint8_t>> rows;
  std::uint8_t at(int x, int y) const {
    return rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
  }
};

Sheet read_sheet(const std::string& path) {
  const std::optional<PngContents> png = read_png(path);
  if (!png || png->width != 416 || png->height != 368) return {};
  return {png->rows};
}

// The 64 bytes of `bytes` from `at`: a sprite block.
Bytes block_of(const Bytes& bytes, std::size_t at) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at),
               bytes.begin() + static_cast<std::ptrdiff_t>(at + 64));
}

// Top left pixel of block `b`'s 24 x 21, and of its ring.
int block_x(int b) {
  return 26 * (b % 16) + 1;
}
int block_y(int b) {
  return 23 * (b / 16) + 1;
}

TEST(SpritesCommand, ReportsEverySpriteAndWritesTheEnabledOnesData) {
  TempDir dir;
  const SnapshotPlan plan = three_sprites();
  write_file(dir.file("shot.vsf"), build_snapshot(plan).bytes);
  const ToolRun run = run_lumerist_sprites({"shot.vsf"}, in_folder(dir.path));
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output,
            kRule +
                "Sprites in Bank $4000 ($96), pointers at $47f8.\n"
                "Sprite 0: block $30 at $4c00, X 148, Y 203, colour $07, hires, shown.\n"
                "Sprite 1: block $31 at $4c40, X 300, Y 0, colour $0e, multicolour, double "
                "width, double height, behind the picture, not shown.\n"
                "Sprite 2: off.\nSprite 3: off.\nSprite 4: off.\n"
                "Sprite 5: block $30 at $4c00, X 400, Y 100, colour $05, hires, not shown.\n"
                "Sprite 6: off.\nSprite 7: off.\n"
                "Sprite data of 0, 1, 5\twritten as 'shot.vsf.sprites' without header.\n"
                "Sprite sheet of the bank\twritten as 'shot.vsf.sprites.png'.\n" +
                kRule);
  EXPECT_EQ(run.errors, "");
  const Bytes solid = block_of(plan.ram, 0x4C00);  // 63 bytes of sprite and the byte after
  Bytes expected = solid;
  const Bytes second = block_of(plan.ram, 0x4C40);
  expected.insert(expected.end(), second.begin(), second.end());
  expected.insert(expected.end(), solid.begin(), solid.end());
  EXPECT_EQ(read_file(dir.file("shot.vsf.sprites")), expected);
}

TEST(SpritesCommand, SheetDrawsEachBlockInItsRingAndInItsSpritesColours) {
  SnapshotPlan none = three_sprites();
  none.moreRegisters[0x15] = 0x00;  // all off
  none.moreRegisters[0x1C] = 0x01;  // sprite 0 multicolour
  SnapshotPlan noneOnWhite = none;
  noneOnWhite.registers.d021 = 0x01;
  SnapshotPlan mostlyMulticolour = three_sprites();
  mostlyMulticolour.moreRegisters[0x1C] = 0x22;  // sprites 1 and 5
  mostlyMulticolour.moreRegisters[0x27] = 0x0B;  // sprite 0 in the background colour
  struct Probe {
    int block, x, y;  // a pixel of the block; -1 and 24 (or 21) are its ring
    std::uint8_t colour;
  };
  // Block $40, no sprite's, holds one set bit: hires pixel 0, or pair 10 in multicolour.
  const struct {
    const char* what;
    SnapshotPlan plan;
    std::vector<Probe> probes;
    bool data;  // the sprite data file is written
  } cases[] = {
      {"sprites 0, 1 and 5 on",
       three_sprites(),
       {{0x30, -1, -1, 1},
        {0x31, 24, 21, 1},  // pointed at: white
        {0x32, -1, 21, 11},
        {0x00, 24, -1, 11},
        {0xFF, -1, -1, 11},  // the others: dark grey
        {0x30, 0, 0, 7},
        {0x30, 23, 20, 7},  // sprite 0's colour, the lowest pointing at it
        // Sprite 1's multicolour pairs, two pixels wide: $D021, $D025, its colour, $D026.
        {0x31, 0, 0, 0x0B},
        {0x31, 1, 0, 0x0B},
        {0x31, 2, 0, 0x0D},
        {0x31, 4, 0, 0x0E},
        {0x31, 6, 0, 0x09},
        {0x31, 7, 0, 0x09},
        {0x40, 0, 0, 7},
        {0x40, 1, 0, 0x0B}},  // no sprite's: hires as most are, sprite 0's colour
       true},
      {"most on are multicolour; sprite 0 in the background colour",
       mostlyMulticolour,
       {{0x40, 0, 0, 0x0E}, {0x40, 1, 0, 0x0E}, {0x40, 2, 0, 0x0B}},  // sprite 1's colour
       true},
      {"none on: hires white",
       none,
       {{0x30, -1, -1, 11}, {0x40, 0, 0, 1}, {0x40, 1, 0, 0x0B}},
       false},
      {"none on, on a white background: black",
       noneOnWhite,
       {{0x40, 0, 0, 0}, {0x40, 1, 0, 1}},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    write_file(dir.file("shot.vsf"), build_snapshot(c.plan).bytes);
    const ToolRun run = run_lumerist_sprites({"shot.vsf"}, in_folder(dir.path));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("Sprite data of") != std::string::npos, c.data);
    EXPECT_EQ(file_exists(dir.file("shot.vsf.sprites")), c.data);
    const Sheet sheet = read_sheet(dir.file("shot.vsf.sprites.png"));
    ASSERT_FALSE(sheet.rows.empty());
    for (const Probe& p : c.probes) {
      EXPECT_EQ(sheet.at(block_x(p.block) + p.x, block_y(p.block) + p.y), p.colour)
          << "block " << p.block << " at " << p.x << "," << p.y;
    }
  }
}

TEST(SpritesCommand, CharacterRomAreaFromTheSnapshotElseChargenElseRamWithANote) {
  TempDir dir;
  // Bank $0000: blocks $40-$7F lie where the VIC-II sees the character ROM.
  SnapshotPlan basic;
  basic.ram[0x07F8] = 0x40;  // sprite 0's pointer: block $40, $1000
  basic.moreRegisters = {{0x15, 0x01}};
  Bytes rom(4096), snapshotRom(4096);
  for (std::size_t i = 0; i < rom.size(); ++i) {
    rom[i] = static_cast<std::uint8_t>(i * 7 + 1);
    snapshotRom[i] = static_cast<std::uint8_t>(i * 5 + 3);
  }
  rom[0x3F8] = 0x90;  // as a pointer: block $90 at $2400, RAM
  SnapshotPlan withRom = basic;
  withRom.charRom = snapshotRom;
  SnapshotPlan romScreen = basic;  // screen $1000: the pointers themselves in the ROM
  romScreen.registers.d018 = 0x44;
  write_file(dir.file("plain.vsf"), build_snapshot(basic).bytes);
  write_file(dir.file("rom.vsf"), build_snapshot(withRom).bytes);
  write_file(dir.file("romscreen.vsf"), build_snapshot(romScreen).bytes);
  write_file(dir.file("chargen"), rom);
  const std::string note =
      "Note: no character ROM is at hand: the characters at $1000-$1FFF hold the RAM beneath.\n";
  const struct {
    std::vector<std::string> arguments;
    Bytes data;  // the first bytes of the sprite data file
    std::string errors;
  } cases[] = {
      {{"plain.vsf"}, block_of(basic.ram, 0x1000), note},
      {{"--chargen", "chargen", "plain.vsf"}, block_of(rom, 0), ""},
      {{"rom.vsf"}, block_of(snapshotRom, 0), ""},
      {{"--chargen=chargen", "rom.vsf"}, block_of(snapshotRom, 0), ""},  // the snapshot's wins
      {{"--chargen", "chargen", "romscreen.vsf"}, block_of(basic.ram, 0x2400), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    const ToolRun run = run_lumerist_sprites(c.arguments, in_folder(dir.path));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.errors, c.errors);
    EXPECT_EQ(read_file(dir.file(c.arguments.back() + ".sprites")), c.data);
  }
}

// A palette of greys, $00 to $FF, in an older file's form.
const std::string kPaletteText =
    "00 00 00 0\n11 11 11 1\n22 22 22 2\n33 33 33 3\n44 44 44 4\n55 55 55 5\n66 66 66 6\n"
    "77 77 77 7\n88 88 88 8\n99 99 99 9\nAA AA AA A\nBB BB BB B\nCC CC CC C\nDD DD DD D\n"
    "EE EE EE E\nFF FF FF F\n";
const Bytes kPalette(kPaletteText.begin(), kPaletteText.end());

TEST(SpritesCommand, SheetTakesTheColoursOfThePaletteFile) {
  TempDir dir;
  write_file(dir.file("shot.vsf"), build_snapshot(three_sprites()).bytes);
  write_file(dir.file("greys.vpl"), kPalette);
  const ToolRun run =
      run_lumerist_sprites({"--palette", "greys.vpl", "shot.vsf"}, in_folder(dir.path));
  ASSERT_EQ(run.status, 0) << run.output;
  const std::optional<PngContents> png = read_png(dir.file("shot.vsf.sprites.png"));
  ASSERT_TRUE(png);
  for (std::uint32_t i = 0; i < 16; ++i) EXPECT_EQ(png->palette.at(i), i * 0x111111) << i;
}

TEST(SpritesCommand, RefusesWhatLumeristRefusesAndCommandLinesItCannotUse) {
  TempDir dir;
  const std::string path = dir.file("shot.vsf");
  for (const Bytes& bytes : refused_snapshots()) {
    write_file(path, bytes);
    const ToolRun run = run_lumerist_sprites({path});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.output, run_lumerist({path}).output);
    EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"shot.vsf"});
  }
  write_file(path, build_snapshot(three_sprites()).bytes);
  const std::string usage = kRule + "Lumerist sprites: ";
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string reason;
  } cases[] = {
      {{}, 255, "No snapshot file given.\n"},
      {{"--viewer", "shot.vsf"}, 255, "Unknown option '--viewer'.\n"},
      {{"--chargen"}, 255, "Option --chargen needs a file name.\n"},
      {{"--chargen", "missing", "shot.vsf"}, 255, "Can't read character ROM file 'missing'!\n"},
      {{"--palette=", "shot.vsf"}, 255, "Option --palette needs a file name.\n"},
      {{"--palette", "missing.vpl", "shot.vsf"}, 255, "Can't read palette file 'missing.vpl'!\n"},
  };
  for (const auto& c : cases) {
    const ToolRun run = run_lumerist_sprites(c.arguments, in_folder(dir.path));
    EXPECT_EQ(run.status, c.status);
    if (c.reason.starts_with("Can't")) {
      EXPECT_EQ(run.output, c.reason);
    } else {
      EXPECT_EQ(run.output.substr(0, c.reason.size() + usage.size()), c.reason + usage);
    }
  }
  EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"shot.vsf"});
}

TEST(SpritesCommand, OutputThatIsAnInputOrCannotBeWrittenIsNamedAndFails) {
  enum class Make { HardLink, SymbolicLink, ChargenLink, PaletteLink, FullDisk };
  const struct {
    std::string output;
    Make make;
    std::string message;
  } cases[] = {
      {".sprites", Make::HardLink, "Can't write sprite data file '%.sprites'!\n"},
      {".sprites.png", Make::SymbolicLink, "Can't write PNG file '%.sprites.png'!\n"},
      {".sprites.png", Make::ChargenLink, "Can't write PNG file '%.sprites.png'!\n"},
      {".sprites", Make::PaletteLink, "Can't write sprite data file '%.sprites'!\n"},
      {".sprites", Make::FullDisk, "Can't write sprite data file '%.sprites'!\n"},
      {".sprites.png", Make::FullDisk, "Can't write PNG file '%.sprites.png'!\n"},
  };
  // Symbolic links, and /dev/full behind one, where the system has them.
  const std::string noLinks = cannot_make(Fault::SymbolicLink);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    if (c.make != Make::HardLink && !noLinks.empty()) continue;
    TempDir dir;
    const std::string path = dir.file("shot.vsf");
    const Bytes bytes = build_snapshot(three_sprites()).bytes;
    write_file(path, bytes);
    write_file(dir.file("chargen"), Bytes(4096, 0x55));
    write_file(dir.file("palette.vpl"), kPalette);
    const std::string target = path + c.output;
    if (c.make == Make::HardLink) std::filesystem::create_hard_link(path, target);
    if (c.make == Make::SymbolicLink) std::filesystem::create_symlink("shot.vsf", target);
    if (c.make == Make::ChargenLink) std::filesystem::create_symlink("chargen", target);
    if (c.make == Make::PaletteLink) std::filesystem::create_symlink("palette.vpl", target);
    if (c.make == Make::FullDisk) std::filesystem::create_symlink("/dev/full", target);

    const ToolRun run = run_lumerist_sprites(
        {"--chargen", dir.file("chargen"), "--palette", dir.file("palette.vpl"), path});
    EXPECT_EQ(run.status, 255);
    std::string message = c.message;
    message.replace(message.find('%'), 1, path);
    EXPECT_EQ(run.output, message);
    EXPECT_EQ(read_file(path), bytes) << "the snapshot must stay as it was";
    EXPECT_EQ(read_file(dir.file("chargen")), Bytes(4096, 0x55));
    EXPECT_EQ(read_file(dir.file("palette.vpl")), kPalette);
    // Nothing new: the data written before a failing sheet is not kept.
    std::vector<std::string> expected = {"chargen", "palette.vpl", "shot.vsf",
                                         "shot.vsf" + c.output};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files_in(dir.path), expected);
  }
  if (!noLinks.empty()) GTEST_SKIP() << "the hard link passed; the others not tried: " << noLinks;
}

}  // namespace
