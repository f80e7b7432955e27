#include "render/sprite_pixels.h"

SpriteBlock fetch_sprite_block(VicMemory& memory, std::uint8_t pointer) {
  SpriteBlock block{};
  const unsigned start = unsigned{pointer} * kSpriteBlockBytes;
  for (unsigned i = 0; i < block.size(); ++i) block[i] = vic_read(memory, start + i);
  return block;
}

std::uint8_t fetch_sprite_pointer(VicMemory& memory, const VideoSetup& setup, int n) {
  return vic_read(memory, static_cast<unsigned>(setup.spritePointers + n));
}

std::uint32_t sprite_row_bits(const SpriteBlock& block, int row) {
  const auto at = static_cast<std::size_t>(row) * 3;
  return std::uint32_t{block[at]} << 16 | std::uint32_t{block[at + 1]} << 8 | block[at + 2];
}

SpriteColors sprite_colors(const VideoSetup& setup, int n) {
  const SpriteSetup& sprite = setup.sprites[static_cast<std::size_t>(n)];
  return {sprite.multicolor, sprite.color, setup.spriteMulticolor0, setup.spriteMulticolor1};
}

SpriteColors sheet_block_colors(const VideoSetup& setup,
                                const std::array<std::uint8_t, 8>& pointers, std::uint8_t block) {
  constexpr std::uint8_t kWhite = 1;
  int enabled = 0;
  int multicolor = 0;
  int lowest = -1;         // the lowest enabled sprite
  int lowestVisible = -1;  // the lowest enabled sprite not in the background colour
  const std::uint8_t background = setup.d021 & 15;
  for (int n = 0; n < 8; ++n) {
    const SpriteSetup& sprite = setup.sprites[static_cast<std::size_t>(n)];
    if (!sprite.enabled) continue;
    if (pointers[static_cast<std::size_t>(n)] == block) return sprite_colors(setup, n);
    ++enabled;
    multicolor += sprite.multicolor;
    if (lowest < 0) lowest = n;
    if (lowestVisible < 0 && sprite.color != background) lowestVisible = n;
  }
  SpriteColors colors{false, background == kWhite ? std::uint8_t{0} : kWhite,
                      setup.spriteMulticolor0, setup.spriteMulticolor1};
  if (lowest < 0) return colors;
  const int hires = enabled - multicolor;
  colors.multicolor = multicolor != hires
                          ? multicolor > hires
                          : setup.sprites[static_cast<std::size_t>(lowest)].multicolor;
  if (lowestVisible >= 0)
    colors.color = setup.sprites[static_cast<std::size_t>(lowestVisible)].color;
  return colors;
}

SpriteBytePixels sprite_byte_pixels(const SpriteColors& colors, std::uint8_t transparent) {
  SpriteBytePixels table{};
  for (unsigned byte = 0; byte < table.size(); ++byte) {
    for (int i = 0; i < 8; ++i) {  // the byte as the first of a row: pixels 0-7
      const std::uint8_t pixel = sprite_pixel(colors, byte << 16, i);
      table[byte][static_cast<std::size_t>(i)] = pixel == kTransparent ? transparent : pixel;
    }
  }
  return table;
}
