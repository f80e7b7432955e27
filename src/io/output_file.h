#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "io/file_handle.h"
#include "io/system.h"

// An output file being written. The bytes go to a temporary file in the
// output's folder, which takes the output's name only when the run commits
// its batch of outputs (commit_outputs), so that a run that fails leaves every
// earlier file as it was. An output that names an existing device or FIFO
// (/dev/null, a pipe) is written to directly, and one that names a link is
// put where the link leads.
//
// Write errors are remembered and reported by close_output, so that a full
// disk or a file-size limit never passes for success; an output that never
// opened takes no bytes and fails there too.
struct OutputFile {
  FileHandle file;
  std::string path;       // the output's name
  std::string temporary;  // where the bytes go until they are committed; "" when direct
  bool failed = false;    // the open, a write or the close went wrong
  bool closed = false;    // close_output has run
};

// An output opened and not yet committed or discarded: its temporary
// file, the file it replaces (where a link leads) and its name.
struct PendingOutput {
  std::string temporary;
  std::string target;
  std::string path;
};

// The outputs of one run, which the run owns and hands to whatever writes
// them: those opened since the last commit or discard, and the files
// committed so far (the files this run has written).
struct OutputBatch {
  std::vector<PendingOutput> pending;
  std::vector<FileIdentity> committed;  // the files replaced, where links lead
};

// Opens `path` for binary writing as above, as an output of `batch`; `file`
// is null (and the output failed) when that fails.
OutputFile open_output(OutputBatch& batch, const std::string& path);

void write_bytes(OutputFile& output, std::span<const std::uint8_t> bytes);
void write_byte(OutputFile& output, std::uint8_t byte);

// Flushes and closes the file. True when it opened and every byte reached
// it. Closing an already closed output returns its earlier verdict.
bool close_output(OutputFile& output);

// What committing a run's outputs did: the outputs that took their names,
// in the order they were opened, and the first that could not (the rest
// were not tried and are as they were).
struct Commit {
  std::vector<std::string> replaced;
  std::optional<std::string> failed;
};

// Gives every pending output of `batch` its name, in the order they were
// opened; their temporary files are gone afterwards, whatever happened.
Commit commit_outputs(OutputBatch& batch);

// Removes the temporary files of every pending output of `batch`: the files
// of their names stay as they were.
void discard_outputs(OutputBatch& batch);

// True when writing `path` would replace a file that `batch` has committed,
// or when `path` and `other` (when given) name one file: by identity where
// the file exists (a hard or symbolic link, another spelling of the path),
// else by the folder's identity and the name. Devices and FIFOs, written
// as they are, never count.
bool replaces_committed(const OutputBatch& batch, const std::string& path);
bool same_output_file(const std::string& path, const std::string& other);

// True when `folder` is a folder in which files can be created: a file is
// created there and removed again.
bool is_writable_folder(const std::string& folder);
