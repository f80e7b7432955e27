#include "tool_run.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork");
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    if (options.standardOutput) {
      const int file = open(options.standardOutput->c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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
    argv.push_back(const_cast<char*>(program.c_str()));
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

std::string lumerist_path() {
  return LUMERIST_EXE;
}

ToolRun run_lumerist(const std::vector<std::string>& arguments, const RunOptions& options) {
  return run_program(lumerist_path(), arguments, options);
}

std::string lumerist_preview_path() {
  return LUMERIST_PREVIEW_EXE;
}

ToolRun run_lumerist_preview(const std::vector<std::string>& arguments, const RunOptions& options) {
  return run_program(lumerist_preview_path(), arguments, options);
}

std::string lumerist_sprites_path() {
  return LUMERIST_SPRITES_EXE;
}

ToolRun run_lumerist_sprites(const std::vector<std::string>& arguments, const RunOptions& options) {
  return run_program(lumerist_sprites_path(), arguments, options);
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lumerist-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  path = pattern;
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
  if (!save_bytes(path, bytes)) throw std::runtime_error("cannot write " + path);
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
