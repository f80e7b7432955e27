#include "snapshot/video_setup.h"

#include <gtest/gtest.h>

namespace {

VideoRegisters with_port_and_d018(std::uint8_t port, std::uint8_t d018) {
  VideoRegisters r;
  r.cia2PortA = port;
  r.d018 = d018;
  return r;
}

TEST(DecodeVideoSetup, BankFollowsInvertedCia2PortBits) {
  EXPECT_EQ(decode_video_setup(with_port_and_d018(0x97, 0)).bankBase, 0x0000);
  EXPECT_EQ(decode_video_setup(with_port_and_d018(0x96, 0)).bankBase, 0x4000);
  EXPECT_EQ(decode_video_setup(with_port_and_d018(0x95, 0)).bankBase, 0x8000);
  EXPECT_EQ(decode_video_setup(with_port_and_d018(0x94, 0)).bankBase, 0xC000);
  EXPECT_EQ(decode_video_setup(with_port_and_d018(0x03, 0)).bankBase, 0x0000);
}

struct Addresses {
  std::uint8_t port, d018;
  std::uint16_t screen, bitmap, charset;
};

TEST(DecodeVideoSetup, D018PlacesScreenBitmapAndCharsetInTheBank) {
  const Addresses cases[] = {
      {0x97, 0x38, 0x0C00, 0x2000, 0x2000}, {0x97, 0x15, 0x0400, 0x0000, 0x1000},
      {0x94, 0xFF, 0xFC00, 0xE000, 0xF800}, {0x96, 0x18, 0x4400, 0x6000, 0x6000},
      {0x95, 0x01, 0x8000, 0x8000, 0x8000},  // bit 0 is ignored
  };
  for (const Addresses& c : cases) {
    const VideoSetup setup = decode_video_setup(with_port_and_d018(c.port, c.d018));
    EXPECT_EQ(setup.screenAddress, c.screen) << std::hex << int{c.d018};
    EXPECT_EQ(setup.bitmapAddress, c.bitmap) << std::hex << int{c.d018};
    EXPECT_EQ(setup.charsetAddress, c.charset) << std::hex << int{c.d018};
    EXPECT_EQ(setup.d018, c.d018);
    EXPECT_EQ(setup.cia2PortA, c.port);
  }
}

TEST(DecodeVideoSetup, ModeFlagsComeFromOneBitEach) {
  VideoRegisters r;
  r.d011 = 0x3B;
  r.d016 = 0xC8;
  VideoSetup setup = decode_video_setup(r);
  EXPECT_TRUE(setup.bitmapMode);
  EXPECT_FALSE(setup.multicolorMode);

  r.d011 = 0x1B;  // text mode, whatever d016 says
  r.d016 = 0x10;
  setup = decode_video_setup(r);
  EXPECT_FALSE(setup.bitmapMode);
  EXPECT_TRUE(setup.multicolorMode);

  r.d011 = 0xDF;  // every bit but 5
  r.d016 = 0xEF;  // every bit but 4
  setup = decode_video_setup(r);
  EXPECT_FALSE(setup.bitmapMode);
  EXPECT_FALSE(setup.multicolorMode);
}

TEST(DecodeVideoSetup, ColourRegistersAreKeptAsRead) {
  VideoRegisters r;
  r.d016 = 0xD8;
  r.d020 = 0xF1;
  r.d021 = 0x02;
  r.d022 = 0x03;
  r.d023 = 0x04;
  const VideoSetup setup = decode_video_setup(r);
  EXPECT_EQ(setup.d016, 0xD8);
  EXPECT_EQ(setup.d020, 0xF1);
  EXPECT_EQ(setup.d021, 0x02);
  EXPECT_EQ(setup.d022, 0x03);
  EXPECT_EQ(setup.d023, 0x04);
}

}  // namespace
