#include "viewer/viewer_stub.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snapshot_builder.h"

namespace {

Bytes image_of(ViewerKind kind) {
  const ViewerStub stub = stub_of(kind);
  return Bytes(stub.image.begin(), stub.image.end());
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

TEST(ViewerStub, StartsWithTheBasicLineThatRunsItsCode) {
  for (const ViewerKind kind : {ViewerKind::Hires, ViewerKind::Multicolor, ViewerKind::Text}) {
    const Bytes image = image_of(kind);
    ASSERT_GT(image.size(), 22u);
    // Load address $0801, link $0813, line 0, SYS, "2069 " and a tag, end of line and program.
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 12),
              (Bytes{0x01, 0x08, 0x13, 0x08, 0x00, 0x00, 0x9E, '2', '0', '6', '9', ' '}));
    EXPECT_EQ(Bytes(image.begin() + 19, image.begin() + 22), (Bytes{0x00, 0x00, 0x00}));
  }
  EXPECT_EQ(image_of(ViewerKind::Hires).size(), 45u);
  EXPECT_EQ(image_of(ViewerKind::Multicolor).size(), 83u);
  EXPECT_EQ(image_of(ViewerKind::Text).size(), 101u);
}

TEST(ViewerStub, PatchPointsTakeTheirRegisterAndNothingElseChanges) {
  const struct {
    ViewerKind kind;
    std::vector<std::pair<std::size_t, std::uint8_t>> patches;
  } cases[] = {
      {ViewerKind::Hires, {{23, 0x01}}},
      {ViewerKind::Multicolor, {{23, 0x01}, {28, 0x02}}},
      {ViewerKind::Text, {{23, 0x01}, {28, 0x02}, {33, 0x03}, {38, 0x04}, {43, 0xD8}}},
  };
  for (const auto& c : cases) {
    const Bytes stored = image_of(c.kind);
    Bytes expected = stored;
    for (const auto& [offset, value] : c.patches) {
      EXPECT_EQ(stored[offset - 1], 0xA9) << "an LDA # operand at " << offset;
      EXPECT_EQ(stored[offset], 0x00) << offset;
      expected[offset] = value;
    }
    EXPECT_EQ(viewer_stub(c.kind, distinct_colours()), expected);
    EXPECT_EQ(image_of(c.kind), stored) << "the stored image must not change";
  }
}

}  // namespace
