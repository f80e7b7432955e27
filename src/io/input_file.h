#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "io/file_handle.h"
#include "io/system.h"

// The bytes of a snapshot, read by absolute position. The source is either an
// open file or bytes already in memory (tests, fuzzing); every read goes
// through read_at, which checks its range once. Each read of a file is one
// system call at its own position (pread, or ReadFile with an offset), and
// nothing is buffered twice.
struct InputFile {
  FileDescriptor file;                   // the open snapshot, or none
  std::span<const std::uint8_t> memory;  // the snapshot's bytes when there is no file
  std::int64_t length = 0;               // file length, fixed when opened
  bool regularFile = false;              // an ordinary file, not a device
  FileIdentity identity;                 // which file it is (none in memory)
  // Set by the first read the operating system fails (an I/O error), as the
  // error indicator of a C stream is; such bytes read as $FF meanwhile.
  mutable bool readFailed = false;
};

// Opens a file for binary reading and takes its length. Fails (returns false)
// when the file cannot be opened, is a directory, a FIFO (a pipe) or a
// socket, or its length cannot be taken (a terminal).
bool open_input(const std::string& path, InputFile& input);

// A source over bytes in memory; the bytes must outlive it.
InputFile memory_input(std::span<const std::uint8_t> bytes);

// Fills `out` with the bytes at `offset`...; every byte at or past the end of
// the file (or before its start) reads as $FF, as does any byte the
// operating system fails to deliver, which also sets `readFailed`.
void read_at(const InputFile& input, std::int64_t offset, std::span<std::uint8_t> out);

// One byte at `offset`, $FF past the end.
std::uint8_t byte_at(const InputFile& input, std::int64_t offset);

// False only when the two are known to be different files: either does not
// exist, only one is a device, or their numbers differ in the widest form
// both have. Files without a form in common may be one file.
bool may_be_one_file(const FileIdentity& a, const FileIdentity& b);

// True when `path`, its links followed, names the open file `input`, or
// may: when it names an existing file whose identity cannot be read (or the
// snapshot's could not be), which the guards must then take for the input.
bool is_same_file(const std::string& path, const InputFile& input);

// True when both paths, their links followed, name one existing file, or
// both exist and may (an identity that cannot be read).
bool are_same_file(const std::string& first, const std::string& second);
