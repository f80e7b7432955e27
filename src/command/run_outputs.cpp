#include "command/run_outputs.h"

#include <cstdio>

#include "command/exit_status.h"
#include "io/output_file.h"
#include "io/system.h"

std::string output_base(const std::string& snapshot, const std::optional<std::string>& outputDir) {
  return outputDir ? join_path(*outputDir, file_name_of(snapshot)) : snapshot;
}

std::string named_output(const std::string& name, const std::optional<std::string>& outputDir) {
  return outputDir && !is_absolute_path(name) ? join_path(*outputDir, name) : name;
}

bool output_folder_usable(const std::optional<std::string>& outputDir) {
  if (!outputDir || is_writable_folder(*outputDir)) return true;
  std::printf("Can't write into output folder '%s'!\n", outputDir->c_str());
  return false;
}

bool claim_outputs(const OutputBatch& outputs, std::span<const std::string> paths) {
  for (std::size_t i = 0; i < paths.size(); ++i) {
    bool taken = replaces_committed(outputs, paths[i]);
    for (std::size_t j = 0; j < i && !taken; ++j) taken = same_output_file(paths[i], paths[j]);
    if (taken) {
      std::printf("Won't overwrite '%s', written earlier in this run!\n", paths[i].c_str());
      return false;
    }
  }
  return true;
}

int finish_outputs(OutputBatch& outputs, int status) {
  const bool reported = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (status != kExitSuccess || !reported) {
    discard_outputs(outputs);
    return kExitFailure;
  }
  const Commit commit = commit_outputs(outputs);
  if (!commit.failed) return kExitSuccess;
  std::printf("Can't replace '%s' with its new file!\n", commit.failed->c_str());
  std::string replaced;
  for (const std::string& path : commit.replaced) {
    replaced += (replaced.empty() ? "'" : ", '") + path + "'";
  }
  std::printf("New outputs: %s.\n", replaced.empty() ? "none" : replaced.c_str());
  return kExitFailure;
}
