#include "viewer/viewer_program.h"

#include <algorithm>

#include "viewer/viewer_layout.h"

namespace {

void place(std::vector<std::uint8_t>& program, std::uint16_t address,
           std::span<const std::uint8_t> block) {
  std::copy(block.begin(), block.end(),
            program.begin() + static_cast<std::ptrdiff_t>(program_offset(address)));
}

void copy_ram(VideoState& machine, std::uint16_t from, std::uint16_t to, std::size_t count) {
  std::copy_n(machine.ram.begin() + from, count, machine.ram.begin() + to);
}

// The register set-up at the start of every stub: LDA #value, STA register,
// one pair after the other, up to the first other instruction.
void run_register_writes(VideoState& machine, std::span<const std::uint8_t> code) {
  constexpr std::uint8_t kLdaImmediate = 0xA9;
  constexpr std::uint8_t kStaAbsolute = 0x8D;
  for (std::size_t at = 0;
       at + 5 <= code.size() && code[at] == kLdaImmediate && code[at + 2] == kStaAbsolute;
       at += 5) {
    const unsigned address = code[at + 3] | code[at + 4] << 8;
    if (address >= 0xD000 && address < 0xD000 + kVicRegisterCount) {
      machine.vic[address - 0xD000] = code[at + 1];
    } else if (address == 0xDD00) {
      machine.cia2PortA = code[at + 1];
    }
  }
}

}  // namespace

ViewerKind viewer_kind_of(const VideoSetup& setup) {
  if (!setup.bitmapMode) return ViewerKind::Text;
  return setup.multicolorMode ? ViewerKind::Multicolor : ViewerKind::Hires;
}

std::vector<std::uint8_t> viewer_program(ViewerKind kind, const VideoSetup& setup,
                                         const ScreenBlocks& blocks) {
  const std::vector<std::uint8_t> stub = viewer_stub(kind, setup);
  const auto colors = std::span<const std::uint8_t>(blocks.colors).first(kColorRamBytes);
  std::vector<std::uint8_t> program(kind == ViewerKind::Text ? kTextViewerSize : kBitmapViewerSize);
  std::copy(stub.begin(), stub.end(), program.begin());
  if (kind == ViewerKind::Text) {
    place(program, kTextViewerColorRam, colors);
    place(program, kTextViewerCharset, blocks.charset);
    place(program, kTextViewerScreen, blocks.screen);
  } else {
    place(program, kBitmapViewerScreen, blocks.screen);
    if (kind == ViewerKind::Multicolor) place(program, kBitmapViewerColorRam, colors);
    place(program, kBitmapViewerBitmap, blocks.bitmap);
  }
  return program;
}

VideoState viewer_machine(ViewerKind kind, std::span<const std::uint8_t> program) {
  VideoState machine;
  machine.cia2PortA = 0x97;  // bank $0000
  machine.vic[0x11] = 0x1B;  // text, display on, 25 rows
  machine.vic[0x16] = 0xC8;  // 40 columns
  machine.vic[0x18] = 0x15;  // screen $0400, characters $1000
  machine.vic[0x20] = 0x0E;  // light blue border on blue
  machine.vic[0x21] = 0x06;
  machine.vic[0x22] = 0x01;
  machine.vic[0x23] = 0x02;
  machine.vic[0x24] = 0x03;
  const std::size_t loaded =
      std::min(program.size() - std::min<std::size_t>(program.size(), 2), kRamSize - kLoadAddress);
  std::copy_n(program.begin() + 2, loaded, machine.ram.begin() + kLoadAddress);

  const std::size_t codeStart = program_offset(kCodeStart);
  if (program.size() > codeStart) run_register_writes(machine, program.subspan(codeStart));
  std::uint16_t colorImage = 0;
  if (kind == ViewerKind::Text) {
    copy_ram(machine, kTextViewerCharset, kTextViewerMoveTarget, kTextViewerMovedPages * 256);
    colorImage = kTextViewerColorRam;
  } else if (kind == ViewerKind::Multicolor) {
    colorImage = kBitmapViewerColorRam;
  }
  if (colorImage != 0) {
    std::copy_n(machine.ram.begin() + colorImage, kColorRamCells, machine.colorRam.begin());
  }
  return machine;
}
