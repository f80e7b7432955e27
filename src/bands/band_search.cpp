// The greedy search of the bands: from each first line, every alternative
// that draws it is grown line by line; the band ends where none survives.
// Since a set that draws lines i..j draws every run inside them, taking the
// farthest end from each start gives the fewest bands.

#include "bands/band_search.h"

#include <algorithm>

#include "bands/band_model.h"
#include "render/unknown_pixels.h"
#include "render/vic_geometry.h"

namespace bands {

namespace {

// The alternatives alive after the last row they all drew.
struct Reach {
  int end = -1;
  std::vector<Alternative> alts;
};

// Drops duplicates, orders the alternatives most like the snapshot's first
// and keeps the first kMaxAlternatives.
void tidy(SearchContext& ctx, std::vector<Alternative>& alts) {
  if (alts.size() < 2) return;
  std::vector<std::pair<Difference, std::size_t>> keys;
  keys.reserve(alts.size());
  for (std::size_t i = 0; i < alts.size(); ++i) keys.emplace_back(difference(ctx, alts[i]), i);
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
      ctx.cutShort = true;
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
      return grow_rows(ctx, {fresh_alternative(ctx, snapshot_layout(ctx))}, from, to).alts;
    }
    // Rows with sprites have them left out; sprites may be placed there.
    const auto hidden = [&](int y) {
      return ctx.frame.featureless[static_cast<std::size_t>(y)]
                 ? RowBits{}
                 : expected_sprites(ctx, y, expected);
    };
    bool sprites = false;
    for (int y = from; y <= to; ++y)
      sprites = sprites || !ctx.frame.featureless[static_cast<std::size_t>(y)];
    const BlankLayouts& firstRow = blank_search(ctx, first, hidden(first));
    const BlankLayouts& lastRow = blank_search(ctx, to, hidden(to));
    std::vector<Alternative> found;
    ctx.searchSprites = sprites;
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
        ctx.cutShort = true;
        break;
      }
      ++count;
      tried.insert(at, code);
      Reach r = grow_rows(ctx, {fresh_alternative(ctx, firstRow.layouts[i])}, from, to);
      if (r.end == to) found = std::move(r.alts);
    }
    ctx.searchSprites = true;
    none = found.empty();
    return found;
  }
};

// The alternatives of `alts` (those that drew row y) whose cells are not
// all of unknown glyphs, when row y shows detail: the reach of row y,
// else `seen` as it was.
Reach with_evidence(const SearchContext& ctx, int y, const std::vector<Alternative>& alts,
                    Reach seen) {
  if (ctx.frame.featureless[static_cast<std::size_t>(y)] || ctx.romUnknown.none()) return seen;
  std::vector<Alternative> sighted;
  for (const Alternative& alt : alts) {
    if (!blind(ctx, alt.layout)) sighted.push_back(alt);
  }
  if (sighted.empty()) return seen;
  return {y, std::move(sighted)};
}

// The farthest row that one set draws from row `a` on, and the alternatives
// that reach it. Seeds: the previous band's layout, the snapshot's, display
// off, and every layout that draws row a. While rows lack detail (or have
// sprites that layouts alone cannot draw), an open layout goes along: the
// first row with detail pins it, its layouts checked against the rows
// before; rows without detail that no alternative draws get a witness.
// Where a band from row `a` starts: the seeds, the alternatives whose
// sprites are expected on rows that layouts alone cannot draw, and whether
// row a shows detail (the sprites expected there aside).
struct Start {
  std::vector<Alternative> seeds, expected;
  bool detail = false;
};

Start start_of(SearchContext& ctx, int a, const std::optional<Alternative>& previous) {
  const FrameRows& frame = ctx.frame;
  const auto at = static_cast<std::size_t>(a);
  const int border = frame.border[at];
  const Layout own = snapshot_layout(ctx);
  Start start;
  if (previous && previous->layout != own) {
    start.seeds.push_back(fresh_alternative(ctx, previous->layout));
  }
  start.seeds.push_back(fresh_alternative(ctx, own));
  start.expected.push_back(start.seeds.back());
  if (previous) start.expected.push_back(*previous);
  if (frame.uniform[at] >= 0) {
    Layout off = own;
    off.displayEnabled = false;
    start.seeds.push_back(fresh_alternative(ctx, off));
  }
  // Rows with detail call for the search of their layouts; those without
  // (but for the sprites expected there) for an open layout.
  start.detail =
      !frame.featureless[at] &&
      !(border >= 0 && featureless_but(ctx, a, expected_sprites(ctx, a, start.expected)));
  if (start.detail && border >= 0) {
    const std::vector<Layout> layouts = layouts_of(ctx, a, start.expected);
    if (layouts.size() > kMaxAlternatives) ctx.cutShort = true;
    for (std::size_t i = 0; i < layouts.size() && i < kMaxAlternatives; ++i) {
      start.seeds.push_back(fresh_alternative(ctx, layouts[i]));
    }
  }
  return start;
}

Reach grow_band(SearchContext& ctx, int a, const std::optional<Alternative>& previous) {
  ctx.bandStart = a;
  const FrameRows& frame = ctx.frame;
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
                       (open && featureless_but(ctx, y, expected_sprites(ctx, y, expected)));
    if (open && frame.border[row] != border) {
      open = false;
    } else if (open && !blank) {
      const std::vector<Layout> layouts = layouts_of(ctx, y, expected);
      if (layouts.size() > kMaxWitnesses) ctx.cutShort = true;
      bool pinned = false;
      for (std::size_t i = 0; i < layouts.size() && i < kMaxWitnesses; ++i) {
        Reach r = grow_rows(ctx, {fresh_alternative(ctx, layouts[i])}, a, y);
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
                  [&ctx](const Alternative& alt) { return blind(ctx, alt.layout); });
  return allBlind && seen.end >= a ? seen : best;
}

// A set's drawing of some lines by the renderer, and the pixels in it that
// depend on glyphs the state does not know.
struct SetDrawing {
  Picture picture;
  std::vector<std::uint8_t> unknown;
};

SetDrawing draw_checked(const VideoState& state, const BandSet& set, LineRange lines = {}) {
  return {draw_band_set(state, set, lines).picture,
          unknown_rom_pixels(state, set.vic, set.cia2PortA, set.pointers, lines)};
}

bool rows_equal(const SetDrawing& drawn, const Picture& frame, int y) {
  return row_matches(drawn.picture, drawn.unknown, frame, y);
}

// The last row from `a` to `end` up to which `drawn` equals the frame.
int last_equal(const SetDrawing& drawn, const Picture& frame, int a, int end) {
  int y = a;
  while (y <= end && rows_equal(drawn, frame, y)) ++y;
  return y - 1;
}

void add_unmatched(BandSearch& result, int y) {
  const int line = y + kFirstLine;
  if (!result.bands.empty() && result.bands.back().kind == BandKind::Unmatched &&
      result.bands.back().lastLine == line - 1) {
    result.bands.back().lastLine = line;
    return;
  }
  Band band;
  band.firstLine = band.lastLine = line;
  result.bands.push_back(band);
}

// Takes into `band` (its set drawn by `drawn` from row `drawnFrom` on) the
// lines above that its set draws too: unmatched lines become its own, and
// so does a band before whose every line it draws (a band the search ended
// early, misled by sprites), else it says from where it could have begun.
void extend_upward(const SearchContext& ctx, const Picture& frame, SetDrawing drawn, int drawnFrom,
                   Band& band, BandSearch& result) {
  int from = band.firstLine - kFirstLine;
  while (!result.bands.empty()) {
    Band& before = result.bands.back();
    const int top = before.firstLine - kFirstLine;
    if (top < drawnFrom) {
      drawn = draw_checked(ctx.state, band.set, {top + kFirstLine, band.lastLine});
      drawnFrom = top;
    }
    if (before.kind == BandKind::DisplayOff || before.kind == BandKind::ChangeWithinLine) {
      while (from - 1 > top && rows_equal(drawn, frame, from - 1)) --from;
      break;
    }
    while (from - 1 >= top && rows_equal(drawn, frame, from - 1)) --from;
    if (from > top && before.kind == BandKind::Unmatched && from < band.firstLine - kFirstLine) {
      before.lastLine = from - 1 + kFirstLine;
      band.firstLine = from + kFirstLine;
    }
    if (from > top) break;
    band.firstLine = top + kFirstLine;
    result.bands.pop_back();
  }
  if (from < band.firstLine - kFirstLine) band.fromLine = from + kFirstLine;
}

// Adds the band that `set` draws (`drawn`, from row `drawnFrom` on) on rows
// a to `last`, with the lines above that it draws too (extend_upward). Its
// sprites are those that show on its lines; whether it fetches from the
// character ROM area there is noted.
void add_drawn(SearchContext& ctx, const Picture& frame, const BandSet& set,
               const SetDrawing& drawn, int drawnFrom, int a, int last, BandSearch& result) {
  Band band;
  band.kind = BandKind::Drawn;
  band.firstLine = a + kFirstLine;
  band.lastLine = last + kFirstLine;
  band.set = set;
  extend_upward(ctx, frame, drawn, drawnFrom, band, result);
  // The band's lines drawn again, every sprite of the set placed, the
  // fetches going through the VIC-II's view of memory.
  const Alternative alt = alternative_of(ctx, set, 0xFF);
  const VideoSetup setup = decode_video_setup(set.vic, set.cia2PortA);
  VicMemory memory = vic_memory(ctx.state, setup);
  DrawnRow row;
  for (int line = band.firstLine; line <= band.lastLine; ++line) {
    draw_row(ctx, alt, line - kFirstLine, setup.rows25, setup.columns40, row, &memory);
    band.sprites |= row.sprites;
  }
  if (memory.readsRom && !ctx.state.charRom) result.romMissing = true;
  result.bands.push_back(band);
}

// Sets checked with the renderer per band, at most: the first one drawn
// symbolically is drawn the same unless the two drawings disagree.
constexpr int kRendererChecks = 4;

// Turns the reach from row `a` into a band checked with the renderer;
// returns its last row.
int settle(SearchContext& ctx, const Picture& frame, int a, const Reach& reach,
           BandSearch& result) {
  const int end = reach.end;
  const int color = ctx.frame.uniform[static_cast<std::size_t>(a)];
  bool off = color >= 0;
  for (int y = a; y <= end && off; ++y) {
    off = ctx.frame.uniform[static_cast<std::size_t>(y)] == color;
  }
  if (off) {  // every line the border colour
    Alternative alt = fresh_alternative(ctx, snapshot_layout(ctx));
    alt.layout.displayEnabled = false;
    alt.colors[0] = static_cast<std::int8_t>(color);
    result.bands.push_back(
        {BandKind::DisplayOff, a + kFirstLine, end + kFirstLine, {}, band_set_of(ctx, alt), 0});
    return end;
  }
  // The alternatives most like the snapshot's first; the first the
  // renderer confirms wins, else the longest run one draws from row a.
  int bestEnd = a - 1, checks = 0;
  BandSet best;
  SetDrawing bestDrawn;
  // The band's lines, and those above it back to the band before's first,
  // which add_drawn looks at.
  const int drawnFrom = result.bands.empty() ? a : result.bands.back().firstLine - kFirstLine;
  for (const Alternative& alt : reach.alts) {
    if (!alt.layout.displayEnabled) continue;
    if (checks++ == kRendererChecks) break;
    const BandSet set = band_set_of(ctx, alt);
    SetDrawing drawn = draw_checked(ctx.state, set, {drawnFrom + kFirstLine, end + kFirstLine});
    const int last = last_equal(drawn, frame, a, end);
    if (last > bestEnd) {
      bestEnd = last;
      best = set;
      bestDrawn = std::move(drawn);
    }
    if (bestEnd == end) break;
  }
  if (bestEnd < a) {
    add_unmatched(result, a);
    return a;
  }
  add_drawn(ctx, frame, best, bestDrawn, drawnFrom, a, bestEnd, result);
  return bestEnd;
}

bool same_set(const BandSet& a, const BandSet& b) {
  return a.vic == b.vic && a.cia2PortA == b.cia2PortA && a.pointers == b.pointers;
}

// Once the search has spent its budget: the previous band's set or the
// snapshot's, whichever draws more rows from `a` on, as they are.
int settle_as_they_are(SearchContext& ctx, const Picture& frame, int a,
                       const std::vector<std::pair<BandSet, SetDrawing>>& sets,
                       BandSearch& result) {
  int bestEnd = a - 1;
  const std::pair<BandSet, SetDrawing>* best = nullptr;
  for (const auto& set : sets) {
    const int last = last_equal(set.second, frame, a, kRows - 1);
    if (last > bestEnd) {
      bestEnd = last;
      best = &set;
    }
  }
  if (!best) {
    add_unmatched(result, a);
    return a;
  }
  add_drawn(ctx, frame, best->first, best->second, 0, a, bestEnd, result);
  return bestEnd;
}

bool draws_all(const SetDrawing& drawn, const Picture& frame) {
  for (int y = 0; y < kRows; ++y) {
    if (!rows_equal(drawn, frame, y)) return false;
  }
  return true;
}

// The one band of a frame the snapshot's own set draws: with the display
// off where the frame is all one colour.
BandSearch static_screen(const VideoState& state, const Picture& frame) {
  BandSearch result;
  const BandSet set = snapshot_set(state);
  const std::uint8_t color = frame.pixels[0];
  if (std::all_of(frame.pixels.begin(), frame.pixels.end(),
                  [color](std::uint8_t c) { return c == color; })) {
    Band band{BandKind::DisplayOff, kFirstLine, kFirstLine + kRows - 1, {}, set, 0};
    band.set.vic[0x11] &= 0xEF;
    band.set.vic[0x20] = static_cast<std::uint8_t>((band.set.vic[0x20] & 0xF0) | color);
    result.bands.push_back(band);
    return result;
  }
  const Frame drawn = render_frame(state);
  result.bands.push_back(
      {BandKind::Drawn, kFirstLine, kFirstLine + kRows - 1, {}, set, drawn.spritesShown});
  result.romMissing = drawn.readsCharRom && !state.charRom;
  return result;
}

}  // namespace

}  // namespace bands

BandSearch find_bands(const VideoState& state, const Picture& frame, const SearchBudget& budget) {
  using namespace bands;
  BandSearch result;
  if (frame.pixels.size() != kPicturePixels) {
    result.bands.push_back({BandKind::Unmatched, kFirstLine, kFirstLine + kRows - 1, {}, {}, 0});
    return result;
  }
  // A static screen: the snapshot's own set draws the whole frame.
  const SetDrawing own = draw_checked(state, snapshot_set(state));
  if (draws_all(own, frame)) return static_screen(state, frame);
  SearchContext ctx(state, frame, budget);
  std::optional<Alternative> previous;
  // Once the budget is spent: the band before's set (drawn once for as
  // long as it stays the one) and the snapshot's.
  std::optional<std::pair<BandSet, SetDrawing>> before;
  for (int a = 0; a < kRows;) {
    if (ctx.exhausted) {
      std::vector<std::pair<BandSet, SetDrawing>> sets;
      if (!result.bands.empty() && result.bands.back().kind == BandKind::Drawn) {
        const BandSet& set = result.bands.back().set;
        if (!before || !same_set(before->first, set)) {
          before.emplace(set, draw_checked(state, set));
        }
        sets.push_back(*before);
      }
      sets.emplace_back(snapshot_set(state), own);
      a = settle_as_they_are(ctx, frame, a, sets, result) + 1;
      continue;
    }
    const Reach reach = grow_band(ctx, a, previous);
    if (ctx.exhausted) continue;
    if (reach.end < a) {
      add_unmatched(result, a);
      ++a;
      continue;
    }
    a = settle(ctx, frame, a, reach, result) + 1;
    const Band& last = result.bands.back();
    if (last.kind == BandKind::Drawn) {
      previous = alternative_of(ctx, last.set, last.sprites);
      previous->layout.rows = previous->layout.columns = 3;
      ctx.previousSprites = previous->sprites;
    }
  }
  explain_line_changes(state, frame, result.bands);
  result.cutShort = ctx.cutShort;
  return result;
}
