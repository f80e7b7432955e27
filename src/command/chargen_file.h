#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// Reads a character ROM image: a regular file of exactly 4096 bytes.
ChargenFile read_chargen_file(const std::string& path);

// Reads a character ROM image named by the user; prints its refusal and
// returns nothing when it cannot be used.
std::optional<ChargenFile> load_chargen(const std::string& path);

// The environment variable that names a character ROM image for every
// command, where the snapshot holds none and no --chargen is given.
inline constexpr const char* kChargenVariable = "LUMERIST_CHARGEN";

// The folders where VICE keeps its C64 ROMs, in the order they are searched:
// vice/C64 in $XDG_DATA_HOME (default ~/.local/share), then in each folder
// of $XDG_DATA_DIRS (default /usr/local/share and /usr/share; the folders
// separated by ':', on Windows by ';').
std::vector<std::string> vice_rom_folders();

// Where the character ROM of a run came from.
struct CharacterRom {
  bool refused = false;             // a file named by the user cannot be used (printed)
  std::optional<std::string> file;  // the file read, and any --chargen file: outputs spare it
};

// Finds the character ROM the VIC-II sees, the same way for every command:
// the snapshot's own (already in `state`), else the file `chargen` names
// (--chargen), else the file $LUMERIST_CHARGEN names, else the first
// 4096-byte file named chargen-901225-01.bin or chargen in VICE's folders.
// Where none is found the state keeps none, and the VIC-II's view reads the
// RAM beneath. A file the user names is checked even when the snapshot's
// ROM wins; one that cannot be used is refused.
CharacterRom find_character_rom(const std::optional<std::string>& chargen, VideoState& state);
