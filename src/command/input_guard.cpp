#include "command/input_guard.h"

bool overwrites_an_input(const std::string& output, const InputFile& snapshot,
                         const std::optional<std::string>& chargen,
                         const std::optional<std::string>& palette) {
  return is_same_file(output, snapshot) || (chargen && are_same_file(output, *chargen)) ||
         (palette && are_same_file(output, *palette));
}
