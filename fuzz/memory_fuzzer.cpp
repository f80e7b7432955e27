// Fuzz target without files or PNG, for speed: through the reader, the
// register decoder, the renderer and the band search, in memory. Bytes
// that start "VICE" are a snapshot; any others describe a machine and a
// frame: the registers of two sets, the line where the second takes over,
// and memory, so that small inputs reach the renderer and the search
// without a snapshot's size. The search takes the frame VICE saved where
// a snapshot holds one, else the frame drawn from the registers with its
// lower part drawn by a second register set made from the last bytes: a
// split screen whose split the search must find.
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
#include "render/unknown_pixels.h"
#include "snapshot/read_snapshot.h"
#include "snapshot/video_setup.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

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

// Whether `set` draws columns from-to (exclusive) of raster lines first-last
// of `frame`, but for the pixels that depend on glyphs the state does not know.
bool draws(const VideoState& state, const BandSet& set, const Picture& frame, int first, int last,
           int from = 0, int to = kPictureWidth) {
  const Picture drawn = draw_band_set(state, set, {first, last}).picture;
  const std::vector<std::uint8_t> unknown =
      unknown_rom_pixels(state, set.vic, set.cia2PortA, set.pointers, {first, last});
  for (int line = first; line <= last; ++line) {
    for (int x = from; x < to; ++x) {
      const auto i = static_cast<std::size_t>((line - kFirstPictureLine) * kPictureWidth + x);
      if (drawn.pixels[i] != frame.pixels[i] && (unknown.empty() || !unknown[i])) return false;
    }
  }
  return true;
}

void check_bands(const VideoState& state, const Picture& frame, const BandSearch& search) {
  int next = kFirstPictureLine;
  for (const Band& band : search.bands) {
    if (band.firstLine != next || band.lastLine < band.firstLine) __builtin_trap();
    next = band.lastLine + 1;
    if (band.kind == BandKind::Unmatched) continue;
    if (band.kind == BandKind::ChangeWithinLine) {
      const std::size_t left = static_cast<std::size_t>(band.leftBand);
      const std::size_t right = static_cast<std::size_t>(band.rightBand);
      if (left >= search.bands.size() || right >= search.bands.size() ||
          !draws(state, search.bands[left].set, frame, band.firstLine, band.lastLine, 0,
                 band.firstColumn) ||
          !draws(state, search.bands[right].set, frame, band.firstLine, band.lastLine,
                 band.lastColumn)) {
        __builtin_trap();
      }
      continue;
    }
    if (!draws(state, band.set, frame, band.firstLine, band.lastLine)) __builtin_trap();
  }
  if (next != kFirstPictureLine + kPictureHeight) __builtin_trap();
}

// The two register sets: $D000-$D02E and port A each.
constexpr std::size_t kSetBytes = kVicRegisterCount + 1;

// A state and its saved frame from a small description: two register sets,
// the raster line where the second takes over, then bytes repeated through
// RAM and colour RAM. The state's registers are the second set's.
struct Described {
  VideoState state;
  Picture frame;
};

Described described(std::span<const std::uint8_t> data) {
  Described made;
  VideoState& state = made.state;
  const std::span<const std::uint8_t> memory = data.subspan(2 * kSetBytes + 1);
  // The memory bytes over and over: copied, then the RAM filled so far
  // copied after itself.
  const std::size_t first = std::min(memory.size(), state.ram.size());
  std::copy_n(memory.begin(), first, state.ram.begin());
  for (std::size_t filled = first; filled > 0 && filled < state.ram.size(); filled *= 2) {
    std::copy_n(state.ram.begin(), std::min(filled, state.ram.size() - filled),
                state.ram.begin() + static_cast<std::ptrdiff_t>(filled));
  }
  for (std::size_t i = 0; i < state.colorRam.size(); ++i) {
    state.colorRam[i] = memory.empty() ? 0 : memory[i * 7 % memory.size()];
  }
  const auto take = [&data](VideoState& into, std::size_t at) {
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(at), kVicRegisterCount,
                into.vic.begin());
    into.cia2PortA = data[at + kVicRegisterCount];
  };
  VideoState top = state;
  take(top, 0);
  take(state, kSetBytes);
  const Picture upper = render_frame(top).picture;
  made.frame = render_frame(state).picture;
  const auto split =
      static_cast<std::ptrdiff_t>(data[2 * kSetBytes] % kPictureHeight) * kPictureWidth;
  std::copy(upper.pixels.begin(), upper.pixels.begin() + split, made.frame.pixels.begin());
  return made;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
#ifdef __GLIBC__
  // Memory freed is kept for the next run instead of going back to the
  // system and faulting in again: most of a run's time otherwise.
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
#endif
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Small budgets: the same paths as the default one, cut short sooner; the
  // smallest for the machines described, whose registers and memory are
  // anything and whose search is the most costly.
  const SearchBudget budget{1L << 12, 1L << 9, 1L << 13};
  const SearchBudget smallBudget{1L << 9, 1L << 6, 1L << 8};
  if (size > 2 * kSetBytes && !(size >= 4 && std::equal(data, data + 4, "VICE"))) {
    const Described made = described(std::span(data, size));
    check_picture(made.frame);
    check_bands(made.state, made.frame, find_bands(made.state, made.frame, smallBudget));
    return 0;
  }

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
  check_bands(reading.state, *frame, find_bands(reading.state, *frame, budget));
  return 0;
}
