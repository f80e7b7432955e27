#pragma once

#include <string>

// Appends one printf-formatted piece to a report being put together.
void report_printf(std::string& report, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
