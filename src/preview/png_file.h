#pragma once

#include <string>

#include "render/render_screen.h"

// Writes `picture` to `path` as an 8-bit palette PNG with the 16 C64
// colours. False when the file cannot be created or written completely.
bool write_png_file(const std::string& path, const Picture& picture);
