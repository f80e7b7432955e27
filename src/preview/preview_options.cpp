#include "preview/preview_options.h"

#include <array>
#include <string_view>

#include "command/run_outputs.h"

namespace {

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

bool ends_in_png(const std::string& name) {
  if (name.size() < 4) return false;
  std::string end = name.substr(name.size() - 4);
  for (char& c : end) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return end == ".png";
}

}  // namespace

bool names_picture(const Arguments& arguments) {
  return arguments.operands.size() == 2 && ends_in_png(arguments.operands[1]);
}

void check_preview_operands(Arguments& arguments) {
  if (arguments.flags.size() > 1) {
    refuse(arguments, "Give only one of --viewer, --registers and --compare.");
  }
  if (arguments.band && arguments.flags.empty()) {
    refuse(arguments, "Option --band goes with --viewer, --registers or --compare.");
  }
  require_snapshot(arguments);
  for (std::size_t i = 0; i < arguments.operands.size(); ++i) {
    if (ends_in_png(arguments.operands[i]) && !(i == 1 && names_picture(arguments))) {
      refuse(arguments, "Unexpected picture name '" + arguments.operands[i] +
                            "': a picture is named only after a single snapshot.");
    }
  }
}

std::vector<std::string> preview_snapshots(const Arguments& arguments) {
  if (names_picture(arguments)) return {arguments.operands[0]};
  return arguments.operands;
}

PreviewMode preview_mode(const Arguments& arguments) {
  if (arguments.flags.empty()) return PreviewMode::Screen;
  const std::string_view flag = arguments.flags.front();
  if (flag == "--viewer") return PreviewMode::Viewer;
  if (flag == "--registers") return PreviewMode::Registers;
  return PreviewMode::Compare;
}

std::string preview_picture_path(const SnapshotRun& run) {
  if (names_picture(run.arguments)) {
    return named_output(run.arguments.operands[1], run.arguments.outputDir);
  }
  return run.base + default_suffix(preview_mode(run.arguments));
}
