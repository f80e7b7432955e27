#pragma once

#include <array>
#include <cstdint>

#include "snapshot/video_state.h"

// One of the eight sprites, as its registers set it.
struct SpriteSetup {
  bool enabled = false;     // $D015 bit n
  unsigned x = 0;           // 0-511: $D000 + 2n, bit n of $D010 as bit 8
  std::uint8_t y = 0;       // $D001 + 2n: the first row is raster line y + 1
  bool tall = false;        // $D017 bit n: every row twice as high
  bool wide = false;        // $D01D bit n: every pixel twice as wide
  bool multicolor = false;  // $D01C bit n
  bool behind = false;      // $D01B bit n: drawn only over background pixels
  std::uint8_t color = 0;   // $D027 + n, low nibble
};

// What the video chip shows, decoded from its register images and the CIA2
// port: the register bytes the exports print and patch, the mode bits, the
// display window's settings, and the C64 addresses of the blocks it
// displays. The one place where register bits become addresses and modes.
struct VideoSetup {
  std::uint8_t cia2PortA = 0;  // $DD00, video bank in bits 0-1 (inverted)
  std::uint8_t d011 = 0;
  std::uint8_t d016 = 0;
  std::uint8_t d018 = 0;           // screen, bitmap and character set pointers
  std::uint8_t d020 = 0;           // border colour
  std::uint8_t d021 = 0;           // background colour 0
  std::uint8_t d022 = 0;           // background colour 1
  std::uint8_t d023 = 0;           // background colour 2
  bool multicolorMode = false;     // bit 4 of d016
  bool bitmapMode = false;         // bit 5 of d011
  bool extendedColorMode = false;  // bit 6 of d011
  bool displayEnabled = false;     // bit 4 of d011
  bool rows25 = false;             // bit 3 of d011; clear: 24 rows
  bool columns40 = false;          // bit 3 of d016; clear: 38 columns
  std::uint8_t yScroll = 0;        // bits 0-2 of d011
  std::uint8_t xScroll = 0;        // bits 0-2 of d016
  std::uint16_t bankBase = 0;      // start of the 16 KiB the video chip sees
  // Banks $0000 and $8000: the video chip sees the character ROM at
  // bank-relative $1000-$1FFF, not RAM.
  bool charRomInBank = false;
  std::uint16_t bitmapAddress = 0;   // start of the 8000-byte bitmap
  std::uint16_t screenAddress = 0;   // start of the 1000-byte screen matrix
  std::uint16_t charsetAddress = 0;  // start of the character set
  std::uint16_t spritePointers = 0;  // pointer of sprite 0: the screen matrix + $3F8
  std::array<SpriteSetup, 8> sprites{};
  std::uint8_t spriteMulticolor0 = 0;  // $D025, low nibble: multicolour sprite pairs 01
  std::uint8_t spriteMulticolor1 = 0;  // $D026, low nibble: pairs 11
  // The raster interrupt: $D01A bit 0 enables it; it comes on raster line
  // $D012, with bit 8 from $D011 bit 7.
  bool rasterInterrupt = false;
  std::uint16_t rasterLine = 0;
};

// Decodes the register images $D000-$D02E and CIA2 port A. Port A bits
// 0-1 = 3, 2, 1, 0 select banks $0000, $4000, $8000, $C000; every other bit
// of $DD00 and bit 0 of $D018 are ignored.
constexpr VideoSetup decode_video_setup(const RegisterImages& vic, std::uint8_t cia2PortA) {
  const auto reg = [&vic](unsigned address) { return vic[address - 0xD000]; };
  VideoSetup setup;
  setup.cia2PortA = cia2PortA;
  setup.d011 = reg(0xD011);
  setup.d016 = reg(0xD016);
  setup.d018 = reg(0xD018);
  setup.d020 = reg(0xD020);
  setup.d021 = reg(0xD021);
  setup.d022 = reg(0xD022);
  setup.d023 = reg(0xD023);
  setup.multicolorMode = (setup.d016 & 0x10) != 0;
  setup.bitmapMode = (setup.d011 & 0x20) != 0;
  setup.extendedColorMode = (setup.d011 & 0x40) != 0;
  setup.displayEnabled = (setup.d011 & 0x10) != 0;
  setup.rows25 = (setup.d011 & 0x08) != 0;
  setup.columns40 = (setup.d016 & 0x08) != 0;
  setup.yScroll = setup.d011 & 7;
  setup.xScroll = setup.d016 & 7;
  setup.bankBase = static_cast<std::uint16_t>(0xC000 - (cia2PortA & 3) * 0x4000);
  setup.charRomInBank = setup.bankBase == 0x0000 || setup.bankBase == 0x8000;
  const int d018 = setup.d018;
  setup.bitmapAddress = static_cast<std::uint16_t>(setup.bankBase + (d018 >> 3 & 1) * 0x2000);
  setup.screenAddress = static_cast<std::uint16_t>(setup.bankBase + (d018 >> 4) * 0x400);
  setup.charsetAddress = static_cast<std::uint16_t>(setup.bankBase + (d018 >> 1 & 7) * 0x800);
  setup.spritePointers = static_cast<std::uint16_t>(setup.screenAddress + 0x3F8);
  for (unsigned n = 0; n < setup.sprites.size(); ++n) {
    SpriteSetup& sprite = setup.sprites[n];
    const auto bit = [&reg, n](unsigned address) { return (reg(address) >> n & 1) != 0; };
    sprite.enabled = bit(0xD015);
    sprite.x = reg(0xD000 + 2 * n) | (bit(0xD010) ? 0x100u : 0u);
    sprite.y = reg(0xD001 + 2 * n);
    sprite.tall = bit(0xD017);
    sprite.wide = bit(0xD01D);
    sprite.multicolor = bit(0xD01C);
    sprite.behind = bit(0xD01B);
    sprite.color = reg(0xD027 + n) & 15;
  }
  setup.spriteMulticolor0 = reg(0xD025) & 15;
  setup.spriteMulticolor1 = reg(0xD026) & 15;
  setup.rasterInterrupt = (reg(0xD01A) & 0x01) != 0;
  setup.rasterLine = static_cast<std::uint16_t>(reg(0xD012) | (setup.d011 & 0x80) << 1);
  return setup;
}

inline VideoSetup decode_video_setup(const VideoState& state) {
  return decode_video_setup(state.vic, state.cia2PortA);
}

// The inverse of decode_video_setup for what a register set displays:
// writes into `vic` and `cia2PortA` the bits that hold `setup`'s modes,
// display enable, rows and columns, scrolls, bank, screen, character set
// and (in a bitmap mode) bitmap, keeping every other bit. Decoding the
// result gives back those fields (the addresses as $D018 can hold them:
// the screen in 1 KiB steps, the characters in 2 KiB, the bitmap in 8 KiB
// of the bank).
constexpr void encode_video_setup(const VideoSetup& setup, RegisterImages& vic,
                                  std::uint8_t& cia2PortA) {
  const auto bit = [](bool on, unsigned value) { return on ? value : 0u; };
  std::uint8_t& d011 = vic[0x11];
  std::uint8_t& d016 = vic[0x16];
  std::uint8_t& d018 = vic[0x18];
  d011 = static_cast<std::uint8_t>((d011 & 0x80) | bit(setup.extendedColorMode, 0x40) |
                                   bit(setup.bitmapMode, 0x20) | bit(setup.displayEnabled, 0x10) |
                                   bit(setup.rows25, 0x08) | (setup.yScroll & 7));
  d016 = static_cast<std::uint8_t>((d016 & 0xE0) | bit(setup.multicolorMode, 0x10) |
                                   bit(setup.columns40, 0x08) | (setup.xScroll & 7));
  const unsigned bank = setup.bankBase & 0xC000u;
  const unsigned screen = (setup.screenAddress - bank) >> 10 & 15;
  unsigned pointers = ((setup.charsetAddress - bank) >> 11 & 7) << 1;
  if (setup.bitmapMode) pointers = (pointers & 6) | ((setup.bitmapAddress - bank) >> 13 & 1) << 3;
  d018 = static_cast<std::uint8_t>(screen << 4 | pointers | (d018 & 1));
  cia2PortA = static_cast<std::uint8_t>((cia2PortA & ~3u) | (3 - (bank >> 14)));
}
