#include "app/run.h"

#include <string>

#include "app/console.h"
#include "app/exit_status.h"
#include "app/open_snapshot.h"
#include "app/output_names.h"
#include "export/bitmap_export.h"
#include "export/text_export.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "snapshot/read_snapshot.h"

int run(int argc, char** argv) {
  if (argc < 2) {
    print_banner(argc > 0 && argv[0] ? argv[0] : "lumerist");
    return kExitFailure;
  }
  const std::string snapshotPath = argv[1];  // further arguments are ignored
  const OutputNames names = make_output_names(snapshotPath);

  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(snapshotPath, snapshot, reading)) return kExitFailure;
  // An output that is the snapshot itself (a link to it) would destroy it.
  for (const OutputName& output : outputs_written(names, reading.setup)) {
    if (is_same_file(output.path, snapshot)) {
      print_output_failure(output);
      return kExitFailure;
    }
  }

  OutputFile prg = open_output(names.prg);
  if (!prg.file) {
    print_output_failure({Output::Prg, names.prg});
    return kExitFailure;
  }
  const ExportResult result = reading.setup.bitmapMode
                                  ? BitmapExport(prg, names, reading.setup, reading.state)
                                  : TextExport(prg, names, reading.setup, reading.state);
  if (!result.report.empty()) print_report(result.report);
  if (result.failure) {
    print_output_failure(*result.failure);
    return kExitFailure;
  }
  return kExitSuccess;
}
