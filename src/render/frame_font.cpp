#include "render/frame_font.h"

#include <algorithm>
#include <vector>

#include "render/frame_model.h"
#include "snapshot/vic_memory.h"

namespace {

constexpr unsigned kRomArea = 0x1000;  // bank-relative start of the character ROM area
constexpr std::size_t kGlyphBytes = 8;

// What the cells showed of each glyph, byte by byte in ROM order (bit 7 of
// byte k the leftmost pixel of line k): the bits seen and their values, and
// the glyphs on which two pixels disagree.
struct Evidence {
  std::array<std::uint8_t, kCharRomSize> known{}, value{};
  std::bitset<kRomGlyphs> conflict;
};

struct PixelBits {
  std::uint8_t known = 0, value = 0;
};

// What pixel `p` (0-7) of a cell, in colour `color`, says of its glyph
// line: the bits on which every value of the cell drawn in that colour
// agrees (one bit a pixel, or the pair of bits two pixels share).
PixelBits pixel_bits(const CellColors& cell, std::uint8_t color, int p) {
  const unsigned values = cell.pairs ? 4 : 2;
  unsigned matches = 0, all = values - 1, any = 0;
  for (unsigned v = 0; v < values; ++v) {
    if (cell.color[v] != color) continue;
    ++matches;
    all &= v;
    any |= v;
  }
  if (matches == 0) return {};
  const unsigned agree = ~(all ^ any) & (values - 1);
  const int shift = cell.pairs ? 6 - (p & ~1) : 7 - p;
  return {static_cast<std::uint8_t>(agree << shift),
          static_cast<std::uint8_t>((all & agree) << shift)};
}

void merge(Evidence& evidence, std::size_t byte, PixelBits bits) {
  if ((evidence.value[byte] ^ bits.value) & evidence.known[byte] & bits.known) {
    evidence.conflict.set(byte / kGlyphBytes);
  }
  evidence.known[byte] |= bits.known;
  evidence.value[byte] |= bits.value;
}

// A frame being read: the set's model of it, the pixels sprites cover.
struct Reading {
  const VideoSetup& setup;
  Graphics graphics;
  Window window;
  const Picture& frame;
  std::vector<std::uint8_t> cover;
  VicMemory memory;
  Evidence evidence;
};

// Pixel line `at.k` of the cell in column `c` on raster line `line`.
void read_cell_line(Reading& r, int line, const CellLine& at, int c) {
  const int cell = at.row * kCellColumns + c;
  const unsigned screenByte = (r.graphics.screen + static_cast<unsigned>(cell)) & 0x3FFF;
  if (in_char_rom_area(screenByte) && !r.memory.state.rom_known()) return;  // code unknown
  const std::uint8_t s = vic_read(r.memory, screenByte);
  const unsigned address =
      graphics_address(r.graphics.mode, r.graphics.charset, r.graphics.bitmap, cell, s, at.k) &
      0x3FFF;
  if (!in_char_rom_area(address)) return;
  const std::uint8_t m = r.memory.state.colorRam[static_cast<std::size_t>(cell)] & 15;
  const CellColors colors = cell_colors(r.graphics.mode, s, m, r.graphics.background);
  const int y = line - kFirstPictureLine;
  const auto row = static_cast<std::size_t>(y) * kPictureWidth;
  for (int p = 0; p < 8; ++p) {
    const int x = cell_left(r.setup, c) + p;
    if (x < r.window.left || x > r.window.right || r.cover[row + static_cast<std::size_t>(x)]) {
      continue;
    }
    merge(r.evidence, address & 0x0FFF, pixel_bits(colors, r.frame.at(x, y) & 15, p));
  }
}

void take_glyphs(const Evidence& evidence, FrameFont& font) {
  for (std::size_t glyph = 0; glyph < kRomGlyphs; ++glyph) {
    const std::size_t start = glyph * kGlyphBytes;
    const auto known = evidence.known.begin() + static_cast<std::ptrdiff_t>(start);
    if (!font.fetched[glyph] || evidence.conflict[glyph] ||
        !std::all_of(known, known + kGlyphBytes, [](std::uint8_t b) { return b == 0xFF; })) {
      continue;
    }
    font.taken.set(glyph);
    std::copy_n(evidence.value.begin() + static_cast<std::ptrdiff_t>(start), kGlyphBytes,
                font.glyphs.begin() + static_cast<std::ptrdiff_t>(start));
  }
}

}  // namespace

FrameFont read_frame_font(const VideoState& state, const RegisterImages& vic,
                          std::uint8_t cia2PortA, const Picture& frame,
                          const std::optional<SpritePointers>& pointers, LineRange lines) {
  const VideoSetup setup = decode_video_setup(vic, cia2PortA);
  FrameFont font;
  font.bank = setup.bankBase;
  const Graphics graphics = graphics_of(setup, vic);
  if (!setup.displayEnabled || !setup.charRomInBank || graphics.mode.bmm ||
      !in_char_rom_area(graphics.charset) || frame.pixels.size() != kPicturePixels) {
    return font;
  }
  const std::size_t first = (graphics.charset - kRomArea) / kGlyphBytes;
  for (std::size_t i = 0; i < (graphics.mode.ecm ? 64u : 256u); ++i) font.fetched.set(first + i);
  Reading r{setup,
            graphics,
            window_of(setup),
            frame,
            sprite_cover(state, setup, pointers, lines),
            vic_memory(state, setup),
            {}};
  const int last = std::min(r.window.bottomLine, lines.last);
  for (int line = std::max(r.window.topLine, lines.first); line <= last; ++line) {
    const CellLine at = cell_line_of(setup, line);
    if (at.idle) continue;
    for (int c = 0; c < kCellColumns; ++c) read_cell_line(r, line, at, c);
  }
  take_glyphs(r.evidence, font);
  return font;
}

FrameFont read_frame_font(const VideoState& state, const Picture& frame) {
  return read_frame_font(state, state.vic, state.cia2PortA, frame);
}

bool apply_frame_font(const FrameFont& font, VideoState& state) {
  if (state.charRom || font.taken.none()) return false;
  auto& rom = state.charRom.emplace();
  std::copy_n(state.ram.begin() + font.bank + kRomArea, kCharRomSize, rom.begin());
  for (std::size_t glyph = 0; glyph < kRomGlyphs; ++glyph) {
    if (!font.taken[glyph]) continue;
    const auto start = static_cast<std::ptrdiff_t>(glyph * kGlyphBytes);
    std::copy_n(font.glyphs.begin() + start, kGlyphBytes, rom.begin() + start);
  }
  state.unknownGlyphs = ~font.taken;
  return true;
}

FrameFontCount count_frame_font(const FrameFont& font) {
  const auto read = static_cast<unsigned>((font.fetched & font.taken).count());
  return {read, static_cast<unsigned>(font.fetched.count()) - read};
}
