#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "io/input_file.h"

// What the module directory of a VICE snapshot file tells about the C64
// modules the grabber reads. Only the first module of each name counts.
struct ModuleDirectory {
  bool hasMagic = false;  // the file starts "VICE Snapshot File" + $1A, 37 bytes or more
  std::string machine;    // machine name from the header, up to its first $00
  std::int64_t moduleCount = 0;
  std::optional<std::int64_t> c64mem;   // start of module "C64MEM"
  std::optional<std::int64_t> cia2;     // start of module "CIA2"
  std::optional<std::int64_t> vicii;    // start of module "VIC-II"
  std::optional<std::int64_t> viciisc;  // start of module "VIC-IISC"
};

inline constexpr std::int64_t kModuleHeaderSize = 22;

// Walks the module headers: each gives its name and its size, the next
// module starts where this one ends. The walk stops at a size below the
// header's own, at the end of the file, or after a module that runs past
// the end (which still counts). Reads only the headers.
ModuleDirectory read_module_directory(const InputFile& input);
