#include "split_frame.h"

#include <algorithm>

Picture split_frame(const VideoState& state, const std::vector<SetLines>& parts) {
  Picture frame;
  for (const SetLines& part : parts) {
    const Frame drawn = draw_band_set(state, part.set);
    const auto from =
        static_cast<std::ptrdiff_t>(part.firstLine - kFirstPictureLine) * kPictureWidth;
    const auto to =
        static_cast<std::ptrdiff_t>(part.lastLine + 1 - kFirstPictureLine) * kPictureWidth;
    std::copy(drawn.picture.pixels.begin() + from, drawn.picture.pixels.begin() + to,
              frame.pixels.begin() + from);
  }
  return frame;
}

BandSet changed(BandSet set, std::initializer_list<std::pair<unsigned, std::uint8_t>> changes) {
  for (const auto& [address, value] : changes) {
    if (address == 0xDD00) {
      set.cia2PortA = value;
    } else if (address >= kPointer) {
      set.pointers[address - kPointer] = value;
    } else {
      set.vic[address - 0xD000] = value;
    }
  }
  return set;
}
