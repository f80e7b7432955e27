// The search's inputs and caches: the frame's rows as the search reads
// them, each bank as the VIC-II sees it, the glyph bytes and sprite masks
// of each bank, and the alternatives a band starts from.

#include <algorithm>
#include <bit>
#include <tuple>

#include "bands/band_model.h"
#include "render/sprite_pixels.h"
#include "render/vic_geometry.h"

namespace bands {

namespace {

constexpr int kLeft40 = kWidestWindow.left, kRight40 = kWidestWindow.right;
constexpr int kLeft38 = kNarrowestWindow.left, kRight38 = kNarrowestWindow.right;

bool all_of_color(const std::uint8_t* row, int from, int to, int color) {
  return std::all_of(row + from, row + to + 1, [color](std::uint8_t c) { return c == color; });
}

}  // namespace

FrameRows frame_rows(const Picture& frame) {
  FrameRows rows;
  rows.pixels = frame.pixels.data();
  rows.equal.resize(kRows);
  for (int y = 0; y < kRows; ++y) {
    const std::uint8_t* p = rows.row(y);
    const auto i = static_cast<std::size_t>(y);
    const int b = p[0];
    const bool border = b < 16 && all_of_color(p, 0, kLeft40 - 1, b) &&
                        all_of_color(p, kRight40 + 1, kColumns - 1, b);
    rows.border[i] = static_cast<std::int8_t>(border ? b : -1);
    rows.uniform[i] =
        static_cast<std::int8_t>(border && all_of_color(p, kLeft40, kRight40, b) ? b : -1);
    const int line = y + kFirstLine;
    const int u = p[kLeft38];
    const auto strip = [&](int from, int to) {
      return all_of_color(p, from, to, b) ? 1 : all_of_color(p, from, to, u) ? 2 : 0;
    };
    const int left = strip(kLeft40, kLeft38 - 1), right = strip(kRight38 + 1, kRight40);
    rows.featureless[i] = rows.uniform[i] >= 0 ||
                          (border && in_rows(line, true) && all_of_color(p, kLeft38, kRight38, u) &&
                           left != 0 && left == right);
    for (int x = 0; x < kColumns; ++x) {
      if (p[x] < 16) rows.equal[i][p[x]][x >> 6] |= std::uint64_t{1} << (x & 63);
    }
  }
  return rows;
}

SearchInputs::SearchInputs(const VideoState& s, const Picture& picture)
    : state(s), snapshot(decode_video_setup(s)), frame(frame_rows(picture)) {
  romUnknown = state.charRom ? state.unknownGlyphs : ~std::bitset<kRomGlyphs>{};
  snapshotBank = snapshot.bankBase >> 14;
  VicMemory memory = vic_memory(state, snapshot);
  for (int n = 0; n < 8; ++n) {
    snapshotPointers[static_cast<std::size_t>(n)] = fetch_sprite_pointer(memory, snapshot, n);
  }
}

SearchContext::SearchContext(const VideoState& s, const Picture& picture,
                             const SearchBudget& limits)
    : in(s, picture), spent{limits} {
  cache.fullSearches.resize(kRows);
  cache.maskedSearches.resize(kRows);
  cache.blankSearches.resize(kRows);
  cache.remembered.resize(kRows);
}

const std::uint8_t* SearchContext::view(int bank) {
  std::vector<std::uint8_t>& v = cache.views[static_cast<std::size_t>(bank)];
  if (v.empty()) {
    VicMemory memory{in.state, static_cast<unsigned>(bank) << 14, bank == 0 || bank == 2};
    v.resize(0x4000);
    for (unsigned a = 0; a < 0x4000; ++a) v[a] = vic_read(memory, a);
  }
  return v.data();
}

const std::array<std::uint64_t, 4>& SearchContext::glyph_lines(int bank, int charset, int k,
                                                               bool ecm) {
  if (cache.glyphLines.empty()) cache.glyphLines.resize(4 * 8 * 8 * 2);
  auto& lines =
      cache.glyphLines[static_cast<std::size_t>(((bank * 8 + charset) * 8 + k) * 2 + ecm)];
  if (!lines) {
    lines.emplace();
    const std::uint8_t* memory = view(bank);
    for (unsigned glyph = 0; glyph < (ecm ? 64u : 256u); ++glyph) {
      const unsigned address =
          static_cast<unsigned>(charset) * 0x800 + glyph * 8 + static_cast<unsigned>(k);
      if (unknown(bank, address)) {  // a glyph the in.state does not know: any byte
        lines->fill(~std::uint64_t{0});
        break;
      }
      const std::uint8_t g = memory[address];
      (*lines)[g >> 6] |= std::uint64_t{1} << (g & 63);
    }
  }
  return *lines;
}

namespace {

// Per byte of sprite data and pixel value (hires: 1; multicolour: 1-3):
// the byte's pixels of that value, bit j being pixel j (left to right), and
// the same with every pixel twice as wide.
struct BytePixels {
  std::array<std::array<std::uint8_t, 256>, 4> narrow{};
  std::array<std::array<std::uint16_t, 256>, 4> wide{};
};
constexpr BytePixels byte_pixels(bool multicolor) {
  BytePixels table;
  for (unsigned b = 0; b < 256; ++b) {
    // sprite_pixel with the colours standing for the values.
    const SpriteColors values{multicolor, static_cast<std::uint8_t>(multicolor ? 2 : 1), 1, 3};
    for (unsigned j = 0; j < 8; ++j) {
      const std::uint8_t pixel = sprite_pixel(values, b << 16, static_cast<int>(j));
      const unsigned v = pixel == kTransparent ? 0 : pixel;
      table.narrow[v][b] = static_cast<std::uint8_t>(table.narrow[v][b] | 1u << j);
      table.wide[v][b] = static_cast<std::uint16_t>(table.wide[v][b] | 3u << (2 * j));
    }
  }
  return table;
}
constexpr std::array<BytePixels, 2> kBytePixels = {byte_pixels(false), byte_pixels(true)};

}  // namespace

const SpriteRowMasks* SearchContext::sprite_masks(int bank, bool multicolor, bool wide) {
  std::vector<SpriteRowMasks>& table =
      cache.spriteMasks[static_cast<std::size_t>(bank * 4 + multicolor * 2 + wide)];
  if (!table.empty()) return table.data();
  const std::uint8_t* memory = view(bank);
  const BytePixels& pixels = kBytePixels[multicolor];
  table.resize(256 * kSpriteRows);
  for (std::size_t i = 0; i < table.size(); ++i) {
    const std::size_t at = i / kSpriteRows * kSpriteBlockBytes + i % kSpriteRows * 3;
    SpriteRowMasks& m = table[i];
    for (std::size_t v = 1; v <= (multicolor ? 3u : 1u); ++v) {
      std::uint64_t mask = 0;
      for (std::size_t k = 0; k < 3; ++k) {
        const std::uint8_t b = memory[at + k];
        mask |= wide ? std::uint64_t{pixels.wide[v][b]} << (16 * k)
                     : std::uint64_t{pixels.narrow[v][b]} << (8 * k);
      }
      m.value[v - 1] = mask;
      m.any |= mask;
    }
  }
  return table.data();
}

const std::uint32_t* SearchContext::sprite_rows_used(int bank) {
  std::vector<std::uint32_t>& used = cache.spriteRowsUsed[static_cast<std::size_t>(bank)];
  if (!used.empty()) return used.data();
  const std::uint8_t* memory = view(bank);
  used.resize(256);
  for (std::size_t p = 0; p < 256; ++p) {
    for (std::size_t r = 0; r < kSpriteRows; ++r) {
      const std::size_t at = p * kSpriteBlockBytes + r * 3;
      if (memory[at] | memory[at + 1] | memory[at + 2]) used[p] |= 1u << r;
    }
  }
  return used.data();
}

Layout snapshot_layout(const SearchInputs& in) {
  const VideoSetup& s = in.snapshot;
  Layout layout;
  layout.mode =
      static_cast<std::uint8_t>(s.extendedColorMode << 2 | s.bitmapMode << 1 | s.multicolorMode);
  layout.xScroll = s.xScroll;
  layout.yScroll = s.yScroll;
  layout.bank = static_cast<std::uint8_t>(in.snapshotBank);
  layout.d018 = s.d018;
  return layout;
}

Alternative fresh_alternative(const SearchInputs& in, const Layout& layout) {
  Alternative alt;
  alt.layout = layout;
  alt.colors.fill(-1);
  for (std::size_t n = 0; n < 8; ++n) {
    if (!in.snapshot.sprites[n].enabled) alt.sprites[n].use = SpriteUse::Off;
  }
  return alt;
}

}  // namespace bands
