// The viewer program as a C64 runs it: the machine it leaves shows the
// screen's blocks, where the registers its stub writes point.

#include "viewer/viewer_program.h"

#include <gtest/gtest.h>

#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"

namespace {

// Just enough of a 6502 and a C64 to run the viewer programs: the
// instructions the stubs use, RAM, the VIC-II registers, CIA2 port A and
// colour RAM. Written from the processor's documentation, apart from the
// program's model of what the stubs do.
struct Cpu6502 {
  VideoState machine;
  std::uint8_t a = 0, x = 0, y = 0;
  bool zero = false;
  std::uint16_t pc = 0;

  std::uint8_t read(unsigned address) const {
    if (address >= 0xD800 && address < 0xD800 + kColorRamCells) {
      return machine.colorRam[address - 0xD800];
    }
    return machine.ram[address & 0xFFFF];
  }
  void write(unsigned address, std::uint8_t value) {
    if (address >= 0xD000 && address < 0xD000 + kVicRegisterCount) {
      machine.vic[address - 0xD000] = value;
    } else if (address == 0xDD00) {
      machine.cia2PortA = value;
    } else if (address >= 0xD800 && address < 0xDC00) {
      if (address < 0xD800 + kColorRamCells) machine.colorRam[address - 0xD800] = value & 15;
    } else {
      machine.ram[address & 0xFFFF] = value;
    }
  }
  std::uint16_t word(unsigned at) const {
    return static_cast<std::uint16_t>(read(at) | read(at + 1) << 8);
  }
  std::uint8_t flags(std::uint8_t value) {
    zero = value == 0;
    return value;
  }

  // Runs from `start` until the program loops on itself; false on an
  // instruction the stubs do not use or when it runs too long.
  bool run(std::uint16_t start) {
    pc = start;
    for (int steps = 0; steps < 1'000'000; ++steps) {
      const std::uint16_t at = pc;
      const std::uint8_t op = read(pc);
      const std::uint16_t target = word(pc + 1);
      // clang-format off
      switch (op) {
        case 0xA9: a = flags(read(pc + 1)), pc += 2; break;  // LDA #
        case 0xA2: x = flags(read(pc + 1)), pc += 2; break;  // LDX #
        case 0xA0: y = flags(read(pc + 1)), pc += 2; break;  // LDY #
        case 0x8D: write(target, a), pc += 3; break;         // STA abs
        case 0xBD: a = flags(read(target + x)), pc += 3; break;  // LDA abs,X
        case 0x9D: write(target + x, a), pc += 3; break;         // STA abs,X
        case 0xEE: write(target, flags(static_cast<std::uint8_t>(read(target) + 1))), pc += 3; break;  // INC
        case 0xE8: x = flags(static_cast<std::uint8_t>(x + 1)), pc += 1; break;  // INX
        case 0xCA: x = flags(static_cast<std::uint8_t>(x - 1)), pc += 1; break;  // DEX
        case 0x88: y = flags(static_cast<std::uint8_t>(y - 1)), pc += 1; break;  // DEY
        case 0xD0:                                                               // BNE
        case 0xF0: {                                                             // BEQ
          const bool taken = (op == 0xF0) == zero;
          const int offset = taken ? static_cast<std::int8_t>(read(pc + 1)) : 0;
          pc = static_cast<std::uint16_t>(pc + 2 + offset);
          break;
        }
        case 0x4C: pc = target; break;  // JMP
        default:
          ADD_FAILURE() << "opcode " << int{op} << " at " << at;
          return false;
      }
      // clang-format on
      if (pc == at) return true;  // an endless loop: the program is done
    }
    ADD_FAILURE() << "no end";
    return false;
  }
};

Bytes block(const VideoState& state, std::uint16_t address, std::size_t count) {
  return Bytes(state.ram.begin() + address, state.ram.begin() + address + count);
}

TEST(ViewerMachine, ShowsTheScreensBlocksWithTheStubsRegisters) {
  struct Case {
    ViewerKind kind;
    VideoRegisters registers;
    std::uint8_t d011, d016;  // as the viewer leaves them
  };
  VideoRegisters text = SnapshotPlan::text_registers();
  text.d016 = 0xD3;  // multicolour, 38 columns, scrolled by 3: the text viewer keeps it
  text.d018 = 0x1C;  // characters $3000, not where the viewer shows them
  const Case cases[] = {
      {ViewerKind::Text, text, 0x1B, 0xD3},
      {ViewerKind::Hires, SnapshotPlan::hires_bitmap_registers(), 0x3B, 0xC8},
      {ViewerKind::Multicolor, SnapshotPlan::multicolor_bitmap_registers(), 0x3B, 0x18},
  };
  for (const Case& c : cases) {
    SnapshotPlan plan;
    plan.registers = c.registers;
    const SnapshotReading grab = read_snapshot(memory_input(build_snapshot(plan).bytes));
    const VideoSetup& setup = grab.setup;
    ASSERT_EQ(viewer_kind_of(setup), c.kind);

    const VideoState machine =
        viewer_machine(c.kind, viewer_program(c.kind, setup, screen_blocks(setup, grab.state)));
    const VideoSetup shown = decode_video_setup(machine);
    EXPECT_EQ(shown.bankBase, 0x0000);
    EXPECT_EQ(shown.d011, c.d011);
    EXPECT_EQ(shown.d016, c.d016);
    EXPECT_EQ(shown.d020, setup.d020);
    EXPECT_EQ(block(machine, shown.screenAddress, 1000),
              block(grab.state, setup.screenAddress, 1000));
    if (c.kind == ViewerKind::Text) {
      EXPECT_EQ(block(machine, shown.charsetAddress, 2048),
                block(grab.state, setup.charsetAddress, 2048))
          << "all 256 characters, $FA-$FF included";
      EXPECT_EQ((Bytes{shown.d021, shown.d022, shown.d023}),
                (Bytes{setup.d021, setup.d022, setup.d023}));
    } else {
      EXPECT_EQ(block(machine, shown.bitmapAddress, 8000),
                block(grab.state, setup.bitmapAddress, 8000));
    }
    if (c.kind != ViewerKind::Hires) {
      EXPECT_EQ(machine.colorRam, grab.state.colorRam);
      EXPECT_EQ(shown.d021, setup.d021);
    }
    EXPECT_EQ(machine.reg(0xD015), 0) << "no sprites";
  }
}

TEST(ViewerMachine, IsWhatTheProgramLeavesWhenA6502RunsIt) {
  for (const VideoRegisters& registers :
       {SnapshotPlan::text_registers(), SnapshotPlan::hires_bitmap_registers(),
        SnapshotPlan::multicolor_bitmap_registers()}) {
    SnapshotPlan plan;
    plan.registers = registers;
    const SnapshotReading grab = read_snapshot(memory_input(build_snapshot(plan).bytes));
    const ViewerKind kind = viewer_kind_of(grab.setup);
    const std::vector<std::uint8_t> program =
        viewer_program(kind, grab.setup, screen_blocks(grab.setup, grab.state));
    const VideoState model = viewer_machine(kind, program);

    // The C64 after LOAD and RUN: the program in RAM from $0801, the video
    // registers as BASIC leaves them; SYS 2069 starts the code.
    Cpu6502 cpu;
    cpu.machine = model;
    cpu.machine.ram.assign(kRamSize, 0);
    std::copy(program.begin() + 2, program.end(), cpu.machine.ram.begin() + 0x0801);
    cpu.machine.colorRam.fill(0);
    cpu.machine.cia2PortA = 0x97;
    cpu.machine.vic = RegisterImages{};
    cpu.machine.vic[0x11] = 0x1B;
    cpu.machine.vic[0x16] = 0xC8;
    cpu.machine.vic[0x18] = 0x15;
    cpu.machine.vic[0x20] = 0x0E;
    cpu.machine.vic[0x21] = 0x06;
    cpu.machine.vic[0x22] = 0x01;
    cpu.machine.vic[0x23] = 0x02;
    cpu.machine.vic[0x24] = 0x03;
    ASSERT_TRUE(cpu.run(2069));

    EXPECT_EQ(cpu.machine.vic, model.vic);
    EXPECT_EQ(cpu.machine.cia2PortA, model.cia2PortA);
    for (std::size_t i = 0; i < kColorRamCells; ++i) {  // colour RAM keeps 4 bits
      ASSERT_EQ(cpu.machine.colorRam[i], model.colorRam[i] & 15) << i;
    }
    // RAM, but for the operands the text stub raises as it copies.
    Bytes ran = cpu.machine.ram, modelled = model.ram;
    for (const std::size_t operand : {0x0839, 0x083C, 0x084F, 0x0852}) {
      if (kind == ViewerKind::Text) ran[operand] = modelled[operand] = 0;
    }
    EXPECT_EQ(ran, modelled);
  }
}

}  // namespace
