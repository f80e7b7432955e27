#pragma once

#include "io/input_file.h"
#include "io/output_file.h"
#include "snapshot/snapshot_location.h"
#include "snapshot/video_setup.h"

// Koala picture, 10003 bytes: load address $6000, bitmap, screen matrix,
// colour RAM, background colour. Closes the file; true when it was written
// completely.
bool write_koala(const InputFile& snapshot, OutputFile& koala, const VideoSetup& setup,
                 const SnapshotLocation& location);

// Hires picture, 9002 bytes: load address $4000, bitmap, screen matrix.
// Closes the file; true when it was written completely.
bool write_hires_picture(const InputFile& snapshot, OutputFile& picture, const VideoSetup& setup,
                         const SnapshotLocation& location);
