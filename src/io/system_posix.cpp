// src/io on POSIX systems (Linux, and Emscripten's file system).

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <ctime>

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

PathKind path_kind(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return PathKind::Missing;
  if (S_ISREG(status.st_mode)) return PathKind::RegularFile;
  return S_ISDIR(status.st_mode) ? PathKind::Folder : PathKind::Other;
}

std::string link_target(const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

std::FILE* open_system_temporary(const std::string& folder, std::string& name) {
  // Names that differ by process and by call; O_EXCL makes sure no other
  // file is taken, and a taken name is tried again with the next one.
  static unsigned calls = 0;
  const auto seed = static_cast<unsigned long>(getpid()) * 2654435761u ^
                    static_cast<unsigned long>(std::time(nullptr));
  for (int attempt = 0; attempt < 100; ++attempt) {
    const unsigned long tag = (seed + ++calls * 40503u) % 1000000000u;
    name = join_path(folder, ".lumerist-" + std::to_string(tag) + ".tmp");
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
      close(fd);
      unlink(name.c_str());
    }
    return file;
  }
  return nullptr;
}

bool replace_system_file(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool remove_system_file(const std::string& path) {
  return unlink(path.c_str()) == 0;
}

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string file_name_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string join_path(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool is_absolute_path(const std::string& path) {
  return !path.empty() && path[0] == '/';
}

bool can_name_file(const std::string& path) {
  return !path.empty();
}

void use_binary_standard_streams() {
  // They are binary. A reader that goes away early (`| head`) makes a
  // write fail instead of ending the program, so that a command can still
  // remove its temporary files and fail cleanly.
  signal(SIGPIPE, SIG_IGN);
}

bool discard_standard_output() {
  return std::freopen("/dev/null", "w", stdout) != nullptr;
}
