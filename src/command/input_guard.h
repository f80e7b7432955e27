#pragma once

#include <optional>
#include <string>

#include "io/input_file.h"

// True when writing `output` would overwrite one of the run's inputs: the
// open snapshot or the character ROM file, or a link to either.
bool overwrites_an_input(const std::string& output, const InputFile& snapshot,
                         const std::optional<std::string>& chargen);
