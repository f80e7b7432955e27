// The frame VICE saved at the end of its VIC-II module: found and cropped
// to the visible picture in both emulators' layouts, and absent wherever it
// cannot be trusted.

#include "snapshot/saved_frame.h"

#include <gtest/gtest.h>

#include <functional>

#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"

namespace {

// Every pixel differs from its neighbours and carries a high nibble that
// must not reach the picture.
Bytes numbered_frame() {
  Bytes frame(384 * 272);
  for (std::size_t i = 0; i < frame.size(); ++i) {
    frame[i] = static_cast<std::uint8_t>((i % 7) << 4 | (i * 5 + i / 384) % 16);
  }
  return frame;
}

Bytes low_nibbles(Bytes bytes) {
  for (std::uint8_t& b : bytes) b &= 15;
  return bytes;
}

std::vector<std::uint8_t> saved_frame_of(const Bytes& bytes) {
  const InputFile input = memory_input(bytes);
  const SnapshotReading reading = read_snapshot(input);
  EXPECT_EQ(reading.error, SnapshotError::None);
  if (!reading.location.savedFrame) return {};
  return read_saved_frame(input, *reading.location.savedFrame);
}

TEST(SavedFrame, IsFoundAndCroppedInBothEmulatorsLayouts) {
  for (const Shape shape :
       {Shape::Vice37Fast, Shape::Vice361CycleExact, Shape::Vice310CycleExact}) {
    SCOPED_TRACE(shape_name(shape));
    SnapshotPlan plan;
    plan.shape = shape;
    plan.savedFrame = numbered_frame();
    Bytes bytes = build_snapshot(plan).bytes;
    // Lines above and below the visible part, and the fast emulator's
    // columns left of it, stay out of the picture.
    bytes[saved_frame_pixel(bytes, 0, -1)] = 0x0F;
    bytes[saved_frame_pixel(bytes, 0, 272)] = 0x0F;
    if (shape == Shape::Vice37Fast) bytes[saved_frame_pixel(bytes, -1, 100)] = 0x0F;
    EXPECT_EQ(saved_frame_of(bytes), low_nibbles(numbered_frame()));
  }
}

TEST(SavedFrame, IsAbsentWhenEmptyOlderOrOfAnotherGeometry) {
  struct Case {
    const char* what;
    Shape shape;
    std::function<void(Bytes&, std::size_t vic)> spoil;  // vic: the VIC-II module's start
  } const cases[] = {
      {"all zeros", Shape::Vice361CycleExact,
       [](Bytes& b, std::size_t) {
         std::fill(b.begin() + static_cast<std::ptrdiff_t>(saved_frame_pixel(b, 0, -16)),
                   b.begin() + static_cast<std::ptrdiff_t>(saved_frame_pixel(b, 0, 296)), 0);
       }},
      {"module version 1.2", Shape::Vice37Fast, [](Bytes& b, std::size_t vic) { b[vic + 17] = 2; }},
      {"width 400", Shape::Vice310CycleExact,
       [](Bytes& b, std::size_t vic) { b[vic + 2081] = 400 - 256; }},
      {"height 200", Shape::Vice310CycleExact,
       [](Bytes& b, std::size_t vic) { b[vic + 2081 + 4] = 200; }},
      {"pitch unlike the width", Shape::Vice37Fast,
       [](Bytes& b, std::size_t vic) { b[vic + 1259 + 8] = 0; }},
      {"fast layout in a cycle-exact file", Shape::Vice37Fast,
       [](Bytes& b, std::size_t) { std::copy_n("C64SC", 5, b.begin() + 21); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SnapshotPlan plan;
    plan.shape = c.shape;
    plan.savedFrame = numbered_frame();
    Bytes bytes = build_snapshot(plan).bytes;
    c.spoil(bytes, vic_module_start(bytes));
    EXPECT_TRUE(saved_frame_of(bytes).empty());
  }
  SnapshotPlan shortModule;  // the VIC-II module ends one byte before its frame does
  shortModule.savedFrame = numbered_frame();
  shortModule.moduleSizes = {{"VIC-II", 160535 - 1}};
  EXPECT_TRUE(saved_frame_of(build_snapshot(shortModule).bytes).empty());
  for (const Shape shape : {Shape::TagsOnly, Shape::Vice1Fast}) {  // no frame in old files
    SnapshotPlan plan;
    plan.shape = shape;
    EXPECT_FALSE(read_snapshot(memory_input(build_snapshot(plan).bytes)).location.savedFrame);
  }
}

}  // namespace
