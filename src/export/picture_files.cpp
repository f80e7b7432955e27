#include "export/picture_files.h"

#include "snapshot/copy_block.h"

namespace {

constexpr std::size_t kBitmapSize = 8000;
constexpr std::size_t kScreenSize = 1000;
constexpr std::size_t kColorRamSize = 1000;

void write_load_address(OutputFile& file, std::uint16_t address) {
  write_byte(file, static_cast<std::uint8_t>(address & 0xFF));
  write_byte(file, static_cast<std::uint8_t>(address >> 8));
}

// Bitmap and screen matrix, the part both picture formats share.
void write_bitmap_and_screen(const InputFile& snapshot, OutputFile& file, const VideoSetup& setup,
                             const SnapshotLocation& location) {
  copy_block(snapshot, ram_file_offset(location, setup.bitmapAddress), kBitmapSize, file);
  copy_block(snapshot, ram_file_offset(location, setup.screenAddress), kScreenSize, file);
}

}  // namespace

bool write_koala(const InputFile& snapshot, OutputFile& koala, const VideoSetup& setup,
                 const SnapshotLocation& location) {
  write_load_address(koala, 0x6000);
  write_bitmap_and_screen(snapshot, koala, setup, location);
  copy_block(snapshot, location.colorRamOffset, kColorRamSize, koala);
  write_byte(koala, setup.d021);
  return close_output(koala);
}

bool write_hires_picture(const InputFile& snapshot, OutputFile& picture, const VideoSetup& setup,
                         const SnapshotLocation& location) {
  write_load_address(picture, 0x4000);
  write_bitmap_and_screen(snapshot, picture, setup, location);
  return close_output(picture);
}
