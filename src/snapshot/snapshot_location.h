#pragma once

#include <cstdint>
#include <optional>

// File offset of C64 RAM byte $0000 in snapshots without a module directory.
inline constexpr std::int64_t kRamFileOffset = 128;

// The frame VICE saved at the end of its VIC-II module: `width` bytes a
// raster line, line 0 at `firstLine`.
struct SavedFrameLocation {
  std::int64_t firstLine = 0;  // file offset of raster line 0, column 0
  std::int64_t width = 0;      // 384 (cycle-exact emulator) or 504 (fast emulator)
};

// Where in the snapshot file the video state is read.
struct SnapshotLocation {
  std::int64_t ramOffset = kRamFileOffset;       // file offset of C64 RAM byte $0000
  std::int64_t registerOffset = 0;               // file offset of the $D018 register image
  std::int64_t colorRamOffset = 0;               // file offset of the first colour RAM byte
  std::int64_t cia2Offset = 0;                   // file offset of the CIA2 port A byte
  std::optional<std::int64_t> charRomOffset;     // the character ROM, when the file holds it
  std::optional<SavedFrameLocation> savedFrame;  // the frame VICE saved, when it holds one
};

// File offset of the register image of $D000.
inline std::int64_t first_register_offset(const SnapshotLocation& location) {
  return location.registerOffset - 0x18;
}
