#include "command/chargen_file.h"

#include <cstdio>

#include "io/input_file.h"

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

bool load_chargen(const std::string& path, VideoState& state) {
  const ChargenFile chargen = read_chargen_file(path);
  switch (chargen.error) {
    case ChargenError::CannotRead:
      std::printf("Can't read character ROM file '%s'!\n", path.c_str());
      return false;
    case ChargenError::WrongSize:
      std::printf("Character ROM file '%s' is not 4096 bytes long!\n", path.c_str());
      return false;
    case ChargenError::None:
      break;
  }
  if (!state.charRom) state.charRom = chargen.bytes;
  return true;
}
