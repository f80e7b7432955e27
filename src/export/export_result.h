#pragma once

#include <optional>
#include <string>
#include <vector>

#include "export/outputs.h"
#include "io/output_file.h"

// What an export path hands back to be printed: its report block without
// the rule lines that frame it (empty when no report is due), and the first
// output that could not be opened or written completely, if any. A bitmap
// export reports as soon as its files are open, so a failed write comes
// with a report; a text export reports only when all is written. `opened`
// lists the outputs the export created, in the order it opened them.
struct ExportResult {
  std::string report;
  std::optional<OutputFailure> failure;
  std::vector<OutputName> opened;
};

// Notes that `output` opened, or makes it the failure; true when it opened.
inline bool note_opened(const OutputFile& output, Output which, ExportResult& result) {
  if (!output.file) {
    result.failure = OutputFailure{which, output.path};
    return false;
  }
  result.opened.push_back({which, output.path});
  return true;
}

// Closes `output`; when it failed and no earlier output did, it becomes the
// run's failure.
inline void close_checked(OutputFile& output, Output which, ExportResult& result) {
  if (!close_output(output) && !result.failure) result.failure = OutputFailure{which, output.path};
}
