#include "app/messages.h"

#include <cstdio>

#include "command/console.h"

void print_banner(const char* program) {
  print_separator();
  std::printf(
      "Lumerist 4.0 by Korvane/Dunmarsh & Pelloth/Thrennic\n"
      "Save VICE snapshot during display of any Screen.\n"
      "Original code by Korvane; Support for MultiColor Bitmap by Pelloth\n"
      "Syntax: '%s ViceSnapshotFile.vsf'.\n",
      program);
  print_separator();
}

void print_usage(const char* program) {
  print_separator();
  std::printf(
      "Lumerist 4.0 by Korvane/Dunmarsh & Pelloth/Thrennic\n"
      "Save VICE snapshot during display of any Screen.\n"
      "Syntax: '%s [--chargen FILE] [--band N] [-o DIR] ViceSnapshotFile.vsf...'.\n"
      "Rips each snapshot in turn. The files are named after the snapshot followed by a\n"
      "suffix, next to it or, with -o DIR (--output-dir DIR), in the folder DIR.\n"
      "--chargen FILE gives a 4096-byte character ROM image; --band N rips band N of\n"
      "the frame VICE saved, as lumerist-bands numbers them (the files named .bandN).\n"
      "--help prints this text, --version the version.\n",
      program);
  print_separator();
}
