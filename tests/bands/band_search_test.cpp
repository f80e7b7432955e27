// The bands of split frames: frames drawn by two to five register sets over
// chosen lines must give those bands or fewer, each drawing its lines
// exactly; static screens give one band; the report lines follow the format.

#include "bands/band_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <random>
#include <string>
#include <vector>

#include "bands/band_model.h"
#include "render/unknown_pixels.h"
#include "split_frame.h"

namespace {

// Bank $0000: characters at $2000 (32 blank), screens at $0400 and $0800,
// sprite blocks $C0-$C3 at $3000. Bank $4000: a multicolour bitmap at
// $6000, its screen at $4400. Text at $0400 in light blue on blue, sprite 0
// hires, 1 multicolour and x-expanded, 2 y-expanded and behind the text.
VideoState machine() {
  VideoState state;
  std::minstd_rand random(7);
  const auto next = [&random] { return static_cast<std::uint8_t>(random() >> 8); };
  for (unsigned g = 0; g < 256; ++g) {
    for (unsigned k = 0; k < 8; ++k) state.ram[0x2000 + g * 8 + k] = g == 32 ? 0 : next() & next();
  }
  for (unsigned i = 0; i < 1000; ++i) {
    const bool blankRow = i / 40 % 3 == 1;
    state.ram[0x0400 + i] = blankRow || next() % 5 == 0 ? 32 : 1 + next() % 60;
    state.ram[0x0800 + i] = next() % 3 == 0 ? 32 : next() % 64;
    state.colorRam[i] = static_cast<std::uint8_t>(1 + (i / 40 + i % 7) % 15);
    state.ram[0x4400 + i] = next();
  }
  for (unsigned i = 0; i < 8000; ++i) state.ram[0x6000 + i] = next();
  for (unsigned block = 0; block < 4; ++block) {
    for (unsigned row = 0; row < 21; ++row) {
      const unsigned half = std::min(row, 20 - row) * (block + 1) / 4;  // diamonds of four sizes
      const unsigned bits = ((1u << (2 * half + 2)) - 1) << (11 - half);
      for (unsigned i = 0; i < 3; ++i) {
        state.ram[0x3000 + block * 64 + row * 3 + i] =
            static_cast<std::uint8_t>(bits >> (16 - 8 * i));
      }
    }
  }
  state.cia2PortA = 0x97;
  const std::pair<unsigned, std::uint8_t> registers[] = {
      {0xD011, 0x1B}, {0xD016, 0x08}, {0xD018, 0x18}, {0xD020, 0xFE}, {0xD021, 0xF6},
      {0xD015, 0x07}, {0xD000, 60},   {0xD001, 70},   {0xD002, 160},  {0xD003, 90},
      {0xD004, 240},  {0xD005, 110},  {0xD01C, 0x02}, {0xD01D, 0x02}, {0xD017, 0x04},
      {0xD01B, 0x04}, {0xD025, 0x0A}, {0xD026, 0x0D}, {0xD027, 0x07}, {0xD028, 0x05},
      {0xD029, 0x02}};
  for (const auto& [address, value] : registers) state.vic[address - 0xD000] = value;
  for (unsigned n = 0; n < 3; ++n) state.ram[0x07F8 + n] = static_cast<std::uint8_t>(0xC0 + n);
  return state;
}

// A set's drawing and the pixels in it that depend on glyphs the state
// does not know.
struct Drawing {
  Picture picture;
  std::vector<std::uint8_t> unknown;
  // Whether columns from-to (exclusive) of the line equal the frame's.
  bool draws(const Picture& frame, int line, int from = 0, int to = kPictureWidth) const {
    for (int x = from; x < to; ++x) {
      const auto i = static_cast<std::size_t>((line - 16) * kPictureWidth + x);
      if (picture.pixels[i] != frame.pixels[i] && (unknown.empty() || !unknown[i])) return false;
    }
    return true;
  }
};
Drawing drawing(const VideoState& state, const BandSet& set) {
  return {draw_band_set(state, set).picture,
          unknown_rom_pixels(state, set.vic, set.cia2PortA, set.pointers)};
}

// The bands cover lines 16-287 in order, and each set (but those of
// unmatched lines) draws its lines exactly, and those from fromLine on. A
// change within the line: band I's set draws each line left of the least
// first column, band J's from the greatest on.
void expect_bands_draw(const VideoState& state, const Picture& frame, const BandSearch& found) {
  int next = 16;
  for (const Band& band : found.bands) {
    SCOPED_TRACE(band_line(0, band));
    EXPECT_EQ(band.firstLine, next);
    next = band.lastLine + 1;
    if (band.kind == BandKind::Unmatched) continue;
    if (band.kind == BandKind::ChangeWithinLine) {
      const Drawing left = drawing(state, found.bands.at(band.leftBand).set);
      const Drawing right = drawing(state, found.bands.at(band.rightBand).set);
      for (int line = band.firstLine; line <= band.lastLine; ++line) {
        ASSERT_TRUE(left.draws(frame, line, 0, band.firstColumn)) << "line " << line;
        ASSERT_TRUE(right.draws(frame, line, band.lastColumn)) << "line " << line;
      }
      continue;
    }
    const Drawing drawn = drawing(state, band.set);
    for (int line = band.fromLine.value_or(band.firstLine); line <= band.lastLine; ++line) {
      ASSERT_TRUE(drawn.draws(frame, line)) << "line " << line;
    }
  }
  EXPECT_EQ(next, 288);
}

std::vector<BandKind> kinds(const BandSearch& found) {
  std::vector<BandKind> out;
  for (const Band& band : found.bands) out.push_back(band.kind);
  return out;
}

// The multicolour bitmap of bank $4000.
BandSet bitmap_set(const VideoState& state) {
  return changed(snapshot_set(state),
                 {{0xDD00, 0x96}, {0xD011, 0x3B}, {0xD016, 0x18}, {0xD018, 0x18}, {0xD021, 0x00}});
}

// The frame the parts draw gives their bands or fewer, each drawing its
// lines, none unmatched (with `allDrawn`, none with the display off).
void expect_parts_found(const VideoState& state, const char* what,
                        const std::vector<SetLines>& parts, bool allDrawn) {
  SCOPED_TRACE(what);
  const Picture frame = split_frame(state, parts);
  const BandSearch found = find_bands(state, frame);
  expect_bands_draw(state, frame, found);
  EXPECT_LE(found.bands.size(), parts.size());
  for (const Band& band : found.bands) {
    EXPECT_NE(band.kind, BandKind::Unmatched);
    if (allDrawn) {
      EXPECT_EQ(band.kind, BandKind::Drawn);
    }
  }
  EXPECT_FALSE(found.cutShort);
}

TEST(BandSearch, SplitScreensGiveTheirBandsOrFewerEachDrawingItsLines) {
  const VideoState state = machine();
  const BandSet own = snapshot_set(state);
  const BandSet bitmap = bitmap_set(state);
  struct Case {
    const char* what;
    std::vector<SetLines> parts;
  } const cases[] = {
      {"multicolour bitmap above text, another bank", {{bitmap, 16, 120}, {own, 121, 287}}},
      {"text above the bitmap, the split mid-row", {{own, 16, 133}, {bitmap, 134, 287}}},
      {"another screen lower down ($D018)",
       {{own, 16, 150}, {changed(own, {{0xD018, 0x28}}), 151, 287}}},
      {"characters of another bank", {{own, 16, 99}, {changed(own, {{0xDD00, 0x96}}), 100, 287}}},
      {"vertical and horizontal scroll",
       {{own, 16, 100},
        {changed(own, {{0xD011, 0x1E}}), 101, 180},
        {changed(own, {{0xD016, 0x0C}}), 181, 287}}},
      {"38 columns and 24 rows, then 40 and 25",
       {{changed(own, {{0xD011, 0x13}, {0xD016, 0x00}}), 16, 140}, {own, 141, 287}}},
      {"colour bands",
       {{changed(own, {{0xD021, 0x00}}), 16, 70},
        {changed(own, {{0xD021, 0x02}}), 71, 110},
        {changed(own, {{0xD020, 0x05}, {0xD021, 0x07}}), 111, 170},
        {changed(own, {{0xD021, 0x0B}}), 171, 220},
        {own, 221, 287}}},
      {"extended background and multicolour text",
       {{changed(own, {{0xD011, 0x5B}, {0xD022, 3}, {0xD023, 4}, {0xD024, 5}}), 16, 110},
        {changed(own, {{0xD016, 0x18}, {0xD022, 9}, {0xD023, 12}}), 111, 287}}},
      {"sprites moved and re-pointed lower down",
       {{own, 16, 140},
        {changed(
             own,
             {{0xD001, 170}, {0xD003, 160}, {0xD000, 90}, {kPointer, 0xC3}, {kPointer + 1, 0xC0}}),
         141, 287}}},
      {"sprites over the split and over a new layout",
       {{changed(own, {{0xD001, 120}, {0xD003, 125}}), 16, 130},
        {changed(bitmap, {{0xD001, 120}, {0xD003, 125}}), 131, 287}}},
  };
  for (const Case& c : cases) expect_parts_found(state, c.what, c.parts, true);
}

TEST(BandSearch, SpritesAtTheBordersOverEachOtherOrOffAndOddModesAreFound) {
  const VideoState state = machine();
  const BandSet own = snapshot_set(state);
  struct Case {
    const char* what;
    std::vector<SetLines> parts;
  } const cases[] = {
      {"a sprite coming in under the left border",
       {{own, 16, 140}, {changed(own, {{0xD000, 10}, {0xD001, 170}}), 141, 287}}},
      {"a sprite going out under the right border",
       {{own, 16, 140}, {changed(own, {{0xD000, 0x40}, {0xD010, 0x01}, {0xD001, 170}}), 141, 287}}},
      {"an expanded sprite at X 500, its right part at the left edge",
       {{own, 16, 140}, {changed(own, {{0xD002, 0xF4}, {0xD010, 0x02}, {0xD003, 170}}), 141, 287}}},
      {"two sprites laid over each other, the lower behind the text",
       {{own, 16, 140},
        {changed(own, {{0xD000, 200}, {0xD001, 170}, {0xD004, 200}, {0xD005, 170}}), 141, 287}}},
      {"sprites behind the bitmap's foreground", {{own, 16, 60}, {bitmap_set(state), 61, 287}}},
      {"sprites switched off lower down", {{own, 16, 80}, {changed(own, {{0xD015, 0}}), 81, 287}}},
      {"sprites recoloured", {{own, 16, 80}, {changed(own, {{0xD028, 1}, {0xD025, 3}}), 81, 287}}},
      {"an invalid mode's black window under the sprites",
       {{own, 16, 99},
        {changed(own, {{0xD011, 0x5B}, {0xD016, 0x18}}), 100, 150},
        {own, 151, 287}}},
      {"24 rows, split within the lines they leave to the border",
       {{changed(own, {{0xD011, 0x13}, {0xD020, 0x05}}), 16, 52}, {own, 53, 287}}},
      {"idle lines at the top (vertical scroll 7)",
       {{changed(own, {{0xD011, 0x1F}}), 16, 150},
        {changed(own, {{0xD011, 0x1F}, {0xD021, 0x00}}), 151, 287}}},
      {"extended background with idle lines ($39FF) at the top",
       {{own, 16, 40}, {changed(own, {{0xD011, 0x5F}, {0xD022, 2}}), 41, 287}}},
      {"a bitmap with idle lines at the bottom (vertical scroll 0)",
       {{own, 16, 200}, {changed(bitmap_set(state), {{0xD011, 0x38}}), 201, 287}}},
  };
  for (const Case& c : cases) expect_parts_found(state, c.what, c.parts, false);
}

TEST(BandSearch, MultiplexedSpritesAreFoundFromTheRowsThatShowThem) {
  // The snapshot holds the sprites where the last band has them; above,
  // the program showed them elsewhere, some begun under the top border.
  const VideoState state = machine();
  const BandSet own = snapshot_set(state);
  const auto at = [&own](std::uint8_t y0, std::uint8_t x0, std::uint8_t y1, std::uint8_t x1,
                         std::uint8_t y2, std::uint8_t x2) {
    return changed(
        own, {{0xD001, y0}, {0xD000, x0}, {0xD003, y1}, {0xD002, x1}, {0xD005, y2}, {0xD004, x2}});
  };
  struct Case {
    const char* what;
    std::vector<SetLines> parts;
  } const cases[] = {
      {"begun under the top border, then lower down",
       {{at(40, 100, 30, 200, 45, 60), 16, 110}, {own, 111, 287}}},
      {"begun under the top border of 24 rows",
       {{changed(at(44, 120, 38, 200, 30, 40), {{0xD011, 0x13}}), 16, 100},
        {changed(own, {{0xD011, 0x13}}), 101, 287}}},
      {"text rows carrying sprites that move from row to row",
       {{at(60, 40, 62, 150, 66, 230), 16, 90},
        {at(100, 70, 101, 180, 104, 20), 91, 130},
        {at(140, 100, 138, 210, 146, 50), 131, 170},
        {at(180, 130, 182, 240, 184, 80), 171, 215},
        {own, 216, 287}}},
  };
  for (const Case& c : cases) expect_parts_found(state, c.what, c.parts, true);
}

TEST(BandSearch, WhatABandNeverShowsKeepsTheSnapshotsValue) {
  // The lower set changes $D021 (shown) and $D022-$D024, the sprite
  // multicolours and sprite 7's colour, which standard text and these
  // sprites never show.
  const VideoState state = machine();
  const BandSet own = snapshot_set(state);
  const BandSet lower = changed(
      own, {{0xD021, 0x02}, {0xD022, 0x0C}, {0xD023, 0x0D}, {0xD024, 0x0E}, {0xD02E, 0x03}});
  const Picture frame = split_frame(state, {{own, 16, 180}, {lower, 181, 287}});
  const BandSearch found = find_bands(state, frame);
  expect_bands_draw(state, frame, found);
  ASSERT_EQ(found.bands.size(), 2u);
  EXPECT_EQ(found.bands[0].set.vic, own.vic);
  BandSet expected = own;
  expected.vic[0x21] = 0xF2;  // the snapshot's unused high bits
  EXPECT_EQ(found.bands[1].set.vic, expected.vic);
  EXPECT_EQ(found.bands[1].set.cia2PortA, own.cia2PortA);
  EXPECT_EQ(found.bands[1].set.pointers, own.pointers);
}

TEST(BandSearch, MovedSpritesAreFoundWhereTheyAreWithTheirPointers) {
  const VideoState state = machine();
  const BandSet lower =
      changed(snapshot_set(state), {{0xD000, 100}, {0xD001, 180}, {kPointer, 0xC3}});
  const Picture frame = split_frame(state, {{snapshot_set(state), 16, 150}, {lower, 151, 287}});
  const BandSearch found = find_bands(state, frame);
  expect_bands_draw(state, frame, found);
  ASSERT_EQ(found.bands.size(), 2u);
  const Band& below = found.bands[1];
  EXPECT_TRUE(below.sprites & 1);
  EXPECT_EQ(below.set.vic[0x00], 100);
  EXPECT_EQ(below.set.vic[0x01], 180);
  EXPECT_EQ(below.set.pointers[0], 0xC3);
}

TEST(BandSearch, StaticScreensGiveOneBandWithTheSnapshotsSet) {
  const VideoState text = machine();
  VideoState picture = machine();
  picture.vic = bitmap_set(picture).vic;
  picture.cia2PortA = bitmap_set(picture).cia2PortA;
  for (const VideoState& state : {text, picture}) {
    const BandSearch found = find_bands(state, render_frame(state).picture);
    ASSERT_EQ(found.bands.size(), 1u);
    EXPECT_EQ(found.bands[0].kind, BandKind::Drawn);
    EXPECT_EQ(found.bands[0].set.vic, state.vic);
    EXPECT_EQ(found.bands[0].set.cia2PortA, state.cia2PortA);
    EXPECT_EQ(found.bands[0].sprites, render_frame(state).spritesShown);
  }
}

TEST(BandSearch, DisplayOffAndNoiseAreBandsOfTheirOwnLines) {
  const VideoState state = machine();
  const BandSet own = snapshot_set(state);
  Picture frame = split_frame(state, {{own, 16, 129},
                                      {changed(own, {{0xD011, 0x0B}, {0xD020, 0x02}}), 130, 150},
                                      {own, 151, 287}});
  std::minstd_rand random(3);
  for (int line = 200; line <= 204; ++line) {
    for (int x = 0; x < kPictureWidth; ++x)
      frame.pixels[(line - 16) * kPictureWidth + x] = random() & 15;
  }
  const BandSearch found = find_bands(state, frame);
  expect_bands_draw(state, frame, found);
  const std::vector<BandKind> expected = {BandKind::Drawn, BandKind::DisplayOff, BandKind::Drawn,
                                          BandKind::Unmatched, BandKind::Drawn};
  ASSERT_EQ(kinds(found), expected);
  EXPECT_EQ(found.bands[1].firstLine, 130);
  EXPECT_EQ(found.bands[1].lastLine, 150);
  EXPECT_EQ(found.bands[3].firstLine, 200);
  EXPECT_EQ(found.bands[3].lastLine, 204);
}

// Lines whose left part one set draws and the rest another, as a program
// that writes the registers while the beam crosses the line shows them:
// each line split at column `split(line)`.
Picture split_within_lines(const VideoState& state, const BandSet& left, const BandSet& right,
                           int first, int last, int (*split)(int)) {
  Picture frame = split_frame(state, {{left, 16, first - 1}, {right, first, 287}});
  const Picture drawn = draw_band_set(state, left).picture;
  for (int line = first; line <= last; ++line) {
    const auto row = static_cast<std::ptrdiff_t>(line - 16) * kPictureWidth;
    std::copy_n(drawn.pixels.begin() + row, split(line), frame.pixels.begin() + row);
  }
  return frame;
}

TEST(BandSearch, LinesTwoSetsDrawOnEitherSideOfAColumnAreAChangeWithinTheLine) {
  const VideoState state = machine();
  const BandSet own = snapshot_set(state);
  const BandSet dark = changed(own, {{0xD020, 0x02}, {0xD021, 0x00}});
  struct Case {
    const char* what;
    BandSet left, right;
    int first, last;
    int (*split)(int);
    std::vector<BandKind> kinds;
    int firstColumn, lastColumn;
  } const cases[] = {
      {"border and background, the column moving right",
       own,
       dark,
       60,
       63,
       [](int line) { return 180 + 6 * (line - 60); },
       {BandKind::Drawn, BandKind::ChangeWithinLine, BandKind::Drawn},
       180,
       198},
      {"one line, in the right border",
       own,
       dark,
       160,
       160,
       [](int) { return 360; },
       {BandKind::Drawn, BandKind::ChangeWithinLine, BandKind::Drawn},
       360,
       360},
      {"text and a bitmap below",
       own,
       bitmap_set(state),
       140,
       141,
       [](int) { return 120; },
       {BandKind::Drawn, BandKind::ChangeWithinLine, BandKind::Drawn},
       120,
       120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Picture frame = split_within_lines(state, c.left, c.right, c.first, c.last, c.split);
    const BandSearch found = find_bands(state, frame);
    expect_bands_draw(state, frame, found);
    ASSERT_EQ(kinds(found), c.kinds);
    const Band& change = found.bands[1];
    EXPECT_EQ(change.firstLine, c.first);
    EXPECT_EQ(change.lastLine, c.last);
    EXPECT_EQ(change.leftBand, 0);
    EXPECT_EQ(change.rightBand, 2);
    EXPECT_EQ(change.firstColumn, c.firstColumn);
    EXPECT_EQ(change.lastColumn, c.lastColumn);
  }
}

TEST(BandSearch, LinesNeitherSideExplainsStayUnmatchedBesideAChange) {
  const VideoState state = machine();
  const BandSet own = snapshot_set(state);
  const BandSet dark = changed(own, {{0xD020, 0x02}, {0xD021, 0x00}});
  Picture frame = split_within_lines(state, own, dark, 120, 125, [](int) { return 200; });
  std::minstd_rand random(5);
  for (int line = 124; line <= 125; ++line) {
    for (int x = 0; x < kPictureWidth; ++x)
      frame.pixels[(line - 16) * kPictureWidth + x] = random() & 15;
  }
  const BandSearch found = find_bands(state, frame);
  expect_bands_draw(state, frame, found);
  const std::vector<BandKind> expected = {BandKind::Drawn, BandKind::ChangeWithinLine,
                                          BandKind::Unmatched, BandKind::Drawn};
  ASSERT_EQ(kinds(found), expected);
  EXPECT_EQ(band_line(2, found.bands[1]),
            "Band 2: lines 120-123: the registers change within the line: band 1's set to the "
            "left of x 200-200, band 4's from there.\n");
  EXPECT_EQ(band_line(3, found.bands[2]),
            "Band 3: lines 124-125: no register set draws these lines.\n");
}

TEST(BandSearch, FramesNoSetDrawsAreOneUnmatchedBand) {
  const VideoState state = machine();
  std::minstd_rand random(11);
  Picture noise, bytes, small;
  for (auto& pixel : noise.pixels) pixel = random() & 15;
  for (auto& pixel : bytes.pixels) pixel = static_cast<std::uint8_t>(16 + random() % 240);
  small.pixels.resize(100);
  for (const Picture* frame : {&noise, &bytes, &small}) {
    const BandSearch found = find_bands(state, *frame);
    ASSERT_EQ(found.bands.size(), 1u);
    EXPECT_EQ(found.bands[0].kind, BandKind::Unmatched);
    EXPECT_EQ(found.bands[0].firstLine, 16);
    EXPECT_EQ(found.bands[0].lastLine, 287);
  }
}

TEST(BandSearch, ASetThatDrawsLinesAboveItsBandSaysFromWhere) {
  // Sprite 0 (lines 71-91) comes back at lines 221-241; no other sprite can
  // draw it there in the first band, and from line 92 on both sets draw the
  // same lines.
  const VideoState state = machine();
  const BandSet own = snapshot_set(state);
  const Picture frame =
      split_frame(state, {{own, 16, 199}, {changed(own, {{0xD001, 220}}), 200, 287}});
  const BandSearch found = find_bands(state, frame);
  expect_bands_draw(state, frame, found);
  ASSERT_EQ(found.bands.size(), 2u);
  EXPECT_EQ(found.bands[1].firstLine, 221);
  EXPECT_EQ(found.bands[1].fromLine, 92);
}

TEST(BandSearch, NotesCharacterRomFetchesWhenTheStateHoldsNoRom) {
  VideoState state = machine();
  state.vic[0x18] = 0x14;  // characters at $1000: the ROM area of bank $0000
  const BandSet own = snapshot_set(state);
  const Picture frame =
      split_frame(state, {{own, 16, 100}, {changed(own, {{0xD021, 0}}), 101, 287}});
  EXPECT_TRUE(find_bands(state, frame).romMissing);
  state.charRom.emplace();
  const Picture withRom =
      split_frame(state, {{own, 16, 100}, {changed(own, {{0xD021, 0}}), 101, 287}});
  EXPECT_FALSE(find_bands(state, withRom).romMissing);
}

// A BASIC screen: bank $0000, screen $0400, the ROM's upper-case font
// (here a made-up one) at $1000, light blue on blue; the RAM beneath the
// ROM holds stripes.
struct BasicScreen {
  VideoState state;
  std::array<std::uint8_t, kCharRomSize> rom{};
  std::bitset<kRomGlyphs> onScreen;  // the glyphs the screen shows
};
BasicScreen basic_screen() {
  BasicScreen basic;
  VideoState& state = basic.state;
  std::minstd_rand random(9);
  for (std::size_t i = 0; i < kCharRomSize; ++i) {
    basic.rom[i] = i / 8 == 32 ? 0 : static_cast<std::uint8_t>(random() >> 4);
  }
  for (unsigned a = 0x1000; a < 0x2000; ++a) state.ram[a] = (a & 7) >= 2 && (a & 7) < 6 ? 0xFF : 0;
  const char* lines[] = {"**** COMMODORE 64 BASIC V2 ****", "", "READY.", "LOAD", "", "READY."};
  for (unsigned i = 0; i < 1000; ++i) state.ram[0x0400 + i] = 32;
  for (unsigned row = 0; row < 6; ++row) {
    for (unsigned c = 0; lines[row][c]; ++c) {
      const char ch = lines[row][c];
      state.ram[0x0400 + (row + 1) * 40 + c] =
          static_cast<std::uint8_t>(ch >= '@' && ch <= 'Z' ? ch - '@' : ch);
    }
  }
  for (unsigned i = 0; i < 1000; ++i) basic.onScreen.set(state.ram[0x0400 + i]);
  state.colorRam.fill(14);
  state.cia2PortA = 0x97;
  for (const auto& [address, value] : std::initializer_list<std::pair<unsigned, std::uint8_t>>{
           {0xD011, 0x1B}, {0xD016, 0xC8}, {0xD018, 0x15}, {0xD020, 0xFE}, {0xD021, 0xF6}}) {
    state.vic[address - 0xD000] = value;
  }
  return basic;
}

std::vector<std::string> lines_of(const BandSearch& found) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < found.bands.size(); ++i) {
    out.push_back(band_line(static_cast<int>(i) + 1, found.bands[i]));
  }
  return out;
}

TEST(BandSearch, ABasicScreenWithoutItsRomGivesTheBandsItGivesWithIt) {
  const BasicScreen basic = basic_screen();
  VideoState withRom = basic.state;
  withRom.charRom = basic.rom;
  // The shapes of the glyphs on the screen known (read off the frame), the
  // others holding the RAM beneath.
  VideoState someKnown = basic.state;
  someKnown.charRom.emplace();
  for (std::size_t i = 0; i < kCharRomSize; ++i) {
    (*someKnown.charRom)[i] = basic.onScreen[i / 8] ? basic.rom[i] : basic.state.ram[0x1000 + i];
  }
  someKnown.unknownGlyphs = ~basic.onScreen;
  const BandSet own = snapshot_set(withRom);
  const struct {
    const char* what;
    Picture frame;
  } frames[] = {
      {"the static screen", draw_band_set(withRom, own).picture},
      {"the border and background changed lower down",
       split_frame(withRom,
                   {{own, 16, 150}, {changed(own, {{0xD020, 0x02}, {0xD021, 0x00}}), 151, 287}})},
  };
  for (const auto& f : frames) {
    SCOPED_TRACE(f.what);
    const BandSearch expected = find_bands(withRom, f.frame);
    EXPECT_EQ(lines_of(find_bands(someKnown, f.frame)), lines_of(expected));
    // Without a ROM the glyphs' pixels say nothing: the bands keep the
    // snapshot's mode, characters and screen.
    const BandSearch without = find_bands(basic.state, f.frame);
    expect_bands_draw(basic.state, f.frame, without);
    EXPECT_EQ(without.bands.size(), expected.bands.size());
    for (const Band& band : without.bands) {
      SCOPED_TRACE(band_line(0, band));
      EXPECT_EQ(band.kind, BandKind::Drawn);
      EXPECT_EQ(band.set.vic[0x11], 0x1B);
      EXPECT_EQ(band.set.vic[0x16], 0xC8);
      EXPECT_EQ(band.set.vic[0x18], 0x15);
    }
  }
}

TEST(BandSearch, MemoryThatEveryLayoutDrawsTheSameCutsTheSearchShort) {
  VideoState state;
  std::fill(state.ram.begin(), state.ram.end(), 0x5A);
  state.colorRam.fill(1);
  state.cia2PortA = 0x97;
  state.vic[0x11] = 0x1B;
  state.vic[0x16] = 0x08;
  const BandSet own = snapshot_set(state);
  const Picture frame =
      split_frame(state, {{own, 16, 150}, {changed(own, {{0xD021, 2}}), 151, 287}});
  const BandSearch found = find_bands(state, frame);
  expect_bands_draw(state, frame, found);
  EXPECT_TRUE(found.cutShort);
}

TEST(BandSearch, SymbolicRowsEqualTheRenderersForAnySet) {
  // Without a ROM, with one, and with one of which every other glyph is
  // unknown: the symbolic drawing leaves unknown at least the pixels the
  // renderer's drawing depends on them for, and equals it elsewhere.
  std::minstd_rand random(5);
  int unknownSets = 0;
  for (int i = 0; i < 60; ++i) {
    VideoState state = machine();
    if (i % 3) state.charRom.emplace();
    for (std::size_t glyph = 0; glyph < kRomGlyphs && i % 3 == 2; glyph += 2) {
      state.unknownGlyphs.set(glyph);
    }
    BandSet set = snapshot_set(state);
    for (auto& reg : set.vic) reg = static_cast<std::uint8_t>(random());
    set.vic[0x11] |= 0x10;
    set.cia2PortA = static_cast<std::uint8_t>(random());
    for (auto& pointer : set.pointers) pointer = static_cast<std::uint8_t>(random());
    const Picture drawn = draw_band_set(state, set).picture;
    const std::vector<std::uint8_t> unknown =
        unknown_rom_pixels(state, set.vic, set.cia2PortA, set.pointers);
    const Picture symbolic = bands::symbolic_frame(state, set);
    unknownSets += !unknown.empty();
    for (std::size_t p = 0; p < kPicturePixels; ++p) {
      if (symbolic.pixels[p] == 16) continue;
      ASSERT_EQ(symbolic.pixels[p], drawn.pixels[p]) << "set " << i << ", pixel " << p;
      ASSERT_TRUE(unknown.empty() || !unknown[p]) << "set " << i << ", pixel " << p;
    }
  }
  EXPECT_GT(unknownSets, 5);
}

TEST(BandSearch, AnyStateAndFrameGiveBandsThatCoverTheFrameAndDrawTheirLines) {
  // As a fuzz target feeds it: random registers and memory (patterned,
  // sparse or noise), the registers' frame with rows of other sets or of
  // bytes in between.
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::minstd_rand random(seed);
    const auto next = [&random] { return static_cast<std::uint8_t>(random() >> 7); };
    VideoState state;
    for (std::size_t a = 0; a < state.ram.size(); ++a) {
      state.ram[a] = seed % 3 == 0   ? next()
                     : seed % 3 == 1 ? static_cast<std::uint8_t>(a ^ (a >> 8) * 7)
                                     : static_cast<std::uint8_t>(next() % 5 ? 0 : next());
    }
    for (auto& c : state.colorRam) c = next();
    for (auto& r : state.vic) r = next();
    state.vic[0x11] |= 0x10;
    state.cia2PortA = next();
    if (seed % 2) state.charRom.emplace();
    Picture frame = render_frame(state).picture;
    for (int part = 0; part < 3; ++part) {
      BandSet set = snapshot_set(state);
      for (int k = 0; k < 3; ++k) set.vic[next() % 47] = next();
      const int first = 16 + next() % 200, last = std::min(287, first + next() % 90);
      const Picture other = draw_band_set(state, set).picture;
      for (int line = first; line <= last; ++line) {
        for (int x = 0; x < kPictureWidth; ++x) {
          const auto at = static_cast<std::size_t>((line - 16) * kPictureWidth + x);
          frame.pixels[at] = part == 2 && line < first + 6 ? next() : other.pixels[at];
        }
      }
    }
    const BandSearch found = find_bands(state, frame);
    expect_bands_draw(state, frame, found);
    for (std::size_t i = 0; i < found.bands.size(); ++i) {
      EXPECT_FALSE(band_line(static_cast<int>(i) + 1, found.bands[i]).empty());
    }
  }
}

TEST(BandSearch, TheSetsPointersAreThoseItDrawsWith) {
  // Sprite 0 of the snapshot points at block $C0 (a small diamond); the
  // set says $C3 (a wide one): the renderer draws the set's.
  const VideoState state = machine();
  const BandSet wide = changed(snapshot_set(state), {{kPointer, 0xC3}});
  const Picture own = render_frame(state).picture;
  const Picture drawn = draw_band_set(state, wide).picture;
  const int line = 71 + 10;  // row 10 of sprite 0, at X 60: columns 68-91
  const auto pixels = [&](const Picture& p) {
    int colour7 = 0;
    for (int x = 68; x < 92; ++x) colour7 += p.at(x, line - 16) == 7;
    return colour7;
  };
  EXPECT_EQ(pixels(own), 6);     // block $C0, row 10: 2 x 2 + 2 pixels
  EXPECT_EQ(pixels(drawn), 22);  // block $C3, row 10: 2 x 10 + 2 pixels
}

// --- The report's lines ---------------------------------------------------------

Band band_of(BandKind kind, int first, int last,
             std::initializer_list<std::pair<unsigned, std::uint8_t>> registers) {
  Band band;
  band.kind = kind;
  band.firstLine = first;
  band.lastLine = last;
  band.set = changed(band.set, registers);
  return band;
}

TEST(BandLine, ReportsTheBandsFoundInASplitScreen) {
  const VideoState state = machine();
  const Picture frame =
      split_frame(state, {{bitmap_set(state), 16, 120}, {snapshot_set(state), 121, 287}});
  const BandSearch found = find_bands(state, frame);
  ASSERT_EQ(found.bands.size(), 2u);
  EXPECT_EQ(
      band_line(1, found.bands[0]),
      "Band 1: lines 16-120: MC Bitmap in Bank $4000, bitmap $6000, screen $4400 ($d011=$3b, "
      "$d016=$18, $d018=$18, border $0e, background $00); sprites 0,1,2: x $03c,$0a0,$0f0, "
      "y $46,$5a,$6e, pointers $c0,$c1,$c2, colours $07,$05,$02, multicolour 1, x-expanded 1, "
      "y-expanded 2, behind 2 ($d025=$0a, $d026=$0d).\n");
  EXPECT_EQ(band_line(2, found.bands[1]),
            "Band 2: lines 121-287: Text in Bank $0000, charset $2000, screen $0400 ($d011=$1b, "
            "$d016=$08, $d018=$18, border $0e, background $06); sprites 2: x $0f0, y $6e, "
            "pointers $c2, colours $02, y-expanded 2, behind 2.\n");
}

TEST(BandLine, FollowsTheReportFormat) {
  Band picture = band_of(BandKind::Drawn, 16, 146,
                         {{0xDD00, 0x96},
                          {0xD011, 0x3B},
                          {0xD016, 0x18},
                          {0xD018, 0x1C},
                          {0xD020, 0xFE},
                          {0xD021, 0x06}});
  Band text = band_of(
      BandKind::Drawn, 60, 99,
      {{0xDD00, 0x97},   {0xD011, 0x1B},      {0xD016, 0xC8}, {0xD018, 0x14}, {0xD020, 0x0E},
       {0xD021, 0xF6},   {0xD015, 0x43},      {0xD010, 0x01}, {0xD000, 0x18}, {0xD001, 0x32},
       {0xD00C, 0x18},   {0xD00D, 0x64},      {0xD01C, 0x40}, {0xD01D, 0x01}, {0xD017, 0x40},
       {0xD01B, 0x40},   {0xD025, 0x05},      {0xD026, 0x07}, {0xD027, 0x01}, {0xD02D, 0x1A},
       {kPointer, 0x80}, {kPointer + 6, 0x81}});
  text.fromLine = 55;
  text.sprites = 0x41;  // sprite 1 is on but shows nothing in the band
  const Band extended = band_of(BandKind::Drawn, 100, 287,
                                {{0xDD00, 0x94},
                                 {0xD011, 0x5B},
                                 {0xD016, 0x08},
                                 {0xD018, 0x12},
                                 {0xD020, 0x00},
                                 {0xD021, 0x01},
                                 {0xD022, 0x02},
                                 {0xD023, 0x03},
                                 {0xD024, 0x04}});
  const Band multicolorText = band_of(BandKind::Drawn, 30, 40,
                                      {{0xDD00, 0x97},
                                       {0xD011, 0x1B},
                                       {0xD016, 0x18},
                                       {0xD018, 0x15},
                                       {0xD021, 0x06},
                                       {0xD022, 0x02},
                                       {0xD023, 0x03}});
  const Band invalid = band_of(BandKind::Drawn, 17, 18,
                               {{0xDD00, 0x95}, {0xD011, 0x7B}, {0xD016, 0x18}, {0xD018, 0x08}});
  const Band off = band_of(BandKind::DisplayOff, 130, 150, {{0xD011, 0x0B}, {0xD020, 0x02}});
  const Band none = band_of(BandKind::Unmatched, 200, 204, {});
  Band change = band_of(BandKind::ChangeWithinLine, 205, 206, {});
  change.leftBand = 6;
  change.rightBand = 8;
  change.firstColumn = 97;
  change.lastColumn = 104;
  const struct {
    int number;
    const Band& band;
    const char* expected;
  } cases[] = {
      {1, picture,
       "Band 1: lines 16-146: MC Bitmap in Bank $4000, bitmap $6000, screen $4400 ($d011=$3b, "
       "$d016=$18, $d018=$1c, border $0e, background $06).\n"},
      {2, text,
       "Band 2: lines 60-99 (or from line 55): Text in Bank $0000, charset $1000, screen $0400 "
       "($d011=$1b, $d016=$c8, $d018=$14, border $0e, background $06); sprites 0,6: x $118,$018, "
       "y $32,$64, pointers $80,$81, colours $01,$0a, multicolour 6, x-expanded 0, y-expanded 6, "
       "behind 6 ($d025=$05, $d026=$07).\n"},
      {3, extended,
       "Band 3: lines 100-287: ECM Text in Bank $c000, charset $c800, screen $c400 ($d011=$5b, "
       "$d016=$08, $d018=$12, border $00, background $01, $d022=$02, $d023=$03, $d024=$04).\n"},
      {4, multicolorText,
       "Band 4: lines 30-40: MC Text in Bank $0000, charset $1000, screen $0400 ($d011=$1b, "
       "$d016=$18, $d018=$15, border $00, background $06, $d022=$02, $d023=$03).\n"},
      {5, invalid,
       "Band 5: lines 17-18: Invalid MC Bitmap in Bank $8000, bitmap $a000, screen $8000 "
       "($d011=$7b, $d016=$18, $d018=$08, border $00, background $00).\n"},
      {6, off, "Band 6: lines 130-150: display off, border $02 ($d011=$0b).\n"},
      {7, none, "Band 7: lines 200-204: no register set draws these lines.\n"},
      {8, change,
       "Band 8: lines 205-206: the registers change within the line: band 7's set to the left "
       "of x 97-104, band 9's from there.\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(band_line(c.number, c.band), c.expected);
}

}  // namespace
