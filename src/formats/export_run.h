#pragma once

#include <string>
#include <vector>

#include "command/exit_status.h"

// What a run of lumerist-export did: its exit status (0 after writing every
// output and the report, or after --help, --version or --list; 255 after a
// usage text or any failure) and the files it wrote, in order.
struct ExportRun {
  int status = kExitFailure;
  std::vector<std::string> written;
};

// The whole run of `lumerist-export [--chargen FILE] [-o DIR] SNAPSHOT
// OUTPUT...` (or `--list`): the format of each output is chosen by its
// extension before anything is written; an output that no format has, or
// whose format cannot hold the screen, refuses the run.
ExportRun run_export(int argc, char** argv);
