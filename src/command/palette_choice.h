#pragma once

#include <optional>
#include <string>

#include "png/palette.h"

// The colours a command's PNG files are written in.
struct ChosenPalette {
  Palette colours = kC64Palette;
  std::optional<std::string> file;  // the palette file read: outputs spare it
};

// True when a --palette operand names a palette rather than a file: it has
// no folder part and does not end in ".vpl" (in any case). A file in the
// current folder without that ending is named as ./FILE.
bool is_palette_name(const std::string& operand);

// The colours --palette chooses: without the option the built-in ones;
// with a NAME the file NAME.vpl in the first of VICE's C64 folders
// (vice_rom_folders) that holds one that can be read; else the file the
// operand names. Prints the refusal and returns nothing when the palette is
// not found or its file cannot be used.
std::optional<ChosenPalette> choose_palette(const std::optional<std::string>& option);
