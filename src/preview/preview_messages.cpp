#include "preview/preview_messages.h"

#include <cstdio>

#include "command/console.h"
#include "command/open_snapshot.h"

void print_preview_usage(const char* program) {
  print_separator();
  std::printf(
      "Lumerist preview: draws the screen of a VICE snapshot as a PNG file.\n"
      "Syntax: '%s [--viewer | --registers | --compare] [--chargen FILE] [--band N] "
      "[--palette FILE] [-o DIR] ViceSnapshotFile.vsf... | ViceSnapshotFile.vsf Preview.png'.\n"
      "Without options the frame VICE saved in the snapshot is drawn, else the screen the\n"
      "VIC-II registers show; --registers always draws the latter, --viewer the screen of\n"
      "lumerist's viewer program, --compare both side by side with their differences and\n"
      "their causes. --chargen names a 4096-byte character ROM image for snapshots that\n"
      "hold none; --band N (with one of those options) takes band N of the frame VICE saved,\n"
      "as lumerist-bands numbers them. --palette draws in the colours of a VICE palette\n"
      "file (.vpl), or of NAME.vpl in VICE's C64 folders for a NAME without a folder or\n"
      "the ending.\n"
      "Without a PNG name the preview is written as the snapshot name followed by '.png'\n"
      "('.registers.png', '.viewer.png' or '.compare.png' with those options), next to the\n"
      "snapshot or, with -o DIR (--output-dir DIR), in the folder DIR. --help prints this\n"
      "text, --version the version.\n",
      program);
  print_separator();
}

void print_preview_written(const std::string& picture, PictureSource source) {
  const char* path = picture.c_str();
  switch (source) {
    case PictureSource::SavedFrame:
      std::printf("Preview written as '%s' from the frame VICE saved.\n", path);
      break;
    case PictureSource::Registers:
      std::printf("Preview written as '%s' from the VIC-II registers.\n", path);
      break;
    case PictureSource::Viewer:
      std::printf("Preview written as '%s' from the viewer program.\n", path);
      break;
  }
}

void print_comparison(const Comparison& comparison, const std::string& picture) {
  if (comparison.uncompared > 0) {
    std::printf(
        "Screen and viewer program differ in %u of %u pixels; %u more show the character ROM, "
        "which no file gives: they are not compared.\n",
        comparison.differing, static_cast<unsigned>(kPicturePixels), comparison.uncompared);
  } else {
    std::printf("Screen and viewer program differ in %u of %u pixels.\n", comparison.differing,
                static_cast<unsigned>(kPicturePixels));
  }
  if (!comparison.sprites.empty()) {
    std::string numbers;
    for (const int n : comparison.sprites) {
      numbers += (numbers.empty() ? "" : ", ") + std::to_string(n);
    }
    std::printf("Sprites on the screen: %s; the viewer program shows none.\n", numbers.c_str());
  }
  if (comparison.charsetInRom) {
    std::printf("The character set lies in the character ROM; the export takes the RAM beneath.\n");
  }
  if (comparison.romMissing) {
    std::printf(
        "No character ROM is at hand (the snapshot holds none, and no file gives one): the "
        "characters cannot be compared.\n");
  }
  if (comparison.extendedOrInvalid) {
    std::printf(
        "The screen uses extended background colours or an invalid mode; the viewer program "
        "does not.\n");
  }
  if (comparison.scrolledOrNarrow) {
    std::printf(
        "The screen is scrolled or shows 24 rows or 38 columns; the viewer program shows it "
        "otherwise.\n");
  }
  if (comparison.savedFrameDiffers && comparison.savedFrameWithoutRom) {
    std::printf(
        "The frame VICE saved differs from the registers in %u pixels that do not depend on the "
        "character ROM: changes during the frame, which the export cannot hold.\n",
        *comparison.savedFrameDiffers);
  } else if (comparison.savedFrameDiffers) {
    std::printf(
        "The frame VICE saved differs from the registers in %u pixels: changes during the frame, "
        "which the export cannot hold.\n",
        *comparison.savedFrameDiffers);
  }
  if (comparison.rasterInterruptLine) {
    std::printf(
        "The raster interrupt is on (line %u) and the snapshot holds no frame VICE drew: the "
        "program may change the screen during the frame, which one register set cannot show.\n",
        *comparison.rasterInterruptLine);
  }
  std::printf("Comparison written as '%s'.\n", picture.c_str());
}

void print_picture_notes(const std::string& snapshot, const SnapshotReading& reading,
                         const PreviewPicture& shown) {
  if (shown.romMissing) {
    print_note("'" + snapshot +
               "' holds no character ROM and no file gives one, so RAM was drawn where the "
               "VIC-II sees it.");
  }
  if (shown.source == PictureSource::Registers && reading.setup.rasterInterrupt) {
    print_note("'" + snapshot + "' has the raster interrupt on (line " +
               std::to_string(reading.setup.rasterLine) +
               "): the program may change the screen during the frame, which a picture drawn "
               "from one register set cannot show.");
  }
}

void print_not_a_png(const std::string& path) {
  std::printf("'%s' is not a PNG file: it is not replaced.\n", path.c_str());
}
