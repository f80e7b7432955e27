#include "export/report_text.h"

#include <cstdarg>
#include <cstdio>

void report_printf(std::string& report, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, arguments);
  va_end(arguments);
  if (length > 0) {
    const std::size_t at = report.size();
    report.resize(at + static_cast<std::size_t>(length) + 1);
    std::vsnprintf(report.data() + at, static_cast<std::size_t>(length) + 1, format, again);
    report.resize(at + static_cast<std::size_t>(length));
  }
  va_end(again);
}
