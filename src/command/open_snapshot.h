#pragma once

#include <string>

#include "io/input_file.h"
#include "snapshot/read_snapshot.h"

// Opens the snapshot at `path` and reads its video state. When the file
// cannot be opened or is refused, prints the message naming it and returns
// false: every command refuses a snapshot with the same words.
bool open_snapshot(const std::string& path, InputFile& snapshot, SnapshotReading& reading);

// The system failed to read the snapshot (an I/O error) after it was opened.
void print_read_failure(const std::string& snapshotPath);
