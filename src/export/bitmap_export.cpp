#include "export/bitmap_export.h"

#include "export/picture_files.h"
#include "export/report_text.h"
#include "viewer/viewer_layout.h"
#include "viewer/viewer_program.h"

namespace {

std::string report_of(bool multicolor, const VideoSetup& setup, const OutputNames& names) {
  const char* mode = multicolor ? "MC" : "Hires";
  std::string report;
  report_printf(report, "Using %s Bitmap in Bank $%04x ($%02x).\n", mode, setup.bankBase,
                setup.cia2PortA);
  report_printf(report, "BitMap  at $%04x\twritten as '%s' without header.\n", setup.bitmapAddress,
                names.bitmap.c_str());
  report_printf(report, "ColMap  at $%04x ($%02x)\twritten as '%s' without header.\n",
                setup.screenAddress, setup.d018, names.colmap.c_str());
  if (multicolor) {
    report_printf(report, "ColAttr at $d800\twritten as '%s' without header.\n",
                  names.attrib.c_str());
    report_printf(report, "Koala format picture\twritten as '%s'    at $6000 (BG=$%02x).\n",
                  names.koala.c_str(), setup.d021);
  } else {
    report_printf(report, "HiRes format picture\twritten as '%s'  at $4000.\n",
                  names.hires.c_str());
  }
  report_printf(report, "Executable %s-Viewer\twritten as '%s'.\n", mode, names.prg.c_str());
  return report;
}

}  // namespace

ExportResult BitmapExport(OutputBatch& outputs, OutputFile& prg, const OutputNames& names,
                          const VideoSetup& setup, const VideoState& state) {
  const bool multicolor = setup.multicolorMode;
  const ViewerKind kind = multicolor ? ViewerKind::Multicolor : ViewerKind::Hires;

  ExportResult result;
  OutputFile bitmap = open_output(outputs, names.bitmap);
  if (!note_opened(bitmap, Output::Bitmap, result)) return result;
  OutputFile picture = open_output(outputs, multicolor ? names.koala : names.hires);
  if (!note_opened(picture, Output::Picture, result)) return result;
  OutputFile colmap = open_output(outputs, names.colmap);
  if (!note_opened(colmap, Output::Colmap, result)) return result;
  OutputFile attrib;
  if (multicolor) {
    attrib = open_output(outputs, names.attrib);
    if (!note_opened(attrib, Output::Attrib, result)) return result;
  }

  result.report = report_of(multicolor, setup, names);
  const ScreenBlocks blocks = screen_blocks(setup, state);
  write_bytes(prg, viewer_program(kind, setup, blocks));
  write_bytes(colmap, blocks.screen);
  if (multicolor) {
    write_bytes(attrib, std::span(blocks.colors).first(kColorRamBytes));
    close_checked(attrib, Output::Attrib, result);
  }
  write_bytes(bitmap, blocks.bitmap);

  if (multicolor) {
    write_koala(picture, setup, blocks);
  } else {
    write_hires_picture(picture, blocks);
  }
  close_checked(picture, Output::Picture, result);
  close_checked(bitmap, Output::Bitmap, result);
  close_checked(colmap, Output::Colmap, result);
  close_checked(prg, Output::Prg, result);
  return result;
}
