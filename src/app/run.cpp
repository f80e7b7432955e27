#include "app/run.h"

#include <string>

#include "app/console.h"
#include "app/open_snapshot.h"
#include "app/output_names.h"
#include "export/bitmap_export.h"
#include "export/text_export.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "snapshot/read_snapshot.h"

namespace {
constexpr int kSuccess = 0;
constexpr int kFailure = -1;
}  // namespace

int run(int argc, char** argv) {
  if (argc < 2) {
    print_banner(argc > 0 && argv[0] ? argv[0] : "lumerist");
    return kFailure;
  }
  const std::string snapshotPath = argv[1];  // further arguments are ignored
  const OutputNames names = make_output_names(snapshotPath);

  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(snapshotPath, snapshot, reading)) return kFailure;

  OutputFile prg = open_output(names.prg);
  if (!prg.file) {
    print_output_failure({Output::Prg, names.prg});
    return kFailure;
  }
  const ExportResult result =
      reading.setup.bitmapMode ? BitmapExport(snapshot, prg, names, reading.setup, reading.location)
                               : TextExport(snapshot, prg, names, reading.setup, reading.location);
  if (result) {
    print_output_failure(*result);
    return kFailure;
  }
  return kSuccess;
}
