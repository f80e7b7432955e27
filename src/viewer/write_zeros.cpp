#include "viewer/write_zeros.h"

#include <vector>

void write_zeros(OutputFile& output, std::size_t count) {
  const std::vector<std::uint8_t> zeros(count, 0);
  write_bytes(output, zeros);
}
