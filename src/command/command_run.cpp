#include "command/command_run.h"

#include "command/console.h"

namespace {

std::optional<int> answer_command_line(const Arguments& arguments, const CommandSpec& spec,
                                       const char* program) {
  switch (arguments.kind) {
    case CommandLine::Help:
      spec.printUsage(program);
      return kExitSuccess;
    case CommandLine::Version:
      print_version(spec.name);
      return kExitSuccess;
    case CommandLine::Usage:
      print_problem(arguments.problem);
      spec.printUsage(program);
      return kExitFailure;
    case CommandLine::Run:
      break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<int> prepare_command(const CommandSpec& spec, int argc, char** argv,
                                   Arguments& arguments) {
  const char* program = program_name(argc, argv, spec.name);
  if (argc < 2 && spec.printBanner) {
    spec.printBanner(program);
    return kExitFailure;
  }
  arguments = parse_arguments(argc, argv, spec.options);
  if (spec.checkOperands) spec.checkOperands(arguments);
  if (const std::optional<int> answered = answer_command_line(arguments, spec, program)) {
    return answered;
  }
  if (spec.answer) {
    if (const std::optional<int> answered = spec.answer(arguments)) return answered;
  }
  if (!output_folder_usable(arguments.outputDir)) return kExitFailure;
  return std::nullopt;
}

std::string snapshot_output_base(const std::string& snapshot, const Arguments& arguments) {
  std::string base = output_base(snapshot, arguments.outputDir);
  if (arguments.band) base += ".band" + std::to_string(*arguments.band);
  return base;
}

std::vector<std::string> snapshots_named(const CommandSpec& spec, const Arguments& arguments) {
  return spec.snapshotsOf ? spec.snapshotsOf(arguments) : arguments.operands;
}
