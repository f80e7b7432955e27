#pragma once

#include "app/output_names.h"
#include "export/export_result.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "snapshot/snapshot_location.h"
#include "snapshot/video_setup.h"

// Exports a text screen: the raw screen matrix, character set (its first
// 2000 bytes) and colour RAM, and the 4149-byte viewer program into `prg`;
// prints the report block once every file is written and closed.
ExportResult TextExport(const InputFile& snapshot, OutputFile& prg, const OutputNames& names,
                        const VideoSetup& setup, const SnapshotLocation& location);
