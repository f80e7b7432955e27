#include "render/rom_free_frame.h"

namespace {

// `state` with the glyphs no one knows filled with `fill`.
VideoState with_unknown_glyphs(const VideoState& state, std::uint8_t fill) {
  VideoState probe = state;
  if (!probe.charRom) {
    probe.charRom.emplace();
    probe.charRom->fill(fill);
    return probe;
  }
  for (std::size_t glyph = 0; glyph < kRomGlyphs; ++glyph) {
    if (!state.unknownGlyphs.test(glyph)) continue;
    for (std::size_t row = 0; row < 8; ++row) (*probe.charRom)[glyph * 8 + row] = fill;
  }
  return probe;
}

}  // namespace

RomFreeFrame rom_free_frame(const VideoState& state) {
  RomFreeFrame frame{render_frame(state)};
  if (state.rom_known() || !frame.zeros.readsCharRom) return frame;
  frame.zeros = render_frame(with_unknown_glyphs(state, 0x00));
  const Picture ones = render_frame(with_unknown_glyphs(state, 0xFF)).picture;
  for (std::size_t i = 0; i < kPicturePixels; ++i) {
    const bool unknown = frame.zeros.picture.pixels[i] != ones.pixels[i];
    frame.showsUnknownRom[i] = unknown;
    frame.unknownPixels += unknown;
  }
  return frame;
}

unsigned pixels_not_drawn(const Picture& saved, const RomFreeFrame& drawn) {
  unsigned count = 0;
  for (std::size_t i = 0; i < kPicturePixels; ++i) {
    count += saved.pixels[i] != drawn.zeros.picture.pixels[i] && !drawn.showsUnknownRom[i];
  }
  return count;
}
