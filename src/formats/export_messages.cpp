#include "formats/export_messages.h"

#include <cstdio>

#include "command/console.h"

void print_export_usage(const char* program) {
  print_separator();
  std::printf(
      "Lumerist export: writes the rip of a VICE snapshot in the formats of C64 paint\n"
      "programs and editors.\n"
      "Syntax: '%s [--chargen FILE] [--band N] [-o DIR] ViceSnapshotFile.vsf Output...'.\n"
      "Each output's format follows its extension; '%s --list' lists them. With -o DIR\n"
      "(--output-dir DIR) the outputs go to the folder DIR. --chargen names a 4096-byte\n"
      "character ROM image for snapshots that hold none; --band N writes band N of the\n"
      "frame VICE saved, as lumerist-bands numbers them. --help prints this text,\n"
      "--version the version.\n",
      program, program);
  print_separator();
}

void print_format_written(const PictureFormat& format, const std::string& path) {
  std::printf("%s written as '%s'.\n", std::string(format.name).c_str(), path.c_str());
}

void print_format_failure(const std::string& path) {
  std::printf("Can't write file '%s'!\n", path.c_str());
}
