#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "io/file_handle.h"

// An output file being written. Write errors are remembered and reported by
// close_output, so that a full disk or a file-size limit never passes for
// success; an output that never opened takes no bytes and fails there too.
struct OutputFile {
  FileHandle file;
  std::string path;
  bool failed = false;  // the open, a write or the close went wrong
  bool closed = false;  // close_output has run
};

// Creates or truncates `path` for binary writing; `file` is null (and the
// output failed) when that fails.
OutputFile open_output(const std::string& path);

void write_bytes(OutputFile& output, std::span<const std::uint8_t> bytes);
void write_byte(OutputFile& output, std::uint8_t byte);

// Flushes and closes the file. True when it opened and every byte reached
// it. Closing an already closed output returns its earlier verdict.
bool close_output(OutputFile& output);
