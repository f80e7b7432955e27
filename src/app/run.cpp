#include "app/run.h"

#include "app/messages.h"
#include "command/chargen_file.h"
#include "command/command_run.h"
#include "command/exit_status.h"
#include "command/open_snapshot.h"
#include "command/screen_rip.h"
#include "io/input_file.h"
#include "snapshot/read_snapshot.h"

namespace {

constexpr CommandSpec kLumerist{.name = "lumerist",
                                .printUsage = print_usage,
                                .flags = {},
                                .takesChargen = true,
                                .takesBand = false,
                                .printBanner = print_banner};

// Rips one snapshot into the outputs named from its base.
int rip(SnapshotRun& run) {
  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(run.snapshot, snapshot, reading)) return kExitFailure;
  const CharacterRom rom = find_character_rom(run.arguments.chargen, reading.state);
  if (rom.refused) return kExitFailure;
  return rip_screen(reading.state, run.base, {snapshot, rom.file}, run.outputs, run.written)
             ? kExitSuccess
             : kExitFailure;
}

}  // namespace

RunResult run(int argc, char** argv) {
  RunResult result;
  result.status = run_command(kLumerist, argc, argv, rip, result.written);
  return result;
}
