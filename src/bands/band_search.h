#pragma once

// The register sets ("bands") that drew a raster-split frame: the frame VICE
// saved is cut into runs of raster lines, each drawn pixel for pixel by one
// set of the registers that decide what the screen shows, from the
// snapshot's memory.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/picture.h"
#include "render/render_frame.h"
#include "snapshot/video_state.h"

// A register set that draws a band: the VIC-II registers $D000-$D02E, CIA2
// port A (the snapshot's byte with the band's bank bits) and the eight
// sprite pointers it draws with. It differs from the snapshot's registers
// only in $D011, $D016, $D018, the bank, $D020-$D02E and the sprite
// registers; what the band never shows keeps the snapshot's value.
struct BandSet {
  RegisterImages vic{};
  std::uint8_t cia2PortA = 0;
  SpritePointers pointers{};
};

enum class BandKind {
  Drawn,       // the set draws the band's lines
  DisplayOff,  // every line is the border colour: the set has DEN clear
  Unmatched,   // no register set draws these lines
  // The registers change within each line: the set of the band leftBand
  // draws its left part, that of the band rightBand the rest.
  ChangeWithinLine,
};

struct Band {
  BandKind kind = BandKind::Unmatched;
  int firstLine = 0, lastLine = 0;  // raster lines, 16-287, inclusive
  // Drawn bands: the set also draws the lines from this one to firstLine - 1,
  // so the program may have switched to it anywhere from there on.
  std::optional<int> fromLine;
  BandSet set;               // Drawn and DisplayOff
  std::uint8_t sprites = 0;  // bit n: sprite n gives a pixel of the band's lines
  // ChangeWithinLine: the bands (indices into BandSearch::bands) whose sets
  // draw each line left of a picture column and from it on, and the least
  // and greatest of those columns (the first the right set draws) over
  // the band's lines.
  int leftBand = -1, rightBand = -1;
  int firstColumn = 0, lastColumn = 0;
};

struct BandSearch {
  std::vector<Band> bands;  // in line order, covering lines 16-287
  bool cutShort = false;    // a cap of the search was reached: there may be fewer bands
  bool romMissing =
      false;  // a band fetches from the character ROM area, and the state holds no ROM
};

// The fewest bands the search reaches for `frame` (384 x 272, row 0 being
// raster line 16) drawn from `state`'s memory. Every Drawn and DisplayOff
// band has been drawn by render_frame and equals the frame on its lines
// (pixels that depend on a glyph of the character ROM the state does not
// know count as neither a match nor a mismatch); lines that the sets of
// the bands above and below draw on either side of a column are a
// ChangeWithinLine band between them.
// Deterministic, and bounded in time whatever the state and the frame.
//
// The work of one search is bounded by `budget`: where one of its counts is
// spent the search is cut short and the rest of the frame takes the sets
// as they are. Smaller budgets reach the same paths sooner (the fuzz
// targets use them).
struct SearchBudget {
  long spriteWork = 1L << 22;  // sprite placements (sprite, block, row) and rows below them
  long refines = 1L << 16;     // rows drawn by the alternatives
  long searchWork = 1L << 23;  // layouts tried on rows
};
BandSearch find_bands(const VideoState& state, const Picture& frame,
                      const SearchBudget& budget = {});

// The frame `set` draws from `state`'s memory (its RAM, colour RAM and
// character ROM) with render_frame.
// Only the raster lines of `lines` are drawn when given (render_frame).
Frame draw_band_set(const VideoState& state, const BandSet& set, LineRange lines = {});

// The snapshot's own register set: its registers and port, and the pointers
// in its screen matrix.
BandSet snapshot_set(const VideoState& state);

// Band `number`'s line of the report, with its line end, e.g.
// "Band 2: lines 147-287: Text in Bank $0000, charset $3000, screen $0400 (...).".
std::string band_line(int number, const Band& band);
