#include "render/unknown_pixels.h"

#include <algorithm>
#include <array>

namespace {

// The state with every glyph it does not know filled with `fill`.
void fill_unknown_glyphs(const VideoState& known, VideoState& filled, std::uint8_t fill) {
  std::array<std::uint8_t, kCharRomSize> rom{};
  if (known.charRom) rom = *known.charRom;
  for (std::size_t glyph = 0; glyph < kRomGlyphs; ++glyph) {
    if (known.charRom && !known.unknownGlyphs[glyph]) continue;
    std::fill_n(rom.begin() + static_cast<std::ptrdiff_t>(glyph * 8), 8, fill);
  }
  filled.charRom = rom;
}

}  // namespace

std::vector<std::uint8_t> unknown_rom_pixels(const VideoState& state, const RegisterImages& vic,
                                             std::uint8_t cia2PortA,
                                             const std::optional<SpritePointers>& pointers,
                                             LineRange lines) {
  std::vector<std::uint8_t> unknown;
  if (state.rom_known()) return unknown;
  // A pixel drawn the same whatever the unknown glyphs hold (every bit 0
  // and 1, every pair 00 to 11) depends on none of them.
  VideoState filled = state;
  std::optional<Picture> first;
  for (const std::uint8_t fill : {0x00, 0xFF, 0x55, 0xAA}) {
    fill_unknown_glyphs(state, filled, fill);
    Frame drawn = render_frame(filled, vic, cia2PortA, pointers, lines);
    if (!drawn.readsCharRom) return unknown;
    if (!first) {
      first = std::move(drawn.picture);
      unknown.assign(kPicturePixels, 0);
      continue;
    }
    for (std::size_t i = 0; i < kPicturePixels; ++i) {
      unknown[i] |= drawn.picture.pixels[i] != first->pixels[i];
    }
  }
  if (std::none_of(unknown.begin(), unknown.end(), [](std::uint8_t u) { return u != 0; })) {
    unknown.clear();
  }
  return unknown;
}

bool row_matches(const Picture& drawn, const std::vector<std::uint8_t>& unknown,
                 const Picture& frame, int y) {
  const auto from = static_cast<std::size_t>(y) * kPictureWidth;
  for (std::size_t i = from; i < from + kPictureWidth; ++i) {
    if (drawn.pixels[i] != frame.pixels[i] && (unknown.empty() || !unknown[i])) return false;
  }
  return true;
}
