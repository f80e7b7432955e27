#include "sprites/sprites_messages.h"

#include <cstdio>

#include "command/console.h"
#include "command/open_snapshot.h"

void print_sprites_usage(const char* program) {
  print_separator();
  std::printf(
      "Lumerist sprites: rips the sprites of a VICE snapshot and draws every sprite block\n"
      "of its video bank.\n"
      "Syntax: '%s [--chargen FILE] [--band N] [--palette FILE] [-o DIR] "
      "ViceSnapshotFile.vsf...'.\n"
      "Writes the 64-byte blocks of the enabled sprites as the snapshot name followed by\n"
      "'.sprites', and a sheet of the bank's 256 blocks as the name followed by\n"
      "'.sprites.png', next to the snapshot or, with -o DIR (--output-dir DIR), in the\n"
      "folder DIR; each snapshot in turn. --chargen names a 4096-byte character ROM image\n"
      "for snapshots that hold none; --band N rips band N of the frame VICE saved, as\n"
      "lumerist-bands numbers them. --palette draws the sheet in the colours of a VICE\n"
      "palette file (.vpl), or of NAME.vpl in VICE's C64 folders for a NAME without a\n"
      "folder or the ending. --help prints this text, --version the version.\n",
      program);
  print_separator();
}

namespace {

void print_sprite_line(const SpriteRip& rip, int n) {
  const SpriteSetup& sprite = rip.setup.sprites[static_cast<std::size_t>(n)];
  if (!sprite.enabled) {
    std::printf("Sprite %d: off.\n", n);
    return;
  }
  const std::uint8_t pointer = rip.pointers[static_cast<std::size_t>(n)];
  std::printf("Sprite %d: block $%02x at $%04x, X %u, Y %u, colour $%02x, %s", n, pointer,
              static_cast<unsigned>(rip.setup.bankBase + pointer * 64), sprite.x,
              static_cast<unsigned>(sprite.y), sprite.color,
              sprite.multicolor ? "multicolour" : "hires");
  if (sprite.wide) std::printf(", double width");
  if (sprite.tall) std::printf(", double height");
  if (sprite.behind) std::printf(", behind the picture");
  std::printf(rip.shown >> n & 1 ? ", shown.\n" : ", not shown.\n");
}

}  // namespace

void print_sprites_report(const SpriteRip& rip, const std::string& dataPath,
                          const std::string& sheetPath) {
  print_separator();
  std::printf("Sprites in Bank $%04x ($%02x), pointers at $%04x.\n", rip.setup.bankBase,
              rip.setup.cia2PortA, rip.setup.spritePointers);
  for (int n = 0; n < 8; ++n) print_sprite_line(rip, n);
  if (!rip.enabled.empty()) {
    std::string numbers;
    for (const int n : rip.enabled) numbers += (numbers.empty() ? "" : ", ") + std::to_string(n);
    std::printf("Sprite data of %s\twritten as '%s' without header.\n", numbers.c_str(),
                dataPath.c_str());
  }
  std::printf("Sprite sheet of the bank\twritten as '%s'.\n", sheetPath.c_str());
  print_separator();
}

void print_data_failure(const std::string& path) {
  std::printf("Can't write sprite data file '%s'!\n", path.c_str());
}
