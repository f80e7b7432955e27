#include "snapshot/read_snapshot.h"

#include <array>
#include <cstring>

#include "snapshot/module_directory.h"
#include "snapshot/saved_frame.h"
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
// C64ROM: kernal and BASIC ROM (8 KiB each), then the character ROM.
constexpr std::int64_t kC64RomCharRom = kModuleHeaderSize + 2 * 8192;

// The least size, header included, of a module that holds every byte the
// reader takes from it: RAM, the port A byte, and colour RAM (the last
// thing read in the cycle-exact layout) or the register images (the fast
// one).
constexpr std::int64_t kC64MemNeeds = kC64MemRam + static_cast<std::int64_t>(kRamSize);
constexpr std::int64_t kCia2Needs = kCia2PortA + 1;
constexpr std::int64_t kCycleExactVicNeeds =
    kCycleExactColorRam + static_cast<std::int64_t>(kColorRamCells);
constexpr std::int64_t kFastVicNeeds =
    kFastD018 - 0x18 + static_cast<std::int64_t>(kVicRegisterCount);
static_assert(kC64MemNeeds == 26 + 65536 && kCycleExactVicNeeds == 783 + 1000 &&
              kFastVicNeeds == 1141 + 47);

bool is_c64(const std::string& machine) {
  return machine == "C64" || machine == "C64SC";
}

const ModuleEntry& vic_module(const ModuleDirectory& directory) {
  return directory.vicii ? *directory.vicii : *directory.viciisc;
}

// True when each of the three modules is large enough to hold what the
// reader takes from it.
bool modules_hold_video_state(const ModuleDirectory& directory) {
  const bool cycleExact = directory.machine == "C64SC";
  return directory.c64mem->size >= kC64MemNeeds && directory.cia2->size >= kCia2Needs &&
         vic_module(directory).size >= (cycleExact ? kCycleExactVicNeeds : kFastVicNeeds);
}

SnapshotLocation location_from_modules(const InputFile& input, const ModuleDirectory& directory) {
  SnapshotLocation location;
  location.ramOffset = directory.c64mem->start + kC64MemRam;
  location.cia2Offset = directory.cia2->start + kCia2PortA;
  const ModuleEntry& vic = vic_module(directory);
  const bool cycleExact = directory.machine == "C64SC";
  location.registerOffset = vic.start + (cycleExact ? kCycleExactD018 : kFastD018);
  location.colorRamOffset = vic.start + (cycleExact ? kCycleExactColorRam : kFastColorRam);
  if (directory.c64rom &&
      directory.c64rom->size >= kC64RomCharRom + static_cast<std::int64_t>(kCharRomSize)) {
    location.charRomOffset = directory.c64rom->start + kC64RomCharRom;
  }
  location.savedFrame = locate_saved_frame(input, vic, cycleExact);
  return location;
}

// Reads `out` at `offset`; true when the file ends before its last byte.
bool read_block(const InputFile& input, std::int64_t offset, std::span<std::uint8_t> out) {
  read_at(input, offset, out);
  return offset + static_cast<std::int64_t>(out.size()) > input.length;
}

// Reads the video state; true when the file ends before all of it.
bool read_video_state(const InputFile& input, const SnapshotLocation& location, VideoState& state) {
  bool cut = read_block(input, first_register_offset(location), state.vic);
  cut = read_block(input, location.cia2Offset, std::span(&state.cia2PortA, 1)) || cut;
  cut = read_block(input, location.colorRamOffset, state.colorRam) || cut;
  cut = read_block(input, location.ramOffset, state.ram) || cut;
  if (location.charRomOffset) {
    state.charRom.emplace();
    cut = read_block(input, *location.charRomOffset, *state.charRom) || cut;
  }
  return cut;
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

namespace {

// Why a current snapshot's directory does not lead to the three modules.
SnapshotError missing_module_error(const ModuleDirectory& directory) {
  if (directory.badSize) return SnapshotError::Damaged;
  if (!directory.vicii && !directory.viciisc) return SnapshotError::NoVicII;
  if (!directory.cia2) return SnapshotError::NoCia2;
  return SnapshotError::Damaged;  // no C64MEM
}

SnapshotReading read_snapshot_bytes(const InputFile& input) {
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
  if (directory.hasMagic && directory.runsPastEnd) {
    reading.error = SnapshotError::Damaged;
    return reading;
  }
  const bool current =
      directory.hasMagic && (directory.versionBlock || directory.machine == "C64SC");
  if (directory.hasMagic && directory.c64mem && directory.cia2 &&
      (directory.vicii || directory.viciisc)) {
    if (!modules_hold_video_state(directory)) {
      reading.error = SnapshotError::Damaged;
      return reading;
    }
    reading.location = location_from_modules(input, directory);
  } else if (current) {
    reading.error = missing_module_error(directory);
    return reading;
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
  if (read_video_state(input, reading.location, reading.state)) {
    reading.error = SnapshotError::Damaged;  // cut short: no byte is made up
    return reading;
  }
  reading.setup = decode_video_setup(reading.state);
  return reading;
}

}  // namespace

SnapshotReading read_snapshot(const InputFile& input) {
  SnapshotReading reading = read_snapshot_bytes(input);
  if (input.readFailed) reading.error = SnapshotError::ReadFailed;
  return reading;
}

std::optional<Picture> saved_frame_picture(const InputFile& snapshot,
                                           const SnapshotReading& reading) {
  if (!reading.location.savedFrame) return std::nullopt;
  std::vector<std::uint8_t> pixels = read_saved_frame(snapshot, *reading.location.savedFrame);
  if (pixels.empty()) return std::nullopt;
  return Picture{std::move(pixels)};
}
