#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The command line every command of ours reads: its options and the file
// names, in any order ("--" ends the options; "-" alone is a file name).
// Every command takes --help, --version and -o DIR (--output-dir DIR);
// some take --chargen FILE, --palette FILE and flags of their own.

// What the command line asks for: a run, the usage as help (status 0), the
// version (status 0), or the usage because it cannot be used (status 255,
// after `problem`).
enum class CommandLine { Run, Help, Version, Usage };

struct Arguments {
  CommandLine kind = CommandLine::Run;
  std::string problem;                   // why it cannot be used, one sentence
  std::vector<std::string> flags;        // the command's own flags given, in order
  std::optional<std::string> chargen;    // --chargen FILE or --chargen=FILE
  std::optional<std::string> palette;    // --palette FILE or --palette=FILE (or NAME)
  std::optional<std::string> outputDir;  // -o DIR, -oDIR, --output-dir DIR or --output-dir=DIR
  std::vector<std::string> operands;     // the file names
};

// Reads the options: --help, --version, -o DIR, the flags in `flags`,
// --chargen FILE where `takesChargen` and --palette FILE where
// `takesPalette`; anything else starting with "-" is refused as an unknown
// option (the first such problem wins over --help and --version). The last
// -o, --chargen and --palette count.
Arguments parse_arguments(int argc, char** argv, std::span<const std::string_view> flags,
                          bool takesChargen, bool takesPalette = false);

// Makes a run's `arguments` a refusal with `problem`; help, version and
// earlier refusals stay as they are.
void refuse(Arguments& arguments, const std::string& problem);

// "No snapshot file given." unless the first file name is there.
void require_snapshot(Arguments& arguments);

// Prints a refusal's problem line (nothing when empty); the usage text
// follows it.
void print_problem(const std::string& problem);

// The line --version prints: the command's name and the version.
void print_version(const char* command);
