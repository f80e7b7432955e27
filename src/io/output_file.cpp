#include "io/output_file.h"

#include "io/system.h"

namespace {

// The outputs opened since the last commit or discard: temporary file, the
// file it replaces (where a link leads) and the output's name.
struct Pending {
  std::string temporary;
  std::string target;
  std::string path;
};

std::vector<Pending>& pending() {
  static std::vector<Pending> outputs;
  return outputs;
}

}  // namespace

OutputFile open_output(const std::string& path) {
  OutputFile output;
  output.path = path;
  const std::string target = link_target(path);
  const PathKind kind = path_kind(target);
  if (kind == PathKind::Other) {  // a device or a FIFO: written as it is
    output.file.reset(open_system_output(target));
  } else if (!can_name_file(target) || file_name_of(target).empty() || kind == PathKind::Folder) {
    output.file.reset();  // no file can take this name
  } else {
    output.file.reset(open_system_temporary(folder_of(target), output.temporary));
    if (output.file) pending().push_back({output.temporary, target, path});
  }
  output.failed = !output.file;
  return output;
}

void write_bytes(OutputFile& output, std::span<const std::uint8_t> bytes) {
  if (!output.file || bytes.empty()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), output.file.get()) != bytes.size()) {
    output.failed = true;
  }
}

void write_byte(OutputFile& output, std::uint8_t byte) {
  write_bytes(output, std::span{&byte, 1});
}

bool close_output(OutputFile& output) {
  if (output.closed) return !output.failed;
  output.closed = true;
  if (!output.file) {  // never opened: nothing reached it
    output.failed = true;
    return false;
  }
  std::FILE* file = output.file.release();
  if (std::fflush(file) != 0 || std::ferror(file) != 0) output.failed = true;
  if (std::fclose(file) != 0) output.failed = true;
  return !output.failed;
}

Commit commit_outputs() {
  Commit commit;
  for (const Pending& output : pending()) {
    if (commit.failed) {
      remove_system_file(output.temporary);
    } else if (replace_system_file(output.temporary, output.target)) {
      commit.replaced.push_back(output.path);
    } else {
      commit.failed = output.path;
      remove_system_file(output.temporary);
    }
  }
  pending().clear();
  return commit;
}

void discard_outputs() {
  for (const Pending& output : pending()) remove_system_file(output.temporary);
  pending().clear();
}

bool is_writable_folder(const std::string& folder) {
  if (path_kind(folder) != PathKind::Folder) return false;
  std::string probe;
  std::FILE* file = open_system_temporary(folder, probe);
  if (!file) return false;
  std::fclose(file);
  remove_system_file(probe);
  return true;
}
