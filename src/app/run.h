#pragma once

#include <string>
#include <vector>

#include "command/exit_status.h"

// What a run of lumerist did: its exit status (0 after a complete export,
// 255 after the banner or any failure) and the files it created, in the
// order its report names them (also those a failure left behind).
struct RunResult {
  int status = kExitFailure;
  std::vector<std::string> written;
};

// The whole run of the tool for a command line.
RunResult run(int argc, char** argv);
