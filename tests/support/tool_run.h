#pragma once

// Runs the built executables as processes, in throw-away folders.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "io/file_handle.h"
#include "snapshot_builder.h"

struct ToolRun {
  int status = -1;     // exit status as a shell sees it, or 128 + signal
  std::string output;  // everything written to standard output
  std::string errors;  // everything written to standard error
};

struct RunOptions {
  std::optional<std::uint64_t> fileSizeLimit;  // RLIMIT_FSIZE, with SIGXFSZ ignored (POSIX)
  std::optional<std::string> workingDirectory;
  // Standard output cannot be written: /dev/full on POSIX systems, a pipe
  // whose reading end is closed on Windows.
  bool failingStandardOutput = false;
  // Started by root, the program runs as user and group 65534 ("nobody"),
  // so that file permissions hold for it (POSIX; ignored on Windows, where
  // they hold for everyone).
  bool unprivileged = false;
  // argv[0], where it is not the program's path.
  std::optional<std::string> programName;
  // Environment variables set (or, without a value, unset) for the program
  // (run_lumerist and its siblings). Every program the tests run finds no
  // character ROM by default: LUMERIST_CHARGEN is unset and VICE's folders
  // ($XDG_DATA_HOME, $XDG_DATA_DIRS) lead nowhere.
  std::vector<std::pair<std::string, std::optional<std::string>>> environment;
};

// Faults of the file system the tests make that not every system offers.
enum class Fault {
  FullDisk,          // an output that opens but cannot be written: /dev/full
  FileSizeLimit,     // RunOptions::fileSizeLimit
  Fifo,              // make_fifo
  SymbolicLink,      // std::filesystem::create_symlink
  FolderPermission,  // a folder others cannot write to, for RunOptions::unprivileged
  HeldOpen,          // HeldOpenFile: a file another program holds open without sharing
};

// Why `fault` cannot be made on this system; empty where it can.
std::string cannot_make(Fault fault);

// A FIFO (named pipe) at `path`; see cannot_make(Fault::Fifo).
void make_fifo(const std::string& path);

// Devices that read as empty files: /dev/null and /dev/zero, or NUL.
std::vector<std::string> empty_devices();

// True when this system allows `name` (no folders) as a file name: POSIX
// systems any bytes but '/' and NUL; Windows UTF-8 without control
// characters and without <>:"/\|?*.
bool allows_file_name(const std::string& name);

// The file `path` held open as another program may hold it, denying others
// to read, write or delete it, until the object goes away (Windows; see
// cannot_make(Fault::HeldOpen)).
struct HeldOpenFile {
  explicit HeldOpenFile(const std::string& path);
  ~HeldOpenFile();
  HeldOpenFile(const HeldOpenFile&) = delete;
  HeldOpenFile& operator=(const HeldOpenFile&) = delete;
  std::intptr_t handle = -1;
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

// The folder opened as if it were a file: the open succeeds, every read
// fails.
FileDescriptor open_folder_as_file(const std::string& folder);

// The lumerist-sprites executable under test.
std::string lumerist_sprites_path();
ToolRun run_lumerist_sprites(const std::vector<std::string>& arguments,
                             const RunOptions& options = {});

// The lumerist-export executable under test.
std::string lumerist_export_path();
ToolRun run_lumerist_export(const std::vector<std::string>& arguments,
                            const RunOptions& options = {});

// The lumerist-bands executable under test.
std::string lumerist_bands_path();
ToolRun run_lumerist_bands(const std::vector<std::string>& arguments,
                           const RunOptions& options = {});

// A fresh folder, removed with everything in it when the object goes away.
struct TempDir {
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::filesystem::path path;
  // The name's bytes as given: std::filesystem would convert a name that is
  // not UTF-8 into another on Windows.
  std::string file(const std::string& name) const {
    return path.string() + static_cast<char>(std::filesystem::path::preferred_separator) + name;
  }
};

// The path as the file functions of this system take it at any length:
// itself, or on Windows, when it is long, its full \\?\ form.
std::filesystem::path system_path(const std::string& path);

// Creates the folder and its parents, of any path length.
void make_folders(const std::string& path);

// These take paths of any length.
void write_file(const std::string& path, const Bytes& bytes);
Bytes read_file(const std::string& path);
bool file_exists(const std::string& path);
// Names of the files in `dir`, sorted.
std::vector<std::string> files_in(const std::filesystem::path& dir);
