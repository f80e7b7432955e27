#pragma once

#include <cstddef>

#include "io/output_file.h"

// Writes `count` zero bytes: the fills that put each block of a viewer
// program at the C64 address its stub expects.
void write_zeros(OutputFile& output, std::size_t count);
