#pragma once

#include <string>
#include <vector>

#include "command/exit_status.h"

// What a run of lumerist did: its exit status (0 after a complete export of
// every snapshot, 255 after the banner, a usage text or any failure) and the
// files it wrote, snapshot by snapshot in the order its reports name them.
struct RunResult {
  int status = kExitFailure;
  std::vector<std::string> written;
};

// The whole run of the tool for a command line: `lumerist [-o DIR]
// SNAPSHOT...` rips each snapshot in turn, as if run once for each.
RunResult run(int argc, char** argv);
