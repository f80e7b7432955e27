#pragma once

// Reads a PNG file back with libpng, to check what the preview wrote.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PngContents {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bitDepth = 0;
  int colorType = 0;
  std::vector<std::uint32_t> palette;  // 0xRRGGBB
  std::vector<std::vector<std::uint8_t>> rows;
};

// Nothing when the file cannot be opened or is not a readable PNG.
std::optional<PngContents> read_png(const std::string& path);
