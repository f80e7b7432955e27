#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "snapshot/video_setup.h"
#include "snapshot/video_state.h"

// The VIC-II's 16 KiB view of memory: the RAM of its bank, except that
// banks $0000 and $8000 see the character ROM at $1000-$1FFF. Every fetch of
// the video chip (screen, glyphs, bitmap, sprite pointers and data) and
// every block a rip takes goes through vic_read.
struct VicMemory {
  const VideoState& state;
  unsigned bank = 0;      // $0000, $4000, $8000 or $C000
  bool romBank = false;   // the bank sees the character ROM
  bool readsRom = false;  // a fetch fell into the ROM area
};

inline VicMemory vic_memory(const VideoState& state, const VideoSetup& setup) {
  return VicMemory{state, setup.bankBase, setup.charRomInBank};
}

// Bank-relative `address` (14 bits used) lies in $1000-$1FFF, where banks
// $0000 and $8000 see the character ROM.
constexpr bool in_char_rom_area(unsigned address) {
  return (address & 0x3000) == 0x1000;
}

// The byte the VIC-II fetches at bank-relative `address` (14 bits used).
// The ROM area reads the state's character ROM, or RAM when it holds none.
inline std::uint8_t vic_read(VicMemory& memory, unsigned address) {
  address &= 0x3FFF;
  if (memory.romBank && in_char_rom_area(address)) {
    memory.readsRom = true;
    if (memory.state.charRom) return (*memory.state.charRom)[address & 0x0FFF];
  }
  return memory.state.ram[memory.bank | address];
}

inline constexpr std::size_t kBitmapBytes = 8000;
inline constexpr std::size_t kScreenBytes = 1000;  // screen matrix
inline constexpr std::size_t kCharsetSize = 2048;  // a whole character set

// The blocks a screen is made of, read as the VIC-II reads them (the
// character ROM where it sees it): what every rip, viewer program and
// picture file takes.
struct ScreenBlocks {
  std::array<std::uint8_t, kBitmapBytes> bitmap{};    // at the bitmap address
  std::array<std::uint8_t, kScreenBytes> screen{};    // at the screen address
  std::array<std::uint8_t, kCharsetSize> charset{};   // at the character set address
  std::array<std::uint8_t, kColorRamCells> colors{};  // colour RAM as the snapshot holds it
  bool readsRom = false;  // a block lies where the VIC-II sees the character ROM
};

ScreenBlocks screen_blocks(const VideoSetup& setup, const VideoState& state);
