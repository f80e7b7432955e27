#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <utility>

// Owns a C stream and closes it when it goes out of scope, so that no
// early return leaks a file.
struct FileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A file of the operating system: a POSIX file descriptor, or a Windows
// file HANDLE held as its number. kNoFile stands for none on both.
using SystemFile = std::intptr_t;
inline constexpr SystemFile kNoFile = -1;

// Closes a file of the operating system (in src/io/system_*.cpp).
void close_system_file(SystemFile file) noexcept;

// Owns a file of the operating system and closes it when it goes out of
// scope. Moving hands the file over.
struct FileDescriptor {
  SystemFile fd = kNoFile;

  FileDescriptor() = default;
  explicit FileDescriptor(SystemFile file) noexcept : fd(file) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd(std::exchange(other.fd, kNoFile)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      if (fd != kNoFile) close_system_file(fd);
      fd = std::exchange(other.fd, kNoFile);
    }
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd != kNoFile) close_system_file(fd);
  }

  explicit operator bool() const noexcept { return fd != kNoFile; }
};
