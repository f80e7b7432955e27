#include "png/vpl_palette.h"

#include <algorithm>
#include <vector>

#include "io/input_file.h"

namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The values of one line, its comment dropped: each a hexadecimal number
// up to FF (leading zeros allowed). A line without values gives none.
VplError line_values(std::string_view line, std::vector<int>& values) {
  values.clear();
  line = line.substr(0, line.find('#'));
  for (std::size_t at = 0; at < line.size();) {
    if (is_blank(line[at])) {
      ++at;
      continue;
    }
    int value = 0;
    for (; at < line.size() && !is_blank(line[at]); ++at) {
      const int digit = hex_digit(line[at]);
      if (digit < 0) return VplError::NotHex;
      value = std::min(value * 16 + digit, 0x100);  // 0x100: over FF, however long
    }
    if (value > 0xFF) return VplError::OverFF;
    values.push_back(value);
  }
  return VplError::None;
}

}  // namespace

VplPalette parse_vpl(std::string_view text) {
  VplPalette vpl;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<int> values;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    ++vpl.line;
    vpl.error = line_values(text.substr(start, end - start), values);
    start = end + 1;
    if (vpl.error != VplError::None) return vpl;
    if (values.empty()) continue;
    if (vpl.colours == static_cast<int>(vpl.palette.size())) {
      vpl.error = VplError::TooManyColours;
    } else if (values.size() < 3 || values.size() > 4) {
      vpl.error = VplError::NotThreeValues;
    }
    if (vpl.error != VplError::None) return vpl;
    vpl.palette[static_cast<std::size_t>(vpl.colours++)] = {static_cast<std::uint8_t>(values[0]),
                                                            static_cast<std::uint8_t>(values[1]),
                                                            static_cast<std::uint8_t>(values[2])};
  }
  vpl.line = 0;
  if (vpl.colours < static_cast<int>(vpl.palette.size())) vpl.error = VplError::TooFewColours;
  return vpl;
}

VplPalette read_vpl_file(const std::string& path) {
  VplPalette failed;
  InputFile input;
  if (!open_input(path, input) || !input.regularFile) {
    failed.error = VplError::CannotRead;
    return failed;
  }
  if (input.length > kVplMaxBytes) {
    failed.error = VplError::TooLong;
    return failed;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(input.length));
  read_at(input, 0, bytes);
  if (input.readFailed) {
    failed.error = VplError::CannotRead;
    return failed;
  }
  return parse_vpl(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
