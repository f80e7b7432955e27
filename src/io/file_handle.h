#pragma once

#include <cstdio>
#include <memory>

// Owns a C stream and closes it when it goes out of scope, so that no
// early return leaks a file.
struct FileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;
