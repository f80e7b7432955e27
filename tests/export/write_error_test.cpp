// Outputs that cannot be created: the run names that output and writes
// nothing. Outputs that open but cannot be written completely (a full
// disk, a file size limit): the first of them in close order is reported
// with its own message and the run fails, whatever was written stays where
// it is.

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

struct OpenFailure {
  friend void PrintTo(const OpenFailure& c, std::ostream* out) {
    *out << screen_name(c.screen) << " " << c.blocked;
  }
  Screen screen;
  std::string blocked;  // suffix of the output made impossible to create
  std::string message;
  std::vector<std::string> emptyFiles;  // created before the failure
};

class OpenError : public ExportTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenError, ReportsThatOutputAndWritesNothing) {
  const OpenFailure& c = GetParam();
  std::filesystem::create_directory(path + c.blocked);
  const ToolRun run = run_on(snapshot_of(c.screen));
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, report_line(c.message));
  for (const std::string& suffix : c.emptyFiles) EXPECT_EQ(output(suffix).size(), 0u) << suffix;
  EXPECT_EQ(outputs().size(), c.emptyFiles.size() + 1);
}

INSTANTIATE_TEST_SUITE_P(
    EachOutput, OpenError,
    ::testing::Values(
        OpenFailure{Screen::Text, ".prg", "Cant't write PRG file '%.prg'!\n", {}},
        OpenFailure{Screen::Text, ".screen", "Cant't write screen file '%.screen'!\n", {".prg"}},
        OpenFailure{
            Screen::Text, ".font", "Cant't write font file '%.font'!\n", {".prg", ".screen"}},
        OpenFailure{Screen::Text,
                    ".attrib",
                    "Cant't write color attributes file '%.attrib'!\n",
                    {".prg", ".screen", ".font"}},
        OpenFailure{
            Screen::Multicolour, ".bitmap", "Cant't write bitmap file '%.bitmap'!\n", {".prg"}},
        OpenFailure{Screen::Multicolour,
                    ".koa",
                    "Cant't write picture file '%.koa'!\n",
                    {".prg", ".bitmap"}},
        OpenFailure{
            Screen::Hires, ".ip64h", "Cant't write picture file '%.ip64h'!\n", {".prg", ".bitmap"}},
        OpenFailure{Screen::Multicolour,
                    ".colmap",
                    "Cant't write colmap file '%.colmap'!\n",
                    {".prg", ".bitmap", ".koa"}},
        OpenFailure{Screen::Multicolour,
                    ".attrib",
                    "Cant't write color attributes file '%.attrib'!\n",
                    {".prg", ".bitmap", ".koa", ".colmap"}}),
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

class WriteError : public ExportTest, public ::testing::WithParamInterface<WriteFailure> {
 public:
  // What a complete export prints for this snapshot: the bitmap path prints
  // its report before it writes, so a failed run prints it too.
  std::string report_before_writing(Screen screen) {
    const ToolRun clean = run_on(snapshot_of(screen));
    EXPECT_EQ(clean.status, 0);
    for (const std::string& name : outputs()) std::filesystem::remove(dir.path / name);
    return screen == Screen::Text ? "" : clean.output;
  }
};

// A full disk, stood in for by /dev/full behind the output's name.
using FullDisk = WriteError;

TEST_P(FullDisk, NamesTheOutputThatFailedAndKeepsTheOthers) {
  if (const std::string why = cannot_make(Fault::FullDisk); !why.empty()) GTEST_SKIP() << why;
  const WriteFailure& c = GetParam();
  const std::string report = report_before_writing(c.screen);
  std::filesystem::create_symlink("/dev/full", path + c.failing);

  const ToolRun run = run_on(snapshot_of(c.screen));
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, report + report_line(c.message));
  EXPECT_TRUE(std::filesystem::is_symlink(path + c.failing));
  const std::map<std::string, std::size_t> sizes = {
      {".prg", c.screen == Screen::Text ? 4149u : 14145u},
      {".bitmap", 8000},
      {".colmap", 1000},
      {".attrib", 1000},
      {".koa", 10003},
      {".ip64h", 9002},
      {".font", 2000},
      {".screen", 1000}};
  for (const std::string& name : outputs()) {
    const std::string suffix = name.substr(name.find(".vsf") + 4);
    if (suffix != c.failing) {
      EXPECT_EQ(output(suffix).size(), sizes.at(suffix)) << suffix;
    }
  }
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

TEST_P(SizeLimit, NamesTheFirstCutOutputInCloseOrderAndLeavesItsBytes) {
  if (const std::string why = cannot_make(Fault::FileSizeLimit); !why.empty()) GTEST_SKIP() << why;
  const WriteFailure& c = GetParam();
  const std::string report = report_before_writing(c.screen);
  RunOptions options;
  options.fileSizeLimit = c.sizeLimit;

  const ToolRun run = run_on(snapshot_of(c.screen), options);
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, report + report_line(c.message));
  const Bytes cut = output(c.failing);
  EXPECT_EQ(cut.size(), c.sizeLimit);
  EXPECT_EQ(output(".prg").size(), c.sizeLimit);
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
