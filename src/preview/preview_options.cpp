#include "preview/preview_options.h"

#include <array>
#include <string_view>

#include "command/run_outputs.h"

namespace {

constexpr std::array<std::string_view, 3> kModeFlags = {"--viewer", "--registers", "--compare"};

PreviewMode mode_of(std::string_view flag) {
  if (flag == "--viewer") return PreviewMode::Viewer;
  if (flag == "--registers") return PreviewMode::Registers;
  return PreviewMode::Compare;
}

const char* default_suffix(PreviewMode mode) {
  switch (mode) {
    case PreviewMode::Registers:
      return ".registers.png";
    case PreviewMode::Viewer:
      return ".viewer.png";
    case PreviewMode::Compare:
      return ".compare.png";
    case PreviewMode::Screen:
      break;
  }
  return ".png";
}

}  // namespace

PreviewOptions parse_preview_command_line(int argc, char** argv) {
  Arguments arguments = parse_arguments(argc, argv, kModeFlags, true, true);
  if (arguments.flags.size() > 1) {
    refuse(arguments, "Give only one of --viewer, --registers and --compare.");
  }
  require_snapshot(arguments);
  if (arguments.operands.size() > 2) {
    refuse(arguments, "Unexpected argument '" + arguments.operands[2] + "'.");
  }
  PreviewOptions options;
  options.kind = arguments.kind;
  options.problem = arguments.problem;
  if (options.kind != CommandLine::Run) return options;
  if (!arguments.flags.empty()) options.mode = mode_of(arguments.flags.front());
  options.chargen = arguments.chargen;
  options.palette = arguments.palette;
  options.outputDir = arguments.outputDir;
  options.snapshot = arguments.operands[0];
  options.picture =
      arguments.operands.size() > 1
          ? named_output(arguments.operands[1], options.outputDir)
          : output_base(options.snapshot, options.outputDir) + default_suffix(options.mode);
  return options;
}
