#include "render/render_frame.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

// Raster lines and picture columns of the display window and the graphics.
constexpr int kFirstRowLine = 48;  // text row 0, pixel line 0, when the vertical scroll is 0
constexpr int kGraphicsLines = 200;
constexpr int kGraphicsLeft = 32;  // column 0, pixel 0, when the horizontal scroll is 0
constexpr int kColumns = 40;
constexpr int kXCounterWrap = 504;  // PAL sprite X positions 0-503
constexpr int kXCounterToPicture = 8;
constexpr int kSpriteRows = 21;
constexpr int kSpriteBytes = 63;

// The VIC-II's 16 KiB view of memory.
struct VicMemory {
  const VideoState& state;
  unsigned bank = 0;      // $0000, $4000, $8000 or $C000
  bool romBank = false;   // banks $0000 and $8000 see the character ROM at $1000-$1FFF
  bool readsRom = false;  // a fetch fell into that area
};

std::uint8_t vic_read(VicMemory& memory, unsigned address) {
  address &= 0x3FFF;
  if (memory.romBank && (address & 0x3000) == 0x1000) {
    memory.readsRom = true;
    if (memory.state.charRom) return (*memory.state.charRom)[address & 0x0FFF];
  }
  return memory.state.ram[memory.bank | address];
}

struct Registers {
  bool ecm, bmm, mcm;
  unsigned screen, charset, bitmap;        // bank-relative
  std::array<std::uint8_t, 4> background;  // $D021-$D024, low nibbles
  std::uint8_t border;
};

// For every graphics byte, which of its 8 pixels have a value: bytes $FF in
// a 64-bit word, pixel 0 (bit 7, the leftmost) in the lowest byte. Hires:
// the pixels whose bit is 1; multicolour: those whose pair (two pixels
// wide) is 00, 01, 10 or 11.
using PixelMasks = std::array<std::uint64_t, 256>;
constexpr std::uint64_t pixel_mask(int g, bool pairs, int value) {
  std::uint64_t mask = 0;
  for (int p = 0; p < 8; ++p) {
    const int pixel = pairs ? g >> (6 - (p & ~1)) & 3 : g >> (7 - p) & 1;
    if (pixel == value) mask |= std::uint64_t{0xFF} << (8 * p);
  }
  return mask;
}
constexpr PixelMasks pixel_masks(bool pairs, int value) {
  PixelMasks masks{};
  for (int g = 0; g < 256; ++g) masks[static_cast<std::size_t>(g)] = pixel_mask(g, pairs, value);
  return masks;
}
constexpr PixelMasks kBitSet = pixel_masks(false, 1);
constexpr std::array<PixelMasks, 4> kPair = {pixel_masks(true, 0), pixel_masks(true, 1),
                                             pixel_masks(true, 2), pixel_masks(true, 3)};
static_assert(std::endian::native == std::endian::little, "8 pixels are stored as one word");

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;

// How a cell's graphics byte turns into pixels: one bit a pixel or one
// pair of bits for two pixels, and the colour of each value. A hires pixel
// is foreground when its bit is 1, a pair when it is 10 or 11. The invalid
// modes draw black but keep their classification.
struct CellColors {
  bool pairs = false;
  std::array<std::uint8_t, 4> color{};
};

CellColors cell_colors(const Registers& r, std::uint8_t s, std::uint8_t m) {
  const auto high = static_cast<std::uint8_t>(s >> 4);
  const auto low = static_cast<std::uint8_t>(s & 15);
  CellColors cell;
  if (r.bmm && r.mcm) {  // multicolour bitmap
    cell = {true, {r.background[0], high, low, m}};
  } else if (r.bmm) {  // hires bitmap
    cell = {false, {low, high}};
  } else if (r.mcm && (m & 8)) {  // multicolour text, a multicolour cell
    cell = {true,
            {r.background[0], r.background[1], r.background[2], static_cast<std::uint8_t>(m & 7)}};
  } else if (r.ecm) {  // extended background text
    cell = {false, {r.background[s >> 6], m}};
  } else {  // standard text, or a hires cell of multicolour text
    cell = {false, {r.background[0], static_cast<std::uint8_t>(r.mcm ? m & 7 : m)}};
  }
  if (r.ecm && (r.bmm || r.mcm)) cell.color = {};
  return cell;
}

// Bank-relative address of the graphics byte of cell `cell`, pixel line `k`.
unsigned graphics_address(const Registers& r, int cell, std::uint8_t s, int k) {
  if (r.bmm) {
    const unsigned address = r.bitmap + static_cast<unsigned>(cell * 8 + k);
    return r.ecm ? address & ~0x0600u : address;
  }
  const unsigned glyph = r.ecm ? s & 63u : s;
  return r.charset + glyph * 8 + static_cast<unsigned>(k);
}

struct Sprite {
  bool shows = false;
  int x = 0;  // 0-503
  int firstLine = 0;
  bool tall = false, wide = false, multicolor = false, behind = false;
  std::array<std::uint8_t, kSpriteBytes> data{};
  std::uint8_t color = 0;
};

// Colour of sprite pixel `i` (0-23, before X expansion) in a row of 24
// bits; 0xFF for transparent.
std::uint8_t sprite_pixel(const Sprite& sprite, const std::array<std::uint8_t, 3>& multicolors,
                          std::uint32_t bits, int i) {
  if (!sprite.multicolor) return (bits >> (23 - i) & 1) ? sprite.color : 0xFF;
  switch (bits >> (22 - (i & ~1)) & 3) {
    case 1:
      return multicolors[0];
    case 2:
      return sprite.color;
    case 3:
      return multicolors[1];
    default:
      return 0xFF;
  }
}

}  // namespace

Frame render_frame(const VideoState& state) {
  const unsigned bank = 0xC000u - (state.cia2PortA & 3u) * 0x4000u;
  VicMemory memory{state, bank, bank == 0x0000 || bank == 0x8000};
  const std::uint8_t d011 = state.reg(0xD011);
  const std::uint8_t d016 = state.reg(0xD016);
  const std::uint8_t d018 = state.reg(0xD018);
  const Registers r{(d011 & 0x40) != 0,
                    (d011 & 0x20) != 0,
                    (d016 & 0x10) != 0,
                    (d018 >> 4) * 0x400u,
                    (d018 >> 1 & 7) * 0x800u,
                    (d018 >> 3 & 1) * 0x2000u,
                    {static_cast<std::uint8_t>(state.reg(0xD021) & 15),
                     static_cast<std::uint8_t>(state.reg(0xD022) & 15),
                     static_cast<std::uint8_t>(state.reg(0xD023) & 15),
                     static_cast<std::uint8_t>(state.reg(0xD024) & 15)},
                    static_cast<std::uint8_t>(state.reg(0xD020) & 15)};
  Frame frame{Picture{std::vector<std::uint8_t>(kPicturePixels, r.border)}};
  if (!(d011 & 0x10)) return frame;  // display disabled: all border

  const bool rsel = (d011 & 0x08) != 0;
  const bool csel = (d016 & 0x08) != 0;
  const int topLine = rsel ? 51 : 55;
  const int bottomLine = rsel ? 250 : 246;
  const int left = csel ? 32 : 39;
  const int right = csel ? 351 : 342;
  const int yScroll = d011 & 7;
  const int graphicsLeft = kGraphicsLeft + (d016 & 7);
  const bool invalid = r.ecm && (r.bmm || r.mcm);
  const std::uint8_t stripColor = invalid ? 0 : r.background[0];

  std::array<Sprite, 8> sprites{};
  const std::array<std::uint8_t, 3> spriteMulticolors = {
      static_cast<std::uint8_t>(state.reg(0xD025) & 15),
      static_cast<std::uint8_t>(state.reg(0xD026) & 15), 0};
  for (int n = 0; n < 8; ++n) {
    Sprite& sprite = sprites[static_cast<std::size_t>(n)];
    const unsigned x =
        state.reg(0xD000 + 2u * static_cast<unsigned>(n)) | (state.reg(0xD010) >> n & 1u) << 8;
    if (!(state.reg(0xD015) >> n & 1) || x >= kXCounterWrap) continue;
    sprite.shows = true;
    sprite.x = static_cast<int>(x);
    sprite.firstLine = state.reg(0xD001 + 2u * static_cast<unsigned>(n)) + 1;
    sprite.tall = state.reg(0xD017) >> n & 1;
    sprite.wide = state.reg(0xD01D) >> n & 1;
    sprite.multicolor = state.reg(0xD01C) >> n & 1;
    sprite.behind = state.reg(0xD01B) >> n & 1;
    sprite.color = state.reg(0xD027 + static_cast<unsigned>(n)) & 15;
    const unsigned pointer = vic_read(memory, r.screen + 0x3F8 + static_cast<unsigned>(n));
    for (int i = 0; i < kSpriteBytes; ++i) {
      sprite.data[static_cast<std::size_t>(i)] =
          vic_read(memory, pointer * 64 + static_cast<unsigned>(i));
    }
  }

  std::array<std::uint8_t, kPictureWidth + 16> color{};
  std::array<std::uint8_t, kPictureWidth + 16> foreground{};  // 1: a foreground pixel
  std::array<std::int8_t, kPictureWidth> spriteOwner{};
  std::array<std::uint8_t, kPictureWidth> spriteColor{};
  for (int line = topLine; line <= bottomLine; ++line) {
    std::array<std::uint32_t, 8> spriteBits{};  // the row of each sprite on this line
    unsigned spritesOnLine = 0;
    for (std::size_t n = 0; n < sprites.size(); ++n) {
      const Sprite& sprite = sprites[n];
      const int spriteLine = line - sprite.firstLine;
      if (!sprite.shows || spriteLine < 0 || spriteLine >= kSpriteRows << sprite.tall) continue;
      const std::size_t at = static_cast<std::size_t>(spriteLine >> sprite.tall) * 3;
      spriteBits[n] = std::uint32_t{sprite.data[at]} << 16 |
                      std::uint32_t{sprite.data[at + 1]} << 8 | sprite.data[at + 2];
      spritesOnLine |= 1u << n;
    }

    // Graphics: a row of cells, or the idle pattern outside all 25 rows.
    // Foreground matters only where a sprite may be drawn.
    const int rowLine = line - kFirstRowLine - yScroll;
    const bool idle = rowLine < 0 || rowLine >= kGraphicsLines;
    const int row = rowLine / 8;
    const int k = rowLine & 7;
    const std::uint8_t idleByte = idle ? vic_read(memory, r.ecm ? 0x39FF : 0x3FFF) : 0;
    std::fill(color.begin(), color.end(), stripColor);
    if (spritesOnLine) std::fill(foreground.begin(), foreground.end(), std::uint8_t{0});
    for (int c = 0; c < kColumns; ++c) {
      std::uint8_t s = 0, m = 0, g = idleByte;
      if (!idle) {
        const int cell = row * kColumns + c;
        s = vic_read(memory, r.screen + static_cast<unsigned>(cell));
        m = state.colorRam[static_cast<std::size_t>(cell)] & 15;
        g = vic_read(memory, graphics_address(r, cell, s, k));
      }
      const CellColors cell = cell_colors(r, s, m);
      std::uint64_t pixels = 0;
      std::uint64_t front = 0;  // foreground: bits 1, pairs 10 and 11
      if (cell.pairs) {
        for (std::size_t value = 0; value < 4; ++value) {
          pixels |= kPair[value][g] & cell.color[value] * kEveryByte;
        }
        front = kPair[2][g] | kPair[3][g];
      } else {
        front = kBitSet[g];
        pixels = (front & cell.color[1] * kEveryByte) | (~front & cell.color[0] * kEveryByte);
      }
      const auto at = static_cast<std::size_t>(graphicsLeft + c * 8);  // at most 351 + 8
      std::memcpy(color.data() + at, &pixels, 8);
      if (spritesOnLine) {
        const std::uint64_t ones = front & kEveryByte;
        std::memcpy(foreground.data() + at, &ones, 8);
      }
    }
    std::uint8_t* out = frame.picture.pixels.data() +
                        static_cast<std::size_t>(line - kFirstPictureLine) * kPictureWidth;
    std::copy(color.begin() + left, color.begin() + right + 1, out + left);
    if (!spritesOnLine) continue;

    // Sprites: the lowest number first at every column, then its priority
    // against the graphics.
    std::fill(spriteOwner.begin(), spriteOwner.end(), std::int8_t{-1});
    for (int n = 0; n < 8; ++n) {
      if (!(spritesOnLine >> n & 1)) continue;
      const Sprite& sprite = sprites[static_cast<std::size_t>(n)];
      const int width = 24 << sprite.wide;
      for (int j = 0; j < width; ++j) {
        const int column = ((sprite.x + j) % kXCounterWrap + kXCounterToPicture) % kXCounterWrap;
        if (column < left || column > right || spriteOwner[static_cast<std::size_t>(column)] >= 0) {
          continue;
        }
        const std::uint8_t pixel = sprite_pixel(
            sprite, spriteMulticolors, spriteBits[static_cast<std::size_t>(n)], j >> sprite.wide);
        if (pixel == 0xFF) continue;
        spriteOwner[static_cast<std::size_t>(column)] = static_cast<std::int8_t>(n);
        spriteColor[static_cast<std::size_t>(column)] = pixel;
      }
    }
    for (int x = left; x <= right; ++x) {
      const auto i = static_cast<std::size_t>(x);
      const int owner = spriteOwner[i];
      if (owner >= 0 && !(sprites[static_cast<std::size_t>(owner)].behind && foreground[i])) {
        out[x] = spriteColor[i];
        frame.spritesShown = static_cast<std::uint8_t>(frame.spritesShown | 1 << owner);
      }
    }
  }
  frame.readsCharRom = memory.readsRom;
  return frame;
}
