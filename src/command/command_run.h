#pragma once

#include <optional>
#include <string>
#include <vector>

#include "command/command_line.h"
#include "command/exit_status.h"
#include "command/run_outputs.h"

// The steps every command runs around its own work.

// Answers a command line that asks for the usage (--help), the version, or
// cannot be used (its reason, then the usage), and gives the exit status;
// nothing when the command is to run.
std::optional<int> answer_command_line(CommandLine kind, const std::string& problem,
                                       const char* command, const char* program,
                                       void (*print_usage)(const char*));

// Runs `rip(snapshot, base, written)` on each snapshot of the command line in
// turn, as if the command were run on it alone: `base` names its outputs
// (output_base), and finish_outputs ends its run. An output folder that
// cannot be used is refused first. Returns 0 when every snapshot's run
// succeeded; `written` gathers the files of those that did.
template <typename Rip>
int run_each_snapshot(const Arguments& arguments, Rip rip, std::vector<std::string>& written) {
  if (!output_folder_usable(arguments.outputDir)) return kExitFailure;
  int status = kExitSuccess;
  for (const std::string& snapshot : arguments.operands) {
    std::vector<std::string> files;
    if (finish_outputs(rip(snapshot, output_base(snapshot, arguments.outputDir), files)) !=
        kExitSuccess) {
      status = kExitFailure;
      continue;
    }
    written.insert(written.end(), files.begin(), files.end());
  }
  return status;
}
