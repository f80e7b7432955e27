#pragma once

// The operating system's side of src/io, the one place that knows which
// system it runs on: system_posix.cpp for Linux and the other POSIX systems
// (and Emscripten's), system_windows.cpp for Windows. Paths are UTF-8 on
// every system; files are binary and never handed to child processes.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "io/file_handle.h"

// A file's numbers: the volume (or device) it is on and its number there.
struct FileNumbers {
  std::uint64_t volume = 0;
  std::uint64_t high = 0;  // the upper half of a 128-bit file id, else 0
  std::uint64_t low = 0;
  friend bool operator==(const FileNumbers&, const FileNumbers&) = default;
};

// Which file a path or an open file is, one of three answers: no file has
// the name (`exists` false); the file, told by its numbers; or an existing
// file whose numbers cannot be read (neither form), which may be any file.
struct FileIdentity {
  bool exists = false;
  bool device = false;  // Windows: a device (NUL, CON), never a file on a disk
  // Device and inode on POSIX systems; on Windows the 32-bit volume serial
  // number and the 64-bit file index.
  std::optional<FileNumbers> narrow;
  // Windows: the 64-bit volume serial number and the 128-bit file id, where
  // the file system has one (ReFS ids do not fit the 64-bit index).
  std::optional<FileNumbers> wide;
};

// What open_system_input learns about the file it opened.
struct InputFacts {
  std::int64_t length = 0;
  bool regularFile = false;  // an ordinary file, not a device
  FileIdentity identity;
};

// Opens a file for reading. Fails (returns no file) when it cannot be
// opened, is a directory, a FIFO, a pipe or a socket, or its length cannot
// be taken (a terminal), and on Windows when the path is not valid UTF-8.
FileDescriptor open_system_input(const std::string& path, InputFacts& facts);

// Reads up to `count` bytes at `offset`; returns how many arrived before the
// end of the file or an error, and sets `failed` on an error.
std::size_t read_system_file(SystemFile file, std::int64_t offset, std::uint8_t* target,
                             std::size_t count, bool& failed);

// The file `path` names, its links followed: none, its numbers, or, where
// they cannot be read (on Windows also for a path that is not valid UTF-8),
// an existing file without numbers.
FileIdentity identify_file(const std::string& path);

// Creates or truncates `path` for binary writing; null on failure, and on
// Windows when the path is not valid UTF-8.
std::FILE* open_system_output(const std::string& path);

// What a path names, its links followed.
enum class PathKind { Missing, RegularFile, Folder, Other };  // Other: a device, a FIFO, ...
PathKind path_kind(const std::string& path);

// The file a path's links lead to, when it is a link to an existing file;
// else the path itself.
std::string link_target(const std::string& path);

// Creates a new file for binary writing in `folder` ("" for the current
// one), named so that no other file has the name, with the permissions a
// new file gets; its path in `name`. Null on failure.
std::FILE* open_system_temporary(const std::string& folder, std::string& name);

// Renames `from` over `to`, replacing the file `to` names; false on failure.
bool replace_system_file(const std::string& from, const std::string& to);

// Removes a file; false on failure.
bool remove_system_file(const std::string& path);

// Paths: the folder part ("" when there is none) and the file name of a
// path, a name joined to a folder, and whether a path is absolute. The
// separators are the system's ('/', and on Windows '\' too).
std::string folder_of(const std::string& path);
std::string file_name_of(const std::string& path);
std::string join_path(const std::string& folder, const std::string& name);
bool is_absolute_path(const std::string& path);

// False for a path no file can have on this system: on Windows one that is
// not valid UTF-8.
bool can_name_file(const std::string& path);

// What separates the folders of a list such as $XDG_DATA_DIRS.
#ifdef _WIN32
inline constexpr char kPathListSeparator = ';';
#else
inline constexpr char kPathListSeparator = ':';
#endif
