#pragma once

#include <string>

#include "export/outputs.h"

// What lumerist itself prints, all on standard output.

// The usage banner between two rule lines; `program` is the name the tool
// was started under.
void print_banner(const std::string& program);

// The usage text of --help and of a command line that cannot be used: the
// banner's lines, the syntax with the options, and what they do.
void print_usage(const std::string& program);

// A report block: the rule line, the report's lines, the rule line.
void print_report(const std::string& report);

// An output that could not be opened or written completely, in its own words.
void print_output_failure(const OutputFailure& failure);
