#pragma once

// The pieces of the band search, shared by its files and its tests: the
// frame's rows, the register sets under construction ("alternatives"), the
// symbolic drawing of a row and the search of every layout that draws one.

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>
#include <cstdint>
#include <optional>
#include <tuple>
#include <vector>

#include "bands/band_search.h"
#include "render/cell_pixels.h"
#include "render/picture.h"
#include "render/sprite_pixels.h"
#include "snapshot/vic_memory.h"
#include "snapshot/video_setup.h"
#include "snapshot/video_state.h"

namespace bands {

// The number of set bits, without the processor's population count, which
// the baseline x86-64 lacks (std::popcount then calls a slow library
// routine in the search's hottest loops).
constexpr int bit_count(std::uint64_t x) {
  x = x - (x >> 1 & 0x5555555555555555u);
  x = (x & 0x3333333333333333u) + (x >> 2 & 0x3333333333333333u);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<int>(x * 0x0101010101010101u >> 56);
}
static_assert(bit_count(0) == 0 && bit_count(0xF0) == 4 && bit_count(~std::uint64_t{0}) == 64);

inline constexpr int kRows = kPictureHeight;    // picture rows, raster lines 16-287
inline constexpr int kColumns = kPictureWidth;  // 384
inline constexpr int kWords = kColumns / 64;    // a row as bits
inline constexpr int kFirstLine = kFirstPictureLine;
using RowBits = std::array<std::uint64_t, kWords>;

// A pixel of a row drawn symbolically: 0-15 a fixed colour (colour RAM, the
// screen matrix's nibbles, black), 16 + i the colour register $D020 + i.
inline constexpr std::uint8_t kBorderColor = 16;
inline constexpr std::uint8_t kBackground = 17;  // $D021-$D024: 17-20
inline constexpr std::uint8_t kSpriteMulticolor0 = 21;
inline constexpr std::uint8_t kSpriteMulticolor1 = 22;
inline constexpr std::uint8_t kSpriteColor = 23;  // $D027 + n: 23 + n
// A pixel that depends on a glyph of the character ROM the state does not
// know: neither a match nor a mismatch.
inline constexpr std::uint8_t kAnyColor = 31;
inline constexpr int kColorRegisters = 15;                // $D020-$D02E
using Colors = std::array<std::int8_t, kColorRegisters>;  // -1: not shown yet

// What the search needs to know of each row of the frame.
struct FrameRows {
  const std::uint8_t* pixels = nullptr;
  std::array<std::int8_t, kRows>
      border{};  // colour of the columns left and right of every window, -1: mixed
  std::array<std::int8_t, kRows> uniform{};  // the row's only colour, -1: more than one
  // The border colour plus, inside a display window, one colour: a row that
  // countless layouts draw (the uniform ones included).
  std::array<bool, kRows> featureless{};
  std::vector<std::array<RowBits, 16>> equal;  // per row and colour: the columns of that colour
  const std::uint8_t* row(int y) const {
    return pixels + static_cast<std::ptrdiff_t>(y) * kColumns;
  }
};
FrameRows frame_rows(const Picture& frame);

// The graphics settings of a register set. `rows` and `columns` hold the
// RSEL and CSEL values still possible (bit v: value v), narrowed by the
// rows that tell them apart.
struct Layout {
  bool displayEnabled = true;
  std::uint8_t mode = 0;  // ECM << 2 | BMM << 1 | MCM
  std::uint8_t xScroll = 0, yScroll = 0;
  std::uint8_t bank = 0;  // video bank base / $4000
  std::uint8_t d018 = 0;
  std::uint8_t rows = 3, columns = 3;
  bool d018Open = false;  // only idle lines so far: screen and characters not shown yet
  auto operator<=>(const Layout&) const = default;
};

// A layout as one number, RSEL and CSEL left out.
inline std::uint32_t layout_code(const Layout& l) {
  return static_cast<std::uint32_t>(l.mode | l.xScroll << 3 | l.yScroll << 6 | l.bank << 9 |
                                    l.d018 << 11 | l.d018Open << 19 | l.displayEnabled << 20);
}

// A sprite in a set under construction: as the snapshot has it until it
// shows a pixel or is in the way (Unseen), placed and shown (fixed from then
// on), or switched off.
enum class SpriteUse : std::uint8_t { Unseen, Shown, Off };
struct SpritePlace {
  SpriteUse use = SpriteUse::Unseen;
  std::uint16_t x = 0;  // 0-503
  std::uint8_t y = 0, pointer = 0;
  auto operator<=>(const SpritePlace&) const = default;
};

struct Alternative {
  Layout layout;
  Colors colors{};
  std::array<SpritePlace, 8> sprites{};
  bool operator==(const Alternative&) const = default;
  bool operator<(const Alternative& other) const {
    return std::tie(layout, colors, sprites) < std::tie(other.layout, other.colors, other.sprites);
  }
};

using BackgroundColors = std::array<std::int8_t, 4>;  // $D021-$D024, -1: any
struct BlankLayouts {
  std::vector<Layout> layouts;
  std::vector<BackgroundColors> needs;  // what each layout needs in $D021-$D024
  std::vector<std::pair<std::uint32_t, std::uint32_t>> codes;  // layout_code, index; sorted
};

// A sprite's row of pixels as bit masks, bit j being pixel j (left to
// right, after X expansion): value[v - 1] the pixels of value v (hires: 1;
// multicolour: 1-3), `any` all of them.
struct SpriteRowMasks {
  std::array<std::uint64_t, 3> value{};
  std::uint64_t any = 0;
};

// What one find_bands reads and never changes: the state, the snapshot's
// own set, the frame's rows and the ROM's glyphs the state does not know.
struct SearchInputs {
  SearchInputs(const VideoState& state, const Picture& frame);
  const VideoState& state;
  VideoSetup snapshot;
  int snapshotBank = 0;
  SpritePointers snapshotPointers{};
  FrameRows frame;
  std::bitset<kRomGlyphs> romUnknown;  // all without a ROM
  // Whether bank `bank`'s bank-relative `address` falls on such a glyph.
  bool unknown(int bank, unsigned address) const {
    address &= 0x3FFF;
    return (bank & 1) == 0 && (address & 0x3000) == 0x1000 && romUnknown[(address & 0x0FFF) >> 3];
  }
};

// What the search has spent of its budget, and whether it was cut short.
struct Spending {
  SearchBudget budget;
  long spriteWork = 0;     // placements tried, towards budget.spriteWork
  long refines = 0;        // rows drawn by alternatives, towards budget.refines
  long searchWork = 0;     // layouts tried on rows, towards budget.searchWork
  bool exhausted = false;  // refines or layout searches spent: sets as they are only
  bool cutShort = false;
};

// The band being grown.
struct CurrentBand {
  int start = 0;                                 // its first row
  std::array<SpritePlace, 8> previousSprites{};  // the sprites the band before shows
  bool searchSprites = true;                     // sprites may be placed where rows need them
};

// What the search works out once and keeps: each bank as the VIC-II sees
// it, its glyph lines and sprite masks, the layouts of rows, and the
// sprite searches of rows.
struct SearchCaches {
  std::array<std::vector<std::uint8_t>, 4> views;
  // Per bank, multicolour and X expansion: the masks of the 21 rows of each
  // of the 256 blocks; per bank: the rows of each block that hold a pixel.
  std::array<std::vector<SpriteRowMasks>, 16> spriteMasks;
  std::array<std::vector<std::uint32_t>, 4> spriteRowsUsed;
  std::vector<std::optional<std::array<std::uint64_t, 4>>> glyphLines;
  std::vector<std::optional<std::vector<Layout>>> fullSearches;  // per row
  std::vector<std::vector<std::pair<RowBits, std::vector<Layout>>>> maskedSearches;
  std::vector<std::vector<std::pair<RowBits, BlankLayouts>>> blankSearches;  // per row
  // What a sprite search found (or not) for a row in a situation (the row
  // as drawn, the colours and sprites: a hash), and how far right the row
  // must be with it.
  struct Remembered {
    std::uint64_t key;
    std::optional<SpritePlace> place;
    int sprite;
    int lastRight;
  };
  std::vector<std::vector<Remembered>> remembered;  // per row
};

// The search's state for one find_bands: its inputs, what it has spent,
// the band being grown and its caches, each a value of its own; the
// caches' contents are reached through the functions below.
struct SearchContext {
  SearchContext(const VideoState& state, const Picture& frame, const SearchBudget& budget = {});
  SearchInputs in;
  Spending spent;
  CurrentBand band;
  SearchCaches cache;

  bool unknown(int bank, unsigned address) const { return in.unknown(bank, address); }
  const std::uint8_t* view(int bank);  // the bank as the VIC-II sees it
  const SpriteRowMasks* sprite_masks(int bank, bool multicolor, bool wide);
  const std::uint32_t* sprite_rows_used(int bank);
  // The bytes line k of the characters of set `charset` (0-7) takes, as a
  // set of 256 bits; of the first 64 characters with `ecm`.
  const std::array<std::uint64_t, 4>& glyph_lines(int bank, int charset, int k, bool ecm);
};

// Whether every cell of the layout's rows is drawn from glyphs the state
// does not know: its screen matrix, or its characters in a text mode, lie
// on them.
inline bool blind(const SearchInputs& in, const Layout& l) {
  const auto unknown_from = [&in, &l](unsigned address, unsigned size) {
    for (unsigned a = address; a < address + size; a += 8) {
      if (!in.unknown(l.bank, a)) return false;
    }
    return in.unknown(l.bank, address + size - 1);
  };
  return unknown_from((l.d018 >> 4) * 0x400u, 1000) ||
         (!(l.mode & 2) && unknown_from((l.d018 >> 1 & 7) * 0x800u, (l.mode & 4) ? 512 : 2048));
}

// Caps: alternatives alive at once, layouts checked against the rows before
// a first row with detail, sprites placed on one row of an alternative.
inline constexpr std::size_t kMaxAlternatives = 256;
inline constexpr std::size_t kMaxWitnesses = 1024;
inline constexpr int kMaxRepairs = 8;
// The sprite searches of one find_bands together try at most
// budget.spriteWork placements (sprite, block, row) and rows below them: a
// bound on the time that inputs of random memory would otherwise take.
// Likewise for the rows alternatives draw and the layouts the searches of
// rows try; once one is spent, the rest of the frame gets the previous
// band's set or the snapshot's, as they are.
// Rows with detail that no layout draws alone (sprites on them) waited
// through before a band's layout must be known: the height of an expanded
// sprite.
inline constexpr int kMaxPendingRows = 42;

// A cell's symbols by pixel value (0-1, or 0-3 for pairs): the renderer's
// colours with the background registers as symbols.
inline constexpr std::array<std::uint8_t, 4> kBackgroundSymbols = {
    kBackground, kBackground + 1, kBackground + 2, kBackground + 3};
inline CellColors cell_symbols(int mode, std::uint8_t s, std::uint8_t m) {
  return cell_colors(cell_mode(mode), s, m, kBackgroundSymbols);
}

// Bank-relative address of the graphics byte of cell `cell` (0-999), line `k`.
inline unsigned graphics_address(int mode, std::uint8_t d018, int cell, std::uint8_t s, int k) {
  return graphics_address(cell_mode(mode), (d018 >> 1 & 7) * 0x800u, (d018 >> 3 & 1) * 0x2000u,
                          cell, s, k);
}

constexpr std::array<std::array<std::uint8_t, 256>, 4> pair_pixels() {
  std::array<std::array<std::uint8_t, 256>, 4> table{};
  for (int g = 0; g < 256; ++g) {
    for (int p = 0; p < 8; ++p) {
      const int v = pixel_value(true, static_cast<std::uint8_t>(g), p);
      table[static_cast<std::size_t>(v)][static_cast<std::size_t>(g)] |=
          static_cast<std::uint8_t>(0x80 >> p);
    }
  }
  return table;
}
inline constexpr auto kPairPixels = pair_pixels();

// The pixels (bit 7: leftmost) of graphics byte g that have value v.
inline std::uint8_t value_pixels(bool pairs, int v, std::uint8_t g) {
  if (pairs) return kPairPixels[static_cast<std::size_t>(v)][g];
  return v ? g : static_cast<std::uint8_t>(~g);
}

// Sprite n's colours as symbols, for sprite_pixel.
inline SpriteColors sprite_symbols(bool multicolor, int n) {
  return {multicolor, static_cast<std::uint8_t>(kSpriteColor + n), kSpriteMulticolor0,
          kSpriteMulticolor1};
}

Layout snapshot_layout(const SearchInputs& in);
Alternative fresh_alternative(const SearchInputs& in, const Layout& layout);

// A row drawn symbolically by an alternative, with the given RSEL and CSEL.
struct DrawnRow {
  std::array<std::uint8_t, kColumns> symbol{};
  std::array<std::int8_t, kColumns> owner{};   // sprite whose pixel shows, -1: none
  std::array<std::int8_t, kColumns> winner{};  // lowest sprite with a pixel there, -1: none
  std::array<std::uint8_t, kColumns> foreground{};
  std::array<std::uint8_t, 8> pointers{};  // the pointer each sprite was drawn with
  int left = 0, right = -1;                // the window's columns; right < left: border only
  std::uint32_t registers = 0;             // bit i: some pixel shows register $D020 + i
  std::uint8_t sprites = 0;                // bit n: some pixel shows sprite n
};
// Fetches through `tracking` (so that it notes character ROM reads) when
// given, else through the context's views.
void draw_row(SearchContext& ctx, const Alternative& alt, int y, int rsel, int csel, DrawnRow& out,
              VicMemory* tracking = nullptr);

// A drawn row set against the frame's: unknown registers take the colour
// most of their pixels have; then the pixels that differ.
struct Unified {
  Colors colors{};
  RowBits wrong{};
  std::uint8_t shown = 0;         // sprites with a pixel on the row
  std::uint8_t spritesWrong = 0;  // sprites with a pixel of the wrong colour
  bool guessed = false;           // registers took the colour of most of their pixels
  bool ok() const {
    return std::all_of(wrong.begin(), wrong.end(), [](std::uint64_t w) { return w == 0; });
  }
  int first_wrong() const {
    for (int w = 0; w < kWords; ++w) {
      if (wrong[static_cast<std::size_t>(w)]) {
        return w * 64 + std::countr_zero(wrong[static_cast<std::size_t>(w)]);
      }
    }
    return kColumns;
  }
};

Unified unify(const DrawnRow& row, const std::uint8_t* frame, const Colors& colors);

// Takes the row's colours and fixes the sprites that showed on it.
void commit(const SearchInputs& in, Alternative& alt, const Unified& u, const DrawnRow& row);

// 64 columns from `column` on, bit i being column + i.
inline std::uint64_t bits_at(const RowBits& bits, int column) {
  const int w = column >> 6, s = column & 63;
  std::uint64_t out = bits[static_cast<std::size_t>(w)] >> s;
  if (s && w + 1 < kWords) out |= bits[static_cast<std::size_t>(w + 1)] << (64 - s);
  return out;
}

inline RowBits columns_where(const DrawnRow& row, auto&& test) {
  RowBits bits{};
  for (int x = row.left; x <= row.right; ++x) {
    if (test(static_cast<std::size_t>(x)))
      bits[static_cast<std::size_t>(x >> 6)] |= std::uint64_t{1} << (x & 63);
  }
  return bits;
}

// Makes row `y` right with sprites, drawn with `rsel` and `csel`: the
// snapshot's sprites that draw wrong pixels are switched off, then free
// sprites are placed at the leftmost wrong pixel, one after the other.
bool repair(SearchContext& ctx, Alternative& alt, int y, int rsel, int csel);

// Appends to `out` what `alt` becomes once it draws picture row `y`: nothing
// when it cannot, else one alternative, or one per RSEL/CSEL choice where
// they differ. Sprites are placed where the row needs them.
void refine(SearchContext& ctx, const Alternative& alt, int y, std::vector<Alternative>& out);

// Every layout whose graphics alone draw picture row `y` exactly (sprites
// aside), most like the snapshot's first; cached per row.
const std::vector<Layout>& full_search(SearchContext& ctx, int y);

// The same with the `hidden` columns left out, where sprites are expected;
// none when what is left shows no detail. Cached per row and columns.
const std::vector<Layout>& masked_search(SearchContext& ctx, int y, const RowBits& hidden);

// The columns where the sprites of `alt` that are not off have a pixel on
// row `y`, window and priorities aside.
RowBits sprite_columns(SearchContext& ctx, const Alternative& alt, int y);

// The layouts with the snapshot's horizontal scroll that draw row `y` (a
// row without detail), the `hidden` columns aside, most like the
// snapshot's first, and the background colours each needs; cached.
const BlankLayouts& blank_search(SearchContext& ctx, int y, const RowBits& hidden);

// Whether row y shows, the `hidden` columns aside, only the border and one
// colour inside a display window.
bool featureless_but(const SearchInputs& in, int y, const RowBits& hidden);

// How much a layout or an alternative differs from the snapshot's set, to
// be compared lexicographically, the alternative differing least winning
// where the frame cannot tell them apart: the bank first (a program
// switches it least, and it moves every address), then $D018 (screen and
// characters, which decide most pixels), $D011 and $D016 (bits: modes,
// window, scroll), the colours, the sprites' places, their pointers (each
// of which shows in fewer pixels than the one before).
using Difference = std::array<int, 7>;
Difference layout_difference(const SearchInputs& in, const Layout& layout);
Difference difference(const SearchInputs& in, const Alternative& alt);

// The register set an alternative stands for: what it never showed keeps
// the snapshot's value.
BandSet band_set_of(SearchContext& ctx, const Alternative& alt);

// The alternative that stands for a set whose sprites in `shown` are placed.
Alternative alternative_of(const SearchInputs& in, const BandSet& set, std::uint8_t shown);

// Turns each unmatched band between two bands with sets into the runs of
// its lines that the set above draws left of a column and the set below
// from it on (ChangeWithinLine bands naming those two) and the runs
// nothing explains (still unmatched).
void explain_line_changes(const VideoState& state, const Picture& frame, std::vector<Band>& bands);

// The alternatives alive after the last row they all drew.
struct Reach {
  int end = -1;
  std::vector<Alternative> alts;
};

// The farthest row that one set draws from row `a` on, and the alternatives
// that reach it. Seeds: the previous band's layout, the snapshot's, display
// off, and every layout that draws row a. While rows lack detail (or have
// sprites that layouts alone cannot draw), an open layout goes along: the
// first row with detail pins it, its layouts checked against the rows
// before; rows without detail that no alternative draws get a witness.
Reach grow_band(SearchContext& ctx, int a, const std::optional<Alternative>& previous);

// A set's drawing of some lines by the renderer, and the pixels in it that
// depend on glyphs the state does not know.
struct SetDrawing {
  Picture picture;
  std::vector<std::uint8_t> unknown;
};
SetDrawing draw_checked(const VideoState& state, const BandSet& set, LineRange lines = {});

// Adds row y to the unmatched band that ends above it, or starts one.
void add_unmatched(BandSearch& result, int y);

// Turns the reach from row `a` into a band checked with the renderer;
// returns its last row.
int settle(SearchContext& ctx, const Picture& frame, int a, const Reach& reach, BandSearch& result);

bool same_set(const BandSet& a, const BandSet& b);

// Once the search has spent its budget: the previous band's set or the
// snapshot's (each with its drawing), whichever draws more rows from `a`
// on, as they are; returns the band's last row.
int settle_as_they_are(SearchContext& ctx, const Picture& frame, int a,
                       const std::vector<std::pair<BandSet, SetDrawing>>& sets, BandSearch& result);

// Whether `drawn` equals every row of the frame.
bool draws_all(const SetDrawing& drawn, const Picture& frame);

// The one band of a frame the snapshot's own set draws: with the display
// off where the frame is all one colour.
BandSearch static_screen(const VideoState& state, const Picture& frame);

// The picture a set draws, by the symbolic drawing (which must equal
// render_frame's); 16 where it depends on glyphs the state does not know.
Picture symbolic_frame(const VideoState& state, const BandSet& set);

}  // namespace bands
