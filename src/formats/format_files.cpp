#include "formats/format_files.h"

#include <algorithm>

#include "formats/editor_files.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kFeEscape = 0xFE;  // .gg, .jj
constexpr std::uint8_t kC2Escape = 0xC2;  // .ami
constexpr std::size_t kMinimumRun = 4;
constexpr std::size_t kLongestRun = 255;

std::uint8_t nibble(std::uint8_t byte) {
  return byte & 0x0F;
}

// A file of `size` zero bytes after its load address.
Bytes zero_file(std::uint16_t loadAddress, std::size_t size) {
  Bytes file(size, 0);
  file[0] = static_cast<std::uint8_t>(loadAddress & 0xFF);
  file[1] = static_cast<std::uint8_t>(loadAddress >> 8);
  return file;
}

void put(Bytes& file, std::size_t offset, std::span<const std::uint8_t> part) {
  std::copy(part.begin(), part.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
}

// The memory image of a picture format, with the editors' colour bytes.
Bytes picture_image(const PictureFormat& format, const FormatSource& source) {
  return picture_image(format.placements, format.loadAddress, format.size, source.setup,
                       source.blocks, ColourBytes::LowNibbles);
}

// Load address, then the memory image after it packed.
Bytes packed_picture(const PictureFormat& format, const Bytes& image) {
  const auto body = std::span(image).subspan(2);
  const bool countFirst = format.packing == Packing::EscapeCountValue;
  const Bytes packed = pack_runs(body, countFirst ? kC2Escape : kFeEscape,
                                 countFirst ? RunOrder::CountValue : RunOrder::ValueCount);
  const Bytes end = countFirst ? Bytes{kC2Escape, 0x00} : Bytes{};
  Bytes file(2 + packed.size() + end.size());
  std::copy_n(image.begin(), 2, file.begin());
  put(file, 2, packed);
  put(file, 2 + packed.size(), end);
  return file;
}

// Load address: the character set's own; then all 2048 bytes.
Bytes charset_file(const FormatSource& source) {
  Bytes file = zero_file(source.setup.charsetAddress, 2 + kCharsetSize);
  put(file, 2, source.blocks.charset);
  return file;
}

// SpritePad 1.x: "SPD", version 1, 256 sprites - 1, one animation - 1, the
// three colours; each block's 63 bytes and its attribute (bit 7
// multicolour, low nibble colour); the animation's first and last block,
// timer and flags.
Bytes spritepad_file(const FormatSource& source) {
  const VideoSetup& setup = source.setup;
  constexpr std::uint8_t kHeader[] = {'S', 'P', 'D', 1, 255, 0};
  const std::uint8_t colors[] = {nibble(setup.d021), nibble(setup.spriteMulticolor0),
                                 nibble(setup.spriteMulticolor1)};
  constexpr std::uint8_t kAnimation[] = {0, 0, 1, 0};
  std::size_t at = sizeof kHeader + sizeof colors;
  Bytes file(at + source.sprites.size() * kSpriteBlockBytes + sizeof kAnimation);
  put(file, 0, kHeader);
  put(file, sizeof kHeader, colors);
  for (const SheetBlock& block : source.sprites) {
    put(file, at, std::span(block.bytes).first(kSpriteBytes));
    file[at + kSpriteBytes] = static_cast<std::uint8_t>((block.colors.multicolor ? 0x80 : 0x00) |
                                                        nibble(block.colors.color));
    at += kSpriteBlockBytes;
  }
  put(file, at, kAnimation);
  return file;
}

}  // namespace

FormatSource format_source(const VideoState& state) {
  FormatSource source;
  source.setup = decode_video_setup(state);
  source.blocks = screen_blocks(source.setup, state);
  VicMemory memory = vic_memory(state, source.setup);
  std::array<std::uint8_t, 8> pointers{};
  for (int n = 0; n < 8; ++n)
    pointers[static_cast<std::size_t>(n)] = fetch_sprite_pointer(memory, source.setup, n);
  for (std::size_t block = 0; block < source.sprites.size(); ++block) {
    const auto pointer = static_cast<std::uint8_t>(block);
    source.sprites[block] = {fetch_sprite_block(memory, pointer),
                             sheet_block_colors(source.setup, pointers, pointer)};
  }
  return source;
}

std::vector<std::uint8_t> format_bytes(const PictureFormat& format, const FormatSource& source) {
  switch (format.contents) {
    case FormatContents::Charset:
      return charset_file(source);
    case FormatContents::Sprites:
      return spritepad_file(source);
    case FormatContents::CharPad:
      return charpad_file(source);
    case FormatContents::PetmateWorkspace:
      return petmate_workspace(source);
    case FormatContents::PetmateBinary:
      return petmate_binary(source);
    case FormatContents::PetsciiStream:
      return petscii_stream(source);
    case FormatContents::Picture:
      break;
  }
  Bytes image = picture_image(format, source);
  if (format.packing == Packing::None) return image;
  return packed_picture(format, image);
}

std::vector<std::uint8_t> pack_runs(std::span<const std::uint8_t> image, std::uint8_t escape,
                                    RunOrder order) {
  Bytes packed;
  packed.reserve(image.size());
  for (std::size_t at = 0; at < image.size();) {
    const std::uint8_t value = image[at];
    std::size_t run = 1;
    while (run < kLongestRun && at + run < image.size() && image[at + run] == value) ++run;
    if (run >= kMinimumRun || value == escape) {
      const auto count = static_cast<std::uint8_t>(run);
      if (order == RunOrder::ValueCount) {
        packed.insert(packed.end(), {escape, value, count});
      } else {
        packed.insert(packed.end(), {escape, count, value});
      }
    } else {
      packed.insert(packed.end(), run, value);
    }
    at += run;
  }
  return packed;
}
