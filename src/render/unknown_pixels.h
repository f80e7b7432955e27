#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "render/render_frame.h"
#include "snapshot/video_state.h"

// The pixels of the frame render_frame draws with `vic`, `cia2PortA` and
// `pointers` from `state` that depend on a glyph of the character ROM the
// state does not know (every glyph when it holds no ROM, else those of
// state.unknownGlyphs): 1 for each such pixel of `lines`, row by row as in
// a Picture. Empty when no pixel does. Such a pixel counts as neither a
// match nor a mismatch against a frame VICE saved.
std::vector<std::uint8_t> unknown_rom_pixels(const VideoState& state, const RegisterImages& vic,
                                             std::uint8_t cia2PortA,
                                             const std::optional<SpritePointers>& pointers,
                                             LineRange lines = {});

// Whether picture row `y` of `drawn`, whose unknown pixels are `unknown`
// (empty: none), equals that row of `frame` but for those pixels.
bool row_matches(const Picture& drawn, const std::vector<std::uint8_t>& unknown,
                 const Picture& frame, int y);
