#pragma once

#include <string>

#include "io/input_file.h"
#include "snapshot/snapshot_location.h"
#include "snapshot/video_setup.h"

// Why a snapshot cannot be used. NotVice: not a VICE file at all; the others:
// a VICE file this tool cannot take its video state from.
enum class SnapshotError {
  None,
  NotVice,             // the first four bytes are not "VICE"
  NoVicII,             // no VIC-II state
  NoCia2,              // no CIA2 state
  UnsupportedMachine,  // the module directory names another machine than a C64
};

struct SnapshotReading {
  SnapshotError error = SnapshotError::None;
  std::string machine;  // the machine name, for UnsupportedMachine
  VideoSetup setup;
  SnapshotLocation location;
};

// Validates the snapshot, finds where RAM, the CIA2 port and the VIC-II
// state lie, and decodes the video setup.
//
// Files with a module directory naming a C64 (fast "C64" or cycle-exact
// "C64SC" emulator) that holds the C64MEM, CIA2 and VIC-II modules are read
// at the modules' positions. Every other file starting "VICE" is read at
// fixed distances from the last "VIC-" and "CIA2" tags, with RAM at
// kRamFileOffset, the layout of old VICE versions.
SnapshotReading read_snapshot(const InputFile& input);

// Locations from the last "VIC-" and "CIA2" tags, RAM at kRamFileOffset.
SnapshotLocation location_from_tags(std::int64_t vicTag, std::int64_t cia2Tag);
