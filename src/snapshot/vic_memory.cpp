#include "snapshot/vic_memory.h"

#include <algorithm>

namespace {

template <std::size_t N>
void fetch(VicMemory& memory, std::uint16_t address, std::array<std::uint8_t, N>& block) {
  const unsigned start = address - memory.bank;  // every block lies inside the bank
  for (unsigned i = 0; i < N; ++i) block[i] = vic_read(memory, start + i);
}

}  // namespace

ScreenBlocks screen_blocks(const VideoSetup& setup, const VideoState& state) {
  ScreenBlocks blocks;
  VicMemory memory = vic_memory(state, setup);
  fetch(memory, setup.bitmapAddress, blocks.bitmap);
  fetch(memory, setup.screenAddress, blocks.screen);
  fetch(memory, setup.charsetAddress, blocks.charset);
  std::copy(state.colorRam.begin(), state.colorRam.end(), blocks.colors.begin());
  blocks.readsRom = memory.readsRom;
  return blocks;
}
