#include "app/console.h"

#include <cstdio>

#include "app/exit_status.h"

void print_separator() {
  std::fputs("-------------------------------------------------------------------------------\n",
             stdout);
}

void print_banner(const std::string& program) {
  print_separator();
  std::printf(
      "Lumerist 4.0 by Korvane/Dunmarsh & Pelloth/Thrennic\n"
      "Save VICE snapshot during display of any Screen.\n"
      "Original code by Korvane; Support for MultiColor Bitmap by Pelloth\n"
      "Syntax: '%s ViceSnapshotFile.vsf'.\n",
      program.c_str());
  print_separator();
}

int finish_console(int status) {
  const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  return written ? status : kExitFailure;
}

void print_report(const std::string& report) {
  print_separator();
  std::fputs(report.c_str(), stdout);
  print_separator();
}

void print_open_failure(const std::string& snapshotPath) {
  std::printf("Cant't open snapshot file '%s'!\n", snapshotPath.c_str());
}

void print_read_failure(const std::string& snapshotPath) {
  std::printf("Can't read snapshot file '%s'!\n", snapshotPath.c_str());
}

namespace {

// The machine name as printed: bytes outside printable ASCII become "?".
std::string printable(const std::string& text) {
  std::string shown = text;
  for (char& c : shown) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return shown;
}

}  // namespace

void print_snapshot_error(const SnapshotReading& reading, const std::string& snapshotPath) {
  const char* path = snapshotPath.c_str();
  switch (reading.error) {
    case SnapshotError::None:
      break;
    case SnapshotError::NotVice:
      std::printf("Not a VICE VSF file '%s'!\n", path);
      break;
    case SnapshotError::NoVicII:
      std::printf("No VIC-II state in VICE VSF file '%s'!\n", path);
      break;
    case SnapshotError::NoCia2:
      std::printf("No CIA2 state in VICE VSF file '%s'!\n", path);
      break;
    case SnapshotError::UnsupportedMachine:
      std::printf("Unsupported machine '%s' in VICE VSF file '%s'!\n",
                  printable(reading.machine).c_str(), path);
      break;
    case SnapshotError::Damaged:
      std::printf("Damaged VICE VSF file '%s'!\n", path);
      break;
    case SnapshotError::ReadFailed:
      print_read_failure(snapshotPath);
      break;
  }
}

void print_output_failure(const OutputFailure& failure) {
  const char* path = failure.path.c_str();
  switch (failure.output) {
    case Output::Prg:
      std::printf("Cant't write PRG file '%s'!\n", path);
      break;
    case Output::Bitmap:
      std::printf("Cant't write bitmap file '%s'!\n", path);
      break;
    case Output::Picture:
      std::printf("Cant't write picture file '%s'!\n", path);
      break;
    case Output::Colmap:
      std::printf("Cant't write colmap file '%s'!\n", path);
      break;
    case Output::Attrib:
      std::printf("Cant't write color attributes file '%s'!\n", path);
      break;
    case Output::Screen:
      std::printf("Cant't write screen file '%s'!\n", path);
      break;
    case Output::Font:
      std::printf("Cant't write font file '%s'!\n", path);
      break;
  }
}
