#include "preview/preview_run.h"

#include "command/chargen_file.h"
#include "command/command_run.h"
#include "command/console.h"
#include "command/exit_status.h"
#include "command/input_guard.h"
#include "command/open_snapshot.h"
#include "command/palette_choice.h"
#include "command/run_outputs.h"
#include "io/input_file.h"
#include "png/png_file.h"
#include "preview/compare.h"
#include "preview/preview_messages.h"
#include "preview/preview_options.h"
#include "preview/preview_pictures.h"
#include "snapshot/read_snapshot.h"

namespace {

// Writes the comparison picture, then says how the two pictures differ and
// why; kExitFailure when the picture cannot be written.
int run_comparison(const InputFile& snapshot, const SnapshotReading& reading,
                   const PreviewOptions& options, PreviewRun& run) {
  const Comparison comparison = compare_screen_with_viewer(snapshot, reading);
  if (snapshot.readFailed) {
    print_read_failure(options.snapshot);
    return kExitFailure;
  }
  std::vector<std::uint8_t> picture = comparison_picture(comparison);
  if (!write_png_file(options.picture, picture, kComparisonWidth, kPictureHeight, PngPacking::Runs,
                      run.colours)) {
    print_png_failure(options.picture);
    return kExitFailure;
  }
  print_comparison(comparison, options.picture);
  run.pixels = std::move(picture);
  run.differing = comparison.differing;
  run.uncompared = comparison.uncompared;
  return kExitSuccess;
}

}  // namespace

namespace {

// Draws and writes the picture the options ask for; its status.
int draw(const PreviewOptions& options, PreviewRun& run) {
  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(options.snapshot, snapshot, reading)) return kExitFailure;
  const CharacterRom rom = find_character_rom(options.chargen, reading.state);
  if (rom.refused) return kExitFailure;
  const std::optional<ChosenPalette> palette = choose_palette(options.palette);
  if (!palette) return kExitFailure;
  run.colours = palette->colours;
  if (overwrites_an_input(options.picture, snapshot, rom.file, palette->file)) {
    print_png_failure(options.picture);
    return kExitFailure;
  }

  if (options.mode == PreviewMode::Compare) return run_comparison(snapshot, reading, options, run);
  PreviewPicture shown = preview_picture(snapshot, reading, options.mode);
  if (snapshot.readFailed) {
    print_read_failure(options.snapshot);
    return kExitFailure;
  }
  if (!write_png_file(options.picture, shown.picture.pixels, kPictureWidth, kPictureHeight,
                      PngPacking::Runs, run.colours)) {
    print_png_failure(options.picture);
    return kExitFailure;
  }
  print_picture_notes(options.snapshot, reading, shown);
  print_preview_written(options.picture, shown.source);
  run.source = shown.source;
  run.pixels = std::move(shown.picture.pixels);
  return kExitSuccess;
}

}  // namespace

PreviewRun run_preview(int argc, char** argv) {
  PreviewRun run;
  const PreviewOptions options = parse_preview_command_line(argc, argv);
  const char* program = program_name(argc, argv, "lumerist-preview");
  if (const std::optional<int> answered = answer_command_line(
          options.kind, options.problem, "lumerist-preview", program, print_preview_usage)) {
    run.status = *answered;
    return run;
  }
  if (!output_folder_usable(options.outputDir)) return run;
  run.status = finish_outputs(draw(options, run));
  if (run.status == kExitSuccess) {
    run.written.push_back(options.picture);
  } else {
    run.pixels.clear();
  }
  return run;
}
