// Fuzz target without files or PNG, for speed: arbitrary bytes as a
// snapshot in memory, through the reader, the register decoder, the
// renderer and the band search. The band search takes the frame VICE saved
// where the bytes hold one, else the frame drawn from the registers with
// its lower part drawn by a second register set made from the last bytes:
// a split screen whose split the search must find.
//
// Besides crashes and sanitizer findings it traps when a picture holds
// other than colour indices, when the decoder disagrees with itself, when
// the bands do not cover the frame's lines in order, or when a band the
// search says a register set draws is drawn otherwise by the renderer.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "bands/band_search.h"
#include "render/picture.h"
#include "render/render_frame.h"
#include "snapshot/read_snapshot.h"
#include "snapshot/video_setup.h"

namespace {

void check_picture(const Picture& picture) {
  if (picture.pixels.size() != kPicturePixels) __builtin_trap();
  for (const std::uint8_t pixel : picture.pixels) {
    if (pixel > 15) __builtin_trap();
  }
}

// The registers' frame, from `splitRow` on drawn with the graphics
// registers changed by the input's last bytes.
Picture split_of(const VideoState& state, const Picture& top, std::span<const std::uint8_t> tail) {
  VideoState lower = state;
  lower.vic[0x11] = tail[0];
  lower.vic[0x16] = tail[1];
  lower.vic[0x18] = tail[2];
  lower.vic[0x20] = tail[3];
  lower.cia2PortA = tail[4];
  const Picture bottom = render_frame(lower).picture;
  const auto splitRow = static_cast<std::size_t>(tail[5] % kPictureHeight);
  Picture frame = top;
  std::copy(bottom.pixels.begin() + static_cast<std::ptrdiff_t>(splitRow * kPictureWidth),
            bottom.pixels.end(),
            frame.pixels.begin() + static_cast<std::ptrdiff_t>(splitRow * kPictureWidth));
  return frame;
}

void check_bands(const VideoState& state, const Picture& frame, const BandSearch& search) {
  int next = kFirstPictureLine;
  for (const Band& band : search.bands) {
    if (band.firstLine != next || band.lastLine < band.firstLine) __builtin_trap();
    next = band.lastLine + 1;
    if (band.kind == BandKind::Unmatched) continue;
    const Picture drawn = draw_band_set(state, band.set).picture;
    const auto from =
        static_cast<std::ptrdiff_t>(band.firstLine - kFirstPictureLine) * kPictureWidth;
    const auto to =
        static_cast<std::ptrdiff_t>(band.lastLine + 1 - kFirstPictureLine) * kPictureWidth;
    if (!std::equal(drawn.pixels.begin() + from, drawn.pixels.begin() + to,
                    frame.pixels.begin() + from)) {
      __builtin_trap();
    }
  }
  if (next != kFirstPictureLine + kPictureHeight) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const InputFile input = memory_input(std::span(data, size));
  const SnapshotReading reading = read_snapshot(input);
  if (reading.error != SnapshotError::None) return 0;
  const VideoSetup setup = decode_video_setup(reading.state.vic, reading.state.cia2PortA);
  if (setup.bankBase != reading.setup.bankBase || setup.d018 != reading.setup.d018) {
    __builtin_trap();
  }

  const Frame registers = render_frame(reading.state);
  check_picture(registers.picture);
  std::optional<Picture> frame = saved_frame_picture(input, reading);
  if (frame) {
    check_picture(*frame);
  } else if (size >= 6) {
    frame = split_of(reading.state, registers.picture, std::span(data + size - 6, 6));
  } else {
    frame = registers.picture;
  }
  check_bands(reading.state, *frame, find_bands(reading.state, *frame));
  return 0;
}
