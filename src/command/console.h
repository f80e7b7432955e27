#pragma once

#include <string>

// What every command of ours says: reports, results and refusals go to
// standard output; notes (what the user may want to know about a result
// that was written all the same) go to standard error.

// The exit status once standard output is flushed: failure when any of it
// could not be written (a full disk, a closed pipe), whatever `status` was.
int finish_console(int status);

// The rule line that opens and closes every report block: 79 dashes.
void print_separator();

// A note on standard error: "Note: " and the text, then a line end.
void print_note(const std::string& text);

// The program name for usage texts: argv[0], else `fallback`.
const char* program_name(int argc, char** argv, const char* fallback);

// A picture file that cannot be written, or would overwrite an input.
void print_png_failure(const std::string& path);
