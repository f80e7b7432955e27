// Outputs that cannot be created: the run names that output. Outputs that
// open but cannot be written completely (a full disk, a file size limit):
// the first of them in close order is reported with its own message. Either
// way the run fails and the files of an earlier rip stay as they were, with
// no temporary file left beside them.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "export_checks.h"

namespace {

enum class Screen { Text, Hires, Multicolour };

SnapshotPlan snapshot_of(Screen screen) {
  SnapshotPlan plan;
  if (screen == Screen::Hires) plan.registers = SnapshotPlan::hires_bitmap_registers();
  if (screen == Screen::Multicolour) plan.registers = SnapshotPlan::multicolor_bitmap_registers();
  return plan;
}

std::string screen_name(Screen screen) {
  switch (screen) {
    case Screen::Text:
      return "Text";
    case Screen::Hires:
      return "Hires";
    case Screen::Multicolour:
      break;
  }
  return "Multicolour";
}

// The files in the folder but the snapshot, by name, with their bytes
// (folders as empty).
std::map<std::string, Bytes> folder_contents(const std::filesystem::path& dir) {
  std::map<std::string, Bytes> files;
  for (const std::string& name : files_in(dir)) {
    if (name == "shot.vsf") continue;
    const auto at = dir / name;
    files[name] = std::filesystem::is_regular_file(at) ? read_file(at.string()) : Bytes{};
  }
  return files;
}

// An earlier rip of the same screen from other memory: every output there,
// none like the new one's.
class AfterAnEarlierRip : public ExportTest {
 public:
  std::map<std::string, Bytes> rip_earlier(Screen screen) {
    SnapshotPlan earlier = snapshot_of(screen);
    for (std::uint8_t& byte : earlier.ram) byte = static_cast<std::uint8_t>(byte ^ 0x5A);
    earlier.registers.d020 = 7;
    EXPECT_EQ(run_on(earlier).status, 0);
    return folder_contents(dir.path);
  }
};

struct OpenFailure {
  friend void PrintTo(const OpenFailure& c, std::ostream* out) {
    *out << screen_name(c.screen) << " " << c.blocked;
  }
  Screen screen;
  std::string blocked;  // suffix of the output made impossible to create
  std::string message;
};

class OpenError : public AfterAnEarlierRip, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenError, ReportsThatOutputAndLeavesTheEarlierRip) {
  const OpenFailure& c = GetParam();
  rip_earlier(c.screen);
  std::filesystem::remove(path + c.blocked);
  std::filesystem::create_directory(path + c.blocked);
  const std::map<std::string, Bytes> before = folder_contents(dir.path);
  const ToolRun run = run_on(snapshot_of(c.screen));
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, report_line(c.message));
  EXPECT_EQ(folder_contents(dir.path), before);
}

INSTANTIATE_TEST_SUITE_P(
    EachOutput, OpenError,
    ::testing::Values(
        OpenFailure{Screen::Text, ".prg", "Cant't write PRG file '%.prg'!\n"},
        OpenFailure{Screen::Text, ".screen", "Cant't write screen file '%.screen'!\n"},
        OpenFailure{Screen::Text, ".font", "Cant't write font file '%.font'!\n"},
        OpenFailure{Screen::Text, ".attrib", "Cant't write color attributes file '%.attrib'!\n"},
        OpenFailure{Screen::Multicolour, ".bitmap", "Cant't write bitmap file '%.bitmap'!\n"},
        OpenFailure{Screen::Multicolour, ".koa", "Cant't write picture file '%.koa'!\n"},
        OpenFailure{Screen::Hires, ".ip64h", "Cant't write picture file '%.ip64h'!\n"},
        OpenFailure{Screen::Multicolour, ".colmap", "Cant't write colmap file '%.colmap'!\n"},
        OpenFailure{Screen::Multicolour, ".attrib",
                    "Cant't write color attributes file '%.attrib'!\n"}),
    [](const auto& info) {
      return screen_name(info.param.screen) + "_" + info.param.blocked.substr(1);
    });

struct WriteFailure {
  friend void PrintTo(const WriteFailure& c, std::ostream* out) {
    *out << screen_name(c.screen) << " " << c.failing;
  }
  Screen screen;
  std::string failing;  // suffix of the output that fails (full disk) or is reported (size limit)
  std::string message;
  std::uint64_t sizeLimit = 0;  // file size limit instead of a full disk
};

class WriteError : public AfterAnEarlierRip, public ::testing::WithParamInterface<WriteFailure> {
 public:
  // What a complete export prints for this snapshot: the bitmap path prints
  // its report before it writes, so a failed run prints it too.
  std::string report_before_writing(Screen screen) {
    const ToolRun clean = run_on(snapshot_of(screen));
    EXPECT_EQ(clean.status, 0);
    return screen == Screen::Text ? "" : clean.output;
  }
};

// A full disk, stood in for by /dev/full behind the output's name.
using FullDisk = WriteError;

TEST_P(FullDisk, NamesTheOutputThatFailedAndLeavesTheEarlierRip) {
  if (const std::string why = cannot_make(Fault::FullDisk); !why.empty()) GTEST_SKIP() << why;
  const WriteFailure& c = GetParam();
  const std::string report = report_before_writing(c.screen);
  rip_earlier(c.screen);
  std::filesystem::remove(path + c.failing);
  std::filesystem::create_symlink("/dev/full", path + c.failing);
  const std::map<std::string, Bytes> before = folder_contents(dir.path);

  const ToolRun run = run_on(snapshot_of(c.screen));
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, report + report_line(c.message));
  EXPECT_TRUE(std::filesystem::is_symlink(path + c.failing));
  EXPECT_EQ(folder_contents(dir.path), before);
}

INSTANTIATE_TEST_SUITE_P(
    EachOutput, FullDisk,
    ::testing::Values(
        WriteFailure{Screen::Text, ".prg", "Cant't write PRG file '%.prg'!\n"},
        WriteFailure{Screen::Text, ".screen", "Cant't write screen file '%.screen'!\n"},
        WriteFailure{Screen::Text, ".font", "Cant't write font file '%.font'!\n"},
        WriteFailure{Screen::Text, ".attrib", "Cant't write color attributes file '%.attrib'!\n"},
        WriteFailure{Screen::Multicolour, ".prg", "Cant't write PRG file '%.prg'!\n"},
        WriteFailure{Screen::Multicolour, ".bitmap", "Cant't write bitmap file '%.bitmap'!\n"},
        WriteFailure{Screen::Multicolour, ".koa", "Cant't write picture file '%.koa'!\n"},
        WriteFailure{Screen::Multicolour, ".colmap", "Cant't write colmap file '%.colmap'!\n"},
        WriteFailure{Screen::Multicolour, ".attrib",
                     "Cant't write color attributes file '%.attrib'!\n"},
        WriteFailure{Screen::Hires, ".prg", "Cant't write PRG file '%.prg'!\n"},
        WriteFailure{Screen::Hires, ".bitmap", "Cant't write bitmap file '%.bitmap'!\n"},
        WriteFailure{Screen::Hires, ".ip64h", "Cant't write picture file '%.ip64h'!\n"},
        WriteFailure{Screen::Hires, ".colmap", "Cant't write colmap file '%.colmap'!\n"}),
    [](const auto& info) {
      return screen_name(info.param.screen) + "_" + info.param.failing.substr(1);
    });

// A file size limit cuts every output longer than it; close order decides
// which one is named: attrib, screen, font, prg for text screens; attrib,
// picture, bitmap, colmap, prg for bitmaps.
using SizeLimit = WriteError;

TEST_P(SizeLimit, NamesTheFirstCutOutputInCloseOrderAndLeavesTheEarlierRip) {
  if (const std::string why = cannot_make(Fault::FileSizeLimit); !why.empty()) GTEST_SKIP() << why;
  const WriteFailure& c = GetParam();
  const std::string report = report_before_writing(c.screen);
  const std::map<std::string, Bytes> before = rip_earlier(c.screen);
  RunOptions options;
  options.fileSizeLimit = c.sizeLimit;

  const ToolRun run = run_on(snapshot_of(c.screen), options);
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, report + report_line(c.message));
  EXPECT_EQ(folder_contents(dir.path), before);
}

INSTANTIATE_TEST_SUITE_P(
    CutOutputs, SizeLimit,
    ::testing::Values(
        WriteFailure{Screen::Text, ".attrib", "Cant't write color attributes file '%.attrib'!\n",
                     999},
        WriteFailure{Screen::Text, ".font", "Cant't write font file '%.font'!\n", 1500},
        WriteFailure{Screen::Text, ".prg", "Cant't write PRG file '%.prg'!\n", 4148},
        WriteFailure{Screen::Multicolour, ".attrib",
                     "Cant't write color attributes file '%.attrib'!\n", 512},
        WriteFailure{Screen::Multicolour, ".koa", "Cant't write picture file '%.koa'!\n", 9000},
        WriteFailure{Screen::Multicolour, ".prg", "Cant't write PRG file '%.prg'!\n", 10003},
        WriteFailure{Screen::Hires, ".ip64h", "Cant't write picture file '%.ip64h'!\n", 4096},
        WriteFailure{Screen::Hires, ".prg", "Cant't write PRG file '%.prg'!\n", 9002}),
    [](const auto& info) {
      return screen_name(info.param.screen) + "_" + std::to_string(info.param.sizeLimit);
    });

}  // namespace
