#include "png_reading.h"

#include <png.h>

#include <csetjmp>

#include "io/file_handle.h"

namespace {

[[noreturn]] void on_error(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void on_warning(png_structp, png_const_charp) {}

// Everything with a destructor exists before the setjmp, so the jump back
// skips none.
bool decode(std::FILE* file, PngContents& contents) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, file);
  png_read_info(png, info);
  contents.width = png_get_image_width(png, info);
  contents.height = png_get_image_height(png, info);
  contents.bitDepth = png_get_bit_depth(png, info);
  contents.colorType = png_get_color_type(png, info);
  png_set_packing(png);  // one byte a pixel whatever the depth
  png_read_update_info(png, info);
  png_colorp palette = nullptr;
  int entries = 0;
  if (png_get_PLTE(png, info, &palette, &entries) != 0) {
    for (int i = 0; i < entries; ++i) {
      contents.palette.push_back(static_cast<std::uint32_t>(
          palette[i].red << 16 | palette[i].green << 8 | palette[i].blue));
    }
  }
  contents.rows.resize(contents.height);
  for (auto& row : contents.rows) {
    row.resize(png_get_rowbytes(png, info));
    png_read_row(png, row.data(), nullptr);
  }
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

std::optional<PngContents> read_png(const std::string& path) {
  FileHandle file{std::fopen(path.c_str(), "rb")};
  if (!file) return std::nullopt;
  PngContents contents;
  if (!decode(file.get(), contents)) return std::nullopt;
  return contents;
}
