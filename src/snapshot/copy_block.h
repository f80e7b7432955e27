#pragma once

#include <cstddef>
#include <cstdint>

#include "io/input_file.h"
#include "io/output_file.h"

// Copies `count` bytes from the snapshot at absolute file offset `offset` to
// `first` and, when given, to `second`: both receive the same bytes. Bytes
// past the end of the snapshot are $FF.
void copy_block(const InputFile& snapshot, std::int64_t offset, std::size_t count,
                OutputFile& first, OutputFile* second = nullptr);
