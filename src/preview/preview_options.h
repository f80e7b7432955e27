#pragma once

#include <optional>
#include <string>

#include "command/command_line.h"

// Which picture lumerist-preview draws.
enum class PreviewMode {
  Screen,     // the frame VICE saved, else the frame drawn from the registers
  Registers,  // always the frame drawn from the registers
  Viewer,     // what lumerist's viewer program shows
  Compare,    // the screen beside the viewer's picture, and why they differ
};

struct PreviewOptions {
  CommandLine kind = CommandLine::Run;
  std::string problem;  // why the command line cannot be used
  PreviewMode mode = PreviewMode::Screen;
  std::optional<std::string> chargen;    // --chargen FILE
  std::optional<std::string> palette;    // --palette FILE or NAME
  std::optional<std::string> outputDir;  // -o DIR
  std::string snapshot;
  std::string picture;  // the PNG path
};

// Reads `[--viewer | --registers | --compare] [--chargen FILE]
// [--palette FILE] [-o DIR] SNAPSHOT [PICTURE.png]`. Without a PNG path the
// picture is named after the snapshot: SNAPSHOT.png for the screen,
// SNAPSHOT.registers.png, SNAPSHOT.viewer.png and SNAPSHOT.compare.png for
// the other modes, so that no mode overwrites another's picture; with -o DIR
// it goes to DIR, as does a relative PNG path. More file names are refused.
PreviewOptions parse_preview_command_line(int argc, char** argv);
