#include "preview/preview_options.h"

#include <string_view>

CommandLine parse_preview_command_line(int argc, char** argv, PreviewOptions& options) {
  options = PreviewOptions{};
  bool modeGiven = false;
  int at = 1;
  for (; at < argc; ++at) {
    const std::string_view arg = argv[at];
    if (arg == "--") {
      ++at;
      break;
    }
    if (arg.size() < 2 || arg[0] != '-') break;  // the snapshot ("-" alone is a path too)
    if (arg == "--help") return CommandLine::Help;
    if (arg == "--viewer" || arg == "--registers" || arg == "--compare") {
      if (modeGiven) return CommandLine::Usage;
      modeGiven = true;
      options.mode = arg == "--viewer"      ? PreviewMode::Viewer
                     : arg == "--registers" ? PreviewMode::Registers
                                            : PreviewMode::Compare;
    } else if (arg == "--chargen") {
      if (at + 1 >= argc) return CommandLine::Usage;
      options.chargen = argv[++at];
    } else if (arg.starts_with("--chargen=") && arg.size() > 10) {
      options.chargen = std::string(arg.substr(10));
    } else {
      return CommandLine::Usage;
    }
  }
  if (at >= argc) return CommandLine::Usage;
  options.snapshot = argv[at];
  const char* suffix = options.mode == PreviewMode::Compare ? ".compare.png" : ".png";
  options.picture = at + 1 < argc ? std::string(argv[at + 1]) : options.snapshot + suffix;
  return CommandLine::Run;
}
