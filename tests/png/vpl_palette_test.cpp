// VICE's palette files as VICE writes them, older ones, and broken ones.

#include "png/vpl_palette.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// `count` colour lines, colour i being i * 15, 16 + i and 255 - i, each
// line `extra` after the blue value and then `ending`.
std::string colour_lines(int count, const std::string& extra = "", const char* ending = "\n") {
  std::string text;
  for (int i = 0; i < count; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "%02X %02X %02X", i * 15, 16 + i, 0xFF - i);
    text += line + extra + ending;
  }
  return text;
}

TEST(VplPalette, ReadsVicesFormatsAndNamesTheLineAtFault) {
  const std::string header = "#\n# VICE Palette file\n#\n# Syntax:\n# Red Green Blue\n#\n\n";
  const struct {
    const char* what;
    std::string text;
    VplError error;
    int line;  // the line at fault
  } cases[] = {
      {"as VICE writes it", header + colour_lines(16), VplError::None, 0},
      {"older: a fourth value", colour_lines(16, " 4"), VplError::None, 0},
      {"CR LF, comments after values, tabs", colour_lines(16, "\t# a\tname", "\r\n"),
       VplError::None, 0},
      {"a byte order mark, blank lines", "\xEF\xBB\xBF\n  \n" + colour_lines(16) + "\n\n",
       VplError::None, 0},
      {"empty", "", VplError::TooFewColours, 0},
      {"a value with a sign", "00 00 -1\n", VplError::NotHex, 1},
      {"a value over FF", "00 00 00\r\n000100 00 00\r\n", VplError::OverFF, 2},
      {"a huge value", "00 FFFFFFFFFFFFFFFFFFFF 00\n", VplError::OverFF, 1},
      {"five values", "00 00 00 0 0\n", VplError::NotThreeValues, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const VplPalette vpl = parse_vpl(c.text);
    EXPECT_EQ(vpl.error, c.error);
    EXPECT_EQ(vpl.line, c.line);
    if (c.error != VplError::None) continue;
    for (int i = 0; i < 16; ++i) {
      const Rgb rgb = vpl.palette[static_cast<std::size_t>(i)];
      EXPECT_EQ((std::array<int, 3>{rgb.red, rgb.green, rgb.blue}),
                (std::array<int, 3>{i * 15, 16 + i, 0xFF - i}))
          << i;
    }
  }
}

}  // namespace
