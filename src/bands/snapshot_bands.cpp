#include "bands/snapshot_bands.h"

#include "snapshot/video_setup.h"

BandSearch snapshot_bands(const VideoState& state, const std::optional<Picture>& frame) {
  if (frame) return find_bands(state, *frame);
  BandSearch search;
  Band band;
  band.kind = decode_video_setup(state).displayEnabled ? BandKind::Drawn : BandKind::DisplayOff;
  band.firstLine = kFirstPictureLine;
  band.lastLine = kFirstPictureLine + kPictureHeight - 1;
  band.set = snapshot_set(state);
  const Frame drawn = draw_band_set(state, band.set);
  band.sprites = drawn.spritesShown;
  search.romMissing = drawn.readsCharRom && !state.rom_known();
  search.bands.push_back(band);
  return search;
}

VideoState band_state(const VideoState& snapshot, const BandSet& set) {
  VideoState state = snapshot;
  state.vic = set.vic;
  state.cia2PortA = static_cast<std::uint8_t>((snapshot.cia2PortA & ~3u) | (set.cia2PortA & 3u));
  const VideoSetup setup = decode_video_setup(state);
  for (unsigned n = 0; n < 8; ++n) {
    const unsigned offset = (setup.screenAddress - setup.bankBase + 0x3F8 + n) & 0x3FFF;
    if (setup.charRomInBank && (offset & 0x3000) == 0x1000) continue;
    state.ram[setup.bankBase | offset] = set.pointers[n];
  }
  return state;
}
