#pragma once

#include <optional>

#include "io/input_file.h"
#include "preview/preview_options.h"
#include "render/picture.h"
#include "render/render_frame.h"
#include "snapshot/read_snapshot.h"

// The frame the VIC-II draws from the snapshot's registers and memory.
Frame registers_frame(const SnapshotReading& reading);

// The picture lumerist's viewer program for this snapshot shows on a C64:
// the same drawing, applied to the machine state the program sets up.
Picture viewer_picture(const SnapshotReading& reading);

// Where a preview's picture comes from.
enum class PictureSource { SavedFrame, Registers, Viewer };

struct PreviewPicture {
  Picture picture;
  PictureSource source = PictureSource::Registers;
  // Drawn from the registers, the picture depends on the character ROM and
  // the state holds none: RAM was drawn in its place.
  bool romMissing = false;
};

// The picture lumerist-preview draws in `mode`: for Screen the frame VICE
// saved, else the frame drawn from the registers; for Registers the latter;
// for Viewer the viewer's picture.
PreviewPicture preview_picture(const InputFile& snapshot, const SnapshotReading& reading,
                               PreviewMode mode);
