#pragma once

// Frames of raster splits, made with the renderer: each register set draws
// its own run of raster lines, as a program that rewrites the VIC-II
// registers during the frame shows them.

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "bands/band_search.h"

// A register set and the raster lines (16-287, inclusive) it draws.
struct SetLines {
  BandSet set;
  int firstLine, lastLine;
};

// The frame whose lines the parts' sets draw from `state`'s memory; lines
// no part names are colour 0.
Picture split_frame(const VideoState& state, const std::vector<SetLines>& parts);

// `set` with registers changed: $D000-$D02E by address, CIA2 port A as
// $DD00 and sprite pointer n as kPointer + n.
inline constexpr unsigned kPointer = 0x10000;
BandSet changed(BandSet set, std::initializer_list<std::pair<unsigned, std::uint8_t>> changes);
