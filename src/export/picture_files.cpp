#include "export/picture_files.h"

#include "export/picture_layout.h"
#include "viewer/viewer_layout.h"

namespace {

void write_load_address(OutputFile& file, std::uint16_t address) {
  write_byte(file, static_cast<std::uint8_t>(address & 0xFF));
  write_byte(file, static_cast<std::uint8_t>(address >> 8));
}

// Bitmap and screen matrix, the part both picture formats share.
void write_bitmap_and_screen(OutputFile& file, const ScreenBlocks& blocks) {
  write_bytes(file, blocks.bitmap);
  write_bytes(file, blocks.screen);
}

}  // namespace

void write_koala(OutputFile& koala, const VideoSetup& setup, const ScreenBlocks& blocks) {
  write_bytes(koala, picture_image(kKoalaLayout, kKoalaLoadAddress, kKoalaSize, setup, blocks,
                                   ColourBytes::AsSaved));
}

void write_hires_picture(OutputFile& picture, const ScreenBlocks& blocks) {
  write_load_address(picture, 0x4000);
  write_bitmap_and_screen(picture, blocks);
}
