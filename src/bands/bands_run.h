#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "command/exit_status.h"

// A band of the frame as the page marks it: its number, its raster lines
// and whether a register set draws it.
struct BandMark {
  int number = 0;
  int firstLine = 0, lastLine = 0;
  bool drawn = false;  // drawn by a register set with the display on
};

// What a run of lumerist-bands did: its exit status (0 after every band's
// lines, rips and report were written for every snapshot; 255 after a usage
// text or any failure), the files it wrote in the order its reports name
// them, and for the last snapshot its bands and the frame VICE saved (384 x
// 272 colour indices; empty when it holds none).
struct BandsRun {
  int status = kExitFailure;
  std::vector<std::string> written;
  std::vector<BandMark> bands;
  std::vector<std::uint8_t> frame;
};

// The whole run of `lumerist-bands [--chargen FILE] [-o DIR] SNAPSHOT...`:
// for each snapshot, the register sets that drew the frame VICE saved, a
// line for each, then lumerist's rip of each band as
// SNAPSHOT.bandN.SUFFIX.
BandsRun run_bands(int argc, char** argv);
