#include "sprites/sprites_run.h"

#include <string>

#include "command/chargen_file.h"
#include "command/command_line.h"
#include "command/console.h"
#include "command/exit_status.h"
#include "command/input_guard.h"
#include "command/open_snapshot.h"
#include "command/run_outputs.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "png/png_file.h"
#include "sprites/sprite_rip.h"
#include "sprites/sprites_messages.h"

namespace {

// Rips the sprites of one snapshot into the outputs named from `base`: its
// status, and the files it wrote in the order its report names them.
int rip(const std::string& snapshotPath, const std::string& base,
        const std::optional<std::string>& chargen, std::vector<std::string>& written) {
  const std::string dataPath = base + ".sprites";
  const std::string sheetPath = base + ".sprites.png";
  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(snapshotPath, snapshot, reading)) return kExitFailure;
  const CharacterRom rom = find_character_rom(chargen, reading.state);
  if (rom.refused) return kExitFailure;
  const SpriteRip rip = rip_sprites(reading.state);
  // Neither output may overwrite an input (or a link to one).
  if (!rip.enabled.empty() && overwrites_an_input(dataPath, snapshot, rom.file)) {
    print_data_failure(dataPath);
    return kExitFailure;
  }
  if (overwrites_an_input(sheetPath, snapshot, rom.file)) {
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
  if (!write_png_file(sheetPath, rip.sheet, kSheetWidth, kSheetHeight, PngPacking::Stored)) {
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
  Arguments arguments = parse_arguments(argc, argv, {}, true);
  require_snapshot(arguments);
  const char* program = program_name(argc, argv, "lumerist-sprites");
  switch (arguments.kind) {
    case CommandLine::Help:
      print_sprites_usage(program);
      run.status = kExitSuccess;
      return run;
    case CommandLine::Version:
      print_version("lumerist-sprites");
      run.status = kExitSuccess;
      return run;
    case CommandLine::Usage:
      print_problem(arguments.problem);
      print_sprites_usage(program);
      return run;
    case CommandLine::Run:
      break;
  }
  if (!output_folder_usable(arguments.outputDir)) return run;

  // Each snapshot as if the command were run on it alone.
  run.status = kExitSuccess;
  for (const std::string& snapshot : arguments.operands) {
    std::vector<std::string> written;
    const int status =
        rip(snapshot, output_base(snapshot, arguments.outputDir), arguments.chargen, written);
    if (finish_outputs(status) != kExitSuccess) {
      run.status = kExitFailure;
      continue;
    }
    run.written.insert(run.written.end(), written.begin(), written.end());
  }
  return run;
}
