#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

inline constexpr std::size_t kVicRegisterCount = 47;  // $D000-$D02E
inline constexpr std::size_t kRamSize = 0x10000;
inline constexpr std::size_t kColorRamCells = 1000;
inline constexpr std::size_t kCharRomSize = 4096;
inline constexpr std::size_t kRomGlyphs = kCharRomSize / 8;  // two sets of 256 characters

// The VIC-II's register images $D000-$D02E, in address order.
using RegisterImages = std::array<std::uint8_t, kVicRegisterCount>;

// What the VIC-II sees at one moment: its registers, the CIA2 port that
// picks its bank, colour RAM, the 64 KiB of RAM and, when known, the
// character ROM. Read once from a snapshot (or set up as a viewer program
// leaves the machine); the exports and the pictures take their bytes from it.
struct VideoState {
  RegisterImages vic{};        // register images $D000-$D02E
  std::uint8_t cia2PortA = 0;  // $DD00: bits 0-1 pick the bank
  std::array<std::uint8_t, kColorRamCells> colorRam{};
  std::vector<std::uint8_t> ram = std::vector<std::uint8_t>(kRamSize);
  std::optional<std::array<std::uint8_t, kCharRomSize>> charRom;
  // The glyphs (8 bytes each, in ROM order) of charRom that are not the ROM's
  // own: none when the ROM came with the snapshot or from a file; where the
  // shapes were read off the frame VICE saved, those no cell showed, which
  // hold the RAM beneath.
  std::bitset<kRomGlyphs> unknownGlyphs;

  std::uint8_t reg(unsigned address) const { return vic[address - 0xD000]; }  // $D000-$D02E
  // The whole character ROM is known.
  bool rom_known() const { return charRom && unknownGlyphs.none(); }
};
