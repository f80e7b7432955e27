#include "command/command_run.h"

std::optional<int> answer_command_line(CommandLine kind, const std::string& problem,
                                       const char* command, const char* program,
                                       void (*print_usage)(const char*)) {
  switch (kind) {
    case CommandLine::Help:
      print_usage(program);
      return kExitSuccess;
    case CommandLine::Version:
      print_version(command);
      return kExitSuccess;
    case CommandLine::Usage:
      print_problem(problem);
      print_usage(program);
      return kExitFailure;
    case CommandLine::Run:
      break;
  }
  return std::nullopt;
}
