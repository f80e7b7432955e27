#include "app/open_snapshot.h"

#include "app/console.h"

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
