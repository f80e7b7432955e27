#include "bands/bands_messages.h"

#include <cstdio>

#include "command/console.h"

void print_bands_usage(const char* program) {
  print_separator();
  std::printf(
      "Lumerist bands: finds the register sets that drew the frame VICE saved in a snapshot,\n"
      "band by band, and rips each band as lumerist rips a screen.\n"
      "Syntax: '%s [--chargen FILE] [-o DIR] ViceSnapshotFile.vsf...'.\n"
      "Prints a line for each band, then the report of each band's rip, whose files are\n"
      "named after the snapshot followed by '.bandN' and lumerist's suffixes, next to the\n"
      "snapshot or, with -o DIR (--output-dir DIR), in the folder DIR; each snapshot in\n"
      "turn. --chargen names a 4096-byte character ROM image for snapshots that hold\n"
      "none. --help prints this text, --version the version.\n",
      program);
  print_separator();
}

void print_same_rip(int band, int earlier) {
  std::printf("Band %d: the same rip as band %d.\n", band, earlier);
}

void print_search_cut_short() {
  std::printf("Search cut short: there may be fewer bands.\n");
}

void print_no_frame_note(const std::string& snapshot) {
  print_note("'" + snapshot + "' holds no frame VICE drew: its registers stand for every line.");
}

void print_split_viewer_written(const std::string& path) {
  std::printf("Split viewer\twritten as '%s'.\n", path.c_str());
}

void print_split_viewer_memory() {
  std::printf("Split viewer not written: the bands need more memory than the C64 has free.\n");
}

void print_split_viewer_too_close(int closeBand) {
  std::printf("Split viewer not written: bands %d and %d are too close to switch between.\n",
              closeBand, closeBand + 1);
}

void print_split_viewer_failure(const std::string& path) {
  std::printf("Can't write split viewer file '%s'!\n", path.c_str());
}
