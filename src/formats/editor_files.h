#pragma once

#include <cstdint>
#include <vector>

#include "formats/format_files.h"

// The files of the editors of character screens, made of a text screen's
// 40x25 screen codes, the low nibbles of its colour RAM, its registers and
// the 256 characters the VIC-II reads (format_source).

// CharPad project, version 5: the 256 characters, one 1x1 tile for each
// pair of character and colour in the order first met reading the screen,
// a colour per tile (colour method 1), the map of tile numbers, $D021-$D023
// and the multicolour flag. Each character's attribute is the colour of its
// first tile, 0 for those unused.
std::vector<std::uint8_t> charpad_file(const FormatSource& source);

// Petmate's workspace (JSON, version 2): one screen of codes and colours,
// border and background; its charset "upper" or "lower" where the screen's
// character set is that half of the character ROM, else "custom_1", held
// in the workspace's custom fonts as the 2048 bytes.
std::vector<std::uint8_t> petmate_workspace(const FormatSource& source);

// Petmate's binary file: width 40, height 25, border, background, 1 upper
// case or 0 lower case, the 1000 screen codes, the 1000 colours.
std::vector<std::uint8_t> petmate_binary(const FormatSource& source);

// The PETSCII the C64 prints the screen with: $0E (lower case) or $8E
// (upper case), then cell by cell: the colour code where the colour
// changes, reverse on ($12) before a code of $80 and above and off ($92)
// after, and the character's code; the rows follow each other as the
// screen wraps them.
std::vector<std::uint8_t> petscii_stream(const FormatSource& source);
