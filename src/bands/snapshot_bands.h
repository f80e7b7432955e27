#pragma once

#include <optional>

#include "bands/band_search.h"
#include "render/picture.h"
#include "snapshot/video_state.h"

// The bands of a snapshot as every command numbers them: those the search
// finds in the frame VICE saved or, without one, a single band of the
// snapshot's own registers over the whole frame.
BandSearch snapshot_bands(const VideoState& state, const std::optional<Picture>& frame);

// The state a band's set shows: the snapshot's memory with the set's
// registers, bank (port A keeps the snapshot's other bits) and sprite
// pointers, these written where the set's screen matrix keeps them (unless
// the VIC-II sees the character ROM there).
VideoState band_state(const VideoState& snapshot, const BandSet& set);
