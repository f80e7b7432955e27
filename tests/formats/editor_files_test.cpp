// The files of the editors of character screens, each read back with a
// reader of its own: CharPad's fields, Petmate's JSON and binary file, and
// the PETSCII stream as the C64 prints it.

#include <gtest/gtest.h>

#include <charconv>
#include <map>
#include <set>
#include <string_view>

#include "formats/format_files.h"
#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"

namespace {

// A text screen of every code, its colours in runs of three (high nibbles
// set), over a character ROM of recognisable glyphs.
struct TextScreen {
  SnapshotPlan plan;
  std::size_t screen;   // the screen matrix's address
  std::size_t charset;  // the character set's, or where the VIC-II sees it
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
  const std::size_t base = (3 - (bank & 3)) * 0x4000u;
  text.screen = base + (d018 >> 4) * 0x400u;
  text.charset = base + (d018 >> 1 & 7) * 0x800u;
  for (std::size_t cell = 0; cell < 1000; ++cell) {
    plan.ram[text.screen + cell] = static_cast<std::uint8_t>(cell * 7);
    plan.colorRam[cell] = static_cast<std::uint8_t>(0xF0 | (cell / 3 % 16));
  }
  return text;
}

Bytes charset_of(const TextScreen& text) {
  const bool rom = (text.charset & 0x7000) == 0x1000;  // banks $0000, $8000 only here
  return rom ? slice(*text.plan.charRom, text.charset & 0x800, 2048)
             : slice(text.plan.ram, text.charset, 2048);
}

Bytes file_of(std::string_view output, const TextScreen& text) {
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
    SCOPED_TRACE(d018);
    const Bytes file = file_of("s.ctm", text);
    ASSERT_GT(file.size(), 20u + 2304);
    const std::uint8_t flags = multicolor ? 0x05 : 0x01;  // tiles, multicolour
    EXPECT_EQ(slice(file, std::size_t{0}, 10), (Bytes{'C', 'T', 'M', 5, 6, 1, 2, 0, 1, flags}));
    const std::size_t tiles = word_at(file, 12) + 1;
    EXPECT_EQ((std::vector<std::size_t>{word_at(file, 10), file[14], file[15], word_at(file, 16),
                                        word_at(file, 18)}),
              (std::vector<std::size_t>{255, 1, 1, 40, 25}));
    ASSERT_EQ(file.size(), 20 + 256 * 9 + tiles * 3 + 2000);  // RECOIL takes no more, no less
    EXPECT_EQ(slice(file, std::size_t{20}, 2048), charset_of(text));
    const std::size_t tileTable = 20 + 256 * 9, colors = tileTable + 2 * tiles;
    const std::size_t map = colors + tiles;
    std::set<std::pair<std::size_t, std::uint8_t>> pairs;
    std::set<std::uint8_t> named;  // characters whose attribute was checked
    std::size_t next = 0;          // tiles are numbered as first met
    for (std::size_t cell = 0; cell < 1000; ++cell) {
      const std::size_t tile = word_at(file, map + 2 * cell);
      ASSERT_LE(tile, next) << cell;
      next += tile == next;
      const std::size_t character = word_at(file, tileTable + 2 * tile);
      const std::uint8_t color = text.plan.colorRam[cell] & 15;
      EXPECT_EQ(character, text.plan.ram[text.screen + cell]) << cell;
      EXPECT_EQ(file[colors + tile], color) << cell;
      pairs.insert({character, color});
      if (named.insert(static_cast<std::uint8_t>(character)).second) {
        EXPECT_EQ(file[20 + 2048 + character], color) << character;
      }
    }
    EXPECT_EQ(next, tiles);
    EXPECT_EQ(pairs.size(), tiles);  // one tile a pair
  }
}

// A JSON value read from `at` on; `ok` turns false at what it cannot read.
struct Json {
  std::map<std::string, Json> members;
  std::vector<Json> items;
  std::string text;
  long number = -1;
};

Json read_json(std::string_view s, std::size_t& at, bool& ok) {
  Json value;
  if (!ok || at >= s.size()) return ok = false, value;
  const char open = s[at];
  if (open == '{' || open == '[') {
    for (++at; ok && at < s.size() && s[at] != (open == '{' ? '}' : ']');) {
      if (open == '[') {
        value.items.push_back(read_json(s, at, ok));
      } else {
        const std::string key = read_json(s, at, ok).text;
        ok = ok && at < s.size() && s[at++] == ':';
        value.members[key] = read_json(s, at, ok);
      }
      if (at < s.size() && s[at] == ',' && s[at + 1] != '}' && s[at + 1] != ']') ++at;
    }
    ok = ok && at++ < s.size();
  } else if (open == '"') {
    const std::size_t end = s.find('"', at + 1);
    ok = end != std::string_view::npos;
    value.text = s.substr(at + 1, end - at - 1);
    at = end + 1;
  } else {
    const auto [end, error] = std::from_chars(s.data() + at, s.data() + s.size(), value.number);
    ok = error == std::errc{};
    at = static_cast<std::size_t>(end - s.data());
  }
  return value;
}

TEST(EditorFiles, PetmateWorkspaceHoldsTheCodesColoursAndCharacterSet) {
  const struct {
    std::uint8_t d018;
    const char* charset;
  } cases[] = {{0x15, "upper"}, {0x17, "lower"}, {0x1C, "custom_1"}};
  for (const auto& c : cases) {
    const TextScreen text = text_screen(c.d018);
    const Bytes file = file_of("s.petmate", text);
    const std::string_view content(reinterpret_cast<const char*>(file.data()), file.size());
    std::size_t at = 0;
    bool ok = true;
    Json workspace = read_json(content, at, ok);
    ASSERT_TRUE(ok && at == content.size()) << c.charset << " at " << at;
    EXPECT_EQ(workspace.members["version"].number, 2);
    ASSERT_EQ(workspace.members["screens"].items.size(), 1u);
    ASSERT_EQ(workspace.members["framebufs"].items.size(), 1u);
    Json& screen = workspace.members["framebufs"].items[0];
    EXPECT_EQ(screen.members["charset"].text, c.charset);
    EXPECT_EQ((std::vector<long>{screen.members["width"].number, screen.members["height"].number,
                                 screen.members["borderColor"].number,
                                 screen.members["backgroundColor"].number}),
              (std::vector<long>{40, 25, 14, 6}));
    Json& rows = screen.members["framebuf"];
    ASSERT_EQ(rows.items.size(), 25u);
    for (std::size_t cell = 0; cell < 1000; ++cell) {
      ASSERT_EQ(rows.items[cell / 40].items.size(), 40u);
      Json& pixel = rows.items[cell / 40].items[cell % 40];
      EXPECT_EQ(pixel.members["code"].number, text.plan.ram[text.screen + cell]) << cell;
      EXPECT_EQ(pixel.members["color"].number, text.plan.colorRam[cell] & 15) << cell;
    }
    std::map<std::string, Json>& fonts = workspace.members["customFonts"].members;
    EXPECT_EQ(fonts.size(), c.d018 == 0x1C ? 1u : 0u);
    if (fonts.empty()) continue;
    Bytes bits, order;
    for (const Json& n : fonts["custom_1"].members["font"].members["bits"].items)
      bits.push_back(static_cast<std::uint8_t>(n.number));
    for (const Json& n : fonts["custom_1"].members["font"].members["charOrder"].items)
      order.push_back(static_cast<std::uint8_t>(n.number));
    EXPECT_EQ(bits, charset_of(text));
    ASSERT_EQ(order.size(), 256u);
    for (std::size_t i = 0; i < 256; ++i) EXPECT_EQ(order[i], i);
  }
}

// What the C64 shows after printing the stream from the top left corner.
struct Printed {
  bool lowerCase = false;
  Bytes codes, colors;
  int repeatedColors = 0;
  std::string fault;
};

Printed faulty(std::string fault) {
  Printed printed;
  printed.fault = std::move(fault);
  return printed;
}

Printed print_petscii(const Bytes& stream) {
  // The C64's colour control codes, in the order of their codes.
  const std::map<std::uint8_t, std::uint8_t> colorOf = {
      {0x05, 1},  {0x1C, 2},  {0x1E, 5},  {0x1F, 6},  {0x81, 8},  {0x90, 0}, {0x95, 9}, {0x96, 10},
      {0x97, 11}, {0x98, 12}, {0x99, 13}, {0x9A, 14}, {0x9B, 15}, {0x9C, 4}, {0x9E, 7}, {0x9F, 3}};
  Printed printed;
  if (stream.empty() || (stream[0] != 0x0E && stream[0] != 0x8E)) return faulty("no case");
  printed.lowerCase = stream[0] == 0x0E;
  int color = -1;
  bool reverse = false;
  for (std::size_t i = 1; i < stream.size(); ++i) {
    const std::uint8_t b = stream[i];
    if (const auto known = colorOf.find(b); known != colorOf.end()) {
      printed.repeatedColors += known->second == color;
      color = known->second;
      continue;
    }
    if (b == 0x12 || b == 0x92) {
      reverse = b == 0x12;
      continue;
    }
    // The screen codes of printable PETSCII.
    int code = b >= 0x20 && b < 0x40   ? b
               : b >= 0x40 && b < 0x60 ? b - 0x40
               : b >= 0x60 && b < 0x80 ? b - 0x20
               : b >= 0xA0 && b < 0xC0 ? b - 0x40
               : b >= 0xC0 && b < 0xFF ? b - 0x80
               : b == 0xFF             ? 0x5E
                                       : -1;
    if (code < 0 || color < 0) return faulty("byte " + std::to_string(i));
    printed.codes.push_back(static_cast<std::uint8_t>(code | (reverse ? 0x80 : 0)));
    printed.colors.push_back(static_cast<std::uint8_t>(color));
  }
  return printed;
}

TEST(EditorFiles, PetAndPetsciiStreamGiveBackTheCodesAndColours) {
  const struct {
    std::uint8_t d018, bank;
    bool lowerCase;
  } cases[] = {{0x15, 0x97, false}, {0x17, 0x97, true}, {0x17, 0x95, true}, {0x95, 0x95, false}};
  for (const auto& c : cases) {
    const TextScreen text = text_screen(c.d018, c.bank);
    SCOPED_TRACE(text.screen);
    const Bytes codes = slice(text.plan.ram, text.screen, 1000);
    Bytes colors = slice(text.plan.colorRam, std::size_t{0}, 1000);
    for (std::uint8_t& color : colors) color &= 15;
    const Bytes pet = file_of("s.pet", text);
    ASSERT_EQ(pet.size(), 2005u);
    EXPECT_EQ(slice(pet, std::size_t{0}, 5),
              (Bytes{40, 25, 14, 6, static_cast<std::uint8_t>(c.lowerCase ? 0 : 1)}));
    EXPECT_EQ(slice(pet, std::size_t{5}, 1000), codes);
    EXPECT_EQ(slice(pet, std::size_t{1005}, 1000), colors);
    const Printed printed = print_petscii(file_of("s.SEQ", text));
    EXPECT_EQ(printed.fault, "");
    EXPECT_EQ(printed.lowerCase, c.lowerCase);
    EXPECT_EQ(printed.codes, codes);
    EXPECT_EQ(printed.colors, colors);
    EXPECT_EQ(printed.repeatedColors, 0);
  }
}

}  // namespace
