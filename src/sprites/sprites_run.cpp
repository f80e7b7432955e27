#include "sprites/sprites_run.h"

#include <string>

#include "command/chargen_file.h"
#include "command/command_line.h"
#include "command/command_run.h"
#include "command/console.h"
#include "command/exit_status.h"
#include "command/input_guard.h"
#include "command/palette_choice.h"
#include "command/rip_source.h"
#include "command/run_outputs.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "png/png_file.h"
#include "sprites/sprite_rip.h"
#include "sprites/sprites_messages.h"

namespace {

constexpr CommandSpec kSprites{.name = "lumerist-sprites",
                               .printUsage = print_sprites_usage,
                               .options = {.chargen = true, .band = true, .palette = true}};

// Rips the sprites of one snapshot into the outputs named from its base.
int rip(SnapshotRun& run) {
  const std::string dataPath = run.base + ".sprites";
  const std::string sheetPath = run.base + ".sprites.png";
  RipSource source;
  if (!open_rip_source(run, source)) return kExitFailure;
  const InputFile& snapshot = source.snapshot;
  const CharacterRom& rom = source.rom;
  const std::optional<ChosenPalette> palette = choose_palette(run.arguments.palette);
  if (!palette) return kExitFailure;
  const SpriteRip rip = rip_sprites(source.reading.state);
  // Neither output may overwrite an input (or a link to one).
  if (!rip.enabled.empty() && overwrites_an_input(dataPath, snapshot, rom.file, palette->file)) {
    print_data_failure(dataPath);
    return kExitFailure;
  }
  if (overwrites_an_input(sheetPath, snapshot, rom.file, palette->file)) {
    print_png_failure(sheetPath);
    return kExitFailure;
  }
  std::vector<std::string> paths = {sheetPath};
  if (!rip.enabled.empty()) paths.insert(paths.begin(), dataPath);
  if (!claim_outputs(run.outputs, paths)) return kExitFailure;

  if (!rip.enabled.empty()) {
    OutputFile data = open_output(run.outputs, dataPath);
    write_bytes(data, rip.data);
    if (!close_output(data)) {
      print_data_failure(dataPath);
      return kExitFailure;
    }
    run.written.push_back(dataPath);
  }
  if (!write_png_file(run.outputs, sheetPath, rip.sheet, kSheetWidth, kSheetHeight,
                      PngPacking::Stored, palette->colours)) {
    print_png_failure(sheetPath);
    return kExitFailure;
  }
  run.written.push_back(sheetPath);
  print_rip_notes(source, rip.romMissing, true);
  print_sprites_report(rip, dataPath, sheetPath);
  return kExitSuccess;
}

}  // namespace

SpritesRun run_sprites(int argc, char** argv) {
  SpritesRun run;
  run.status = run_command(kSprites, argc, argv, rip, run.written);
  return run;
}
