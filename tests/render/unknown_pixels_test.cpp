// Which pixels of a frame depend on glyphs of the character ROM that the
// state does not know: those drawn from such a glyph in a colour its other
// value would change, unless a sprite covers them.

#include "render/unknown_pixels.h"

#include <gtest/gtest.h>

namespace {

// Text in bank $0000 from the ROM's characters ($1000), light blue on blue:
// cell 0 shows code 1, cell 1 code 2, cell 2 code 1 in the background's
// colour, every other cell code 32.
VideoState rom_text() {
  VideoState state;
  state.cia2PortA = 0x97;
  state.vic[0x11] = 0x1B;
  state.vic[0x16] = 0x08;
  state.vic[0x18] = 0x14;
  state.vic[0x20] = 0x0E;
  state.vic[0x21] = 0x06;
  for (unsigned i = 0; i < 1000; ++i) state.ram[0x0400 + i] = 32;
  state.ram[0x0400] = 1;
  state.ram[0x0401] = 2;
  state.ram[0x0402] = 1;
  state.colorRam.fill(14);
  state.colorRam[2] = 6;
  return state;
}

// Unknown pixels of raster line 51 (text row 0, line 0) in columns from-to.
int unknown_in(const std::vector<std::uint8_t>& unknown, int from, int to) {
  if (unknown.empty()) return 0;
  int count = 0;
  for (int x = from; x <= to; ++x) count += unknown[(51 - 16) * kPictureWidth + x];
  return count;
}

TEST(UnknownRomPixels, AreThoseOfUnknownGlyphsThatTheirValueColours) {
  VideoState known = rom_text();
  known.charRom.emplace();
  known.unknownGlyphs.set(1);
  VideoState sprite = known;  // sprite 0 in front of cell 0's left half
  sprite.vic[0x15] = 0x01;
  sprite.vic[0x00] = 24;
  sprite.vic[0x01] = 50;
  sprite.vic[0x27] = 0x01;
  sprite.ram[0x07F8] = 0x80;  // block $2000: four solid pixels a row
  for (unsigned row = 0; row < 21; ++row) sprite.ram[0x2000 + row * 3] = 0xF0;
  VideoState other = known;  // bank $4000: no ROM there
  other.cia2PortA = 0x96;
  const struct {
    const char* what;
    const VideoState& state;
    int cell0, cell1, cell2, rest;
  } cases[] = {
      {"no ROM: every glyph", rom_text(), 8, 8, 0, 8 * 37},
      {"glyph 1 unknown", known, 8, 0, 0, 0},
      {"a sprite over it", sprite, 4, 0, 0, 0},
      {"a bank without the ROM", other, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<std::uint8_t> unknown =
        unknown_rom_pixels(c.state, c.state.vic, c.state.cia2PortA, std::nullopt);
    EXPECT_EQ(unknown_in(unknown, 32, 39), c.cell0);
    EXPECT_EQ(unknown_in(unknown, 40, 47), c.cell1);
    EXPECT_EQ(unknown_in(unknown, 48, 55), c.cell2);
    EXPECT_EQ(unknown_in(unknown, 56, 351), c.rest);
    EXPECT_EQ(unknown_in(unknown, 0, 31) + unknown_in(unknown, 352, 383), 0);
  }
}

TEST(UnknownRomPixels, LeaveARowMatchingWhereOnlyThoseDiffer) {
  VideoState state = rom_text();
  const Picture drawn = render_frame(state).picture;
  const std::vector<std::uint8_t> unknown =
      unknown_rom_pixels(state, state.vic, state.cia2PortA, std::nullopt);
  Picture frame = drawn;
  const std::size_t inCell = (51 - 16) * kPictureWidth + 33, border = (51 - 16) * kPictureWidth;
  frame.pixels[inCell] ^= 1;
  EXPECT_TRUE(row_matches(drawn, unknown, frame, 51 - 16));
  EXPECT_FALSE(row_matches(drawn, {}, frame, 51 - 16));  // without the mask
  frame.pixels[border] ^= 1;
  EXPECT_FALSE(row_matches(drawn, unknown, frame, 51 - 16));
}

}  // namespace
