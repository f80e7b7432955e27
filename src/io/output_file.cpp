#include "io/output_file.h"

#include "io/system.h"

OutputFile open_output(const std::string& path) {
  OutputFile output;
  output.path = path;
  output.file.reset(open_system_output(path));
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
