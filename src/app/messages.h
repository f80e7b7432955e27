#pragma once

#include <string>

// What lumerist itself prints, all on standard output.

// The usage banner between two rule lines; `program` is the name the tool
// was started under.
void print_banner(const char* program);

// The usage text of --help and of a command line that cannot be used: the
// banner's lines, the syntax with the options, and what they do.
void print_usage(const char* program);
