#include "snapshot/video_setup.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Register images with the given registers set ($D000 + key), the others 0.
RegisterImages images(const std::map<unsigned, std::uint8_t>& registers) {
  RegisterImages vic{};
  for (const auto& [reg, value] : registers) vic[reg] = value;
  return vic;
}

TEST(DecodeVideoSetup, BankFollowsInvertedCia2PortBits) {
  const std::pair<std::uint8_t, std::uint16_t> cases[] = {
      {0x97, 0x0000}, {0x96, 0x4000}, {0x95, 0x8000}, {0x94, 0xC000}, {0x03, 0x0000}};
  for (const auto& [port, bank] : cases) {
    const VideoSetup setup = decode_video_setup(RegisterImages{}, port);
    EXPECT_EQ(setup.bankBase, bank) << std::hex << int{port};
    EXPECT_EQ(setup.charRomInBank, bank == 0x0000 || bank == 0x8000);
    EXPECT_EQ(setup.cia2PortA, port);
  }
}

struct Addresses {
  std::uint8_t port, d018;
  std::uint16_t screen, bitmap, charset;
};

TEST(DecodeVideoSetup, D018PlacesScreenBitmapCharsetAndSpritePointersInTheBank) {
  const Addresses cases[] = {
      {0x97, 0x38, 0x0C00, 0x2000, 0x2000}, {0x97, 0x15, 0x0400, 0x0000, 0x1000},
      {0x94, 0xFF, 0xFC00, 0xE000, 0xF800}, {0x96, 0x18, 0x4400, 0x6000, 0x6000},
      {0x95, 0x01, 0x8000, 0x8000, 0x8000},  // bit 0 is ignored
  };
  for (const Addresses& c : cases) {
    const VideoSetup setup = decode_video_setup(images({{0x18, c.d018}}), c.port);
    EXPECT_EQ(setup.screenAddress, c.screen) << std::hex << int{c.d018};
    EXPECT_EQ(setup.bitmapAddress, c.bitmap) << std::hex << int{c.d018};
    EXPECT_EQ(setup.charsetAddress, c.charset) << std::hex << int{c.d018};
    EXPECT_EQ(setup.spritePointers, c.screen + 0x3F8);
    EXPECT_EQ(setup.d018, c.d018);
  }
}

TEST(DecodeVideoSetup, ModeAndWindowBitsComeFromOneBitEach) {
  const struct {
    std::uint8_t d011, d016;
    bool bitmap, multicolor, extended, display, rows25, columns40;
    int yScroll, xScroll;
  } cases[] = {
      {0x3B, 0xC8, true, false, false, true, true, true, 3, 0},
      {0x1B, 0x10, false, true, false, true, true, false, 3, 0},  // text, whatever $D016 says
      {0xDF, 0xEF, false, false, true, true, true, true, 7, 7},   // every bit but 5 and 4
      {0x40, 0x05, false, false, true, false, false, false, 0, 5},
  };
  for (const auto& c : cases) {
    const VideoSetup setup = decode_video_setup(images({{0x11, c.d011}, {0x16, c.d016}}), 0);
    EXPECT_EQ(setup.bitmapMode, c.bitmap) << std::hex << int{c.d011};
    EXPECT_EQ(setup.multicolorMode, c.multicolor) << std::hex << int{c.d016};
    EXPECT_EQ(setup.extendedColorMode, c.extended);
    EXPECT_EQ(setup.displayEnabled, c.display);
    EXPECT_EQ(setup.rows25, c.rows25);
    EXPECT_EQ(setup.columns40, c.columns40);
    EXPECT_EQ(setup.yScroll, c.yScroll);
    EXPECT_EQ(setup.xScroll, c.xScroll);
  }
}

TEST(DecodeVideoSetup, ColourRegistersAreKeptAsRead) {
  const VideoSetup setup = decode_video_setup(
      images({{0x16, 0xD8}, {0x20, 0xF1}, {0x21, 0x02}, {0x22, 0x03}, {0x23, 0x04}}), 0);
  EXPECT_EQ(setup.d016, 0xD8);
  EXPECT_EQ(setup.d020, 0xF1);
  EXPECT_EQ(setup.d021, 0x02);
  EXPECT_EQ(setup.d022, 0x03);
  EXPECT_EQ(setup.d023, 0x04);
}

// Every mode, display enable, rows, columns, both scrolls, bank and $D018,
// the other bits of the registers in varying states: encoding the decoded
// set into the same registers changes nothing, and into others gives a set
// that decodes the same, their other bits kept.
TEST(EncodeVideoSetup, IsTheInverseOfTheDecoder) {
  int count = 0;
  for (unsigned d011 = 0; d011 < 128; ++d011) {
    for (unsigned d016 = 0; d016 < 32; ++d016) {
      for (unsigned d018 = 0; d018 < 256; d018 += (d016 == d011 % 32 ? 1 : 51)) {
        for (unsigned bank = 0; bank < 4; ++bank) {
          const unsigned salt = d011 * 7 + d016 * 3 + d018 + bank;
          RegisterImages vic = images({{0x11, static_cast<std::uint8_t>(d011 | (salt & 1) << 7)},
                                       {0x16, static_cast<std::uint8_t>(d016 | (salt & 7) << 5)},
                                       {0x18, static_cast<std::uint8_t>(d018)},
                                       {0x20, static_cast<std::uint8_t>(salt)}});
          const auto port = static_cast<std::uint8_t>((salt & 0xFC) | bank);
          const VideoSetup setup = decode_video_setup(vic, port);
          RegisterImages same = vic;
          std::uint8_t samePort = port;
          encode_video_setup(setup, same, samePort);
          ASSERT_EQ(same, vic) << d011 << " " << d016 << " " << d018 << " " << bank;
          ASSERT_EQ(samePort, port);
          RegisterImages other = images({{0x11, 0x80}, {0x16, 0xE0}, {0x18, 0x01}});
          std::uint8_t otherPort = 0xFC;
          encode_video_setup(setup, other, otherPort);
          RegisterImages expected = vic;
          expected[0x11] = static_cast<std::uint8_t>(d011 | 0x80);
          expected[0x16] = static_cast<std::uint8_t>(d016 | 0xE0);
          expected[0x18] = static_cast<std::uint8_t>(d018 | 1);
          expected[0x20] = 0;
          ASSERT_EQ(other, expected);
          ASSERT_EQ(otherPort, 0xFC | bank);
          ++count;
        }
      }
    }
  }
  EXPECT_GT(count, 100000);
}

TEST(EncodeVideoSetup, TakesTheBitmapFromTheBitmapAddressInBitmapModes) {
  VideoSetup setup = decode_video_setup(images({{0x11, 0x3B}, {0x18, 0x18}}), 0x96);
  setup.bitmapAddress = 0x4000;  // $D018 bit 3 clear
  RegisterImages vic{};
  std::uint8_t port = 0;
  encode_video_setup(setup, vic, port);
  EXPECT_EQ(vic[0x18], 0x10);
  EXPECT_EQ(decode_video_setup(vic, port).bitmapAddress, 0x4000);
}

}  // namespace
