#include "formats/export_run.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "command/chargen_file.h"
#include "command/command_line.h"
#include "command/command_run.h"
#include "command/console.h"
#include "command/input_guard.h"
#include "command/open_snapshot.h"
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
int export_snapshot(const Arguments& arguments) {
  const std::string& snapshotPath = arguments.operands[0];
  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(snapshotPath, snapshot, reading)) return kExitFailure;
  const CharacterRom rom = find_character_rom(arguments.chargen, reading.state);
  if (rom.refused) return kExitFailure;

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

  const FormatSource source = format_source(reading.state);
  bool readsRom = false;
  for (const Output& output : outputs) {
    OutputFile file = open_output(output.path);
    write_bytes(file, format_bytes(*output.format, source));
    if (!close_output(file)) {
      print_format_failure(output.path);
      return kExitFailure;
    }
    readsRom =
        readsRom || (output.format->contents == FormatContents::Sprites ? source.setup.charRomInBank
                                                                        : source.blocks.readsRom);
  }
  if (readsRom && !reading.state.charRom) print_export_rom_note(snapshotPath);
  for (const Output& output : outputs) print_format_written(*output.format, output.path);
  return kExitSuccess;
}

}  // namespace

ExportRun run_export(int argc, char** argv) {
  ExportRun run;
  Arguments arguments = parse_arguments(argc, argv, kListFlag, true);
  const bool list = !arguments.flags.empty();
  if (!list) {
    require_snapshot(arguments);
    if (arguments.operands.size() == 1) refuse(arguments, "No output file given.");
  }
  const char* program = program_name(argc, argv, "lumerist-export");
  if (const std::optional<int> answered = answer_command_line(
          arguments.kind, arguments.problem, "lumerist-export", program, print_export_usage)) {
    run.status = *answered;
    return run;
  }
  if (list) {
    std::fputs(format_list().c_str(), stdout);
    run.status = kExitSuccess;
    return run;
  }
  if (!output_folder_usable(arguments.outputDir)) return run;
  run.status = finish_outputs(export_snapshot(arguments));
  if (run.status == kExitSuccess) {
    for (std::size_t i = 1; i < arguments.operands.size(); ++i) {
      run.written.push_back(named_output(arguments.operands[i], arguments.outputDir));
    }
  }
  return run;
}
