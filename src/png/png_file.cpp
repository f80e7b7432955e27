#include "png/png_file.h"

#include <png.h>
#include <zlib.h>

#include <array>
#include <csetjmp>
#include <vector>

#include "io/input_file.h"
#include "io/output_file.h"
#include "io/system.h"
#include "png/palette.h"

namespace {

// libpng reports an error by calling this, which must not return: it jumps
// back to the setjmp in encode_png. Nothing is printed; the caller reports
// the failure.
[[noreturn]] void on_png_error(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void on_png_warning(png_structp, png_const_charp) {}

// Encodes the pixels into `file`, two to a byte, each row packed in `row`.
// Between setjmp and the jump back only libpng's own frames are left, so no
// destructor is skipped.
bool encode_png(std::FILE* file, std::span<const std::uint8_t> pixels, int width, int height,
                PngPacking packing, const Palette& colours, std::span<std::uint8_t> row) {
  const auto rowPixels = static_cast<std::size_t>(width);
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
  // Pictures of 16 colours in long runs: four bits a pixel, unfiltered rows
  // compressed as runs of equal bytes cost a fraction of the default's time
  // for a file hardly larger; or stored (level 0). The indices are known to
  // be in the palette.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_strategy(png, Z_RLE);
  png_set_compression_level(png, packing == PngPacking::Runs ? 1 : 0);
  png_set_check_for_invalid_index(png, 0);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 4,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::array<png_color, Palette{}.size()> palette{};
  for (std::size_t i = 0; i < colours.size(); ++i) {
    palette[i] = {colours[i].red, colours[i].green, colours[i].blue};
  }
  png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  png_write_info(png, info);
  for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
    const std::uint8_t* line = pixels.data() + y * rowPixels;
    for (std::size_t x = 0; x < rowPixels / 2; ++x) {
      row[x] = static_cast<std::uint8_t>((line[2 * x] & 15) << 4 | (line[2 * x + 1] & 15));
    }
    if (rowPixels % 2) row.back() = static_cast<std::uint8_t>((line[rowPixels - 1] & 15) << 4);
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool write_png_file(OutputBatch& outputs, const std::string& path,
                    std::span<const std::uint8_t> pixels, int width, int height, PngPacking packing,
                    const Palette& colours) {
  if (width <= 0 || height <= 0 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return false;
  }
  OutputFile output = open_output(outputs, path);
  if (!output.file) return false;
  std::vector<std::uint8_t> row((static_cast<std::size_t>(width) + 1) / 2);
  const bool encoded = encode_png(output.file.get(), pixels, width, height, packing, colours, row);
  return close_output(output) && encoded;
}

bool may_replace_with_png(const std::string& path) {
  if (path_kind(path) != PathKind::RegularFile) return true;
  InputFile file;
  if (!open_input(path, file)) return true;  // the open for writing fails and says so
  if (file.length == 0) return true;
  std::array<std::uint8_t, 8> start{};
  read_at(file, 0, start);
  constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return !file.readFailed && start == kSignature;
}
