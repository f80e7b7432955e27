#include "tool_run.h"

#include <algorithm>
#include <cstdlib>
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
#ifndef LUMERIST_EXPORT_EXE
#error "LUMERIST_EXPORT_EXE must name the export executable under test"
#endif
#ifndef LUMERIST_BANDS_EXE
#error "LUMERIST_BANDS_EXE must name the bands executable under test"
#endif

namespace {

void set_variable(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  _putenv_s(name.c_str(), value ? value->c_str() : "");  // "" removes it
#else
  if (value) {
    setenv(name.c_str(), value->c_str(), 1);
  } else {
    unsetenv(name.c_str());
  }
#endif
}

std::optional<std::string> variable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? std::optional<std::string>(value) : std::nullopt;
}

// No character ROM for the programs the tests run, whatever this machine
// has installed: the tests that want one say so.
const bool kNoRomAround = [] {
  const std::string nowhere =
      (std::filesystem::temp_directory_path() / "lumerist-no-roms").string();
  set_variable("XDG_DATA_HOME", nowhere);
  set_variable("XDG_DATA_DIRS", nowhere);
  set_variable("LUMERIST_CHARGEN", std::nullopt);
  return true;
}();

// Runs the program with the options' environment, put back afterwards.
ToolRun run_with_environment(const std::string& program, const std::vector<std::string>& arguments,
                             const RunOptions& options) {
  std::vector<std::pair<std::string, std::optional<std::string>>> before;
  for (const auto& [name, value] : options.environment) {
    before.emplace_back(name, variable(name));
    set_variable(name, value);
  }
  ToolRun run = run_program(program, arguments, options);
  for (const auto& [name, value] : before) set_variable(name, value);
  return run;
}

}  // namespace

// Absolute paths of the system's own form: under Wine the build's paths
// become Z:\... paths.
std::string lumerist_path() {
  return std::filesystem::absolute(LUMERIST_EXE).string();
}

ToolRun run_lumerist(const std::vector<std::string>& arguments, const RunOptions& options) {
  return run_with_environment(lumerist_path(), arguments, options);
}

std::string lumerist_preview_path() {
  return std::filesystem::absolute(LUMERIST_PREVIEW_EXE).string();
}

ToolRun run_lumerist_preview(const std::vector<std::string>& arguments, const RunOptions& options) {
  return run_with_environment(lumerist_preview_path(), arguments, options);
}

std::string lumerist_sprites_path() {
  return std::filesystem::absolute(LUMERIST_SPRITES_EXE).string();
}

ToolRun run_lumerist_sprites(const std::vector<std::string>& arguments, const RunOptions& options) {
  return run_with_environment(lumerist_sprites_path(), arguments, options);
}

std::string lumerist_export_path() {
  return std::filesystem::absolute(LUMERIST_EXPORT_EXE).string();
}

ToolRun run_lumerist_export(const std::vector<std::string>& arguments, const RunOptions& options) {
  return run_with_environment(lumerist_export_path(), arguments, options);
}

std::string lumerist_bands_path() {
  return std::filesystem::absolute(LUMERIST_BANDS_EXE).string();
}

ToolRun run_lumerist_bands(const std::vector<std::string>& arguments, const RunOptions& options) {
  return run_with_environment(lumerist_bands_path(), arguments, options);
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
