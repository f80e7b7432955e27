#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "command/command_line.h"
#include "command/exit_status.h"
#include "command/run_outputs.h"
#include "io/output_file.h"

// The steps every command runs: answer the command line (--help,
// --version, a refusal), then each snapshot it names in turn, as if the
// command were run on it alone, then the exit status.

// What a command is to those steps.
struct CommandSpec {
  const char* name;                                    // "lumerist-bands"
  void (*printUsage)(const char* program);             // the usage text
  CommandOptions options;                              // its own flags, the options it takes
  void (*printBanner)(const char* program) = nullptr;  // printed when run without an argument
  // The command's own rules for its file names, after the shared ones
  // (refuse() where they fail); by default, at least one snapshot.
  void (*checkOperands)(Arguments& arguments) = require_snapshot;
  // A command line the command answers itself (lumerist-export --list): its
  // status, or nothing when the snapshots are to be run.
  std::optional<int> (*answer)(const Arguments& arguments) = nullptr;
  // The snapshots the file names name, when not every one is a snapshot.
  std::vector<std::string> (*snapshotsOf)(const Arguments& arguments) = nullptr;
};

// One snapshot's run, as the command's own work sees it.
struct SnapshotRun {
  const Arguments& arguments;
  const std::string& snapshot;        // its path
  std::string base;                   // the start of its outputs' names (output_base)
  OutputBatch& outputs;               // the run's outputs, committed when the snapshot is done
  std::vector<std::string>& written;  // the files it wrote, in the order its report names them
};

// The start of a snapshot's output names: output_base, with --band N
// followed by ".bandN".
std::string snapshot_output_base(const std::string& snapshot, const Arguments& arguments);

// Reads the command line and answers it where the command is not to run:
// the status then, else nothing, with `arguments` read and the output
// folder found usable.
std::optional<int> prepare_command(const CommandSpec& tool, int argc, char** argv,
                                   Arguments& arguments);

// The snapshots of a command line that runs.
std::vector<std::string> snapshots_named(const CommandSpec& tool, const Arguments& arguments);

// Runs the command: `rip(run)` on each snapshot, its outputs committed (or,
// after a failure, discarded) before the next. Returns 0 when every
// snapshot's run succeeded; `written` gathers the files of those that did.
template <typename Rip>
int run_command(const CommandSpec& tool, int argc, char** argv, Rip rip,
                std::vector<std::string>& written) {
  Arguments arguments;
  if (const std::optional<int> answered = prepare_command(tool, argc, argv, arguments)) {
    return *answered;
  }
  OutputBatch outputs;
  int status = kExitSuccess;
  for (const std::string& snapshot : snapshots_named(tool, arguments)) {
    std::vector<std::string> files;
    SnapshotRun run{arguments, snapshot, snapshot_output_base(snapshot, arguments), outputs, files};
    if (finish_outputs(outputs, rip(run)) != kExitSuccess) {
      status = kExitFailure;
      continue;
    }
    written.insert(written.end(), files.begin(), files.end());
  }
  return status;
}
