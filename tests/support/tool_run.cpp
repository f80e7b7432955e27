#include "tool_run.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifndef LUMERIST_EXE
#error "LUMERIST_EXE must name the executable under test"
#endif
#ifndef LUMERIST_PREVIEW_EXE
#error "LUMERIST_PREVIEW_EXE must name the preview executable under test"
#endif

// Absolute paths of the system's own form: under Wine the build's paths
// become Z:\... paths.
std::string lumerist_path() {
  return std::filesystem::absolute(LUMERIST_EXE).string();
}

ToolRun run_lumerist(const std::vector<std::string>& arguments, const RunOptions& options) {
  return run_program(lumerist_path(), arguments, options);
}

std::string lumerist_preview_path() {
  return std::filesystem::absolute(LUMERIST_PREVIEW_EXE).string();
}

ToolRun run_lumerist_preview(const std::vector<std::string>& arguments, const RunOptions& options) {
  return run_program(lumerist_preview_path(), arguments, options);
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Folders made read-only by a test must be writable again to be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(path, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
  }
  std::filesystem::remove_all(path, ignored);
}

void write_file(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

Bytes read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool file_exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

std::vector<std::string> files_in(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}
