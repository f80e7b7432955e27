#include "export/text_export.h"

#include <cstdio>

#include "app/console.h"
#include "snapshot/copy_block.h"
#include "viewer/viewer_stub.h"
#include "viewer/write_zeros.h"

namespace {

// Viewer program layout: stub, colour RAM image, the character set's first
// 2000 bytes filled with zeros to 2048, screen matrix.
constexpr std::size_t kColorRamSize = 1000;
constexpr std::size_t kCharsetSize = 2000;
constexpr std::size_t kCharsetFill = 48;
constexpr std::size_t kScreenSize = 1000;

void print_report(const VideoSetup& setup, const OutputNames& names) {
  print_separator();
  std::printf("Using screen ram in Bank $%04x ($%02x).\n", setup.bankBase, setup.cia2PortA);
  std::printf("Charset at $%04x\t\twritten as '%s' without header.\n", setup.charsetAddress,
              names.font.c_str());
  std::printf("Text screen at $%04x ($%02x)\twritten as '%s' without header.\n",
              setup.screenAddress, setup.d018, names.screen.c_str());
  std::printf("ColAttr at $d800\t\twritten as '%s' without header.\n", names.attrib.c_str());
  std::printf("Executable screen-Viewer\twritten as '%s'.\n", names.prg.c_str());
  print_separator();
}

}  // namespace

ExportResult TextExport(const InputFile& snapshot, OutputFile& prg, const OutputNames& names,
                        const VideoSetup& setup, const SnapshotLocation& location) {
  OutputFile screen = open_output(names.screen);
  if (!screen.file) return OutputFailure{Output::Screen, names.screen};
  OutputFile font = open_output(names.font);
  if (!font.file) return OutputFailure{Output::Font, names.font};
  OutputFile attrib = open_output(names.attrib);
  if (!attrib.file) return OutputFailure{Output::Attrib, names.attrib};

  write_bytes(prg, viewer_stub(ViewerKind::Text, setup));
  copy_block(snapshot, location.colorRamOffset, kColorRamSize, attrib, &prg);
  copy_block(snapshot, ram_file_offset(location, setup.charsetAddress), kCharsetSize, font, &prg);
  write_zeros(prg, kCharsetFill);
  copy_block(snapshot, ram_file_offset(location, setup.screenAddress), kScreenSize, screen, &prg);

  ExportResult result;
  close_checked(attrib, Output::Attrib, result);
  close_checked(screen, Output::Screen, result);
  close_checked(font, Output::Font, result);
  close_checked(prg, Output::Prg, result);
  if (!result) print_report(setup, names);
  return result;
}
