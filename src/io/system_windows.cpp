// src/io on Windows. Paths arrive in UTF-8 (the manifest sets the process's
// code page to UTF-8, so the command line does too) and are handed to the
// wide-character functions. A path that is not valid UTF-8 is never
// converted: it opens nothing, and which file it names cannot be told.
// Handles are opened without inheritance.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "io/standard_streams.h"
#include "io/system.h"

namespace {

HANDLE handle_of(SystemFile file) {
  return reinterpret_cast<HANDLE>(file);
}

// The UTF-16 form of a UTF-8 path; empty, a name that opens nothing, when
// the path is not valid UTF-8 (never one with replacement characters, which
// may be another file's). A path too long for the classic limit (MAX_PATH,
// less the 12 characters CreateDirectory keeps for a file name) is made a
// full path with the \\?\ prefix, which lifts it to 32767.
std::wstring wide_path(const std::string& path) {
  std::wstring wide;
  if (!path.empty() && path.size() < INT_MAX) {
    const int size = static_cast<int>(path.size());
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
    wide.resize(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, wide.data(), length);
  }
  if (wide.size() < MAX_PATH - 12) return wide;
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  full.resize(GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr));
  if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) return full;
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// Which file `handle` is: its 128-bit id where the file system has one
// (zero where it has none), and its 64-bit index, which `info` receives
// (zero when it cannot be read).
FileIdentity identity_of(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info) {
  FileIdentity identity;
  identity.exists = true;
  identity.device = GetFileType(handle) != FILE_TYPE_DISK;
  FILE_ID_INFO id{};
  if (GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id)) {
    std::uint64_t halves[2];
    static_assert(sizeof halves == sizeof id.FileId.Identifier);
    std::memcpy(halves, id.FileId.Identifier, sizeof halves);
    if (halves[0] != 0 || halves[1] != 0) {
      identity.wide = FileNumbers{id.VolumeSerialNumber, halves[1], halves[0]};
    }
  }
  info = {};
  if (GetFileInformationByHandle(handle, &info)) {
    identity.narrow =
        FileNumbers{info.dwVolumeSerialNumber, 0,
                    static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
  }
  return identity;
}

// The code page the console showed before use_binary_standard_streams
// made it UTF-8, given back at exit.
UINT consoleCodePageBefore = 0;

void restore_console_code_page() {
  std::fflush(stdout);
  std::fflush(stderr);
  SetConsoleOutputCP(consoleCodePageBefore);
}

bool is_console(DWORD stream) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(stream), &mode) != 0;
}

}  // namespace

void close_system_file(SystemFile file) noexcept {
  CloseHandle(handle_of(file));
}

FileDescriptor open_system_input(const std::string& path, InputFacts& facts) {
  // Others may go on writing or deleting the file, as on POSIX systems. A
  // directory does not open without FILE_FLAG_BACKUP_SEMANTICS.
  const HANDLE handle = CreateFileW(wide_path(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  FileDescriptor file{reinterpret_cast<SystemFile>(handle)};
  // Files and devices (NUL); pipes are refused as FIFOs are.
  const DWORD type = GetFileType(handle);
  LARGE_INTEGER length{};
  if ((type != FILE_TYPE_DISK && type != FILE_TYPE_CHAR) || !GetFileSizeEx(handle, &length)) {
    return {};
  }
  BY_HANDLE_FILE_INFORMATION info{};
  facts.identity = identity_of(handle, info);
  facts.length = length.QuadPart;
  facts.regularFile = type == FILE_TYPE_DISK && facts.identity.narrow &&
                      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  return file;
}

std::size_t read_system_file(SystemFile file, std::int64_t offset, std::uint8_t* target,
                             std::size_t count, bool& failed) {
  constexpr std::size_t kMostAtOnce = std::size_t{1} << 30;
  std::size_t got = 0;
  while (got < count) {
    // The offset travels with the read, so no seek is shared between reads.
    const auto at = static_cast<std::uint64_t>(offset) + got;
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(at);
    position.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD n = 0;
    const auto want = static_cast<DWORD>(std::min(count - got, kMostAtOnce));
    if (!ReadFile(handle_of(file), target + got, want, &n, &position)) {
      if (GetLastError() != ERROR_HANDLE_EOF) failed = true;
      break;
    }
    if (n == 0) break;
    got += n;
  }
  return got;
}

FileIdentity identify_file(const std::string& path) {
  FileIdentity unknown;  // an existing file that cannot be told
  unknown.exists = true;
  const std::wstring wide = wide_path(path);
  if (wide.empty()) return unknown;  // not UTF-8 (or empty): cannot be told
  // Reading attributes only: works on files others hold open without
  // sharing, and on folders.
  const HANDLE handle = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    // A name that is missing, or whose folder is, names no file; on any
    // other error (no access, a file being deleted) a file may be there.
    const DWORD error = GetLastError();
    unknown.exists = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    return unknown;
  }
  const FileDescriptor owner{reinterpret_cast<SystemFile>(handle)};
  BY_HANDLE_FILE_INFORMATION info{};
  return identity_of(handle, info);
}

std::FILE* open_system_output(const std::string& path) {
  const HANDLE handle = CreateFileW(wide_path(path).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "wb");
  if (!file) _close(fd);
  return file;
}

PathKind path_kind(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(wide_path(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::RegularFile;
}

std::string link_target(const std::string& path) {
  const std::wstring wide = wide_path(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return path;
  }
  const HANDLE handle = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return path;
  const FileDescriptor owner{reinterpret_cast<SystemFile>(handle)};
  std::wstring target(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(handle, target.data(), MAX_PATH, FILE_NAME_NORMALIZED);
  if (length >= MAX_PATH) {
    target.resize(length);
    length = GetFinalPathNameByHandleW(handle, target.data(), length, FILE_NAME_NORMALIZED);
  }
  if (length == 0 || length > target.size()) return path;
  target.resize(length);
  const int size = WideCharToMultiByte(CP_UTF8, 0, target.data(), static_cast<int>(length), nullptr,
                                       0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, target.data(), static_cast<int>(length), utf8.data(), size,
                      nullptr, nullptr);
  return utf8;
}

std::FILE* open_system_temporary(const std::string& folder, std::string& name) {
  static unsigned calls = 0;
  const unsigned seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const unsigned tag = (seed + ++calls * 40503u) % 1000000000u;
    name = join_path(folder, ".lumerist-" + std::to_string(tag) + ".tmp");
    const HANDLE handle = CreateFileW(wide_path(name).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) continue;
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
      CloseHandle(handle);
      DeleteFileW(wide_path(name).c_str());
      return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (!file) {
      _close(fd);
      DeleteFileW(wide_path(name).c_str());
    }
    return file;
  }
  return nullptr;
}

bool replace_system_file(const std::string& from, const std::string& to) {
  return MoveFileExW(wide_path(from).c_str(), wide_path(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool remove_system_file(const std::string& path) {
  return DeleteFileW(wide_path(path).c_str()) != 0;
}

namespace {

bool is_separator(char c) {
  return c == '/' || c == '\\';
}

// Where the file name starts: after the last separator, or after a drive
// ("C:name").
std::size_t name_start(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  if (separator != std::string::npos) return separator + 1;
  return path.size() >= 2 && path[1] == ':' ? 2 : 0;
}

}  // namespace

std::string folder_of(const std::string& path) {
  const std::size_t start = name_start(path);
  if (start == 0) return "";
  // Keep a root ("/", "C:/", "C:") whole; else drop the separator.
  if (start == 1 || (start <= 3 && path.size() >= 2 && path[1] == ':')) {
    return path.substr(0, start);
  }
  return path.substr(0, start - 1);
}

std::string file_name_of(const std::string& path) {
  return path.substr(name_start(path));
}

std::string join_path(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return is_separator(last) || last == ':' ? folder + name : folder + "/" + name;
}

bool is_absolute_path(const std::string& path) {
  return (!path.empty() && is_separator(path[0])) ||
         (path.size() >= 3 && path[1] == ':' && is_separator(path[2]));
}

bool can_name_file(const std::string& path) {
  return !wide_path(path).empty();
}

void use_binary_standard_streams() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // A console shows the bytes in its output code page: UTF-8 while the
  // command runs, as the names it prints are. Files and pipes take the
  // bytes as they are.
  if (is_console(STD_OUTPUT_HANDLE) || is_console(STD_ERROR_HANDLE)) {
    const UINT before = GetConsoleOutputCP();
    if (before != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
      consoleCodePageBefore = before;
      std::atexit(restore_console_code_page);
    }
  }
}

bool discard_standard_output() {
  return std::freopen("NUL", "wb", stdout) != nullptr;
}
