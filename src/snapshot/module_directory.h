#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "io/input_file.h"

inline constexpr std::int64_t kModuleHeaderSize = 22;

// One module of a VICE snapshot file, from its header.
struct ModuleEntry {
  std::int64_t start = 0;  // file offset of the module header
  std::int64_t size = 0;   // module size, the header included
  std::uint8_t major = 0;  // module version
  std::uint8_t minor = 0;
};

// What the module directory of a VICE snapshot file tells about the C64
// modules the grabber reads. Only the first module of each name counts.
struct ModuleDirectory {
  bool hasMagic = false;      // the file starts "VICE Snapshot File" + $1A, 37 bytes or more
  bool versionBlock = false;  // "VICE Version" + $1A follows the header
  std::string machine;        // machine name from the header, up to its first $00
  std::int64_t moduleCount = 0;
  bool badSize = false;  // the walk met a module size below the header's own
  // The walk met a module that runs past the end of the file, or the file
  // ends inside a module header: the file was cut short.
  bool runsPastEnd = false;
  std::optional<ModuleEntry> c64mem;
  std::optional<ModuleEntry> cia2;
  std::optional<ModuleEntry> vicii;    // "VIC-II"
  std::optional<ModuleEntry> viciisc;  // "VIC-IISC"
  std::optional<ModuleEntry> c64rom;   // the ROMs, when VICE was told to save them
};

// Walks the module headers: each gives its name and its size, the next
// module starts where this one ends. The walk stops at a size below the
// header's own, at the end of the file, or after a module that runs past
// the end (which still counts, and marks the file cut short). Reads only
// the headers.
ModuleDirectory read_module_directory(const InputFile& input);
