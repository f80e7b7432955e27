#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "viewer/viewer_stub.h"

// The blocks and registers a viewer program holds, as lumerist exports them.
struct ViewerBlocks {
  ViewerKind viewer = ViewerKind::Text;
  std::uint8_t d016 = 0;                      // bit 4: multicolour text
  std::uint8_t d020 = 0;                      // border
  std::uint8_t d021 = 0;                      // background 0
  std::uint8_t d022 = 0;                      // background 1 (multicolour text)
  std::uint8_t d023 = 0;                      // background 2 (multicolour text)
  std::array<std::uint8_t, 1000> screen{};    // screen matrix / bitmap colour map
  std::array<std::uint8_t, 1000> colorRam{};  // colour RAM
  std::array<std::uint8_t, 8000> bitmap{};    // bitmap
  std::array<std::uint8_t, 2048> charset{};   // character set: 2000 bytes, then zeros
};

inline constexpr int kPictureWidth = 384;
inline constexpr int kPictureHeight = 272;
inline constexpr int kWindowX = 32;  // left edge of the 320 x 200 display window
inline constexpr int kWindowY = 36;  // top edge of the display window

// A full C64 screen with its border: one colour index (0-15) per pixel, row
// by row.
struct Picture {
  std::vector<std::uint8_t> pixels =
      std::vector<std::uint8_t>(static_cast<std::size_t>(kPictureWidth * kPictureHeight));
  std::uint8_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y * kPictureWidth + x)];
  }
};

// The picture the viewer program for `blocks` shows on a C64.
Picture render_viewer_screen(const ViewerBlocks& blocks);
