#include "command/command_run.h"

#include "command/console.h"

namespace {

std::optional<int> answer_command_line(const Arguments& arguments, const CommandSpec& tool,
                                       const char* program) {
  switch (arguments.kind) {
    case CommandLine::Help:
      tool.printUsage(program);
      return kExitSuccess;
    case CommandLine::Version:
      print_version(tool.name);
      return kExitSuccess;
    case CommandLine::Usage:
      print_problem(arguments.problem);
      tool.printUsage(program);
      return kExitFailure;
    case CommandLine::Run:
      break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> prepare_command(const CommandSpec& tool, int argc, char** argv,
                                   Arguments& arguments) {
  const char* program = program_name(argc, argv, tool.name);
  if (argc < 2 && tool.printBanner) {
    tool.printBanner(program);
    return kExitFailure;
  }
  arguments = parse_arguments(argc, argv, tool.options);
  if (tool.checkOperands) tool.checkOperands(arguments);
  if (const std::optional<int> answered = answer_command_line(arguments, tool, program)) {
    return answered;
  }
  if (tool.answer) {
    if (const std::optional<int> answered = tool.answer(arguments)) return answered;
  }
  if (!output_folder_usable(arguments.outputDir)) return kExitFailure;
  return std::nullopt;
}

std::string snapshot_output_base(const std::string& snapshot, const Arguments& arguments) {
  std::string base = output_base(snapshot, arguments.outputDir);
  if (arguments.band) base += ".band" + std::to_string(*arguments.band);
  return base;
}

std::vector<std::string> snapshots_named(const CommandSpec& tool, const Arguments& arguments) {
  return tool.snapshotsOf ? tool.snapshotsOf(arguments) : arguments.operands;
}
