#include "command/open_snapshot.h"

#include <cstdio>

namespace {

void print_open_failure(const std::string& snapshotPath) {
  std::printf("Cant't open snapshot file '%s'!\n", snapshotPath.c_str());
}

// The machine name as printed: bytes outside printable ASCII become "?".
std::string printable(const std::string& text) {
  std::string shown = text;
  for (char& c : shown) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return shown;
}

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

}  // namespace

bool open_snapshot(const std::string& path, InputFile& snapshot, SnapshotReading& reading) {
  if (!open_input(path, snapshot)) {
    print_open_failure(path);
    return false;
  }
  reading = read_snapshot(snapshot);
  if (reading.error != SnapshotError::None) {
    print_snapshot_error(reading, path);
    return false;
  }
  return true;
}

void print_read_failure(const std::string& snapshotPath) {
  std::printf("Can't read snapshot file '%s'!\n", snapshotPath.c_str());
}
