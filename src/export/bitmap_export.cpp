#include "export/bitmap_export.h"

#include <cstdio>

#include "app/console.h"
#include "export/picture_files.h"
#include "snapshot/copy_block.h"
#include "viewer/viewer_stub.h"
#include "viewer/write_zeros.h"

namespace {

// Viewer program layout: the stub and its fill up to file offset 1025
// ($0C00), the screen matrix, a fill to 2049 ($1000), the colour RAM image
// (multicolour) and a fill to 6145 ($2000), then the bitmap.
constexpr std::size_t kScreenFileOffset = 1025;
constexpr std::size_t kScreenSize = 1000;
constexpr std::size_t kScreenFill = 24;
constexpr std::size_t kColorRamSize = 1000;
constexpr std::size_t kMulticolorColorRamFill = 3096;
constexpr std::size_t kHiresColorRamFill = 4096;
constexpr std::size_t kBitmapSize = 8000;

void print_report(bool multicolor, const VideoSetup& setup, const OutputNames& names) {
  const char* mode = multicolor ? "MC" : "Hires";
  print_separator();
  std::printf("Using %s Bitmap in Bank $%04x ($%02x).\n", mode, setup.bankBase, setup.cia2PortA);
  std::printf("BitMap  at $%04x\twritten as '%s' without header.\n", setup.bitmapAddress,
              names.bitmap.c_str());
  std::printf("ColMap  at $%04x ($%02x)\twritten as '%s' without header.\n", setup.screenAddress,
              setup.d018, names.colmap.c_str());
  if (multicolor) {
    std::printf("ColAttr at $d800\twritten as '%s' without header.\n", names.attrib.c_str());
    std::printf("Koala format picture\twritten as '%s'    at $6000 (BG=$%02x).\n",
                names.koala.c_str(), setup.d021);
  } else {
    std::printf("HiRes format picture\twritten as '%s'  at $4000.\n", names.hires.c_str());
  }
  std::printf("Executable %s-Viewer\twritten as '%s'.\n", mode, names.prg.c_str());
  print_separator();
}

}  // namespace

ExportResult BitmapExport(const InputFile& snapshot, OutputFile& prg, const OutputNames& names,
                          const VideoSetup& setup, const SnapshotLocation& location) {
  const bool multicolor = setup.multicolorMode;
  const ViewerKind kind = multicolor ? ViewerKind::Multicolor : ViewerKind::Hires;

  OutputFile bitmap = open_output(names.bitmap);
  if (!bitmap.file) return OutputFailure{Output::Bitmap, names.bitmap};
  OutputFile picture = open_output(multicolor ? names.koala : names.hires);
  if (!picture.file) return OutputFailure{Output::Picture, picture.path};
  OutputFile colmap = open_output(names.colmap);
  if (!colmap.file) return OutputFailure{Output::Colmap, names.colmap};
  OutputFile attrib;
  if (multicolor) {
    attrib = open_output(names.attrib);
    if (!attrib.file) return OutputFailure{Output::Attrib, names.attrib};
  }

  print_report(multicolor, setup, names);

  ExportResult result;
  const std::vector<std::uint8_t> stub = viewer_stub(kind, setup);
  write_bytes(prg, stub);
  write_zeros(prg, kScreenFileOffset - stub.size());
  copy_block(snapshot, ram_file_offset(location, setup.screenAddress), kScreenSize, colmap, &prg);
  write_zeros(prg, kScreenFill);
  if (multicolor) {
    copy_block(snapshot, location.colorRamOffset, kColorRamSize, attrib, &prg);
    close_checked(attrib, Output::Attrib, result);
    write_zeros(prg, kMulticolorColorRamFill);
  } else {
    write_zeros(prg, kHiresColorRamFill);
  }
  copy_block(snapshot, ram_file_offset(location, setup.bitmapAddress), kBitmapSize, bitmap, &prg);

  const bool pictureWritten = multicolor ? write_koala(snapshot, picture, setup, location)
                                         : write_hires_picture(snapshot, picture, setup, location);
  if (!pictureWritten && !result) result = OutputFailure{Output::Picture, picture.path};
  close_checked(bitmap, Output::Bitmap, result);
  close_checked(colmap, Output::Colmap, result);
  close_checked(prg, Output::Prg, result);
  return result;
}
