#include "export/text_export.h"

#include "export/report_text.h"
#include "viewer/viewer_layout.h"
#include "viewer/viewer_program.h"

namespace {

std::string report_of(const VideoSetup& setup, const OutputNames& names) {
  std::string report;
  report_printf(report, "Using screen ram in Bank $%04x ($%02x).\n", setup.bankBase,
                setup.cia2PortA);
  report_printf(report, "Charset at $%04x\t\twritten as '%s' without header.\n",
                setup.charsetAddress, names.font.c_str());
  report_printf(report, "Text screen at $%04x ($%02x)\twritten as '%s' without header.\n",
                setup.screenAddress, setup.d018, names.screen.c_str());
  report_printf(report, "ColAttr at $d800\t\twritten as '%s' without header.\n",
                names.attrib.c_str());
  report_printf(report, "Executable screen-Viewer\twritten as '%s'.\n", names.prg.c_str());
  return report;
}

}  // namespace

ExportResult TextExport(OutputBatch& outputs, OutputFile& prg, const OutputNames& names,
                        const VideoSetup& setup, const VideoState& state) {
  ExportResult result;
  OutputFile screen = open_output(outputs, names.screen);
  if (!note_opened(screen, Output::Screen, result)) return result;
  OutputFile font = open_output(outputs, names.font);
  if (!note_opened(font, Output::Font, result)) return result;
  OutputFile attrib = open_output(outputs, names.attrib);
  if (!note_opened(attrib, Output::Attrib, result)) return result;

  const ScreenBlocks blocks = screen_blocks(setup, state);
  write_bytes(prg, viewer_program(ViewerKind::Text, setup, blocks));
  write_bytes(attrib, std::span(blocks.colors).first(kColorRamBytes));
  write_bytes(font, std::span(blocks.charset).first(kCharsetBytes));
  write_bytes(screen, blocks.screen);

  close_checked(attrib, Output::Attrib, result);
  close_checked(screen, Output::Screen, result);
  close_checked(font, Output::Font, result);
  close_checked(prg, Output::Prg, result);
  if (!result.failure) result.report = report_of(setup, names);
  return result;
}
