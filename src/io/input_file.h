#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "io/file_handle.h"

// The bytes of a snapshot, read by absolute position. The source is either an
// open file or bytes already in memory (tests, fuzzing); every read goes
// through read_at, which checks its range once. Files are read with pread,
// so each read is one system call at its own position and nothing is
// buffered twice.
struct InputFile {
  FileDescriptor file;                   // the open snapshot, or none
  std::span<const std::uint8_t> memory;  // the snapshot's bytes when there is no file
  std::int64_t length = 0;               // file length, fixed when opened
  bool regularFile = false;              // an ordinary file, not a device
};

// Opens a file for binary reading and takes its length. Fails (returns false)
// when the file cannot be opened, is a directory, a FIFO (a pipe) or a
// socket, or its length cannot be taken (a terminal).
bool open_input(const std::string& path, InputFile& input);

// A source over bytes in memory; the bytes must outlive it.
InputFile memory_input(std::span<const std::uint8_t> bytes);

// Fills `out` with the bytes at `offset`...; every byte at or past the end of
// the file (or before its start) reads as $FF, as does any byte the
// operating system fails to deliver.
void read_at(const InputFile& input, std::int64_t offset, std::span<std::uint8_t> out);

// One byte at `offset`, $FF past the end.
std::uint8_t byte_at(const InputFile& input, std::int64_t offset);
