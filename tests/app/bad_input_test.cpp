// Files no one should feed the tool, and places it cannot write to: every
// run ends with one clear message and the right status, and creates nothing
// it was not asked to.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/run.h"
#include "export_checks.h"
#include "snapshot/video_setup.h"

namespace {

std::string with_path(std::string message, const std::string& path) {
  for (std::size_t at = message.find('%'); at != std::string::npos;
       at = message.find('%', at + path.size())) {
    message.replace(at, 1, path);
  }
  return message;
}

std::string not_vice(const std::string& path) {
  return with_path("Not a VICE VSF file '%'!\n", path);
}

std::string cannot_open(const std::string& path) {
  return with_path("Cant't open snapshot file '%'!\n", path);
}

TEST(BadInput, TinyFilesAreRefusedWithoutOutput) {
  TempDir dir;
  const std::string path = dir.file("shot.vsf");
  const struct {
    Bytes bytes;
    std::string message;
  } cases[] = {
      {Bytes{}, not_vice(path)},
      {Bytes{'V'}, not_vice(path)},
      {Bytes{0xFF, 0x00}, not_vice(path)},
      {Bytes{'V', 'I', 'C'}, not_vice(path)},
      {Bytes{'V', 'I', 'C', 'E'}, with_path("No VIC-II state in VICE VSF file '%'!\n", path)},
  };
  for (const auto& c : cases) {
    write_file(path, c.bytes);
    const ToolRun run = run_lumerist({path});
    EXPECT_EQ(run.output, c.message) << c.bytes.size() << " bytes";
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"shot.vsf"});
  }
}

TEST(BadInput, DirectoryOrFifoAsSnapshotCannotBeOpened) {
  TempDir dir;
  const std::string folder = dir.file("folder.vsf");
  std::filesystem::create_directory(folder);
  std::vector<std::string> paths = {folder};
  const std::string noFifo = cannot_make(Fault::Fifo);
  if (noFifo.empty()) {
    paths.push_back(dir.file("fifo.vsf"));
    make_fifo(paths.back());  // opening it would wait for a writer
  }
  for (const std::string& path : paths) {
    const ToolRun run = run_lumerist({path});
    EXPECT_EQ(run.output, cannot_open(path));
    EXPECT_EQ(run.status, 255);
  }
  EXPECT_EQ(files_in(dir.path).size(), paths.size());
  EXPECT_TRUE(files_in(folder).empty());
  if (!noFifo.empty()) GTEST_SKIP() << "the folder is refused; no FIFO tried: " << noFifo;
}

TEST(BadInput, DevicesWithoutASnapshotAreNotViceFiles) {
  for (const std::string& path : empty_devices()) {
    const ToolRun run = run_lumerist({path});
    EXPECT_EQ(run.output, not_vice(path));
    EXPECT_EQ(run.status, 255);
    EXPECT_FALSE(file_exists(path + ".prg"));
  }
}

// --- Snapshots cut off anywhere ---------------------------------------------

// Start of the VIC-II module (or block): the reader finds the snapshot's own
// locations in every file cut after its header.
std::int64_t vic_module_start(const SnapshotPlan& plan, const BuiltSnapshot& built) {
  const bool cycleExact =
      plan.shape == Shape::Vice361CycleExact || plan.shape == Shape::Vice310CycleExact;
  return built.location.colorRamOffset - (cycleExact ? 783 : 65);
}

class CutSnapshot : public ExportTest, public ::testing::WithParamInterface<Shape> {};

TEST_P(CutSnapshot, IsRefusedUnlessEveryByteReadIsThere) {
  SnapshotPlan whole;
  whole.shape = GetParam();
  whole.registers = SnapshotPlan::multicolor_bitmap_registers();
  const BuiltSnapshot full = build_snapshot(whole);
  const std::int64_t vic = vic_module_start(whole, full);
  const std::int64_t size = static_cast<std::int64_t>(full.bytes.size());
  std::set<std::int64_t> cuts = {0,  1,  3,  4,   5,   20,  21,   36,    37,    38,    57,      58,
                                 59, 60, 80, 127, 128, 129, 5000, 40000, 65000, 66000, size - 1};
  // Inside the header, the register images and colour RAM of both layouts.
  for (std::int64_t k :
       {0, 4, 18, 21, 22, 23, 30, 42, 48, 60, 65, 565, 783, 1160, 1166, 1283, 1500}) {
    cuts.insert(vic + k);
  }
  const std::set<std::string> refusals = {
      not_vice(path), with_path("No VIC-II state in VICE VSF file '%'!\n", path),
      with_path("No CIA2 state in VICE VSF file '%'!\n", path),
      with_path("Damaged VICE VSF file '%'!\n", path)};

  for (const std::int64_t cut : cuts) {
    if (cut < 0 || cut >= size) continue;
    SCOPED_TRACE("cut at " + std::to_string(cut));
    std::filesystem::remove_all(dir.path);
    std::filesystem::create_directory(dir.path);
    SnapshotPlan snapshot = whole;
    snapshot.cutAt = static_cast<std::size_t>(cut);
    const ToolRun run = run_on(snapshot);
    ASSERT_TRUE(run.status == 0 || run.status == 255) << run.status << run.errors;
    if (run.status == 255) {
      EXPECT_EQ(refusals.count(run.output), 1u) << run.output;
      EXPECT_TRUE(outputs().empty());
      continue;
    }
    // Only a file read by its tags (no directory, or an old one that ends
    // between modules) can be cut where nothing it is read by lies.
    ASSERT_TRUE(GetParam() == Shape::TagsOnly || GetParam() == Shape::Vice1Fast)
        << "read a file cut short";
    const Bytes prg = output(".prg");
    EXPECT_TRUE(prg.size() == 14145u || prg.size() == 4149u) << prg.size();
  }
}

INSTANTIATE_TEST_SUITE_P(ViceVersions, CutSnapshot,
                         ::testing::Values(Shape::TagsOnly, Shape::Vice1Fast, Shape::Vice37Fast,
                                           Shape::Vice361CycleExact, Shape::Vice310CycleExact),
                         shape_test_name<::testing::TestParamInfo<Shape>>);

TEST(BadInput, SnapshotCutInsideAnyModuleIsDamagedForEveryCommand) {
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  const BuiltSnapshot whole = build_snapshot(plan);
  const std::size_t cuts[] = {
      static_cast<std::size_t>(whole.location.ramOffset + 0x8000),  // in RAM
      static_cast<std::size_t>(whole.location.cia2Offset + 10),     // after port A
      static_cast<std::size_t>(whole.location.colorRamOffset + 300),
      saved_frame_pixel(whole.bytes, 100, 100),  // in the frame VICE saved
      whole.bytes.size() - 1,                    // in the last module
  };
  for (const std::size_t cut : cuts) {
    SCOPED_TRACE(cut);
    TempDir dir;
    write_file(dir.file("cut.vsf"),
               Bytes(whole.bytes.begin(), whole.bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
    for (const auto& run : {run_lumerist({"cut.vsf"}, in_folder(dir.path)),
                            run_lumerist_preview({"cut.vsf"}, in_folder(dir.path)),
                            run_lumerist_preview({"--compare", "cut.vsf"}, in_folder(dir.path)),
                            run_lumerist_sprites({"cut.vsf"}, in_folder(dir.path)),
                            run_lumerist_bands({"cut.vsf"}, in_folder(dir.path)),
                            run_lumerist_export({"cut.vsf", "cut.64c"}, in_folder(dir.path))}) {
      EXPECT_EQ(run.status, 255);
      EXPECT_EQ(run.output, "Damaged VICE VSF file 'cut.vsf'!\n");
    }
    EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"cut.vsf"});
  }
}

// --- Module sizes that break the directory walk ----------------------------

struct BrokenModule {
  friend void PrintTo(const BrokenModule& c, std::ostream* out) {
    *out << shape_name(c.shape) << " " << c.module << " " << c.size;
  }
  Shape shape;
  std::string module;
  std::uint32_t size;
  std::string refusal;  // empty: exported, by the modules or (old files) by the tags
};

class BrokenModuleSize : public ExportTest, public ::testing::WithParamInterface<BrokenModule> {};

TEST_P(BrokenModuleSize, RefusesCurrentFilesAndReadsOldOnesByTheirTags) {
  const BrokenModule& c = GetParam();
  SnapshotPlan text;
  text.shape = c.shape;
  text.decoyTags = false;  // the last tags are the module names themselves
  BuiltSnapshot snapshot = build_snapshot(text);
  Bytes& bytes = snapshot.bytes;
  const auto name = std::search(bytes.begin(), bytes.end(), c.module.begin(), c.module.end());
  ASSERT_NE(name, bytes.end());
  const auto start = static_cast<std::size_t>(name - bytes.begin());
  for (int i = 0; i < 4; ++i) bytes[start + 18 + i] = static_cast<std::uint8_t>(c.size >> 8 * i);
  write_file(path, bytes);
  plan = text;
  built = snapshot;

  const ToolRun run = run_lumerist({path});
  if (!c.refusal.empty()) {
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.output, with_path(c.refusal, path));
    EXPECT_TRUE(outputs().empty());
    return;
  }
  ASSERT_EQ(run.status, 0) << run.output;
  expect_text_export(*this, text.registers, 0x0400, 0x1000);
}

const std::string kDamaged = "Damaged VICE VSF file '%'!\n";
const std::string kNoVicII = "No VIC-II state in VICE VSF file '%'!\n";

INSTANTIATE_TEST_SUITE_P(
    ZeroHeaderOrHuge, BrokenModuleSize,
    // A size past the end of the file is a file cut short, in old files too.
    ::testing::Values(BrokenModule{Shape::Vice37Fast, "C64MEM", 0, kDamaged},
                      BrokenModule{Shape::Vice37Fast, "C64MEM", 0xFFFFFFFF, kDamaged},
                      BrokenModule{Shape::Vice37Fast, "CIA2", 21, kDamaged},
                      BrokenModule{Shape::Vice37Fast, "CIA2", 0xFFFFFFFF, kDamaged},
                      BrokenModule{Shape::Vice310CycleExact, "VIC-IISC", 0, kDamaged},
                      BrokenModule{Shape::Vice37Fast, "VIC-II", 0xFFFFFFFF, kDamaged},
                      BrokenModule{Shape::Vice1Fast, "C64MEM", 0, ""},
                      BrokenModule{Shape::Vice1Fast, "CIA2", 21, ""},
                      BrokenModule{Shape::Vice1Fast, "VIC-II", 0xFFFFFFFF, kDamaged}),
    [](const auto& info) {
      return shape_name(info.param.shape) + "_" + info.param.module.substr(0, 3) + "_" +
             std::to_string(info.param.size);
    });

// --- Modules too small for what is read from them ---------------------------

struct ModuleSizeCase {
  Shape shape;
  std::string module;
  std::uint32_t size;
  bool refused;
};

TEST(BadInput, ModuleTooSmallForItsBytesIsDamagedAndOneJustBigEnoughIsRead) {
  // The bytes read, counted from the module's first byte: C64MEM 26 +
  // 65536; CIA2 23; the cycle-exact VIC-II module 783 + 1000 (colour RAM
  // last); the fast one 1141 + 47 (the registers last).
  const ModuleSizeCase cases[] = {
      {Shape::Vice37Fast, "C64MEM", 65561, true},
      {Shape::Vice37Fast, "C64MEM", 65562, false},
      {Shape::Vice310CycleExact, "CIA2", 22, true},
      {Shape::Vice310CycleExact, "CIA2", 23, false},
      {Shape::Vice310CycleExact, "VIC-IISC", 1782, true},
      {Shape::Vice310CycleExact, "VIC-IISC", 1783, false},
      {Shape::Vice361CycleExact, "VIC-II", 1782, true},
      {Shape::Vice37Fast, "VIC-II", 1187, true},
      {Shape::Vice37Fast, "VIC-II", 1188, false},
      {Shape::Vice1Fast, "C64MEM", 65561, true},  // older files alike
      {Shape::Vice1Fast, "CIA2", 22, true},
      {Shape::Vice1Fast, "VIC-II", 1188, false},
  };
  for (const ModuleSizeCase& c : cases) {
    SCOPED_TRACE(shape_name(c.shape) + " " + c.module + " " + std::to_string(c.size));
    TempDir dir;
    SnapshotPlan plan;
    plan.shape = c.shape;
    plan.moduleSizes = {{c.module, c.size}};
    const BuiltSnapshot built = build_snapshot(plan);
    const std::string path = dir.file("shot.vsf");
    write_file(path, built.bytes);
    const ToolRun run = run_lumerist({path});
    if (c.refused) {
      EXPECT_EQ(run.output, with_path("Damaged VICE VSF file '%'!\n", path));
      EXPECT_EQ(run.status, 255);
      EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"shot.vsf"});
      continue;
    }
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(read_file(path + ".screen"), part(plan.ram, 0x0400, 1000));
    EXPECT_EQ(read_file(path + ".attrib"), part(plan.colorRam, 0, 1000));
    EXPECT_EQ(read_file(path + ".prg")[23], plan.registers.d020);
  }
}

// --- Paths -----------------------------------------------------------------

TEST(BadInput, PathsArePrintedAndUsedExactlyAsGiven) {
  TempDir dir;
  for (const std::string name :
       {"%s%n%x%p.vsf", "a b 'c' \"d\".vsf", "new\nline.vsf", "\xC3\xA4\xFF\x01.vsf",
        "a b 'c' (d) \xC3\xA4 \xE2\x82\xAC \xF0\x9F\x98\x80.vsf"}) {
    if (!allows_file_name(name)) continue;  // Windows: no control characters, no quotes, UTF-8
    const std::string path = dir.file(name);
    write_file(path, build_snapshot(SnapshotPlan{}).bytes);
    const ToolRun run = run_lumerist({path});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("written as '" + path + ".screen' without header.\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("written as '" + path + ".prg'.\n"), std::string::npos);
    EXPECT_EQ(read_file(path + ".font").size(), 2000u);

    write_file(path, Bytes{'n', 'o'});
    const ToolRun refused = run_lumerist({path});
    EXPECT_EQ(refused.output, not_vice(path));
    const ToolRun missing = run_lumerist({path + "x"});
    EXPECT_EQ(missing.output, cannot_open(path + "x"));
  }
}

TEST(BadInput, SnapshotNameNotValidUtf8IsNotOpenedAsAnotherFile) {
  TempDir dir;
  write_file(dir.file("shot\xEF\xBF\xBD.vsf"), build_snapshot(SnapshotPlan{}).bytes);
  std::string path = dir.file("shot\xFF.vsf");
  // Run in this process: a Windows command line cannot carry such a name.
  char* argv[] = {const_cast<char*>("lumerist"), path.data(), nullptr};
  ::testing::internal::CaptureStdout();
  const RunResult result = run(2, argv);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), cannot_open(path));
  EXPECT_EQ(result.status, 255);
  EXPECT_EQ(files_in(dir.path).size(), 1u);
}

// --- Outputs that cannot be created ----------------------------------------

TEST(BadInput, ReadOnlyFolderGetsThePrgMessageAndStaysAsItWas) {
  if (const std::string why = cannot_make(Fault::FolderPermission); !why.empty())
    GTEST_SKIP() << why;
  TempDir dir;
  const std::string path = dir.file("shot.vsf");
  write_file(path, build_snapshot(SnapshotPlan{}).bytes);
  std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  std::filesystem::permissions(
      dir.path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                    std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                    std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
  RunOptions options;
  options.unprivileged = true;
  const ToolRun run = run_lumerist({path}, options);
  EXPECT_EQ(run.output, "Cant't write PRG file '" + path + ".prg'!\n");
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"shot.vsf"});
}

// --- Failures that used to pass for success ---------------------------------

TEST(BadInput, ReportThatCannotBeWrittenFailsTheRunAndReplacesNothing) {
  TempDir dir;
  const std::string path = dir.file("shot.vsf");
  write_file(path, build_snapshot(SnapshotPlan{}).bytes);
  RunOptions full;
  full.failingStandardOutput = true;
  const struct {
    bool preview;
    std::vector<std::string> arguments;
  } cases[] = {{false, {path}}, {true, {path}}, {true, {"--help"}}};
  for (const auto& c : cases) {
    const ToolRun run =
        c.preview ? run_lumerist_preview(c.arguments, full) : run_lumerist(c.arguments, full);
    EXPECT_EQ(run.status, 255) << c.arguments[0];
    EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"shot.vsf"});
  }
}

TEST(BadInput, OutputThatIsTheSnapshotItselfIsRefusedAndNothingIsTouched) {
  enum class Link { Hard, Symbolic, Same };
  const struct {
    bool preview;
    VideoRegisters registers;
    std::string output;  // suffix of the output made the snapshot, or the preview's PNG name
    Link link;
    std::string message;  // empty: the output is not written, the run succeeds
  } cases[] = {
      {false, SnapshotPlan::text_registers(), ".prg", Link::Hard,
       "Cant't write PRG file '%.prg'!\n"},
      {false, SnapshotPlan::text_registers(), ".font", Link::Symbolic,
       "Cant't write font file '%.font'!\n"},
      {false, SnapshotPlan::multicolor_bitmap_registers(), ".koa", Link::Symbolic,
       "Cant't write picture file '%.koa'!\n"},
      {false, SnapshotPlan::multicolor_bitmap_registers(), ".attrib", Link::Hard,
       "Cant't write color attributes file '%.attrib'!\n"},
      {false, SnapshotPlan::hires_bitmap_registers(), ".ip64h", Link::Hard,
       "Cant't write picture file '%.ip64h'!\n"},
      {false, SnapshotPlan::text_registers(), ".koa", Link::Symbolic, ""},  // not a text output
      {true, SnapshotPlan::text_registers(), ".png", Link::Symbolic,
       "Can't write PNG file '%.png'!\n"},
      {true, SnapshotPlan::text_registers(), ".png", Link::Hard, "Can't write PNG file '%.png'!\n"},
  };
  const std::string noSymbolicLinks = cannot_make(Fault::SymbolicLink);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    if (c.link == Link::Symbolic && !noSymbolicLinks.empty()) continue;
    TempDir dir;
    const std::string path = dir.file("shot.vsf");
    SnapshotPlan plan;
    plan.registers = c.registers;
    const Bytes bytes = build_snapshot(plan).bytes;
    write_file(path, bytes);
    const std::string target = path + c.output;
    if (c.link == Link::Hard) std::filesystem::create_hard_link(path, target);
    if (c.link == Link::Symbolic) std::filesystem::create_symlink("shot.vsf", target);
    const std::vector<std::string> before = files_in(dir.path);

    const ToolRun run = c.preview ? run_lumerist_preview({path, target}) : run_lumerist({path});
    EXPECT_EQ(read_file(path), bytes) << "the snapshot must stay as it was";
    if (c.message.empty()) {
      EXPECT_EQ(run.status, 0) << run.output;
      continue;
    }
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.output, with_path(c.message, path));
    EXPECT_EQ(files_in(dir.path), before);
  }
  if (!noSymbolicLinks.empty()) {
    GTEST_SKIP() << "hard links and the same name passed; symbolic links not tried: "
                 << noSymbolicLinks;
  }
}

// --- Files another program holds open (Windows) -----------------------------

TEST(BadInput, FileAnotherProgramHoldsOpenIsNamedAndLeftAsItWas) {
  if (const std::string why = cannot_make(Fault::HeldOpen); !why.empty()) GTEST_SKIP() << why;
  const struct {
    bool preview;
    VideoRegisters registers;
    std::string held;    // suffix of the file held open; empty: the snapshot
    std::string ending;  // what the run prints last
  } cases[] = {
      {false, SnapshotPlan::text_registers(), "", "Cant't open snapshot file '%'!\n"},
      // The outputs take their names in the order they were opened.
      {false, SnapshotPlan::text_registers(), ".prg",
       "Can't replace '%.prg' with its new file!\nNew outputs: none.\n"},
      {false, SnapshotPlan::text_registers(), ".font",
       "Can't replace '%.font' with its new file!\nNew outputs: '%.prg', '%.screen'.\n"},
      {false, SnapshotPlan::multicolor_bitmap_registers(), ".koa",
       "Can't replace '%.koa' with its new file!\nNew outputs: '%.prg', '%.bitmap'.\n"},
      {true, SnapshotPlan::text_registers(), "", "Cant't open snapshot file '%'!\n"},
      {true, SnapshotPlan::text_registers(), ".png",
       "Can't replace '%.png' with its new file!\nNew outputs: none.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE((c.preview ? "preview " : "lumerist ") + c.held);
    TempDir dir;
    const std::string path = dir.file("shot.vsf");
    SnapshotPlan plan;
    plan.registers = c.registers;
    write_file(path, build_snapshot(plan).bytes);
    const Bytes before = {1, 2, 3};
    if (!c.held.empty()) write_file(path + c.held, before);
    const Bytes heldBytes = read_file(path + c.held);
    ToolRun run;
    {
      const HeldOpenFile held(path + c.held);
      run = c.preview ? run_lumerist_preview({path}) : run_lumerist({path});
    }
    EXPECT_EQ(run.status, 255);
    const std::string ending = with_path(c.ending, path);
    EXPECT_TRUE(run.output.ends_with(ending)) << run.output;
    EXPECT_EQ(read_file(path + c.held), heldBytes);
    for (const std::string& name : files_in(dir.path)) {
      EXPECT_FALSE(name.starts_with(".lumerist-")) << "a temporary file is left: " << name;
    }
  }
}

TEST(BadInput, PreviewOverItsCharacterRomIsRefused) {
  TempDir dir;
  write_file(dir.file("shot.vsf"), build_snapshot(SnapshotPlan{}).bytes);
  const Bytes rom(4096, 0x55);
  write_file(dir.file("chargen.png"), rom);
  const ToolRun run = run_lumerist_preview({"--chargen", "chargen.png", "shot.vsf", "chargen.png"},
                                           in_folder(dir.path));
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, "Can't write PNG file 'chargen.png'!\n");
  EXPECT_EQ(read_file(dir.file("chargen.png")), rom);
}

}  // namespace
