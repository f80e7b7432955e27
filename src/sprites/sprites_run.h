#pragma once

#include <string>
#include <vector>

// What a run of lumerist-sprites did: its exit status (0 after writing its
// files and report, -1 after the usage text or any failure) and the files
// it wrote completely, in the order its report names them.
struct SpritesRun {
  int status = -1;
  std::vector<std::string> written;
};

// The whole run of lumerist-sprites for a command line.
SpritesRun run_sprites(int argc, char** argv);
