#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "snapshot/vic_memory.h"
#include "snapshot/video_setup.h"

// A picture file's layout: where each part of the screen lies in it. The
// one place a layout becomes bytes, for lumerist's Koala picture and every
// picture format of lumerist-export.

// A picture's part that a placement puts into the file.
enum class PicturePart : std::uint8_t {
  Bitmap,      // 8000 bytes
  Screen,      // the screen matrix, 1000 bytes, as it is
  ColorRam,    // 1000 bytes
  Background,  // $D021
  Border,      // $D020
};

// Where a part lies: a file offset, the two bytes of load address counted.
struct Placement {
  std::size_t offset;
  PicturePart part;
};

// Koala Painter's picture, 10003 bytes at $6000.
inline constexpr Placement kKoalaLayout[] = {{2, PicturePart::Bitmap},
                                             {8002, PicturePart::Screen},
                                             {9002, PicturePart::ColorRam},
                                             {10002, PicturePart::Background}};
inline constexpr std::uint16_t kKoalaLoadAddress = 0x6000;
inline constexpr std::size_t kKoalaSize = 10003;

// How colour RAM and the colour registers are stored. lumerist's own rip
// keeps the bytes as the snapshot holds them (colour RAM's unused high
// nibbles, the raw $D021), as it always has, so that its files are the
// machine's memory; the files for the editors (lumerist-export) store the
// low nibbles alone, as the editors themselves write them.
enum class ColourBytes : std::uint8_t { AsSaved, LowNibbles };

// The memory image of a picture: `size` bytes, the load address first,
// each part at its placement, zeros between.
std::vector<std::uint8_t> picture_image(std::span<const Placement> layout,
                                        std::uint16_t loadAddress, std::size_t size,
                                        const VideoSetup& setup, const ScreenBlocks& blocks,
                                        ColourBytes colours);
