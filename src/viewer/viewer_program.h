#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "snapshot/vic_memory.h"
#include "snapshot/video_setup.h"
#include "snapshot/video_state.h"
#include "viewer/viewer_stub.h"

// The viewer kind for a screen: text whenever bitmap mode is off, else
// hires or multicolour by $D016 bit 4.
ViewerKind viewer_kind_of(const VideoSetup& setup);

// The whole viewer program file: the patched stub, then each block of the
// screen at the file offset that loads it where the stub expects it, zero
// bytes between: the blocks as the VIC-II reads them (screen_blocks).
std::vector<std::uint8_t> viewer_program(ViewerKind kind, const VideoSetup& setup,
                                         const ScreenBlocks& blocks);

// The machine as the program leaves it once loaded and run on a C64: after
// RUN the video bank is $0000, $D011 is $1B and no sprite is on; then the
// stub's register writes, read from the program's own bytes, and its copies
// of the blocks into colour RAM and to the addresses shown.
VideoState viewer_machine(ViewerKind kind, std::span<const std::uint8_t> program);
