#pragma once

#include <cstdint>
#include <span>
#include <string>

// Writes `width` x `height` colour indices, row by row, to `path` as a
// 4-bit palette PNG with the 16 C64 colours. False when the file cannot be
// created or written completely.
bool write_png_file(const std::string& path, std::span<const std::uint8_t> pixels, int width,
                    int height);
