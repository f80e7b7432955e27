#include "app/run.h"

#include "app/messages.h"
#include "command/chargen_file.h"
#include "command/command_line.h"
#include "command/command_run.h"
#include "command/console.h"
#include "command/exit_status.h"
#include "command/open_snapshot.h"
#include "command/screen_rip.h"
#include "io/input_file.h"
#include "snapshot/read_snapshot.h"

namespace {

// Rips one snapshot into the outputs named from `base`: its status, and the
// files it wrote in the order its report names them.
int rip(const std::string& snapshotPath, const std::string& base,
        std::vector<std::string>& written) {
  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(snapshotPath, snapshot, reading)) return kExitFailure;
  const CharacterRom rom = find_character_rom(std::nullopt, reading.state);
  if (rom.refused) return kExitFailure;
  return rip_screen(reading.state, base, snapshot, rom.file, written) ? kExitSuccess : kExitFailure;
}

}  // namespace

RunResult run(int argc, char** argv) {
  RunResult result;  // a failure until every export is complete
  const char* program = program_name(argc, argv, "lumerist");
  if (argc < 2) {
    print_banner(program);
    return result;
  }
  Arguments arguments = parse_arguments(argc, argv, {}, false);
  require_snapshot(arguments);
  if (const std::optional<int> answered = answer_command_line(arguments.kind, arguments.problem,
                                                              "lumerist", program, print_usage)) {
    result.status = *answered;
    return result;
  }
  result.status = run_each_snapshot(arguments, rip, result.written);
  return result;
}
