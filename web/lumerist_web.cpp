// The web page's entry points: the commands' runs on files in the page's
// in-memory file system, called from app.js. Everything a command prints
// goes to standard output and its notes to standard error, which the page
// collects apart.

#include <emscripten/emscripten.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/run.h"
#include "command/chargen_file.h"
#include "command/console.h"
#include "command/open_snapshot.h"
#include "io/input_file.h"
#include "png/palette.h"
#include "preview/preview_messages.h"
#include "preview/preview_pictures.h"
#include "render/picture.h"
#include "snapshot/read_snapshot.h"

namespace {

// The last picture drawn, as the canvas takes it: red, green, blue and
// alpha for each pixel, row by row.
std::array<std::uint8_t, kPicturePixels * 4> rgbaPixels;

// The files the last lumerist run wrote.
std::vector<std::string> written;

}  // namespace

extern "C" {

// Runs `lumerist SNAPSHOT` in the current folder and returns its exit
// status as a shell sees it: 0 or 255.
EMSCRIPTEN_KEEPALIVE int lumerist_run(const char* snapshot) {
  char program[] = "lumerist";
  std::string path = snapshot;
  char* argv[] = {program, path.data(), nullptr};
  RunResult result = run(2, argv);
  written = std::move(result.written);
  return finish_console(result.status) & 0xFF;
}

// How many files the last run wrote, and the name of each, in the order its
// report names them.
EMSCRIPTEN_KEEPALIVE int lumerist_output_count() {
  return static_cast<int>(written.size());
}

EMSCRIPTEN_KEEPALIVE const char* lumerist_output_name(int index) {
  return index >= 0 && index < static_cast<int>(written.size()) ? written[index].c_str() : "";
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
// SNAPSHOT` draws (CHARGEN may be empty) into the page's pixels, and prints
// the notes lumerist-preview prints with it on standard error. Returns -1
// after printing the refusal, else the picture's source: 0 the frame VICE
// saved, 1 the registers, 2 the viewer program.
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
    } else {
      print_picture_notes(snapshot, reading, shown);
    }
  }
  std::fflush(stdout);
  std::fflush(stderr);
  if (!drawn) return -1;
  for (std::size_t i = 0; i < kPicturePixels; ++i) {
    const Rgb colour = kC64Palette[shown.picture.pixels[i] & 0x0F];
    rgbaPixels[i * 4] = colour.red;
    rgbaPixels[i * 4 + 1] = colour.green;
    rgbaPixels[i * 4 + 2] = colour.blue;
    rgbaPixels[i * 4 + 3] = 0xFF;
  }
  return static_cast<int>(shown.source);
}

// Where lumerist_draw leaves its pixels: 384 x 272 x 4 bytes.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* lumerist_pixels() {
  return rgbaPixels.data();
}

}  // extern "C"
