#include "formats/editor_files.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kColumns = 40;
constexpr int kRows = 25;
constexpr std::size_t kCells = kScreenBytes;

std::uint8_t nibble(std::uint8_t byte) {
  return byte & 0x0F;
}

void put_word(Bytes& file, std::size_t value) {
  file.push_back(static_cast<std::uint8_t>(value & 0xFF));
  file.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
}

bool upper_case(const FormatSource& source) {
  return rom_charset(source.setup) != RomCharset::Lower;
}

// The PETSCII code the C64 prints a screen code of $00-$7F with (the
// reverse bit aside).
std::uint8_t petscii_of(std::uint8_t code) {
  if (code < 0x20) return static_cast<std::uint8_t>(code + 0x40);
  if (code < 0x40) return code;
  if (code < 0x5E) return static_cast<std::uint8_t>(code + 0x80);
  if (code == 0x5E) return 0xFF;
  if (code == 0x5F) return 0xDF;
  return static_cast<std::uint8_t>(code + 0x40);  // $60-$7F: $A0-$BF
}

// Black, white, red, cyan, purple, green, blue, yellow, orange, brown,
// pink, the three greys with light green and light blue between.
constexpr std::uint8_t kColorCodes[16] = {0x90, 0x05, 0x1C, 0x9F, 0x9C, 0x1E, 0x1F, 0x9E,
                                          0x81, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B};

void append_numbers(std::string& json, const std::uint8_t* numbers, std::size_t count) {
  json += '[';
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) json += ',';
    json += std::to_string(numbers[i]);
  }
  json += ']';
}

// Rows of {"code":N,"color":N} cells.
void append_cells(std::string& json, const ScreenBlocks& blocks) {
  json += '[';
  for (int row = 0; row < kRows; ++row) {
    json += row > 0 ? ",[" : "[";
    for (int column = 0; column < kColumns; ++column) {
      const auto cell = static_cast<std::size_t>(row * kColumns + column);
      if (column > 0) json += ',';
      json += "{\"code\":" + std::to_string(blocks.screen[cell]) +
              ",\"color\":" + std::to_string(nibble(blocks.colors[cell])) + "}";
    }
    json += ']';
  }
  json += ']';
}

}  // namespace

std::vector<std::uint8_t> charpad_file(const FormatSource& source) {
  const VideoSetup& setup = source.setup;
  const ScreenBlocks& blocks = source.blocks;
  // Tiles as (character, colour), and the tile of each pair met.
  std::vector<std::array<std::uint8_t, 2>> tiles;
  std::array<std::uint16_t, 256 * 16> tileOf{};  // tile number + 1; 0: none yet
  std::array<std::uint16_t, kCells> map{};
  std::array<std::uint8_t, 256> attributes{};
  std::array<bool, 256> used{};
  for (std::size_t cell = 0; cell < kCells; ++cell) {
    const std::uint8_t character = blocks.screen[cell];
    const std::uint8_t color = nibble(blocks.colors[cell]);
    std::uint16_t& tile = tileOf[character * 16u + color];
    if (tile == 0) {
      tiles.push_back({character, color});
      tile = static_cast<std::uint16_t>(tiles.size());
    }
    if (!used[character]) attributes[character] = color;
    used[character] = true;
    map[cell] = static_cast<std::uint16_t>(tile - 1);
  }
  const std::uint8_t flags = setup.multicolorMode ? 0x05 : 0x01;  // tiles, multicolour
  Bytes file = {
      'C',         'T', 'M',  5, nibble(setup.d021), nibble(setup.d022), nibble(setup.d023),
      tiles[0][1], 1,   flags};
  put_word(file, 255);  // characters - 1
  put_word(file, tiles.size() - 1);
  file.insert(file.end(), {1, 1});  // tile width, height
  put_word(file, kColumns);
  put_word(file, kRows);
  file.insert(file.end(), blocks.charset.begin(), blocks.charset.end());
  file.insert(file.end(), attributes.begin(), attributes.end());
  for (const auto& tile : tiles) put_word(file, tile[0]);
  for (const auto& tile : tiles) file.push_back(tile[1]);
  for (const std::uint16_t tile : map) put_word(file, tile);
  return file;
}

std::vector<std::uint8_t> petmate_workspace(const FormatSource& source) {
  const VideoSetup& setup = source.setup;
  const RomCharset rom = rom_charset(setup);
  const char* charset = rom == RomCharset::Upper   ? "upper"
                        : rom == RomCharset::Lower ? "lower"
                                                   : "custom_1";
  std::string json = "{\"version\":2,\"screens\":[0],\"framebufs\":[{\"width\":40,\"height\":25";
  json += ",\"backgroundColor\":" + std::to_string(nibble(setup.d021)) +
          ",\"borderColor\":" + std::to_string(nibble(setup.d020)) + ",\"charset\":\"" + charset +
          "\",\"framebuf\":";
  append_cells(json, source.blocks);
  json += "}],\"customFonts\":{";
  if (rom == RomCharset::None) {
    char name[32];
    std::snprintf(name, sizeof name, "Character set at $%04x", setup.charsetAddress);
    json += "\"custom_1\":{\"name\":\"" + std::string(name) + "\",\"font\":{\"bits\":";
    append_numbers(json, source.blocks.charset.data(), source.blocks.charset.size());
    std::array<std::uint8_t, 256> order{};
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint8_t>(i);
    json += ",\"charOrder\":";
    append_numbers(json, order.data(), order.size());
    json += "}}";
  }
  json += "}}";
  return Bytes(json.begin(), json.end());
}

std::vector<std::uint8_t> petmate_binary(const FormatSource& source) {
  const VideoSetup& setup = source.setup;
  const std::uint8_t header[] = {kColumns, kRows, nibble(setup.d020), nibble(setup.d021),
                                 static_cast<std::uint8_t>(upper_case(source) ? 1 : 0)};
  Bytes file(sizeof header + 2 * kCells);
  std::copy(std::begin(header), std::end(header), file.begin());
  const auto codes = file.begin() + sizeof header;
  std::copy(source.blocks.screen.begin(), source.blocks.screen.end(), codes);
  std::transform(source.blocks.colors.begin(), source.blocks.colors.end(), codes + kCells, nibble);
  return file;
}

std::vector<std::uint8_t> petscii_stream(const FormatSource& source) {
  Bytes stream = {static_cast<std::uint8_t>(upper_case(source) ? 0x8E : 0x0E)};
  int color = -1;
  bool reverse = false;
  for (std::size_t cell = 0; cell < kCells; ++cell) {
    const std::uint8_t code = source.blocks.screen[cell];
    const std::uint8_t cellColor = nibble(source.blocks.colors[cell]);
    if (cellColor != color) stream.push_back(kColorCodes[cellColor]);
    color = cellColor;
    if ((code >= 0x80) != reverse) stream.push_back(reverse ? 0x92 : 0x12);
    reverse = code >= 0x80;
    stream.push_back(petscii_of(code & 0x7F));
  }
  return stream;
}
