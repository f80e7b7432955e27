#include "preview/gather_blocks.h"

#include <span>

namespace {
constexpr std::size_t kCharsetBytes = 2000;  // as many as the export copies
}  // namespace

ViewerBlocks gather_blocks(const InputFile& snapshot, const SnapshotReading& reading) {
  const VideoSetup& setup = reading.setup;
  const SnapshotLocation& location = reading.location;
  ViewerBlocks blocks;
  blocks.viewer = !setup.bitmapMode      ? ViewerKind::Text
                  : setup.multicolorMode ? ViewerKind::Multicolor
                                         : ViewerKind::Hires;
  blocks.d016 = setup.d016;
  blocks.d020 = setup.d020;
  blocks.d021 = setup.d021;
  blocks.d022 = setup.d022;
  blocks.d023 = setup.d023;
  read_at(snapshot, ram_file_offset(location, setup.screenAddress), blocks.screen);
  read_at(snapshot, location.colorRamOffset, blocks.colorRam);
  read_at(snapshot, ram_file_offset(location, setup.bitmapAddress), blocks.bitmap);
  read_at(snapshot, ram_file_offset(location, setup.charsetAddress),
          std::span{blocks.charset}.first(kCharsetBytes));
  return blocks;
}
