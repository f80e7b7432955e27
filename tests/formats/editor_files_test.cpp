// The files of the editors of character screens, each read back with a
// reader of its own: CharPad's fields, Petmate's JSON and binary file, and
// the PETSCII stream as the C64 prints it.

#include <gtest/gtest.h>

#include <charconv>
#include <map>
#include <set>

#include "formats/format_files.h"
#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"

namespace {

// A text screen of every code, its colours in runs of three (high nibbles
// set), over a character ROM of recognisable glyphs.
struct TextScreen {
  SnapshotPlan plan;
  Bytes codes, colors, charset;  // as the VIC-II reads them; colour nibbles
};

TextScreen text_screen(std::uint8_t d018, std::uint8_t bank = 0x97, bool multicolor = false) {
  TextScreen text;
  SnapshotPlan& plan = text.plan;
  plan.charRom = Bytes(4096);
  for (std::size_t i = 0; i < 4096; ++i)
    (*plan.charRom)[i] = static_cast<std::uint8_t>(i * 7 + i / 8);
  plan.registers.cia2PortA = bank;
  plan.registers.d018 = d018;
  plan.registers.d022 = 0xF1;
  if (multicolor) plan.registers.d016 |= 0x10;
  const std::size_t base = (3 - (bank & 3)) * 0x4000u, charset = (d018 >> 1 & 7) * 0x800u;
  for (std::size_t cell = 0; cell < 1000; ++cell) {
    plan.ram[base + (d018 >> 4) * 0x400u + cell] = static_cast<std::uint8_t>(cell * 7);
    text.codes.push_back(static_cast<std::uint8_t>(cell * 7));
    plan.colorRam[cell] = static_cast<std::uint8_t>(0xF0 | (cell / 3 % 16));
    text.colors.push_back(static_cast<std::uint8_t>(cell / 3 % 16));
  }
  const bool rom = (charset & 0x3000) == 0x1000 && (base == 0 || base == 0x8000);
  text.charset =
      rom ? slice(*plan.charRom, charset & 0x800, 2048) : slice(plan.ram, base + charset, 2048);
  return text;
}

Bytes file_of(const char* output, const TextScreen& text) {
  const FormatSource source =
      format_source(read_snapshot(memory_input(build_snapshot(text.plan).bytes)).state);
  return format_bytes(*format_for(output), source);
}

std::size_t word_at(const Bytes& file, std::size_t at) {
  return file[at] | std::size_t{file[at + 1]} << 8;
}

TEST(EditorFiles, CharPadTilesRedrawEveryCellWithTheCharactersTheVicReads) {
  for (const auto& [d018, multicolor] : {std::pair{0x15, false}, {0x1C, true}}) {
    const TextScreen text = text_screen(static_cast<std::uint8_t>(d018), 0x97, multicolor);
    const Bytes file = file_of("s.ctm", text);
    ASSERT_GT(file.size(), 20u + 2304);
    const std::uint8_t flags = multicolor ? 0x05 : 0x01;  // tiles, multicolour
    EXPECT_EQ(slice(file, std::size_t{0}, 10), (Bytes{'C', 'T', 'M', 5, 6, 1, 2, 0, 1, flags}));
    EXPECT_EQ(slice(file, std::size_t{14}, 6), (Bytes{1, 1, 40, 0, 25, 0}));
    const std::size_t tiles = word_at(file, 12) + 1, table = 20 + 256 * 9;
    ASSERT_EQ(word_at(file, 10), 255u);
    ASSERT_EQ(file.size(), table + tiles * 3 + 2000);  // RECOIL takes no more, no less
    EXPECT_EQ(slice(file, std::size_t{20}, 2048), text.charset);
    std::set<std::pair<std::size_t, std::uint8_t>> pairs;
    std::size_t next = 0;  // tiles are numbered as first met
    for (std::size_t cell = 0; cell < 1000; ++cell) {
      const std::size_t tile = word_at(file, table + tiles * 3 + 2 * cell);
      ASSERT_LE(tile, next) << cell;
      next += tile == next;
      const std::uint8_t color = file[table + tiles * 2 + tile];
      EXPECT_EQ(word_at(file, table + 2 * tile), text.codes[cell]) << cell;
      EXPECT_EQ(color, text.colors[cell]) << cell;
      pairs.insert({text.codes[cell], color});
    }
    EXPECT_EQ(pairs.size(), tiles);  // a tile a pair, each one used
    EXPECT_EQ(next, tiles);
  }
}

// The numbers after each "key": in the JSON text: one, or an array's.
std::vector<long> numbers_of(const std::string& json, const std::string& key) {
  std::vector<long> numbers;
  for (std::size_t at = json.find('"' + key + "\":"); at != std::string::npos;
       at = json.find('"' + key + "\":", at + 1)) {
    const char* p = json.data() + at + key.size() + 3;
    const bool array = *p == '[';
    do {
      long n = 0;
      const auto [end, error] = std::from_chars(p + array, json.data() + json.size(), n);
      if (error == std::errc{}) numbers.push_back(n);
      p = end;
    } while (array && *p == ',');
  }
  return numbers;
}

// What the C64 shows after printing the stream from the top left corner:
// the screen codes and colours, and the stream's faults.
struct Printed {
  bool lowerCase = false;
  Bytes codes, colors;
  int faults = 0;  // bytes that print nothing, colour codes that change nothing
};

Printed print_petscii(const Bytes& stream) {
  // The C64's colour control codes, in the order of their codes.
  const std::map<std::uint8_t, std::uint8_t> colorOf = {
      {0x05, 1},  {0x1C, 2},  {0x1E, 5},  {0x1F, 6},  {0x81, 8},  {0x90, 0}, {0x95, 9}, {0x96, 10},
      {0x97, 11}, {0x98, 12}, {0x99, 13}, {0x9A, 14}, {0x9B, 15}, {0x9C, 4}, {0x9E, 7}, {0x9F, 3}};
  Printed printed;
  printed.lowerCase = !stream.empty() && stream[0] == 0x0E;
  printed.faults = stream.empty() || (stream[0] != 0x0E && stream[0] != 0x8E);
  int color = -1, reverse = 0;
  for (std::size_t i = 1; i < stream.size(); ++i) {
    const int b = stream[i];
    const auto known = colorOf.find(stream[i]);
    printed.faults += known != colorOf.end() && known->second == color;
    if (known != colorOf.end()) color = known->second;
    if (b == 0x12 || b == 0x92) reverse = b == 0x12 ? 0x80 : 0;
    if (known != colorOf.end() || b == 0x12 || b == 0x92) continue;
    // The screen codes of printable PETSCII.
    const int code = b >= 0x20 && b < 0x40   ? b
                     : b >= 0x40 && b < 0x80 ? b - (b < 0x60 ? 0x40 : 0x20)
                     : b >= 0xA0 && b < 0xFF ? b - (b < 0xC0 ? 0x40 : 0x80)
                     : b == 0xFF             ? 0x5E
                                             : -1;
    printed.faults += code < 0 || color < 0;
    printed.codes.push_back(static_cast<std::uint8_t>(code | reverse));
    printed.colors.push_back(static_cast<std::uint8_t>(color));
  }
  return printed;
}

TEST(EditorFiles, PetmateFilesAndPetsciiStreamGiveBackTheCodesColoursAndFont) {
  const struct {
    std::uint8_t d018, bank;
    const char* charset;
  } cases[] = {{0x15, 0x97, "upper"},
               {0x17, 0x97, "lower"},
               {0x17, 0x95, "lower"},
               {0x95, 0x95, "upper"},
               {0x1C, 0x97, "custom_1"}};
  for (const auto& c : cases) {
    const TextScreen text = text_screen(c.d018, c.bank);
    SCOPED_TRACE(std::string(c.charset) + " " + std::to_string(c.bank));
    const Bytes file = file_of("s.petmate", text);
    const std::string json(file.begin(), file.end());
    EXPECT_NE(json.find("\"charset\":\"" + std::string(c.charset) + '"'), std::string::npos);
    for (const auto& [key, value] : {std::pair{"version", 2},
                                     {"width", 40},
                                     {"height", 25},
                                     {"borderColor", 14},
                                     {"backgroundColor", 6}})
      EXPECT_EQ(numbers_of(json, key), std::vector<long>{value}) << key;
    EXPECT_EQ(numbers_of(json, "code"), std::vector<long>(text.codes.begin(), text.codes.end()));
    EXPECT_EQ(numbers_of(json, "color"), std::vector<long>(text.colors.begin(), text.colors.end()));
    const bool custom = c.charset[0] == 'c';
    EXPECT_EQ(
        numbers_of(json, "bits"),
        custom ? std::vector<long>(text.charset.begin(), text.charset.end()) : std::vector<long>{});
    EXPECT_EQ(numbers_of(json, "charOrder").size(), custom ? 256u : 0u);
    if (custom) continue;  // .pet and .seq hold the ROM font only
    const Bytes pet = file_of("s.pet", text);
    ASSERT_EQ(pet.size(), 2005u);
    EXPECT_EQ(slice(pet, std::size_t{0}, 5),
              (Bytes{40, 25, 14, 6, static_cast<std::uint8_t>(c.charset[0] == 'u')}));
    EXPECT_EQ(slice(pet, std::size_t{5}, 1000), text.codes);
    EXPECT_EQ(slice(pet, std::size_t{1005}, 1000), text.colors);
    const Printed printed = print_petscii(file_of("s.SEQ", text));
    EXPECT_EQ(printed.faults, 0);
    EXPECT_EQ(printed.lowerCase, c.charset[0] == 'l');
    EXPECT_EQ(printed.codes, text.codes);
    EXPECT_EQ(printed.colors, text.colors);
  }
}

}  // namespace
