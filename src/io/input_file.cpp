#include "io/input_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// Directories and sockets cannot be read as a stream of bytes, and opening a
// FIFO waits for a writer that may never come: none of them is opened.
bool never_opened(const std::string& path) {
  std::error_code error;
  const std::filesystem::file_type type = std::filesystem::status(path, error).type();
  return type == std::filesystem::file_type::directory ||
         type == std::filesystem::file_type::fifo || type == std::filesystem::file_type::socket;
}

}  // namespace

bool open_input(const std::string& path, InputFile& input) {
  input = InputFile{};
  if (never_opened(path)) return false;
  FileHandle file{std::fopen(path.c_str(), "rb")};
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return false;
  const long length = std::ftell(file.get());
  if (length < 0) return false;
  input.file = std::move(file);
  input.length = length;
  return true;
}

InputFile memory_input(std::span<const std::uint8_t> bytes) {
  InputFile input;
  input.memory = bytes;
  input.length = static_cast<std::int64_t>(bytes.size());
  return input;
}

void read_at(const InputFile& input, std::int64_t offset, std::span<std::uint8_t> out) {
  std::fill(out.begin(), out.end(), std::uint8_t{0xFF});
  if (out.empty() || offset >= input.length) return;
  std::size_t skip = 0;  // bytes of `out` that lie before the start of the file
  if (offset < 0) {
    const std::uint64_t before = 0 - static_cast<std::uint64_t>(offset);
    if (before >= out.size()) return;
    skip = static_cast<std::size_t>(before);
    offset = 0;
  }
  const auto available = static_cast<std::uint64_t>(input.length - offset);
  const std::size_t count =
      static_cast<std::size_t>(std::min<std::uint64_t>(available, out.size() - skip));
  std::uint8_t* target = out.data() + skip;
  if (!input.file) {
    std::memcpy(target, input.memory.data() + offset, count);
    return;
  }
  if (std::fseek(input.file.get(), static_cast<long>(offset), SEEK_SET) != 0) return;
  const std::size_t got = std::fread(target, 1, count, input.file.get());
  std::fill(target + got, target + count, std::uint8_t{0xFF});
}

std::uint8_t byte_at(const InputFile& input, std::int64_t offset) {
  std::uint8_t byte = 0xFF;
  read_at(input, offset, std::span{&byte, 1});
  return byte;
}
