#pragma once

#include <optional>
#include <string>

#include "command/chargen_file.h"
#include "command/command_run.h"
#include "io/input_file.h"
#include "render/frame_font.h"
#include "render/picture.h"
#include "render/render_frame.h"
#include "snapshot/read_snapshot.h"

// What a command rips of a snapshot: the screen its registers show or, with
// --band N, band N of lumerist-bands' bands, as if the snapshot held that
// band's registers, CIA2 port A and sprite pointers. Where no character ROM
// is at hand, the shapes of the characters the frame VICE saved shows stand
// in for the ROM's.
struct RipSource {
  std::string path;  // the snapshot's
  InputFile snapshot;
  SnapshotReading reading;       // its state and setup: the set ripped
  CharacterRom rom;              // where the character ROM came from
  std::optional<Picture> frame;  // the frame VICE saved, when the snapshot holds one
  bool bandChosen = false;       // --band N
  LineRange lines;               // the raster lines the set draws: all, or the band's
  // Without a ROM, the characters of the set's character set in the ROM
  // area that were read off the frame, and those that hold the RAM beneath.
  unsigned charactersRead = 0;
  unsigned charactersBeneath = 0;
};

// Opens the snapshot of `run` for ripping. False, after its message, when
// it cannot be: the snapshot or a ROM file refused, or no band N to rip
// (none of that number, unmatched lines, or the display off).
bool open_rip_source(const SnapshotRun& run, RipSource& source);

// Where `state` holds no character ROM and the frame VICE saved is given:
// the shapes the frame shows on `lines` of the characters the state's set
// fetches from the ROM area, put in for the ROM's. How many were read.
FrameFontCount read_characters_off_frame(VideoState& state, const std::optional<Picture>& frame,
                                         LineRange lines);

// The note on standard error of a rip that read the character ROM area of
// `state` without the whole ROM: the characters read off the frame (`count`),
// or that the ROM area holds the RAM beneath.
void print_rom_note(const VideoState& state, const FrameFontCount& count);

// The notes on standard error of a rip that reads the character ROM area
// where `readsRom`: with no ROM at hand, how many characters were read off
// the frame, or that the ROM area holds the RAM beneath. Where `tellsSplit`
// and no band was chosen, whether the frame VICE saved is one the
// registers do not draw (a split screen).
void print_rip_notes(const RipSource& source, bool readsRom, bool tellsSplit);
