#pragma once

#include "app/output_names.h"
#include "export/export_result.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "snapshot/snapshot_location.h"
#include "snapshot/video_setup.h"

// Exports a bitmap screen: the raw bitmap, colour map and (multicolour)
// colour RAM, the 14145-byte viewer program into `prg`, and the Koala or
// hires picture. Opens its outputs first, prints the report block, then
// writes; closes every file it was given or opened.
ExportResult BitmapExport(const InputFile& snapshot, OutputFile& prg, const OutputNames& names,
                          const VideoSetup& setup, const SnapshotLocation& location);
