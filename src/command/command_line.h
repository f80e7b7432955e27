#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The command line every command of ours reads: its options and the file
// names, in any order ("--" ends the options; "-" alone is a file name).
// Every command takes --help, --version and -o DIR (--output-dir DIR);
// some take --chargen FILE, --band N, --palette FILE and flags of their own.

// What the command line asks for: a run, the usage as help (status 0), the
// version (status 0), or the usage because it cannot be used (status 255,
// after `problem`).
enum class CommandLine { Run, Help, Version, Usage };

// The options a command takes beyond --help, --version and -o DIR.
struct CommandOptions {
  std::span<const std::string_view> flags = {};  // its own flags
  bool chargen = false;                          // --chargen FILE
  bool band = false;                             // --band N
  bool palette = false;                          // --palette FILE or NAME
};

struct Arguments {
  CommandLine kind = CommandLine::Run;
  std::string problem;                   // why it cannot be used, one sentence
  std::vector<std::string> flags;        // the command's own flags given, in order
  std::optional<std::string> chargen;    // --chargen FILE or --chargen=FILE
  std::optional<std::string> palette;    // --palette FILE or --palette=FILE (or NAME)
  std::optional<unsigned> band;          // --band N or --band=N: a band of a split frame, from 1
  std::optional<std::string> outputDir;  // -o DIR, -oDIR, --output-dir DIR or --output-dir=DIR
  std::vector<std::string> operands;     // the file names
};

// Reads the options: --help, --version, -o DIR and those of `options`; anything else starting with
// "-" is refused as an unknown option (the first such problem wins over --help and --version). The
// last -o, --chargen, --band and --palette count.
Arguments parse_arguments(int argc, char** argv, const CommandOptions& options);

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
