#include "snapshot/read_snapshot.h"

#include <array>
#include <cstring>

#include "snapshot/module_directory.h"
#include "snapshot/tag_scan.h"

namespace {

// Distances inside the VIC-II module of the fast emulator (and of the tag
// layout): colour RAM after 3 flag bytes and a 40-byte buffer, the register
// images $D000-$D03F at +1141, so $D018 at +1165.
constexpr std::int64_t kFastColorRam = 65;
constexpr std::int64_t kFastD018 = 1165;
// The cycle-exact emulator: one model byte after the header, then the
// register images ($D018 at +23 + $18), colour RAM at +783.
constexpr std::int64_t kCycleExactColorRam = 783;
constexpr std::int64_t kCycleExactD018 = 47;
// C64MEM: 4 bytes of CPU port and cartridge lines, then RAM.
constexpr std::int64_t kC64MemRam = 26;
// CIA2: port A is the first data byte.
constexpr std::int64_t kCia2PortA = 22;

// The register images read, relative to $D018: $D011 at -7 ... $D023 at +11.
constexpr std::int64_t kFirstRegister = -7;
constexpr std::size_t kRegisterSpan = 19;

bool is_c64(const std::string& machine) {
  return machine == "C64" || machine == "C64SC";
}

SnapshotLocation location_from_modules(const ModuleDirectory& directory) {
  SnapshotLocation location;
  location.ramOffset = *directory.c64mem + kC64MemRam;
  location.cia2Offset = *directory.cia2 + kCia2PortA;
  const std::int64_t vic = directory.vicii ? *directory.vicii : *directory.viciisc;
  if (directory.machine == "C64SC") {
    location.registerOffset = vic + kCycleExactD018;
    location.colorRamOffset = vic + kCycleExactColorRam;
  } else {
    location.registerOffset = vic + kFastD018;
    location.colorRamOffset = vic + kFastColorRam;
  }
  return location;
}

VideoSetup read_video_setup(const InputFile& input, const SnapshotLocation& location) {
  std::array<std::uint8_t, kRegisterSpan> images{};
  read_at(input, location.registerOffset + kFirstRegister, images);
  const auto image = [&images](int registerNumber) {  // $D0xx
    return images[static_cast<std::size_t>(registerNumber - 0x18 - kFirstRegister)];
  };
  VideoRegisters registers;
  registers.cia2PortA = byte_at(input, location.cia2Offset);
  registers.d011 = image(0x11);
  registers.d016 = image(0x16);
  registers.d018 = image(0x18);
  registers.d020 = image(0x20);
  registers.d021 = image(0x21);
  registers.d022 = image(0x22);
  registers.d023 = image(0x23);
  return decode_video_setup(registers);
}

}  // namespace

SnapshotLocation location_from_tags(std::int64_t vicTag, std::int64_t cia2Tag) {
  SnapshotLocation location;
  location.ramOffset = kRamFileOffset;
  location.registerOffset = vicTag + kFastD018;
  location.colorRamOffset = vicTag + kFastColorRam;
  location.cia2Offset = cia2Tag + kCia2PortA;
  return location;
}

SnapshotReading read_snapshot(const InputFile& input) {
  SnapshotReading reading;
  std::array<std::uint8_t, 4> head{};
  read_at(input, 0, head);
  if (std::memcmp(head.data(), "VICE", head.size()) != 0) {
    reading.error = SnapshotError::NotVice;
    return reading;
  }

  const ModuleDirectory directory = read_module_directory(input);
  if (directory.hasMagic && directory.moduleCount > 0 && !is_c64(directory.machine)) {
    reading.error = SnapshotError::UnsupportedMachine;
    reading.machine = directory.machine;
    return reading;
  }
  if (directory.hasMagic && directory.c64mem && directory.cia2 &&
      (directory.vicii || directory.viciisc)) {
    reading.location = location_from_modules(directory);
  } else {
    const TagPositions tags = find_last_tags(input);
    if (!tags.vic) {
      reading.error = SnapshotError::NoVicII;
      return reading;
    }
    if (!tags.cia2) {
      reading.error = SnapshotError::NoCia2;
      return reading;
    }
    reading.location = location_from_tags(*tags.vic, *tags.cia2);
  }
  reading.setup = read_video_setup(input, reading.location);
  return reading;
}
