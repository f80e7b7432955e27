#include "formats/export_run.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "command/chargen_file.h"
#include "command/command_line.h"
#include "command/command_run.h"
#include "command/console.h"
#include "command/input_guard.h"
#include "command/rip_source.h"
#include "command/run_outputs.h"
#include "formats/export_messages.h"
#include "formats/format_files.h"
#include "formats/formats.h"
#include "io/input_file.h"
#include "io/output_file.h"

namespace {

constexpr std::array<std::string_view, 1> kListFlag = {"--list"};

struct Output {
  std::string path;
  const PictureFormat* format;
};

// Writes the outputs of the snapshot; its status.
int export_snapshot(SnapshotRun& run) {
  const Arguments& arguments = run.arguments;
  const std::string& snapshotPath = run.snapshot;
  RipSource ripped;
  if (!open_rip_source(run, ripped)) return kExitFailure;
  const InputFile& snapshot = ripped.snapshot;
  const SnapshotReading& reading = ripped.reading;
  const CharacterRom& rom = ripped.rom;

  // Every output's format first, so that a refusal writes nothing.
  std::vector<Output> outputs;
  for (std::size_t i = 1; i < arguments.operands.size(); ++i) {
    const FormatChoice choice = choose_format(arguments.operands[i], snapshotPath, reading.setup);
    if (!choice.format) {
      std::printf("%s\n", choice.refusal.c_str());
      return kExitFailure;
    }
    const std::string path = named_output(arguments.operands[i], arguments.outputDir);
    if (overwrites_an_input(path, snapshot, rom.file)) {
      print_format_failure(path);
      return kExitFailure;
    }
    outputs.push_back({path, choice.format});
  }
  std::vector<std::string> paths;
  for (const Output& output : outputs) paths.push_back(output.path);
  if (!claim_outputs(run.outputs, paths)) return kExitFailure;

  const FormatSource source = format_source(reading.state);
  bool readsRom = false;
  for (const Output& output : outputs) {
    OutputFile file = open_output(run.outputs, output.path);
    write_bytes(file, format_bytes(*output.format, source));
    if (!close_output(file)) {
      print_format_failure(output.path);
      return kExitFailure;
    }
    readsRom =
        readsRom || (output.format->contents == FormatContents::Sprites ? source.setup.charRomInBank
                                                                        : source.blocks.readsRom);
  }
  print_rip_notes(ripped, readsRom, true);
  for (const Output& output : outputs) print_format_written(*output.format, output.path);
  run.written = paths;
  return kExitSuccess;
}

// The snapshot and at least one output, unless --list asks for the formats.
void check_export_operands(Arguments& arguments) {
  if (!arguments.flags.empty()) return;
  require_snapshot(arguments);
  if (arguments.operands.size() == 1) refuse(arguments, "No output file given.");
}

std::optional<int> list_formats(const Arguments& arguments) {
  if (arguments.flags.empty()) return std::nullopt;
  std::fputs(format_list().c_str(), stdout);
  return kExitSuccess;
}

std::vector<std::string> first_operand(const Arguments& arguments) {
  return {arguments.operands.front()};
}

constexpr CommandSpec kExport{.name = "lumerist-export",
                              .printUsage = print_export_usage,
                              .options = {.flags = kListFlag, .chargen = true, .band = true},
                              .checkOperands = check_export_operands,
                              .answer = list_formats,
                              .snapshotsOf = first_operand};

}  // namespace

ExportRun run_export(int argc, char** argv) {
  ExportRun run;
  run.status = run_command(kExport, argc, argv, export_snapshot, run.written);
  return run;
}
