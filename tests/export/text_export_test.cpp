// Text screens exported end to end: files, viewer layout, report.

#include <gtest/gtest.h>

#include <filesystem>

#include "export_checks.h"
#include "io/system.h"

namespace {

const std::string kRule = std::string(79, '-') + "\n";

class TextExport : public ExportTest {};

TEST_F(TextExport, StandardScreenReadsRamAndReportsAfterWriting) {
  SnapshotPlan text;
  text.shape = Shape::TagsOnly;
  const ToolRun run = run_on(text);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output,
            kRule + "Using screen ram in Bank $0000 ($97).\n" +
                report_line("Charset at $1000\t\twritten as '%.font' without header.\n") +
                report_line("Text screen at $0400 ($15)\twritten as '%.screen' without header.\n") +
                report_line("ColAttr at $d800\t\twritten as '%.attrib' without header.\n") +
                report_line("Executable screen-Viewer\twritten as '%.prg'.\n") + kRule);
  expect_text_export(*this, text.registers, 0x0400, 0x1000);
  // RAM under the character ROM is what is taken.
  EXPECT_EQ(output(".font"), part(plan.ram, 0x1000, 2000));
  EXPECT_EQ(output(".attrib"), part(plan.colorRam, 0, 1000));
}

TEST_F(TextExport, MulticolourTextTakesTheTextPathWithItsD016) {
  SnapshotPlan text;
  text.registers.d016 = 0xD8;
  text.registers.d018 = 0x1E;  // screen $0400, charset $3800
  const ToolRun run = run_on(text);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Executable screen-Viewer"), std::string::npos);
  expect_text_export(*this, text.registers, 0x0400, 0x3800);
  EXPECT_EQ(output(".prg")[43], 0xD8);
}

class TextOnEveryShape : public ExportTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(TextOnEveryShape, ExportsTheMachinesBytes) {
  SnapshotPlan text;
  text.shape = GetParam();
  text.registers.cia2PortA = 0x95;  // bank $8000
  text.registers.d018 = 0x26;       // screen $8800, charset $9800
  const ToolRun run = run_on(text);
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            kRule + "Using screen ram in Bank $8000 ($95).\n" +
                report_line("Charset at $9800\t\twritten as '%.font' without header.\n") +
                report_line("Text screen at $8800 ($26)\twritten as '%.screen' without header.\n") +
                report_line("ColAttr at $d800\t\twritten as '%.attrib' without header.\n") +
                report_line("Executable screen-Viewer\twritten as '%.prg'.\n") + kRule);
  expect_text_export(*this, text.registers, 0x8800, 0x9800);
  EXPECT_EQ(output(".screen"), part(plan.ram, 0x8800, 1000));
  EXPECT_EQ(output(".attrib"), part(plan.colorRam, 0, 1000));
}

INSTANTIATE_TEST_SUITE_P(ViceVersions, TextOnEveryShape,
                         ::testing::Values(Shape::TagsOnly, Shape::Vice1Fast, Shape::Vice37Fast,
                                           Shape::Vice361CycleExact, Shape::Vice310CycleExact),
                         shape_test_name<::testing::TestParamInfo<Shape>>);

}  // namespace

namespace {

// A 4096-byte character ROM in which every byte depends on where it lies
// and on `seed`, so that two ROMs and RAM never agree.
Bytes made_up_rom(std::uint8_t seed) {
  Bytes rom(4096);
  for (std::size_t i = 0; i < rom.size(); ++i) {
    rom[i] = static_cast<std::uint8_t>(i * 7 + i / 256 + seed);
  }
  return rom;
}

TEST_F(TextExport, CharactersWhereTheVicSeesTheRomComeFromTheRomFoundForEveryCommand) {
  const Bytes inSnapshot = made_up_rom(1), named = made_up_rom(2), vice = made_up_rom(3);
  const TempDir home;  // VICE's ROMs under ~/.local/share/vice/C64, and a system folder
  make_folders(home.file(".local/share/vice/C64"));
  write_file(home.file(".local/share/vice/C64/chargen-901225-01.bin"), vice);
  make_folders(home.file("system/vice/C64"));
  write_file(home.file("system/vice/C64/chargen"), named);
  write_file(home.file("named.bin"), named);
  write_file(home.file("short.bin"), Bytes(4095, 0));
  using Environment = decltype(RunOptions::environment);
  const Environment viceHome = {{"XDG_DATA_HOME", std::nullopt}, {"HOME", home.path.string()}};
  const struct {
    const char* what;
    bool snapshotRom;
    Environment environment;
    std::optional<Bytes> rom;  // what the font holds; none: refused
  } cases[] = {
      {"the snapshot's own", true, {}, inSnapshot},
      {"the snapshot's, over $LUMERIST_CHARGEN",
       true,
       {{"LUMERIST_CHARGEN", home.file("named.bin")}},
       inSnapshot},
      {"$LUMERIST_CHARGEN", false, {{"LUMERIST_CHARGEN", home.file("named.bin")}}, named},
      {"$LUMERIST_CHARGEN of the wrong size",
       false,
       {{"LUMERIST_CHARGEN", home.file("short.bin")}},
       std::nullopt},
      {"VICE's, in ~/.local/share", false, viceHome, vice},
      {"VICE's, in $XDG_DATA_DIRS",
       false,
       {{"XDG_DATA_DIRS", home.file("missing") + kPathListSeparator + home.file("system")}},
       named},
      {"none: RAM", false, {}, part(plan.ram, 0x1800, 2048)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(dir.path);
    std::filesystem::create_directory(dir.path);
    SnapshotPlan text;
    text.shape = Shape::Vice310CycleExact;
    text.registers.d018 = 0x16;  // characters at $1800: the ROM's second half
    if (c.snapshotRom) text.charRom = inSnapshot;
    built = build_snapshot(text);
    write_file(path, built.bytes);
    RunOptions options;
    options.environment = c.environment;
    const ToolRun run = run_lumerist({path}, options);
    if (!c.rom) {
      EXPECT_EQ(run.status, 255);
      EXPECT_EQ(run.output,
                "Character ROM file '" + home.file("short.bin") + "' is not 4096 bytes long!\n");
      EXPECT_TRUE(outputs().empty());
      continue;
    }
    ASSERT_EQ(run.status, 0) << run.output;
    const Bytes glyphs = c.rom->size() == 2048 ? *c.rom : part(*c.rom, 0x800, 2048);
    EXPECT_EQ(output(".font"), part(glyphs, 0, 2000));
    EXPECT_EQ(part(output(".prg"), 1101, 2048), glyphs) << "the viewer shows them";
  }
}

}  // namespace
