#include "command/console.h"

#include <cstdio>

#include "command/exit_status.h"

int finish_console(int status) {
  const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  return written ? status : kExitFailure;
}

void print_separator() {
  std::fputs("-------------------------------------------------------------------------------\n",
             stdout);
}

void print_note(const std::string& text) {
  std::fprintf(stderr, "Note: %s\n", text.c_str());
}

const char* program_name(int argc, char** argv, const char* fallback) {
  return argc > 0 && argv[0] ? argv[0] : fallback;
}

void print_png_failure(const std::string& path) {
  std::printf("Can't write PNG file '%s'!\n", path.c_str());
}
