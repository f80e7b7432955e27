// src/io on POSIX systems (Linux, and Emscripten's file system).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "io/standard_streams.h"
#include "io/system.h"

namespace {

FileIdentity identity_of(const struct stat& status) {
  FileIdentity identity;
  identity.exists = true;
  identity.narrow = FileNumbers{static_cast<std::uint64_t>(status.st_dev), 0,
                                static_cast<std::uint64_t>(status.st_ino)};
  return identity;
}

}  // namespace

void close_system_file(SystemFile file) noexcept {
  close(static_cast<int>(file));
}

FileDescriptor open_system_input(const std::string& path, InputFacts& facts) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer that may never
  // come. It is refused below, as are directories, which cannot be read as
  // a stream of bytes.
  FileDescriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  if (!file) return {};
  const int fd = static_cast<int>(file.fd);
  struct stat status {};
  if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode) || S_ISFIFO(status.st_mode) ||
      S_ISSOCK(status.st_mode)) {
    return {};
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return {};
  const off_t length = lseek(fd, 0, SEEK_END);
  if (length < 0) return {};
  facts.length = length;
  facts.regularFile = S_ISREG(status.st_mode);
  facts.identity = identity_of(status);
  return file;
}

std::size_t read_system_file(SystemFile file, std::int64_t offset, std::uint8_t* target,
                             std::size_t count, bool& failed) {
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n = pread(static_cast<int>(file), target + got, count - got,
                            static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  return got;
}

FileIdentity identify_file(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) == 0) return identity_of(status);
  // A name that is missing, or whose folder is, names no file; on any other
  // error (no permission, a loop of links) a file may be there.
  FileIdentity unknown;
  unknown.exists = errno != ENOENT && errno != ENOTDIR;
  return unknown;
}

std::FILE* open_system_output(const std::string& path) {
  return std::fopen(path.c_str(), "wb");
}

void use_binary_standard_streams() {}  // they are

bool discard_standard_output() {
  return std::freopen("/dev/null", "w", stdout) != nullptr;
}
