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
#ifndef LUMERIST_SPRITES_EXE
#error "LUMERIST_SPRITES_EXE must name the sprites executable under test"
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

std::string lumerist_sprites_path() {
  return std::filesystem::absolute(LUMERIST_SPRITES_EXE).string();
}

ToolRun run_lumerist_sprites(const std::vector<std::string>& arguments, const RunOptions& options) {
  return run_program(lumerist_sprites_path(), arguments, options);
}

void make_folders(const std::string& path) {
  std::filesystem::create_directories(system_path(path));
}

void write_file(const std::string& path, const Bytes& bytes) {
  std::ofstream file(system_path(path), std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

Bytes read_file(const std::string& path) {
  std::ifstream file(system_path(path), std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool file_exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(system_path(path), ignored);
}

std::vector<std::string> files_in(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}
