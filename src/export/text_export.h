#pragma once

#include "export/export_result.h"
#include "export/outputs.h"
#include "io/output_file.h"
#include "snapshot/video_setup.h"
#include "snapshot/video_state.h"

// Exports a text screen: the raw screen matrix, character set (its first
// 2000 bytes) and colour RAM, and the 4149-byte viewer program into `prg`;
// its report comes only once every file is written and closed.
ExportResult TextExport(OutputBatch& outputs, OutputFile& prg, const OutputNames& names,
                        const VideoSetup& setup, const VideoState& state);
