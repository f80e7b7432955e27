// Settling the bands: a run of unmatched lines that the set of the band
// above draws left of some column and the set of the band below from it on
// becomes a change within the line between those two bands.

#include <algorithm>

#include "bands/band_model.h"
#include "render/unknown_pixels.h"

namespace bands {

namespace {

bool has_set(const Band& band) {
  return band.kind == BandKind::Drawn || band.kind == BandKind::DisplayOff;
}

// A set's drawing of some lines, with the pixels it leaves unknown.
struct LinesDrawn {
  Picture picture;
  std::vector<std::uint8_t> unknown;
  bool matches(const Picture& frame, std::size_t i) const {
    return picture.pixels[i] == frame.pixels[i] || (!unknown.empty() && unknown[i]);
  }
};

LinesDrawn draw_lines(const VideoState& state, const BandSet& set, int first, int last) {
  return {draw_band_set(state, set, {first, last}).picture,
          unknown_rom_pixels(state, set.vic, set.cia2PortA, set.pointers, {first, last})};
}

// The first column the right set draws on picture row y, the left set
// drawing every column before it; -1 when no column splits the row so.
int split_column(const LinesDrawn& left, const LinesDrawn& right, const Picture& frame, int y) {
  const auto row = static_cast<std::size_t>(y) * kColumns;
  int leftEnd = 0;  // the left set draws columns 0 to leftEnd - 1
  while (leftEnd < kColumns && left.matches(frame, row + static_cast<std::size_t>(leftEnd))) {
    ++leftEnd;
  }
  int rightFrom = kColumns;  // the right set draws columns rightFrom to 383
  while (rightFrom > 0 && right.matches(frame, row + static_cast<std::size_t>(rightFrom) - 1)) {
    --rightFrom;
  }
  return rightFrom <= leftEnd ? rightFrom : -1;
}

// The pieces an unmatched band between two sets becomes: runs of lines
// split within the line, and runs nothing explains.
std::vector<Band> explain(const VideoState& state, const Picture& frame, const Band& unmatched,
                          const Band& above, const Band& below) {
  const LinesDrawn left = draw_lines(state, above.set, unmatched.firstLine, unmatched.lastLine);
  const LinesDrawn right = draw_lines(state, below.set, unmatched.firstLine, unmatched.lastLine);
  std::vector<Band> pieces;
  for (int line = unmatched.firstLine; line <= unmatched.lastLine; ++line) {
    const int column = split_column(left, right, frame, line - kFirstLine);
    const BandKind kind = column < 0 ? BandKind::Unmatched : BandKind::ChangeWithinLine;
    if (pieces.empty() || pieces.back().kind != kind) {
      Band piece;
      piece.kind = kind;
      piece.firstLine = line;
      piece.firstColumn = piece.lastColumn = column;
      pieces.push_back(piece);
    }
    Band& piece = pieces.back();
    piece.lastLine = line;
    piece.firstColumn = std::min(piece.firstColumn, column);
    piece.lastColumn = std::max(piece.lastColumn, column);
  }
  return pieces;
}

}  // namespace

void explain_line_changes(const VideoState& state, const Picture& frame, std::vector<Band>& bands) {
  std::vector<Band> settled;
  settled.reserve(bands.size());
  for (std::size_t i = 0; i < bands.size(); ++i) {
    const Band& band = bands[i];
    if (band.kind != BandKind::Unmatched || i == 0 || i + 1 == bands.size() ||
        !has_set(bands[i - 1]) || !has_set(bands[i + 1])) {
      settled.push_back(band);
      continue;
    }
    std::vector<Band> pieces = explain(state, frame, band, bands[i - 1], bands[i + 1]);
    const int left = static_cast<int>(settled.size()) - 1;
    const int right = left + 1 + static_cast<int>(pieces.size());
    for (Band& piece : pieces) {
      if (piece.kind == BandKind::ChangeWithinLine) {
        piece.leftBand = left;
        piece.rightBand = right;
      } else {
        piece.firstColumn = piece.lastColumn = 0;
      }
      settled.push_back(piece);
    }
  }
  bands = std::move(settled);
}

}  // namespace bands
