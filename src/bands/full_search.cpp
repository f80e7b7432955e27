// Fitting a row's layout, its search: every layout that draws a row with
// detail; for each horizontal and vertical scroll and mode the row is cut
// into cells, and each bank, screen and character set (or bitmap) is tried
// cell by cell, the most telling cells first, until one cannot be drawn.

#include <algorithm>
#include <bit>

#include "bands/band_model.h"
#include "render/vic_geometry.h"

namespace bands {

namespace {

constexpr int kCells = kCellColumns;
constexpr int kLeft40 = kWidestWindow.left, kRight40 = kWidestWindow.right;
constexpr int kLeft38 = kNarrowestWindow.left, kRight38 = kNarrowestWindow.right;
constexpr int kValidModes = 5;  // text, multicolour text, hires and multicolour bitmap, ECM text

// A cell of a frame row cut at a horizontal scroll: its 8 pixels, those in
// the columns every window shows (39-342) and those in the strips only a
// 40-column window shows, and per colour its pixels of that colour (bit 7:
// pixel 0).
struct FrameCell {
  std::array<std::uint8_t, 8> pixel{};
  std::uint8_t core = 0, strip = 0;
  std::array<std::uint8_t, 16> coreEqual{}, stripEqual{};
  int colors = 0;  // distinct colours in the core columns
};

using Registers = BackgroundColors;

// Whether the cell's visible pixels are drawn, the registers they take
// being consistent.
bool match_cell(const CellColors& cell, std::uint8_t g, std::uint8_t visible,
                const std::array<std::uint8_t, 16>& equal, const std::array<std::uint8_t, 8>& pixel,
                Registers& registers) {
  for (int v = 0; v < (cell.pairs ? 4 : 2); ++v) {
    const auto mv = static_cast<std::uint8_t>(value_pixels(cell.pairs, v, g) & visible);
    if (!mv) continue;
    int color = cell.color[static_cast<std::size_t>(v)];
    if (color >= 16) {
      std::int8_t& r = registers[static_cast<std::size_t>(color - kBackground)];
      if (r < 0) {
        const int first = pixel[static_cast<std::size_t>(std::countl_zero(mv))];
        if (first >= 16) return false;
        r = static_cast<std::int8_t>(first);
      }
      color = r;
    }
    if (mv & ~equal[static_cast<std::size_t>(color)]) return false;
  }
  return true;
}

bool pairs_equal(const FrameCell& f) {
  for (int q = 0; q < 4; ++q) {
    const int both = 3 << (6 - 2 * q);
    if ((f.core & both) == both &&
        f.pixel[static_cast<std::size_t>(2 * q)] != f.pixel[static_cast<std::size_t>(2 * q + 1)]) {
      return false;
    }
  }
  return true;
}

// Whether some memory could draw the cells in `mode` with colour RAM row
// `colors` (text modes): a quick test before the memory is searched.
bool plausible(int mode, const std::array<FrameCell, kCells>& cells, const std::uint8_t* colors) {
  unsigned byRegisters = 0;  // colours the background registers would draw
  for (int c = 0; c < kCells; ++c) {
    const FrameCell& f = cells[static_cast<std::size_t>(c)];
    if (!f.core) continue;
    unsigned present = 0;
    for (int p = 0; p < 8; ++p) {
      if (f.core >> (7 - p) & 1) present |= 1u << (f.pixel[static_cast<std::size_t>(p)] & 31);
    }
    if (present >> 16) return false;
    const int m = colors[c] & 15;
    const int fore = mode == 1 ? m & 7 : m;
    const unsigned others = present & ~(1u << fore);
    switch (mode) {
      case 0:
      case 4:
        if (bit_count(others) > 1) return false;
        byRegisters |= others;
        break;
      case 1:
        if ((m & 8) ? !pairs_equal(f) : bit_count(others) > 1) return false;
        byRegisters |= others;
        break;
      case 2:
        if (bit_count(present) > 2) return false;
        break;
      default:
        if (!pairs_equal(f) || bit_count(present) > 4) return false;
        break;
    }
  }
  const int registers = mode == 0 ? 1 : mode == 1 ? 3 : 4;
  return bit_count(byRegisters) <= registers;
}

bool is_hidden(const RowBits& hidden, int column) {
  return hidden[static_cast<std::size_t>(column >> 6)] >> (column & 63) & 1;
}

// The cells at horizontal scroll x, leaving out the `hidden` columns.
std::array<FrameCell, kCells> cut_cells(const std::uint8_t* row, int x, const RowBits& hidden) {
  std::array<FrameCell, kCells> cells{};
  for (int c = 0; c < kCells; ++c) {
    FrameCell& f = cells[static_cast<std::size_t>(c)];
    unsigned present = 0;
    for (int p = 0; p < 8; ++p) {
      const int column = kGraphicsLeft + x + 8 * c + p;
      if (column > kRight40) break;
      const std::uint8_t color = row[column];
      const auto bit = static_cast<std::uint8_t>(0x80 >> p);
      f.pixel[static_cast<std::size_t>(p)] = color;
      if (is_hidden(hidden, column)) continue;
      const bool core = column >= kLeft38 && column <= kRight38;
      (core ? f.core : f.strip) |= bit;
      if (color < 16) (core ? f.coreEqual : f.stripEqual)[color] |= bit;
      if (core) present |= 1u << (color & 31);
    }
    f.colors = bit_count(present);
  }
  return cells;
}

// A frame row cut at one horizontal scroll x: its cells, those with
// pixels in the core columns (the most colourful first) and in the strips,
// and the colour of the columns left of the first cell (-1: none shown,
// -2: more than one).
struct RowCut {
  int x = 0;
  std::array<FrameCell, kCells> cells{};
  std::vector<int> order, strips;
  int leftStrip = -1;
};

RowCut cut_row(const std::uint8_t* row, int x, const RowBits& hidden) {
  RowCut cut;
  cut.x = x;
  cut.cells = cut_cells(row, x, hidden);
  for (int column = kGraphicsLeft; column < kGraphicsLeft + x; ++column) {
    if (is_hidden(hidden, column)) continue;
    if (cut.leftStrip == -1) cut.leftStrip = row[column] < 16 ? row[column] : -2;
    if (row[column] != cut.leftStrip) cut.leftStrip = -2;
  }
  for (int c = 0; c < kCells; ++c) {
    if (cut.cells[static_cast<std::size_t>(c)].core) cut.order.push_back(c);
    if (cut.cells[static_cast<std::size_t>(c)].strip) cut.strips.push_back(c);
  }
  std::stable_sort(cut.order.begin(), cut.order.end(), [&cut](int a, int b) {
    return cut.cells[static_cast<std::size_t>(a)].colors >
           cut.cells[static_cast<std::size_t>(b)].colors;
  });
  return cut;
}

// One vertical scroll and mode tried on a cut row: the text row r and its
// pixel line k (or idle), the row's colour RAM.
struct Trial {
  const RowCut& cut;
  int yScroll, r, k;
  bool idle;
  const std::uint8_t* colors;
  int mode;
};

// Cells whose fore colour (colour RAM) tells their graphics byte: those of
// two colours, fore and background, all eight pixels shown.
struct Told {
  std::array<std::uint8_t, 3> bytes{};
  std::size_t count = 0;
};
Told told_bytes(const Trial& t) {
  Told told;
  if (t.idle || (t.mode & 2)) return told;
  for (std::size_t i = 0; i < t.cut.order.size() && told.count < told.bytes.size(); ++i) {
    const FrameCell& f = t.cut.cells[static_cast<std::size_t>(t.cut.order[i])];
    const int m = t.colors[t.cut.order[i]] & 15;
    if (f.core != 0xFF || (t.mode == 1 && (m & 8))) continue;
    const std::uint8_t fore = f.coreEqual[static_cast<std::size_t>(t.mode == 1 ? m & 7 : m)];
    if (fore != 0 && fore != 0xFF) told.bytes[told.count++] = fore;
  }
  return told;
}

// Without the screen matrix: whether the character set (`pointer`) holds
// the told bytes, the bitmap's bytes split their cells' pixels into colours.
bool possible(SearchContext& ctx, const Trial& t, const Told& told, int bank, int pointer) {
  for (std::size_t i = 0; i < told.count; ++i) {
    const auto& lines = ctx.glyph_lines(bank, pointer, t.k, t.mode & 4);
    const std::uint8_t g = told.bytes[i];
    if (!(lines[g >> 6] >> (g & 63) & 1)) return false;
  }
  if (!(t.mode & 2) || t.idle) return true;
  const std::uint8_t* memory = ctx.view(bank);
  for (std::size_t i = 0; i < t.cut.order.size() && i < 4; ++i) {
    const FrameCell& f = t.cut.cells[static_cast<std::size_t>(t.cut.order[i])];
    const int cell = t.r * kCells + t.cut.order[i];
    const auto address = static_cast<unsigned>(pointer * 0x2000 + cell * 8 + t.k);
    if (ctx.unknown(bank, address)) continue;
    const std::uint8_t g = memory[address & 0x3FFF];
    for (int v = 0; v < ((t.mode & 1) ? 4 : 2); ++v) {
      const auto mv = static_cast<std::uint8_t>(value_pixels(t.mode & 1, v, g) & f.core);
      if (!mv) continue;
      const int color = f.pixel[static_cast<std::size_t>(std::countl_zero(mv))];
      if (color >= 16 || (mv & ~f.coreEqual[static_cast<std::size_t>(color)])) return false;
    }
  }
  return true;
}

// Whether bank `bank` with $D018 `d018` draws the trial's cells, and with
// which columns (bit 0: 38, bit 1: 40; 0: none); the background colours it
// needs go to `registers`. A cell whose bytes come from glyphs the state
// does not know matches any pixels; a layout that draws only such cells
// tells nothing and is not offered (the snapshot's and the band before's
// are tried anyway).
std::uint8_t draws_cells(SearchContext& ctx, const Trial& t, int bank, std::uint8_t d018,
                         bool stripsBorder, Registers& registers) {
  const std::uint8_t* memory = ctx.view(bank);
  const auto cell_of = [&](int c, std::uint8_t& g) -> std::optional<CellColors> {
    if (t.idle) {
      g = memory[(t.mode & 4) ? 0x39FF : 0x3FFF];
      return cell_symbols(t.mode, 0, 0);
    }
    const int cell = t.r * kCells + c;
    const auto at = static_cast<unsigned>((d018 >> 4) * 0x400 + cell);
    const std::uint8_t s = memory[at & 0x3FFF];
    const unsigned address = graphics_address(t.mode, d018, cell, s, t.k);
    if (ctx.unknown(bank, at) || ctx.unknown(bank, address)) return std::nullopt;
    g = memory[address & 0x3FFF];
    return cell_symbols(t.mode, s, t.colors[c] & 15);
  };
  int known = 0;  // cells drawn from memory the state knows
  for (int c : t.cut.order) {
    std::uint8_t g = 0;
    const std::optional<CellColors> cell = cell_of(c, g);
    const FrameCell& f = t.cut.cells[static_cast<std::size_t>(c)];
    known += cell.has_value();
    if (cell && !match_cell(*cell, g, f.core, f.coreEqual, f.pixel, registers)) return 0;
  }
  if (known == 0 && !t.cut.order.empty()) return 0;
  // The strips: border (38 columns) or graphics (40 columns).
  bool strip = t.cut.leftStrip != -2;
  if (strip && t.cut.leftStrip >= 0) {
    if (registers[0] < 0) registers[0] = static_cast<std::int8_t>(t.cut.leftStrip);
    strip = registers[0] == t.cut.leftStrip;
  }
  for (std::size_t i = 0; i < t.cut.strips.size() && strip; ++i) {
    std::uint8_t g = 0;
    const std::optional<CellColors> cell = cell_of(t.cut.strips[i], g);
    const FrameCell& f = t.cut.cells[static_cast<std::size_t>(t.cut.strips[i])];
    strip = !cell || match_cell(*cell, g, f.strip, f.stripEqual, f.pixel, registers);
  }
  return static_cast<std::uint8_t>(stripsBorder | strip << 1);
}

// The layouts of one trial: every bank, character set or bitmap, and
// screen that draws its cells. False once the search's work is spent.
bool search_trial(SearchContext& ctx, const Trial& t, std::uint8_t rows, bool stripsBorder,
                  std::vector<Layout>& found, std::vector<BackgroundColors>* needs) {
  const bool bitmap = t.mode & 2;
  const Told told = told_bytes(t);
  const std::uint8_t own = ctx.in.snapshot.d018;
  for (int bank = 0; bank < 4; ++bank) {
    for (int pointer = 0; pointer < (t.idle ? 1 : bitmap ? 2 : 8); ++pointer) {
      if (!possible(ctx, t, told, bank, pointer)) continue;
      ctx.spent.searchWork += t.idle ? 1 : 16;
      if (ctx.spent.searchWork > ctx.spent.budget.searchWork) {
        ctx.spent.exhausted = ctx.spent.cutShort = true;
        return false;
      }
      for (int screen = 0; screen < (t.idle ? 1 : 16); ++screen) {
        const auto d018 =
            static_cast<std::uint8_t>(t.idle   ? own
                                      : bitmap ? screen << 4 | pointer << 3 | (own & 6)
                                               : screen << 4 | pointer << 1);
        Registers registers{-1, -1, -1, -1};
        const std::uint8_t columns = draws_cells(ctx, t, bank, d018, stripsBorder, registers);
        if (!columns) continue;
        found.push_back({true, static_cast<std::uint8_t>(t.mode),
                         static_cast<std::uint8_t>(t.cut.x), static_cast<std::uint8_t>(t.yScroll),
                         static_cast<std::uint8_t>(bank), d018, rows, columns, t.idle});
        if (needs) needs->push_back(registers);
      }
    }
  }
  return true;
}

// The layouts that draw row y, `hidden` columns aside; with the horizontal
// scroll `onlyX` alone unless it is negative.
// `needs`, when given, gets for each layout the values it needs in
// $D021-$D024 (-1: any).
std::vector<Layout> search_row(SearchContext& ctx, int y, const RowBits& hidden, int onlyX = -1,
                               std::vector<BackgroundColors>* needs = nullptr) {
  std::vector<Layout> found;
  const int border = ctx.in.frame.border[static_cast<std::size_t>(y)];
  const int line = y + kFirstLine;
  if (border < 0 || !in_rows(line, true)) return found;
  const std::uint8_t* row = ctx.in.frame.row(y);
  const auto rows = static_cast<std::uint8_t>(in_rows(line, false) ? 3 : 2);
  const auto is_border = [border](std::uint8_t c) { return c == border; };
  const bool stripsBorder = std::all_of(row + kLeft40, row + kLeft38, is_border) &&
                            std::all_of(row + kRight38 + 1, row + kRight40 + 1, is_border);
  for (int x = 0; x < 8; ++x) {
    if (onlyX >= 0 && x != onlyX) continue;
    const RowCut cut = cut_row(row, x, hidden);
    for (int yScroll = 0; yScroll < 8; ++yScroll) {
      const int rowLine = line - kFirstRowLine - yScroll;
      const bool idle = rowLine < 0 || rowLine >= kGraphicsLines;
      const int r = idle ? 0 : rowLine / 8;
      const std::uint8_t* colors = ctx.in.state.colorRam.data() + r * kCells;
      for (int mode = 0; mode < kValidModes; ++mode) {
        if (!idle && !plausible(mode, cut.cells, colors)) continue;
        const Trial trial{cut, yScroll, r, rowLine & 7, idle, colors, mode};
        if (!search_trial(ctx, trial, rows, stripsBorder, found, needs)) return found;
      }
    }
  }
  return found;
}

// Sorts layouts most like the snapshot's first, keeping the first `keep`.
// The order of layouts most like the snapshot's first: their differences
// (each below 16) packed into one number, then their position.
std::vector<std::pair<std::uint32_t, std::uint32_t>> ranked(const SearchInputs& in,
                                                            const std::vector<Layout>& layouts) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> keys;
  keys.reserve(layouts.size());
  for (std::size_t i = 0; i < layouts.size(); ++i) {
    const Difference d = layout_difference(in, layouts[i]);
    keys.emplace_back(static_cast<std::uint32_t>(d[0] << 12 | d[1] << 8 | d[2] << 4 | d[3]),
                      static_cast<std::uint32_t>(i));
  }
  std::sort(keys.begin(), keys.end());
  return keys;
}

void sort_by_difference(const SearchInputs& in, std::vector<Layout>& layouts) {
  std::vector<Layout> sorted;
  sorted.reserve(layouts.size());
  for (const auto& key : ranked(in, layouts)) sorted.push_back(layouts[key.second]);
  layouts = std::move(sorted);
}

}  // namespace

const std::vector<Layout>& full_search(SearchContext& ctx, int y) {
  std::optional<std::vector<Layout>>& cached = ctx.cache.fullSearches[static_cast<std::size_t>(y)];
  if (!cached) {
    cached = search_row(ctx, y, RowBits{});
    sort_by_difference(ctx.in, *cached);
  }
  return *cached;
}

// Whether the row's columns that are not hidden show a display window of
// one colour: any layout draws them, and the search would find them all.
bool featureless_but(const SearchInputs& in, int y, const RowBits& hidden) {
  const std::uint8_t* row = in.frame.row(y);
  const int border = in.frame.border[static_cast<std::size_t>(y)];
  int inner = -1;
  for (int column = kLeft38; column <= kRight38; ++column) {
    if (is_hidden(hidden, column)) continue;
    if (inner < 0) inner = row[column];
    if (row[column] != inner) return false;
  }
  const auto strip = [&](int from, int to) {
    int kind = 3;  // bit 0: all border so far, bit 1: all inner
    for (int column = from; column <= to; ++column) {
      if (is_hidden(hidden, column)) continue;
      kind &= (row[column] == border) | (row[column] == inner) << 1;
    }
    return kind;
  };
  return (strip(kLeft40, kLeft38 - 1) & strip(kRight38 + 1, kRight40)) != 0;
}

const std::vector<Layout>& masked_search(SearchContext& ctx, int y, const RowBits& hidden) {
  auto& cached = ctx.cache.maskedSearches[static_cast<std::size_t>(y)];
  for (const auto& [mask, layouts] : cached) {
    if (mask == hidden) return layouts;
  }
  std::vector<Layout> found;
  if (!featureless_but(ctx.in, y, hidden)) {
    found = search_row(ctx, y, hidden);
    sort_by_difference(ctx.in, found);
  }
  cached.emplace_back(hidden, std::move(found));
  return cached.back().second;
}

const BlankLayouts& blank_search(SearchContext& ctx, int y, const RowBits& hidden) {
  auto& cached = ctx.cache.blankSearches[static_cast<std::size_t>(y)];
  for (const auto& [mask, layouts] : cached) {
    if (mask == hidden) return layouts;
  }
  std::vector<BackgroundColors> needs;
  std::vector<Layout> found = search_row(ctx, y, hidden, ctx.in.snapshot.xScroll, &needs);
  const std::uint8_t* row = ctx.in.frame.row(y);
  const int line = y + kFirstLine;
  int inner = kLeft38;
  while (inner < kRight38 && is_hidden(hidden, inner)) ++inner;
  if (in_rows(line, true) && row[inner] == 0 && featureless_but(ctx.in, y, hidden)) {
    // The invalid modes draw black whatever they fetch.
    const int border = row[0];
    const bool stripsBlack = row[kLeft40] == 0 && row[kRight40] == 0;
    const bool stripsBorder = row[kLeft40] == border && row[kRight40] == border;
    Layout l = snapshot_layout(ctx.in);
    l.rows = static_cast<std::uint8_t>(in_rows(line, false) ? 3 : 2);
    l.columns = static_cast<std::uint8_t>(stripsBorder | stripsBlack << 1);
    for (int mode : {5, 6, 7}) {
      l.mode = static_cast<std::uint8_t>(mode);
      found.push_back(l);
      needs.push_back({-1, -1, -1, -1});
    }
  }
  BlankLayouts blank;
  for (const auto& key : ranked(ctx.in, found)) {
    blank.codes.emplace_back(layout_code(found[key.second]),
                             static_cast<std::uint32_t>(blank.layouts.size()));
    blank.layouts.push_back(found[key.second]);
    blank.needs.push_back(needs[key.second]);
  }
  std::sort(blank.codes.begin(), blank.codes.end());
  cached.emplace_back(hidden, std::move(blank));
  return cached.back().second;
}

Difference layout_difference(const SearchInputs& in, const Layout& l) {
  const VideoSetup& s = in.snapshot;
  const auto differs = [](bool a, bool b) { return a != b ? 1 : 0; };
  const int d011 = differs(l.mode >> 2 & 1, s.extendedColorMode) +
                   differs(l.mode >> 1 & 1, s.bitmapMode) +
                   differs(l.displayEnabled, s.displayEnabled) + !(l.rows >> s.rows25 & 1) +
                   bit_count(static_cast<unsigned>(l.yScroll ^ s.yScroll));
  const int d016 = differs(l.mode & 1, s.multicolorMode) + !(l.columns >> s.columns40 & 1) +
                   bit_count(static_cast<unsigned>(l.xScroll ^ s.xScroll));
  const int d018 = l.d018Open ? 0 : bit_count(static_cast<unsigned>((l.d018 ^ s.d018) & 0xFE));
  return {l.bank != in.snapshotBank, d018, d011, d016, 0, 0, 0};
}

Difference difference(const SearchInputs& in, const Alternative& alt) {
  Difference d = layout_difference(in, alt.layout);
  for (int r = 0; r < kColorRegisters; ++r) {
    const int c = alt.colors[static_cast<std::size_t>(r)];
    d[4] += c >= 0 && c != (in.state.vic[0x20 + static_cast<std::size_t>(r)] & 15);
  }
  for (std::size_t n = 0; n < 8; ++n) {
    const SpritePlace& place = alt.sprites[n];
    const SpriteSetup& sprite = in.snapshot.sprites[n];
    if (place.use == SpriteUse::Shown) {
      d[5] += place.x != sprite.x || place.y != sprite.y;
      d[6] += place.pointer != in.snapshotPointers[n];
    } else if (place.use == SpriteUse::Off) {
      d[5] += sprite.enabled;
    }
  }
  return d;
}

}  // namespace bands
