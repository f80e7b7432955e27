#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "render/picture.h"
#include "snapshot/video_state.h"

// A frame drawn from a video state, and what the drawing found out.
struct Frame {
  Picture picture;
  // The picture depends on a fetch from $1000-$1FFF of bank $0000 or $8000,
  // where the VIC-II sees the character ROM: a screen or graphics byte of a
  // cell on a line inside the window, or the pointer or data of an enabled
  // sprite that can show (X below 504), all with the display enabled.
  bool readsCharRom = false;
  std::uint8_t spritesShown = 0;  // bit n: sprite n gives at least one pixel
};

// The PAL frame the VIC-II displays for `state` when no register changes
// while it is drawn: the eight combinations of the mode bits, both scroll
// registers, 24/25 rows and 38/40 columns, the display enable bit, idle
// lines, and eight sprites with expansion, multicolour and both priority
// rules. Fetches from the character ROM area read state.charRom, or RAM
// when the state holds no ROM.
Frame render_frame(const VideoState& state);

// The same frame with the eight sprite pointers given instead of those in
// the screen matrix (the pointers a program wrote for part of a frame):
// they are not fetched, their sprites' data is. Only the raster lines of
// `lines` are drawn (the others are the border colour, and their sprites
// count for nothing): for the lines of one band.
using SpritePointers = std::array<std::uint8_t, 8>;
struct LineRange {
  int first = kFirstPictureLine;
  int last = kFirstPictureLine + kPictureHeight - 1;
};
Frame render_frame(const VideoState& state, const std::optional<SpritePointers>& pointers,
                   LineRange lines = {});

// The same with the registers and port A given instead of the state's: the
// state's memory as another register set shows it.
Frame render_frame(const VideoState& state, const RegisterImages& vic, std::uint8_t cia2PortA,
                   const std::optional<SpritePointers>& pointers, LineRange lines = {});

// Which sprites give at least one pixel of that frame (bit n: sprite n),
// worked out without drawing the lines that hold no sprite.
std::uint8_t sprites_shown(const VideoState& state);
