// Register sets: what an alternative stands for, and back; drawing a set
// with the renderer and, for the tests, symbolically.

#include "bands/band_model.h"
#include "render/sprite_pixels.h"

namespace bands {

namespace {

std::uint8_t& reg(BandSet& set, unsigned address) {
  return set.vic[address - 0xD000];
}

VideoState state_with(const VideoState& state, const BandSet& set) {
  VideoState drawn = state;
  drawn.vic = set.vic;
  drawn.cia2PortA = set.cia2PortA;
  return drawn;
}

}  // namespace

namespace {

// The snapshot's display settings with those of `l` in their place: the
// RSEL and CSEL still open, and the screen and characters before a row of
// cells shows them, keep the snapshot's.
VideoSetup setup_of(const VideoSetup& snapshot, const Layout& l) {
  VideoSetup setup = snapshot;
  setup.displayEnabled = l.displayEnabled;
  if (!l.displayEnabled) return setup;
  setup.extendedColorMode = l.mode & 4;
  setup.bitmapMode = l.mode & 2;
  setup.multicolorMode = l.mode & 1;
  setup.rows25 = l.rows == 3 ? snapshot.rows25 : l.rows == 2;
  setup.columns40 = l.columns == 3 ? snapshot.columns40 : l.columns == 2;
  setup.yScroll = l.yScroll;
  setup.xScroll = l.xScroll;
  setup.bankBase = static_cast<std::uint16_t>(l.bank << 14);
  const unsigned d018 = l.d018Open ? snapshot.d018 : l.d018;
  setup.screenAddress = static_cast<std::uint16_t>(setup.bankBase + (d018 >> 4) * 0x400);
  setup.charsetAddress = static_cast<std::uint16_t>(setup.bankBase + (d018 >> 1 & 7) * 0x800);
  setup.bitmapAddress = static_cast<std::uint16_t>(setup.bankBase + (d018 >> 3 & 1) * 0x2000);
  return setup;
}

}  // namespace

BandSet band_set_of(SearchContext& ctx, const Alternative& alt) {
  BandSet set{ctx.in.state.vic, ctx.in.state.cia2PortA, {}};
  encode_video_setup(setup_of(ctx.in.snapshot, alt.layout), set.vic, set.cia2PortA);
  for (unsigned r = 0; r < kColorRegisters; ++r) {
    const int c = alt.colors[r];
    if (c >= 0) reg(set, 0xD020 + r) = static_cast<std::uint8_t>((reg(set, 0xD020 + r) & 0xF0) | c);
  }
  const VideoSetup setup = decode_video_setup(set.vic, set.cia2PortA);
  VicMemory memory = vic_memory(ctx.in.state, setup);
  for (unsigned n = 0; n < 8; ++n) {
    const SpritePlace& place = alt.sprites[n];
    const auto bit = static_cast<std::uint8_t>(1u << n);
    set.pointers[n] = fetch_sprite_pointer(memory, setup, static_cast<int>(n));
    if (place.use == SpriteUse::Off) reg(set, 0xD015) &= static_cast<std::uint8_t>(~bit);
    if (place.use != SpriteUse::Shown) continue;
    reg(set, 0xD015) |= bit;
    reg(set, 0xD000 + 2 * n) = static_cast<std::uint8_t>(place.x);
    reg(set, 0xD001 + 2 * n) = place.y;
    reg(set, 0xD010) = static_cast<std::uint8_t>((reg(set, 0xD010) & ~bit) | (place.x >> 8) << n);
    set.pointers[n] = place.pointer;
  }
  return set;
}

Alternative alternative_of(const SearchInputs& in, const BandSet& set, std::uint8_t shown) {
  const VideoSetup s = decode_video_setup(set.vic, set.cia2PortA);
  Alternative alt;
  alt.layout = {
      s.displayEnabled,
      static_cast<std::uint8_t>(s.extendedColorMode << 2 | s.bitmapMode << 1 | s.multicolorMode),
      s.xScroll,
      s.yScroll,
      static_cast<std::uint8_t>(s.bankBase >> 14),
      s.d018,
      static_cast<std::uint8_t>(1 << s.rows25),
      static_cast<std::uint8_t>(1 << s.columns40),
      false};
  for (std::size_t r = 0; r < kColorRegisters; ++r) {
    alt.colors[r] = static_cast<std::int8_t>(set.vic[0x20 + r] & 15);
  }
  for (std::size_t n = 0; n < 8; ++n) {
    const SpriteSetup& sprite = s.sprites[n];
    alt.sprites[n] = {SpriteUse::Off, 0, 0, 0};
    if (sprite.enabled && (shown >> n & 1) && in.snapshot.sprites[n].enabled) {
      alt.sprites[n] = {SpriteUse::Shown, static_cast<std::uint16_t>(sprite.x), sprite.y,
                        set.pointers[n]};
    }
  }
  return alt;
}

Picture symbolic_frame(const VideoState& state, const BandSet& set) {
  const VideoState drawn = state_with(state, set);
  SearchContext ctx(drawn, Picture{});
  const Alternative alt = alternative_of(ctx.in, set, 0xFF);
  Picture picture;
  DrawnRow row;
  for (int y = 0; y < kRows; ++y) {
    draw_row(ctx, alt, y, ctx.in.snapshot.rows25, ctx.in.snapshot.columns40, row);
    for (std::size_t x = 0; x < kColumns; ++x) {
      const int s = row.symbol[x];
      picture.pixels[static_cast<std::size_t>(y) * kColumns + x] = static_cast<std::uint8_t>(
          s < 16           ? s
          : s == kAnyColor ? 16
                           : alt.colors[static_cast<std::size_t>(s - 16)]);
    }
  }
  return picture;
}

}  // namespace bands

Frame draw_band_set(const VideoState& state, const BandSet& set, LineRange lines) {
  return render_frame(state, set.vic, set.cia2PortA, set.pointers, lines);
}

BandSet snapshot_set(const VideoState& state) {
  const VideoSetup setup = decode_video_setup(state);
  VicMemory memory = vic_memory(state, setup);
  BandSet set{state.vic, state.cia2PortA, {}};
  for (int n = 0; n < 8; ++n) {
    set.pointers[static_cast<std::size_t>(n)] = fetch_sprite_pointer(memory, setup, n);
  }
  return set;
}
