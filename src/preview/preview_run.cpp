#include "preview/preview_run.h"

#include <cstdio>
#include <string>

#include "app/console.h"
#include "app/open_snapshot.h"
#include "io/input_file.h"
#include "preview/gather_blocks.h"
#include "preview/png_file.h"
#include "render/render_screen.h"
#include "snapshot/read_snapshot.h"

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = -1;

void print_usage(const char* program) {
  print_separator();
  std::printf(
      "Lumerist preview: draws the screen that lumerist's viewer shows as a PNG file.\n"
      "Syntax: '%s ViceSnapshotFile.vsf [Preview.png]'.\n"
      "Without a PNG name the preview is written as the snapshot name followed by '.png'.\n",
      program);
  print_separator();
}

}  // namespace

int run_preview(int argc, char** argv) {
  if (argc < 2) {
    print_usage(argc > 0 && argv[0] ? argv[0] : "lumerist-preview");
    return kFailure;
  }
  // Further arguments are ignored, as lumerist ignores them.
  const std::string snapshotPath = argv[1];
  const std::string pngPath = argc > 2 ? std::string(argv[2]) : snapshotPath + ".png";

  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(snapshotPath, snapshot, reading)) return kFailure;
  const Picture picture = render_viewer_screen(gather_blocks(snapshot, reading));
  if (!write_png_file(pngPath, picture)) {
    std::printf("Can't write PNG file '%s'!\n", pngPath.c_str());
    return kFailure;
  }
  std::printf("Preview written as '%s'.\n", pngPath.c_str());
  return kSuccess;
}
