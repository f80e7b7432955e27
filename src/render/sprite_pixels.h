#pragma once

#include <array>
#include <cstdint>

#include "snapshot/vic_memory.h"
#include "snapshot/video_setup.h"

inline constexpr int kSpriteRows = 21;
inline constexpr int kSpriteBytes = 63;       // 21 rows of 3 bytes
inline constexpr int kSpriteBlockBytes = 64;  // a pointer counts in 64-byte blocks
inline constexpr int kSpriteWidth = 24;
inline constexpr std::uint8_t kTransparent = 0xFF;

// The block of sprite data a pointer selects, fetched as the VIC-II fetches
// it: 64 bytes from bank-relative pointer * 64 (the last is not drawn).
using SpriteBlock = std::array<std::uint8_t, kSpriteBlockBytes>;
SpriteBlock fetch_sprite_block(VicMemory& memory, std::uint8_t pointer);

// The pointer of sprite `n`: the byte after the screen matrix's 1016th.
std::uint8_t fetch_sprite_pointer(VicMemory& memory, const VideoSetup& setup, int n);

// Row `row` (0-20) of a block: 24 bits, bit 23 the leftmost pixel.
std::uint32_t sprite_row_bits(const SpriteBlock& block, int row);

// How a sprite's bits are coloured: its own colour and, in multicolour,
// pairs 01 and 11 from $D025 and $D026.
struct SpriteColors {
  bool multicolor = false;
  std::uint8_t color = 0;
  std::uint8_t multicolor0 = 0;
  std::uint8_t multicolor1 = 0;
};

SpriteColors sprite_colors(const VideoSetup& setup, int n);

// The colours a sheet of the bank's sprite blocks draws block `block` in,
// given each sprite's pointer: those of the lowest enabled sprite that
// points at it. A block no enabled sprite points at takes the mode most
// enabled sprites have (a tie: the lowest enabled sprite's; none enabled:
// hires) and the colour of the lowest enabled sprite whose colour differs
// from $D021, else white (black where $D021 is white), so that it shows.
SpriteColors sheet_block_colors(const VideoSetup& setup,
                                const std::array<std::uint8_t, 8>& pointers, std::uint8_t block);

// Colour of pixel `i` (0-23, before expansion) of a row of 24 bits:
// kTransparent where it shows what lies behind.
constexpr std::uint8_t sprite_pixel(const SpriteColors& colors, std::uint32_t bits, int i) {
  if (!colors.multicolor) return (bits >> (23 - i) & 1) ? colors.color : kTransparent;
  switch (bits >> (22 - (i & ~1)) & 3) {
    case 1:
      return colors.multicolor0;
    case 2:
      return colors.color;
    case 3:
      return colors.multicolor1;
    default:
      return kTransparent;
  }
}

// The 8 pixels of every byte of sprite data, by sprite_pixel, with
// `transparent` where the sprite shows what lies behind: for drawing many
// unexpanded blocks in the same colours at once.
using SpriteBytePixels = std::array<std::array<std::uint8_t, 8>, 256>;
SpriteBytePixels sprite_byte_pixels(const SpriteColors& colors, std::uint8_t transparent);
