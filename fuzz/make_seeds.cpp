// Writes the fuzz targets' seed corpus into FOLDER: snapshots of every shape
// with text, hires and multicolour screens, the same cut off at a few
// places, small hand-made files that reach both export paths, and machines
// described for the memory target.
// Usage: make_fuzz_seeds FOLDER

#include <cstdio>
#include <cstdlib>
#include <string>

#include "snapshot_builder.h"

namespace {

void save(const std::string& path, const Bytes& bytes) {
  save_or_exit("make_fuzz_seeds", path, bytes);
}

// "VICE", a CIA2 tag and a VIC- tag with its registers: the tag rule's
// smallest file, RAM wholly past its end.
Bytes tagged_stub(std::uint8_t d011, std::uint8_t d016, std::uint8_t d018) {
  Bytes bytes(1300, 0);
  const std::string vice = "VICE", cia2 = "CIA2", vic = "VIC-";
  std::copy(vice.begin(), vice.end(), bytes.begin());
  std::copy(cia2.begin(), cia2.end(), bytes.begin() + 10);
  bytes[32] = 0x97;
  std::copy(vic.begin(), vic.end(), bytes.begin() + 40);
  bytes[40 + 1141 + 0x11] = d011;
  bytes[40 + 1141 + 0x16] = d016;
  bytes[40 + 1141 + 0x18] = d018;
  return bytes;
}

// A module directory whose modules are far shorter than VICE writes them.
Bytes short_modules(const std::string& machine, const std::string& vicModule) {
  Bytes bytes = vsf_header(machine, true);
  append_module(bytes, "C64MEM", 300);
  const std::size_t cia2 = append_module(bytes, "CIA2", 40);
  bytes[cia2 + 22] = 0x96;
  const std::size_t vic = append_module(bytes, vicModule, 1250);
  bytes[vic + 1141 + 0x11] = 0x3B;
  bytes[vic + 23 + 0x11] = 0x3B;
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const struct {
    const char* name;
    VideoRegisters registers;
  } screens[] = {{"text", SnapshotPlan::text_registers()},
                 {"hires", SnapshotPlan::hires_bitmap_registers()},
                 {"multicolour", SnapshotPlan::multicolor_bitmap_registers()}};
  for (Shape shape : {Shape::TagsOnly, Shape::Vice1Fast, Shape::Vice37Fast,
                      Shape::Vice361CycleExact, Shape::Vice310CycleExact}) {
    for (const auto& screen : screens) {
      SnapshotPlan plan;
      plan.shape = shape;
      plan.registers = screen.registers;
      const std::string stem = folder + "/" + shape_name(shape) + "-" + screen.name;
      const Bytes whole = build_snapshot(plan).bytes;
      save(stem + ".vsf", whole);
      // Cut inside the header, the directory, RAM and the last modules.
      for (std::size_t cut :
           {std::size_t{30}, std::size_t{80}, std::size_t{20000}, whole.size() * 9 / 10}) {
        plan.cutAt = cut;
        save(stem + "-cut" + std::to_string(cut) + ".vsf", build_snapshot(plan).bytes);
      }
    }
  }
  // The true screen's paths: a saved frame, a character ROM module, and
  // sprites of every kind over a text screen that reads the ROM.
  for (Shape shape : {Shape::Vice37Fast, Shape::Vice310CycleExact}) {
    SnapshotPlan plan;
    plan.shape = shape;
    plan.savedFrame = Bytes(384 * 272, 0x0E);
    plan.charRom = Bytes(4096, 0x3C);
    plan.registers.d018 = 0x14;  // characters at $1000 of bank $0000: the ROM
    plan.moreRegisters = {{0x15, 0xFF}, {0x17, 0x0F}, {0x1B, 0x33}, {0x1C, 0x55}, {0x1D, 0xF0},
                          {0x00, 24},   {0x01, 50},   {0x02, 250},  {0x03, 120},  {0x10, 0x80}};
    save(folder + "/" + shape_name(shape) + "-true-screen.vsf", build_snapshot(plan).bytes);
  }
  save(folder + "/tagged-text.vsf", tagged_stub(0x1B, 0xC8, 0x15));
  save(folder + "/tagged-hires.vsf", tagged_stub(0x3B, 0xC8, 0x38));
  save(folder + "/tagged-multicolour.vsf", tagged_stub(0x3B, 0xD8, 0x38));
  save(folder + "/short-modules-fast.vsf", short_modules("C64", "VIC-II"));
  save(folder + "/short-modules-cycle-exact.vsf", short_modules("C64SC", "VIC-IISC"));
  // Machines described for the memory target: two register sets ($D000-
  // $D02E and port A each; the second the snapshot's), the raster line
  // where the second takes over, then memory repeated through RAM.
  const struct {
    const char* name;
    VideoRegisters upper, lower;
    std::uint8_t split;
  } machines[] = {
      {"bitmap-over-text", screens[2].registers, screens[0].registers, 195},
      {"text-over-hires", screens[0].registers, screens[1].registers, 120},
      {"hires-over-bitmap", screens[1].registers, screens[2].registers, 60},
  };
  for (const auto& machine : machines) {
    Bytes described;
    for (const VideoRegisters* r : {&machine.upper, &machine.lower}) {
      Bytes set(47, 0);
      set[0x11] = r->d011;
      set[0x15] = 0x03;  // two sprites
      set[0x16] = r->d016;
      set[0x18] = r->d018;
      set[0x20] = static_cast<std::uint8_t>(r == &machine.upper ? 2 : 6);
      set[0x00] = 80;
      set[0x01] = 100;
      set[0x27] = 1;
      described.insert(described.end(), set.begin(), set.end());
      described.push_back(r->cia2PortA);
    }
    described.push_back(machine.split);
    for (int i = 0; i < 512; ++i) described.push_back(static_cast<std::uint8_t>(i * 37 ^ i >> 3));
    save(folder + "/described-" + machine.name, described);
  }
  return 0;
}
