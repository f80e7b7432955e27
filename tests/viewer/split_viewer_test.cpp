// The split viewer run on a 6502 with the cycles it takes, against a
// raster that steals the CPU's cycles on badlines and for sprites and
// raises the raster interrupt: where the loader puts each region, and on
// which line and cycle each band's registers are written.

#include "viewer/split_viewer.h"

#include <gtest/gtest.h>

#include <map>

#include "io/input_file.h"
#include "snapshot/read_snapshot.h"
#include "snapshot/video_setup.h"
#include "snapshot_builder.h"
#include "split_frame.h"
#include "tool_run.h"

namespace {

// One register write the program made: where the raster was.
struct Write {
  unsigned address;
  std::uint8_t value;
  long time;  // cycles since the start: line time / 63 % 312, cycle time % 63 + 1
};

// A C64 as far as the split viewer uses it: RAM, the $01 port's I/O switch,
// colour RAM, the VIC-II registers and its raster, the interrupt flag.
struct Machine {
  std::vector<std::uint8_t> ram = std::vector<std::uint8_t>(0x10000);
  std::array<std::uint8_t, 1000> colorRam{};
  std::array<std::uint8_t, 0x2F> vic{};
  std::uint8_t a = 0, x = 0, y = 0, s = 0xFF;
  bool zero = false, interruptsOff = false;
  std::uint16_t pc = 0;
  long time = 0;
  bool irqPending = false;
  std::vector<Write> writes;

  int line() const { return static_cast<int>(time / 63 % 312); }
  int cycle() const { return static_cast<int>(time % 63) + 1; }
  bool io() const { return (ram[1] & 4) && (ram[1] & 3); }

  // Whether the VIC-II takes the bus in the current cycle (the published
  // rules: badlines 12-54; sprite n's data at 58 + 2n for the next line,
  // the three cycles before a run of sprites).
  bool stolen() const {
    const int l = line(), c = cycle();
    if ((vic[0x11] & 0x10) && l >= 48 && l <= 247 && (l & 7) == (vic[0x11] & 7) && c >= 12 &&
        c <= 54) {
      return true;
    }
    for (int n = 0; n < 8; ++n) {
      const int spriteLine = c >= 55 ? l : l - 1;  // the line whose end fetches it
      const int height = (vic[0x17] >> n & 1) ? 42 : 21;
      if (!(vic[0x15] >> n & 1) || spriteLine < vic[1 + 2 * n] ||
          spriteLine >= vic[1 + 2 * n] + height) {
        continue;
      }
      const int slot = 58 + 2 * n, at = c >= 55 ? c : c + 63;
      const bool before = n == 0 || !(vic[0x15] >> (n - 1) & 1);
      if (at >= (before ? slot - 3 : slot) && at <= slot + 1) return true;
    }
    return false;
  }
  // One CPU cycle, after those the VIC-II takes; the raster interrupt.
  void tick() {
    do {
      ++time;
      if (cycle() == 1 &&
          (line() | (vic[0x11] & 0x80) << 1) == (vic[0x12] | (vic[0x11] >> 7) << 8)) {
        vic[0x19] |= 1;
      }
    } while (stolen());
  }
  std::uint8_t read(unsigned address) {
    address &= 0xFFFF;
    if (io() && address >= 0xD800 && address < 0xD800 + 1000) return colorRam[address - 0xD800];
    if (io() && address >= 0xD000 && address < 0xD02F) return vic[address - 0xD000];
    return ram[address];
  }
  void write(unsigned address, std::uint8_t value) {
    address &= 0xFFFF;
    if (io() && address >= 0xD000 && address < 0xE000) {
      writes.push_back({address, value, time});
      if (address >= 0xD800 && address < 0xD800 + 1000) colorRam[address - 0xD800] = value & 15;
      if (address == 0xD019) vic[0x19] &= static_cast<std::uint8_t>(~value);
      if (address < 0xD02F && address != 0xD019) vic[address - 0xD000] = value;
      return;
    }
    if (address == 0xFFFE || address == 0xFFFF) writes.push_back({address, value, time});
    ram[address] = value;
  }
  std::uint8_t set(std::uint8_t v) {
    zero = v == 0;
    return v;
  }
  void push(std::uint8_t v) { ram[0x100 + s--] = v; }
  std::uint8_t pull() { return ram[0x100 + ++s]; }
  void cycles(int n) {
    for (int i = 0; i < n; ++i) tick();
  }
  bool step();
};

bool Machine::step() {
  if ((vic[0x19] & vic[0x1A] & 1) && !interruptsOff) {
    push(static_cast<std::uint8_t>(pc >> 8)), push(static_cast<std::uint8_t>(pc)), push(0);
    interruptsOff = true;
    pc = static_cast<std::uint16_t>(ram[0xFFFE] | ram[0xFFFF] << 8);
    cycles(7);
  }
  const std::uint8_t op = read(pc), lo = read(pc + 1), hi = read(pc + 2);
  const unsigned abs = lo | hi << 8;
  const auto indirect = [&] { return static_cast<unsigned>(ram[lo] | ram[(lo + 1) & 0xFF] << 8); };
  // clang-format off
  switch (op) {
    case 0xA9: a = set(lo), pc += 2, cycles(2); break;
    case 0xA2: x = set(lo), pc += 2, cycles(2); break;
    case 0xA0: y = set(lo), pc += 2, cycles(2); break;
    case 0xA5: a = set(ram[lo]), pc += 2, cycles(3); break;
    case 0x05: a = set(a | ram[lo]), pc += 2, cycles(3); break;
    case 0x24: pc += 2, cycles(3); break;                                  // BIT zp
    case 0x85: cycles(3), write(lo, a), pc += 2; break;
    case 0x8D: cycles(4), write(abs, a), pc += 3; break;
    case 0x8E: cycles(4), write(abs, x), pc += 3; break;
    case 0x8C: cycles(4), write(abs, y), pc += 3; break;
    case 0xAD: a = set(read(abs)), pc += 3, cycles(4); break;
    case 0xBD: a = set(read(abs + x)), pc += 3, cycles(4); break;
    case 0x9D: cycles(5), write(abs + x, a), pc += 3; break;
    case 0xB1: a = set(read(indirect() + y)), pc += 2, cycles(5); break;
    case 0x91: cycles(6), write(indirect() + y, a), pc += 2; break;
    case 0xE6: ram[lo] = set(static_cast<std::uint8_t>(ram[lo] + 1)), pc += 2, cycles(5); break;
    case 0xC6: ram[lo] = set(static_cast<std::uint8_t>(ram[lo] - 1)), pc += 2, cycles(5); break;
    case 0xEE: cycles(6), write(abs, set(static_cast<std::uint8_t>(read(abs) + 1))), pc += 3; break;
    case 0xE8: x = set(static_cast<std::uint8_t>(x + 1)), pc += 1, cycles(2); break;
    case 0x88: y = set(static_cast<std::uint8_t>(y - 1)), pc += 1, cycles(2); break;
    case 0xEA: pc += 1, cycles(2); break;
    case 0x78: interruptsOff = true, pc += 1, cycles(2); break;
    case 0x58: interruptsOff = false, pc += 1, cycles(2); break;
    case 0xD0: pc = static_cast<std::uint16_t>(pc + 2 + (zero ? 0 : static_cast<std::int8_t>(lo)));
               cycles(zero ? 2 : 3); break;
    case 0x4C: pc = static_cast<std::uint16_t>(abs), cycles(3); break;
    case 0x20: push(static_cast<std::uint8_t>((pc + 2) >> 8)), push(static_cast<std::uint8_t>(pc + 2));
               pc = static_cast<std::uint16_t>(abs), cycles(6); break;
    case 0x60: pc = static_cast<std::uint16_t>(pull() | pull() << 8), ++pc, cycles(6); break;
    case 0x40: pull(), pc = static_cast<std::uint16_t>(pull() | pull() << 8), interruptsOff = false;
               cycles(6); break;
    default: ADD_FAILURE() << "opcode " << int{op} << " at " << pc; return false;
  }
  // clang-format on
  return true;
}

// Loads the program as LOAD "...",8 does and runs it for `frames` frames
// from the SYS address its BASIC line names.
Machine run_program(const std::vector<std::uint8_t>& program, int frames) {
  Machine m;
  m.ram[1] = 0x37;
  std::copy(program.begin() + 2, program.end(), m.ram.begin() + 0x0801);
  EXPECT_EQ(std::string(program.begin() + 7, program.begin() + 11), "2061");
  m.pc = 2061;
  while (m.time < 312L * 63 * frames && m.step()) {
  }
  return m;
}

VideoState state_of(const std::string& path) {
  InputFile input;
  EXPECT_TRUE(open_input(path, input));
  return read_snapshot(input).state;
}

std::vector<SplitBand> bands_of(const std::vector<SetLines>& lines) {
  std::vector<SplitBand> bands;
  for (const SetLines& band : lines) {
    bands.push_back({band.firstLine, band.set.vic, band.set.cia2PortA, band.set.pointers});
  }
  return bands;
}

// The last time in the frame `frame` (0-based) at which `address` was
// written, and the value; none when it was not.
std::optional<Write> last_write(const Machine& m, unsigned address, long from, long to) {
  std::optional<Write> found;
  for (const Write& w : m.writes) {
    if (w.address == address && w.time >= from && w.time < to) found = w;
  }
  return found;
}

TEST(SplitViewer, TheLoaderPutsEveryRegionInPlaceAndEachBandSwitchesInTheHorizontalBlank) {
  const VideoState state = state_of(std::string(LUMERIST_EXAMPLES) + "/split.vsf");
  const BandSet own = snapshot_set(state);
  const BandSet panel = changed(own, {{0xD018, 0x64}, {0xD011, 0x1B}, {0xD016, 0x08}, {0xD020, 6}});
  const BandSet third = changed(own, {{0xD021, 2}, {0xD015, 0x00}});
  const struct {
    const char* what;
    std::vector<SetLines> lines;
  } cases[] = {
      {"two bands, the second four registers apart", {{own, 16, 210}, {panel, 211, 287}}},
      {"three bands, one on a badline", {{own, 16, 99}, {panel, 100, 180}, {third, 181, 287}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<SplitBand> bands = bands_of(c.lines);
    const SplitViewer viewer = split_viewer(state, bands);
    ASSERT_EQ(viewer.refusal, SplitRefusal::None);
    const Machine m = run_program(viewer.program, 30);
    // Every region each band reads holds the snapshot's bytes.
    for (const SetLines& band : c.lines) {
      const VideoSetup setup = decode_video_setup(band.set.vic, band.set.cia2PortA);
      for (unsigned i = 0; i < 1000; ++i) {
        ASSERT_EQ(m.ram[setup.screenAddress + i], state.ram[setup.screenAddress + i]) << i;
      }
      const unsigned graphics = setup.bitmapMode ? setup.bitmapAddress : setup.charsetAddress;
      for (unsigned i = 0; i < (setup.bitmapMode ? 8000u : 2048u); ++i) {
        ASSERT_EQ(m.ram[graphics + i], state.ram[graphics + i]) << graphics + i;
      }
    }
    for (unsigned i = 0; i < 1000; ++i) ASSERT_EQ(m.colorRam[i], state.colorRam[i] & 15);
    // In the last whole frame: each band's switch registers between
    // cycle 61 of the line above it and cycle 16 of its first line, the
    // rest before its third line.
    const long frame = 312L * 63 * 28;
    for (std::size_t k = 1; k < c.lines.size(); ++k) {
      const long switchAt = frame + c.lines[k].firstLine * 63L;
      for (const unsigned reg : {0xD020u, 0xD011u, 0xD016u, 0xD018u, 0xD021u, 0xD015u}) {
        const std::uint8_t want = c.lines[k].set.vic[reg - 0xD000];
        if (c.lines[k - 1].set.vic[reg - 0xD000] == want) continue;
        const std::optional<Write> w = last_write(m, reg, frame, switchAt + 3 * 63);
        ASSERT_TRUE(w) << std::hex << reg;
        EXPECT_EQ(w->value & (reg == 0xD011 ? 0x7F : 0xFF), want & (reg == 0xD011 ? 0x7F : 0xFF));
        if (reg == 0xD015) continue;
        EXPECT_GE(w->time, switchAt - 63 + 60) << std::hex << reg;
        EXPECT_LE(w->time, switchAt + (reg == 0xD020 ? 12 : 16)) << std::hex << reg;
      }
    }
  }
}

TEST(SplitViewer, RefusesBandsTooCloseAndMemoryItCannotFree) {
  const VideoState state = state_of(std::string(LUMERIST_EXAMPLES) + "/split.vsf");
  const BandSet own = snapshot_set(state);
  const BandSet panel = changed(own, {{0xD018, 0x64}, {0xD011, 0x1B}, {0xD016, 0x08}});
  const SplitViewer close =
      split_viewer(state, bands_of({{own, 16, 100}, {panel, 101, 101}, {own, 102, 287}}));
  EXPECT_EQ(close.refusal, SplitRefusal::TooClose);
  EXPECT_EQ(close.closeBand, 1);
  // Screens all over memory: eleven bands, every 1 KiB of the bank read.
  std::vector<SetLines> lines;
  for (int k = 0; k < 12; ++k) {
    const auto d018 = static_cast<std::uint8_t>(k << 4 | 0x08);
    lines.push_back({changed(own, {{0xD018, d018}, {0xD011, 0x3B}}), 16 + 20 * k, 35 + 20 * k});
  }
  for (const unsigned bank : {0u, 1u, 2u, 3u}) {
    const auto port = static_cast<std::uint8_t>((own.cia2PortA & ~3u) | bank);
    for (int k = 0; k < 3; ++k) {
      BandSet set = changed(own, {{0xD018, static_cast<std::uint8_t>(0x08 | k << 5)}});
      set.cia2PortA = port;
      lines.push_back({set, 260 + static_cast<int>(bank) * 6 + k * 2,
                       261 + static_cast<int>(bank) * 6 + k * 2});
    }
  }
  EXPECT_EQ(split_viewer(state, bands_of(lines)).refusal, SplitRefusal::Memory);
}

}  // namespace
