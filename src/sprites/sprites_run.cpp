#include "sprites/sprites_run.h"

#include <string>

#include "command/chargen_file.h"
#include "command/command_line.h"
#include "command/console.h"
#include "command/exit_status.h"
#include "command/input_guard.h"
#include "command/open_snapshot.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "png/png_file.h"
#include "sprites/sprite_rip.h"
#include "sprites/sprites_messages.h"

SpritesRun run_sprites(int argc, char** argv) {
  SpritesRun run;
  Arguments arguments = parse_arguments(argc, argv, {});
  require_snapshot(arguments);
  if (arguments.operands.size() > 1) {
    refuse(arguments, "Unexpected argument '" + arguments.operands[1] + "'.");
  }
  const char* program = program_name(argc, argv, "lumerist-sprites");
  switch (arguments.kind) {
    case CommandLine::Help:
      print_sprites_usage(program);
      run.status = kExitSuccess;
      return run;
    case CommandLine::Usage:
      print_problem(arguments.problem);
      print_sprites_usage(program);
      return run;
    case CommandLine::Run:
      break;
  }
  const std::string& snapshotPath = arguments.operands[0];
  const std::string dataPath = snapshotPath + ".sprites";
  const std::string sheetPath = snapshotPath + ".sprites.png";

  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(snapshotPath, snapshot, reading)) return run;
  const CharacterRom rom = find_character_rom(arguments.chargen, reading.state);
  if (rom.refused) return run;
  const SpriteRip rip = rip_sprites(reading.state);
  // Neither output may overwrite an input (or a link to one).
  if (!rip.enabled.empty() && overwrites_an_input(dataPath, snapshot, rom.file)) {
    print_data_failure(dataPath);
    return run;
  }
  if (overwrites_an_input(sheetPath, snapshot, rom.file)) {
    print_png_failure(sheetPath);
    return run;
  }

  if (!rip.enabled.empty()) {
    OutputFile data = open_output(dataPath);
    write_bytes(data, rip.data);
    if (!close_output(data)) {
      print_data_failure(dataPath);
      return run;
    }
    run.written.push_back(dataPath);
  }
  if (!write_png_file(sheetPath, rip.sheet, kSheetWidth, kSheetHeight, PngPacking::Stored)) {
    print_png_failure(sheetPath);
    return run;
  }
  run.written.push_back(sheetPath);
  print_sprites_notes(snapshotPath, rip);
  print_sprites_report(rip, dataPath, sheetPath);
  run.status = kExitSuccess;
  return run;
}
