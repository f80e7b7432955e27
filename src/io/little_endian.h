#pragma once

#include <cstdint>
#include <span>

// The 32-bit little-endian number in the first four of `bytes`, assembled
// byte by byte: snapshot files store every size and count so.
constexpr std::uint32_t read_le32(std::span<const std::uint8_t, 4> bytes) {
  return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
         std::uint32_t{bytes[3]} << 24;
}
