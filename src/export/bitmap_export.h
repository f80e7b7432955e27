#pragma once

#include "export/export_result.h"
#include "export/outputs.h"
#include "io/output_file.h"
#include "snapshot/video_setup.h"
#include "snapshot/video_state.h"

// Exports a bitmap screen: the raw bitmap, colour map and (multicolour)
// colour RAM, the 14145-byte viewer program into `prg`, and the Koala or
// hires picture. Opens its outputs first and puts its report together, then
// writes; closes every file it was given or opened.
ExportResult BitmapExport(OutputBatch& outputs, OutputFile& prg, const OutputNames& names,
                          const VideoSetup& setup, const VideoState& state);
