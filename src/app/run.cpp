#include "app/run.h"

#include "app/messages.h"
#include "command/chargen_file.h"
#include "command/command_run.h"
#include "command/exit_status.h"
#include "command/rip_source.h"
#include "command/screen_rip.h"
#include "io/input_file.h"
#include "snapshot/read_snapshot.h"
#include "snapshot/vic_memory.h"

namespace {

constexpr CommandSpec kLumerist{.name = "lumerist",
                                .printUsage = print_usage,
                                .options = {.chargen = true, .band = true},
                                .printBanner = print_banner};

// Rips one snapshot into the outputs named from its base.
int rip(SnapshotRun& run) {
  RipSource source;
  if (!open_rip_source(run, source)) return kExitFailure;
  const VideoState& state = source.reading.state;
  if (!rip_screen(state, run.base, {source.snapshot, source.rom.file}, run.outputs, run.written)) {
    return kExitFailure;
  }
  print_rip_notes(source, screen_blocks(source.reading.setup, state).readsRom, true);
  return kExitSuccess;
}

}  // namespace

RunResult run(int argc, char** argv) {
  RunResult result;
  result.status = run_command(kLumerist, argc, argv, rip, result.written);
  return result;
}
