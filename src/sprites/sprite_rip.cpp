#include "sprites/sprite_rip.h"

#include <algorithm>
#include <optional>

#include "render/render_frame.h"
#include "render/sprite_pixels.h"
#include "snapshot/vic_memory.h"

namespace {

bool pointed_at(const SpriteRip& rip, std::uint8_t block) {
  return std::any_of(rip.enabled.begin(), rip.enabled.end(), [&rip, block](int n) {
    return rip.pointers[static_cast<std::size_t>(n)] == block;
  });
}

// The pixels of each byte of sprite data in each mode and colour, worked
// out for the first block that needs them.
struct ByteColours {
  std::array<std::optional<SpriteBytePixels>, 32> byModeAndColour;
};

const SpriteBytePixels& byte_colours(ByteColours& colours, const SpriteRip& rip,
                                     std::uint8_t block) {
  const SpriteColors colors = sheet_block_colors(rip.setup, rip.pointers, block);
  std::optional<SpriteBytePixels>& table =
      colours.byModeAndColour[static_cast<std::size_t>(colors.multicolor * 16 + colors.color)];
  if (!table) table = sprite_byte_pixels(colors, rip.setup.d021 & 15);
  return *table;
}

// Draws one block into the sheet: its ring, then its 21 rows of 24 pixels.
void draw_block(SpriteRip& rip, VicMemory& memory, ByteColours& colours, int block) {
  const auto pointer = static_cast<std::uint8_t>(block);
  const SpriteBlock bytes = fetch_sprite_block(memory, pointer);
  const SpriteBytePixels& pixels = byte_colours(colours, rip, pointer);
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
    rip.romMissing = rip.romMissing || (fetch.readsRom && !state.rom_known());
  }
  rip.sheet.assign(static_cast<std::size_t>(kSheetWidth) * kSheetHeight, 0);
  VicMemory sheetMemory = vic_memory(state, rip.setup);
  ByteColours colours;
  for (int block = 0; block < 256; ++block) draw_block(rip, sheetMemory, colours, block);
  rip.shown = sprites_shown(state);
  return rip;
}
