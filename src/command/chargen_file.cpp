#include "command/chargen_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "io/input_file.h"
#include "io/system.h"

ChargenFile read_chargen_file(const std::string& path) {
  ChargenFile chargen;
  InputFile input;
  if (!open_input(path, input) || !input.regularFile) {
    chargen.error = ChargenError::CannotRead;
  } else if (input.length != static_cast<std::int64_t>(kCharRomSize)) {
    chargen.error = ChargenError::WrongSize;
  } else {
    read_at(input, 0, chargen.bytes);
    if (input.readFailed) chargen.error = ChargenError::CannotRead;
  }
  return chargen;
}

std::optional<ChargenFile> load_chargen(const std::string& path) {
  const ChargenFile chargen = read_chargen_file(path);
  switch (chargen.error) {
    case ChargenError::CannotRead:
      std::printf("Can't read character ROM file '%s'!\n", path.c_str());
      return std::nullopt;
    case ChargenError::WrongSize:
      std::printf("Character ROM file '%s' is not 4096 bytes long!\n", path.c_str());
      return std::nullopt;
    case ChargenError::None:
      break;
  }
  return chargen;
}

namespace {

// An environment variable's value; empty when unset.
std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::vector<std::string> vice_rom_folders() {
  std::vector<std::string> folders;
  std::string home = variable("XDG_DATA_HOME");
  if (home.empty() && !variable("HOME").empty()) home = variable("HOME") + "/.local/share";
  if (!home.empty()) folders.push_back(home + "/vice/C64");
  std::string dirs = variable("XDG_DATA_DIRS");
  if (dirs.empty()) dirs = std::string("/usr/local/share") + kPathListSeparator + "/usr/share";
  for (std::size_t start = 0; start <= dirs.size();) {
    const std::size_t end = std::min(dirs.find(kPathListSeparator, start), dirs.size());
    if (end > start) folders.push_back(dirs.substr(start, end - start) + "/vice/C64");
    start = end + 1;
  }
  return folders;
}

CharacterRom find_character_rom(const std::optional<std::string>& chargen, VideoState& state) {
  CharacterRom rom;
  rom.file = chargen;
  if (!chargen) {
    const std::string named = variable(kChargenVariable);
    if (!named.empty()) rom.file = named;
  }
  if (rom.file) {
    const std::optional<ChargenFile> loaded = load_chargen(*rom.file);
    if (!loaded) {
      rom.refused = true;
      return rom;
    }
    if (!state.charRom) state.charRom = loaded->bytes;
    return rom;
  }
  if (state.charRom) return rom;
  for (const std::string& folder : vice_rom_folders()) {
    for (const char* name : {"chargen-901225-01.bin", "chargen"}) {
      const std::string path = folder + "/" + name;
      const ChargenFile found = read_chargen_file(path);
      if (found.error != ChargenError::None) continue;
      state.charRom = found.bytes;
      rom.file = path;
      return rom;
    }
  }
  return rom;
}
