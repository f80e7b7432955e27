#include "command/command_line.h"

#include <algorithm>
#include <cstdio>

#ifndef LUMERIST_VERSION
#error "LUMERIST_VERSION must give the version"
#endif

namespace {

// An option that takes a value: "--name VALUE", "--name=VALUE", and for a
// short name "-n VALUE" or "-nVALUE". Returns false when `arg` is not it;
// else stores the value (none when it is missing) and moves `at` past it.
bool option_value(std::string_view arg, std::string_view name, std::string_view shortName, int argc,
                  char** argv, int& at, std::optional<std::string>& value) {
  std::string_view rest;
  if (arg == name || (!shortName.empty() && arg == shortName)) {
    value = at + 1 < argc ? std::optional<std::string>(argv[++at]) : std::nullopt;
    return true;
  }
  if (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=') {
    rest = arg.substr(name.size() + 1);
  } else if (!shortName.empty() && arg.starts_with(shortName) && arg.size() > shortName.size()) {
    rest = arg.substr(shortName.size());
  } else {
    return false;
  }
  value = rest.empty() ? std::nullopt : std::optional<std::string>(rest);
  return true;
}

// A refusal while the options are read wins over --help and --version, as
// the first problem found.
void refuse_option(Arguments& arguments, const std::string& problem) {
  if (arguments.kind == CommandLine::Usage) return;
  arguments.kind = CommandLine::Usage;
  arguments.problem = problem;
}

// A band number: a whole number from 1, written in decimal.
std::optional<unsigned> band_number(const std::optional<std::string>& value) {
  if (!value || value->empty() || value->size() > 9 || (*value)[0] == '0') return std::nullopt;
  unsigned number = 0;
  for (const char digit : *value) {
    if (digit < '0' || digit > '9') return std::nullopt;
    number = number * 10 + static_cast<unsigned>(digit - '0');
  }
  return number;
}

}  // namespace

Arguments parse_arguments(int argc, char** argv, const CommandOptions& options) {
  const std::span<const std::string_view> flags = options.flags;
  Arguments arguments;
  bool optionsEnded = false;
  for (int at = 1; at < argc; ++at) {
    const std::string_view arg = argv[at];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {  // a file name ("-" alone too)
      arguments.operands.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help") {
      if (arguments.kind == CommandLine::Run) arguments.kind = CommandLine::Help;
    } else if (arg == "--version") {
      if (arguments.kind == CommandLine::Run) arguments.kind = CommandLine::Version;
    } else if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
      arguments.flags.emplace_back(arg);
    } else if (std::optional<std::string> dir;
               option_value(arg, "--output-dir", "-o", argc, argv, at, dir)) {
      if (!dir) refuse_option(arguments, "Option -o needs a folder name.");
      arguments.outputDir = dir;
    } else if (std::optional<std::string> file;
               options.chargen && option_value(arg, "--chargen", "", argc, argv, at, file)) {
      if (!file) refuse_option(arguments, "Option --chargen needs a file name.");
      arguments.chargen = file;
    } else if (std::optional<std::string> band;
               options.band && option_value(arg, "--band", "", argc, argv, at, band)) {
      arguments.band = band_number(band);
      if (!arguments.band) refuse_option(arguments, "Option --band needs a band number.");
    } else if (std::optional<std::string> palette;
               options.palette && option_value(arg, "--palette", "", argc, argv, at, palette)) {
      if (!palette) refuse_option(arguments, "Option --palette needs a file name.");
      arguments.palette = palette;
    } else {
      refuse_option(arguments, "Unknown option '" + std::string(arg) + "'.");
    }
  }
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

void print_version(const char* command) {
  std::printf("%s %s\n", command, LUMERIST_VERSION);
}
