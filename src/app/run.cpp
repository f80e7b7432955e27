#include "app/run.h"

#include "app/messages.h"
#include "command/chargen_file.h"
#include "command/command_line.h"
#include "command/console.h"
#include "command/exit_status.h"
#include "command/open_snapshot.h"
#include "command/run_outputs.h"
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
  switch (arguments.kind) {
    case CommandLine::Help:
      print_usage(program);
      result.status = kExitSuccess;
      return result;
    case CommandLine::Version:
      print_version("lumerist");
      result.status = kExitSuccess;
      return result;
    case CommandLine::Usage:
      print_problem(arguments.problem);
      print_usage(program);
      return result;
    case CommandLine::Run:
      break;
  }
  if (!output_folder_usable(arguments.outputDir)) return result;

  // Each snapshot as if the tool were run on it alone.
  result.status = kExitSuccess;
  for (const std::string& snapshot : arguments.operands) {
    std::vector<std::string> written;
    const int status = rip(snapshot, output_base(snapshot, arguments.outputDir), written);
    if (finish_outputs(status) != kExitSuccess) {
      result.status = kExitFailure;
      continue;
    }
    result.written.insert(result.written.end(), written.begin(), written.end());
  }
  return result;
}
