#pragma once

#include <optional>
#include <string>

#include "export/outputs.h"
#include "io/output_file.h"

// What an export path hands back to be printed: its report block without
// the rule lines that frame it (empty when no report is due), and the first
// output that could not be opened or written completely, if any. A bitmap
// export reports as soon as its files are open, so a failed write comes
// with a report; a text export reports only when all is written.
struct ExportResult {
  std::string report;
  std::optional<OutputFailure> failure;
};

inline ExportResult export_failure(Output which, const std::string& path) {
  return ExportResult{{}, OutputFailure{which, path}};
}

// Closes `output`; when it failed and no earlier output did, it becomes the
// run's failure.
inline void close_checked(OutputFile& output, Output which, ExportResult& result) {
  if (!close_output(output) && !result.failure) result.failure = OutputFailure{which, output.path};
}
