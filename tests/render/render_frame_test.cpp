// The frame the VIC-II draws from a video state, rule group by rule group:
// memory and character ROM, modes and colours, window and scroll, idle
// lines, sprites and priorities. Every colour register carries a high
// nibble and every colour differs, so that a swapped colour or an unmasked
// register shows.

#include "render/render_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Colors = std::vector<int>;

constexpr int kBorder = 3, kBackground = 6;

// Bank $4000 (RAM only), screen $4400, characters and bitmap $6000; text,
// 25 rows, 40 columns, no scroll.
VideoState base_state(std::uint8_t d011 = 0x18, std::uint8_t d016 = 0x08) {
  VideoState state;
  state.cia2PortA = 0x96;
  state.vic[0x11] = d011;
  state.vic[0x16] = d016;
  state.vic[0x18] = 0x18;
  state.vic[0x20] = 0xE0 | kBorder;
  state.vic[0x21] = 0xF0 | kBackground;
  state.vic[0x22] = 0xD1;  // background 1: 1
  state.vic[0x23] = 0xC2;  // background 2: 2
  state.vic[0x24] = 0xB4;  // background 3: 4
  state.vic[0x25] = 0xA5;  // sprite multicolour 0: 5
  state.vic[0x26] = 0x97;  // sprite multicolour 1: 7
  for (unsigned n = 0; n < 8; ++n) state.vic[0x27 + n] = static_cast<std::uint8_t>(0x80 | (8 + n));
  return state;
}

unsigned bank_of(const VideoState& state) {
  return 0xC000u - (state.cia2PortA & 3u) * 0x4000u;
}

// Puts screen byte `s`, colour `m` and graphics byte `g` (pixel line `k`)
// into cell (row, column) where the mode in the state fetches them.
void put_cell(VideoState& state, int row, int column, int k, std::uint8_t s, std::uint8_t m,
              std::uint8_t g) {
  const unsigned bank = bank_of(state);
  const std::uint8_t d018 = state.reg(0xD018);
  const unsigned cell = static_cast<unsigned>(row * 40 + column);
  state.ram[bank + (d018 >> 4) * 0x400u + cell] = s;
  state.colorRam[cell] = m;
  const bool ecm = state.reg(0xD011) & 0x40;
  unsigned graphics = 0;
  if (state.reg(0xD011) & 0x20) {
    graphics = (d018 >> 3 & 1) * 0x2000u + cell * 8 + static_cast<unsigned>(k);
    if (ecm) graphics &= ~0x0600u;
  } else {
    graphics = (d018 >> 1 & 7) * 0x800u + (ecm ? s & 63u : s) * 8 + static_cast<unsigned>(k);
  }
  state.ram[bank + graphics] = g;
}

int cell_x(const VideoState& state, int column) {
  return 32 + (state.reg(0xD016) & 7) + 8 * column;
}
int cell_y(const VideoState& state, int row, int k) {
  return 48 + (state.reg(0xD011) & 7) + 8 * row + k - 16;
}

Colors pixels(const Picture& picture, int x, int y, int count) {
  Colors out;
  for (int i = 0; i < count; ++i) out.push_back(picture.at(x + i, y));
  return out;
}

Colors cell_line(const VideoState& state, int row, int column, int k) {
  return pixels(render_frame(state).picture, cell_x(state, column), cell_y(state, row, k), 8);
}

// --- Memory as the VIC-II sees it ------------------------------------------

TEST(RenderFrame, CharacterRomAreaOfBanksZeroAnd8000ReadsTheRomWhenThereIsOne) {
  struct Case {
    const char* what;
    std::uint8_t port, d018;
    bool rom;
    bool glyphFromRom;  // else from RAM
    bool readsCharRom;
  } const cases[] = {
      {"bank $0000, characters $1000, ROM", 0x97, 0x14, true, true, true},
      {"bank $0000, characters $1000, no ROM", 0x97, 0x14, false, false, true},
      {"bank $0000, characters $1800", 0x97, 0x16, true, true, true},
      {"bank $8000, characters $9000", 0x95, 0x14, true, true, true},
      {"bank $4000, characters $5000", 0x96, 0x14, true, false, false},
      {"bank $C000, characters $D000", 0x94, 0x14, true, false, false},
      {"bank $0000, characters $2000", 0x97, 0x18, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VideoState state = base_state();
    state.cia2PortA = c.port;
    state.vic[0x18] = c.d018;
    const unsigned charset = bank_of(state) + (c.d018 >> 1 & 7) * 0x800u;
    put_cell(state, 1, 1, 0, 1, 0x05, 0x0F);  // the glyph in RAM: 0x0F
    if (c.rom) {
      state.charRom.emplace();
      (*state.charRom)[(charset & 0x0FFF) + 8] = 0xF0;  // the glyph in ROM: 0xF0
    }
    const Colors fromRom = {5, 5, 5, 5, 6, 6, 6, 6};
    const Colors fromRam = {6, 6, 6, 6, 5, 5, 5, 5};
    EXPECT_EQ(cell_line(state, 1, 1, 0), c.glyphFromRom ? fromRom : fromRam);
    EXPECT_EQ(render_frame(state).readsCharRom, c.readsCharRom);
  }
}

TEST(RenderFrame, ScreenMatrixAndSpriteDataInTheRomAreaReadTheRomToo) {
  VideoState state = base_state();
  state.cia2PortA = 0x97;
  state.vic[0x18] = 0x48;  // screen $1000 (ROM), characters $2000
  state.charRom.emplace();
  (*state.charRom)[40 + 1] = 3;      // screen byte of cell (1, 1)
  state.ram[0x2000 + 3 * 8] = 0x80;  // glyph 3, line 0
  state.colorRam[41] = 0x09;
  EXPECT_EQ(cell_line(state, 1, 1, 0)[0], 9);

  VideoState sprites = base_state();
  sprites.cia2PortA = 0x97;  // bank $0000: screen $0400, characters $2000, both in RAM
  sprites.charRom.emplace();
  (*sprites.charRom)[0] = 0x80;  // ROM $1000: pointer $40's first byte
  sprites.ram[0x0400 + 0x3F8] = 0x40;
  sprites.vic[0x15] = 0x01;
  sprites.vic[0x00] = 24;
  sprites.vic[0x01] = 50;
  EXPECT_EQ(render_frame(sprites).picture.at(32, 35), 8);
  EXPECT_TRUE(render_frame(sprites).readsCharRom);
  sprites.vic[0x10] = 0x01;  // X = 280: still shown
  EXPECT_TRUE(render_frame(sprites).readsCharRom);
  sprites.vic[0x00] = 0xF8;  // X = 504: never starts
  EXPECT_FALSE(render_frame(sprites).readsCharRom);
  sprites.vic[0x00] = 24;
  sprites.vic[0x11] = 0x08;  // display disabled: nothing is fetched
  EXPECT_FALSE(render_frame(sprites).readsCharRom);
}

// --- Modes and colours -------------------------------------------------------

TEST(RenderFrame, EachModeColoursItsPixelsByItsRules) {
  struct Case {
    const char* mode;
    std::uint8_t d011, d016, s, m, g;
    Colors expected;
  } const cases[] = {
      {"standard text", 0x1B, 0x08, 0x41, 0xF5, 0b10110001, {5, 6, 5, 5, 6, 6, 6, 5}},
      {"multicolour text, hires cell",
       0x1B,
       0x18,
       0x41,
       0xF5,
       0b10110001,
       {5, 6, 5, 5, 6, 6, 6, 5}},
      {"multicolour text, multicolour cell",
       0x1B,
       0x18,
       0x41,
       0xFD,
       0b00011011,
       {6, 6, 1, 1, 2, 2, 5, 5}},
      {"hires bitmap", 0x3B, 0x08, 0x9A, 0xF5, 0b10110001, {9, 10, 9, 9, 10, 10, 10, 9}},
      {"multicolour bitmap", 0x3B, 0x18, 0x9A, 0xFE, 0b00011011, {6, 6, 9, 9, 10, 10, 14, 14}},
      {"extended background, $D024", 0x5B, 0x08, 0xC1, 0xF5, 0b10110001, {5, 4, 5, 5, 4, 4, 4, 5}},
      {"extended background, $D022", 0x5B, 0x08, 0x41, 0xF5, 0b10110001, {5, 1, 5, 5, 1, 1, 1, 5}},
      {"invalid text", 0x5B, 0x18, 0x41, 0xFD, 0b00011011, Colors(8, 0)},
      {"invalid hires bitmap", 0x7B, 0x08, 0x9A, 0xF5, 0b10110001, Colors(8, 0)},
      {"invalid multicolour bitmap", 0x7B, 0x18, 0x9A, 0xFE, 0b00011011, Colors(8, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    VideoState state = base_state(c.d011, c.d016);
    put_cell(state, 1, 2, 3, c.s, c.m, c.g);
    if (c.d011 & 0x40 && !(c.d011 & 0x20)) {  // a decoy where the whole screen byte would lead
      state.ram[bank_of(state) + 0x2000 + c.s * 8u + 3] = 0xFF;
    }
    EXPECT_EQ(cell_line(state, 1, 2, 3), c.expected);
  }
}

// --- Window, border and scroll -----------------------------------------------

TEST(RenderFrame, WindowFollowsRselCselAndGraphicsFollowTheScroll) {
  struct Case {
    std::uint8_t d011, d016;
    int top, bottom, left, right;  // picture rows and columns of the window
    int stripColor;                // left of column 0 when scrolled
  } const cases[] = {
      {0x1B, 0x08, 35, 234, 32, 351, kBackground},  // 25 rows, 40 columns
      {0x13, 0x00, 39, 230, 39, 342, kBackground},  // 24 rows, 38 columns
      {0x1F, 0x0F, 35, 234, 32, 351, kBackground},  // scrolled by 7 and 7
      {0x18, 0x0B, 35, 234, 32, 351, kBackground},  // vertical scroll 0: row 0 under the border
      {0x5F, 0x1D, 35, 234, 32, 351, 0},            // invalid mode: the strip is black too
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << "d011 " << +c.d011 << " d016 " << +c.d016);
    VideoState state = base_state(c.d011, c.d016);
    put_cell(state, 1, 1, 0, 1, 0xF5, 0x80);
    const Picture picture = render_frame(state).picture;
    const int middle = 140;
    EXPECT_EQ(picture.at(c.left - 1, middle), kBorder);
    EXPECT_EQ(picture.at(c.right + 1, middle), kBorder);
    EXPECT_EQ(picture.at(c.left, c.top - 1), kBorder);
    EXPECT_EQ(picture.at(c.left, c.bottom + 1), kBorder);
    EXPECT_EQ(picture.at(c.right, c.bottom), (c.d011 & 0x40) ? 0 : kBackground);
    EXPECT_EQ(picture.at(32, middle), (c.d016 & 0x08) ? c.stripColor : kBorder);
    const int x = cell_x(state, 1), y = cell_y(state, 1, 0);
    EXPECT_EQ(pixels(picture, x - 1, y, 3), (c.d011 & 0x40) ? Colors(3, 0) : (Colors{6, 5, 6}));
  }
}

TEST(RenderFrame, DisplayDisabledShowsOnlyTheBorder) {
  VideoState state = base_state(0x0B, 0x08);
  put_cell(state, 1, 1, 0, 1, 0xF5, 0xFF);
  state.vic[0x15] = 0xFF;
  const Frame frame = render_frame(state);
  EXPECT_EQ(frame.picture.pixels, std::vector<std::uint8_t>(kPicturePixels, kBorder));
  EXPECT_EQ(frame.spritesShown, 0);
}

// --- Idle lines ----------------------------------------------------------------

TEST(RenderFrame, IdleLinesDrawTheLastByteOfTheBankByTheModesRules) {
  struct Case {
    const char* what;
    std::uint8_t d011, d016;
    int row;  // a picture row of an idle line
    Colors expected;
  } const cases[] = {
      {"below row 24, scroll 0", 0x18, 0x08, 232, {0, 6, 6, 6, 6, 6, 6, 0}},
      {"above row 0, scroll 7", 0x1F, 0x08, 35, {0, 6, 6, 6, 6, 6, 6, 0}},
      {"extended background reads $39FF", 0x58, 0x08, 234, {6, 0, 6, 6, 6, 6, 6, 6}},
      {"multicolour bitmap", 0x38, 0x18, 233, {0, 0, 0, 0, 0, 0, 6, 6}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VideoState state = base_state(c.d011, c.d016);
    state.ram[0x7FFF] = (c.d016 & 0x10) ? 0b11100100 : 0b10000001;
    state.ram[0x79FF] = 0b01000000;
    put_cell(state, 0, 0, 0, 0, 0xF5, 0x00);
    EXPECT_EQ(pixels(render_frame(state).picture, 32, c.row, 8), c.expected);
  }
}

// --- Sprites and priorities ----------------------------------------------------

struct SpriteSpec {
  int n;
  int x, y;
  std::uint8_t row0[3];  // the first of 21 rows; the others repeat it
  bool wide = false, tall = false, multicolor = false, behind = false;
};

void put_sprite(VideoState& state, const SpriteSpec& s) {
  const auto bit = static_cast<std::uint8_t>(1 << s.n);
  const unsigned pointer = 0x20u + static_cast<unsigned>(s.n);  // data at $4800 + 64n
  state.ram[0x4400 + 0x3F8 + static_cast<unsigned>(s.n)] = static_cast<std::uint8_t>(pointer);
  for (unsigned row = 0; row < 21; ++row) {
    for (unsigned i = 0; i < 3; ++i) state.ram[0x4000 + pointer * 64 + row * 3 + i] = s.row0[i];
  }
  state.vic[0x15] |= bit;
  state.vic[static_cast<std::size_t>(2 * s.n)] = static_cast<std::uint8_t>(s.x & 0xFF);
  state.vic[static_cast<std::size_t>(2 * s.n + 1)] = static_cast<std::uint8_t>(s.y);
  if (s.x & 0x100) state.vic[0x10] |= bit;
  if (s.wide) state.vic[0x1D] |= bit;
  if (s.tall) state.vic[0x17] |= bit;
  if (s.multicolor) state.vic[0x1C] |= bit;
  if (s.behind) state.vic[0x1B] |= bit;
}

TEST(RenderFrame, SpritesExpandWrapAndTakePriorityAsTheChipDoes) {
  struct Probe {
    int x, y;
    int color;
  };
  struct Case {
    const char* what;
    std::vector<SpriteSpec> sprites;
    std::vector<Probe> probes;
    std::uint8_t shown;
    std::uint8_t d016 = 0x08;
  } const cases[] = {
      {"hires at the window's corner",
       {{0, 24, 50, {0x80, 0x00, 0x01}}},
       {{32, 35, 8}, {33, 35, 6}, {55, 35, 8}, {56, 35, 6}, {32, 55, 8}, {32, 56, 6}},
       0x01},
      {"expanded both ways",
       {{1, 24, 50, {0x80, 0x00, 0x01}, true, true}},
       {{32, 35, 9}, {33, 35, 9}, {34, 35, 6}, {78, 36, 9}, {79, 76, 9}, {79, 77, 6}},
       0x02},
      {"multicolour pairs",
       {{2, 24, 50, {0b01101100, 0, 0}, false, false, true}},
       {{32, 35, 5}, {33, 35, 5}, {34, 35, 10}, {36, 35, 7}, {38, 35, 6}},
       0x04},
      {"lower number wins",
       {{3, 24, 50, {0xFF, 0xFF, 0xFF}}, {2, 28, 50, {0x80, 0, 0}}},
       {{31 + 1, 35, 11}, {36, 35, 10}, {37, 35, 11}},
       0x0C},
      {"behind the foreground, in front of the background",
       {{0, 40, 58, {0xFF, 0xFF, 0xFF}, false, false, false, true}},
       {{48, 43, 5}, {49, 43, 8}},
       0x01},
      {"a sprite behind the foreground hides a higher one in front",
       {{0, 40, 58, {0xFF, 0, 0}, false, false, false, true}, {1, 40, 58, {0xFF, 0, 0}}},
       {{48, 43, 5}, {49, 43, 8}},
       0x01},
      {"X-expanded at 500 shows its right part at the left edge",
       {{4, 500, 50, {0x00, 0x02, 0x00}, true}},
       {{31, 35, kBorder}, {32, 35, 12}, {33, 35, 12}, {34, 35, 6}},
       0x10},
      {"X 504 never starts", {{5, 504, 50, {0xFF, 0xFF, 0xFF}}}, {{32, 35, 6}}, 0x00},
      {"the border covers sprites",
       {{6, 0, 30, {0xFF, 0xFF, 0xFF}}, {7, 24, 50, {0xFF, 0, 0}}},
       {{20, 20, kBorder}, {32, 35, kBorder}, {39, 35, 15}},
       0x80,
       0x00},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VideoState state = base_state(0x1B, c.d016);
    put_cell(state, 1, 2, 0, 1, 0xF5, 0x80);  // one foreground pixel at (48, 43)
    for (const SpriteSpec& sprite : c.sprites) put_sprite(state, sprite);
    const Frame frame = render_frame(state);
    for (const Probe& p : c.probes) {
      EXPECT_EQ(frame.picture.at(p.x, p.y), p.color) << "at " << p.x << "," << p.y;
    }
    EXPECT_EQ(frame.spritesShown, c.shown);
    EXPECT_EQ(sprites_shown(state), c.shown) << "without drawing the picture";
  }
}

TEST(RenderFrame, InvalidBitmapKeepsItsForegroundForSpritePriority) {
  // Cell (2, 0) at $2280 in the bank: with bits 9 and 10 cleared, $2080.
  VideoState state = base_state(0x7B, 0x08);
  state.ram[0x4000 + 0x2080] = 0x80;
  state.ram[0x4000 + 0x2280] = 0x00;
  put_sprite(state, {0, 24, 66, {0xC0, 0, 0}, false, false, false, true});
  const Picture picture = render_frame(state).picture;
  EXPECT_EQ(pixels(picture, 32, 51, 2), (Colors{0, 8}));
}

}  // namespace
