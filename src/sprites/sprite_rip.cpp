#include "sprites/sprite_rip.h"

#include <algorithm>
#include <optional>

#include "render/render_frame.h"
#include "render/sprite_pixels.h"
#include "render/vic_memory.h"

namespace {

// The sprite whose colours block `block` is drawn in.
int colour_source(const SpriteRip& rip, std::uint8_t block) {
  for (const int n : rip.enabled) {
    if (rip.pointers[static_cast<std::size_t>(n)] == block) return n;
  }
  return rip.enabled.empty() ? 0 : rip.enabled.front();
}

bool pointed_at(const SpriteRip& rip, std::uint8_t block) {
  return std::any_of(rip.enabled.begin(), rip.enabled.end(), [&rip, block](int n) {
    return rip.pointers[static_cast<std::size_t>(n)] == block;
  });
}

// The pixels of each byte of sprite data in the colours of sprite `n`,
// worked out for the first block that needs them.
struct ByteColours {
  std::array<std::optional<SpriteBytePixels>, 8> bySprite;
};

const SpriteBytePixels& byte_colours(ByteColours& colours, const SpriteRip& rip, int n) {
  std::optional<SpriteBytePixels>& table = colours.bySprite[static_cast<std::size_t>(n)];
  if (!table) table = sprite_byte_pixels(sprite_colors(rip.setup, n), rip.setup.d021 & 15);
  return *table;
}

// Draws one block into the sheet: its ring, then its 21 rows of 24 pixels.
void draw_block(SpriteRip& rip, VicMemory& memory, ByteColours& colours, int block) {
  const auto pointer = static_cast<std::uint8_t>(block);
  const SpriteBlock bytes = fetch_sprite_block(memory, pointer);
  const SpriteBytePixels& pixels = byte_colours(colours, rip, colour_source(rip, pointer));
  const std::uint8_t ring = pointed_at(rip, pointer) ? kRingInUse : kRingIdle;
  const int left = block % kSheetColumns * kSheetCellWidth;
  const int top = block / kSheetColumns * kSheetCellHeight;
  for (int y = 0; y < kSheetCellHeight; ++y) {
    std::uint8_t* line = rip.sheet.data() + static_cast<std::size_t>(top + y) * kSheetWidth + left;
    if (y == 0 || y == kSheetCellHeight - 1) {
      std::fill_n(line, kSheetCellWidth, ring);
      continue;
    }
    line[0] = line[kSheetCellWidth - 1] = ring;
    for (std::size_t i = 0; i < 3; ++i) {
      const auto& eight = pixels[bytes[static_cast<std::size_t>(y - 1) * 3 + i]];
      std::copy(eight.begin(), eight.end(), line + 1 + 8 * i);
    }
  }
}

}  // namespace

SpriteRip rip_sprites(const VideoState& state) {
  SpriteRip rip;
  rip.setup = decode_video_setup(state);
  for (int n = 0; n < 8; ++n) {
    // Each sprite's fetches apart, to tell whether an enabled one's pointer
    // or block falls where the ROM belongs.
    VicMemory fetch = vic_memory(state, rip.setup);
    const std::uint8_t pointer = fetch_sprite_pointer(fetch, rip.setup, n);
    rip.pointers[static_cast<std::size_t>(n)] = pointer;
    if (!rip.setup.sprites[static_cast<std::size_t>(n)].enabled) continue;
    rip.enabled.push_back(n);
    const SpriteBlock block = fetch_sprite_block(fetch, pointer);
    rip.data.insert(rip.data.end(), block.begin(), block.end());
    rip.romMissing = rip.romMissing || (fetch.readsRom && !state.charRom);
  }
  rip.sheet.assign(static_cast<std::size_t>(kSheetWidth) * kSheetHeight, 0);
  VicMemory sheetMemory = vic_memory(state, rip.setup);
  ByteColours colours;
  for (int block = 0; block < 256; ++block) draw_block(rip, sheetMemory, colours, block);
  rip.shown = sprites_shown(state);
  return rip;
}
