#include "preview/preview_run.h"

#include "command/chargen_file.h"
#include "command/command_run.h"
#include "command/console.h"
#include "command/exit_status.h"
#include "command/input_guard.h"
#include "command/open_snapshot.h"
#include "command/palette_choice.h"
#include "command/rip_source.h"
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
                   const SnapshotRun& job, const std::string& picturePath, PreviewRun& run) {
  const Comparison comparison = compare_screen_with_viewer(snapshot, reading);
  if (snapshot.readFailed) {
    print_read_failure(job.snapshot);
    return kExitFailure;
  }
  std::vector<std::uint8_t> picture = comparison_picture(comparison);
  if (!write_png_file(job.outputs, picturePath, picture, kComparisonWidth, kPictureHeight,
                      PngPacking::Runs, run.colours)) {
    print_png_failure(picturePath);
    return kExitFailure;
  }
  print_comparison(comparison, picturePath);
  run.pixels = std::move(picture);
  run.differing = comparison.differing;
  run.uncompared = comparison.uncompared;
  return kExitSuccess;
}

// False, after its message, when the picture may not be written where the
// command line asks: over an input, a file the run wrote, or a file that
// is not a picture.
bool picture_may_be_written(const std::string& picturePath, const InputFile& snapshot,
                            const CharacterRom& rom, const std::optional<std::string>& palette,
                            const SnapshotRun& job) {
  if (overwrites_an_input(picturePath, snapshot, rom.file, palette)) {
    print_png_failure(picturePath);
    return false;
  }
  if (!may_replace_with_png(picturePath)) {
    print_not_a_png(picturePath);
    return false;
  }
  return claim_outputs(job.outputs, std::span(&picturePath, 1));
}

// Draws and writes the picture the command line asks for; its status.
int draw(SnapshotRun& job, PreviewRun& run) {
  const std::string picturePath = preview_picture_path(job);
  RipSource source;
  if (!open_rip_source(job, source)) return kExitFailure;
  const InputFile& snapshot = source.snapshot;
  const SnapshotReading& reading = source.reading;
  const std::optional<ChosenPalette> palette = choose_palette(job.arguments.palette);
  if (!palette) return kExitFailure;
  run.colours = palette->colours;
  if (!picture_may_be_written(picturePath, snapshot, source.rom, palette->file, job)) {
    return kExitFailure;
  }

  const PreviewMode mode = preview_mode(job.arguments);
  if (mode == PreviewMode::Compare) {
    return run_comparison(snapshot, reading, job, picturePath, run);
  }
  PreviewPicture shown = preview_picture(snapshot, reading, mode);
  if (snapshot.readFailed) {
    print_read_failure(job.snapshot);
    return kExitFailure;
  }
  if (!write_png_file(job.outputs, picturePath, shown.picture.pixels, kPictureWidth, kPictureHeight,
                      PngPacking::Runs, run.colours)) {
    print_png_failure(picturePath);
    return kExitFailure;
  }
  print_picture_notes(job.snapshot, reading, shown);
  if (mode == PreviewMode::Viewer) print_rip_notes(source, false, true);
  print_preview_written(picturePath, shown.source);
  run.source = shown.source;
  run.pixels = std::move(shown.picture.pixels);
  return kExitSuccess;
}

constexpr CommandSpec kPreview{
    .name = "lumerist-preview",
    .printUsage = print_preview_usage,
    .options = {.flags = kPreviewModeFlags, .chargen = true, .band = true, .palette = true},
    .checkOperands = check_preview_operands,
    .snapshotsOf = preview_snapshots};

}  // namespace

PreviewRun run_preview(int argc, char** argv) {
  PreviewRun run;
  run.status = run_command(
      kPreview, argc, argv,
      [&run](SnapshotRun& job) {
        const int status = draw(job, run);
        if (status == kExitSuccess) job.written.push_back(preview_picture_path(job));
        return status;
      },
      run.written);
  if (run.status != kExitSuccess) run.pixels.clear();
  return run;
}
