#include "viewer/viewer_stub.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snapshot_builder.h"

namespace {

// A tiny 6502 assembler, written apart from the stub images, so that the
// images are checked against the program they are meant to hold.
enum class Mode { Implied, Immediate, Absolute, AbsoluteX, Relative };
struct Instruction {
  std::string mnemonic;
  Mode mode;
  int operand;  // value, address, or branch target
};

std::uint8_t opcode(const Instruction& in) {
  const std::string key = in.mnemonic + "/" + std::to_string(static_cast<int>(in.mode));
  if (key == "LDA/1") return 0xA9;
  if (key == "LDX/1") return 0xA2;
  if (key == "LDY/1") return 0xA0;
  if (key == "STA/2") return 0x8D;
  if (key == "LDA/3") return 0xBD;
  if (key == "STA/3") return 0x9D;
  if (key == "INC/2") return 0xEE;
  if (key == "JMP/2") return 0x4C;
  if (key == "INX/0") return 0xE8;
  if (key == "DEX/0") return 0xCA;
  if (key == "DEY/0") return 0x88;
  if (key == "BNE/4") return 0xD0;
  if (key == "BEQ/4") return 0xF0;
  ADD_FAILURE() << "unknown instruction " << key;
  return 0;
}

Bytes assemble(const std::string& tag, const std::vector<Instruction>& program) {
  Bytes image = {0x01, 0x08, 0x13, 0x08, 0x00, 0x00, 0x9E};
  const std::string line = "2069 " + tag;
  image.insert(image.end(), line.begin(), line.end());
  image.insert(image.end(), {0x00, 0x00, 0x00});
  for (const Instruction& in : program) {
    const int address = 0x07FF + static_cast<int>(image.size());
    image.push_back(opcode(in));
    switch (in.mode) {
      case Mode::Implied:
        break;
      case Mode::Immediate:
        image.push_back(static_cast<std::uint8_t>(in.operand));
        break;
      case Mode::Absolute:
      case Mode::AbsoluteX:
        image.push_back(static_cast<std::uint8_t>(in.operand & 0xFF));
        image.push_back(static_cast<std::uint8_t>(in.operand >> 8));
        break;
      case Mode::Relative:
        image.push_back(static_cast<std::uint8_t>(in.operand - (address + 2)));
        break;
    }
  }
  return image;
}

Instruction lda(int value) {
  return {"LDA", Mode::Immediate, value};
}
Instruction sta(int address) {
  return {"STA", Mode::Absolute, address};
}

const Bytes kHiresProgram = assemble("KORVANE", {
                                                    lda(0),
                                                    sta(0xD020),
                                                    lda(0xFF),
                                                    sta(0xDD00),
                                                    lda(0x3B),
                                                    sta(0xD011),
                                                    lda(0x38),
                                                    sta(0xD018),
                                                    {"JMP", Mode::Absolute, 0x0829},
                                                });

const Bytes kMulticolorProgram = assemble("PELLOTH", {
                                                         lda(0),
                                                         sta(0xD020),
                                                         lda(0),
                                                         sta(0xD021),
                                                         lda(0xFF),
                                                         sta(0xDD00),
                                                         lda(0x3B),
                                                         sta(0xD011),
                                                         lda(0x38),
                                                         sta(0xD018),
                                                         lda(0x18),
                                                         sta(0xD016),
                                                         {"LDX", Mode::Immediate, 0},
                                                         {"LDA", Mode::AbsoluteX, 0x1000},
                                                         {"STA", Mode::AbsoluteX, 0xD800},
                                                         {"LDA", Mode::AbsoluteX, 0x1100},
                                                         {"STA", Mode::AbsoluteX, 0xD900},
                                                         {"LDA", Mode::AbsoluteX, 0x1200},
                                                         {"STA", Mode::AbsoluteX, 0xDA00},
                                                         {"LDA", Mode::AbsoluteX, 0x1300},
                                                         {"STA", Mode::AbsoluteX, 0xDB00},
                                                         {"INX", Mode::Implied, 0},
                                                         {"BNE", Mode::Relative, 0x0835},
                                                         {"BEQ", Mode::Relative, 0x0850},
                                                     });

const Bytes kTextProgram = assemble("KORVANE", {
                                                   lda(0),
                                                   sta(0xD020),
                                                   lda(0),
                                                   sta(0xD021),
                                                   lda(0),
                                                   sta(0xD022),
                                                   lda(0),
                                                   sta(0xD023),
                                                   lda(0),
                                                   sta(0xD016),
                                                   lda(0xA8),
                                                   sta(0xD018),
                                                   {"LDY", Mode::Immediate, 0x12},
                                                   {"LDX", Mode::Immediate, 0},
                                                   {"LDA", Mode::AbsoluteX, 0x0C4C},
                                                   {"STA", Mode::AbsoluteX, 0x2000},
                                                   {"DEX", Mode::Implied, 0},
                                                   {"BNE", Mode::Relative, 0x0837},
                                                   {"INC", Mode::Absolute, 0x0839},
                                                   {"INC", Mode::Absolute, 0x083C},
                                                   {"DEY", Mode::Implied, 0},
                                                   {"BNE", Mode::Relative, 0x0835},
                                                   {"LDY", Mode::Immediate, 0x04},
                                                   {"LDX", Mode::Immediate, 0},
                                                   {"LDA", Mode::AbsoluteX, 0x0864},
                                                   {"STA", Mode::AbsoluteX, 0xD800},
                                                   {"DEX", Mode::Implied, 0},
                                                   {"BNE", Mode::Relative, 0x084D},
                                                   {"INC", Mode::Absolute, 0x084F},
                                                   {"INC", Mode::Absolute, 0x0852},
                                                   {"DEY", Mode::Implied, 0},
                                                   {"BNE", Mode::Relative, 0x084B},
                                                   lda(0),
                                                   {"JMP", Mode::Absolute, 0x0861},
                                               });

Bytes image_of(ViewerKind kind) {
  const ViewerStub stub = stub_of(kind);
  return Bytes(stub.image.begin(), stub.image.end());
}

TEST(ViewerStub, ImagesHoldExactlyTheViewerPrograms) {
  EXPECT_EQ(kHiresProgram.size(), 45u);
  EXPECT_EQ(kMulticolorProgram.size(), 83u);
  EXPECT_EQ(kTextProgram.size(), 101u);
  EXPECT_EQ(image_of(ViewerKind::Hires), kHiresProgram);
  EXPECT_EQ(image_of(ViewerKind::Multicolor), kMulticolorProgram);
  EXPECT_EQ(image_of(ViewerKind::Text), kTextProgram);
}

VideoSetup distinct_colours() {
  VideoSetup setup;
  setup.d016 = 0xD8;
  setup.d020 = 0x01;
  setup.d021 = 0x02;
  setup.d022 = 0x03;
  setup.d023 = 0x04;
  setup.d011 = 0x55;  // never patched
  setup.d018 = 0x66;
  return setup;
}

// Every byte but the patch points stays as in the program.
void expect_patched(ViewerKind kind, const Bytes& program,
                    const std::vector<std::pair<std::size_t, std::uint8_t>>& patches) {
  Bytes expected = program;
  for (const auto& [offset, value] : patches) expected[offset] = value;
  EXPECT_EQ(viewer_stub(kind, distinct_colours()), expected);
  EXPECT_EQ(image_of(kind), program) << "the stored image must not change";
}

TEST(ViewerStub, PatchPointsTakeTheirRegisterAndNothingElseChanges) {
  expect_patched(ViewerKind::Hires, kHiresProgram, {{23, 0x01}});
  expect_patched(ViewerKind::Multicolor, kMulticolorProgram, {{23, 0x01}, {28, 0x02}});
  expect_patched(ViewerKind::Text, kTextProgram,
                 {{23, 0x01}, {28, 0x02}, {33, 0x03}, {38, 0x04}, {43, 0xD8}});
}

}  // namespace
