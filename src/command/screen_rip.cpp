#include "command/screen_rip.h"

#include <algorithm>
#include <cstdio>

#include "command/console.h"
#include "command/input_guard.h"
#include "command/run_outputs.h"
#include "export/bitmap_export.h"
#include "export/outputs.h"
#include "export/text_export.h"
#include "io/output_file.h"
#include "viewer/viewer_program.h"

namespace {

// The eight output paths for a base, formed before anything is opened.
OutputNames output_names(const std::string& base) {
  OutputNames names;
  names.bitmap = base + ".bitmap";
  names.colmap = base + ".colmap";
  names.attrib = base + ".attrib";
  names.koala = base + ".koa";
  names.hires = base + ".ip64h";
  names.prg = base + ".prg";
  names.font = base + ".font";
  names.screen = base + ".screen";
  return names;
}

std::vector<std::string> in_report_order(std::vector<OutputName> outputs) {
  std::stable_sort(outputs.begin(), outputs.end(), [](const OutputName& a, const OutputName& b) {
    return report_rank(a.output) < report_rank(b.output);
  });
  std::vector<std::string> paths;
  for (const OutputName& output : outputs) paths.push_back(output.path);
  return paths;
}

void print_output_failure(const OutputFailure& failure) {
  const char* path = failure.path.c_str();
  switch (failure.output) {
    case Output::Prg:
      std::printf("Cant't write PRG file '%s'!\n", path);
      break;
    case Output::Bitmap:
      std::printf("Cant't write bitmap file '%s'!\n", path);
      break;
    case Output::Picture:
      std::printf("Cant't write picture file '%s'!\n", path);
      break;
    case Output::Colmap:
      std::printf("Cant't write colmap file '%s'!\n", path);
      break;
    case Output::Attrib:
      std::printf("Cant't write color attributes file '%s'!\n", path);
      break;
    case Output::Screen:
      std::printf("Cant't write screen file '%s'!\n", path);
      break;
    case Output::Font:
      std::printf("Cant't write font file '%s'!\n", path);
      break;
  }
}

}  // namespace

bool rip_screen(const VideoState& state, const std::string& base, const RipInputs& inputs,
                OutputBatch& outputs, std::vector<std::string>& written) {
  const OutputNames names = output_names(base);
  const VideoSetup setup = decode_video_setup(state);
  // An output that is an input (a link to one) would destroy it.
  std::vector<std::string> paths;
  for (const OutputName& output : outputs_written(names, setup)) {
    if (overwrites_an_input(output.path, inputs.snapshot, inputs.romFile)) {
      print_output_failure(output);
      return false;
    }
    paths.push_back(output.path);
  }
  if (!claim_outputs(outputs, paths)) return false;

  OutputFile prg = open_output(outputs, names.prg);
  if (!prg.file) {
    print_output_failure({Output::Prg, names.prg});
    return false;
  }
  const ExportResult exported = setup.bitmapMode ? BitmapExport(outputs, prg, names, setup, state)
                                                 : TextExport(outputs, prg, names, setup, state);
  if (!exported.report.empty()) {
    print_separator();
    std::fputs(exported.report.c_str(), stdout);
    print_separator();
  }
  if (exported.failure) {
    print_output_failure(*exported.failure);
    return false;
  }
  std::vector<OutputName> opened = exported.opened;
  opened.push_back({Output::Prg, names.prg});
  written = in_report_order(std::move(opened));
  return true;
}

std::vector<std::uint8_t> rip_viewer_program(const VideoState& state) {
  const VideoSetup setup = decode_video_setup(state);
  return viewer_program(viewer_kind_of(setup), setup, screen_blocks(setup, state));
}
