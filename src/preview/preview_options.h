#pragma once

#include <optional>
#include <string>

// Which picture lumerist-preview draws.
enum class PreviewMode {
  Screen,     // the frame VICE saved, else the frame drawn from the registers
  Registers,  // always the frame drawn from the registers
  Viewer,     // what lumerist's viewer program shows
  Compare,    // the screen beside the viewer's picture, and why they differ
};

struct PreviewOptions {
  PreviewMode mode = PreviewMode::Screen;
  std::optional<std::string> chargen;  // --chargen FILE
  std::string snapshot;
  std::string picture;  // the PNG path
};

// What the command line asks for: a run, the usage as help (status 0), or
// the usage because it cannot be understood (status 255).
enum class CommandLine { Run, Help, Usage };

// Reads `[--viewer | --registers | --compare] [--chargen FILE] SNAPSHOT
// [PICTURE.png]`: options first ("--" ends them, "--chargen=FILE" is taken
// too), the PNG path by default the snapshot path followed by ".png"
// (".compare.png" for --compare); arguments after it are ignored.
CommandLine parse_preview_command_line(int argc, char** argv, PreviewOptions& options);
