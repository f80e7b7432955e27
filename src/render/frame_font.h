#pragma once

// The shapes of the characters a frame shows, read off the frame VICE saved:
// for a snapshot that holds no character ROM, where the VIC-II draws text
// from the ROM area ($1000-$1FFF of bank $0000 or $8000).

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

#include "render/picture.h"
#include "render/render_frame.h"
#include "snapshot/video_state.h"

// Glyphs in ROM order: glyph i is ROM bytes 8i-8i+7, bank-relative
// $1000 + 8i; 0-255 the upper-case set ($1000-$17FF), 256-511 the lower-case
// set ($1800-$1FFF).
struct FrameFont {
  std::array<std::uint8_t, kCharRomSize> glyphs{};  // the taken glyphs' bytes, the others 0
  std::bitset<kRomGlyphs> taken;  // every one of the glyph's 64 bits seen, no two cells disagree
  // The codes the set fetches from the ROM area: with the display enabled,
  // in a text mode whose character set lies in the ROM area, the glyphs of
  // that set the screen codes select (256, or the first 64 where ECM is
  // set); otherwise none. Every taken glyph is one of them.
  std::bitset<kRomGlyphs> fetched;
  std::uint16_t bank = 0;  // the bank the set reads: its RAM lies beneath the ROM area
};

// Reads the glyphs from `frame` (picture row 0 = raster line 16), as the
// register set `vic` and `cia2PortA` (with `pointers` as render_frame takes
// them) draws `state`'s memory on the raster lines of `lines`. In each text
// cell whose glyph lies in the ROM area: a hires or ECM pixel in the cell's
// foreground colour is a 1, in its background colour a 0; a multicolour
// pixel gives the bits of its pair on which all the pair values of its
// colour agree. A pixel under the border, on an idle line, a sprite covers
// (sprite_cover) or of none of the cell's colours says nothing; so does a
// cell whose screen byte lies in the ROM area (when the state holds no
// whole ROM), and every cell of the invalid modes.
FrameFont read_frame_font(const VideoState& state, const RegisterImages& vic,
                          std::uint8_t cia2PortA, const Picture& frame,
                          const std::optional<SpritePointers>& pointers = std::nullopt,
                          LineRange lines = {});
// The same with the state's own registers and port.
FrameFont read_frame_font(const VideoState& state, const Picture& frame);

// Gives a state that holds no ROM the shapes read: state.charRom becomes the
// RAM beneath the ROM area of the font's bank (RAM $1000-$1FFF of bank
// $0000, $9000-$9FFF of bank $8000) with the taken glyphs put in, and
// state.unknownGlyphs the glyphs not taken. False, and the state unchanged,
// when it already holds a ROM or no glyph was taken.
bool apply_frame_font(const FrameFont& font, VideoState& state);

// For the note "the shapes of N characters were read from the frame VICE
// saved; the other M hold the RAM beneath": read = N, the fetched glyphs
// taken; beneath = M, the fetched glyphs not taken.
struct FrameFontCount {
  unsigned read = 0;
  unsigned beneath = 0;
};
FrameFontCount count_frame_font(const FrameFont& font);
