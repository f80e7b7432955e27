#pragma once

// Builds snapshot files byte by byte for the tests and the bundled examples:
// the shapes that VICE writes, with chosen RAM, colour RAM and registers.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "snapshot/snapshot_location.h"
#include "snapshot/video_setup.h"

using Bytes = std::vector<std::uint8_t>;

// The register bytes a snapshot plan sets by name; the others are in
// SnapshotPlan::moreRegisters.
struct VideoRegisters {
  std::uint8_t cia2PortA = 0;  // $DD00, video bank in bits 0-1 (inverted)
  std::uint8_t d011 = 0;       // bit 5: bitmap mode
  std::uint8_t d016 = 0;       // bit 4: multicolour mode
  std::uint8_t d018 = 0;       // screen, bitmap and character set pointers
  std::uint8_t d020 = 0;       // border colour
  std::uint8_t d021 = 0;       // background colour 0
  std::uint8_t d022 = 0;       // background colour 1
  std::uint8_t d023 = 0;       // background colour 2
};

// The video setup the VIC-II decodes from these registers (the others zero).
VideoSetup setup_of(const VideoRegisters& registers);

enum class Shape {
  TagsOnly,           // "VICE", no module directory: RAM at 128, then "CIA2" and "VIC-" blocks
  Vice1Fast,          // format 1.0 file of old VICE: directory at 37, RAM at 128, fast emulator
  Vice37Fast,         // VICE 3.7, fast emulator, machine "C64"
  Vice361CycleExact,  // VICE 3.6.1, cycle-exact emulator "C64SC", module "VIC-II"
  Vice310CycleExact,  // VICE 3.10, cycle-exact emulator "C64SC", module "VIC-IISC"
};

// The shape's name, for test names and messages.
std::string shape_name(Shape shape);
inline std::string shape_test_name(const auto& info) {
  return shape_name(info.param);
}
inline void PrintTo(Shape shape, std::ostream* out) {
  *out << shape_name(shape);
}

struct SnapshotPlan {
  Shape shape = Shape::Vice37Fast;
  Bytes ram = default_ram();             // 64 KiB
  Bytes colorRam = default_color_ram();  // 1024 bytes, the first 1000 shown
  VideoRegisters registers = text_registers();
  // Further register images, $D000 + key: sprites, $D024, ... ({0x15, 0x01}: sprite 0 on).
  std::map<unsigned, std::uint8_t> moreRegisters;
  // A C64ROM module after C64MEM whose character ROM is these 4096 bytes
  // (shapes with a module directory).
  std::optional<Bytes> charRom;
  // The frame VICE saved: 384 x 272 colour indices, put at the end of the
  // VIC-II module where VICE 3.6 and later keep it (VICE 3.x shapes). Without
  // it that frame is all zeros, as VICE leaves it in some snapshots.
  std::optional<Bytes> savedFrame;
  std::optional<std::string> machine;  // overrides the shape's machine name
  // Module sizes (header included) instead of the shape's, by module name:
  // what does not fit is cut off, the modules after it move.
  std::map<std::string, std::uint32_t> moduleSizes;
  bool decoyTags = true;  // "VIC-" and "CIA2" also in RAM and in a module after the VIC-II's
  std::optional<std::size_t> cutAt;  // keep only this many bytes of the file

  // A pattern in which every byte of a block depends on its address.
  static Bytes default_ram();
  static Bytes default_color_ram();
  // Standard text screen: bank $0000, screen $0400, charset $1000.
  static VideoRegisters text_registers();
  // Multicolour bitmap: bank $4000 ($96), screen $4400, bitmap $6000.
  static VideoRegisters multicolor_bitmap_registers();
  // Hires bitmap: bank $0000, screen $0C00, bitmap $2000.
  static VideoRegisters hires_bitmap_registers();
};

struct BuiltSnapshot {
  Bytes bytes;
  SnapshotLocation location;  // where the reader must find RAM, registers and colour RAM
};

BuiltSnapshot build_snapshot(const SnapshotPlan& plan);

// Pieces for hand-made files.
// The 37- or 58-byte file header with the machine name.
Bytes vsf_header(const std::string& machine, bool versionBlock, std::uint8_t major = 2);
// Appends a module header (name, version, size including the header) and
// size - 22 zero bytes (as many as `dataBytes` says when given); returns the
// module's start.
std::size_t append_module(Bytes& file, const std::string& name, std::uint32_t size,
                          std::optional<std::size_t> dataBytes = std::nullopt,
                          std::uint8_t major = 1, std::uint8_t minor = 0);

// Where the VIC-II module of a built snapshot starts (shapes with a module
// directory), and where its saved frame's first visible pixel lies.
std::size_t vic_module_start(const Bytes& file);
std::size_t saved_frame_pixel(const Bytes& file, int x, int y);

// Files the reader refuses, in this order: not a VICE file, a VICE file
// without VIC-II state, one without CIA2 state, a C128 snapshot, a VICE
// 3.10 snapshot whose C64MEM module size is zero, one that lacks its
// C64MEM module, and a VICE 3.7 snapshot whose CIA2 module is too small to
// hold port A.
std::vector<Bytes> refused_snapshots();

// Writes `bytes` to `path`, creating or truncating it; false when that fails.
bool save_bytes(const std::string& path, const Bytes& bytes);
// The same, or a message naming `program` and `path` and exit status 1.
void save_or_exit(const char* program, const std::string& path, const Bytes& bytes);

// The `count` bytes of `bytes` at `offset`, $FF past the end.
Bytes slice(const Bytes& bytes, std::int64_t offset, std::size_t count);
Bytes slice(const Bytes& bytes, std::size_t offset, std::size_t count);
