#include "sprites/sprites_run.h"

#include <string>

#include "command/chargen_file.h"
#include "command/command_line.h"
#include "command/command_run.h"
#include "command/console.h"
#include "command/exit_status.h"
#include "command/input_guard.h"
#include "command/open_snapshot.h"
#include "command/palette_choice.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "png/png_file.h"
#include "sprites/sprite_rip.h"
#include "sprites/sprites_messages.h"

namespace {

// Rips the sprites of one snapshot into the outputs named from `base`: its
// status, and the files it wrote in the order its report names them.
int rip(const std::string& snapshotPath, const std::string& base, const Arguments& arguments,
        std::vector<std::string>& written) {
  const std::string dataPath = base + ".sprites";
  const std::string sheetPath = base + ".sprites.png";
  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(snapshotPath, snapshot, reading)) return kExitFailure;
  const CharacterRom rom = find_character_rom(arguments.chargen, reading.state);
  if (rom.refused) return kExitFailure;
  const std::optional<ChosenPalette> palette = choose_palette(arguments.palette);
  if (!palette) return kExitFailure;
  const SpriteRip rip = rip_sprites(reading.state);
  // Neither output may overwrite an input (or a link to one).
  if (!rip.enabled.empty() && overwrites_an_input(dataPath, snapshot, rom.file, palette->file)) {
    print_data_failure(dataPath);
    return kExitFailure;
  }
  if (overwrites_an_input(sheetPath, snapshot, rom.file, palette->file)) {
    print_png_failure(sheetPath);
    return kExitFailure;
  }

  if (!rip.enabled.empty()) {
    OutputFile data = open_output(dataPath);
    write_bytes(data, rip.data);
    if (!close_output(data)) {
      print_data_failure(dataPath);
      return kExitFailure;
    }
    written.push_back(dataPath);
  }
  if (!write_png_file(sheetPath, rip.sheet, kSheetWidth, kSheetHeight, PngPacking::Stored,
                      palette->colours)) {
    print_png_failure(sheetPath);
    return kExitFailure;
  }
  written.push_back(sheetPath);
  print_sprites_notes(snapshotPath, rip);
  print_sprites_report(rip, dataPath, sheetPath);
  return kExitSuccess;
}

}  // namespace

SpritesRun run_sprites(int argc, char** argv) {
  SpritesRun run;
  Arguments arguments = parse_arguments(argc, argv, {}, true, true);
  require_snapshot(arguments);
  const char* program = program_name(argc, argv, "lumerist-sprites");
  if (const std::optional<int> answered = answer_command_line(
          arguments.kind, arguments.problem, "lumerist-sprites", program, print_sprites_usage)) {
    run.status = *answered;
    return run;
  }
  run.status = run_each_snapshot(
      arguments,
      [&arguments](const std::string& snapshot, const std::string& base,
                   std::vector<std::string>& written) {
        return rip(snapshot, base, arguments, written);
      },
      run.written);
  return run;
}
