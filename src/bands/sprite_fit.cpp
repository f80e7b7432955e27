// Fitting a row's sprites: where the row is wrong, the free sprites that
// could draw its leftmost wrong pixel, ranked by the rows below, and the
// placement that makes the row right.

#include <algorithm>
#include <bit>
#include <tuple>

#include "bands/band_model.h"
#include "render/sprite_pixels.h"
#include "render/vic_geometry.h"

namespace bands {

namespace {

// Whether the free sprites could draw every wrong pixel: spans as wide as
// they are (24 or 48 pixels), one each, can cover the wrong columns, and
// (unless the row's colours are guesses) the wrong pixels show no more
// colours than they have (one each, three if multicolour).
bool coverable(const SearchInputs& in, const Unified& u, const std::uint8_t* frame, unsigned free) {
  int wide = 0, narrow = 0, colors = 0;
  for (std::size_t n = 0; n < 8; ++n) {
    if (!(free >> n & 1)) continue;
    const SpriteSetup& sprite = in.snapshot.sprites[n];
    (sprite.wide ? wide : narrow) += 1;
    colors += sprite.multicolor ? 3 : 1;
  }
  unsigned shown = 0;
  std::array<int, kColumns + 1> next{};  // the first wrong column from x on
  next[kColumns] = kColumns;
  for (int x = kColumns - 1; x >= 0; --x) {
    const bool wrong = u.wrong[static_cast<std::size_t>(x >> 6)] >> (x & 63) & 1;
    next[static_cast<std::size_t>(x)] = wrong ? x : next[static_cast<std::size_t>(x) + 1];
    if (wrong) shown |= 1u << (frame[x] & 31);
  }
  if (!u.guessed && bit_count(shown) > colors) return false;
  // Covering from column x with w wide and n narrow spans left: 0 unknown,
  // 1 possible, 2 not.
  std::vector<std::uint8_t> known(static_cast<std::size_t>(kColumns + 1) * 81);
  const auto cover = [&](auto&& self, int x, int w, int n) -> bool {
    x = next[static_cast<std::size_t>(std::min(x, kColumns))];
    if (x == kColumns) return true;
    std::uint8_t& k = known[static_cast<std::size_t>((x * 9 + w) * 9 + n)];
    if (!k) {
      const bool can = (w > 0 && self(self, x + 2 * kSpriteWidth, w - 1, n)) ||
                       (n > 0 && self(self, x + kSpriteWidth, w, n - 1));
      k = can ? 1 : 2;
    }
    return k == 1;
  };
  return cover(cover, 0, wide, narrow);
}

std::uint64_t hash_bytes(std::uint64_t h, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  for (std::size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 0x100000001B3u;
  return h;
}

// The situation a sprite search answers: the row as drawn, the colours, the
// sprites and the bank they are fetched from, how far into the band the row
// lies and where the band before had its sprites.
std::uint64_t situation(const SearchContext& ctx, const Alternative& alt, const DrawnRow& row,
                        int y, int anchor) {
  std::uint64_t h = 0xCBF29CE484222325u;
  h = hash_bytes(h, row.symbol.data(), row.symbol.size());
  h = hash_bytes(h, row.winner.data(), row.winner.size());
  h = hash_bytes(h, row.foreground.data(), row.foreground.size());
  h = hash_bytes(h, alt.colors.data(), alt.colors.size());
  for (const SpritePlace& p : alt.sprites) {
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(p.use), static_cast<std::uint8_t>(p.x),
                                  static_cast<std::uint8_t>(p.x >> 8), p.y, p.pointer};
    h = hash_bytes(h, bytes, sizeof bytes);
  }
  for (const SpritePlace& p : ctx.band.previousSprites) {
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(p.use), static_cast<std::uint8_t>(p.x),
                                  static_cast<std::uint8_t>(p.x >> 8), p.y, p.pointer};
    h = hash_bytes(h, bytes, sizeof bytes);
  }
  const int more[] = {alt.layout.bank, anchor, row.left, row.right,
                      std::min(y - ctx.band.start, 2 * kSpriteRows)};
  return hash_bytes(h, more, sizeof more);
}

// A sprite placed to draw the row's leftmost wrong pixel.
struct Candidate {
  bool familiar = false;    // where the snapshot or the band before has this sprite
  bool spansClean = false;  // every wrong pixel it spans is one of its own
  int score = 0;            // wrong pixels it draws right, and right pixels below
  bool spare = false;       // the sprite shows nothing where the snapshot has it
  int n = 0;
  SpritePlace place;
  int lineOffset = 0;
  int lastColumn = 0;  // the last column it spans
};

// The order in which placements of sprites are preferred; each rule
// decides only where those before it tie, and why it stands where it does:
//  1. where the snapshot or the band before has the sprite (and it draws
//     something right): programs that multiplex put sprites back where
//     they were more often than anywhere else;
//  2. the most wrong pixels drawn right, here and on the rows below: the
//     frame's own evidence, which outweighs any habit but the first;
//  3. no wrong pixel left in its span: else another sprite must still
//     cover one there, which may not exist;
//  4. a sprite the snapshot does not show lower down: the others are kept
//     for the rows that need them;
//  5. the lowest sprite number: sprites are numbered as they are found;
//  6. the snapshot's pointer: what the frame does not tell keeps the
//     snapshot's value;
//  7. the smallest line offset, pointer and x: only so that the choice is
//     the same on every machine.
bool better(const Candidate& a, const Candidate& b, const SearchContext& ctx) {
  const auto key = [&ctx](const Candidate& c) {
    const bool familiar = c.familiar && c.score > 0;
    const bool kept = c.place.pointer == ctx.in.snapshotPointers[static_cast<std::size_t>(c.n)];
    return std::tuple(!familiar, -c.score, !c.spansClean, !c.spare, c.n, !kept, c.lineOffset,
                      c.place.pointer, c.place.x);
  };
  return key(a) < key(b);
}

// Whether the snapshot's sprite n can still show on rows from `y` on.
bool may_show_below(const SearchInputs& in, int n, int y) {
  const SpriteSetup& sprite = in.snapshot.sprites[static_cast<std::size_t>(n)];
  return sprite.x < kXWrap && sprite.y + 1 + (kSpriteRows << sprite.tall) > y + kFirstLine;
}

struct SpriteSearch {
  SearchContext& ctx;
  const Alternative& alt;
  int y, rsel, csel;  // the row and the RSEL and CSEL it is drawn with
  const DrawnRow& row;
  const Unified& u;
  int anchor;
};

// A placement that fits a row: the sprite, its block, row and alignment,
// its colours, and how promising it is.
struct Fit {
  int n, p, t, j0;
  std::array<int, 3> color;
  int score;
  bool spansClean;
};

// Keeps the kScored most promising fits.
constexpr std::size_t kScored = 64;
void keep_promising(std::vector<Fit>& fits) {
  if (fits.size() <= kScored) return;
  const auto promising = [](const Fit& a, const Fit& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.spansClean != b.spansClean) return a.spansClean;
    return std::tie(a.n, a.p, a.t, a.j0) < std::tie(b.n, b.p, b.t, b.j0);
  };
  std::nth_element(fits.begin(), fits.begin() + kScored, fits.end(), promising);
  fits.resize(kScored);
  std::sort(fits.begin(), fits.end(), promising);
}

// How far a sprite search goes, each extent tried when the one before
// found nothing: sprites that start on the row with their leftmost shown
// pixel at the anchor (or lie where the snapshot, the band before or
// another sprite has one); also those whose first rows the border hides at
// the window's left side; on the band's first row inside the window, also
// those begun above on any line.
enum class Extent { Starting, UnderTheBorder, BegunAbove };

// The rows below as an alternative draws them so far (drawn when first
// needed): where it is wrong, its window, foreground and, per sprite
// number n, the columns lower sprites take; bit i is column anchor + i.
struct Below {
  bool drawn = false;
  std::uint64_t wrong = 0, window = 0, foreground = 0;
  std::array<std::uint64_t, 9> lower{};
};

constexpr int kForetaste = 4;  // rows below that rank the placements first

// What the sprite search of a row knows, from the anchor on: the row as
// drawn, the frame's colours there, on the row above and the rows below,
// the rows below as drawn so far, and the fits found.
struct Scan {
  explicit Scan(const SpriteSearch& search);
  const SpriteSearch& s;
  SearchContext& ctx;
  const DrawnRow& row;
  int line;
  const std::uint8_t* frame;
  std::uint64_t wrongHere = 0, windowHere = 0, foregroundHere = 0;
  int rowsBelow;
  std::vector<std::array<std::uint64_t, 16>> colorsAt;  // per row from here, per colour
  int sinceStart, windowTop, shownAbove;        // shownAbove: the band's rows above in the window
  std::array<std::uint64_t, 16> colorsAbove{};  // the row above, for sprites begun above
  const std::uint32_t* used;
  std::vector<Below> below;
  std::vector<Fit> fits;
};

Scan::Scan(const SpriteSearch& search)
    : s(search),
      ctx(search.ctx),
      row(search.row),
      line(search.y + kFirstLine),
      frame(search.ctx.in.frame.row(search.y)),
      rowsBelow(std::max(0, std::min(2 * kSpriteRows - 1, kRows - 1 - search.y))),
      colorsAt(static_cast<std::size_t>(rowsBelow) + 1),
      sinceStart(search.y - search.ctx.band.start),
      windowTop(display_window(search.rsel, true).topLine),
      shownAbove(std::max(0, std::min(sinceStart, line - windowTop))),
      used(search.ctx.sprite_rows_used(search.alt.layout.bank)),
      below(static_cast<std::size_t>(rowsBelow)) {
  wrongHere = bits_at(s.u.wrong, s.anchor);
  windowHere = bits_at(columns_where(row, [](std::size_t) { return true; }), s.anchor);
  foregroundHere = bits_at(
      columns_where(row, [this](std::size_t x) { return row.foreground[x] != 0; }), s.anchor);
  for (std::size_t d = 0; d < colorsAt.size(); ++d) {
    for (std::size_t c = 0; c < 16; ++c) {
      colorsAt[d][c] = bits_at(ctx.in.frame.equal[static_cast<std::size_t>(s.y) + d][c], s.anchor);
    }
  }
  for (std::size_t c = 0; c < 16 && s.y > 0; ++c) {
    colorsAbove[c] = bits_at(ctx.in.frame.equal[static_cast<std::size_t>(s.y) - 1][c], s.anchor);
  }
}

const Below& below_at(Scan& scan, int d) {
  Below& b = scan.below[static_cast<std::size_t>(d - 1)];
  if (b.drawn) return b;
  const SpriteSearch& s = scan.s;
  b.drawn = true;
  DrawnRow drawn;
  draw_row(scan.ctx, s.alt, s.y + d, s.rsel, s.csel, drawn);
  b.wrong = bits_at(unify(drawn, scan.ctx.in.frame.row(s.y + d), s.alt.colors).wrong, s.anchor);
  RowBits window{}, foreground{};
  std::array<RowBits, 9> lower{};  // by winner + 1, then summed up
  for (int x = drawn.left; x <= drawn.right; ++x) {
    const auto col = static_cast<std::size_t>(x);
    const std::uint64_t bit = std::uint64_t{1} << (x & 63);
    window[col >> 6] |= bit;
    if (drawn.foreground[col]) foreground[col >> 6] |= bit;
    if (drawn.winner[col] >= 0)
      lower[static_cast<std::size_t>(drawn.winner[col]) + 1][col >> 6] |= bit;
  }
  for (std::size_t n = 1; n < lower.size(); ++n) {
    for (std::size_t w = 0; w < kWords; ++w) lower[n][w] |= lower[n - 1][w];
  }
  b.window = bits_at(window, s.anchor);
  b.foreground = bits_at(foreground, s.anchor);
  for (std::size_t n = 0; n < lower.size(); ++n) b.lower[n] = bits_at(lower[n], s.anchor);
  return b;
}

// The pixels j0 on of a sprite `full` pixels wide, as bits from the anchor.
std::uint64_t span_from(int full, int j0) {
  return (full - j0 >= 64) ? ~std::uint64_t{0} : (std::uint64_t{1} << (full - j0)) - 1;
}

// What a fit does to up to `rows` rows below: the wrong pixels it draws
// right, until a row where it draws a right pixel wrong, less those; values
// first shown there take the frame's colour.
int right_below(Scan& scan, Fit& f, int rows) {
  const SpriteSetup& sprite = scan.ctx.in.snapshot.sprites[static_cast<std::size_t>(f.n)];
  const SpriteRowMasks* masks =
      scan.ctx.sprite_masks(scan.s.alt.layout.bank, sprite.multicolor, sprite.wide);
  const int height = kSpriteRows << sprite.tall;
  const std::uint64_t span = span_from(kSpriteWidth << sprite.wide, f.j0);
  int right = 0;
  for (int d = 1; d <= rows && f.t + d < height && d <= scan.rowsBelow; ++d) {
    const Below& b = below_at(scan, d);
    const SpriteRowMasks& next = masks[f.p * kSpriteRows + ((f.t + d) >> sprite.tall)];
    std::uint64_t shows = b.window & span & ~b.lower[static_cast<std::size_t>(f.n)];
    if (sprite.behind) shows &= ~b.foreground;
    int wrong = 0;
    for (int v = 0; v < (sprite.multicolor ? 3 : 1); ++v) {
      const std::uint64_t mv = next.value[static_cast<std::size_t>(v)] >> f.j0 & shows;
      if (!mv) continue;
      int& k = f.color[static_cast<std::size_t>(v)];
      if (k < 0) k = scan.ctx.in.frame.row(scan.s.y + d)[scan.s.anchor + std::countr_zero(mv)];
      const std::uint64_t good =
          k < 16 ? mv & scan.colorsAt[static_cast<std::size_t>(d)][static_cast<std::size_t>(k)] : 0;
      right += bit_count(good & b.wrong);
      wrong += bit_count(mv & ~good);
    }
    if (wrong) return right - wrong;
  }
  return right;
}

// One free sprite in the scan: where it can show from the anchor on, and
// before it (bit 63 - d: column anchor - d), its masks and known colours.
struct SpriteScan {
  Scan& scan;
  int n;
  const SpriteSetup& sprite;
  std::uint64_t visibleAll = 0, visibleBefore = 0;
  int full, height, values;
  bool leftmostOnly = false;  // only its leftmost pixel can be the anchor
  const SpriteRowMasks* masks;
  std::array<int, 3> known{};
};

SpriteScan sprite_scan(Scan& scan, int n) {
  const SpriteSetup& sprite = scan.ctx.in.snapshot.sprites[static_cast<std::size_t>(n)];
  const DrawnRow& row = scan.row;
  const int anchor = scan.s.anchor;
  SpriteScan v{scan,
               n,
               sprite,
               0,
               0,
               kSpriteWidth << sprite.wide,
               kSpriteRows << sprite.tall,
               sprite.multicolor ? 3 : 1,
               false,
               scan.ctx.sprite_masks(scan.s.alt.layout.bank, sprite.multicolor, sprite.wide),
               {}};
  const RowBits lower = columns_where(
      row, [&row, n](std::size_t x) { return row.winner[x] >= 0 && row.winner[x] < n; });
  v.visibleAll = scan.windowHere & ~bits_at(lower, anchor);
  if (sprite.behind) v.visibleAll &= ~scan.foregroundHere;
  for (int d = 1; d < 64 && anchor - d >= row.left; ++d) {
    const auto x = static_cast<std::size_t>(anchor - d);
    const bool hidden =
        (row.winner[x] >= 0 && row.winner[x] < n) || (sprite.behind && row.foreground[x]);
    if (!hidden) v.visibleBefore |= std::uint64_t{1} << (63 - d);
  }
  // Every column within reach before the anchor shows the sprite.
  const std::uint64_t reach = ((std::uint64_t{1} << (v.full - 1)) - 1) << (64 - v.full);
  v.leftmostOnly = (v.visibleBefore & reach) == reach;
  const Colors& colors = scan.s.alt.colors;
  v.known = {colors[static_cast<std::size_t>(kSpriteColor + n - 16)], -1, -1};
  if (sprite.multicolor) {
    v.known = {colors[kSpriteMulticolor0 - 16], v.known[0], colors[kSpriteMulticolor1 - 16]};
  }
  return v;
}

// Block p's row for line offset t, aligned so that pixel j0 is at the
// anchor: whether it fits the row, and how promising it is.
void consider(SpriteScan& v, int p, int t, int j0) {
  Scan& scan = v.scan;
  const SpriteRowMasks& m = v.masks[p * kSpriteRows + (t >> v.sprite.tall)];
  const std::uint64_t span = span_from(v.full, j0);
  const std::uint64_t visible = v.visibleAll & span;
  Fit f{v.n, p, t, j0, v.known, 0, false};
  bool fit = true;
  for (int k = 0; k < v.values && fit; ++k) {
    const std::uint64_t mv = m.value[static_cast<std::size_t>(k)] >> j0 & visible;
    if (!mv) continue;
    int& c = f.color[static_cast<std::size_t>(k)];
    if (c < 0) c = scan.frame[scan.s.anchor + std::countr_zero(mv)];
    fit = c < 16 && !(mv & ~scan.colorsAt[0][static_cast<std::size_t>(c)]);
    // Begun above the band, right under it: the row above, the band
    // before's, shows it too (unless it is behind the graphics there).
    if (fit && t > 0 && scan.sinceStart == 0 && scan.line > scan.windowTop && !v.sprite.behind) {
      const std::uint64_t above = v.masks[p * kSpriteRows + ((t - 1) >> v.sprite.tall)]
                                          .value[static_cast<std::size_t>(k)] >>
                                      j0 &
                                  scan.windowHere & span;
      fit = !(above & ~scan.colorsAbove[static_cast<std::size_t>(c)]);
    }
  }
  if (!fit) return;
  const std::uint64_t spanned = scan.wrongHere & span;
  const std::uint64_t covered = spanned & (m.any >> j0) & visible;
  f.spansClean = covered == spanned;
  Fit foretaste = f;
  f.score = bit_count(covered) + right_below(scan, foretaste, kForetaste);
  scan.ctx.spent.spriteWork += kForetaste;
  scan.fits.push_back(f);
  if (scan.fits.size() == 4 * kScored) keep_promising(scan.fits);
}

// The anchor is the sprite's leftmost pixel that shows: those before it
// are under the border, lower sprites or the foreground.
bool anchored(const SpriteScan& v, const SpriteRowMasks& m, int j0) {
  return (m.any >> j0 & 1) && !(m.any & v.visibleBefore >> (63 - j0));
}

// Whether the band's lines above show nothing of block p's rows, the
// sprite placed with its line offset t here and pixel j0 at the anchor:
// the rows hold nothing, or nothing inside the display window.
bool unseen_above(const SpriteScan& v, int p, int t, int j0) {
  const int above = std::min(t, v.scan.shownAbove);
  if (above <= 0) return true;
  const int firstRow = (t - above) >> v.sprite.tall, lastRow = (t - 1) >> v.sprite.tall;
  const std::uint32_t rows = v.scan.used[p] & ((2u << lastRow) - 1) & ~((1u << firstRow) - 1);
  if (!rows) return true;
  // Pixel j shows at column anchor - j0 + j.
  const int lo = v.scan.row.left - v.scan.s.anchor + j0;
  const int hi = v.scan.row.right - v.scan.s.anchor + j0;
  if (lo <= 0 && hi >= v.full - 1) return false;
  const std::uint64_t inside = (hi >= 63 ? ~std::uint64_t{0} : (std::uint64_t{2} << hi) - 1) &
                               (lo <= 0 ? ~std::uint64_t{0} : ~((std::uint64_t{1} << lo) - 1));
  for (int r = firstRow; r <= lastRow; ++r) {
    if ((rows >> r & 1) && (v.masks[p * kSpriteRows + r].any & inside)) return false;
  }
  return true;
}

// Every block whose row, on one of the line offsets tried, can have its
// leftmost shown pixel at the anchor: the sprite's first line, or every
// line (begun above, or under the border at the window's side).
void every_block(SpriteScan& v, bool everyLine, bool nearSide) {
  SearchContext& ctx = v.scan.ctx;
  for (int p = 0; p < 256 && ctx.spent.spriteWork < ctx.spent.budget.spriteWork; ++p) {
    const std::uint32_t rowsUsed = v.scan.used[p];
    if (!rowsUsed) continue;
    const int firstLine = std::countr_zero(rowsUsed) << v.sprite.tall;
    const int lastT = everyLine || nearSide ? v.height - 1 : firstLine;
    for (int t = everyLine ? 0 : firstLine; t <= lastT; ++t) {
      ++ctx.spent.spriteWork;
      if (!(rowsUsed >> (t >> v.sprite.tall) & 1)) continue;
      const int top = v.scan.line - 1 - t;
      if (top < 0 || top > 255) continue;
      const SpriteRowMasks& m = v.masks[p * kSpriteRows + (t >> v.sprite.tall)];
      for (std::uint64_t set = m.any; set; set &= set - 1) {
        const int j0 = std::countr_zero(set);
        if (j0 > std::countr_zero(m.any) && v.leftmostOnly) break;
        if (anchored(v, m, j0) && unseen_above(v, p, t, j0)) consider(v, p, t, j0);
      }
    }
  }
}

// The sprite placed where `place` is (any block when `pointer` < 0):
// begun on the band's lines above, hidden there or not.
void at_place(SpriteScan& v, const SpritePlace& place, int pointer) {
  const int t = v.scan.line - 1 - place.y;
  const int j0 = ((v.scan.s.anchor - kXToPicture - place.x) % kXWrap + kXWrap) % kXWrap;
  if (t < 0 || t >= v.height || j0 >= v.full) return;
  for (int p = pointer < 0 ? 0 : pointer; p < (pointer < 0 ? 256 : pointer + 1); ++p) {
    ++v.scan.ctx.spent.spriteWork;
    if (anchored(v, v.masks[p * kSpriteRows + (t >> v.sprite.tall)], j0)) consider(v, p, t, j0);
  }
}

// Where another sprite of the alternative is (sprites laid over each
// other), and where the snapshot or the band before has this one.
void familiar_places(SpriteScan& v) {
  const SearchContext& ctx = v.scan.ctx;
  const auto n = static_cast<std::size_t>(v.n);
  for (std::size_t other = 0; other < 8; ++other) {
    if (v.scan.s.alt.sprites[other].use == SpriteUse::Shown && other != n) {
      at_place(v, v.scan.s.alt.sprites[other], -1);
    }
  }
  const SpritePlace& before = ctx.band.previousSprites[n];
  if (before.use == SpriteUse::Shown) at_place(v, before, before.pointer);
  at_place(v,
           {SpriteUse::Shown, static_cast<std::uint16_t>(v.sprite.x), v.sprite.y,
            ctx.in.snapshotPointers[n]},
           ctx.in.snapshotPointers[n]);
}

// A fit as a placement, scored on every row below the sprite reaches.
Candidate candidate_of(Scan& scan, Fit& f) {
  const SearchContext& ctx = scan.ctx;
  const auto n = static_cast<std::size_t>(f.n);
  const SpriteSetup& sprite = ctx.in.snapshot.sprites[n];
  const SpriteRowMasks* masks =
      scan.ctx.sprite_masks(scan.s.alt.layout.bank, sprite.multicolor, sprite.wide);
  const int full = kSpriteWidth << sprite.wide;
  const SpriteRowMasks& m = masks[f.p * kSpriteRows + (f.t >> sprite.tall)];
  Candidate c;
  c.spansClean = f.spansClean;
  c.score = bit_count(scan.wrongHere & span_from(full, f.j0) & (m.any >> f.j0));
  c.spare = !may_show_below(ctx.in, f.n, scan.s.y) || scan.s.alt.sprites[n].use == SpriteUse::Off;
  c.n = f.n;
  int x = scan.s.anchor - kXToPicture - f.j0;
  if (x < 0) x += kXWrap;
  c.place = {SpriteUse::Shown, static_cast<std::uint16_t>(x),
             static_cast<std::uint8_t>(scan.line - 1 - f.t), static_cast<std::uint8_t>(f.p)};
  c.familiar =
      c.place == ctx.band.previousSprites[n] || (c.place.x == sprite.x && c.place.y == sprite.y &&
                                                 c.place.pointer == ctx.in.snapshotPointers[n]);
  c.lineOffset = f.t;
  c.lastColumn = scan.s.anchor + full - f.j0 - 1;
  c.score += right_below(scan, f, scan.rowsBelow);
  return c;
}

// The sprites that could draw the anchor pixel, best first.
std::vector<Candidate> sprite_candidates(const SpriteSearch& s, unsigned free, Extent extent) {
  Scan scan(s);
  // At the window's left side a sprite may begin with rows the border
  // hides (its first pixel shown within a cell of the side).
  const bool nearSide = extent != Extent::Starting && s.anchor - s.row.left < 8;
  if (extent == Extent::UnderTheBorder && !nearSide) return {};  // nothing new
  const bool starting = extent == Extent::Starting || !nearSide;
  for (int n = 0; n < 8; ++n) {
    if (!(free >> n & 1)) continue;
    SpriteScan v = sprite_scan(scan, n);
    if (!(v.visibleAll & 1)) continue;  // the anchor is hidden from this sprite
    every_block(v, extent == Extent::BegunAbove, nearSide);
    if (starting) familiar_places(v);
  }
  keep_promising(scan.fits);
  std::vector<Candidate> found;
  for (Fit& f : scan.fits) found.push_back(candidate_of(scan, f));
  std::sort(found.begin(), found.end(),
            [&s](const Candidate& a, const Candidate& b) { return better(a, b, s.ctx); });
  found.erase(std::unique(found.begin(), found.end(),
                          [](const Candidate& a, const Candidate& b) {
                            return a.n == b.n && a.place == b.place;
                          }),
              found.end());
  return found;
}

// Tries a placement: the row drawn with it must be right up to its last
// spanned column (or, when it leaves wrong pixels there, past the anchor).
bool try_place(SearchContext& ctx, Alternative& alt, int y, int rsel, int csel, int n,
               const SpritePlace& place, int lastRight, DrawnRow& row, Unified& u) {
  Alternative trial = alt;
  trial.sprites[static_cast<std::size_t>(n)] = place;
  DrawnRow trialRow;
  draw_row(ctx, trial, y, rsel, csel, trialRow);
  Unified trialU = unify(trialRow, ctx.in.frame.row(y), trial.colors);
  if (trialU.first_wrong() <= lastRight) return false;
  // The band's rows above that the sprite reaches stay right.
  DrawnRow above;
  for (int r = std::max(ctx.band.start, place.y + 1 - kFirstLine); r < y; ++r) {
    draw_row(ctx, trial, r, rsel, csel, above);
    if (!unify(above, ctx.in.frame.row(r), trialU.colors).ok()) return false;
  }
  alt = trial;
  row = trialRow;
  u = trialU;
  return true;
}

constexpr std::size_t kTriedPlacements = 8;

// Places a free sprite where the row's leftmost wrong pixel is.
bool place_sprite(SearchContext& ctx, Alternative& alt, int y, int rsel, int csel, DrawnRow& row,
                  Unified& u, unsigned free) {
  const int anchor = u.first_wrong();
  const std::uint64_t key = situation(ctx, alt, row, y, anchor);
  auto& remembered = ctx.cache.remembered[static_cast<std::size_t>(y)];
  for (const SearchCaches::Remembered& r : remembered) {
    if (r.key != key) continue;
    return r.place && try_place(ctx, alt, y, rsel, csel, r.sprite, *r.place, r.lastRight, row, u);
  }
  if (!ctx.band.searchSprites) return false;
  if (ctx.spent.spriteWork >= ctx.spent.budget.spriteWork) {
    ctx.spent.cutShort = true;
    return false;
  }
  // On the band's first row inside the window sprites may have begun on
  // any line above, and at the window's left side the border may hide a
  // sprite's first pixels: there the wider searches compete with the
  // first at once.
  const bool firstShown =
      std::min(y - ctx.band.start, y + kFirstLine - display_window(rsel, true).topLine) <= 0;
  const bool leftSide = anchor - row.left < 8;
  for (const Extent extent : {Extent::Starting, Extent::UnderTheBorder, Extent::BegunAbove}) {
    if (extent == Extent::Starting && (leftSide || firstShown)) continue;
    if (extent == Extent::UnderTheBorder && firstShown) continue;
    if (extent == Extent::BegunAbove && !firstShown) break;
    const std::vector<Candidate> candidates =
        sprite_candidates({ctx, alt, y, rsel, csel, row, u, anchor}, free, extent);
    for (std::size_t i = 0; i < candidates.size() && i < kTriedPlacements; ++i) {
      const Candidate& c = candidates[i];
      const int lastRight = c.spansClean ? c.lastColumn : anchor;
      if (try_place(ctx, alt, y, rsel, csel, c.n, c.place, lastRight, row, u)) {
        remembered.push_back({key, c.place, c.n, lastRight});
        return true;
      }
    }
  }
  remembered.push_back({key, std::nullopt, 0, 0});
  return false;
}

}  // namespace

bool repair(SearchContext& ctx, Alternative& alt, int y, int rsel, int csel) {
  DrawnRow row;
  draw_row(ctx, alt, y, rsel, csel, row);
  Unified u = unify(row, ctx.in.frame.row(y), alt.colors);
  bool redraw = false;
  for (std::size_t n = 0; n < 8; ++n) {
    if ((u.spritesWrong >> n & 1) && alt.sprites[n].use == SpriteUse::Unseen) {
      alt.sprites[n].use = SpriteUse::Off;
      redraw = true;
    }
  }
  if (redraw) {
    draw_row(ctx, alt, y, rsel, csel, row);
    u = unify(row, ctx.in.frame.row(y), alt.colors);
  }
  for (int step = 0; step <= kMaxRepairs; ++step) {
    if (u.ok()) {
      commit(ctx.in, alt, u, row);
      return true;
    }
    const int anchor = u.first_wrong();
    if (step == kMaxRepairs || anchor < row.left || anchor > row.right) return false;
    unsigned free = 0;
    for (int n = 0; n < 8; ++n) {
      const auto i = static_cast<std::size_t>(n);
      if (ctx.in.snapshot.sprites[i].enabled && alt.sprites[i].use != SpriteUse::Shown &&
          !(u.shown >> n & 1)) {
        free |= 1u << n;
      }
    }
    if (!free || !coverable(ctx.in, u, ctx.in.frame.row(y), free)) return false;
    if (!place_sprite(ctx, alt, y, rsel, csel, row, u, free)) return false;
  }
  return false;
}

}  // namespace bands
