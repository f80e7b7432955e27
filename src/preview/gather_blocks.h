#pragma once

#include "io/input_file.h"
#include "render/render_screen.h"
#include "snapshot/read_snapshot.h"

// The blocks lumerist's export puts into the viewer program, read from the
// same places: screen matrix (1000 bytes) and bitmap (8000) from RAM at the
// setup's addresses, colour RAM (1000) at its file offset, and the first 2000
// bytes of the character set followed by zeros; $FF past the end of the
// file. The viewer is Hires or Multicolor in bitmap mode, Text otherwise.
ViewerBlocks gather_blocks(const InputFile& snapshot, const SnapshotReading& reading);
