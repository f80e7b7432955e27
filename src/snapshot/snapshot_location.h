#pragma once

#include <cstdint>

// File offset of C64 RAM byte $0000 in snapshots without a module directory.
inline constexpr std::int64_t kRamFileOffset = 128;

// Where in the snapshot file the export paths read.
struct SnapshotLocation {
  std::int64_t ramOffset = kRamFileOffset;  // file offset of C64 RAM byte $0000
  std::int64_t registerOffset = 0;          // file offset of the $D018 register image
  std::int64_t colorRamOffset = 0;          // file offset of the first colour RAM byte
  std::int64_t cia2Offset = 0;              // file offset of the CIA2 port A byte
};

// File offset of the RAM byte at C64 address `address`.
inline std::int64_t ram_file_offset(const SnapshotLocation& location, std::uint16_t address) {
  return location.ramOffset + address;
}
