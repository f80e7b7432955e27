#pragma once

// Runs the built executables as processes, in throw-away folders.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "snapshot_builder.h"

struct ToolRun {
  int status = -1;     // exit status as a shell sees it (255 for -1), or 128 + signal
  std::string output;  // everything written to standard output
  std::string errors;  // everything written to standard error
};

struct RunOptions {
  std::optional<std::uint64_t> fileSizeLimit;  // RLIMIT_FSIZE, with SIGXFSZ ignored
  std::optional<std::string> workingDirectory;
  // Standard output goes to this file (say /dev/full) instead of `output`.
  std::optional<std::string> standardOutput;
  // Started by root, the program runs as user and group 65534 ("nobody"),
  // so that file permissions hold for it.
  bool unprivileged = false;
};

inline RunOptions in_folder(const std::filesystem::path& folder) {
  RunOptions options;
  options.workingDirectory = folder.string();
  return options;
}

// Runs `program` with `arguments` (argv[1] onward) and collects its output.
ToolRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                    const RunOptions& options = {});

// The lumerist executable under test.
std::string lumerist_path();
ToolRun run_lumerist(const std::vector<std::string>& arguments, const RunOptions& options = {});

// The lumerist-preview executable under test.
std::string lumerist_preview_path();
ToolRun run_lumerist_preview(const std::vector<std::string>& arguments,
                             const RunOptions& options = {});

// The lumerist-sprites executable under test.
std::string lumerist_sprites_path();
ToolRun run_lumerist_sprites(const std::vector<std::string>& arguments,
                             const RunOptions& options = {});

// A fresh folder, removed with everything in it when the object goes away.
struct TempDir {
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::filesystem::path path;
  std::string file(const std::string& name) const { return (path / name).string(); }
};

void write_file(const std::string& path, const Bytes& bytes);
Bytes read_file(const std::string& path);
bool file_exists(const std::string& path);
// Names of the files in `dir`, sorted.
std::vector<std::string> files_in(const std::filesystem::path& dir);
