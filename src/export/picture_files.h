#pragma once

#include "io/output_file.h"
#include "snapshot/vic_memory.h"
#include "snapshot/video_setup.h"

// Koala picture, 10003 bytes: load address $6000, bitmap, screen matrix,
// colour RAM, background colour.
void write_koala(OutputFile& koala, const VideoSetup& setup, const ScreenBlocks& blocks);

// Hires picture, 9002 bytes: load address $4000, bitmap, screen matrix.
void write_hires_picture(OutputFile& picture, const ScreenBlocks& blocks);
