// The search of the bands, stage by stage: a static screen at once, else
// from each first row a band grown (grow.cpp) and settled (settle.cpp),
// and the unmatched runs between two sets explained (line_changes.cpp).

#include "bands/band_search.h"

#include <algorithm>

#include "bands/band_model.h"

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
    if (ctx.spent.exhausted) {
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
    if (ctx.spent.exhausted) continue;
    if (reach.end < a) {
      add_unmatched(result, a);
      ++a;
      continue;
    }
    a = settle(ctx, frame, a, reach, result) + 1;
    const Band& last = result.bands.back();
    if (last.kind == BandKind::Drawn) {
      previous = alternative_of(ctx.in, last.set, last.sprites);
      previous->layout.rows = previous->layout.columns = 3;
      ctx.band.previousSprites = previous->sprites;
    }
  }
  explain_line_changes(state, frame, result.bands);
  result.cutShort = ctx.spent.cutShort;
  return result;
}
