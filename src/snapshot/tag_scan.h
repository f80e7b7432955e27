#pragma once

#include <cstdint>
#include <optional>

#include "io/input_file.h"

// Positions of the last "VIC-" and the last "CIA2" in the file, matched
// anywhere (also inside RAM contents), windows overlapping.
struct TagPositions {
  std::optional<std::int64_t> vic;
  std::optional<std::int64_t> cia2;
};

// Searches backwards from the end of the file and stops once both tags are
// found: the same answer as a forward scan in which every later match wins,
// since a window that runs past the end reads $FF and no tag holds $FF.
// Memory use is one fixed-size chunk, whatever the file's length.
TagPositions find_last_tags(const InputFile& input);
