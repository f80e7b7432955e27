// Running programs and making faults on Windows (and under Wine).

#include <windows.h>

#include <random>
#include <stdexcept>
#include <thread>

#include "tool_run.h"

namespace {

std::wstring wide(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), length);
  return result;
}

// One argument as the C runtime's command-line parser reads it back.
std::wstring quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring text = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count only before a quote: doubled, plus one for the quote.
    text.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    text += c;
  }
  text.append(2 * backslashes, L'\\');
  return text + L"\"";
}

void read_all(HANDLE pipe, std::string& into) {
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) into.append(buffer, got);
}

struct Pipe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;  // inherited by the child
};

Pipe child_output_pipe() {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Pipe pipe;
  if (!CreatePipe(&pipe.read, &pipe.write, &inherited, 0)) throw std::runtime_error("pipe");
  SetHandleInformation(pipe.read, HANDLE_FLAG_INHERIT, 0);
  return pipe;
}

// Removes a file or a folder with everything in it, paths of any length
// (std::filesystem takes a long folder for a file).
void remove_tree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") remove_tree(path + L"\\" + name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

ToolRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                    const RunOptions& options) {
  std::wstring commandLine = quoted(wide(options.programName.value_or(program)));
  for (const std::string& argument : arguments) commandLine += L" " + quoted(wide(argument));

  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inherited, OPEN_EXISTING, 0, nullptr);
  Pipe out = child_output_pipe();
  Pipe err = child_output_pipe();
  if (options.failingStandardOutput) {  // nobody reads: every write fails
    CloseHandle(out.read);
    out.read = nullptr;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = out.write;
  startup.hStdError = err.write;
  PROCESS_INFORMATION child{};
  const std::wstring folder = options.workingDirectory ? wide(*options.workingDirectory) : L"";
  // Wine, cold, now and then fails to map a new process: tried again.
  bool started = false;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    if (attempt > 0) Sleep(500);
    started =
        CreateProcessW(wide(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                       nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &child) != 0;
  }
  CloseHandle(input);
  CloseHandle(out.write);
  CloseHandle(err.write);
  ToolRun run;
  if (!started) {
    if (out.read) CloseHandle(out.read);
    CloseHandle(err.read);
    throw std::runtime_error("cannot start " + program);
  }
  std::thread errors([&] { read_all(err.read, run.errors); });
  if (out.read) read_all(out.read, run.output);
  errors.join();
  // A program that hangs is ended long after any sane run, with the status
  // a POSIX alarm would give.
  if (WaitForSingleObject(child.hProcess, 120000) != WAIT_OBJECT_0) {
    TerminateProcess(child.hProcess, 128 + 14);
    WaitForSingleObject(child.hProcess, INFINITE);
  }
  DWORD status = 0;
  GetExitCodeProcess(child.hProcess, &status);
  run.status = static_cast<int>(status);
  CloseHandle(child.hProcess);
  CloseHandle(child.hThread);
  if (out.read) CloseHandle(out.read);
  CloseHandle(err.read);
  return run;
}

std::string cannot_make(Fault fault) {
  switch (fault) {
    case Fault::FullDisk:
      return "Windows has no device like /dev/full, and Wine enforces no byte-range locks, "
             "so no output can be made to open but fail to write";
    case Fault::FileSizeLimit:
      return "Windows has no per-process file size limit (RLIMIT_FSIZE)";
    case Fault::Fifo:
      return "Windows has no FIFOs in the file system; named pipes live apart from it";
    case Fault::SymbolicLink:
      return "creating symbolic links on Windows needs a privilege, and Wine does not create them";
    case Fault::FolderPermission:
      return "a folder's read-only attribute does not stop files being created in it on Windows";
    case Fault::HeldOpen:
      break;
  }
  return "";
}

void make_fifo(const std::string& path) {
  throw std::runtime_error("no FIFO on Windows: " + path);
}

std::vector<std::string> empty_devices() {
  return {"NUL"};
}

bool allows_file_name(const std::string& name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string("<>:\"/\\|?*").find(c) != std::string::npos) {
      return false;
    }
  }
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(),
                             static_cast<int>(name.size()), nullptr, 0) > 0;
}

HeldOpenFile::HeldOpenFile(const std::string& path) {
  const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot hold " + path);
  handle = reinterpret_cast<std::intptr_t>(file);
}

HeldOpenFile::~HeldOpenFile() {
  CloseHandle(reinterpret_cast<HANDLE>(handle));
}

FileDescriptor open_folder_as_file(const std::string& folder) {
  const HANDLE file = CreateFileW(wide(folder).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  return FileDescriptor{reinterpret_cast<SystemFile>(file)};
}

TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
    const std::filesystem::path candidate =
        std::filesystem::temp_directory_path() /
        ("lumerist-test-" + std::to_string(random()) + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) path = candidate;
  }
  if (path.empty()) throw std::runtime_error("no temporary folder");
}

std::filesystem::path system_path(const std::string& path) {
  const std::filesystem::path given = wide(path);
  if (path.size() < MAX_PATH - 12) return given;
  return L"\\\\?\\" + std::filesystem::absolute(given).wstring();
}

TempDir::~TempDir() {
  remove_tree(L"\\\\?\\" + std::filesystem::absolute(path).wstring());
}
