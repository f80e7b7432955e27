#pragma once

#include <optional>
#include <string>

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

// Ends one snapshot's run with status `status`: after a success, standard
// output is flushed and every output takes its name; after a failure (or
// when either of those fails) every earlier file stays as it was and no
// temporary file is left. A replacement that fails is named, with the
// outputs already new. Returns the run's final status.
int finish_outputs(int status);
