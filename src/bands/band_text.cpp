// A band's line of the report.

#include <array>
#include <cstdio>

#include "bands/band_search.h"
#include "snapshot/video_setup.h"

namespace {

std::string hex(unsigned value, int digits) {
  std::array<char, 8> text{};
  std::snprintf(text.data(), text.size(), "$%0*x", digits, value);
  return text.data();
}

std::string color(std::uint8_t value) {
  return hex(value & 15u, 2);
}

const char* mode_name(const VideoSetup& s) {
  static constexpr std::array<const char*, 8> kNames = {
      "Text",     "MC Text",      "Hires Bitmap",   "MC Bitmap",
      "ECM Text", "Invalid Text", "Invalid Bitmap", "Invalid MC Bitmap"};
  return kNames[static_cast<std::size_t>(s.extendedColorMode << 2 | s.bitmapMode << 1 |
                                         s.multicolorMode)];
}

// ", <name> n,n" for the sprites of `shown` that `pick` says, nothing when none.
template <typename Pick>
std::string sprite_list(const char* name, std::uint8_t shown, Pick pick) {
  std::string list;
  for (int n = 0; n < 8; ++n) {
    if (!(shown >> n & 1) || !pick(n)) continue;
    list += list.empty() ? std::string(", ") + name + " " : std::string(",");
    list += std::to_string(n);
  }
  return list;
}

std::string sprites_part(const VideoSetup& s, const Band& band) {
  const std::uint8_t shown = band.sprites;
  if (!shown) return "";
  std::string numbers, xs, ys, pointers, colors;
  const auto add = [](std::string& list, const std::string& item) {
    if (!list.empty()) list += ',';
    list += item;
  };
  for (int n = 0; n < 8; ++n) {
    if (!(shown >> n & 1)) continue;
    const SpriteSetup& sprite = s.sprites[static_cast<std::size_t>(n)];
    add(numbers, std::to_string(n));
    add(xs, hex(sprite.x, 3));
    add(ys, hex(sprite.y, 2));
    add(pointers, hex(band.set.pointers[static_cast<std::size_t>(n)], 2));
    add(colors, color(sprite.color));
  }
  const auto flag = [&s](bool SpriteSetup::*field) {
    return [&s, field](int n) { return s.sprites[static_cast<std::size_t>(n)].*field; };
  };
  std::string part = "; sprites " + numbers + ": x " + xs + ", y " + ys + ", pointers " + pointers +
                     ", colours " + colors;
  const std::string multicolor = sprite_list("multicolour", shown, flag(&SpriteSetup::multicolor));
  part += multicolor + sprite_list("x-expanded", shown, flag(&SpriteSetup::wide)) +
          sprite_list("y-expanded", shown, flag(&SpriteSetup::tall)) +
          sprite_list("behind", shown, flag(&SpriteSetup::behind));
  if (!multicolor.empty()) {
    part += " ($d025=" + color(s.spriteMulticolor0) + ", $d026=" + color(s.spriteMulticolor1) + ")";
  }
  return part;
}

}  // namespace

std::string band_line(int number, const Band& band) {
  std::string line = "Band " + std::to_string(number) + ": lines " +
                     std::to_string(band.firstLine) + "-" + std::to_string(band.lastLine);
  const VideoSetup s = decode_video_setup(band.set.vic, band.set.cia2PortA);
  switch (band.kind) {
    case BandKind::Unmatched:
      return line + ": no register set draws these lines.\n";
    case BandKind::DisplayOff:
      return line + ": display off, border " + color(s.d020) + " ($d011=" + hex(s.d011, 2) + ").\n";
    case BandKind::ChangeWithinLine:
      return line + ": the registers change within the line: band " +
             std::to_string(band.leftBand + 1) + "'s set to the left of x " +
             std::to_string(band.firstColumn) + "-" + std::to_string(band.lastColumn) + ", band " +
             std::to_string(band.rightBand + 1) + "'s from there.\n";
    case BandKind::Drawn:
      break;
  }
  if (band.fromLine) line += " (or from line " + std::to_string(*band.fromLine) + ")";
  line +=
      std::string(": ") + mode_name(s) + " in Bank " + hex(s.bankBase, 4) + ", " +
      (s.bitmapMode ? "bitmap " + hex(s.bitmapAddress, 4) : "charset " + hex(s.charsetAddress, 4)) +
      ", screen " + hex(s.screenAddress, 4) + " ($d011=" + hex(s.d011, 2) +
      ", $d016=" + hex(s.d016, 2) + ", $d018=" + hex(s.d018, 2) + ", border " + color(s.d020) +
      ", background " + color(s.d021);
  const bool textColors = !s.bitmapMode && (s.extendedColorMode != s.multicolorMode);
  if (textColors) line += ", $d022=" + color(s.d022) + ", $d023=" + color(s.d023);
  if (textColors && s.extendedColorMode) line += ", $d024=" + color(band.set.vic[0x24]);
  return line + ")" + sprites_part(s, band) + ".\n";
}
