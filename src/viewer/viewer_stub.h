#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "snapshot/video_setup.h"

// The three viewer programs: a hires bitmap, a multicolour bitmap, and a
// text screen (multicolour or not).
enum class ViewerKind { Hires, Multicolor, Text };

// A byte of the stub image that receives a register value: the operand of an
// LDA # whose value the next instruction stores in that register.
struct PatchPoint {
  std::size_t offset;
  std::uint8_t VideoSetup::*field;
};

// A stub image (load address, BASIC line "SYS 2069", machine code) and its
// patch points. The images are constant; viewer_stub patches a copy.
struct ViewerStub {
  std::span<const std::uint8_t> image;
  std::span<const PatchPoint> patches;
};

ViewerStub stub_of(ViewerKind kind);

// A copy of the stub of `kind` with the setup's colours (and, for text,
// $D016) patched in.
std::vector<std::uint8_t> viewer_stub(ViewerKind kind, const VideoSetup& setup);
