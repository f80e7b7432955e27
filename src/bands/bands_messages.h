#pragma once

#include <string>

// What lumerist-bands says besides the band lines and the rips' reports.

void print_bands_usage(const char* program);

// A band whose rip equals an earlier band's, in place of its report block.
void print_same_rip(int band, int earlier);

// The line after the band lines when a cap of the search was reached.
void print_search_cut_short();

// The note on standard error for a snapshot without a frame VICE drew,
// whose registers stand for every line.
void print_no_frame_note(const std::string& snapshot);

// The split viewer's line after the band lines: written, or why not
// (`closeBand` the upper of two bands too close, numbered from 1).
void print_split_viewer_written(const std::string& path);
void print_split_viewer_memory();
void print_split_viewer_too_close(int closeBand);
void print_split_viewer_failure(const std::string& path);
