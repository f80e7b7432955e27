#pragma once

#include <optional>
#include <string>
#include <vector>

#include "io/input_file.h"
#include "io/output_file.h"
#include "snapshot/video_state.h"

// lumerist's rip of a screen, which lumerist-bands makes of each band too:
// the raw dumps, the picture file and the viewer program, named from
// `base` plus their suffixes, and the report block between rule lines (or
// the message of the output that failed), on standard output.

// The files a rip reads, which no output may overwrite (or a link to one).
struct RipInputs {
  const InputFile& snapshot;
  const std::optional<std::string>& romFile;  // the character ROM file, when one was read
};

// Rips the screen `state` shows as outputs of `outputs`, none of them an
// input and none a file the run wrote for an earlier snapshot. Returns true
// when every output was written; `written` then holds them in the order the
// report names them.
bool rip_screen(const VideoState& state, const std::string& base, const RipInputs& inputs,
                OutputBatch& outputs, std::vector<std::string>& written);

// The viewer program of the rip of `state`: two rips are the same, file for
// file, when their viewer programs are.
std::vector<std::uint8_t> rip_viewer_program(const VideoState& state);
