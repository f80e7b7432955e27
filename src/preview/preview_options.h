#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "command/command_line.h"
#include "command/command_run.h"

// Which picture lumerist-preview draws.
enum class PreviewMode {
  Screen,     // the frame VICE saved, else the frame drawn from the registers
  Registers,  // always the frame drawn from the registers
  Viewer,     // what lumerist's viewer program shows
  Compare,    // the screen beside the viewer's picture, and why they differ
};

// The flags that choose the mode.
inline constexpr std::array<std::string_view, 3> kPreviewModeFlags = {"--viewer", "--registers",
                                                                      "--compare"};

// `[--viewer | --registers | --compare] [--chargen FILE] [-o DIR]
// SNAPSHOT...` draws each snapshot's picture under its own name:
// SNAPSHOT.png for the screen, SNAPSHOT.registers.png, SNAPSHOT.viewer.png
// and SNAPSHOT.compare.png for the other modes, so that no mode overwrites
// another's picture; with -o DIR in DIR. `SNAPSHOT PICTURE.png` (exactly two
// file names, the second ending in .png in any case) names the picture
// instead; a relative one goes to DIR with -o. A .png name anywhere else,
// or two modes, is refused.
void check_preview_operands(Arguments& arguments);

// The snapshots a command line names: the first alone when it names a
// picture, else every file name.
std::vector<std::string> preview_snapshots(const Arguments& arguments);

PreviewMode preview_mode(const Arguments& arguments);

// Where a snapshot's picture goes.
std::string preview_picture_path(const SnapshotRun& run);

// True when the command line names the picture (SNAPSHOT PICTURE.png).
bool names_picture(const Arguments& arguments);
