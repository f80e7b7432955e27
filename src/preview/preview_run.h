#pragma once

#include <string>
#include <vector>

#include "command/exit_status.h"
#include "preview/preview_pictures.h"

// What a run of lumerist-preview did: its exit status (0 after writing the
// PNG, 255 after the usage text or any failure) and, when it drew the screen
// or the viewer's picture, that picture and where it came from.
struct PreviewRun {
  int status = kExitFailure;
  PictureSource source = PictureSource::Registers;
  std::vector<std::uint8_t> pixels;  // 384 x 272 colour indices; empty when none was drawn
  std::vector<std::string> written;  // the PNG, once written completely
};

// The whole run of lumerist-preview for a command line.
PreviewRun run_preview(int argc, char** argv);
