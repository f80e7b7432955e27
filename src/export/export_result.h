#pragma once

#include <optional>

#include "app/output_names.h"
#include "io/output_file.h"

// What an export path returns: nothing on success, else the first output
// that could not be opened or written completely.
using ExportResult = std::optional<OutputFailure>;

// Closes `output`; when it failed and no earlier output did, it becomes the
// run's failure.
inline void close_checked(OutputFile& output, Output which, ExportResult& result) {
  if (!close_output(output) && !result) result = OutputFailure{which, output.path};
}
