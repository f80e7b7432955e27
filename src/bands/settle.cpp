// Settling the bands: each reach checked with the renderer and made a
// band (drawn, display off or unmatched), the lines above its set draws
// too taken in, the sets as they are once the budget is spent.

#include <algorithm>

#include "bands/band_model.h"
#include "render/unknown_pixels.h"
#include "render/vic_geometry.h"

namespace bands {

SetDrawing draw_checked(const VideoState& state, const BandSet& set, LineRange lines) {
  return {draw_band_set(state, set, lines).picture,
          unknown_rom_pixels(state, set.vic, set.cia2PortA, set.pointers, lines)};
}

namespace {

bool rows_equal(const SetDrawing& drawn, const Picture& frame, int y) {
  return row_matches(drawn.picture, drawn.unknown, frame, y);
}

// The last row from `a` to `end` up to which `drawn` equals the frame.
int last_equal(const SetDrawing& drawn, const Picture& frame, int a, int end) {
  int y = a;
  while (y <= end && rows_equal(drawn, frame, y)) ++y;
  return y - 1;
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
      drawn = draw_checked(ctx.in.state, band.set, {top + kFirstLine, band.lastLine});
      drawnFrom = top;
    }
    if (before.kind == BandKind::ChangeWithinLine) {
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
  const Alternative alt = alternative_of(ctx.in, set, 0xFF);
  const VideoSetup setup = decode_video_setup(set.vic, set.cia2PortA);
  VicMemory memory = vic_memory(ctx.in.state, setup);
  DrawnRow row;
  for (int line = band.firstLine; line <= band.lastLine; ++line) {
    draw_row(ctx, alt, line - kFirstLine, setup.rows25, setup.columns40, row, &memory);
    band.sprites |= row.sprites;
  }
  if (memory.readsRom && !ctx.in.state.charRom) result.romMissing = true;
  result.bands.push_back(band);
}

// Sets checked with the renderer per band, at most: the first one drawn
// symbolically is drawn the same unless the two drawings disagree.
constexpr int kRendererChecks = 4;

}  // namespace

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

// The register set an alternative stands for: RSEL as the snapshot has it
// where the band's rows do not tell, but after a band with the display off
// (and unmatched lines) whose every line the other value draws, that one:
// those bands are then taken in.
BandSet set_of(SearchContext& ctx, const Alternative& alt, const Picture& frame,
               const BandSearch& result) {
  const BandSet own = band_set_of(ctx, alt);
  const std::size_t count = result.bands.size();
  std::size_t off = count;
  if (count >= 1 && result.bands[count - 1].kind == BandKind::DisplayOff) off = count - 1;
  if (count >= 2 && result.bands[count - 1].kind == BandKind::Unmatched &&
      result.bands[count - 2].kind == BandKind::DisplayOff) {
    off = count - 2;
  }
  if (off == count || alt.layout.rows != 3) return own;
  const int first = result.bands[off].firstLine, last = result.bands.back().lastLine;
  Alternative other = alt;
  other.layout.rows = static_cast<std::uint8_t>(1 << !ctx.in.snapshot.rows25);
  const BandSet set = band_set_of(ctx, other);
  const SetDrawing drawn = draw_checked(ctx.in.state, set, {first, last});
  for (int line = first; line <= last; ++line) {
    if (!rows_equal(drawn, frame, line - kFirstLine)) return own;
  }
  return set;
}

// Turns the reach from row `a` into a band checked with the renderer;
// returns its last row.
int settle(SearchContext& ctx, const Picture& frame, int a, const Reach& reach,
           BandSearch& result) {
  const int end = reach.end;
  const int color = ctx.in.frame.uniform[static_cast<std::size_t>(a)];
  bool off = color >= 0;
  for (int y = a; y <= end && off; ++y) {
    off = ctx.in.frame.uniform[static_cast<std::size_t>(y)] == color;
  }
  if (off) {  // every line the border colour
    Alternative alt = fresh_alternative(ctx.in, snapshot_layout(ctx.in));
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
    const BandSet set = set_of(ctx, alt, frame, result);
    SetDrawing drawn = draw_checked(ctx.in.state, set, {drawnFrom + kFirstLine, end + kFirstLine});
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

}  // namespace bands
