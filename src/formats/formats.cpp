#include "formats/formats.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "io/system.h"
#include "viewer/viewer_program.h"

namespace {

using enum PicturePart;

constexpr auto& kKoala = kKoalaLayout;
constexpr Placement kAdvancedOcp[] = {
    {2, Bitmap}, {8002, Screen}, {9002, Border}, {9003, Background}, {9018, ColorRam}};
constexpr Placement kDrazpaint[] = {
    {2, ColorRam}, {1026, Screen}, {2050, Bitmap}, {10050, Background}};
constexpr Placement kPaddles[] = {
    {2, Bitmap}, {8066, Background}, {8194, Screen}, {9218, ColorRam}};
constexpr Placement kArtStudio[] = {{2, Bitmap}, {8002, Screen}};
constexpr Placement kDoodle[] = {{2, Screen}, {1026, Bitmap}};
constexpr Placement kImageSystem[] = {{2, Bitmap}, {8194, Screen}};

constexpr auto kMulti = FormatScreen::MulticolorBitmap;
constexpr auto kHires = FormatScreen::HiresBitmap;
constexpr auto kText = FormatScreen::Text;
constexpr auto kRomText = FormatScreen::RomFontText;
constexpr auto kAny = FormatScreen::Any;
constexpr auto kCharset = FormatContents::Charset;
constexpr auto kSprites = FormatContents::Sprites;
constexpr auto kCharPad = FormatContents::CharPad;
constexpr auto kWorkspace = FormatContents::PetmateWorkspace;
constexpr auto kPet = FormatContents::PetmateBinary;
constexpr auto kStream = FormatContents::PetsciiStream;
constexpr std::size_t kVaries = 0;
constexpr auto kRaw = Packing::None;  // unpacked
constexpr auto kFeRuns = Packing::EscapeValueCount;
constexpr auto kC2Runs = Packing::EscapeCountValue;

// Amica Paint's image is the Koala layout and a colour-rotation table of
// 256 zeros.
// clang-format off
const PictureFormat kFormats[] = {
  {{".kla", ".koa"}, "Koala Painter",              kMulti, 0x6000, 10003, kRaw,    kKoala},
  {{".ocp"},         "Advanced OCP Art Studio",    kMulti, 0x2000, 10018, kRaw,    kAdvancedOcp},
  {{".ami"},         "Amica Paint",                kMulti, 0x4000, 10259, kC2Runs, kKoala},
  {{".gg"},          "Koala Painter (compressed)", kMulti, 0x6000, 10003, kFeRuns, kKoala},
  {{".drz"},         "Drazpaint (unpacked)",       kMulti, 0x5800, 10051, kRaw,    kDrazpaint},
  {{".pi"},          "Blazing Paddles",            kMulti, 0xA000, 10242, kRaw,    kPaddles},
  {{".art", ".aas"}, "OCP Art Studio",             kHires, 0x2000,  9009, kRaw,    kArtStudio},
  {{".dd"},          "Doodle",                     kHires, 0x5C00,  9218, kRaw,    kDoodle},
  {{".jj"},          "Doodle (compressed)",        kHires, 0x5C00,  9218, kFeRuns, kDoodle},
  {{".ish"},         "Image System hires",         kHires, 0x4000,  9194, kRaw,    kImageSystem},
  {{".64c"},         "Character set",              kAny,   0,       2050, kRaw,    {}, kCharset},
  {{".spd"},         "SpritePad 1.x",              kAny,   0,      16397, kRaw,    {}, kSprites},
  {{".ctm"},         "CharPad project",            kText,    0,    kVaries, kRaw,    {}, kCharPad},
  {{".petmate"},     "Petmate workspace",          kText,    0,    kVaries, kRaw,    {}, kWorkspace},
  {{".pet"},         "Petmate PET",                kRomText, 0,       2005, kRaw,    {}, kPet},
  {{".seq"},         "PETSCII stream",             kRomText, 0,    kVaries, kRaw,    {}, kStream},
};
// clang-format on

// ".ext" from the last dot of the file's own name on; empty when there is
// none, or only a leading or a trailing dot.
std::string_view extension_of(std::string_view path) {
  const std::string name = file_name_of(std::string(path));
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return {};
  return path.substr(path.size() - (name.size() - dot));
}

std::string lower_case(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// As --list names it, and in the plural as the refusals do.
std::string_view screen_held(FormatScreen screen, bool plural = false) {
  switch (screen) {
    case FormatScreen::MulticolorBitmap:
      return plural ? "multicolour bitmaps" : "multicolour bitmap";
    case FormatScreen::HiresBitmap:
      return plural ? "hires bitmaps" : "hires bitmap";
    case FormatScreen::Text:
      return plural ? "hires and multicolour text screens" : "text screen";
    case FormatScreen::RomFontText:
      return plural ? "hires and multicolour text screens in the ROM font" : "ROM-font text screen";
    case FormatScreen::Any:
      break;
  }
  return "any screen";
}

// What the snapshot shows, in the terms that keep a format from holding it.
std::string screen_shown(const VideoSetup& setup, FormatScreen wanted) {
  const bool text = wanted == FormatScreen::Text || wanted == FormatScreen::RomFontText;
  if (setup.bitmapMode) return setup.multicolorMode ? "a multicolour bitmap" : "a hires bitmap";
  if (text && setup.extendedColorMode) return "an extended colour text screen";
  if (wanted == FormatScreen::RomFontText && rom_charset(setup) == RomCharset::None) {
    char address[8];
    std::snprintf(address, sizeof address, "$%04x", setup.charsetAddress);
    return std::string("a text screen in the character set at ") + address;
  }
  return "a text screen";
}

std::string quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  return quoted.append(1, '\'').append(text).append(1, '\'');
}

}  // namespace

std::span<const PictureFormat> picture_formats() {
  return kFormats;
}

const PictureFormat* format_for(std::string_view fileName) {
  const std::string extension = lower_case(extension_of(fileName));
  if (extension.empty()) return nullptr;
  for (const PictureFormat& format : kFormats) {
    if (std::find(format.extensions.begin(), format.extensions.end(), extension) !=
        format.extensions.end())
      return &format;
  }
  return nullptr;
}

RomCharset rom_charset(const VideoSetup& setup) {
  if (!setup.charRomInBank) return RomCharset::None;
  switch (setup.charsetAddress - setup.bankBase) {
    case 0x1000:
      return RomCharset::Upper;
    case 0x1800:
      return RomCharset::Lower;
    default:
      return RomCharset::None;
  }
}

bool holds_screen(const PictureFormat& format, const VideoSetup& setup) {
  const ViewerKind screen = viewer_kind_of(setup);
  const bool text = screen == ViewerKind::Text && !setup.extendedColorMode;
  switch (format.screen) {
    case FormatScreen::MulticolorBitmap:
      return screen == ViewerKind::Multicolor;
    case FormatScreen::HiresBitmap:
      return screen == ViewerKind::Hires;
    case FormatScreen::Text:
      return text;
    case FormatScreen::RomFontText:
      return text && rom_charset(setup) != RomCharset::None;
    case FormatScreen::Any:
      break;
  }
  return true;
}

std::string format_list() {
  struct Row {
    std::string extensions;
    std::string_view name;
    std::string_view screen;
    std::string size;
  };
  std::vector<Row> rows;
  std::size_t widths[4] = {};
  for (const PictureFormat& format : kFormats) {
    Row row{std::string(format.extensions[0]), format.name, screen_held(format.screen),
            format.packing != Packing::None ? "packed"
            : format.size == kVaries        ? "varies"
                                            : std::to_string(format.size) + " bytes"};
    if (!format.extensions[1].empty()) row.extensions.append(" ").append(format.extensions[1]);
    const std::size_t lengths[4] = {row.extensions.size(), row.name.size(), row.screen.size(),
                                    row.size.size()};
    for (std::size_t i = 0; i < 4; ++i) widths[i] = std::max(widths[i], lengths[i]);
    rows.push_back(std::move(row));
  }
  std::string list;
  for (const Row& row : rows) {
    const auto column = [&list](std::string_view text, std::size_t width) {
      list.append(text).append(width - text.size() + 2, ' ');
    };
    column(row.extensions, widths[0]);
    column(row.name, widths[1]);
    column(row.screen, widths[2]);
    list.append(widths[3] - row.size.size(), ' ').append(row.size).append("\n");
  }
  return list;
}

std::string no_format_message(std::string_view output) {
  const std::string_view extension = extension_of(output);
  if (extension.empty())
    return "Cannot write " + quoted(output) + ": its name has no extension to choose a format by.";
  return "Cannot write " + quoted(output) + ": no format has the extension " + quoted(extension) +
         ".";
}

std::string wrong_screen_message(std::string_view output, const PictureFormat& format,
                                 std::string_view snapshot, const VideoSetup& setup) {
  return "Cannot write " + quoted(output) + ": " + std::string(format.name) + " holds " +
         std::string(screen_held(format.screen, true)) + "; " + quoted(snapshot) + " shows " +
         screen_shown(setup, format.screen) + ".";
}

FormatChoice choose_format(std::string_view output, std::string_view snapshot,
                           const VideoSetup& setup) {
  const PictureFormat* format = format_for(output);
  if (!format) return {nullptr, no_format_message(output)};
  if (!holds_screen(*format, setup))
    return {nullptr, wrong_screen_message(output, *format, snapshot, setup)};
  return {format, {}};
}
