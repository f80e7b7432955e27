#include "snapshot/module_directory.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "io/little_endian.h"

namespace {

constexpr std::string_view kMagic{"VICE Snapshot File\x1A", 19};
constexpr std::string_view kVersionMagic{"VICE Version\x1A", 13};
constexpr std::int64_t kHeaderLength = 37;  // magic, format version, machine name
constexpr std::int64_t kMachineNameOffset = 21;
constexpr std::int64_t kVersionBlockLength = 21;
constexpr std::size_t kNameLength = 16;
// The walk reads the file a window at a time, so that a file of many small
// modules costs one read per window, not one per module.
constexpr std::size_t kWindow = std::size_t{64} << 10;

// A name field: up to its first $00, at most the field's length.
std::string field_text(std::span<const std::uint8_t> field) {
  const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
  return std::string(field.begin(), end);
}

bool bytes_equal(std::span<const std::uint8_t> bytes, std::string_view text) {
  return bytes.size() == text.size() && std::memcmp(bytes.data(), text.data(), text.size()) == 0;
}

// True when the name field holds `name` up to its first $00.
bool name_is(const std::uint8_t* field, std::string_view name) {
  return std::memcmp(field, name.data(), name.size()) == 0 &&
         (name.size() == kNameLength || field[name.size()] == 0);
}

// The slot of the modules the grabber reads; null for every other name.
// Tested on the first byte before any comparison: most modules are others.
std::optional<ModuleEntry>* slot_of(ModuleDirectory& directory, const std::uint8_t* name) {
  if (name[0] == 'C') {
    if (name_is(name, "C64MEM")) return &directory.c64mem;
    if (name_is(name, "CIA2")) return &directory.cia2;
    if (name_is(name, "C64ROM")) return &directory.c64rom;
  } else if (name[0] == 'V') {
    if (name_is(name, "VIC-II")) return &directory.vicii;
    if (name_is(name, "VIC-IISC")) return &directory.viciisc;
  }
  return nullptr;
}

}  // namespace

ModuleDirectory read_module_directory(const InputFile& input) {
  ModuleDirectory directory;
  std::array<std::uint8_t, kHeaderLength + kVersionBlockLength> header{};
  read_at(input, 0, header);
  const auto bytes = std::span<const std::uint8_t>(header);
  if (input.length < kHeaderLength || !bytes_equal(bytes.first(kMagic.size()), kMagic)) {
    return directory;
  }
  directory.hasMagic = true;
  directory.machine = field_text(bytes.subspan(kMachineNameOffset, kNameLength));

  std::int64_t start = kHeaderLength;
  if (bytes_equal(bytes.subspan(kHeaderLength, kVersionMagic.size()), kVersionMagic)) {
    directory.versionBlock = true;
    start += kVersionBlockLength;
  }
  // Every module is at least a header long, so each step moves on and the
  // walk ends within length / 22 steps. The headers are read a window at a
  // time; a header that runs past a window's end starts the next window.
  std::vector<std::uint8_t> window(kWindow);
  std::int64_t count = 0;  // kept apart from `directory`, whose slots are written through pointers
  while (start + kModuleHeaderSize <= input.length) {
    const auto held = static_cast<std::size_t>(
        std::min<std::int64_t>(input.length - start, static_cast<std::int64_t>(kWindow)));
    read_at(input, start, std::span(window).first(held));
    // Walked by pointer: each header's address depends on the size read
    // from the one before, so the fewer steps between, the faster.
    const std::uint8_t* const first = window.data();
    const std::uint8_t* const last = first + held - kModuleHeaderSize;  // last header start
    const std::uint8_t* module = first;
    const std::int64_t windowStart = start;
    for (;;) {  // ends at a header that is bad, runs past the file or starts past `last`
      const std::int64_t size =
          read_le32(std::span<const std::uint8_t, 4>(module + kNameLength + 2, 4));
      const std::int64_t at = windowStart + (module - first);
      if (size < kModuleHeaderSize) {
        directory.badSize = true;
        directory.moduleCount = count;
        return directory;
      }
      ++count;
      if (std::optional<ModuleEntry>* slot = slot_of(directory, module); slot && !*slot) {
        *slot = ModuleEntry{at, size, module[kNameLength], module[kNameLength + 1]};
      }
      if (at + size > input.length) {
        directory.runsPastEnd = true;
        directory.moduleCount = count;
        return directory;
      }
      if (size > last - module) {  // the next header starts past this window
        start = at + size;
        break;
      }
      module += size;
    }
  }
  directory.moduleCount = count;
  directory.runsPastEnd = start < input.length;  // a header cut off by the end of the file
  return directory;
}
