#include "io/output_file.h"

#include "io/input_file.h"
#include "io/system.h"

OutputFile open_output(OutputBatch& batch, const std::string& path) {
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
    if (output.file) batch.pending.push_back({output.temporary, target, path});
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

Commit commit_outputs(OutputBatch& batch) {
  Commit commit;
  for (const PendingOutput& output : batch.pending) {
    if (commit.failed) {
      remove_system_file(output.temporary);
    } else if (replace_system_file(output.temporary, output.target)) {
      commit.replaced.push_back(output.path);
      batch.committed.push_back(identify_file(output.target));
    } else {
      commit.failed = output.path;
      remove_system_file(output.temporary);
    }
  }
  batch.pending.clear();
  return commit;
}

void discard_outputs(OutputBatch& batch) {
  for (const PendingOutput& output : batch.pending) remove_system_file(output.temporary);
  batch.pending.clear();
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

namespace {

bool written_as_it_is(const std::string& path) {
  return path_kind(path) == PathKind::Other;
}

std::string folder_or_current(const std::string& path) {
  const std::string folder = folder_of(path);
  return folder.empty() ? "." : folder;
}

}  // namespace

bool replaces_committed(const OutputBatch& batch, const std::string& path) {
  if (batch.committed.empty() || written_as_it_is(path)) return false;
  const FileIdentity identity = identify_file(path);
  for (const FileIdentity& committed : batch.committed) {
    if (may_be_one_file(identity, committed)) return true;
  }
  return false;
}

bool same_output_file(const std::string& path, const std::string& other) {
  if (written_as_it_is(path) || written_as_it_is(other)) return false;
  const std::string first = link_target(path);
  const std::string second = link_target(other);
  const FileIdentity a = identify_file(first);
  const FileIdentity b = identify_file(second);
  if (a.exists || b.exists) return may_be_one_file(a, b);
  return file_name_of(first) == file_name_of(second) &&
         may_be_one_file(identify_file(folder_or_current(first)),
                         identify_file(folder_or_current(second)));
}
