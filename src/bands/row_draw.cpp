// Drawing a row: an alternative's symbolic drawing of a picture row, with
// the renderer's pixels over symbols, and the drawn row set against the
// frame's.

#include <algorithm>
#include <bit>
#include <tuple>

#include "bands/band_model.h"
#include "render/sprite_pixels.h"
#include "render/vic_geometry.h"

namespace bands {

namespace {

// Fetches of a row's drawing: through the VIC-II's view of memory (which
// notes character ROM reads) when tracked, else from the search's copy.
struct RowReader {
  const std::uint8_t* view;
  VicMemory* tracking;
  std::uint8_t operator()(unsigned address) const {
    return tracking ? vic_read(*tracking, address) : view[address & 0x3FFF];
  }
};

// The window's graphics of raster line `line`, as render_frame draws them:
// left of the first cell the background (black in the invalid modes), then
// 40 cells; pixels of glyphs the state does not know are kAnyColor.
void draw_graphics(const SearchContext& ctx, const Layout& l, int line, const RowReader& read,
                   DrawnRow& out) {
  const bool ecm = l.mode & 4;
  const std::uint8_t background = ecm && (l.mode & 3) ? 0 : kBackground;
  const int firstCell = kGraphicsLeft + l.xScroll;
  for (int x = out.left; x < firstCell && x <= out.right; ++x) {
    out.symbol[static_cast<std::size_t>(x)] = background;
  }
  if (background) out.registers |= 2;
  const int rowLine = line - kFirstRowLine - l.yScroll;
  const bool idle = rowLine < 0 || rowLine >= kGraphicsLines;
  const unsigned screen = (l.d018 >> 4) * 0x400u;
  const std::uint8_t idleByte = idle ? read(ecm ? 0x39FF : 0x3FFF) : 0;
  for (int c = 0; c < 40; ++c) {
    std::uint8_t s = 0, m = 0, g = idleByte;
    bool unknown = false;  // the cell's bytes come from glyphs the state does not know
    if (!idle) {
      const int cell = rowLine / 8 * 40 + c;
      s = read(screen + static_cast<unsigned>(cell));
      m = ctx.in.state.colorRam[static_cast<std::size_t>(cell)] & 15;
      const unsigned address = graphics_address(l.mode, l.d018, cell, s, rowLine & 7);
      g = read(address);
      unknown =
          ctx.unknown(l.bank, screen + static_cast<unsigned>(cell)) || ctx.unknown(l.bank, address);
    }
    CellColors cell = cell_symbols(l.mode, s, m);
    if (unknown) cell.color.fill(kAnyColor);
    for (const std::uint8_t sym : cell.color) {
      if (sym >= 16 && sym != kAnyColor) out.registers |= 1u << (sym - 16);
    }
    const int at = firstCell + 8 * c;
    for (int p = std::max(0, out.left - at); p < 8 && at + p <= out.right; ++p) {
      const int v = pixel_value(cell.pairs, g, p);
      const auto x = static_cast<std::size_t>(at + p);
      out.symbol[x] = cell.color[static_cast<std::size_t>(v)];
      out.foreground[x] = !unknown && foreground_value(cell.pairs, v);
    }
  }
}

// The sprites of raster line `line` over the graphics: the lowest number
// wins a column, then its priority decides.
void draw_sprites(const SearchContext& ctx, const Alternative& alt, int line, const RowReader& read,
                  DrawnRow& out) {
  const Layout& l = alt.layout;
  const unsigned screen = (l.d018 >> 4) * 0x400u;
  std::array<std::uint8_t, kColumns> spriteSymbol{};
  for (int n = 0; n < 8; ++n) {
    const auto i = static_cast<std::size_t>(n);
    const SpritePlace& place = alt.sprites[i];
    if (place.use == SpriteUse::Off) continue;
    const SpriteSetup& sprite = ctx.in.snapshot.sprites[i];
    const bool shown = place.use == SpriteUse::Shown;
    const int x = shown ? place.x : static_cast<int>(sprite.x);
    const int top = (shown ? place.y : sprite.y) + 1;
    const std::uint8_t pointer =
        shown ? place.pointer : read(screen + 0x3F8 + static_cast<unsigned>(n));
    out.pointers[i] = pointer;
    const int spriteLine = line - top;
    if (x >= kXWrap || spriteLine < 0 || spriteLine >= kSpriteRows << sprite.tall) continue;
    const unsigned at = pointer * unsigned{kSpriteBlockBytes} + (spriteLine >> sprite.tall) * 3u;
    const std::uint32_t bits = std::uint32_t{read(at)} << 16 | read(at + 1) << 8 | read(at + 2);
    const SpriteColors colors = sprite_symbols(sprite.multicolor, n);
    // A row of glyphs the state does not know may show anywhere it spans.
    const bool unknown =
        (!shown && ctx.unknown(l.bank, screen + 0x3F8 + static_cast<unsigned>(n))) ||
        ctx.unknown(l.bank, at) || ctx.unknown(l.bank, at + 2);
    for (int j = 0; j < kSpriteWidth << sprite.wide; ++j) {
      const int column = sprite_column(x, j);
      if (column < out.left || column > out.right) continue;
      const auto col = static_cast<std::size_t>(column);
      if (out.winner[col] >= 0) continue;
      const std::uint8_t pixel = sprite_pixel(colors, bits, j >> sprite.wide);
      if (pixel == kTransparent && !unknown) continue;
      out.winner[col] = static_cast<std::int8_t>(n);
      spriteSymbol[col] = unknown ? kAnyColor : pixel;
    }
  }
  for (int x = out.left; x <= out.right; ++x) {
    const auto col = static_cast<std::size_t>(x);
    const int w = out.winner[col];
    // Behind graphics of unknown glyphs, a sprite may or may not show.
    if (w < 0 || (ctx.in.snapshot.sprites[static_cast<std::size_t>(w)].behind &&
                  (out.foreground[col] || out.symbol[col] == kAnyColor))) {
      continue;
    }
    out.owner[col] = static_cast<std::int8_t>(w);
    out.symbol[col] = spriteSymbol[col];
    if (spriteSymbol[col] != kAnyColor) out.registers |= 1u << (spriteSymbol[col] - 16);
    out.sprites = static_cast<std::uint8_t>(out.sprites | 1 << w);
  }
}

}  // namespace

void draw_row(SearchContext& ctx, const Alternative& alt, int y, int rsel, int csel, DrawnRow& out,
              VicMemory* tracking) {
  out.symbol.fill(kBorderColor);
  out.owner.fill(-1);
  out.winner.fill(-1);
  out.foreground.fill(0);
  out.left = 0;
  out.right = -1;
  out.registers = 1;  // the border
  out.sprites = 0;
  const Layout& l = alt.layout;
  const int line = y + kFirstLine;
  if (!l.displayEnabled || !in_rows(line, rsel)) return;
  const DisplayWindow window = display_window(rsel, csel);
  out.left = window.left;
  out.right = window.right;
  const RowReader read{tracking ? nullptr : ctx.view(l.bank), tracking};
  draw_graphics(ctx, l, line, read, out);
  draw_sprites(ctx, alt, line, read, out);
}
std::vector<std::array<RowBits, 8>> sprite_rows(SearchContext& ctx, const Alternative& alt,
                                                int first, int count) {
  std::vector<std::array<RowBits, 8>> rows(static_cast<std::size_t>(count));
  const std::uint8_t* memory = ctx.view(alt.layout.bank);
  for (std::size_t n = 0; n < 8; ++n) {
    const SpritePlace& place = alt.sprites[n];
    if (place.use == SpriteUse::Off) continue;
    const SpriteSetup& sprite = ctx.in.snapshot.sprites[n];
    const bool shown = place.use == SpriteUse::Shown;
    const int x = shown ? place.x : static_cast<int>(sprite.x);
    const int top = (shown ? place.y : sprite.y) + 1;
    const std::uint8_t pointer =
        shown ? place.pointer : memory[((alt.layout.d018 >> 4) * 0x400u + 0x3F8 + n) & 0x3FFF];
    if (x >= kXWrap) continue;
    const SpriteRowMasks* masks = ctx.sprite_masks(alt.layout.bank, sprite.multicolor, sprite.wide);
    for (std::size_t d = 0; d < rows.size(); ++d) {
      const int spriteLine = first + static_cast<int>(d) + kFirstLine - top;
      if (spriteLine < 0 || spriteLine >= kSpriteRows << sprite.tall) continue;
      std::uint64_t pixels = masks[pointer * kSpriteRows + (spriteLine >> sprite.tall)].any;
      for (; pixels; pixels &= pixels - 1) {
        const int column = sprite_column(x, std::countr_zero(pixels));
        if (column < kColumns) {
          rows[d][n][static_cast<std::size_t>(column >> 6)] |= std::uint64_t{1} << (column & 63);
        }
      }
    }
  }
  return rows;
}

RowBits sprite_columns(SearchContext& ctx, const Alternative& alt, int y) {
  RowBits columns{};
  const std::vector<std::array<RowBits, 8>> rows = sprite_rows(ctx, alt, y, 1);
  for (const RowBits& sprite : rows.front()) {
    for (std::size_t w = 0; w < columns.size(); ++w) columns[w] |= sprite[w];
  }
  return columns;
}

Unified unify(const DrawnRow& row, const std::uint8_t* frame, const Colors& colors) {
  Unified u;
  u.colors = colors;
  unsigned unknown = 0;
  for (int r = 0; r < kColorRegisters; ++r) {
    if ((row.registers >> r & 1) && colors[static_cast<std::size_t>(r)] < 0) unknown |= 1u << r;
  }
  u.guessed = unknown != 0;
  if (unknown) {
    std::array<std::array<std::uint16_t, 16>, kColorRegisters> votes{};
    for (int x = 0; x < kColumns; ++x) {
      const int s = row.symbol[static_cast<std::size_t>(x)] - 16;
      if (s >= 0 && (unknown >> s & 1) && frame[x] < 16) {
        ++votes[static_cast<std::size_t>(s)][frame[x]];
      }
    }
    for (int r = 0; r < kColorRegisters; ++r) {
      if (!(unknown >> r & 1)) continue;
      const auto& v = votes[static_cast<std::size_t>(r)];
      const auto best = std::max_element(v.begin(), v.end());
      if (*best > 0) {
        u.colors[static_cast<std::size_t>(r)] = static_cast<std::int8_t>(best - v.begin());
      }
    }
  }
  // Each symbol's colour; 16 for a register nothing set, which no pixel has.
  std::array<std::uint8_t, 32> color{};
  for (std::size_t s = 0; s < color.size(); ++s) {
    const int c = s < 16 ? static_cast<int>(s) : s - 16 < kColorRegisters ? u.colors[s - 16] : -1;
    color[s] = static_cast<std::uint8_t>(c < 0 ? 16 : c);
  }
  for (int w = 0; w < kWords; ++w) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 64; ++i) {
      const auto x = static_cast<std::size_t>(w * 64 + i);
      const std::uint8_t symbol = row.symbol[x];
      bits |= std::uint64_t{symbol != kAnyColor && color[symbol] != frame[x]} << i;
    }
    u.wrong[static_cast<std::size_t>(w)] = bits;
  }
  u.shown = row.sprites;
  if (row.sprites) {
    for (int x = row.left; x <= row.right; ++x) {
      const int owner = row.owner[static_cast<std::size_t>(x)];
      if (owner >= 0 && (u.wrong[static_cast<std::size_t>(x >> 6)] >> (x & 63) & 1)) {
        u.spritesWrong = static_cast<std::uint8_t>(u.spritesWrong | 1 << owner);
      }
    }
  }
  return u;
}

void commit(const SearchInputs& in, Alternative& alt, const Unified& u, const DrawnRow& row) {
  alt.colors = u.colors;
  for (std::size_t n = 0; n < 8; ++n) {
    SpritePlace& place = alt.sprites[n];
    if (!(u.shown >> n & 1) || place.use != SpriteUse::Unseen) continue;
    const SpriteSetup& sprite = in.snapshot.sprites[n];
    place = {SpriteUse::Shown, static_cast<std::uint16_t>(sprite.x), sprite.y, row.pointers[n]};
  }
}

}  // namespace bands
