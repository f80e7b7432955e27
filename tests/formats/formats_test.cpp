// The files of lumerist-export, laid out and packed as the paint programs
// read them, and the choice of a format by the output's name.

#include <gtest/gtest.h>

#include <algorithm>

#include "formats/format_files.h"
#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"

namespace {

FormatSource source_of(const SnapshotPlan& plan) {
  return format_source(read_snapshot(memory_input(build_snapshot(plan).bytes)).state);
}

Bytes file_of(std::string_view output, const FormatSource& source) {
  const PictureFormat* format = format_for(output);
  return format ? format_bytes(*format, source) : Bytes{};
}

::testing::AssertionResult same_bytes(const Bytes& made, const Bytes& expected) {
  if (made.size() != expected.size())
    return ::testing::AssertionFailure() << made.size() << " bytes, not " << expected.size();
  const auto [at, _] = std::mismatch(made.begin(), made.end(), expected.begin());
  if (at == made.end()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "differs at offset " << at - made.begin();
}

// Escape-coded runs: escape, value, count (or escape, count, value); a
// count 0 ends the stream where the format has an end marker.
Bytes unpack(const Bytes& packed, std::uint8_t escape, bool countFirst, bool endMarker) {
  Bytes image;
  std::size_t at = 2;  // after the load address
  while (at < packed.size()) {
    if (packed[at] != escape) {
      image.push_back(packed[at++]);
      continue;
    }
    if (endMarker && at + 2 == packed.size() && packed[at + 1] == 0) return image;
    const std::size_t countAt = at + (countFirst ? 1 : 2);
    if (at + 2 >= packed.size() || packed[countAt] == 0) return {};  // cut, or an empty run
    image.insert(image.end(), packed[countAt], packed[at + (countFirst ? 2 : 1)]);
    at += 3;
  }
  return endMarker ? Bytes{} : image;  // Amica's stream ends with its marker
}

struct Piece {
  std::size_t offset;
  Bytes bytes;
};

Bytes laid_out(std::uint16_t load, std::size_t size, const std::vector<Piece>& pieces) {
  Bytes file(size, 0);
  file[0] = static_cast<std::uint8_t>(load & 0xFF);
  file[1] = static_cast<std::uint8_t>(load >> 8);
  for (const Piece& piece : pieces)
    std::copy(piece.bytes.begin(), piece.bytes.end(),
              file.begin() + static_cast<std::ptrdiff_t>(piece.offset));
  return file;
}

TEST(FormatFiles, PutEveryBlockWhereTheLayoutSays) {
  SnapshotPlan multicolor;
  multicolor.registers = SnapshotPlan::multicolor_bitmap_registers();  // bitmap $6000, screen $4400
  multicolor.registers.d020 = 0x95;  // high nibbles that must not be stored
  multicolor.registers.d021 = 0x7B;
  SnapshotPlan hires;
  hires.registers = SnapshotPlan::hires_bitmap_registers();  // bitmap $2000, screen $0C00
  const FormatSource mc = source_of(multicolor);
  const FormatSource hi = source_of(hires);
  // Every byte of these blocks depends on its address, the colours on their cell.
  const Bytes bitmap = slice(multicolor.ram, std::size_t{0x6000}, 8000);
  const Bytes screen = slice(multicolor.ram, std::size_t{0x4400}, 1000);
  Bytes colors = slice(multicolor.colorRam, std::size_t{0}, 1000);
  for (std::uint8_t& color : colors) color &= 0x0F;
  const Bytes background = {0x0B}, border = {0x05};
  const std::vector<Piece> koala = {
      {2, bitmap}, {8002, screen}, {9002, colors}, {10002, background}};
  const Bytes hiresBitmap = slice(hires.ram, std::size_t{0x2000}, 8000);
  const Bytes hiresScreen = slice(hires.ram, std::size_t{0x0C00}, 1000);
  const std::vector<Piece> doodle = {{2, hiresScreen}, {1026, hiresBitmap}};
  const std::vector<Piece> artStudio = {{2, hiresBitmap}, {8002, hiresScreen}};
  enum Packed { No, Fe, C2 };
  struct Case {
    const char* output;
    const FormatSource& source;
    Bytes image;  // the file, or what the packed file unpacks to
    Packed packed = No;
  };
  const Case cases[] = {
      {"p.kla", mc, laid_out(0x6000, 10003, koala)},
      {"p.koa", mc, laid_out(0x6000, 10003, koala)},
      {"p.ocp", mc,
       laid_out(0x2000, 10018,
                {{2, bitmap}, {8002, screen}, {9002, border}, {9003, background}, {9018, colors}})},
      {"p.ami", mc, laid_out(0x4000, 2 + 10257, koala), C2},
      {"p.gg", mc, laid_out(0x6000, 10003, koala), Fe},
      {"p.drz", mc,
       laid_out(0x5800, 10051, {{2, colors}, {1026, screen}, {2050, bitmap}, {10050, background}})},
      {"p.pi", mc,
       laid_out(0xA000, 10242, {{2, bitmap}, {8066, background}, {8194, screen}, {9218, colors}})},
      {"p.art", hi, laid_out(0x2000, 9009, artStudio)},
      {"p.aas", hi, laid_out(0x2000, 9009, artStudio)},
      {"p.dd", hi, laid_out(0x5C00, 9218, doodle)},
      {"p.jj", hi, laid_out(0x5C00, 9218, doodle), Fe},
      {"p.ish", hi, laid_out(0x4000, 9194, {{2, hiresBitmap}, {8194, hiresScreen}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    const Bytes file = file_of(c.output, c.source);
    if (c.packed == No) {
      EXPECT_TRUE(same_bytes(file, c.image));
      continue;
    }
    ASSERT_GT(file.size(), 2u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 2), Bytes(c.image.begin(), c.image.begin() + 2));
    const Bytes body(c.image.begin() + 2, c.image.end());
    EXPECT_TRUE(same_bytes(
        c.packed == C2 ? unpack(file, 0xC2, true, true) : unpack(file, 0xFE, false, false), body));
  }
}

TEST(FormatFiles, PackRunsOfFourOrMoreWithCountsUpTo255) {
  struct Case {
    std::uint8_t escape;
    RunOrder order;
    Bytes image;
    Bytes packed;
  };
  const Case cases[] = {
      {0xFE, RunOrder::ValueCount, {1, 1, 1, 2, 2, 2, 2, 3}, {1, 1, 1, 0xFE, 2, 4, 3}},
      {0xC2, RunOrder::CountValue, {1, 1, 1, 2, 2, 2, 2, 3}, {1, 1, 1, 0xC2, 4, 2, 3}},
      {0xFE, RunOrder::ValueCount, {0xFE, 7, 0xFE, 0xFE}, {0xFE, 0xFE, 1, 7, 0xFE, 0xFE, 2}},
      {0xC2, RunOrder::CountValue, {0xC2, 0xFE}, {0xC2, 1, 0xC2, 0xFE}},
      {0xFE, RunOrder::ValueCount, Bytes(300, 9), {0xFE, 9, 255, 0xFE, 9, 45}},
      {0xFE, RunOrder::ValueCount, Bytes(257, 9), {0xFE, 9, 255, 9, 9}},
      {0xC2, RunOrder::CountValue, {}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(pack_runs(c.image, c.escape, c.order), c.packed);
}

TEST(FormatFiles, CharacterSetLoadsAtItsAddressAndComesThroughTheVicView) {
  Bytes rom(4096);
  for (std::size_t i = 0; i < rom.size(); ++i) rom[i] = static_cast<std::uint8_t>(i * 11 + 0x55);
  for (const std::uint8_t d018 : {0x15, 0x1C}) {  // character set $1000 (the ROM), $3000
    SnapshotPlan text;
    text.charRom = rom;
    text.registers.d018 = d018;
    const std::size_t address = d018 == 0x15 ? 0x1000 : 0x3000;
    Bytes expected = {0x00, static_cast<std::uint8_t>(address >> 8)};
    const Bytes charset =
        d018 == 0x15 ? slice(rom, std::size_t{0}, 2048) : slice(text.ram, address, 2048);
    expected.insert(expected.end(), charset.begin(), charset.end());
    EXPECT_TRUE(same_bytes(file_of("font.64c", source_of(text)), expected)) << address;
  }
}

TEST(FormatFiles, SpritePadHoldsTheBanksBlocksInTheSheetsColours) {
  SnapshotPlan plan;  // text screen in bank $0000, screen $0400: pointers at $07F8
  plan.charRom = Bytes(4096);
  for (std::size_t i = 0; i < 4096; ++i) (*plan.charRom)[i] = static_cast<std::uint8_t>(i * 3 + 1);
  plan.registers.d021 = 0x16;
  plan.moreRegisters = {{0x15, 0x03}, {0x1C, 0x02}, {0x27, 0xF2}, {0x28, 0x05},
                        {0x25, 0x3A}, {0x26, 0x4C}};  // sprite 0 hires, sprite 1 multicolour
  plan.ram[0x07F8] = 0x20;
  plan.ram[0x07F9] = 0x21;
  const Bytes file = file_of("sheet.SPD", source_of(plan));
  ASSERT_EQ(file.size(), 9u + 256 * 64 + 4);
  EXPECT_EQ(slice(file, std::size_t{0}, 9), (Bytes{'S', 'P', 'D', 1, 255, 0, 0x06, 0x0A, 0x0C}));
  for (std::size_t block = 0; block < 256; ++block) {
    const bool rom = block >= 64 && block < 128;  // $1000-$1FFF: the VIC-II sees the ROM
    const Bytes data =
        rom ? slice(*plan.charRom, (block - 64) * 64, 63) : slice(plan.ram, block * 64, 63);
    // Sprite 1's own block; every other one as sprite 0, the lowest (a tie of modes).
    const std::uint8_t attribute = block == 0x21 ? 0x85 : 0x02;
    EXPECT_EQ(slice(file, 9 + block * 64, 63), data) << block;
    EXPECT_EQ(file[9 + block * 64 + 63], attribute) << block;
  }
  EXPECT_EQ(slice(file, file.size() - 4, 4), (Bytes{0, 0, 1, 0}));
}

TEST(FormatChoice, ByExtensionIgnoringCaseAndRefusedForOtherScreens) {
  const VideoRegisters text = SnapshotPlan::text_registers();  // character set $1000: the ROM
  VideoRegisters ramFont = text, lowerCase = text, extended = text, multicolorText = text;
  ramFont.d018 = 0x1C;    // $3000
  lowerCase.d018 = 0x17;  // $1800
  extended.d011 |= 0x40;
  multicolorText.d016 |= 0x10;
  VideoRegisters bank8000 = lowerCase, bankC000 = text;
  bank8000.cia2PortA = 0x95;
  bankC000.cia2PortA = 0x94;  // $D000: RAM, no ROM in this bank
  const VideoRegisters multicolor = SnapshotPlan::multicolor_bitmap_registers();
  const VideoRegisters hires = SnapshotPlan::hires_bitmap_registers();
  struct Case {
    const char* output;
    const VideoRegisters& screen;
    const char* format;  // its name, or the refusal
  };
  const Case cases[] = {
      {"OUT.KOA", multicolor, "Koala Painter"},
      {"pic.v1/out.Kla", multicolor, "Koala Painter"},
      {"out.kla", text,
       "Cannot write 'out.kla': Koala Painter holds multicolour bitmaps; 'shot.vsf' shows a text "
       "screen."},
      {"p.ocp", hires,
       "Cannot write 'p.ocp': Advanced OCP Art Studio holds multicolour bitmaps; 'shot.vsf' shows "
       "a hires bitmap."},
      {"p.AAS", hires, "OCP Art Studio"},
      {"p.dd", multicolor,
       "Cannot write 'p.dd': Doodle holds hires bitmaps; 'shot.vsf' shows a multicolour bitmap."},
      {"p.64C", text, "Character set"},
      {"p.spd", hires, "SpritePad 1.x"},
      {"p.CTM", multicolorText, "CharPad project"},
      {"p.ctm", extended,
       "Cannot write 'p.ctm': CharPad project holds hires and multicolour text screens; 'shot.vsf' "
       "shows an extended colour text screen."},
      {"p.petmate", ramFont, "Petmate workspace"},
      {"p.pet", lowerCase, "Petmate PET"},
      {"p.seq", bank8000, "PETSCII stream"},
      {"p.pet", ramFont,
       "Cannot write 'p.pet': Petmate PET holds hires and multicolour text screens in the ROM "
       "font; 'shot.vsf' shows a text screen in the character set at $3000."},
      {"p.seq", bankC000,
       "Cannot write 'p.seq': PETSCII stream holds hires and multicolour text screens in the ROM "
       "font; 'shot.vsf' shows a text screen in the character set at $d000."},
      {"p.seq", extended,
       "Cannot write 'p.seq': PETSCII stream holds hires and multicolour text screens in the ROM "
       "font; 'shot.vsf' shows an extended colour text screen."},
      {"out.xyz", multicolor, "Cannot write 'out.xyz': no format has the extension '.xyz'."},
      {"pics.d/out", text,
       "Cannot write 'pics.d/out': its name has no extension to choose a format by."},
      {"out.", text, "Cannot write 'out.': its name has no extension to choose a format by."},
  };
  for (const Case& c : cases) {
    const FormatChoice choice = choose_format(c.output, "shot.vsf", setup_of(c.screen));
    EXPECT_EQ(choice.format ? std::string(choice.format->name) : choice.refusal, c.format);
  }
}

TEST(FormatChoice, ListShowsOneAlignedLineAFormat) {
  EXPECT_EQ(format_list(),
            ".kla .koa  Koala Painter               multicolour bitmap    10003 bytes\n"
            ".ocp       Advanced OCP Art Studio     multicolour bitmap    10018 bytes\n"
            ".ami       Amica Paint                 multicolour bitmap         packed\n"
            ".gg        Koala Painter (compressed)  multicolour bitmap         packed\n"
            ".drz       Drazpaint (unpacked)        multicolour bitmap    10051 bytes\n"
            ".pi        Blazing Paddles             multicolour bitmap    10242 bytes\n"
            ".art .aas  OCP Art Studio              hires bitmap           9009 bytes\n"
            ".dd        Doodle                      hires bitmap           9218 bytes\n"
            ".jj        Doodle (compressed)         hires bitmap               packed\n"
            ".ish       Image System hires          hires bitmap           9194 bytes\n"
            ".64c       Character set               any screen             2050 bytes\n"
            ".spd       SpritePad 1.x               any screen            16397 bytes\n"
            ".ctm       CharPad project             text screen                varies\n"
            ".petmate   Petmate workspace           text screen                varies\n"
            ".pet       Petmate PET                 ROM-font text screen   2005 bytes\n"
            ".seq       PETSCII stream              ROM-font text screen       varies\n");
}

}  // namespace
