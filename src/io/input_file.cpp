#include "io/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

bool open_input(const std::string& path, InputFile& input) {
  input = InputFile{};
  // O_NONBLOCK: opening a FIFO must not wait for a writer that may never
  // come. It is refused below, as are directories, which cannot be read as
  // a stream of bytes.
  FileDescriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  if (!file) return false;
  struct stat status {};
  if (fstat(file.fd, &status) != 0 || S_ISDIR(status.st_mode) || S_ISFIFO(status.st_mode) ||
      S_ISSOCK(status.st_mode)) {
    return false;
  }
  const int flags = fcntl(file.fd, F_GETFL);
  if (flags < 0 || fcntl(file.fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return false;
  const off_t length = lseek(file.fd, 0, SEEK_END);
  if (length < 0) return false;
  input.file = std::move(file);
  input.length = length;
  input.regularFile = S_ISREG(status.st_mode);
  input.device = status.st_dev;
  input.inode = status.st_ino;
  return true;
}

InputFile memory_input(std::span<const std::uint8_t> bytes) {
  InputFile input;
  input.memory = bytes;
  input.length = static_cast<std::int64_t>(bytes.size());
  return input;
}

namespace {

// Reads up to `count` bytes at `offset`; returns how many arrived before the
// end of the file or an error, and notes an error in `failed`.
std::size_t read_file_at(int fd, std::int64_t offset, std::uint8_t* target, std::size_t count,
                         bool& failed) {
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n =
        pread(fd, target + got, count - got, static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  return got;
}

}  // namespace

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
    got = read_file_at(input.file.fd, offset, target, count, input.readFailed);
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

bool is_same_file(const std::string& path, const InputFile& input) {
  struct stat status {};
  return input.file && stat(path.c_str(), &status) == 0 && status.st_dev == input.device &&
         status.st_ino == input.inode;
}

bool are_same_file(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}
