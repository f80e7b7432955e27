#include "export/picture_layout.h"

#include <algorithm>

namespace {

void put(std::vector<std::uint8_t>& file, std::size_t offset, std::span<const std::uint8_t> part,
         std::uint8_t mask) {
  std::transform(part.begin(), part.end(), file.begin() + static_cast<std::ptrdiff_t>(offset),
                 [mask](std::uint8_t byte) { return static_cast<std::uint8_t>(byte & mask); });
}

}  // namespace

std::vector<std::uint8_t> picture_image(std::span<const Placement> layout,
                                        std::uint16_t loadAddress, std::size_t size,
                                        const VideoSetup& setup, const ScreenBlocks& blocks,
                                        ColourBytes colours) {
  std::vector<std::uint8_t> file(size, 0);
  file[0] = static_cast<std::uint8_t>(loadAddress & 0xFF);
  file[1] = static_cast<std::uint8_t>(loadAddress >> 8);
  const std::uint8_t mask = colours == ColourBytes::LowNibbles ? 0x0F : 0xFF;
  for (const Placement& placement : layout) {
    switch (placement.part) {
      case PicturePart::Bitmap:
        put(file, placement.offset, blocks.bitmap, 0xFF);
        break;
      case PicturePart::Screen:
        put(file, placement.offset, blocks.screen, 0xFF);
        break;
      case PicturePart::ColorRam:
        put(file, placement.offset, blocks.colors, mask);
        break;
      case PicturePart::Background:
        file[placement.offset] = setup.d021 & mask;
        break;
      case PicturePart::Border:
        file[placement.offset] = setup.d020 & mask;
        break;
    }
  }
  return file;
}
