#include "preview/preview_run.h"

#include <cstdio>
#include <string>

#include "app/console.h"
#include "app/exit_status.h"
#include "app/open_snapshot.h"
#include "io/input_file.h"
#include "preview/chargen_file.h"
#include "preview/compare.h"
#include "preview/png_file.h"
#include "preview/preview_options.h"
#include "preview/preview_pictures.h"
#include "snapshot/read_snapshot.h"

namespace {

void print_usage(const char* program) {
  print_separator();
  std::printf(
      "Lumerist preview: draws the screen of a VICE snapshot as a PNG file.\n"
      "Syntax: '%s [--viewer | --registers | --compare] [--chargen FILE] "
      "ViceSnapshotFile.vsf [Preview.png]'.\n"
      "Without options the frame VICE saved in the snapshot is drawn, else the screen the\n"
      "VIC-II registers show; --registers always draws the latter, --viewer the screen of\n"
      "lumerist's viewer program, --compare both side by side with their differences and\n"
      "their causes. --chargen names a 4096-byte character ROM image for snapshots that\n"
      "hold none.\n"
      "Without a PNG name the preview is written as the snapshot name followed by '.png'\n"
      "('.compare.png' with --compare).\n",
      program);
  print_separator();
}

// Writes the comparison picture, then says how the two pictures differ and
// why; -1 when the picture cannot be written.
int run_comparison(const InputFile& snapshot, const SnapshotReading& reading,
                   const PreviewOptions& options) {
  const Comparison comparison = compare_screen_with_viewer(snapshot, reading);
  if (snapshot.readFailed) {
    print_read_failure(options.snapshot);
    return kExitFailure;
  }
  if (!write_png_file(options.picture, comparison_picture(comparison), kComparisonWidth,
                      kPictureHeight)) {
    std::printf("Can't write PNG file '%s'!\n", options.picture.c_str());
    return kExitFailure;
  }
  std::printf("Screen and viewer program differ in %u of 104448 pixels.\n", comparison.differing);
  if (!comparison.sprites.empty()) {
    std::string numbers;
    for (const int n : comparison.sprites) {
      numbers += (numbers.empty() ? "" : ", ") + std::to_string(n);
    }
    std::printf("Sprites on the screen: %s; the viewer program shows none.\n", numbers.c_str());
  }
  if (comparison.charsetInRom) {
    std::printf("The character set lies in the character ROM; the export takes the RAM beneath.\n");
  }
  if (comparison.romMissing) {
    std::printf(
        "The snapshot holds no character ROM; give --chargen FILE to compare the characters.\n");
  }
  if (comparison.extendedOrInvalid) {
    std::printf(
        "The screen uses extended background colours or an invalid mode; the viewer program "
        "does not.\n");
  }
  if (comparison.scrolledOrNarrow) {
    std::printf(
        "The screen is scrolled or shows 24 rows or 38 columns; the viewer program shows it "
        "otherwise.\n");
  }
  if (comparison.savedFrameDiffers) {
    std::printf(
        "The frame VICE saved differs from the registers in %u pixels: changes during the frame, "
        "which the export cannot hold.\n",
        *comparison.savedFrameDiffers);
  }
  std::printf("Comparison written as '%s'.\n", options.picture.c_str());
  return kExitSuccess;
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

  if (options.mode == PreviewMode::Compare) return run_comparison(snapshot, reading, options);
  const PreviewPicture shown = preview_picture(snapshot, reading, options.mode);
  if (snapshot.readFailed) {
    print_read_failure(options.snapshot);
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
