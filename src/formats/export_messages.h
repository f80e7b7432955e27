#pragma once

#include <string>

#include "formats/formats.h"

// What lumerist-export says.

void print_export_usage(const char* program);

// A line of the report: the file written and its format.
void print_format_written(const PictureFormat& format, const std::string& path);

// An output that cannot be created or written completely, or that would
// overwrite an input.
void print_format_failure(const std::string& path);
