// Growing a band: from its first row, every alternative that draws it is
// grown row by row; the band ends where none survives. Since a set that
// draws rows i..j draws every run inside them, taking the farthest end from
// each start gives the fewest bands.

#include <algorithm>

#include "bands/band_model.h"
#include "render/unknown_pixels.h"
#include "render/vic_geometry.h"

namespace bands {

namespace {

// Drops duplicates, orders the alternatives most like the snapshot's first
// and keeps the first kMaxAlternatives.
void tidy(SearchContext& ctx, std::vector<Alternative>& alts) {
  if (alts.size() < 2) return;
  std::vector<std::pair<Difference, std::size_t>> keys;
  keys.reserve(alts.size());
  for (std::size_t i = 0; i < alts.size(); ++i) keys.emplace_back(difference(ctx.in, alts[i]), i);
  std::sort(keys.begin(), keys.end(), [&alts](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return alts[a.second] < alts[b.second];
  });
  std::vector<Alternative> sorted;
  sorted.reserve(std::min(alts.size(), kMaxAlternatives));
  for (const auto& key : keys) {
    const Alternative& alt = alts[key.second];
    if (!sorted.empty() && sorted.back() == alt) continue;
    if (sorted.size() == kMaxAlternatives) {
      ctx.spent.cutShort = true;
      break;
    }
    sorted.push_back(alt);
  }
  alts = std::move(sorted);
}

Reach grow_rows(SearchContext& ctx, std::vector<Alternative> alts, int from, int to) {
  Reach reach{from - 1, {}};
  for (int y = from; y <= to; ++y) {
    std::vector<Alternative> next;
    for (const Alternative& alt : alts) refine(ctx, alt, y, next);
    tidy(ctx, next);
    if (next.empty()) break;
    alts = std::move(next);
    reach.end = y;
  }
  if (reach.end >= from) reach.alts = std::move(alts);
  return reach;
}

// The columns where the sprites of `expected` are on row y.
RowBits expected_sprites(SearchContext& ctx, int y, const std::vector<Alternative>& expected) {
  RowBits hidden{};
  for (const Alternative& alt : expected) {
    const RowBits columns = sprite_columns(ctx, alt, y);
    for (std::size_t w = 0; w < hidden.size(); ++w) hidden[w] |= columns[w];
  }
  return hidden;
}

// The layouts that draw row y with detail: alone, else with the columns
// left out where the sprites of `expected` are.
std::vector<Layout> layouts_of(SearchContext& ctx, int y,
                               const std::vector<Alternative>& expected) {
  std::vector<Layout> layouts = full_search(ctx, y);
  if (!layouts.empty()) return layouts;
  const RowBits hidden = expected_sprites(ctx, y, expected);
  if (hidden == RowBits{}) return layouts;
  return masked_search(ctx, y, hidden);
}

// Rows without detail (the border and one colour inside the window, but
// for expected sprites) that every alternative failed: a layout that draws
// all the band's rows. The candidates draw the first and the last of them
// inside the window with the same background colours; each is tried at
// most once per band.
struct Witnesses {
  std::vector<std::uint32_t> tried;  // layout codes, sorted
  std::size_t count = 0;
  bool none = false;  // no layout draws the rows: none draws more of them either

  std::vector<Alternative> find(SearchContext& ctx, int from, int to,
                                const std::vector<Alternative>& expected) {
    const auto inside = [](int y) { return in_rows(y + kFirstLine, true); };
    int first = from;
    while (first <= to && !inside(first)) ++first;
    if (first > to) {
      return grow_rows(ctx, {fresh_alternative(ctx.in, snapshot_layout(ctx.in))}, from, to).alts;
    }
    // Rows with sprites have them left out; sprites may be placed there.
    const auto hidden = [&](int y) {
      return ctx.in.frame.featureless[static_cast<std::size_t>(y)]
                 ? RowBits{}
                 : expected_sprites(ctx, y, expected);
    };
    bool sprites = false;
    for (int y = from; y <= to; ++y)
      sprites = sprites || !ctx.in.frame.featureless[static_cast<std::size_t>(y)];
    const BlankLayouts& firstRow = blank_search(ctx, first, hidden(first));
    const BlankLayouts& lastRow = blank_search(ctx, to, hidden(to));
    std::vector<Alternative> found;
    ctx.band.searchSprites = sprites;
    for (std::size_t i = 0; i < firstRow.layouts.size() && found.empty(); ++i) {
      const std::uint32_t code = layout_code(firstRow.layouts[i]);
      const auto match = std::lower_bound(lastRow.codes.begin(), lastRow.codes.end(),
                                          std::pair<std::uint32_t, std::uint32_t>{code, 0});
      if (match == lastRow.codes.end() || match->first != code) continue;
      bool agree = true;
      for (std::size_t r = 0; r < 4; ++r) {
        const int a = firstRow.needs[i][r], b = lastRow.needs[match->second][r];
        agree = agree && (a < 0 || b < 0 || a == b);
      }
      const auto at = std::lower_bound(tried.begin(), tried.end(), code);
      if (!agree || (at != tried.end() && *at == code)) continue;
      if (count == kMaxWitnesses) {
        ctx.spent.cutShort = true;
        break;
      }
      ++count;
      tried.insert(at, code);
      Reach r = grow_rows(ctx, {fresh_alternative(ctx.in, firstRow.layouts[i])}, from, to);
      if (r.end == to) found = std::move(r.alts);
    }
    ctx.band.searchSprites = true;
    none = found.empty();
    return found;
  }
};

// The alternatives of `alts` (those that drew row y) whose cells are not
// all of unknown glyphs, when row y shows detail: the reach of row y,
// else `seen` as it was.
Reach with_evidence(const SearchContext& ctx, int y, const std::vector<Alternative>& alts,
                    Reach seen) {
  if (ctx.in.frame.featureless[static_cast<std::size_t>(y)] || ctx.in.romUnknown.none())
    return seen;
  std::vector<Alternative> sighted;
  for (const Alternative& alt : alts) {
    if (!blind(ctx.in, alt.layout)) sighted.push_back(alt);
  }
  if (sighted.empty()) return seen;
  return {y, std::move(sighted)};
}

// Where a band from row `a` starts: the seeds, the alternatives whose
// sprites are expected on rows that layouts alone cannot draw, and whether
// row a shows detail (the sprites expected there aside).
struct Start {
  std::vector<Alternative> seeds, expected;
  bool detail = false;
};

Start start_of(SearchContext& ctx, int a, const std::optional<Alternative>& previous) {
  const FrameRows& frame = ctx.in.frame;
  const auto at = static_cast<std::size_t>(a);
  const int border = frame.border[at];
  const Layout own = snapshot_layout(ctx.in);
  Start start;
  if (previous && previous->layout != own) {
    start.seeds.push_back(fresh_alternative(ctx.in, previous->layout));
  }
  start.seeds.push_back(fresh_alternative(ctx.in, own));
  start.expected.push_back(start.seeds.back());
  if (previous) start.expected.push_back(*previous);
  if (frame.uniform[at] >= 0) {
    Layout off = own;
    off.displayEnabled = false;
    start.seeds.push_back(fresh_alternative(ctx.in, off));
  }
  // Rows with detail call for the search of their layouts; those without
  // (but for the sprites expected there) for an open layout.
  start.detail =
      !frame.featureless[at] &&
      !(border >= 0 && featureless_but(ctx.in, a, expected_sprites(ctx, a, start.expected)));
  if (start.detail && border >= 0) {
    const std::vector<Layout> layouts = layouts_of(ctx, a, start.expected);
    if (layouts.size() > kMaxAlternatives) ctx.spent.cutShort = true;
    for (std::size_t i = 0; i < layouts.size() && i < kMaxAlternatives; ++i) {
      start.seeds.push_back(fresh_alternative(ctx.in, layouts[i]));
    }
  }
  return start;
}

}  // namespace

// The farthest row that one set draws from row `a` on, and the alternatives
// that reach it. Seeds: the previous band's layout, the snapshot's, display
// off, and every layout that draws row a. While rows lack detail (or have
// sprites that layouts alone cannot draw), an open layout goes along: the
// first row with detail pins it, its layouts checked against the rows
// before; rows without detail that no alternative draws get a witness.
Reach grow_band(SearchContext& ctx, int a, const std::optional<Alternative>& previous) {
  ctx.band.start = a;
  const FrameRows& frame = ctx.in.frame;
  const int border = frame.border[static_cast<std::size_t>(a)];
  const Start start = start_of(ctx, a, previous);
  const std::vector<Alternative>& seeds = start.seeds;
  const std::vector<Alternative>& expected = start.expected;
  const bool detail = start.detail;
  std::vector<Alternative> alts;
  for (const Alternative& seed : seeds) refine(ctx, seed, a, alts);
  tidy(ctx, alts);
  // A first row with detail that nothing drew: a layout of a row below,
  // with the sprites placed on the rows between, may draw it.
  bool open = border >= 0 && (!detail || alts.empty());
  int pending = detail ? 1 : 0;
  Witnesses witnesses;
  if (alts.empty() && open && !detail) alts = witnesses.find(ctx, a, a, expected);
  Reach best{alts.empty() ? a - 1 : a, alts};
  Reach seen = with_evidence(ctx, a, alts, {a - 1, {}});
  for (int y = a + 1; y < kRows && (!alts.empty() || open); ++y) {
    const auto row = static_cast<std::size_t>(y);
    std::vector<Alternative> next;
    for (const Alternative& alt : alts) refine(ctx, alt, y, next);
    // A row without detail but for the sprites expected there.
    const bool blank = frame.featureless[row] ||
                       (open && featureless_but(ctx.in, y, expected_sprites(ctx, y, expected)));
    if (open && frame.border[row] != border) {
      open = false;
    } else if (open && !blank) {
      const std::vector<Layout> layouts = layouts_of(ctx, y, expected);
      if (layouts.size() > kMaxWitnesses) ctx.spent.cutShort = true;
      bool pinned = false;
      for (std::size_t i = 0; i < layouts.size() && i < kMaxWitnesses; ++i) {
        Reach r = grow_rows(ctx, {fresh_alternative(ctx.in, layouts[i])}, a, y);
        if (r.end != y) continue;
        next.insert(next.end(), r.alts.begin(), r.alts.end());
        pinned = true;
      }
      open = !pinned && ++pending <= kMaxPendingRows;
    } else if (open && pending == 0 && next.empty()) {
      next = witnesses.find(ctx, a, y, expected);
      open = !witnesses.none;
    }
    tidy(ctx, next);
    alts = std::move(next);
    if (!alts.empty()) best = {y, alts};
    seen = with_evidence(ctx, y, alts, std::move(seen));
  }
  // Sets whose cells are all of unknown glyphs draw any row: where they
  // alone reach farther, the farthest a set reaches that showed detail
  // from known memory wins.
  const bool allBlind =
      std::all_of(best.alts.begin(), best.alts.end(),
                  [&ctx](const Alternative& alt) { return blind(ctx.in, alt.layout); });
  return allBlind && seen.end >= a ? seen : best;
}

}  // namespace bands
