#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The command line of our commands other than lumerist: options first
// ("--" ends them; "-" alone is a file name), then the file names.

// What the command line asks for: a run, the usage as help (status 0), or
// the usage because it cannot be used (status 255, after `problem`).
enum class CommandLine { Run, Help, Usage };

struct Arguments {
  CommandLine kind = CommandLine::Run;
  std::string problem;                 // why it cannot be used, one sentence
  std::vector<std::string> flags;      // the command's own flags given, in order
  std::optional<std::string> chargen;  // --chargen FILE or --chargen=FILE
  std::vector<std::string> operands;   // the file names after the options
};

// Reads the options: "--help", "--chargen FILE" (also "--chargen=FILE") and
// the flags in `flags`; anything else starting with "-" is refused as an
// unknown option. Then the file names.
Arguments parse_arguments(int argc, char** argv, std::span<const std::string_view> flags);

// Makes `arguments` a refusal with `problem`, unless it is one already.
void refuse(Arguments& arguments, const std::string& problem);

// "No snapshot file given." unless the first file name is there.
void require_snapshot(Arguments& arguments);

// Prints a refusal's problem line (nothing when empty); the usage text
// follows it.
void print_problem(const std::string& problem);
