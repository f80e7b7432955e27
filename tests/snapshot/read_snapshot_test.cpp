#include "snapshot/read_snapshot.h"

#include <gtest/gtest.h>

#include "snapshot_builder.h"
#include "tool_run.h"

namespace {

SnapshotReading read(const Bytes& bytes) {
  return read_snapshot(memory_input(bytes));
}

void expect_location(const SnapshotLocation& got, const SnapshotLocation& want) {
  EXPECT_EQ(got.ramOffset, want.ramOffset);
  EXPECT_EQ(got.registerOffset, want.registerOffset);
  EXPECT_EQ(got.colorRamOffset, want.colorRamOffset);
  EXPECT_EQ(got.cia2Offset, want.cia2Offset);
}

void expect_registers(const VideoSetup& setup, const VideoRegisters& r) {
  EXPECT_EQ(setup.cia2PortA, r.cia2PortA);
  EXPECT_EQ(setup.d011, r.d011);
  EXPECT_EQ(setup.d016, r.d016);
  EXPECT_EQ(setup.d018, r.d018);
  EXPECT_EQ(setup.d020, r.d020);
  EXPECT_EQ(setup.d021, r.d021);
  EXPECT_EQ(setup.d022, r.d022);
  EXPECT_EQ(setup.d023, r.d023);
}

// --- The header check and the tag rule -------------------------------------

TEST(ReadSnapshot, RefusesFilesNotStartingWithVice) {
  for (const Bytes& bytes : {Bytes{}, Bytes{'V'}, Bytes{'V', 'I', 'C'}, Bytes{'v', 'i', 'c', 'e'},
                             Bytes{'V', 'I', 'C', '-', 'C', 'I', 'A', '2'}}) {
    EXPECT_EQ(read(bytes).error, SnapshotError::NotVice) << bytes.size() << " bytes";
  }
}

TEST(ReadSnapshot, TagRuleReadsFixedDistancesFromTheTags) {
  Bytes bytes(128 + 0x10000, 0);  // RAM ends the file
  std::copy_n("VICE", 4, bytes.begin());
  std::copy_n("CIA2", 4, bytes.begin() + 500);
  std::copy_n("VIC-", 4, bytes.begin() + 1000);
  bytes[522] = 0x95;  // port A
  bytes[1000 + 1141 + 0x11] = 0x3B;
  bytes[1000 + 1141 + 0x18] = 0x18;
  const SnapshotReading reading = read(bytes);
  ASSERT_EQ(reading.error, SnapshotError::None);
  SnapshotLocation expected;
  expected.registerOffset = 1000 + 1165;
  expected.colorRamOffset = 1000 + 65;
  expected.cia2Offset = 522;
  expect_location(reading.location, expected);
  EXPECT_EQ(reading.setup.bankBase, 0x8000);
  EXPECT_TRUE(reading.setup.bitmapMode);
  EXPECT_EQ(reading.setup.bitmapAddress, 0xA000);
}

TEST(ReadSnapshot, FileWithoutDirectoryUsesTheLastTags) {
  SnapshotPlan plan;
  plan.shape = Shape::TagsOnly;
  plan.registers = SnapshotPlan::multicolor_bitmap_registers();
  const BuiltSnapshot built = build_snapshot(plan);
  const SnapshotReading reading = read(built.bytes);
  ASSERT_EQ(reading.error, SnapshotError::None);
  expect_location(reading.location, built.location);
  expect_registers(reading.setup, plan.registers);
}

TEST(ReadSnapshot, RefusesViceFilesWithoutVicIIOrCia2State) {
  Bytes both_missing(200, 0);
  std::copy_n("VICE", 4, both_missing.begin());
  EXPECT_EQ(read(both_missing).error, SnapshotError::NoVicII);

  Bytes no_cia2 = both_missing;
  std::copy_n("VIC-", 4, no_cia2.begin() + 50);
  EXPECT_EQ(read(no_cia2).error, SnapshotError::NoCia2);

  Bytes no_vic = both_missing;
  std::copy_n("CIA2", 4, no_vic.begin() + 50);
  EXPECT_EQ(read(no_vic).error, SnapshotError::NoVicII);

  EXPECT_EQ(read(Bytes{'V', 'I', 'C', 'E'}).error, SnapshotError::NoVicII);
}

TEST(ReadSnapshot, FileCutShortIsDamagedNeverReadAsFF) {
  const auto tags_file = [](std::size_t length) {
    Bytes bytes(length, 0);
    std::copy_n("VICE", 4, bytes.begin());
    std::copy_n("CIA2", 4, bytes.begin() + 20);
    std::copy_n("VIC-", 4, bytes.begin() + 100);
    return bytes;
  };
  const auto built = [](Shape shape, std::optional<std::size_t> cutAt, std::size_t extra = 0) {
    SnapshotPlan plan;
    plan.shape = shape;
    plan.cutAt = cutAt;
    Bytes bytes = build_snapshot(plan).bytes;
    bytes.resize(bytes.size() + extra, 0);
    return bytes;
  };
  const struct {
    const char* what;
    Bytes bytes;
    SnapshotError error;
  } cases[] = {
      {"no directory, RAM whole", tags_file(128 + 0x10000), SnapshotError::None},
      {"no directory, RAM cut", tags_file(128 + 0xFFFF), SnapshotError::Damaged},
      {"no directory, registers cut", tags_file(1200), SnapshotError::Damaged},
      {"a whole VICE 3.10 file", built(Shape::Vice310CycleExact, std::nullopt),
       SnapshotError::None},
      {"cut inside the VIC-II module's registers", built(Shape::Vice310CycleExact, 66866 + 40),
       SnapshotError::Damaged},
      {"cut inside the last module", built(Shape::Vice37Fast, 230000), SnapshotError::Damaged},
      {"cut inside the old format's last module", built(Shape::Vice1Fast, 67000),
       SnapshotError::Damaged},
      {"ends inside a module header", built(Shape::Vice361CycleExact, std::nullopt, 5),
       SnapshotError::Damaged},
      {"header alone, no module", Bytes(vsf_header("C64", false)), SnapshotError::NoVicII},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.bytes).error, c.error) << c.what;
}

// --- Files with a module directory -----------------------------------------

class DirectoryShapes : public ::testing::TestWithParam<Shape> {};

TEST_P(DirectoryShapes, LocationsComeFromTheModulesNotFromTagsInRam) {
  for (const VideoRegisters& registers :
       {SnapshotPlan::text_registers(), SnapshotPlan::multicolor_bitmap_registers()}) {
    SnapshotPlan plan;
    plan.shape = GetParam();
    plan.registers = registers;
    const BuiltSnapshot built = build_snapshot(plan);
    const SnapshotReading reading = read(built.bytes);
    ASSERT_EQ(reading.error, SnapshotError::None);
    expect_location(reading.location, built.location);
    expect_registers(reading.setup, registers);
  }
}

INSTANTIATE_TEST_SUITE_P(ViceVersions, DirectoryShapes,
                         ::testing::Values(Shape::Vice1Fast, Shape::Vice37Fast,
                                           Shape::Vice361CycleExact, Shape::Vice310CycleExact),
                         shape_test_name<::testing::TestParamInfo<Shape>>);

TEST(ReadSnapshot, CurrentFilesPutRamWhereTheMeasuredFilesHaveIt) {
  SnapshotPlan plan;
  plan.shape = Shape::Vice37Fast;
  EXPECT_EQ(read(build_snapshot(plan).bytes).location.ramOffset, 177);
  plan.shape = Shape::Vice361CycleExact;
  EXPECT_EQ(read(build_snapshot(plan).bytes).location.ramOffset, 197);
  const SnapshotReading newest = [&] {
    plan.shape = Shape::Vice310CycleExact;
    return read(build_snapshot(plan).bytes);
  }();
  EXPECT_EQ(newest.location.ramOffset, 209);
  EXPECT_EQ(newest.location.cia2Offset, 65882 + 22);
  EXPECT_EQ(newest.location.registerOffset, 66866 + 23 + 0x18);
  EXPECT_EQ(newest.location.colorRamOffset, 66866 + 783);
}

TEST(ReadSnapshot, OldFileDirectoryAgreesWithTheTagRule) {
  SnapshotPlan plan;
  plan.shape = Shape::Vice1Fast;
  plan.decoyTags = false;
  const Bytes bytes = build_snapshot(plan).bytes;
  Bytes tagged = bytes;
  tagged[0x13] = 0;  // spoil the magic: only the tags are left
  const SnapshotReading byModules = read(bytes);
  const SnapshotReading byTags = read(tagged);
  ASSERT_EQ(byTags.error, SnapshotError::None);
  expect_location(byModules.location, byTags.location);
  EXPECT_EQ(byModules.location.ramOffset, kRamFileOffset);
}

TEST(ReadSnapshot, OtherMachinesAreRefused) {
  for (const char* machine : {"C128", "PLUS4", "VIC20"}) {
    SnapshotPlan plan;
    plan.machine = machine;
    const SnapshotReading reading = read(build_snapshot(plan).bytes);
    EXPECT_EQ(reading.error, SnapshotError::UnsupportedMachine);
    EXPECT_EQ(reading.machine, machine);
  }
}

TEST(ReadSnapshot, BrokenDirectoryOfAnOldFileFallsBackToTheTagRule) {
  // A module size below the header's own ends the walk before C64MEM.
  Bytes bytes = vsf_header("C64", false);
  append_module(bytes, "MAINCPU", 21, 71);
  const std::size_t ram = bytes.size();
  bytes.resize(128 + 0x10000, 0);
  std::copy_n("CIA2", 4, bytes.begin() + static_cast<std::ptrdiff_t>(ram + 10));
  std::copy_n("VIC-", 4, bytes.begin() + static_cast<std::ptrdiff_t>(ram + 50));
  const SnapshotReading reading = read(bytes);
  ASSERT_EQ(reading.error, SnapshotError::None);
  expect_location(reading.location,
                  location_from_tags(std::int64_t(ram + 50), std::int64_t(ram + 10)));
}

TEST(ReadSnapshot, CurrentFilesAreReadOnlyThroughTheirDirectory) {
  const struct {
    std::string machine;
    bool versionBlock;
    std::vector<std::pair<std::string, std::uint32_t>> modules;  // all with tags in their data
    SnapshotError error;
  } cases[] = {
      {"C64", true, {{"MAINCPU", 21}, {"C64MEM", 300}}, SnapshotError::Damaged},
      {"C64SC", false, {{"C64MEM", 0}, {"CIA2", 30}}, SnapshotError::Damaged},
      {"C64SC", true, {{"C64MEM", 1}, {"CIA2", 30}}, SnapshotError::Damaged},
      {"C64SC", true, {{"C64MEM", 22}, {"CIA2", 30}}, SnapshotError::NoVicII},
      {"C64SC", true, {{"C64MEM", 0xFFFFFFFF}, {"CIA2", 30}}, SnapshotError::Damaged},  // cut
      {"C64", true, {{"C64MEM", 300}, {"VIC-II", 1300}}, SnapshotError::NoCia2},
      {"C64", true, {{"CIA2", 30}, {"VIC-II", 1300}}, SnapshotError::Damaged},  // no C64MEM
      {"C64",
       false,
       {{"CIA2", 30}, {"VIC-II", 1300}, {"RAM", 65600}},  // old: by tags
       SnapshotError::None},
  };
  for (const auto& c : cases) {
    Bytes bytes = vsf_header(c.machine, c.versionBlock);
    for (const auto& [name, size] : c.modules) {
      const std::size_t data = size >= 22 && size < 70000 ? size - 22 : 40;
      const std::size_t start = append_module(bytes, name, size, data);
      if (data >= 8)
        std::copy_n("VIC-CIA2", 8, bytes.begin() + static_cast<std::ptrdiff_t>(start + 22));
    }
    EXPECT_EQ(read(bytes).error, c.error) << c.machine << " " << c.modules[0].first;
  }
}

TEST(ReadSnapshot, FailedReadIsAnErrorNotTheEndOfTheFile) {
  TempDir dir;  // a directory's descriptor opens, but reading it fails
  InputFile input;
  input.file = open_folder_as_file(dir.path.string());
  input.length = 200000;
  ASSERT_TRUE(input.file);
  EXPECT_EQ(read_snapshot(input).error, SnapshotError::ReadFailed);
  EXPECT_TRUE(input.readFailed);
}

TEST(ReadSnapshot, UnprintableMachineNameIsKept) {
  SnapshotPlan plan;
  plan.machine = std::string("C\x01\xFF", 3);
  const SnapshotReading reading = read(build_snapshot(plan).bytes);
  EXPECT_EQ(reading.error, SnapshotError::UnsupportedMachine);
  EXPECT_EQ(reading.machine, plan.machine);
}

}  // namespace
