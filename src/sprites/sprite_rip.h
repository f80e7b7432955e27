#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "snapshot/video_setup.h"
#include "snapshot/video_state.h"

// The sprite sheet: the 256 blocks of the video bank, 16 to a row, each
// drawn unexpanded inside a one-pixel ring.
inline constexpr int kSheetColumns = 16;
inline constexpr int kSheetCellWidth = 26;   // ring, 24 pixels, ring
inline constexpr int kSheetCellHeight = 23;  // ring, 21 rows, ring
inline constexpr int kSheetWidth = kSheetColumns * kSheetCellWidth;
inline constexpr int kSheetHeight = 256 / kSheetColumns * kSheetCellHeight;
static_assert(kSheetWidth == 416 && kSheetHeight == 368);

// The ring of a block an enabled sprite points at, and of the others.
inline constexpr std::uint8_t kRingInUse = 1;  // white
inline constexpr std::uint8_t kRingIdle = 11;  // dark grey

// The sprites of a snapshot as the VIC-II sees them.
struct SpriteRip {
  VideoSetup setup;
  std::array<std::uint8_t, 8> pointers{};  // each sprite's pointer, enabled or not
  std::vector<int> enabled;                // the sprites on in $D015, ascending
  // The 64-byte block of each enabled sprite, in order: the sprite data file.
  std::vector<std::uint8_t> data;
  // The sheet, kSheetWidth x kSheetHeight colour indices row by row.
  std::vector<std::uint8_t> sheet;
  std::uint8_t shown = 0;  // bit n: sprite n gives a pixel of the frame drawn from the registers
  // An enabled sprite's pointer or data lies where the VIC-II sees the
  // character ROM, and the state holds none: RAM was read in its place.
  bool romMissing = false;
};

// Fetches every sprite pointer and block through the VIC-II's view of
// memory, draws the sheet and the frame that tells which sprites show.
//
// In the sheet, block b lies at x = 26 * (b % 16) + 1, y = 23 * (b / 16) +
// 1, drawn in the colours sheet_block_colors gives it; transparent pixels
// take $D021.
SpriteRip rip_sprites(const VideoState& state);
