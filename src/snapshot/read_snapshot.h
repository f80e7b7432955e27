#pragma once

#include <string>

#include "io/input_file.h"
#include "snapshot/saved_frame.h"
#include "snapshot/snapshot_location.h"
#include "snapshot/video_setup.h"
#include "snapshot/video_state.h"

// Why a snapshot cannot be used. NotVice: not a VICE file at all; the others:
// a VICE file this tool cannot take its video state from.
enum class SnapshotError {
  None,
  NotVice,             // the first four bytes are not "VICE"
  NoVicII,             // no VIC-II state
  NoCia2,              // no CIA2 state
  UnsupportedMachine,  // the module directory names another machine than a C64
  // A module too small for what is read from it, a file cut short (a module
  // that runs past its end, or a block read from past its end), or a
  // current snapshot whose module directory is broken or lacks C64MEM.
  Damaged,
  ReadFailed,  // the operating system failed to read the file
};

struct SnapshotReading {
  SnapshotError error = SnapshotError::None;
  std::string machine;  // the machine name, for UnsupportedMachine
  VideoSetup setup;     // the registers decoded
  SnapshotLocation location;
  VideoState state;  // registers, CIA2 port, colour RAM, RAM and character ROM as read
};

// Validates the snapshot, finds where RAM, the CIA2 port, the VIC-II state
// and (when the file holds them) the character ROM and the frame VICE saved
// lie, reads the video state and decodes the video setup. Reads the 64 KiB
// of RAM, the registers, colour RAM and the ROM, never the whole file.
//
// Files with a module directory naming a C64 (fast "C64" or cycle-exact
// "C64SC" emulator) that holds the C64MEM, CIA2 and VIC-II modules are read
// at the modules' positions; a module too small to hold the bytes read
// from it makes the file Damaged, as does a module that runs past the end
// of the file. Current snapshots (those with the "VICE
// Version" block, and every C64SC snapshot) are read only so: when their
// directory does not lead to those modules they are refused. Every other
// file starting "VICE" is read at fixed distances from the last "VIC-" and
// "CIA2" tags, with RAM at kRamFileOffset, the layout of old VICE versions;
// such a file that ends before the last byte read from it is Damaged.
// A read the operating system fails anywhere makes the reading fail.
SnapshotReading read_snapshot(const InputFile& input);

// Locations from the last "VIC-" and "CIA2" tags, RAM at kRamFileOffset.
SnapshotLocation location_from_tags(std::int64_t vicTag, std::int64_t cia2Tag);

// The frame VICE saved in the snapshot, when it holds one (not an empty one).
std::optional<Picture> saved_frame_picture(const InputFile& snapshot,
                                           const SnapshotReading& reading);
