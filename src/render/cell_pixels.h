#pragma once

// How a cell of the display becomes pixels: the graphics byte's address,
// the colour of each pixel value, which values are foreground. The one
// place that says so, for the renderer (real colours) and the band search
// (symbols: 0-15 a fixed colour, higher values the registers it leaves
// open), which both draw over the same 8-bit values.

#include <array>
#include <cstdint>

// The mode bits: $D011 bit 6 (ECM), bit 5 (BMM) and $D016 bit 4 (MCM).
struct CellMode {
  bool ecm = false, bmm = false, mcm = false;
};
constexpr CellMode cell_mode(int mode) {  // ECM << 2 | BMM << 1 | MCM
  return {(mode & 4) != 0, (mode & 2) != 0, (mode & 1) != 0};
}

// How a cell's graphics byte turns into pixels: one bit a pixel or one
// pair of bits for two pixels (bits 7-6 leftmost), and the value each
// takes. The invalid modes draw black (0) but keep their classification.
struct CellColors {
  bool pairs = false;
  std::array<std::uint8_t, 4> color{};
};

// Cell colours from screen byte `s` and colour nibble `m`, with
// `background` standing for $D021-$D024.
constexpr CellColors cell_colors(CellMode g, std::uint8_t s, std::uint8_t m,
                                 const std::array<std::uint8_t, 4>& background) {
  const auto high = static_cast<std::uint8_t>(s >> 4);
  const auto low = static_cast<std::uint8_t>(s & 15);
  CellColors cell;
  if (g.bmm && g.mcm) {  // multicolour bitmap
    cell = {true, {background[0], high, low, m}};
  } else if (g.bmm) {  // hires bitmap
    cell = {false, {low, high}};
  } else if (g.mcm && (m & 8)) {  // multicolour text, a multicolour cell
    cell = {true, {background[0], background[1], background[2], static_cast<std::uint8_t>(m & 7)}};
  } else if (g.ecm) {  // extended background text
    cell = {false, {background[s >> 6], m}};
  } else {  // standard text, or a hires cell of multicolour text
    cell = {false, {background[0], static_cast<std::uint8_t>(g.mcm ? m & 7 : m)}};
  }
  if (g.ecm && (g.bmm || g.mcm)) cell.color = {};
  return cell;
}

// Bank-relative address of the graphics byte of cell `cell` (0-999), pixel
// line `k`, screen byte `s`, with the character set and the bitmap at the
// bank-relative `charset` and `bitmap`.
constexpr unsigned graphics_address(CellMode g, unsigned charset, unsigned bitmap, int cell,
                                    std::uint8_t s, int k) {
  if (g.bmm) {
    const unsigned address = bitmap + static_cast<unsigned>(cell * 8 + k);
    return g.ecm ? address & ~0x0600u : address;
  }
  const unsigned glyph = g.ecm ? s & 63u : s;
  return charset + glyph * 8 + static_cast<unsigned>(k);
}

// The value of pixel `p` (0-7, left to right) of graphics byte `byte`, and
// whether it is foreground (for sprite priority): a bit that is 1, a pair
// that is 10 or 11.
constexpr int pixel_value(bool pairs, std::uint8_t byte, int p) {
  return pairs ? byte >> (6 - (p & ~1)) & 3 : byte >> (7 - p) & 1;
}
constexpr bool foreground_value(bool pairs, int value) {
  return pairs ? value >= 2 : value == 1;
}
