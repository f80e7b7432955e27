#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "formats/formats.h"
#include "render/sprite_pixels.h"
#include "snapshot/vic_memory.h"
#include "snapshot/video_setup.h"
#include "snapshot/video_state.h"

// One of the video bank's 256 sprite blocks, as the VIC-II fetches it, and
// the mode and colour the sprite sheet draws it in.
struct SheetBlock {
  SpriteBlock bytes{};
  SpriteColors colors;
};

// What every format takes from a snapshot: the decoded registers, the
// screen's blocks as the VIC-II reads them, and the bank's sprite blocks.
struct FormatSource {
  VideoSetup setup;
  ScreenBlocks blocks;
  std::array<SheetBlock, 256> sprites{};
};

// Reads the source through the VIC-II's view of memory (the character ROM
// where it sees it): screen_blocks, fetch_sprite_block, sheet_block_colors.
FormatSource format_source(const VideoState& state);

// The whole file of `format`, load address first (SpritePad files have
// none). Colour RAM, background and border are stored as low nibbles.
std::vector<std::uint8_t> format_bytes(const PictureFormat& format, const FormatSource& source);

// Run-length packing: a run of 4 or more equal bytes, or of any length of
// the escape byte itself, becomes escape, value, count (or escape, count,
// value), with counts 1-255; every other byte is itself. No end marker.
enum class RunOrder : std::uint8_t { ValueCount, CountValue };
std::vector<std::uint8_t> pack_runs(std::span<const std::uint8_t> image, std::uint8_t escape,
                                    RunOrder order);
