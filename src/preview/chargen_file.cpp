#include "preview/chargen_file.h"

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
