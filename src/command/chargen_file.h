#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "snapshot/video_state.h"

enum class ChargenError {
  None,
  CannotRead,  // cannot be opened or read, or not a regular file
  WrongSize,   // not 4096 bytes long
};

struct ChargenFile {
  ChargenError error = ChargenError::None;
  std::array<std::uint8_t, kCharRomSize> bytes{};
};

// Reads a character ROM image given with --chargen: a regular file of
// exactly 4096 bytes.
ChargenFile read_chargen_file(const std::string& path);

// Reads the --chargen file into `state` unless the state holds a character
// ROM already (the snapshot's own ROM wins). When the file cannot be used,
// prints its refusal and returns false.
bool load_chargen(const std::string& path, VideoState& state);
