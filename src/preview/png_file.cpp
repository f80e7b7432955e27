#include "preview/png_file.h"

#include <png.h>

#include <array>
#include <csetjmp>

#include "io/output_file.h"
#include "render/palette.h"

namespace {

// libpng reports an error by calling this, which must not return: it jumps
// back to the setjmp in encode_png. Nothing is printed; the caller reports
// the failure.
[[noreturn]] void on_png_error(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void on_png_warning(png_structp, png_const_charp) {}

// Encodes `picture` into `file`. Between setjmp and the jump back only
// libpng's own frames are left, so no destructor is skipped.
bool encode_png(std::FILE* file, const Picture& picture) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_png_error, on_png_warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, kPictureWidth, kPictureHeight, 8, PNG_COLOR_TYPE_PALETTE,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::array<png_color, kC64Palette.size()> palette{};
  for (std::size_t i = 0; i < kC64Palette.size(); ++i) {
    palette[i] = {kC64Palette[i].red, kC64Palette[i].green, kC64Palette[i].blue};
  }
  png_set_PLTE(png, info, palette.data(), static_cast<int>(kC64Palette.size()));
  png_write_info(png, info);
  for (int y = 0; y < kPictureHeight; ++y) {
    png_write_row(png, picture.pixels.data() + static_cast<std::size_t>(y * kPictureWidth));
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool write_png_file(const std::string& path, const Picture& picture) {
  OutputFile output = open_output(path);
  if (!output.file) return false;
  const bool encoded = encode_png(output.file.get(), picture);
  return close_output(output) && encoded;
}
