#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "export/picture_layout.h"
#include "snapshot/video_setup.h"

// The file formats of C64 paint programs and editors that lumerist-export
// writes, which screens each can hold, and the choice of a format by the
// extension of an output's name. The bytes themselves: format_files.h.

// The screens a format holds. Text: a hires or multicolour text screen (not
// extended colour); RomFontText: one whose character set is a half of the
// character ROM (rom_charset).
enum class FormatScreen : std::uint8_t { MulticolorBitmap, HiresBitmap, Text, RomFontText, Any };

// What a file holds: a picture laid out by its placements, the character
// set, the video bank's 256 sprite blocks, or a text screen as a CharPad
// project, a Petmate workspace, Petmate's binary file or a PETSCII stream.
enum class FormatContents : std::uint8_t {
  Picture,
  Charset,
  Sprites,
  CharPad,
  PetmateWorkspace,
  PetmateBinary,
  PetsciiStream,
};

// How a picture's memory image (all of it after the load address) is packed.
enum class Packing : std::uint8_t {
  None,
  EscapeValueCount,  // $FE value count; no end marker
  EscapeCountValue,  // $C2 count value; ends with $C2 $00
};

struct PictureFormat {
  std::array<std::string_view, 2> extensions;  // lower case with the dot; the second may be empty
  std::string_view name;                       // as the messages name it
  FormatScreen screen;
  std::uint16_t loadAddress;  // pictures; the character set loads at its own address
  // The file's size; of a packed format, the size of the memory image it
  // unpacks to, load address included; 0 where it follows the screen.
  std::size_t size;
  Packing packing;
  std::span<const Placement> placements;  // pictures; every other byte is zero
  FormatContents contents = FormatContents::Picture;
};

// Every format, in the order --list shows them.
std::span<const PictureFormat> picture_formats();

// The format whose extension the file name has (case-insensitive), or null.
const PictureFormat* format_for(std::string_view fileName);

// The half of the character ROM the character set is, in banks $0000 and
// $8000 where the VIC-II sees the ROM: bank-relative $1000 upper case, $1800
// lower case; None elsewhere.
enum class RomCharset : std::uint8_t { None, Upper, Lower };
RomCharset rom_charset(const VideoSetup& setup);

// Whether the format holds the screen the setup shows: bitmaps by the
// viewer kind (viewer_kind_of), text screens by their mode and character set.
bool holds_screen(const PictureFormat& format, const VideoSetup& setup);

// The text of --list: a line per format, each ended by a line end, in four
// columns aligned by spaces: the extensions, the name, the screen it holds
// ("multicolour bitmap", "hires bitmap", "text screen", "ROM-font text
// screen", "any screen") and its size ("10003 bytes", right-aligned;
// "packed" for packed formats, "varies" where it follows the screen).
std::string format_list();

// Refusals, one line each without its line end. An output whose extension
// no format has (or whose name has none):
//   Cannot write 'out.xyz': no format has the extension '.xyz'.
//   Cannot write 'out': its name has no extension to choose a format by.
std::string no_format_message(std::string_view output);
// A format that cannot hold the snapshot's screen:
//   Cannot write 'out.kla': Koala Painter holds multicolour bitmaps; 'shot.vsf' shows a text
//   screen.
//   Cannot write 'out.pet': Petmate PET holds hires and multicolour text screens in the ROM
//   font; 'shot.vsf' shows a text screen in the character set at $3000.
std::string wrong_screen_message(std::string_view output, const PictureFormat& format,
                                 std::string_view snapshot, const VideoSetup& setup);

// The format of an output for a snapshot showing the setup's screen; a null
// format with the refusal line when there is none or it cannot hold that
// screen.
struct FormatChoice {
  const PictureFormat* format = nullptr;
  std::string refusal;
};
FormatChoice choose_format(std::string_view output, std::string_view snapshot,
                           const VideoSetup& setup);
