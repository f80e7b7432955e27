#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "png/palette.h"

// VICE's palette files (.vpl): text of 16 lines, one for each colour in the
// machine's order, each red, green and blue as hexadecimal numbers from 0
// to FF separated by spaces or tabs; older files give a fourth number on
// each line, which is read and ignored. A '#' starts a comment that runs to
// the end of its line; lines blank or only a comment are skipped. Lines end
// in LF or CR LF; a UTF-8 byte order mark at the start is skipped.

enum class VplError {
  None,
  CannotRead,      // cannot be opened or read, or not a regular file
  TooLong,         // longer than kVplMaxBytes
  NotHex,          // `line`: a value that is not a hexadecimal number
  OverFF,          // `line`: a value over FF
  NotThreeValues,  // `line`: fewer than 3 values, or more than 4
  TooManyColours,  // `line`: a 17th colour
  TooFewColours,   // the text ends after `colours` colours
};

struct VplPalette {
  VplError error = VplError::None;
  int line = 0;     // where the error is, counted from 1
  int colours = 0;  // how many colour lines were read
  Palette palette{};
};

// No palette file is anywhere near this long; longer ones are refused
// unread.
inline constexpr std::int64_t kVplMaxBytes = 65536;

// Reads the colours of a palette file's text.
VplPalette parse_vpl(std::string_view text);

// Reads a palette file: a regular file of at most kVplMaxBytes.
VplPalette read_vpl_file(const std::string& path);
