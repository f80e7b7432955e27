#include "preview/preview_run.h"

#include <cstdio>
#include <string>

#include "app/console.h"
#include "app/exit_status.h"
#include "app/open_snapshot.h"
#include "io/input_file.h"
#include "preview/chargen_file.h"
#include "preview/png_file.h"
#include "preview/preview_options.h"
#include "preview/preview_pictures.h"
#include "snapshot/read_snapshot.h"

namespace {

void print_usage(const char* program) {
  print_separator();
  std::printf(
      "Lumerist preview: draws the screen of a VICE snapshot as a PNG file.\n"
      "Syntax: '%s [--viewer | --registers] [--chargen FILE] ViceSnapshotFile.vsf "
      "[Preview.png]'.\n"
      "Without options the frame VICE saved in the snapshot is drawn, else the screen the\n"
      "VIC-II registers show; --registers always draws the latter, --viewer the screen of\n"
      "lumerist's viewer program. --chargen names a 4096-byte character ROM image for\n"
      "snapshots that hold none.\n"
      "Without a PNG name the preview is written as the snapshot name followed by '.png'.\n",
      program);
  print_separator();
}

}  // namespace

int run_preview(int argc, char** argv) {
  const char* program = argc > 0 && argv[0] ? argv[0] : "lumerist-preview";
  PreviewOptions options;
  switch (parse_preview_command_line(argc, argv, options)) {
    case CommandLine::Help:
      print_usage(program);
      return kExitSuccess;
    case CommandLine::Usage:
      print_usage(program);
      return kExitFailure;
    case CommandLine::Run:
      break;
  }

  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(options.snapshot, snapshot, reading)) return kExitFailure;
  if (options.chargen && !load_chargen(*options.chargen, reading.state)) return kExitFailure;
  // Writing the PNG over one of its own inputs (or a link to it) would destroy it.
  if (is_same_file(options.picture, snapshot) ||
      (options.chargen && are_same_file(options.picture, *options.chargen))) {
    std::printf("Can't write PNG file '%s'!\n", options.picture.c_str());
    return kExitFailure;
  }

  const PreviewPicture shown = preview_picture(snapshot, reading, options.mode);
  if (snapshot.readFailed) {
    reading.error = SnapshotError::ReadFailed;
    print_snapshot_error(reading, options.snapshot);
    return kExitFailure;
  }

  if (!write_png_file(options.picture, shown.picture.pixels, kPictureWidth, kPictureHeight)) {
    std::printf("Can't write PNG file '%s'!\n", options.picture.c_str());
    return kExitFailure;
  }
  if (shown.romMissing) {
    std::fprintf(stderr,
                 "Note: '%s' holds no character ROM, so RAM was drawn where the VIC-II sees it; "
                 "give --chargen FILE to draw the ROM's characters.\n",
                 options.snapshot.c_str());
  }
  const char* path = options.picture.c_str();
  switch (shown.source) {
    case PictureSource::SavedFrame:
      std::printf("Preview written as '%s' from the frame VICE saved.\n", path);
      break;
    case PictureSource::Registers:
      std::printf("Preview written as '%s' from the VIC-II registers.\n", path);
      break;
    case PictureSource::Viewer:
      std::printf("Preview written as '%s' from the viewer program.\n", path);
      break;
  }
  return kExitSuccess;
}
