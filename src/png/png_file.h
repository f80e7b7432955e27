#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "io/output_file.h"
#include "png/palette.h"

// How the pixels are packed: compressed as runs of equal bytes, which suits
// screens; or stored as they are, which suits pictures of code and data,
// whose noise costs far more time to compress than the file's size is worth.
enum class PngPacking { Runs, Stored };

// Writes `width` x `height` colour indices, row by row, to `path` as a
// 4-bit palette PNG, an output of `outputs`, whose palette is the 16 C64
// colours in `colours`. False when the file cannot be created or written
// completely.
bool write_png_file(OutputBatch& outputs, const std::string& path,
                    std::span<const std::uint8_t> pixels, int width, int height,
                    PngPacking packing = PngPacking::Runs, const Palette& colours = kC64Palette);

// False when `path` names an existing file that is neither empty nor a PNG
// file (its first 8 bytes the PNG signature): a picture written there would
// destroy something else. Devices and FIFOs are not looked into.
bool may_replace_with_png(const std::string& path);
