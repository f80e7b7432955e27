#pragma once

#include <string>
#include <vector>

#include "command/exit_status.h"

// What a run of lumerist-sprites did: its exit status (0 after writing the
// files and report of every snapshot, 255 after the usage text or any
// failure) and the files it wrote, in the order its reports name them.
struct SpritesRun {
  int status = kExitFailure;
  std::vector<std::string> written;
};

// The whole run of lumerist-sprites for a command line.
SpritesRun run_sprites(int argc, char** argv);
