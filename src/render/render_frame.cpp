#include "render/render_frame.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "render/cell_pixels.h"
#include "render/frame_model.h"
#include "render/sprite_pixels.h"
#include "render/vic_geometry.h"
#include "snapshot/vic_memory.h"

namespace {

constexpr std::size_t kLinePixels = kPictureWidth + 16;  // room for the scrolled last cell

}  // namespace

Window window_of(const VideoSetup& setup) {
  return display_window(setup.rows25, setup.columns40);
}

Graphics graphics_of(const VideoSetup& setup, const RegisterImages& vic) {
  const auto nibble = [&vic](unsigned address) {
    return static_cast<std::uint8_t>(vic[address - 0xD000] & 15);
  };
  return {{setup.extendedColorMode, setup.bitmapMode, setup.multicolorMode},
          static_cast<unsigned>(setup.screenAddress - setup.bankBase),
          static_cast<unsigned>(setup.charsetAddress - setup.bankBase),
          static_cast<unsigned>(setup.bitmapAddress - setup.bankBase),
          {nibble(0xD021), nibble(0xD022), nibble(0xD023), nibble(0xD024)}};
}

CellLine cell_line_of(const VideoSetup& setup, int line) {
  const int rowLine = line - kFirstRowLine - setup.yScroll;
  if (rowLine < 0 || rowLine >= kGraphicsLines) return {};
  return {false, rowLine / 8, rowLine & 7};
}

namespace {

// For every graphics byte, which of its 8 pixels have a value: bytes $FF in
// a 64-bit word, pixel 0 (bit 7, the leftmost) in the lowest byte. Hires:
// the pixels whose bit is 1; multicolour: those whose pair (two pixels
// wide) is 00, 01, 10 or 11.
using PixelMasks = std::array<std::uint64_t, 256>;
constexpr std::uint64_t pixel_mask(int g, bool pairs, int value) {
  std::uint64_t mask = 0;
  for (int p = 0; p < 8; ++p) {
    if (pixel_value(pairs, static_cast<std::uint8_t>(g), p) == value)
      mask |= std::uint64_t{0xFF} << (8 * p);
  }
  return mask;
}
constexpr PixelMasks pixel_masks(bool pairs, int value) {
  PixelMasks masks{};
  for (int g = 0; g < 256; ++g) masks[static_cast<std::size_t>(g)] = pixel_mask(g, pairs, value);
  return masks;
}
constexpr PixelMasks kBitSet = pixel_masks(false, 1);
constexpr std::array<PixelMasks, 4> kPair = {pixel_masks(true, 0), pixel_masks(true, 1),
                                             pixel_masks(true, 2), pixel_masks(true, 3)};
static_assert(std::endian::native == std::endian::little, "8 pixels are stored as one word");

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;

// One raster line of graphics by picture column: its colours and, where
// sprites may need it, which pixels are foreground (1).
struct GraphicsLine {
  std::array<std::uint8_t, kLinePixels> color{};
  std::array<std::uint8_t, kLinePixels> foreground{};
};

// Draws raster line `line` of the window's graphics: a row of 40 cells, or
// the idle pattern on lines outside all 25 rows. Columns left of the first
// cell keep the background colour (black in the invalid modes).
void draw_graphics_line(const Graphics& g, const VideoSetup& setup, VicMemory& memory, int line,
                        bool withForeground, GraphicsLine& out) {
  const auto [idle, row, k] = cell_line_of(setup, line);
  const std::uint8_t idleByte = idle ? vic_read(memory, g.mode.ecm ? 0x39FF : 0x3FFF) : 0;
  const bool invalid = g.mode.ecm && (g.mode.bmm || g.mode.mcm);
  std::fill(out.color.begin(), out.color.end(), invalid ? 0 : g.background[0]);
  if (withForeground) std::fill(out.foreground.begin(), out.foreground.end(), std::uint8_t{0});
  for (int c = 0; c < kCellColumns; ++c) {
    std::uint8_t s = 0, m = 0, byte = idleByte;
    if (!idle) {
      const int cell = row * kCellColumns + c;
      s = vic_read(memory, g.screen + static_cast<unsigned>(cell));
      m = memory.state.colorRam[static_cast<std::size_t>(cell)] & 15;
      byte = vic_read(memory, graphics_address(g.mode, g.charset, g.bitmap, cell, s, k));
    }
    const CellColors cell = cell_colors(g.mode, s, m, g.background);
    std::uint64_t pixels = 0;
    std::uint64_t front = 0;  // foreground: bits 1, pairs 10 and 11
    if (cell.pairs) {
      for (std::size_t value = 0; value < 4; ++value) {
        pixels |= kPair[value][byte] & cell.color[value] * kEveryByte;
      }
      front = kPair[2][byte] | kPair[3][byte];
    } else {
      front = kBitSet[byte];
      pixels = (front & cell.color[1] * kEveryByte) | (~front & cell.color[0] * kEveryByte);
    }
    const auto at = static_cast<std::size_t>(cell_left(setup, c));  // <= 359
    std::memcpy(out.color.data() + at, &pixels, 8);
    if (withForeground) {
      const std::uint64_t ones = front & kEveryByte;
      std::memcpy(out.foreground.data() + at, &ones, 8);
    }
  }
}

// A sprite that can show: enabled, X below 504, its data fetched.
struct ShownSprite {
  bool shows = false;
  bool fromRom = false;  // its pointer or data lies where the VIC-II sees the character ROM
  int x = 0;
  int firstLine = 0;  // raster line of its first row
  bool tall = false, wide = false, behind = false;
  SpriteColors colors;
  SpriteBlock block{};
};

std::array<ShownSprite, 8> fetch_sprites(const VideoSetup& setup, VicMemory& memory,
                                         const std::optional<SpritePointers>& pointers) {
  std::array<ShownSprite, 8> shown{};
  for (int n = 0; n < 8; ++n) {
    const SpriteSetup& sprite = setup.sprites[static_cast<std::size_t>(n)];
    if (!sprite.enabled || sprite.x >= kXWrap) continue;
    ShownSprite& s = shown[static_cast<std::size_t>(n)];
    s = {true,        false,         static_cast<int>(sprite.x), sprite.y + 1, sprite.tall,
         sprite.wide, sprite.behind, sprite_colors(setup, n)};
    const auto i = static_cast<std::size_t>(n);
    const bool readBefore = memory.readsRom;
    memory.readsRom = false;
    s.block = fetch_sprite_block(
        memory, pointers ? (*pointers)[i] : fetch_sprite_pointer(memory, setup, n));
    s.fromRom = memory.readsRom;
    memory.readsRom = memory.readsRom || readBefore;
  }
  return shown;
}

// Each sprite's row of 24 bits on raster line `line`; bit n of the result
// is set when sprite n has a row there.
unsigned sprite_rows_on_line(const std::array<ShownSprite, 8>& sprites, int line,
                             std::array<std::uint32_t, 8>& rows) {
  unsigned onLine = 0;
  for (std::size_t n = 0; n < sprites.size(); ++n) {
    const ShownSprite& sprite = sprites[n];
    const int spriteLine = line - sprite.firstLine;
    if (!sprite.shows || spriteLine < 0 || spriteLine >= kSpriteRows << sprite.tall) continue;
    rows[n] = sprite_row_bits(sprite.block, spriteLine >> sprite.tall);
    onLine |= 1u << n;
  }
  return onLine;
}

// The sprite pixel that wins each window column of a line: at every
// column the lowest-numbered sprite with a pixel there (-1: none).
struct SpriteLine {
  std::array<std::int8_t, kPictureWidth> owner{};
  std::array<std::uint8_t, kPictureWidth> color{};
};

void draw_sprite_line(const std::array<ShownSprite, 8>& sprites,
                      const std::array<std::uint32_t, 8>& rows, unsigned onLine,
                      const Window& window, SpriteLine& out) {
  std::fill(out.owner.begin(), out.owner.end(), std::int8_t{-1});
  for (int n = 0; n < 8; ++n) {
    if (!(onLine >> n & 1)) continue;
    const ShownSprite& sprite = sprites[static_cast<std::size_t>(n)];
    const int width = kSpriteWidth << sprite.wide;
    for (int j = 0; j < width; ++j) {
      const int column = sprite_column(sprite.x, j);
      const auto at = static_cast<std::size_t>(column);
      if (column < window.left || column > window.right || out.owner[at] >= 0) continue;
      const std::uint8_t pixel =
          sprite_pixel(sprite.colors, rows[static_cast<std::size_t>(n)], j >> sprite.wide);
      if (pixel == kTransparent) continue;
      out.owner[at] = static_cast<std::int8_t>(n);
      out.color[at] = pixel;
    }
  }
}

// The winning sprite's priority against the graphics: in front, or behind
// the foreground pixels. Returns the sprites that gave a pixel.
std::uint8_t put_sprites(const std::array<ShownSprite, 8>& sprites, const SpriteLine& line,
                         const GraphicsLine& graphics, const Window& window, std::uint8_t* out) {
  std::uint8_t shown = 0;
  for (int x = window.left; x <= window.right; ++x) {
    const auto i = static_cast<std::size_t>(x);
    const int owner = line.owner[i];
    if (owner < 0 || (sprites[static_cast<std::size_t>(owner)].behind && graphics.foreground[i])) {
      continue;
    }
    out[x] = line.color[i];
    shown = static_cast<std::uint8_t>(shown | 1 << owner);
  }
  return shown;
}

// Draws the window's raster lines into `picture` (its row 0 being raster
// line 16), or, without a picture, only works out which sprites give a
// pixel: then the graphics are drawn just on the lines with sprites, where
// their foreground decides. Returns the sprites shown.
std::uint8_t draw_window(const VideoSetup& setup, const RegisterImages& vic, VicMemory& memory,
                         std::uint8_t* picture, const std::optional<SpritePointers>& pointers,
                         LineRange lines = {}) {
  const Window window = window_of(setup);
  const Graphics graphics = graphics_of(setup, vic);
  const std::array<ShownSprite, 8> sprites = fetch_sprites(setup, memory, pointers);
  GraphicsLine graphicsLine;
  SpriteLine spriteLine;
  std::array<std::uint8_t, kPictureWidth> scratch{};
  std::uint8_t shown = 0;
  const int last = std::min(window.bottomLine, lines.last);
  for (int line = std::max(window.topLine, lines.first); line <= last; ++line) {
    std::array<std::uint32_t, 8> rows{};
    const unsigned onLine = sprite_rows_on_line(sprites, line, rows);
    if (!picture && onLine == 0) continue;
    draw_graphics_line(graphics, setup, memory, line, onLine != 0, graphicsLine);
    std::uint8_t* out =
        picture ? picture + static_cast<std::size_t>(line - kFirstPictureLine) * kPictureWidth
                : scratch.data();
    std::copy(graphicsLine.color.begin() + window.left,
              graphicsLine.color.begin() + window.right + 1, out + window.left);
    if (onLine == 0) continue;
    draw_sprite_line(sprites, rows, onLine, window, spriteLine);
    shown |= put_sprites(sprites, spriteLine, graphicsLine, window, out);
  }
  return shown;
}

}  // namespace

std::vector<std::uint8_t> sprite_cover(const VideoState& state, const VideoSetup& setup,
                                       const std::optional<SpritePointers>& pointers,
                                       LineRange lines) {
  std::vector<std::uint8_t> cover(kPicturePixels);
  if (!setup.displayEnabled) return cover;
  VicMemory memory = vic_memory(state, setup);
  std::array<ShownSprite, 8> sprites = fetch_sprites(setup, memory, pointers);
  for (ShownSprite& sprite : sprites) {
    if (sprite.fromRom && !state.rom_known()) sprite.block.fill(0xFF);  // its shape is unknown
  }
  const Window window = window_of(setup);
  SpriteLine spriteLine;
  const int last = std::min(window.bottomLine, lines.last);
  for (int line = std::max(window.topLine, lines.first); line <= last; ++line) {
    std::array<std::uint32_t, 8> rows{};
    const unsigned onLine = sprite_rows_on_line(sprites, line, rows);
    if (onLine == 0) continue;
    draw_sprite_line(sprites, rows, onLine, window, spriteLine);
    const auto row = static_cast<std::size_t>(line - kFirstPictureLine) * kPictureWidth;
    for (int x = window.left; x <= window.right; ++x) {
      const auto i = static_cast<std::size_t>(x);
      cover[row + i] = spriteLine.owner[i] >= 0;
    }
  }
  return cover;
}

Frame render_frame(const VideoState& state) {
  return render_frame(state, std::nullopt);
}

Frame render_frame(const VideoState& state, const std::optional<SpritePointers>& pointers,
                   LineRange lines) {
  return render_frame(state, state.vic, state.cia2PortA, pointers, lines);
}

Frame render_frame(const VideoState& state, const RegisterImages& vic, std::uint8_t cia2PortA,
                   const std::optional<SpritePointers>& pointers, LineRange lines) {
  const VideoSetup setup = decode_video_setup(vic, cia2PortA);
  Frame frame{Picture{std::vector<std::uint8_t>(kPicturePixels, setup.d020 & 15)}};
  if (!setup.displayEnabled) return frame;  // all border
  VicMemory memory = vic_memory(state, setup);
  frame.spritesShown =
      draw_window(setup, vic, memory, frame.picture.pixels.data(), pointers, lines);
  frame.readsCharRom = memory.readsRom;
  return frame;
}

std::uint8_t sprites_shown(const VideoState& state) {
  const VideoSetup setup = decode_video_setup(state);
  if (!setup.displayEnabled) return 0;
  VicMemory memory = vic_memory(state, setup);
  return draw_window(setup, state.vic, memory, nullptr, std::nullopt);
}
