#pragma once

#include <optional>
#include <span>
#include <string>

#include "io/output_file.h"

// Where a command's outputs go, and how a run ends with them.

// The start of every output name for `snapshot`, each output adding its
// suffix: the snapshot's path itself, or with -o DIR the snapshot's file
// name (not its path) in DIR.
std::string output_base(const std::string& snapshot, const std::optional<std::string>& outputDir);

// An output named on the command line: as given, or with -o DIR, when the
// name is relative, in DIR.
std::string named_output(const std::string& name, const std::optional<std::string>& outputDir);

// True unless -o names something other than a folder in which files can be
// created; then its message is printed. Checked before anything is read.
bool output_folder_usable(const std::optional<std::string>& outputDir);

// Claims `paths` as one snapshot's outputs before any is written: false,
// after "Won't overwrite '…', written earlier in this run!", when one would
// replace a file the run has written for an earlier snapshot, or two name
// one file (links and other spellings of a path included).
bool claim_outputs(const OutputBatch& outputs, std::span<const std::string> paths);

// Ends one snapshot's run with status `status`: after a success, standard
// output is flushed and every pending output takes its name; after a
// failure (or when either of those fails) every earlier file stays as it
// was and no temporary file is left. A replacement that fails is named,
// with the outputs already new. Returns the run's final status.
int finish_outputs(OutputBatch& outputs, int status);
