// lumerist-preview run as a process: its command line, refusals, which
// picture it draws from which source, the character ROM, output names and
// outputs it cannot write.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "io/system.h"
#include "png_reading.h"
#include "render/render_frame.h"
#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"
#include "tool_run.h"

namespace {

const std::string kSyntax =
    " [--viewer | --registers | --compare] [--chargen FILE] [--band N] [--palette FILE] "
    "[-o DIR] ViceSnapshotFile.vsf... | ViceSnapshotFile.vsf Preview.png'.\n";

// The PNG's pixels row after row; empty when it cannot be read.
Bytes png_pixels(const std::string& path) {
  const std::optional<PngContents> png = read_png(path);
  if (!png || png->width != 384 || png->height != 272) return {};
  Bytes pixels;
  for (const auto& row : png->rows) pixels.insert(pixels.end(), row.begin(), row.end());
  return pixels;
}

// A frame unlike anything the registers draw: diagonal stripes.
Bytes striped_frame() {
  Bytes frame(384 * 272);
  for (std::size_t i = 0; i < frame.size(); ++i)
    frame[i] = static_cast<std::uint8_t>((i % 384 + i / 384) / 4 % 16);
  return frame;
}

TEST(PreviewCommand, UsageAndHelpAfterTheReasonACommandLineCannotBeUsed) {
  TempDir dir;
  write_file(dir.file("shot.vsf"), build_snapshot(SnapshotPlan{}).bytes);
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string reason;  // the line before the usage
  } cases[] = {
      {{}, 255, "No snapshot file given.\n"},
      {{"--viewer", "--help", "shot.vsf"}, 0, ""},
      {{"--viewer", "--registers", "shot.vsf"},
       255,
       "Give only one of --viewer, --registers and --compare.\n"},
      {{"--compare", "--compare", "shot.vsf"},
       255,
       "Give only one of --viewer, --registers and --compare.\n"},
      {{"--chargen"}, 255, "Option --chargen needs a file name.\n"},
      {{"--chargen=", "shot.vsf"}, 255, "Option --chargen needs a file name.\n"},
      {{"shot.vsf", "--palette"}, 255, "Option --palette needs a file name.\n"},
      {{"--viewer"}, 255, "No snapshot file given.\n"},
  };
  for (const auto& c : cases) {
    const ToolRun run = run_lumerist_preview(c.arguments, in_folder(dir.path));
    EXPECT_EQ(run.status, c.status) << c.arguments.size();
    const std::string usage =
        "-------------------------------------------------------------------"
        "------------\nLumerist preview: ";
    EXPECT_EQ(run.output.substr(0, c.reason.size() + usage.size()), c.reason + usage) << run.output;
    EXPECT_NE(run.output.find("Syntax: '" + lumerist_preview_path() + kSyntax), std::string::npos)
        << run.output;
    EXPECT_EQ(run.errors, "");
  }
  EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"shot.vsf"});
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
  const ToolRun missing = run_lumerist_preview({"--viewer", dir.file("missing.vsf")});
  EXPECT_EQ(missing.status, 255);
  EXPECT_EQ(missing.output, "Cant't open snapshot file '" + dir.file("missing.vsf") + "'!\n");
}

TEST(PreviewCommand, DrawsTheSavedFrameElseTheRegistersOrTheViewerAsAsked) {
  enum class Expect { Saved, Registers, Viewer };
  const struct {
    Shape shape;
    bool frame;
    std::vector<std::string> options;
    Expect expect;
    std::string picture;  // the default PNG name after the snapshot's
  } cases[] = {
      {Shape::Vice310CycleExact, true, {}, Expect::Saved, ".png"},
      {Shape::Vice37Fast, true, {}, Expect::Saved, ".png"},
      {Shape::Vice361CycleExact, false, {}, Expect::Registers, ".png"},
      {Shape::TagsOnly, false, {}, Expect::Registers, ".png"},
      {Shape::Vice310CycleExact, true, {"--registers"}, Expect::Registers, ".registers.png"},
      {Shape::Vice37Fast, true, {"--viewer"}, Expect::Viewer, ".viewer.png"},
      {Shape::TagsOnly,
       false,
       {"--", "--viewer"},
       Expect::Registers,
       ".png"},  // a snapshot so named
  };
  const char* sources[] = {"the frame VICE saved", "the VIC-II registers", "the viewer program"};
  for (const auto& c : cases) {
    SCOPED_TRACE(shape_name(c.shape) + " " + (c.options.empty() ? "" : c.options.back()));
    TempDir dir;
    SnapshotPlan plan;
    plan.shape = c.shape;
    plan.registers = SnapshotPlan::multicolor_bitmap_registers();  // bank $4000, screen $4400
    // Sprite 0, yellow and solid, at X 100, Y 100: picture columns 108-131, rows 85-105.
    plan.moreRegisters = {{0x15, 0x01}, {0x00, 100}, {0x01, 100}, {0x27, 0x07}};
    plan.ram[0x4400 + 0x3F8] = 0x30;
    std::fill_n(plan.ram.begin() + 0x4C00, 63, 0xFF);
    if (c.frame) plan.savedFrame = striped_frame();
    const std::string name = c.options.size() == 2 ? "--viewer" : "shot.vsf";
    write_file(dir.file(name), build_snapshot(plan).bytes);
    std::vector<std::string> arguments = c.options;
    if (c.options.size() != 2) arguments.push_back(name);
    const ToolRun run = run_lumerist_preview(arguments, in_folder(dir.path));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "Preview written as '" + name + c.picture + "' from " +
                              sources[static_cast<int>(c.expect)] + ".\n");
    // The striped frame is none the registers draw: the viewer's picture
    // says so.
    EXPECT_EQ(run.errors.starts_with("Note: the frame VICE saved in 'shot.vsf' is not drawn"),
              c.expect == Expect::Viewer)
        << run.errors;
    EXPECT_EQ(files_in(dir.path), (std::vector<std::string>{name, name + c.picture}));

    const Bytes pixels = png_pixels(dir.file(name + c.picture));
    ASSERT_EQ(pixels.size(), 384u * 272u);
    if (c.expect == Expect::Saved) {
      EXPECT_EQ(pixels, striped_frame());
      continue;
    }
    EXPECT_EQ(pixels[0], plan.registers.d020 & 15);  // the border
    std::size_t yellow = 0;
    for (int y = 85; y <= 105; ++y) {
      for (int x = 108; x <= 131; ++x) yellow += pixels[static_cast<std::size_t>(y * 384 + x)] == 7;
    }
    EXPECT_EQ(yellow == 24 * 21, c.expect == Expect::Registers) << yellow;
  }
}

TEST(PreviewCommand, ViewerOfA38ColumnTextScreenKeepsItsColumnsAndScroll) {
  TempDir dir;
  SnapshotPlan plan;
  plan.registers.d016 = 0xC3;  // 38 columns, scrolled by 3
  plan.ram[0x0400 + 1] = 0x01;
  plan.ram[0x1000 + 8] = 0x80;  // glyph 1, first line: one pixel
  plan.colorRam[1] = 0x05;
  write_file(dir.file("shot.vsf"), build_snapshot(plan).bytes);
  ASSERT_EQ(run_lumerist_preview({"--viewer", dir.file("shot.vsf")}).status, 0);
  const Bytes pixels = png_pixels(dir.file("shot.vsf.viewer.png"));
  ASSERT_EQ(pixels.size(), 384u * 272u);
  const auto at = [&pixels](int x, int y) { return pixels[static_cast<std::size_t>(y * 384 + x)]; };
  const int border = plan.registers.d020 & 15, background = plan.registers.d021 & 15;
  EXPECT_EQ(at(38, 35), border);     // 38 columns: the window starts at 39
  EXPECT_EQ(at(32 + 3 + 8, 35), 5);  // column 1, shifted by the scroll
  EXPECT_EQ(at(32 + 8, 35), background);
  EXPECT_EQ(at(342, 35), background);
  EXPECT_EQ(at(343, 35), border);
}

TEST(PreviewCommand, CharacterRomFromTheSnapshotElseFromChargenElseANote) {
  TempDir dir;
  SnapshotPlan basic;  // bank $0000, characters at $1000: the ROM's place
  basic.ram[0x0400 + 1] = 0x01;
  basic.ram[0x1000 + 8] = 0x0F;  // RAM under the ROM: the right half of the cell
  basic.colorRam[1] = 0x05;
  Bytes rom(4096, 0), otherRom(4096, 0);
  rom[8] = 0xF0;       // the left half
  otherRom[8] = 0x3C;  // the middle
  write_file(dir.file("chargen"), rom);
  write_file(dir.file("other"), otherRom);
  SnapshotPlan withRom = basic;
  withRom.charRom = otherRom;
  write_file(dir.file("plain.vsf"), build_snapshot(basic).bytes);
  write_file(dir.file("rom.vsf"), build_snapshot(withRom).bytes);

  const std::string note =
      "Note: 'plain.vsf' holds no character ROM and no file gives one, so RAM was drawn where the "
      "VIC-II sees it.\n";
  const struct {
    std::vector<std::string> arguments;
    std::uint8_t glyph;  // the row drawn at cell 1
    std::string errors;
    std::string suffix = ".png";
  } cases[] = {
      {{"plain.vsf"}, 0x0F, note},
      {{"--registers", "plain.vsf"}, 0x0F, note, ".registers.png"},
      {{"--chargen", "chargen", "plain.vsf"}, 0xF0, ""},
      {{"--chargen=chargen", "plain.vsf"}, 0xF0, ""},
      {{"rom.vsf"}, 0x3C, ""},
      {{"--chargen", "chargen", "rom.vsf"}, 0x3C, ""},       // the snapshot's own ROM wins
      {{"--viewer", "plain.vsf"}, 0x0F, "", ".viewer.png"},  // the viewer's copy is RAM
  };
  for (const auto& c : cases) {
    const ToolRun run = run_lumerist_preview(c.arguments, in_folder(dir.path));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.errors, c.errors) << c.arguments[0];
    const Bytes pixels = png_pixels(dir.file(c.arguments.back() + c.suffix));
    ASSERT_FALSE(pixels.empty());
    for (int p = 0; p < 8; ++p) {
      const int expected = (c.glyph >> (7 - p) & 1) ? 5 : basic.registers.d021 & 15;
      EXPECT_EQ(pixels[static_cast<std::size_t>(35 * 384 + 40 + p)], expected) << c.arguments[0];
    }
  }
}

TEST(PreviewCommand, UnusableChargenIsRefusedAndNothingIsWritten) {
  TempDir dir;
  write_file(dir.file("shot.vsf"), build_snapshot(SnapshotPlan{}).bytes);
  write_file(dir.file("short"), Bytes(4095, 0));
  write_file(dir.file("long"), Bytes(4097, 0));
  std::filesystem::create_directory(dir.file("folder"));
  const std::string cannotRead = "Can't read character ROM file '%'!\n";
  const std::string wrongSize = "Character ROM file '%' is not 4096 bytes long!\n";
  const std::pair<std::string, std::string> cases[] = {
      {"missing", cannotRead}, {"folder", cannotRead}, {empty_devices().back(), cannotRead},
      {"short", wrongSize},    {"long", wrongSize},
  };
  for (const auto& [file, message] : cases) {
    const ToolRun run = run_lumerist_preview({"--chargen", file, "shot.vsf"}, in_folder(dir.path));
    EXPECT_EQ(run.status, 255);
    std::string expected = message;
    expected.replace(expected.find('%'), 1, file);
    EXPECT_EQ(run.output, expected);
  }
  EXPECT_FALSE(file_exists(dir.file("shot.vsf.png")));
}

// A palette file of 16 colours, `first` and on: colour i is first + i * $101010.
std::string palette_text(std::uint32_t first) {
  std::string text = "# NAME: made up\r\n";
  for (std::uint32_t i = 0; i < 16; ++i) {
    char line[32];
    const std::uint32_t rgb = first + i * 0x101010;
    std::snprintf(line, sizeof line, "%02X %02X %02X 0\r\n", rgb >> 16, rgb >> 8 & 0xFF,
                  rgb & 0xFF);
    text += line;
  }
  return text;
}

std::vector<std::uint32_t> palette_colours(std::uint32_t first) {
  std::vector<std::uint32_t> colours;
  for (std::uint32_t i = 0; i < 16; ++i) colours.push_back(first + i * 0x101010);
  return colours;
}

TEST(PreviewCommand, PaletteFromAFileOrByNameFromVicesFoldersElseRefusedAndNothingWritten) {
  TempDir dir;
  write_file(dir.file("shot.vsf"), build_snapshot(SnapshotPlan{}).bytes);
  const auto text_file = [](const std::string& path, const std::string& text) {
    write_file(path, Bytes(text.begin(), text.end()));
  };
  make_folders(dir.file("home/vice/C64"));
  make_folders(dir.file("system/vice/C64"));
  const std::string home = dir.file("home") + "/vice/C64/";
  text_file(home + "colodore.vpl", palette_text(0x010203));
  text_file(home + "broken.vpl", "00 00 00\n");
  text_file(dir.file("system") + "/vice/C64/colodore.vpl", palette_text(0x040506));
  text_file(dir.file("system") + "/vice/C64/pepto.vpl", palette_text(0x040506));
  text_file(dir.file("my.vpl"), palette_text(0x070809));
  text_file(dir.file("plain"), palette_text(0x040506));
  text_file(dir.file("long.vpl"), std::string(65537, '#'));
  text_file(dir.file("bad.vpl"), "00 00 00\n\n0G 00 00\n");
  text_file(dir.file("over.vpl"), "00 00 00 # 100\r\n00 100 00\r\n");
  text_file(dir.file("two.vpl"), "00 00\n");
  text_file(dir.file("more.vpl"), palette_text(0) + "00 00 00\n");
  text_file(dir.file("palette.png"), palette_text(0x070809));
  std::filesystem::create_hard_link(home + "colodore.vpl", dir.file("found.png"));
  RunOptions options = in_folder(dir.path);
  options.environment = {
      {"XDG_DATA_HOME", dir.file("home")},
      {"XDG_DATA_DIRS", dir.file("missing") + kPathListSeparator + dir.file("system")}};
  const struct {
    std::vector<std::string> arguments;
    std::uint32_t first;  // of the PNG's colours, when written
    std::string refusal = "";
    std::string picture = "shot.vsf.png";
  } cases[] = {
      {{"--palette", "my.vpl", "shot.vsf"}, 0x070809},
      {{"--palette=colodore", "shot.vsf"}, 0x010203},  // the first folder's
      {{"shot.vsf", "--palette", "pepto"}, 0x040506},
      {{"--palette", "./plain", "shot.vsf"}, 0x040506},
      {{"--palette", "missing.vpl", "shot.vsf", "--palette", "my.vpl"}, 0x070809},  // the last
      {{"--compare", "--palette", "my.vpl", "shot.vsf"}, 0x070809, "", "shot.vsf.compare.png"},
      {{"--palette", "plain", "shot.vsf"},
       0,
       "Palette 'plain' not found: no plain.vpl in VICE's C64 folders!\n"},
      {{"--palette", "broken", "shot.vsf"},
       0,
       "Palette file '" + home + "broken.vpl' holds 1 of the 16 colours!\n"},
      {{"--palette", "missing.vpl", "shot.vsf"}, 0, "Can't read palette file 'missing.vpl'!\n"},
      {{"--palette", "long.vpl", "shot.vsf"},
       0,
       "Palette file 'long.vpl' is longer than 65536 bytes!\n"},
      {{"--palette", "bad.vpl", "shot.vsf"},
       0,
       "Palette file 'bad.vpl', line 3: a value is not a hex number!\n"},
      {{"--palette", "over.vpl", "shot.vsf"},
       0,
       "Palette file 'over.vpl', line 2: a value is over FF!\n"},
      {{"--palette", "two.vpl", "shot.vsf"},
       0,
       "Palette file 'two.vpl', line 1: 3 or 4 values expected!\n"},
      {{"--palette", "more.vpl", "shot.vsf"},
       0,
       "Palette file 'more.vpl', line 18: more than 16 colours!\n"},
      {{"--palette", "./palette.png", "shot.vsf", "palette.png"},
       0,
       "Can't write PNG file 'palette.png'!\n"},
      {{"--palette", "colodore", "shot.vsf", "found.png"},
       0,
       "Can't write PNG file 'found.png'!\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments[1]);
    const ToolRun run = run_lumerist_preview(c.arguments, options);
    if (!c.refusal.empty()) {
      EXPECT_EQ(run.status, 255);
      EXPECT_EQ(run.output, c.refusal);
      EXPECT_FALSE(file_exists(dir.file("shot.vsf.png")));
      continue;
    }
    ASSERT_EQ(run.status, 0) << run.output;
    const std::optional<PngContents> png = read_png(dir.file(c.picture));
    ASSERT_TRUE(png);
    EXPECT_EQ(png->bitDepth, 4);
    EXPECT_EQ(png->palette, palette_colours(c.first));
    std::filesystem::remove(dir.file(c.picture));
  }
  const std::string mine = palette_text(0x070809), vice = palette_text(0x010203);
  EXPECT_EQ(read_file(dir.file("my.vpl")), Bytes(mine.begin(), mine.end()));
  EXPECT_EQ(read_file(home + "colodore.vpl"), Bytes(vice.begin(), vice.end()));
}

TEST(PreviewCommand, SecondArgumentNamesTheOutput) {
  TempDir dir;
  write_file(dir.file("shot.vsf"), build_snapshot(SnapshotPlan{}).bytes);
  const ToolRun run = run_lumerist_preview({dir.file("shot.vsf"), dir.file("look.png")});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output,
            "Preview written as '" + dir.file("look.png") + "' from the VIC-II registers.\n");
  EXPECT_EQ(files_in(dir.path), (std::vector<std::string>{"look.png", "shot.vsf"}));
}

TEST(PreviewCommand, OutputThatCannotBeWrittenIsNamedAndFails) {
  TempDir dir;
  write_file(dir.file("shot.vsf"), build_snapshot(SnapshotPlan{}).bytes);
  std::filesystem::create_directory(dir.file("shot.vsf.png"));
  const ToolRun blocked = run_lumerist_preview({dir.file("shot.vsf")});
  EXPECT_EQ(blocked.status, 255);
  EXPECT_EQ(blocked.output, "Can't write PNG file '" + dir.file("shot.vsf.png") + "'!\n");

  if (const std::string why = cannot_make(Fault::FileSizeLimit); !why.empty()) {
    GTEST_SKIP() << "the folder in the PNG's place is refused; no size limit tried: " << why;
  }
  RunOptions limited;
  limited.fileSizeLimit = 500;  // the file is created but cannot be written whole
  const ToolRun cut = run_lumerist_preview({dir.file("shot.vsf"), dir.file("cut.png")}, limited);
  EXPECT_EQ(cut.status, 255);
  EXPECT_EQ(cut.output, "Can't write PNG file '" + dir.file("cut.png") + "'!\n");
  EXPECT_EQ(cut.errors, "");
}

}  // namespace

namespace {

// --compare: each cause of a difference alone, with the lines it prints.
TEST(PreviewCompare, NamesEachCauseOfADifferenceAlone) {
  // A text screen the viewer shows as it is: characters at $2000 in RAM,
  // none of the six the viewer leaves blank (250-255).
  SnapshotPlan plain;
  plain.registers.d018 = 0x18;
  for (std::size_t i = 0; i < 1000; ++i) plain.ram[0x0400 + i] = static_cast<std::uint8_t>(i % 250);
  const auto with = [&plain](const std::function<void(SnapshotPlan&)>& change) {
    SnapshotPlan plan = plain;
    change(plan);
    return plan;
  };
  const struct {
    const char* cause;
    SnapshotPlan plan;
    std::string lines;           // between the first line and the last
    int changedPixels;           // of the saved frame against the registers' frame, in the border
    int windowChanges = 0;       // and in the window
    std::string notes = "";      // of the screen drawn without --compare
    bool agrees = false;         // the viewer shows the screen: nothing differs, all compared
    bool romUncompared = false;  // pixels showing the missing ROM go uncompared
  } cases[] = {
      {"none", plain, "", 0, 0, "", true},
      {"sprites", with([](SnapshotPlan& p) {
         p.ram[0x07F8] = p.ram[0x07FA] = p.ram[0x07F9] = 0xC0;  // data at $3000
         std::fill_n(p.ram.begin() + 0x3000, 63, 0xFF);
         p.moreRegisters = {
             {0x15, 0x07}, {0x00, 40},  {0x01, 60}, {0x02, 40},
             {0x03, 0},    {0x04, 200}, {0x05, 200}};  // sprite 1 under the upper border
       }),
       "Sprites on the screen: 0, 2; the viewer program shows none.\n", 0},
      {"characters in the snapshot's ROM: the rip takes them", with([](SnapshotPlan& p) {
         p.registers.d018 = 0x16;  // $1800
         p.charRom = Bytes(4096, 0x18);
       }),
       "", 0, 0, "", true},
      {"characters in the ROM, none at hand",
       with([](SnapshotPlan& p) { p.registers.d018 = 0x16; }),
       "The character set lies in the character ROM; the export takes the RAM beneath.\n"
       "No character ROM is at hand (the snapshot holds none, and no file gives one): the "
       "characters cannot be compared.\n",
       0, 0,
       "Note: 'shot.vsf' holds no character ROM and no file gives one, so RAM was drawn where the "
       "VIC-II sees it.\n",
       false, true},
      {"no ROM", with([](SnapshotPlan& p) { p.registers.d018 = 0x48; }),  // screen at $1000
       "No character ROM is at hand (the snapshot holds none, and no file gives one): the "
       "characters cannot be compared.\n",
       0, 0,
       "Note: 'shot.vsf' holds no character ROM and no file gives one, so RAM was drawn where the "
       "VIC-II sees it.\n",
       false, true},
      {"extended background", with([](SnapshotPlan& p) { p.registers.d011 = 0x5B; }),
       "The screen uses extended background colours or an invalid mode; the viewer program does "
       "not.\n",
       0},
      {"24 rows", with([](SnapshotPlan& p) { p.registers.d011 = 0x13; }),
       "The screen is scrolled or shows 24 rows or 38 columns; the viewer program shows it "
       "otherwise.\n",
       0},
      {"bitmap in 38 columns", with([](SnapshotPlan& p) {
         p.registers = SnapshotPlan::hires_bitmap_registers();
         p.registers.d016 = 0xC0;
       }),
       "The screen is scrolled or shows 24 rows or 38 columns; the viewer program shows it "
       "otherwise.\n",
       0},
      {"a change during the frame", with([](SnapshotPlan& p) {
         p.shape = Shape::Vice310CycleExact;
         p.charRom = Bytes(4096, 0x18);     // a ROM, though the screen does not read it
         p.moreRegisters = {{0x1A, 0x01}};  // a raster interrupt, with no line: the frame shows it
       }),
       "The frame VICE saved differs from the registers in 7 pixels: changes during the frame, "
       "which the export cannot hold.\n",
       7},
      {"a change during the frame, no ROM at hand",
       with([](SnapshotPlan& p) { p.shape = Shape::Vice310CycleExact; }),
       "The frame VICE saved differs from the registers in 7 pixels that do not depend on the "
       "character ROM: changes during the frame, which the export cannot hold.\n",
       7},
      {"a change during the frame, the ROM missing", with([](SnapshotPlan& p) {
         p.shape = Shape::Vice310CycleExact;
         p.registers.d018 = 0x14;     // characters at $1000: the ROM
         p.colorRam.assign(1024, 1);  // white on blue: every window pixel depends on the ROM
       }),
       // The shapes are read off the frame, so the rip holds them, and the
       // window's three changed pixels (black: neither colour of their
       // cells) count too.
       "The frame VICE saved differs from the registers in 7 pixels that do not depend on the "
       "character ROM: changes during the frame, which the export cannot hold.\n",
       4, 3},
      {"a raster interrupt", with([](SnapshotPlan& p) {
         p.registers.d011 = 0x93;  // 24 rows; bit 7: the line's bit 8
         p.moreRegisters = {{0x12, 0x10}, {0x1A, 0x01}};
       }),
       "The screen is scrolled or shows 24 rows or 38 columns; the viewer program shows it "
       "otherwise.\n"
       "The raster interrupt is on (line 272) and the snapshot holds no frame VICE drew: the "
       "program may change the screen during the frame, which one register set cannot show.\n",
       0, 0,
       "Note: 'shot.vsf' has the raster interrupt on (line 272): the program may change the "
       "screen during the frame, which a picture drawn from one register set cannot show.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cause);
    TempDir dir;
    SnapshotPlan plan = c.plan;
    if (c.changedPixels > 0) {  // the registers' frame, a few pixels changed
      Picture frame =
          render_frame(read_snapshot(memory_input(build_snapshot(plan).bytes)).state).picture;
      for (int i = 0; i < c.changedPixels; ++i)
        frame.pixels[static_cast<std::size_t>(i * 1001)] ^= 1;
      for (int i = 0; i < c.windowChanges; ++i)
        frame.pixels[static_cast<std::size_t>(100 * 384 + 100 + i)] ^= 1;
      plan.savedFrame = frame.pixels;
    }
    const Bytes bytes = build_snapshot(plan).bytes;
    write_file(dir.file("shot.vsf"), bytes);
    const ToolRun run = run_lumerist_preview({"--compare", "shot.vsf"}, in_folder(dir.path));
    ASSERT_EQ(run.status, 0) << run.output;

    // The screen and the viewer's picture as the command draws them alone.
    const ToolRun alone = run_lumerist_preview({"shot.vsf"}, in_folder(dir.path));
    ASSERT_EQ(alone.status, 0);
    EXPECT_EQ(alone.errors, c.notes);
    ASSERT_EQ(run_lumerist_preview({"--viewer", "shot.vsf"}, in_folder(dir.path)).status, 0);
    const Bytes screen = png_pixels(dir.file("shot.vsf.png"));
    const Bytes viewer = png_pixels(dir.file("shot.vsf.viewer.png"));
    ASSERT_EQ(screen.size(), kPicturePixels);
    ASSERT_EQ(viewer.size(), kPicturePixels);
    // The three panels: the screen, the viewer's picture, white where they
    // differ, dark grey where they are not compared.
    const std::optional<PngContents> png = read_png(dir.file("shot.vsf.compare.png"));
    ASSERT_TRUE(png);
    ASSERT_EQ(png->width, 1152u);
    ASSERT_EQ(png->height, 272u);
    unsigned differing = 0, uncompared = 0;
    for (std::size_t y = 0; y < 272; ++y) {
      const auto& row = png->rows[y];
      for (std::size_t x = 0; x < 384; ++x) {
        const std::uint8_t a = screen[y * 384 + x], b = viewer[y * 384 + x];
        ASSERT_EQ((Bytes{row[x], row[384 + x]}), (Bytes{a, b})) << x << "," << y;
        if (row[768 + x] == 11) {
          ++uncompared;
          continue;
        }
        ASSERT_EQ(row[768 + x], std::uint8_t(a != b)) << x << "," << y;
        differing += a != b;
      }
    }
    const std::string counts =
        "Screen and viewer program differ in " + std::to_string(differing) + " of 104448 pixels";
    EXPECT_EQ(run.output,
              counts +
                  (uncompared > 0 ? "; " + std::to_string(uncompared) +
                                        " more show the character ROM, which no file gives: they "
                                        "are not compared.\n"
                                  : ".\n") +
                  c.lines + "Comparison written as 'shot.vsf.compare.png'.\n");
    EXPECT_EQ(differing == 0 && uncompared == 0, c.agrees);
    EXPECT_EQ(uncompared > 0, c.romUncompared);
    EXPECT_EQ(run.errors, "");
  }
}

}  // namespace
