#pragma once

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <utility>

// Owns a C stream and closes it when it goes out of scope, so that no
// early return leaks a file.
struct FileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Owns a POSIX file descriptor (-1: none) and closes it when it goes out of
// scope. Moving hands the descriptor over.
struct FileDescriptor {
  int fd = -1;

  FileDescriptor() = default;
  explicit FileDescriptor(int descriptor) noexcept : fd(descriptor) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      if (fd >= 0) close(fd);
      fd = std::exchange(other.fd, -1);
    }
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd >= 0) close(fd);
  }

  explicit operator bool() const noexcept { return fd >= 0; }
};
