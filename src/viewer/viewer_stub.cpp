#include "viewer/viewer_stub.h"

#include <array>

#include "viewer/viewer_layout.h"

namespace {

using Image = std::uint8_t;

// The BASIC line 0 SYS 2069 followed by a blank and a 7-letter tag; the
// machine code starts right after it, at $0815 = 2069.
#define LUMERIST_BASIC_LINE(t1, t2, t3, t4, t5, t6, t7)                                       \
  0x01, 0x08,                                              /* load address $0801 */           \
      0x13, 0x08,                                          /* link to the next line, $0813 */ \
      0x00, 0x00,                                          /* line number 0 */                \
      0x9E,                                                /* SYS */                          \
      '2', '0', '6', '9', ' ', t1, t2, t3, t4, t5, t6, t7, /* start address and tag */        \
      0x00,                                                /* end of line */                  \
      0x00, 0x00                                           /* end of program */

// clang-format off
constexpr std::array<Image, 45> kHires = {
    LUMERIST_BASIC_LINE('K', 'O', 'R', 'V', 'A', 'N', 'E'),
    0xA9, 0x00,        // $0815 LDA #d020
    0x8D, 0x20, 0xD0,  // $0817 STA $D020   border
    0xA9, 0xFF,        // $081A LDA #$FF
    0x8D, 0x00, 0xDD,  // $081C STA $DD00   video bank $0000-$3FFF
    0xA9, 0x3B,        // $081F LDA #$3B
    0x8D, 0x11, 0xD0,  // $0821 STA $D011   bitmap mode, display on, 25 rows
    0xA9, 0x38,        // $0824 LDA #$38
    0x8D, 0x18, 0xD0,  // $0826 STA $D018   screen $0C00, bitmap $2000
    0x4C, 0x29, 0x08,  // $0829 JMP $0829   endless loop
};

constexpr std::array<Image, 83> kMulticolor = {
    LUMERIST_BASIC_LINE('P', 'E', 'L', 'L', 'O', 'T', 'H'),
    0xA9, 0x00,        // $0815 LDA #d020
    0x8D, 0x20, 0xD0,  // $0817 STA $D020   border
    0xA9, 0x00,        // $081A LDA #d021
    0x8D, 0x21, 0xD0,  // $081C STA $D021   background
    0xA9, 0xFF,        // $081F LDA #$FF
    0x8D, 0x00, 0xDD,  // $0821 STA $DD00   video bank $0000-$3FFF
    0xA9, 0x3B,        // $0824 LDA #$3B
    0x8D, 0x11, 0xD0,  // $0826 STA $D011   bitmap mode
    0xA9, 0x38,        // $0829 LDA #$38
    0x8D, 0x18, 0xD0,  // $082B STA $D018   screen $0C00, bitmap $2000
    0xA9, 0x18,        // $082E LDA #$18
    0x8D, 0x16, 0xD0,  // $0830 STA $D016   multicolour on, 40 columns
    0xA2, 0x00,        // $0833 LDX #$00
    0xBD, 0x00, 0x10,  // $0835 LDA $1000,X  colour RAM image ...
    0x9D, 0x00, 0xD8,  // $0838 STA $D800,X  ... to colour RAM, page by page
    0xBD, 0x00, 0x11,  // $083B LDA $1100,X
    0x9D, 0x00, 0xD9,  // $083E STA $D900,X
    0xBD, 0x00, 0x12,  // $0841 LDA $1200,X
    0x9D, 0x00, 0xDA,  // $0844 STA $DA00,X
    0xBD, 0x00, 0x13,  // $0847 LDA $1300,X
    0x9D, 0x00, 0xDB,  // $084A STA $DB00,X
    0xE8,              // $084D INX
    0xD0, 0xE5,        // $084E BNE $0835
    0xF0, 0xFE,        // $0850 BEQ $0850   endless loop
};

constexpr std::array<Image, 101> kText = {
    LUMERIST_BASIC_LINE('K', 'O', 'R', 'V', 'A', 'N', 'E'),
    0xA9, 0x00,        // $0815 LDA #d020
    0x8D, 0x20, 0xD0,  // $0817 STA $D020   border
    0xA9, 0x00,        // $081A LDA #d021
    0x8D, 0x21, 0xD0,  // $081C STA $D021   background 0
    0xA9, 0x00,        // $081F LDA #d022
    0x8D, 0x22, 0xD0,  // $0821 STA $D022   background 1
    0xA9, 0x00,        // $0824 LDA #d023
    0x8D, 0x23, 0xD0,  // $0826 STA $D023   background 2
    0xA9, 0x00,        // $0829 LDA #d016
    0x8D, 0x16, 0xD0,  // $082B STA $D016   multicolour as grabbed
    0xA9, 0xA8,        // $082E LDA #$A8
    0x8D, 0x18, 0xD0,  // $0830 STA $D018   screen bank+$2800, charset bank+$2000
    0xA0, 0x12,        // $0833 LDY #$12    18 pages
    0xA2, 0x00,        // $0835 LDX #$00
    0xBD, 0x4C, 0x0C,  // $0837 LDA $0C4C,X  character set and screen ...
    0x9D, 0x00, 0x20,  // $083A STA $2000,X  ... to $2000
    0xCA,              // $083D DEX
    0xD0, 0xF7,        // $083E BNE $0837
    0xEE, 0x39, 0x08,  // $0840 INC $0839   next source page
    0xEE, 0x3C, 0x08,  // $0843 INC $083C   next target page
    0x88,              // $0846 DEY
    0xD0, 0xEC,        // $0847 BNE $0835
    0xA0, 0x04,        // $0849 LDY #$04    4 pages
    0xA2, 0x00,        // $084B LDX #$00
    0xBD, 0x64, 0x08,  // $084D LDA $0864,X  colour RAM image ...
    0x9D, 0x00, 0xD8,  // $0850 STA $D800,X  ... to colour RAM
    0xCA,              // $0853 DEX
    0xD0, 0xF7,        // $0854 BNE $084D
    0xEE, 0x4F, 0x08,  // $0856 INC $084F   next source page
    0xEE, 0x52, 0x08,  // $0859 INC $0852   next target page
    0x88,              // $085C DEY
    0xD0, 0xEC,        // $085D BNE $084B
    0xA9, 0x00,        // $085F LDA #$00
    0x4C, 0x61, 0x08,  // $0861 JMP $0861   endless loop
};
// clang-format on
#undef LUMERIST_BASIC_LINE

// Patch points: the operand of an LDA # that the next instruction stores in
// the named register.
constexpr std::size_t kBorderPatch = 23;       // -> $D020
constexpr std::size_t kBackgroundPatch = 28;   // -> $D021
constexpr std::size_t kBackground1Patch = 33;  // -> $D022
constexpr std::size_t kBackground2Patch = 38;  // -> $D023
constexpr std::size_t kControl2Patch = 43;     // -> $D016

template <std::size_t N>
constexpr std::uint16_t word_at(const std::array<Image, N>& image, std::size_t at) {
  return static_cast<std::uint16_t>(image[at] | image[at + 1] << 8);
}
// LDA #value at `at` - 1, then STA reg.
template <std::size_t N>
constexpr bool stores(const std::array<Image, N>& image, std::size_t at, int value, int reg) {
  return image[at - 1] == 0xA9 && image[at] == value && image[at + 1] == 0x8D &&
         word_at(image, at + 2) == reg;
}
template <std::size_t N>
constexpr bool stores_to(const std::array<Image, N>& image, std::size_t patch, int reg) {
  return stores(image, patch, 0x00, reg);
}
static_assert(stores_to(kHires, kBorderPatch, 0xD020));
static_assert(stores_to(kMulticolor, kBorderPatch, 0xD020));
static_assert(stores_to(kMulticolor, kBackgroundPatch, 0xD021));
static_assert(stores_to(kText, kBorderPatch, 0xD020));
static_assert(stores_to(kText, kBackgroundPatch, 0xD021));
static_assert(stores_to(kText, kBackground1Patch, 0xD022));
static_assert(stores_to(kText, kBackground2Patch, 0xD023));
static_assert(stores_to(kText, kControl2Patch, 0xD016));

// The addresses the stubs use are those of the viewer layout, as the
// VIC-II decodes them in bank $0000 (the bitmap stubs store $FF in $DD00; the
// text viewer's addresses are bank-relative). $D018 = $38: screen $0C00,
// bitmap $2000; $A8: screen $2800, characters $2000.
constexpr VideoSetup shown_with_d018(std::uint8_t d018) {
  RegisterImages vic{};
  vic[0x18] = d018;
  return decode_video_setup(vic, 0xFF);
}
constexpr VideoSetup kBitmapShown = shown_with_d018(0x38);
constexpr VideoSetup kTextShown = shown_with_d018(0xA8);
static_assert(stores(kHires, 28, 0xFF, 0xDD00) && stores(kMulticolor, 33, 0xFF, 0xDD00));
static_assert(stores(kHires, 38, 0x38, 0xD018) && stores(kMulticolor, 43, 0x38, 0xD018));
static_assert(kBitmapShown.bankBase == 0x0000 &&
              kBitmapShown.screenAddress == kBitmapViewerScreen &&
              kBitmapShown.bitmapAddress == kBitmapViewerBitmap);
static_assert(word_at(kMulticolor, 55) == kBitmapViewerColorRam &&
              word_at(kMulticolor, 58) == kColorRamAddress);
static_assert(stores(kText, 48, 0xA8, 0xD018) &&
              kTextShown.screenAddress == kTextViewerScreenShown &&
              kTextShown.charsetAddress == kTextViewerCharsetShown);
static_assert(kText[53] == kTextViewerMovedPages && word_at(kText, 57) == kTextViewerCharset &&
              word_at(kText, 60) == kTextViewerMoveTarget);
static_assert(kText[75] == kColorRamPages && word_at(kText, 79) == kTextViewerColorRam &&
              word_at(kText, 82) == kColorRamAddress);
static_assert(kText.size() == program_offset(kTextViewerColorRam));
static_assert(kHires[23 - 1] == 0xA9 && program_offset(kCodeStart) == 22);

constexpr std::array<PatchPoint, 1> kHiresPatches = {{{kBorderPatch, &VideoSetup::d020}}};
constexpr std::array<PatchPoint, 2> kMulticolorPatches = {{
    {kBorderPatch, &VideoSetup::d020},
    {kBackgroundPatch, &VideoSetup::d021},
}};
constexpr std::array<PatchPoint, 5> kTextPatches = {{
    {kBorderPatch, &VideoSetup::d020},
    {kBackgroundPatch, &VideoSetup::d021},
    {kBackground1Patch, &VideoSetup::d022},
    {kBackground2Patch, &VideoSetup::d023},
    {kControl2Patch, &VideoSetup::d016},
}};

}  // namespace

ViewerStub stub_of(ViewerKind kind) {
  switch (kind) {
    case ViewerKind::Hires:
      return {kHires, kHiresPatches};
    case ViewerKind::Multicolor:
      return {kMulticolor, kMulticolorPatches};
    case ViewerKind::Text:
      break;
  }
  return {kText, kTextPatches};
}

std::vector<std::uint8_t> viewer_stub(ViewerKind kind, const VideoSetup& setup) {
  const ViewerStub stub = stub_of(kind);
  std::vector<std::uint8_t> image(stub.image.begin(), stub.image.end());
  for (const PatchPoint& patch : stub.patches) image[patch.offset] = setup.*patch.field;
  return image;
}
