#include "snapshot/module_directory.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string_view>

namespace {

constexpr std::string_view kMagic{"VICE Snapshot File\x1A", 19};
constexpr std::string_view kVersionMagic{"VICE Version\x1A", 13};
constexpr std::int64_t kHeaderLength = 37;  // magic, format version, machine name
constexpr std::int64_t kMachineNameOffset = 21;
constexpr std::int64_t kVersionBlockLength = 21;

// A name field: up to its first $00, at most the field's length.
std::string field_text(std::span<const std::uint8_t> field) {
  const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
  return std::string(field.begin(), end);
}

bool bytes_equal(std::span<const std::uint8_t> bytes, std::string_view text) {
  return bytes.size() == text.size() && std::memcmp(bytes.data(), text.data(), text.size()) == 0;
}

void record(ModuleDirectory& directory, std::string_view name, const ModuleEntry& entry) {
  std::optional<ModuleEntry>* slot = nullptr;
  if (name == "C64MEM")
    slot = &directory.c64mem;
  else if (name == "CIA2")
    slot = &directory.cia2;
  else if (name == "VIC-II")
    slot = &directory.vicii;
  else if (name == "VIC-IISC")
    slot = &directory.viciisc;
  else if (name == "C64ROM")
    slot = &directory.c64rom;
  if (slot && !*slot) *slot = entry;
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
  directory.machine = field_text(bytes.subspan(kMachineNameOffset, 16));

  std::int64_t start = kHeaderLength;
  if (bytes_equal(bytes.subspan(kHeaderLength, kVersionMagic.size()), kVersionMagic)) {
    directory.versionBlock = true;
    start += kVersionBlockLength;
  }
  // Every module is at least a header long, so each step moves on and the
  // walk ends within length / 22 steps.
  while (start + kModuleHeaderSize <= input.length) {
    std::array<std::uint8_t, kModuleHeaderSize> module{};
    read_at(input, start, module);
    const std::int64_t size = std::int64_t{module[18]} | std::int64_t{module[19]} << 8 |
                              std::int64_t{module[20]} << 16 | std::int64_t{module[21]} << 24;
    if (size < kModuleHeaderSize) {
      directory.badSize = true;
      break;
    }
    ++directory.moduleCount;
    record(directory, field_text(std::span{module}.first(16)),
           ModuleEntry{start, size, module[16], module[17]});
    if (start + size > input.length) break;
    start += size;
  }
  return directory;
}
