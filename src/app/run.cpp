#include "app/run.h"

#include <algorithm>

#include "app/messages.h"
#include "app/output_names.h"
#include "command/chargen_file.h"
#include "command/console.h"
#include "command/exit_status.h"
#include "command/input_guard.h"
#include "command/open_snapshot.h"
#include "export/bitmap_export.h"
#include "export/text_export.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "snapshot/read_snapshot.h"

namespace {

std::vector<std::string> in_report_order(std::vector<OutputName> outputs) {
  std::stable_sort(outputs.begin(), outputs.end(), [](const OutputName& a, const OutputName& b) {
    return report_rank(a.output) < report_rank(b.output);
  });
  std::vector<std::string> paths;
  for (const OutputName& output : outputs) paths.push_back(output.path);
  return paths;
}

}  // namespace

RunResult run(int argc, char** argv) {
  RunResult result;  // a failure until the export is complete
  if (argc < 2) {
    print_banner(program_name(argc, argv, "lumerist"));
    return result;
  }
  const std::string snapshotPath = argv[1];  // further arguments are ignored
  const OutputNames names = make_output_names(snapshotPath);

  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(snapshotPath, snapshot, reading)) return result;
  const CharacterRom rom = find_character_rom(std::nullopt, reading.state);
  if (rom.refused) return result;
  // An output that is an input (a link to one) would destroy it.
  for (const OutputName& output : outputs_written(names, reading.setup)) {
    if (overwrites_an_input(output.path, snapshot, rom.file)) {
      print_output_failure(output);
      return result;
    }
  }

  OutputFile prg = open_output(names.prg);
  if (!prg.file) {
    print_output_failure({Output::Prg, names.prg});
    return result;
  }
  const ExportResult exported = reading.setup.bitmapMode
                                    ? BitmapExport(prg, names, reading.setup, reading.state)
                                    : TextExport(prg, names, reading.setup, reading.state);
  std::vector<OutputName> opened = exported.opened;
  opened.push_back({Output::Prg, names.prg});
  result.written = in_report_order(std::move(opened));
  if (!exported.report.empty()) print_report(exported.report);
  if (exported.failure) {
    print_output_failure(*exported.failure);
    return result;
  }
  result.status = kExitSuccess;
  return result;
}
