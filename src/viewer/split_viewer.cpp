#include "viewer/split_viewer.h"

#include <algorithm>
#include <optional>

#include "snapshot/video_setup.h"

namespace {

constexpr unsigned kLoadAddress = 0x0801;
constexpr unsigned kStageOne = 0x080D;      // after the BASIC line "10 SYS2061"
constexpr unsigned kLowestRegion = 0x0200;  // below: zero page and stack, the loader's own
constexpr unsigned kLoadEnd = 0xD000;       // a LOAD may not reach I/O
constexpr unsigned kVectors = 0xFFFA;       // the interrupt vectors, kept free
constexpr unsigned kColorRam = 0xD800;
constexpr int kVerticalBlankLine = 300;  // where the first band's set is written
constexpr int kFirstSwitchCycle = 61;    // the horizontal blank: cycles 61-63 and 1-12
constexpr int kLinesPerFrame = 312;
constexpr int kCyclesPerLine = 63;

// A run of C64 memory [start, end) a band reads.
struct Region {
  unsigned start = 0, end = 0;
};

void add_region(std::vector<Region>& regions, const VideoSetup& setup, unsigned offset,
                unsigned size) {
  offset &= 0x3FFF;
  const bool rom = setup.charRomInBank && (offset & 0x3000) == 0x1000;
  if (!rom) regions.push_back({setup.bankBase + offset, setup.bankBase + offset + size});
}

// Every region some band reads, merged and in address order.
std::vector<Region> regions_of(std::span<const SplitBand> bands) {
  std::vector<Region> regions;
  for (const SplitBand& band : bands) {
    const VideoSetup setup = decode_video_setup(band.vic, band.cia2PortA);
    if (!setup.displayEnabled) continue;
    add_region(regions, setup, setup.screenAddress - setup.bankBase, 0x400);
    if (setup.bitmapMode) {
      add_region(regions, setup, setup.bitmapAddress - setup.bankBase, 8000);
    } else {
      add_region(regions, setup, setup.charsetAddress - setup.bankBase, 0x800);
    }
    for (std::size_t n = 0; n < 8; ++n) {
      if (setup.sprites[n].enabled) add_region(regions, setup, band.pointers[n] * 64u, 64);
    }
  }
  std::sort(regions.begin(), regions.end(),
            [](const Region& a, const Region& b) { return a.start < b.start; });
  std::vector<Region> merged;
  for (const Region& region : regions) {
    if (!merged.empty() && region.start <= merged.back().end) {
      merged.back().end = std::max(merged.back().end, region.end);
    } else {
      merged.push_back(region);
    }
  }
  return merged;
}

// 6502 code being put together at `origin`.
struct Code {
  unsigned origin = 0;
  std::vector<std::uint8_t> bytes;
  unsigned here() const { return origin + static_cast<unsigned>(bytes.size()); }
  void byte(unsigned b) { bytes.push_back(static_cast<std::uint8_t>(b)); }
  void op(unsigned opcode, unsigned operand) {
    byte(opcode);
    byte(operand);
  }
  void op16(unsigned opcode, unsigned address) {
    byte(opcode);
    byte(address & 0xFF);
    byte(address >> 8 & 0xFF);
  }
  void store(unsigned value, unsigned address) {  // LDA #value, STA address
    op(0xA9, value);
    op16(0x8D, address);
  }
  void branch(unsigned opcode, unsigned target) {
    byte(opcode);
    byte((target - (here() + 1)) & 0xFF);
  }
};

// The copy loops: ($02) to ($04), ($06) bytes; forward from the first byte
// or backward from the last.
void copy_loop(Code& code, bool backward) {
  code.op(0xA0, 0x00);  // LDY #0
  const unsigned loop = code.here();
  code.op(0xB1, 0x02);  // LDA ($02),Y
  code.op(0x91, 0x04);  // STA ($04),Y
  for (const unsigned pointer : {0x02u, 0x04u}) {
    if (backward) {
      code.op(0xA5, pointer);  // LDA lo; BNE +2; DEC hi; DEC lo
      code.op(0xD0, 0x02);
      code.op(0xC6, pointer + 1);
      code.op(0xC6, pointer);
    } else {
      code.op(0xE6, pointer);  // INC lo; BNE +2; INC hi
      code.op(0xD0, 0x02);
      code.op(0xE6, pointer + 1);
    }
  }
  code.op(0xA5, 0x06);  // count - 1
  code.op(0xD0, 0x02);
  code.op(0xC6, 0x07);
  code.op(0xC6, 0x06);
  code.op(0xA5, 0x06);  // until the count is 0
  code.op(0x05, 0x07);
  code.branch(0xD0, loop);
  code.byte(0x60);  // RTS
}

// A copy of `size` bytes from `from` to `to` through the loop at `loop`.
void copy_call(Code& code, unsigned from, unsigned to, unsigned size, unsigned loop) {
  code.store(from & 0xFF, 0x02);
  code.store(from >> 8, 0x03);
  code.store(to & 0xFF, 0x04);
  code.store(to >> 8, 0x05);
  code.store(size & 0xFF, 0x06);
  code.store(size >> 8, 0x07);
  code.op16(0x20, loop);  // JSR
}

// When the VIC-II keeps the CPU off the bus in one line drawn by `vic` and
// `cia2PortA`: on a badline, cycles 12-54; for each sprite it shows on the
// next line, its two cycles of data (sprite n at 58 + 2n, wrapping to the
// next line's 1-10 for sprites 3-7) and the three before each run of them.
// Entry c (1-63) is set for a cycle the CPU does not get; 64-73 stand for
// cycles 1-10 of the next line.
std::array<bool, 74> stolen_cycles(const RegisterImages& vic, std::uint8_t cia2PortA, int line) {
  std::array<bool, 74> stolen{};
  const VideoSetup setup = decode_video_setup(vic, cia2PortA);
  if (setup.displayEnabled && line >= 48 && line <= 247 && (line & 7) == setup.yScroll) {
    for (int c = 12; c <= 54; ++c) stolen[static_cast<std::size_t>(c)] = true;
  }
  bool previous = false;
  for (int n = 0; n < 8; ++n) {
    const SpriteSetup& sprite = setup.sprites[static_cast<std::size_t>(n)];
    const int height = sprite.tall ? 42 : 21;
    const bool active = sprite.enabled && line >= sprite.y && line < sprite.y + height;
    if (!active) {
      previous = false;
      continue;
    }
    const int slot = 58 + 2 * n;
    for (int c = previous ? slot : slot - 3; c <= slot + 1; ++c) {
      stolen[static_cast<std::size_t>(c)] = true;
    }
    previous = true;
  }
  return stolen;
}

// The cycle of a line (1-73, past 63 the next line's) on which the CPU has
// spent `cycles` more cycles from cycle `from` on, the stolen ones skipped.
int advance(const std::array<bool, 74>& stolen, int from, int cycles) {
  int at = from - 1;
  while (cycles > 0 && at < 73) {
    ++at;
    if (!stolen[static_cast<std::size_t>(at)]) --cycles;
  }
  return at + cycles;
}

// Delay code of `cycles` cycles (0, or 2 and more): NOPs and a BIT zp.
void delay(Code& code, int cycles) {
  if (cycles % 2 == 1) {
    code.op(0x24, 0x02);  // BIT $02
    cycles -= 3;
  }
  for (; cycles > 0; cycles -= 2) code.byte(0xEA);
}

// The registers a band's set is made of, those that show on the switch
// line first: the border (visible from cycle 13, and up to cycle 60 of the
// line above), then the mode and scroll, the bank and the colours of the
// window (visible from cycle 17).
constexpr unsigned kSwitchFirst[] = {0xD020, 0xD011, 0xD018, 0xD016, 0xDD00,
                                     0xD021, 0xD022, 0xD023, 0xD024};
constexpr unsigned kAfterwards[] = {0xD000, 0xD001, 0xD002, 0xD003, 0xD004, 0xD005, 0xD006, 0xD007,
                                    0xD008, 0xD009, 0xD00A, 0xD00B, 0xD00C, 0xD00D, 0xD00E, 0xD00F,
                                    0xD010, 0xD015, 0xD017, 0xD01B, 0xD01C, 0xD01D, 0xD025, 0xD026,
                                    0xD027, 0xD028, 0xD029, 0xD02A, 0xD02B, 0xD02C, 0xD02D, 0xD02E};

// A register's value in a band's set; $D011 with bit 7 the next compare
// line's bit 8.
unsigned value_of(const SplitBand& band, unsigned address, int nextCompare) {
  if (address == 0xDD00) return band.cia2PortA;
  const unsigned value = band.vic[address - 0xD000];
  if (address == 0xD011) return (value & 0x7F) | (nextCompare > 255 ? 0x80 : 0);
  return value;
}

// Where a band's sprite pointers are kept: its screen matrix + $3F8, unless
// the VIC-II sees the character ROM there.
std::optional<unsigned> pointer_address(const SplitBand& band) {
  const VideoSetup setup = decode_video_setup(band.vic, band.cia2PortA);
  const unsigned offset = (setup.screenAddress - setup.bankBase + 0x3F8) & 0x3FFF;
  if (setup.charRomInBank && (offset & 0x3000) == 0x1000) return std::nullopt;
  return setup.bankBase + offset;
}

// Where each band's handler runs: the compare line (its first line's
// predecessor; the first band's in the vertical blank).
int compare_line(std::span<const SplitBand> bands, std::size_t k) {
  if (k == 0 || k >= bands.size()) return kVerticalBlankLine;
  return bands[k].firstLine - 1;
}

// A handler's stores: the registers of band k that differ from band k-1's
// (all of them for the first band), the sprite pointers, the next compare
// line, the next handler; `critical` the first three of the switch.
struct Stores {
  std::vector<std::pair<unsigned, unsigned>> critical, rest;  // address, value
};

Stores stores_of(std::span<const SplitBand> bands, std::size_t k, unsigned nextHandler) {
  Stores stores;
  const SplitBand& band = bands[k];
  const SplitBand* previous = k == 0 ? nullptr : &bands[k - 1];
  const int next = compare_line(bands, k + 1);
  const int previousNext = compare_line(bands, k);
  for (const unsigned address : kSwitchFirst) {
    const unsigned value = value_of(band, address, next);
    if (previous && value_of(*previous, address, previousNext) == value) continue;
    (stores.critical.size() < 3 ? stores.critical : stores.rest).emplace_back(address, value);
  }
  for (const unsigned address : kAfterwards) {
    const unsigned value = value_of(band, address, next);
    if (!previous || value_of(*previous, address, previousNext) != value) {
      stores.rest.emplace_back(address, value);
    }
  }
  if (const std::optional<unsigned> pointers = pointer_address(band)) {
    for (unsigned n = 0; n < 8; ++n) stores.rest.emplace_back(*pointers + n, band.pointers[n]);
  }
  stores.rest.emplace_back(0xD012, static_cast<unsigned>(next & 0xFF));
  stores.rest.emplace_back(0xD011, value_of(band, 0xD011, next));
  stores.rest.emplace_back(0xFFFE, nextHandler & 0xFF);
  stores.rest.emplace_back(0xFFFF, nextHandler >> 8);
  stores.rest.emplace_back(0xD019, 0xFF);
  return stores;
}

// The earliest cycle of line C on which a handler's first instruction runs:
// the IRQ at cycle 1, the idle loop's JMP finishing (1-3 cycles), 7 cycles
// for the interrupt.
constexpr int kEarliestEntry = 9;

// The delay before the critical stores of band k's handler, so that the
// first of them writes on cycle 61 of the line above the band or later.
int switch_delay(std::span<const SplitBand> bands, std::size_t k, int preload) {
  const SplitBand& previous = bands[k - 1];
  const auto stolen = stolen_cycles(previous.vic, previous.cia2PortA, compare_line(bands, k));
  for (int d = 0; d < 2 * kCyclesPerLine; d += d == 0 ? 2 : 1) {
    if (advance(stolen, kEarliestEntry, preload + d + 4) >= kFirstSwitchCycle) return d;
  }
  return 0;
}

// Whether band k's handler is done before the next one's compare line:
// its stores after the switch, 6 cycles each, and RTI, on the lines band
// k's set draws.
bool done_in_time(std::span<const SplitBand> bands, std::size_t k, const Stores& stores) {
  const int next = compare_line(bands, k + 1);
  int line = compare_line(bands, k) + 1;
  int cycles = 6 * static_cast<int>(stores.rest.size()) + 6;
  for (int guard = 0; cycles > 0 && guard < kLinesPerFrame; ++guard) {
    const auto stolen = stolen_cycles(bands[k].vic, bands[k].cia2PortA, line);
    for (int c = 13; c <= kCyclesPerLine && cycles > 0; ++c)
      cycles -= !stolen[static_cast<std::size_t>(c)];
    if (cycles > 0) line = (line + 1) % kLinesPerFrame;
  }
  const int end = line < compare_line(bands, k) ? line + kLinesPerFrame : line;
  const int nextAt = next <= compare_line(bands, k) ? next + kLinesPerFrame : next;
  return end < nextAt;
}

// Band k's interrupt handler at `code`.
void handler(Code& code, std::span<const SplitBand> bands, std::size_t k, const Stores& stores) {
  constexpr unsigned kLoad[] = {0xA9, 0xA2, 0xA0};   // LDA, LDX, LDY #
  constexpr unsigned kStore[] = {0x8D, 0x8E, 0x8C};  // STA, STX, STY abs
  for (std::size_t i = 0; i < stores.critical.size(); ++i) {
    code.op(kLoad[i], stores.critical[i].second);
  }
  if (k > 0) delay(code, switch_delay(bands, k, 2 * static_cast<int>(stores.critical.size())));
  for (std::size_t i = 0; i < stores.critical.size(); ++i) {
    code.op16(kStore[i], stores.critical[i].first);
  }
  for (const auto& [address, value] : stores.rest) code.store(value, address);
  code.byte(0x40);  // RTI
}

// Where the program puts what: colour RAM and the regions at their source
// in the program (in address order after colour RAM), the resident part.
struct Layout {
  std::vector<Region> regions;
  std::vector<unsigned> sources;  // each region's bytes in the loaded program
  unsigned colorSource = 0;
  unsigned resident = 0;  // where the resident part runs
};

// The loader's copies: regions that move down (or stay) first, in address
// order, forward; then those that move up, from the highest, backward. As
// the regions follow each other in the program in address order, neither
// overwrites bytes still to be copied.
void copy_regions(Code& code, const Layout& layout, unsigned forward, unsigned backward) {
  for (std::size_t i = 0; i < layout.regions.size(); ++i) {
    const Region& r = layout.regions[i];
    if (r.start <= layout.sources[i]) {
      copy_call(code, layout.sources[i], r.start, r.end - r.start, forward);
    }
  }
  for (std::size_t i = layout.regions.size(); i-- > 0;) {
    const Region& r = layout.regions[i];
    const unsigned size = r.end - r.start;
    if (r.start > layout.sources[i]) {
      copy_call(code, layout.sources[i] + size - 1, r.end - 1, size, backward);
    }
  }
}

// Addresses inside the resident part that its code names: the copy loops
// and the handlers.
struct Labels {
  unsigned forward = 0, backward = 0;
  std::vector<unsigned> handlers;
};

// The loader: colour RAM, the CIAs' interrupts off, the regions, the
// raster interrupt started; then the idle loop.
void loader(Code& code, std::span<const SplitBand> bands, const Layout& layout,
            const Labels& labels) {
  copy_call(code, layout.colorSource, kColorRam, 1000, labels.forward);
  code.op(0xA9, 0x7F);
  code.op16(0x8D, 0xDC0D);
  code.op16(0x8D, 0xDD0D);
  code.op16(0xAD, 0xDC0D);  // LDA: acknowledges what is pending
  code.op16(0xAD, 0xDD0D);
  code.store(0x34, 0x01);  // RAM everywhere while the regions are copied
  copy_regions(code, layout, labels.forward, labels.backward);
  code.store(0x35, 0x01);  // KERNAL and BASIC off, I/O on
  code.store(0x3F, 0xDD02);
  code.store(labels.handlers[0] & 0xFF, 0xFFFE);
  code.store(labels.handlers[0] >> 8, 0xFFFF);
  code.store(kVerticalBlankLine & 0xFF, 0xD012);
  code.store(value_of(bands[0], 0xD011, kVerticalBlankLine), 0xD011);
  code.store(0x01, 0xD01A);
  code.store(0xFF, 0xD019);
  code.byte(0x58);               // CLI
  code.op16(0x4C, code.here());  // JMP to itself: the idle loop
}

// The resident part at layout.resident, its labels taken from `labels`
// and written back (a first pass with any labels finds them).
std::vector<std::uint8_t> resident_part(std::span<const SplitBand> bands, const Layout& layout,
                                        Labels& labels) {
  Code code{layout.resident, {}};
  loader(code, bands, layout, labels);
  labels.forward = code.here();
  copy_loop(code, false);
  labels.backward = code.here();
  copy_loop(code, true);
  const std::vector<unsigned> next = labels.handlers;
  for (std::size_t k = 0; k < bands.size(); ++k) {
    labels.handlers[k] = code.here();
    handler(code, bands, k, stores_of(bands, k, next[(k + 1) % bands.size()]));
  }
  return code.bytes;
}

// The first stage at $080D: interrupts off, the ROMs out, `pages` pages
// from `from` to `to`, then on to the loader there.
std::vector<std::uint8_t> stage_one(unsigned from, unsigned to, unsigned pages) {
  Code code{kStageOne, {}};
  code.byte(0x78);  // SEI
  code.op(0xA9, 0x35);
  code.op(0x85, 0x01);
  code.op(0xA0, pages);
  code.op(0xA2, 0x00);
  const unsigned loop = code.here();
  code.op16(0xBD, from);  // LDA from,X
  code.op16(0x9D, to);    // STA to,X
  code.byte(0xE8);        // INX
  code.branch(0xD0, loop);
  code.op16(0xEE, loop + 2);  // the next page
  code.op16(0xEE, loop + 5);
  code.byte(0x88);  // DEY
  code.branch(0xD0, loop);
  code.op16(0x4C, to);
  return code.bytes;
}

// The lowest page-aligned run of `size` bytes that no region, the loaded
// program, I/O or the vectors use.
std::optional<unsigned> free_run(const std::vector<Region>& regions, unsigned programEnd,
                                 unsigned size) {
  std::vector<Region> used = regions;
  used.push_back({kLoadAddress, programEnd});
  used.push_back({0xD000, 0xE000});
  used.push_back({kVectors, 0x10000});
  for (unsigned start = kLowestRegion; start + size <= kVectors; start += 0x100) {
    const bool clear = std::none_of(used.begin(), used.end(), [&](const Region& r) {
      return start < r.end && r.start < start + size;
    });
    if (clear) return start;
  }
  return std::nullopt;
}

// The program's bytes: load address, BASIC line, first stage, resident
// part, colour RAM, the regions.
std::vector<std::uint8_t> program_of(const VideoState& state, const Layout& layout,
                                     const std::vector<std::uint8_t>& stage,
                                     const std::vector<std::uint8_t>& resident) {
  std::vector<std::uint8_t> file = {0x01, 0x08, 0x0B, 0x08, 0x0A, 0x00, 0x9E,
                                    '2',  '0',  '6',  '1',  0x00, 0x00, 0x00};
  file.insert(file.end(), stage.begin(), stage.end());
  file.insert(file.end(), resident.begin(), resident.end());
  file.insert(file.end(), state.colorRam.begin(), state.colorRam.end());
  for (const Region& r : layout.regions) {
    file.insert(file.end(), state.ram.begin() + r.start, state.ram.begin() + r.end);
  }
  return file;
}

}  // namespace

SplitViewer split_viewer(const VideoState& state, std::span<const SplitBand> bands) {
  SplitViewer viewer;
  Layout layout;
  layout.regions = regions_of(bands);
  const bool placeable = std::all_of(layout.regions.begin(), layout.regions.end(), [](auto& r) {
    return r.start >= kLowestRegion && r.end <= kVectors;
  });
  Labels labels{0, 0, std::vector<unsigned>(bands.size())};
  layout.resident = 0x1000;  // a first pass: the sizes
  layout.sources.assign(layout.regions.size(), 0);
  const std::size_t stageSize = stage_one(0, 0, 0).size();
  const std::size_t residentSize = resident_part(bands, layout, labels).size();
  const unsigned residentSource = kStageOne + static_cast<unsigned>(stageSize);
  layout.colorSource = residentSource + static_cast<unsigned>(residentSize);
  unsigned next = layout.colorSource + 1000;
  for (std::size_t i = 0; i < layout.regions.size(); ++i) {
    layout.sources[i] = next;
    next += layout.regions[i].end - layout.regions[i].start;
  }
  const unsigned pages = static_cast<unsigned>((residentSize + 255) / 256);
  const std::optional<unsigned> resident = free_run(layout.regions, next, pages * 256);
  if (!placeable || next > kLoadEnd || !resident) {
    viewer.refusal = SplitRefusal::Memory;
    return viewer;
  }
  layout.resident = *resident;
  resident_part(bands, layout, labels);  // the labels at the resident part's address
  const std::vector<std::uint8_t> code = resident_part(bands, layout, labels);
  for (std::size_t k = 0; k < bands.size(); ++k) {
    if (!done_in_time(bands, k, stores_of(bands, k, 0))) {
      viewer.refusal = SplitRefusal::TooClose;
      viewer.closeBand = static_cast<int>(k);
      return viewer;
    }
  }
  viewer.program = program_of(state, layout, stage_one(residentSource, *resident, pages), code);
  return viewer;
}
