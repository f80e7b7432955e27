// The web page's entry points: the commands' runs on files in the page's
// in-memory file system, called from app.js. Everything a command prints
// goes to standard output and its notes to standard error, which the page
// collects apart.

#include <emscripten/emscripten.h>

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
#include "preview/compare.h"
#include "preview/preview_messages.h"
#include "preview/preview_pictures.h"
#include "render/picture.h"
#include "snapshot/read_snapshot.h"

namespace {

// The last picture drawn, as the canvas takes it: red, green, blue and
// alpha for each pixel, row by row.
std::vector<std::uint8_t> rgbaPixels;

// The files the last lumerist run wrote.
std::vector<std::string> written;

void keep_rgba(const std::vector<std::uint8_t>& colours) {
  rgbaPixels.resize(colours.size() * 4);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const Rgb colour = kC64Palette[colours[i] & 0x0F];
    rgbaPixels[i * 4] = colour.red;
    rgbaPixels[i * 4 + 1] = colour.green;
    rgbaPixels[i * 4 + 2] = colour.blue;
    rgbaPixels[i * 4 + 3] = 0xFF;
  }
}

// Opens SNAPSHOT and loads CHARGEN (when not empty) as lumerist-preview
// does; false after printing the refusal.
bool open_for_preview(const char* snapshot, const char* chargen, InputFile& input,
                      SnapshotReading& reading) {
  const std::string chargenPath = chargen;
  return open_snapshot(snapshot, input, reading) &&
         (chargenPath.empty() || load_chargen(chargenPath, reading.state));
}

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
  bool drawn = open_for_preview(snapshot, chargen, input, reading);
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
  keep_rgba(shown.picture.pixels);
  return static_cast<int>(shown.source);
}

// Compares as `lumerist-preview --compare [--chargen CHARGEN] SNAPSHOT`
// does: prints its lines but the last (which names the PNG) and leaves the
// comparison picture, 1152 x 272, in the page's pixels. Returns -1 after
// printing the refusal, else how many pixels differ.
EMSCRIPTEN_KEEPALIVE int lumerist_compare(const char* snapshot, const char* chargen) {
  InputFile input;
  SnapshotReading reading;
  bool compared = open_for_preview(snapshot, chargen, input, reading);
  Comparison comparison;
  if (compared) {
    comparison = compare_screen_with_viewer(input, reading);
    if (input.readFailed) {
      print_read_failure(snapshot);
      compared = false;
    } else {
      print_comparison_causes(comparison);
    }
  }
  std::fflush(stdout);
  if (!compared) return -1;
  keep_rgba(comparison_picture(comparison));
  return static_cast<int>(comparison.differing);
}

// Where lumerist_draw and lumerist_compare leave their pixels: 4 bytes a
// pixel.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* lumerist_pixels() {
  return rgbaPixels.data();
}

}  // extern "C"
