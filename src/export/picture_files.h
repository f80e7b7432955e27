#pragma once

#include "io/output_file.h"
#include "snapshot/video_setup.h"
#include "snapshot/video_state.h"

// Koala picture, 10003 bytes: load address $6000, bitmap, screen matrix,
// colour RAM, background colour. Closes the file; true when it was written
// completely.
bool write_koala(OutputFile& koala, const VideoSetup& setup, const VideoState& state);

// Hires picture, 9002 bytes: load address $4000, bitmap, screen matrix.
// Closes the file; true when it was written completely.
bool write_hires_picture(OutputFile& picture, const VideoSetup& setup, const VideoState& state);
