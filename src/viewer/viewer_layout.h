#pragma once

#include <cstddef>
#include <cstdint>

#include "snapshot/vic_memory.h"

// Where the viewer programs keep their blocks: the C64 addresses at which a
// program file puts each block when it is loaded, where the stub moves it,
// and how long the files are. The stub images in viewer_stub.cpp are checked
// against these addresses when they are compiled.

inline constexpr std::uint16_t kLoadAddress = 0x0801;  // the start of BASIC
inline constexpr std::uint16_t kCodeStart = 2069;      // after the line SYS 2069: $0815

// File offset of the byte that loads to `address`: two bytes of load
// address come first.
constexpr std::size_t program_offset(std::uint16_t address) {
  return std::size_t{address} - kLoadAddress + 2;
}

inline constexpr std::size_t kColorRamBytes = 1000;  // colour RAM image
inline constexpr std::size_t kCharsetBytes = 2000;   // the raw character set dump: its first 2000
inline constexpr std::size_t kCharsetSpan = kCharsetSize;

// Hires and multicolour bitmap viewers: the video bank $0000, the screen
// matrix and bitmap shown where they load.
inline constexpr std::uint16_t kBitmapViewerScreen = 0x0C00;
inline constexpr std::uint16_t kBitmapViewerColorRam = 0x1000;  // multicolour: copied to $D800
inline constexpr std::uint16_t kBitmapViewerBitmap = 0x2000;
inline constexpr std::size_t kBitmapViewerSize = program_offset(kBitmapViewerBitmap) + kBitmapBytes;

// Text viewer: colour RAM, the whole character set and the screen matrix
// load one after the other; the stub copies the colour RAM image to $D800 and moves
// character set and screen, 18 pages, to $2000 in the bank in force.
inline constexpr std::uint16_t kTextViewerColorRam = 0x0864;
inline constexpr std::uint16_t kTextViewerCharset = 0x0C4C;
inline constexpr std::uint16_t kTextViewerScreen = kTextViewerCharset + kCharsetSpan;
inline constexpr std::uint16_t kTextViewerMoveTarget = 0x2000;
inline constexpr std::size_t kTextViewerMovedPages = 18;
inline constexpr std::uint16_t kTextViewerCharsetShown = kTextViewerMoveTarget;
inline constexpr std::uint16_t kTextViewerScreenShown = kTextViewerMoveTarget + kCharsetSpan;
inline constexpr std::size_t kTextViewerSize = program_offset(kTextViewerScreen) + kScreenBytes;

inline constexpr std::uint16_t kColorRamAddress = 0xD800;
inline constexpr std::size_t kColorRamPages = 4;  // the stubs copy whole pages to $D800

static_assert(kBitmapViewerSize == 14145 && kTextViewerSize == 4149);
static_assert(kTextViewerMovedPages * 256 >= kCharsetSpan + kScreenBytes);
