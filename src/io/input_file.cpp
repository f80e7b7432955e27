#include "io/input_file.h"

#include <algorithm>
#include <cstring>

bool open_input(const std::string& path, InputFile& input) {
  input = InputFile{};
  InputFacts facts;
  FileDescriptor file = open_system_input(path, facts);
  if (!file) return false;
  input.file = std::move(file);
  input.length = facts.length;
  input.regularFile = facts.regularFile;
  input.identity = facts.identity;
  return true;
}

InputFile memory_input(std::span<const std::uint8_t> bytes) {
  InputFile input;
  input.memory = bytes;
  input.length = static_cast<std::int64_t>(bytes.size());
  return input;
}

void read_at(const InputFile& input, std::int64_t offset, std::span<std::uint8_t> out) {
  constexpr std::uint8_t kMissing = 0xFF;
  if (out.empty()) return;
  if (offset >= input.length) {
    std::fill(out.begin(), out.end(), kMissing);
    return;
  }
  std::size_t skip = 0;  // bytes of `out` that lie before the start of the file
  if (offset < 0) {
    const std::uint64_t before = 0 - static_cast<std::uint64_t>(offset);
    if (before >= out.size()) {
      std::fill(out.begin(), out.end(), kMissing);
      return;
    }
    skip = static_cast<std::size_t>(before);
    offset = 0;
  }
  const auto available = static_cast<std::uint64_t>(input.length - offset);
  const std::size_t count =
      static_cast<std::size_t>(std::min<std::uint64_t>(available, out.size() - skip));
  std::uint8_t* target = out.data() + skip;
  std::size_t got = count;
  if (input.file) {
    got = read_system_file(input.file.fd, offset, target, count, input.readFailed);
  } else {
    std::memcpy(target, input.memory.data() + offset, count);
  }
  // Only the bytes that did not arrive are filled, so a large read is not
  // written twice.
  std::fill(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(skip), kMissing);
  std::fill(target + got, out.data() + out.size(), kMissing);
}

std::uint8_t byte_at(const InputFile& input, std::int64_t offset) {
  std::uint8_t byte = 0xFF;
  read_at(input, offset, std::span{&byte, 1});
  return byte;
}

bool may_be_one_file(const FileIdentity& a, const FileIdentity& b) {
  if (!a.exists || !b.exists || a.device != b.device) return false;
  if (a.wide && b.wide) return *a.wide == *b.wide;
  if (a.narrow && b.narrow) return *a.narrow == *b.narrow;
  return true;
}

bool is_same_file(const std::string& path, const InputFile& input) {
  return input.file && may_be_one_file(identify_file(path), input.identity);
}

bool are_same_file(const std::string& first, const std::string& second) {
  return may_be_one_file(identify_file(first), identify_file(second));
}
