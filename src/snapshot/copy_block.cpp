#include "snapshot/copy_block.h"

#include <vector>

void copy_block(const InputFile& snapshot, std::int64_t offset, std::size_t count,
                OutputFile& first, OutputFile* second) {
  std::vector<std::uint8_t> bytes(count);
  read_at(snapshot, offset, bytes);
  write_bytes(first, bytes);
  if (second) write_bytes(*second, bytes);
}
