#include "export/picture_files.h"

#include "viewer/viewer_layout.h"

namespace {

void write_load_address(OutputFile& file, std::uint16_t address) {
  write_byte(file, static_cast<std::uint8_t>(address & 0xFF));
  write_byte(file, static_cast<std::uint8_t>(address >> 8));
}

// Bitmap and screen matrix, the part both picture formats share.
void write_bitmap_and_screen(OutputFile& file, const VideoSetup& setup, const VideoState& state) {
  write_bytes(file, ram_block(state, setup.bitmapAddress, kBitmapBytes));
  write_bytes(file, ram_block(state, setup.screenAddress, kScreenBytes));
}

}  // namespace

void write_koala(OutputFile& koala, const VideoSetup& setup, const VideoState& state) {
  write_load_address(koala, 0x6000);
  write_bitmap_and_screen(koala, setup, state);
  write_bytes(koala, std::span(state.colorRam).first(kColorRamBytes));
  write_byte(koala, setup.d021);
}

void write_hires_picture(OutputFile& picture, const VideoSetup& setup, const VideoState& state) {
  write_load_address(picture, 0x4000);
  write_bitmap_and_screen(picture, setup, state);
}
