#pragma once

#include <string>

#include "io/input_file.h"
#include "snapshot/read_snapshot.h"

// Opens the snapshot at `path` and reads its video setup. When the file
// cannot be opened or is refused, prints the message naming it and returns
// false.
bool open_snapshot(const std::string& path, InputFile& snapshot, SnapshotReading& reading);
