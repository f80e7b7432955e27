#include "app/run.h"

#include <algorithm>

#include "app/messages.h"
#include "app/output_names.h"
#include "command/chargen_file.h"
#include "command/command_line.h"
#include "command/console.h"
#include "command/exit_status.h"
#include "command/input_guard.h"
#include "command/open_snapshot.h"
#include "command/run_outputs.h"
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

// Rips one snapshot into the outputs named from `base`: its status, and the
// files it wrote in the order its report names them.
int rip(const std::string& snapshotPath, const std::string& base,
        std::vector<std::string>& written) {
  const OutputNames names = make_output_names(base);
  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(snapshotPath, snapshot, reading)) return kExitFailure;
  const CharacterRom rom = find_character_rom(std::nullopt, reading.state);
  if (rom.refused) return kExitFailure;
  // An output that is an input (a link to one) would destroy it.
  for (const OutputName& output : outputs_written(names, reading.setup)) {
    if (overwrites_an_input(output.path, snapshot, rom.file)) {
      print_output_failure(output);
      return kExitFailure;
    }
  }

  OutputFile prg = open_output(names.prg);
  if (!prg.file) {
    print_output_failure({Output::Prg, names.prg});
    return kExitFailure;
  }
  const ExportResult exported = reading.setup.bitmapMode
                                    ? BitmapExport(prg, names, reading.setup, reading.state)
                                    : TextExport(prg, names, reading.setup, reading.state);
  if (!exported.report.empty()) print_report(exported.report);
  if (exported.failure) {
    print_output_failure(*exported.failure);
    return kExitFailure;
  }
  std::vector<OutputName> opened = exported.opened;
  opened.push_back({Output::Prg, names.prg});
  written = in_report_order(std::move(opened));
  return kExitSuccess;
}

}  // namespace

RunResult run(int argc, char** argv) {
  RunResult result;  // a failure until every export is complete
  const char* program = program_name(argc, argv, "lumerist");
  if (argc < 2) {
    print_banner(program);
    return result;
  }
  Arguments arguments = parse_arguments(argc, argv, {}, false);
  require_snapshot(arguments);
  switch (arguments.kind) {
    case CommandLine::Help:
      print_usage(program);
      result.status = kExitSuccess;
      return result;
    case CommandLine::Version:
      print_version("lumerist");
      result.status = kExitSuccess;
      return result;
    case CommandLine::Usage:
      print_problem(arguments.problem);
      print_usage(program);
      return result;
    case CommandLine::Run:
      break;
  }
  if (!output_folder_usable(arguments.outputDir)) return result;

  // Each snapshot as if the tool were run on it alone.
  result.status = kExitSuccess;
  for (const std::string& snapshot : arguments.operands) {
    std::vector<std::string> written;
    const int status = rip(snapshot, output_base(snapshot, arguments.outputDir), written);
    if (finish_outputs(status) != kExitSuccess) {
      result.status = kExitFailure;
      continue;
    }
    result.written.insert(result.written.end(), written.begin(), written.end());
  }
  return result;
}
