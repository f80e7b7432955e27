#include "command/palette_choice.h"

#include <cstdio>

#include "command/chargen_file.h"
#include "io/system.h"
#include "png/vpl_palette.h"

namespace {

constexpr std::string_view kVplEnding = ".vpl";

bool ends_in_vpl(const std::string& operand) {
  if (operand.size() < kVplEnding.size()) return false;
  const std::size_t from = operand.size() - kVplEnding.size();
  for (std::size_t i = 0; i < kVplEnding.size(); ++i) {
    const char c = operand[from + i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kVplEnding[i]) {
      return false;
    }
  }
  return true;
}

// Prints why the palette file `path` cannot be used.
void print_vpl_refusal(const std::string& path, const VplPalette& vpl) {
  const char* file = path.c_str();
  switch (vpl.error) {
    case VplError::CannotRead:
      std::printf("Can't read palette file '%s'!\n", file);
      break;
    case VplError::TooLong:
      std::printf("Palette file '%s' is longer than %d bytes!\n", file,
                  static_cast<int>(kVplMaxBytes));
      break;
    case VplError::NotHex:
      std::printf("Palette file '%s', line %d: a value is not a hex number!\n", file, vpl.line);
      break;
    case VplError::OverFF:
      std::printf("Palette file '%s', line %d: a value is over FF!\n", file, vpl.line);
      break;
    case VplError::NotThreeValues:
      std::printf("Palette file '%s', line %d: 3 or 4 values expected!\n", file, vpl.line);
      break;
    case VplError::TooManyColours:
      std::printf("Palette file '%s', line %d: more than 16 colours!\n", file, vpl.line);
      break;
    case VplError::TooFewColours:
      std::printf("Palette file '%s' holds %d of the 16 colours!\n", file, vpl.colours);
      break;
    case VplError::None:
      break;
  }
}

}  // namespace

bool is_palette_name(const std::string& operand) {
  return file_name_of(operand) == operand && !ends_in_vpl(operand);
}

std::optional<ChosenPalette> choose_palette(const std::optional<std::string>& option) {
  ChosenPalette chosen;
  if (!option) return chosen;
  std::optional<std::string> path;
  VplPalette vpl;
  if (!is_palette_name(*option)) {
    path = *option;
    vpl = read_vpl_file(*path);
  } else {
    for (const std::string& folder : vice_rom_folders()) {
      const std::string candidate = folder + "/" + *option + ".vpl";
      vpl = read_vpl_file(candidate);
      if (vpl.error == VplError::CannotRead) continue;  // not there: the next folder
      path = candidate;
      break;
    }
    if (!path) {
      std::printf("Palette '%s' not found: no %s.vpl in VICE's C64 folders!\n", option->c_str(),
                  option->c_str());
      return std::nullopt;
    }
  }
  if (vpl.error != VplError::None) {
    print_vpl_refusal(*path, vpl);
    return std::nullopt;
  }
  chosen.colours = vpl.palette;
  chosen.file = path;
  return chosen;
}
