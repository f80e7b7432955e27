#pragma once

#include <string>

#include "app/output_names.h"
#include "snapshot/read_snapshot.h"

// Everything the tool says goes to standard output.

// The exit status once standard output is flushed: failure when any of it
// could not be written (a full disk, a closed pipe), whatever `status` was.
int finish_console(int status);

// The rule line that opens and closes every report block: 79 dashes.
void print_separator();

// The usage banner between two rule lines; `program` is the name the tool
// was started under.
void print_banner(const std::string& program);

void print_open_failure(const std::string& snapshotPath);
// The system failed to read the snapshot (an I/O error).
void print_read_failure(const std::string& snapshotPath);
void print_snapshot_error(const SnapshotReading& reading, const std::string& snapshotPath);
void print_output_failure(const OutputFailure& failure);

// A report block: the rule line, the report's lines, the rule line.
void print_report(const std::string& report);
