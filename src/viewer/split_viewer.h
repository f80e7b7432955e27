#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "snapshot/video_state.h"

// The split viewer: a C64 program that shows a raster-split frame again,
// each band with its own register set, switched by a raster interrupt.
//
// Loaded at $0801 and run, a BASIC line calls a first stage that moves the
// resident part (the loader, the interrupt handlers and their tables) to
// memory no band reads and the program does not occupy; the loader puts
// colour RAM and every memory region a band reads (screen matrix with its
// sprite pointers, character set or bitmap, sprite blocks; never the
// character ROM area the VIC-II sees) at its address, with the ROMs and I/O
// out of the way, in an order that never overwrites what it has yet to
// copy; then it turns the CIA interrupts off and starts the raster
// interrupt chain. The first band's registers are written in the vertical
// blank; every later band's where the raster is between the end of the
// line above it and the start of its first line (the horizontal blank),
// the registers that show there first, the cycles the VIC-II takes for
// badlines and sprites counted.

// One band's register set and the raster line it starts on (raster lines
// 16-287 are the picture's rows 0-271).
struct SplitBand {
  int firstLine = 0;
  RegisterImages vic{};
  std::uint8_t cia2PortA = 0;
  std::array<std::uint8_t, 8> pointers{};
};

enum class SplitRefusal {
  None,
  Memory,    // the regions, the program and its resident part do not fit
  TooClose,  // a band starts before the handler of the one above is done
};

struct SplitViewer {
  std::vector<std::uint8_t> program;  // the PRG file, load address first
  SplitRefusal refusal = SplitRefusal::None;
  int closeBand = 0;  // TooClose: the index of the upper band (0-based)
};

// The viewer of `bands` (in line order, the first at the top of the
// frame) over `state`'s memory and colour RAM.
SplitViewer split_viewer(const VideoState& state, std::span<const SplitBand> bands);
