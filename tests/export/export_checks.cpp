#include "export_checks.h"

#include <algorithm>

#include "snapshot/video_setup.h"
#include "viewer/viewer_stub.h"

std::vector<std::string> ExportTest::outputs() const {
  std::vector<std::string> names = files_in(dir.path);
  names.erase(std::remove(names.begin(), names.end(), "shot.vsf"), names.end());
  return names;
}

std::string ExportTest::report_line(const std::string& format) const {
  std::string line = format;
  for (std::size_t at = line.find('%'); at != std::string::npos; at = line.find('%', at)) {
    line.replace(at, 1, path);
    at += path.size();
  }
  return line;
}

Bytes part(const Bytes& bytes, std::size_t offset, std::size_t count) {
  EXPECT_LE(offset + count, bytes.size());
  if (offset + count > bytes.size()) return {};
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
               bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

void expect_bitmap_export(const ExportTest& test, const VideoRegisters& registers,
                          std::uint16_t screen, std::uint16_t bitmap) {
  const bool multicolor = (registers.d016 & 0x10) != 0;
  const Bytes screenBytes = test.ram(screen, 1000);
  const Bytes bitmapBytes = test.ram(bitmap, 8000);
  EXPECT_EQ(test.output(".bitmap"), bitmapBytes);
  EXPECT_EQ(test.output(".colmap"), screenBytes);

  const Bytes prg = test.output(".prg");
  ASSERT_EQ(prg.size(), 14145u);
  const ViewerKind kind = multicolor ? ViewerKind::Multicolor : ViewerKind::Hires;
  const Bytes stub = viewer_stub(kind, setup_of(registers));
  EXPECT_EQ(part(prg, 0, stub.size()), stub);
  EXPECT_EQ(part(prg, stub.size(), 1025 - stub.size()), Bytes(1025 - stub.size(), 0));
  EXPECT_EQ(part(prg, 1025, 1000), screenBytes);
  EXPECT_EQ(part(prg, 2025, 24), Bytes(24, 0));
  EXPECT_EQ(part(prg, 6145, 8000), bitmapBytes);

  if (multicolor) {
    const Bytes colors = test.color_ram();
    EXPECT_EQ(test.output(".attrib"), colors);
    EXPECT_EQ(part(prg, 2049, 1000), colors);
    EXPECT_EQ(part(prg, 3049, 3096), Bytes(3096, 0));
    Bytes koala = {0x00, 0x60};
    koala.insert(koala.end(), bitmapBytes.begin(), bitmapBytes.end());
    koala.insert(koala.end(), screenBytes.begin(), screenBytes.end());
    koala.insert(koala.end(), colors.begin(), colors.end());
    koala.push_back(registers.d021);
    EXPECT_EQ(test.output(".koa"), koala);
    EXPECT_EQ(test.outputs(),
              (std::vector<std::string>{"shot.vsf.attrib", "shot.vsf.bitmap", "shot.vsf.colmap",
                                        "shot.vsf.koa", "shot.vsf.prg"}));
  } else {
    EXPECT_EQ(part(prg, 2049, 4096), Bytes(4096, 0));
    Bytes picture = {0x00, 0x40};
    picture.insert(picture.end(), bitmapBytes.begin(), bitmapBytes.end());
    picture.insert(picture.end(), screenBytes.begin(), screenBytes.end());
    EXPECT_EQ(test.output(".ip64h"), picture);
    EXPECT_EQ(test.outputs(), (std::vector<std::string>{"shot.vsf.bitmap", "shot.vsf.colmap",
                                                        "shot.vsf.ip64h", "shot.vsf.prg"}));
  }
}

void expect_text_export(const ExportTest& test, const VideoRegisters& registers,
                        std::uint16_t screen, std::uint16_t charset) {
  const Bytes screenBytes = test.ram(screen, 1000);
  const Bytes fontBytes = test.ram(charset, 2000);
  const Bytes colors = test.color_ram();
  EXPECT_EQ(test.output(".screen"), screenBytes);
  EXPECT_EQ(test.output(".font"), fontBytes);
  EXPECT_EQ(test.output(".attrib"), colors);

  const Bytes prg = test.output(".prg");
  ASSERT_EQ(prg.size(), 4149u);
  EXPECT_EQ(part(prg, 0, 101), viewer_stub(ViewerKind::Text, setup_of(registers)));
  EXPECT_EQ(part(prg, 101, 1000), colors);
  EXPECT_EQ(part(prg, 1101, 2048), test.ram(charset, 2048)) << "all 256 characters";
  EXPECT_EQ(part(prg, 3149, 1000), screenBytes);
  EXPECT_EQ(test.outputs(), (std::vector<std::string>{"shot.vsf.attrib", "shot.vsf.font",
                                                      "shot.vsf.prg", "shot.vsf.screen"}));
}
