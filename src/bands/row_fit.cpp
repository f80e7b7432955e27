// Fitting a row's layout: what an alternative becomes once it draws one
// row more, for each RSEL and CSEL the row tells apart, its colours settled
// by the row and sprites placed where it needs them.

#include <algorithm>
#include <bit>
#include <tuple>

#include "bands/band_model.h"
#include "render/sprite_pixels.h"
#include "render/vic_geometry.h"

namespace bands {

namespace {

bool shows_cells(const Layout& l, int line) {
  const int rowLine = line - kFirstRowLine - l.yScroll;
  return l.displayEnabled && in_rows(line, true) && rowLine >= 0 && rowLine < kGraphicsLines;
}

// The values of a RSEL or CSEL mask, the snapshot's first.
std::vector<int> values_of(std::uint8_t mask, bool snapshotValue) {
  std::vector<int> values;
  if (mask >> snapshotValue & 1) values.push_back(snapshotValue);
  if (mask >> !snapshotValue & 1) values.push_back(!snapshotValue);
  return values;
}

}  // namespace

namespace {

// The RSEL and CSEL values a row may be drawn with: on the lines only the
// 25 rows cover, both RSEL values tell apart; inside a window, CSEL.
struct Variant {
  int rsel, csel;
  bool window;
};

std::vector<Variant> variants_of(const SearchInputs& in, const Layout& l, bool always, bool edge) {
  std::vector<Variant> variants;
  for (int rsel : values_of(edge ? l.rows : 3, in.snapshot.rows25)) {
    const bool window = always || rsel == 1;
    for (int csel : values_of(window ? l.columns : 3, in.snapshot.columns40)) {
      variants.push_back({rsel, csel, window});
      if (!window) break;
    }
    if (!edge) break;
  }
  return variants;
}

// What a variant makes of the alternative, drawn as it is. A snapshot
// sprite that first shows on the row in the colours beneath it may as well
// be off: both are kept.
std::vector<Alternative> drawn_as_is(SearchContext& ctx, const Alternative& alt, int y,
                                     const Variant& v) {
  std::vector<Alternative> drawn;
  DrawnRow row;
  draw_row(ctx, alt, y, v.rsel, v.csel, row);
  const Unified u = unify(row, ctx.in.frame.row(y), alt.colors);
  if (!u.ok()) return drawn;
  Alternative a = alt;
  commit(ctx.in, a, u, row);
  drawn.push_back(a);
  Alternative off = alt;
  for (std::size_t n = 0; n < 8; ++n) {
    if ((u.shown >> n & 1) && off.sprites[n].use == SpriteUse::Unseen) {
      off.sprites[n].use = SpriteUse::Off;
    }
  }
  if (off == alt) return drawn;
  draw_row(ctx, off, y, v.rsel, v.csel, row);
  const Unified without = unify(row, ctx.in.frame.row(y), off.colors);
  if (!without.ok()) return drawn;
  commit(ctx.in, off, without, row);
  drawn.push_back(off);
  return drawn;
}

// The first line of cells of a layout whose screen and characters only
// idle lines have shown: each $D018 that may draw it.
void refine_d018(SearchContext& ctx, const Alternative& alt, int y, std::vector<Alternative>& out) {
  const Layout& l = alt.layout;
  for (int screen = 0; screen < 16; ++screen) {
    for (int pointer = 0; pointer < ((l.mode & 2) ? 2 : 8); ++pointer) {
      Alternative a = alt;
      a.layout.d018Open = false;
      a.layout.d018 = static_cast<std::uint8_t>(
          screen << 4 | ((l.mode & 2) ? pointer << 3 | (ctx.in.snapshot.d018 & 6) : pointer << 1));
      // Cells of glyphs the state does not know draw any row: only the
      // snapshot's own screen and characters are taken so.
      if (blind(ctx.in, a.layout) && ((a.layout.d018 ^ ctx.in.snapshot.d018) & 0xFE)) continue;
      refine(ctx, a, y, out);
    }
  }
}

}  // namespace

void refine(SearchContext& ctx, const Alternative& alt, int y, std::vector<Alternative>& out) {
  if (++ctx.spent.refines > ctx.spent.budget.refines) {
    ctx.spent.exhausted = ctx.spent.cutShort = true;
    return;
  }
  const Layout& l = alt.layout;
  const int line = y + kFirstLine;
  const bool always = in_rows(line, false);
  const bool edge = !always && in_rows(line, true);
  if (!l.displayEnabled || (!always && !edge)) {  // the border only
    const int c = ctx.in.frame.uniform[static_cast<std::size_t>(y)];
    const int known = alt.colors[0];
    if (c < 0 || (known >= 0 && known != c)) return;
    out.push_back(alt);
    out.back().colors[0] = static_cast<std::int8_t>(c);
    return;
  }
  if (l.d018Open && shows_cells(l, line)) return refine_d018(ctx, alt, y, out);
  const std::vector<Variant> variants = variants_of(ctx.in, l, always, edge);
  std::vector<std::vector<Alternative>> drawn(variants.size());
  bool any = false;
  for (std::size_t i = 0; i < variants.size(); ++i) {
    drawn[i] = drawn_as_is(ctx, alt, y, variants[i]);
    any = any || !drawn[i].empty();
  }
  const auto narrowed = [&](Alternative a, const Variant& v) {
    if (edge) a.layout.rows = static_cast<std::uint8_t>(1 << v.rsel);
    if (v.window) a.layout.columns = static_cast<std::uint8_t>(1 << v.csel);
    return a;
  };
  if (any &&
      std::all_of(drawn.begin(), drawn.end(), [&](const auto& d) { return d == drawn.front(); })) {
    out.insert(out.end(), drawn.front().begin(), drawn.front().end());
    return;
  }
  for (std::size_t i = 0; i < variants.size() && any; ++i) {
    for (const Alternative& a : drawn[i]) out.push_back(narrowed(a, variants[i]));
  }
  for (std::size_t i = 0; i < variants.size() && !any; ++i) {
    if (!variants[i].window) continue;
    Alternative a = narrowed(alt, variants[i]);
    if (repair(ctx, a, y, variants[i].rsel, variants[i].csel)) {
      out.push_back(a);
      return;
    }
  }
}

}  // namespace bands
