#pragma once

#include <string>
#include <vector>

#include "command/exit_status.h"
#include "png/palette.h"
#include "preview/preview_pictures.h"

// What a run of lumerist-preview did: its exit status (0 after writing the
// PNG, 255 after the usage text or any failure) and, when it drew the screen
// or the viewer's picture, that picture and where it came from; with
// --compare, the comparison picture and how many pixels differ.
struct PreviewRun {
  int status = kExitFailure;
  PictureSource source = PictureSource::Registers;
  // Colour indices, 384 (with --compare 1152) x 272; empty when none was drawn.
  std::vector<std::uint8_t> pixels;
  unsigned differing = 0;            // --compare: pixels in which screen and viewer differ
  unsigned uncompared = 0;           // --compare: pixels showing a ROM no file gives
  std::vector<std::string> written;  // the PNG, once written completely
  Palette colours = kC64Palette;     // the colours of the PNG (--palette)
};

// The whole run of lumerist-preview for a command line.
PreviewRun run_preview(int argc, char** argv);
