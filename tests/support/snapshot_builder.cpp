#include "snapshot_builder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "io/little_endian.h"

namespace {

void put_text(Bytes& bytes, std::size_t at, const std::string& text) {
  std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

void put_registers(Bytes& file, std::size_t d000, const SnapshotPlan& plan) {
  for (const auto& [reg, value] : plan.moreRegisters) file[d000 + reg] = value;
  const VideoRegisters& r = plan.registers;
  file[d000 + 0x11] = r.d011;
  file[d000 + 0x16] = r.d016;
  file[d000 + 0x18] = r.d018;
  file[d000 + 0x20] = r.d020;
  file[d000 + 0x21] = r.d021;
  file[d000 + 0x22] = r.d022;
  file[d000 + 0x23] = r.d023;
}

// The size field of the module header at `start`.
std::size_t module_size_at(const Bytes& file, std::size_t start) {
  return read_le32(std::span<const std::uint8_t, 4>(file.data() + start + 18, 4));
}

void put_le32(Bytes& file, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(value >> 8 * i);
}

void put_block(Bytes& file, std::size_t at, const Bytes& block) {
  std::copy(block.begin(), block.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
}

// Puts the tags into RAM where a tag search would find them.
Bytes ram_with_decoys(const SnapshotPlan& plan) {
  Bytes ram = plan.ram;
  if (plan.decoyTags) {
    put_text(ram, 0xC000, "VIC-");
    put_text(ram, 0xC100, "CIA2");
  }
  return ram;
}

struct ModuleSize {
  const char* name;
  std::uint32_t size;
  std::uint8_t major = 1;
  std::uint8_t minor = 0;
};

// Module lists measured on real files; the VIC-II module is the one named
// VIC-II or VIC-IISC.
struct ShapeLayout {
  const char* machine;
  bool versionBlock;
  std::vector<ModuleSize> modules;
  bool cycleExact;
};

ShapeLayout layout_of(Shape shape) {
  switch (shape) {
    case Shape::Vice1Fast:
      return {"C64",
              false,
              {{"MAINCPU", 65},
               {"C64MEM", 65562},
               {"CIA2", 40},
               {"VIC-II", 1250, 1, 1},
               {"KEYBOARD", 200}},
              false};
    case Shape::Vice37Fast:
      return {"C64",
              true,
              {{"MAINCPU", 93, 1, 2},
               {"C64MEM", 65577, 0, 1},
               {"CIA1", 74},
               {"C64MEMHACKS", 23},
               {"CIA2", 74, 2, 3},
               {"SID", 100},
               {"SIDEXTENDED", 3422},
               {"VIC-II", 160535, 1, 3},
               {"KEYBOARD", 200},
               {"JOYPORT0", 208}},
              false};
    case Shape::Vice361CycleExact:
      return {"C64SC",
              true,
              {{"MAINCPU", 113, 1, 2},
               {"C64MEM", 65577, 0, 1},
               {"CIA1", 71},
               {"C64MEMHACKS", 23},
               {"CIA2", 71, 2, 2},
               {"SID", 3516},
               {"VIC-II", 123437, 1, 3},
               {"KEYBOARD", 432}},
              true};
    case Shape::Vice310CycleExact:
    case Shape::TagsOnly:
      break;
  }
  return {"C64SC",
          true,
          {{"MAINC64CPU", 125, 1, 5},
           {"C64MEM", 65577, 0, 1},
           {"CIA1", 99},
           {"C64MEMHACKS", 23},
           {"CIA2", 99, 2, 5},
           {"SID", 885},
           {"VIC-IISC", 123437, 1, 4},
           {"KEYBOARD", 435}},
          true};
}

// Gives the module at `start` the size `size`, header included: what lies
// past it is cut off, or zeros are added; the modules after it move and
// the locations in them with them.
void resize_module(BuiltSnapshot& built, std::size_t start, std::uint32_t size) {
  Bytes& file = built.bytes;
  const std::size_t old = module_size_at(file, start);
  const std::size_t end = start + old;
  if (size < old) {
    file.erase(file.begin() + static_cast<std::ptrdiff_t>(start + size),
               file.begin() + static_cast<std::ptrdiff_t>(end));
  } else {
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(end), size - old, 0);
  }
  put_le32(file, start + 18, size);
  const std::int64_t shift = static_cast<std::int64_t>(size) - static_cast<std::int64_t>(old);
  for (std::int64_t* offset : {&built.location.ramOffset, &built.location.registerOffset,
                               &built.location.colorRamOffset, &built.location.cia2Offset}) {
    if (*offset >= static_cast<std::int64_t>(end)) *offset += shift;
  }
}

BuiltSnapshot build_tags_only(const SnapshotPlan& plan) {
  BuiltSnapshot built;
  Bytes& file = built.bytes;
  file.assign(128, 0);
  put_text(file, 0, "VICE");
  const Bytes ram = ram_with_decoys(plan);
  file.insert(file.end(), ram.begin(), ram.end());
  const std::size_t cia2 = file.size();
  file.resize(cia2 + 40, 0);
  put_text(file, cia2, "CIA2");
  file[cia2 + 22] = plan.registers.cia2PortA;
  const std::size_t vic = file.size();
  file.resize(vic + 1250, 0);
  put_text(file, vic, "VIC-II");
  put_block(file, vic + 65, plan.colorRam);
  put_registers(file, vic + 1141, plan);
  built.location.ramOffset = kRamFileOffset;
  built.location.registerOffset = static_cast<std::int64_t>(vic + 1165);
  built.location.colorRamOffset = static_cast<std::int64_t>(vic + 65);
  built.location.cia2Offset = static_cast<std::int64_t>(cia2 + 22);
  return built;
}

BuiltSnapshot build_with_directory(const SnapshotPlan& plan) {
  const ShapeLayout layout = layout_of(plan.shape);
  BuiltSnapshot built;
  Bytes& file = built.bytes;
  file = vsf_header(plan.machine.value_or(layout.machine), layout.versionBlock,
                    plan.shape == Shape::Vice1Fast ? 1 : 2);
  std::size_t vic = 0;
  std::vector<std::pair<std::size_t, std::uint32_t>> resized;  // module start, size wanted
  for (const ModuleSize& module : layout.modules) {
    const std::size_t start =
        append_module(file, module.name, module.size, std::nullopt, module.major, module.minor);
    const std::string name = module.name;
    if (const auto size = plan.moduleSizes.find(name); size != plan.moduleSizes.end()) {
      resized.emplace_back(start, size->second);
    }
    if (name == "C64MEM") {
      put_block(file, start + 26, ram_with_decoys(plan));
      built.location.ramOffset = static_cast<std::int64_t>(start + 26);
      if (plan.charRom) {  // kernal and BASIC (8 KiB each, zeros here), then the character ROM
        const std::size_t rom = append_module(file, "C64ROM", 20502, std::nullopt, 0, 1);
        put_block(file, rom + 22 + 16384, *plan.charRom);
      }
    } else if (name == "CIA2") {
      file[start + 22] = plan.registers.cia2PortA;
      built.location.cia2Offset = static_cast<std::int64_t>(start + 22);
    } else if (name == "VIC-II" || name == "VIC-IISC") {
      vic = start;
    } else if (name == "KEYBOARD" && plan.decoyTags) {
      put_text(file, start + 30, "VIC-");  // text after the real module fools a tag search
      put_text(file, start + 40, "CIA2");
    }
  }
  const std::size_t d000 = vic + (layout.cycleExact ? 23 : 1141);
  const std::size_t colors = vic + (layout.cycleExact ? 783 : 65);
  put_registers(file, d000, plan);
  put_block(file, colors, plan.colorRam);
  if (plan.shape != Shape::Vice1Fast) {  // VICE 3.x: the frame buffer ends the module
    const std::size_t values = vic + (layout.cycleExact ? 2081 : 1259);
    const std::uint32_t width = layout.cycleExact ? 384 : 504;
    put_le32(file, values, width);  // width, height, pitch
    put_le32(file, values + 4, 312);
    put_le32(file, values + 8, width);
    if (plan.savedFrame) {
      for (int y = 0; y < 272; ++y) {
        const auto row = plan.savedFrame->begin() + y * 384;
        std::copy(row, row + 384,
                  file.begin() + static_cast<std::ptrdiff_t>(saved_frame_pixel(file, 0, y)));
      }
    }
  }
  built.location.registerOffset = static_cast<std::int64_t>(d000 + 0x18);
  built.location.colorRamOffset = static_cast<std::int64_t>(colors);
  for (auto it = resized.rbegin(); it != resized.rend(); ++it)
    resize_module(built, it->first, it->second);
  return built;
}

}  // namespace

std::string shape_name(Shape shape) {
  switch (shape) {
    case Shape::TagsOnly:
      return "TagsOnly";
    case Shape::Vice1Fast:
      return "Vice1Fast";
    case Shape::Vice37Fast:
      return "Vice37Fast";
    case Shape::Vice361CycleExact:
      return "Vice361CycleExact";
    case Shape::Vice310CycleExact:
      break;
  }
  return "Vice310CycleExact";
}

Bytes SnapshotPlan::default_ram() {
  Bytes ram(0x10000);
  for (std::size_t a = 0; a < ram.size(); ++a) ram[a] = static_cast<std::uint8_t>(a ^ (a >> 8) * 7);
  return ram;
}

Bytes SnapshotPlan::default_color_ram() {
  Bytes colors(1024);
  for (std::size_t i = 0; i < colors.size(); ++i) colors[i] = static_cast<std::uint8_t>(i * 13 + 5);
  return colors;
}

VideoRegisters SnapshotPlan::text_registers() {
  VideoRegisters r;
  r.cia2PortA = 0x97;
  r.d011 = 0x1B;
  r.d016 = 0xC8;
  r.d018 = 0x15;
  r.d020 = 0x0E;
  r.d021 = 0x06;
  r.d022 = 0x01;
  r.d023 = 0x02;
  return r;
}

VideoRegisters SnapshotPlan::multicolor_bitmap_registers() {
  VideoRegisters r = text_registers();
  r.cia2PortA = 0x96;
  r.d011 = 0x3B;
  r.d016 = 0xD8;
  r.d018 = 0x18;
  r.d020 = 0x00;
  r.d021 = 0x0B;
  return r;
}

VideoRegisters SnapshotPlan::hires_bitmap_registers() {
  VideoRegisters r = text_registers();
  r.d011 = 0x3B;
  r.d016 = 0xC8;
  r.d018 = 0x38;
  r.d020 = 0x0C;
  return r;
}

Bytes vsf_header(const std::string& machine, bool versionBlock, std::uint8_t major) {
  Bytes header(versionBlock ? 58 : 37, 0);
  put_text(header, 0, std::string("VICE Snapshot File\x1A", 19));
  header[19] = major;
  header[20] = 0;
  put_text(header, 21, machine.substr(0, 16));
  if (versionBlock) {
    put_text(header, 37, std::string("VICE Version\x1A", 13));
    header[50] = 3;  // VICE 3.7.0
    header[51] = 7;
  }
  return header;
}

std::size_t append_module(Bytes& file, const std::string& name, std::uint32_t size,
                          std::optional<std::size_t> dataBytes, std::uint8_t major,
                          std::uint8_t minor) {
  const std::size_t start = file.size();
  file.resize(start + 22, 0);
  put_text(file, start, name.substr(0, 16));
  file[start + 16] = major;
  file[start + 17] = minor;
  for (int i = 0; i < 4; ++i) file[start + 18 + i] = static_cast<std::uint8_t>(size >> (8 * i));
  const std::size_t data = dataBytes.value_or(size >= 22 ? size - 22 : 0);
  file.resize(start + 22 + data, 0);
  return start;
}

BuiltSnapshot build_snapshot(const SnapshotPlan& plan) {
  BuiltSnapshot built =
      plan.shape == Shape::TagsOnly ? build_tags_only(plan) : build_with_directory(plan);
  if (plan.cutAt && *plan.cutAt < built.bytes.size()) built.bytes.resize(*plan.cutAt);
  return built;
}

std::vector<Bytes> refused_snapshots() {
  Bytes noVic(300, 0);
  std::copy_n("VICE", 4, noVic.begin());
  Bytes noCia2 = noVic;
  std::copy_n("VIC-", 4, noCia2.begin() + 100);
  SnapshotPlan c128;
  c128.machine = "C128";
  SnapshotPlan current;
  current.shape = Shape::Vice310CycleExact;
  Bytes zeroSize = build_snapshot(current).bytes;
  Bytes noMemory = zeroSize;
  const std::size_t c64mem = 58 + 125;  // after the header and MAINC64CPU
  std::fill_n(zeroSize.begin() + static_cast<std::ptrdiff_t>(c64mem + 18), 4, 0);
  noMemory[c64mem] = 'X';  // "X64MEM": no module of that name
  SnapshotPlan smallCia2;
  smallCia2.moduleSizes = {{"CIA2", 22}};  // no room for port A
  return {Bytes{'P', 'K', 3, 4, 'V', 'I', 'C', 'E'},
          noVic,
          noCia2,
          build_snapshot(c128).bytes,
          zeroSize,
          noMemory,
          build_snapshot(smallCia2).bytes};
}

Bytes slice(const Bytes& bytes, std::int64_t offset, std::size_t count) {
  Bytes out(count, 0xFF);
  for (std::size_t i = 0; i < count; ++i) {
    const std::int64_t at = offset + static_cast<std::int64_t>(i);
    if (at >= 0 && at < static_cast<std::int64_t>(bytes.size())) {
      out[i] = bytes[static_cast<std::size_t>(at)];
    }
  }
  return out;
}

Bytes slice(const Bytes& bytes, std::size_t offset, std::size_t count) {
  return slice(bytes, static_cast<std::int64_t>(offset), count);
}

std::size_t vic_module_start(const Bytes& file) {
  for (const char* name : {"VIC-IISC", "VIC-II"}) {
    const std::string tag(name, std::strlen(name) + 1);  // the name and its first padding byte
    std::size_t at = 58;
    while (at + 22 <= file.size()) {
      if (std::equal(tag.begin(), tag.end(), file.begin() + static_cast<std::ptrdiff_t>(at)))
        return at;
      const std::size_t size = module_size_at(file, at);
      if (size < 22) break;
      at += size;
    }
  }
  return 0;
}

std::size_t saved_frame_pixel(const Bytes& file, int x, int y) {
  const std::size_t vic = vic_module_start(file);
  const bool cycleExact = std::string(file.begin() + 21, file.begin() + 26) == "C64SC";
  const std::size_t width = cycleExact ? 384 : 504;
  const std::size_t lineZero = vic + (cycleExact ? 2081 : 1259) + 12 + 2 * width;
  return lineZero + static_cast<std::size_t>(y + 16) * width + (cycleExact ? 0 : 104) +
         static_cast<std::size_t>(x);
}

VideoSetup setup_of(const VideoRegisters& r) {
  RegisterImages vic{};
  vic[0x11] = r.d011;
  vic[0x16] = r.d016;
  vic[0x18] = r.d018;
  vic[0x20] = r.d020;
  vic[0x21] = r.d021;
  vic[0x22] = r.d022;
  vic[0x23] = r.d023;
  return decode_video_setup(vic, r.cia2PortA);
}

bool save_bytes(const std::string& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written =
      bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

void save_or_exit(const char* program, const std::string& path, const Bytes& bytes) {
  if (save_bytes(path, bytes)) return;
  std::fprintf(stderr, "%s: cannot write %s\n", program, path.c_str());
  std::exit(1);
}
