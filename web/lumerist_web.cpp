// The web page's entry points: the two commands' runs on files in the
// page's in-memory file system, called from app.js. Everything either
// command prints goes to standard output, which the page collects.

#include <emscripten/emscripten.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <string>

#include "app/console.h"
#include "app/open_snapshot.h"
#include "app/output_names.h"
#include "app/run.h"
#include "io/input_file.h"
#include "preview/chargen_file.h"
#include "preview/preview_pictures.h"
#include "render/palette.h"
#include "render/picture.h"
#include "snapshot/read_snapshot.h"

namespace {

// The last picture drawn, as the canvas takes it: red, green, blue and
// alpha for each pixel, row by row.
std::array<std::uint8_t, kPicturePixels * 4> rgbaPixels;

std::string outputList;

bool exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

}  // namespace

extern "C" {

// Runs `lumerist SNAPSHOT` in the current folder and returns its exit
// status as a shell sees it: 0 or 255.
EMSCRIPTEN_KEEPALIVE int lumerist_run(const char* snapshot) {
  char program[] = "lumerist";
  std::string path = snapshot;
  char* argv[] = {program, path.data(), nullptr};
  return finish_console(run(2, argv)) & 0xFF;
}

// The files lumerist wrote for SNAPSHOT in the current folder, one name a
// line, in the order its reports name them.
EMSCRIPTEN_KEEPALIVE const char* lumerist_outputs(const char* snapshot) {
  const OutputNames names = make_output_names(snapshot);
  outputList.clear();
  for (const std::string* name : {&names.bitmap, &names.colmap, &names.font, &names.screen,
                                  &names.attrib, &names.koala, &names.hires, &names.prg}) {
    if (exists(*name)) outputList += *name + "\n";
  }
  return outputList.c_str();
}

// True when CHARGEN can be used as a character ROM image; else prints the
// refusal `lumerist-preview --chargen CHARGEN` prints.
EMSCRIPTEN_KEEPALIVE int lumerist_chargen_usable(const char* chargen) {
  VideoState probe;
  const bool usable = load_chargen(chargen, probe);
  std::fflush(stdout);
  return usable ? 1 : 0;
}

// Draws the picture `lumerist-preview [--viewer] [--chargen CHARGEN]
// SNAPSHOT` draws (CHARGEN may be empty) into the page's pixels. Returns -1
// after printing the refusal, else the picture's source (0 the frame VICE
// saved, 1 the registers, 2 the viewer program) plus 4 when the picture
// needed a character ROM and RAM was drawn in its place.
EMSCRIPTEN_KEEPALIVE int lumerist_draw(const char* snapshot, int viewer, const char* chargen) {
  InputFile input;
  SnapshotReading reading;
  const std::string chargenPath = chargen;
  bool drawn = open_snapshot(snapshot, input, reading) &&
               (chargenPath.empty() || load_chargen(chargenPath, reading.state));
  PreviewPicture shown;
  if (drawn) {
    shown = preview_picture(input, reading, viewer ? PreviewMode::Viewer : PreviewMode::Screen);
    if (input.readFailed) {
      print_read_failure(snapshot);
      drawn = false;
    }
  }
  std::fflush(stdout);
  if (!drawn) return -1;
  for (std::size_t i = 0; i < kPicturePixels; ++i) {
    const Rgb colour = kC64Palette[shown.picture.pixels[i] & 0x0F];
    rgbaPixels[i * 4] = colour.red;
    rgbaPixels[i * 4 + 1] = colour.green;
    rgbaPixels[i * 4 + 2] = colour.blue;
    rgbaPixels[i * 4 + 3] = 0xFF;
  }
  return static_cast<int>(shown.source) + (shown.romMissing ? 4 : 0);
}

// Where lumerist_draw leaves its pixels: 384 x 272 x 4 bytes.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* lumerist_pixels() {
  return rgbaPixels.data();
}

}  // extern "C"
