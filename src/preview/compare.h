#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "io/input_file.h"
#include "preview/preview_pictures.h"
#include "render/picture.h"
#include "snapshot/read_snapshot.h"

// The screen (the frame VICE saved, else the frame drawn from the
// registers) beside the viewer program's picture, and the causes of their
// differences that the snapshot shows.
struct Comparison {
  PreviewPicture screen;
  Picture viewer;
  // Pixels in which screen and viewer differ, leaving out those not compared.
  unsigned differing = 0;
  // Drawn from the registers with no character ROM at hand, pixels that
  // show it (they come out otherwise with the ROM area all $00 than all
  // $FF) are not compared: no file tells what they show.
  unsigned uncompared = 0;
  std::vector<bool> notCompared;  // by pixel, when there are such pixels
  // Sprites that give at least one pixel of the frame drawn from the
  // registers, ascending.
  std::vector<int> sprites;
  // A text screen's characters lie where the VIC-II sees the ROM, and no ROM
  // is at hand: the export takes the RAM beneath.
  bool charsetInRom = false;
  bool romMissing = false;         // that frame needed the character ROM, and there was none
  bool extendedOrInvalid = false;  // $D011 bit 6
  bool scrolledOrNarrow = false;   // scroll, 24 rows or 38 columns the viewer does not keep
  // The screen is the saved frame, and it differs from the registers' frame
  // in this many pixels (above 0). When neither the snapshot nor --chargen
  // holds the character ROM, only the pixels that come out the same whatever
  // the ROM holds are counted (savedFrameWithoutRom).
  std::optional<unsigned> savedFrameDiffers;
  bool savedFrameWithoutRom = false;
  // The screen is drawn from the registers and the raster interrupt is on
  // ($D01A bit 0): the line it comes on.
  std::optional<unsigned> rasterInterruptLine;
};

Comparison compare_screen_with_viewer(const InputFile& snapshot, const SnapshotReading& reading);

// The three panels side by side, 3 x 384 by 272 colour indices: the screen,
// the viewer's picture, and white where they differ, dark grey where they
// are not compared, black where they agree.
inline constexpr int kComparisonWidth = 3 * kPictureWidth;
std::vector<std::uint8_t> comparison_picture(const Comparison& comparison);
