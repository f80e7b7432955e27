#pragma once

#include <optional>
#include <string>

#include "io/input_file.h"

// True when writing `output` would overwrite one of the run's inputs: the
// open snapshot, the character ROM file or the palette file, or a link to
// any of them.
bool overwrites_an_input(const std::string& output, const InputFile& snapshot,
                         const std::optional<std::string>& chargen,
                         const std::optional<std::string>& palette = std::nullopt);
