// Running programs and making faults on POSIX systems.

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "tool_run.h"

namespace {

void drain(int fd, std::string& into) {
  char buffer[4096];
  const ssize_t got = read(fd, buffer, sizeof buffer);
  if (got > 0) into.append(buffer, static_cast<std::size_t>(got));
}

}  // namespace

ToolRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                    const RunOptions& options) {
  int out[2];
  int err[2];
  if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
  // Opened before the child gives up root, so that the program runs even
  // from a folder the unprivileged user cannot enter.
  const int executable = open(program.c_str(), O_RDONLY | O_CLOEXEC);
  if (executable < 0) throw std::runtime_error("cannot open " + program);
  const std::string argv0 = options.programName.value_or(program);
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork");
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    if (options.failingStandardOutput) {
      const int file = open("/dev/full", O_WRONLY);
      if (file < 0 || dup2(file, STDOUT_FILENO) < 0) _exit(124);
    }
    dup2(err[1], STDERR_FILENO);
    close(out[0]);
    close(out[1]);
    close(err[0]);
    close(err[1]);
    // A program that hangs (say, on a file it should not have opened) is
    // ended long after any sane run, and the test sees a signal, not a hang.
    alarm(120);
    if (options.workingDirectory && chdir(options.workingDirectory->c_str()) != 0) _exit(126);
    if (options.fileSizeLimit) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.unprivileged && geteuid() == 0) {
      constexpr uid_t kNobody = 65534;
      if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(125);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(argv0.c_str()));
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    fexecve(executable, argv.data(), environ);
    _exit(127);
  }
  close(executable);
  close(out[1]);
  close(err[1]);
  ToolRun run;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (pollfd& fd : fds) {
      if (fd.fd < 0 || fd.revents == 0) continue;
      std::string& into = fd.fd == out[0] ? run.output : run.errors;
      const std::size_t before = into.size();
      drain(fd.fd, into);
      if (into.size() == before) {  // end of stream
        close(fd.fd);
        fd.fd = -1;
        --open;
      }
    }
  }
  int status = 0;
  waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lumerist-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  path = pattern;
}

std::string cannot_make(Fault fault) {
  if (fault == Fault::HeldOpen) {
    return "POSIX systems have no sharing modes: a file another program holds open still opens";
  }
  return "";
}

void make_fifo(const std::string& path) {
  if (mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("mkfifo " + path);
}

std::vector<std::string> empty_devices() {
  return {"/dev/null", "/dev/zero"};
}

bool allows_file_name(const std::string& name) {
  return !name.empty() && name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

// Held open or not, the file stays open to every other program.
HeldOpenFile::HeldOpenFile(const std::string&) {}
HeldOpenFile::~HeldOpenFile() = default;

FileDescriptor open_folder_as_file(const std::string& folder) {
  return FileDescriptor{open(folder.c_str(), O_RDONLY | O_DIRECTORY)};
}

std::filesystem::path system_path(const std::string& path) {
  return path;
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
