#include "command/command_line.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::string_view kChargen = "--chargen";

}  // namespace

Arguments parse_arguments(int argc, char** argv, std::span<const std::string_view> flags) {
  Arguments arguments;
  int at = 1;
  for (; at < argc; ++at) {
    const std::string_view arg = argv[at];
    if (arg == "--") {
      ++at;
      break;
    }
    if (arg.size() < 2 || arg[0] != '-') break;  // a file name ("-" alone too)
    if (arg == "--help") {
      arguments.kind = CommandLine::Help;
      return arguments;
    }
    if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
      arguments.flags.emplace_back(arg);
    } else if (arg == kChargen) {
      if (at + 1 >= argc) {
        refuse(arguments, "Option --chargen needs a file name.");
        return arguments;
      }
      arguments.chargen = argv[++at];
    } else if (arg.starts_with(kChargen) && arg[kChargen.size()] == '=') {
      if (arg.size() == kChargen.size() + 1) {
        refuse(arguments, "Option --chargen needs a file name.");
        return arguments;
      }
      arguments.chargen = std::string(arg.substr(kChargen.size() + 1));
    } else {
      refuse(arguments, "Unknown option '" + std::string(arg) + "'.");
      return arguments;
    }
  }
  for (; at < argc; ++at) arguments.operands.emplace_back(argv[at]);
  return arguments;
}

void refuse(Arguments& arguments, const std::string& problem) {
  if (arguments.kind != CommandLine::Run) return;
  arguments.kind = CommandLine::Usage;
  arguments.problem = problem;
}

void require_snapshot(Arguments& arguments) {
  if (arguments.operands.empty()) refuse(arguments, "No snapshot file given.");
}

void print_problem(const std::string& problem) {
  if (!problem.empty()) std::printf("%s\n", problem.c_str());
}
