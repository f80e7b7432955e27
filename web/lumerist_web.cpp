// The web page's entry points: the commands' own runs on files in the
// page's in-memory file system, called from app.js. Everything a command
// prints goes to standard output and its notes to standard error, which the
// page collects apart.

#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/run.h"
#include "command/chargen_file.h"
#include "command/console.h"
#include "png/palette.h"
#include "preview/compare.h"
#include "preview/preview_run.h"
#include "render/picture.h"
#include "sprites/sprites_run.h"

namespace {

// The last picture drawn, as the canvas takes it: red, green, blue and
// alpha for each pixel, row by row.
std::vector<std::uint8_t> rgbaPixels;

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

// The files the last run wrote.
std::vector<std::string> written;

// Runs a command's `run` on `arguments` (the program name first) and
// returns its exit status as a shell sees it: 0 or 255.
template <typename Run>
int run_command(Run run, std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  auto result = run(static_cast<int>(arguments.size()), argv.data());
  const int status = finish_console(result.status) & 0xFF;
  std::fflush(stderr);
  return status;
}

// Runs lumerist-preview on `arguments`: its exit status, what it drew and
// the files it wrote.
int preview_run(const std::vector<std::string>& arguments, PreviewRun& drawn) {
  return run_command(
      [&drawn](int argc, char** argv) {
        drawn = run_preview(argc, argv);
        written = drawn.written;
        return drawn;
      },
      arguments);
}

}  // namespace

extern "C" {

// Runs `lumerist SNAPSHOT` in the current folder.
EMSCRIPTEN_KEEPALIVE int lumerist_run(const char* snapshot) {
  return run_command(
      [](int argc, char** argv) {
        RunResult result = run(argc, argv);
        written = result.written;
        return result;
      },
      {"lumerist", snapshot});
}

// Runs `lumerist-sprites [--chargen CHARGEN] SNAPSHOT` in the current folder
// (CHARGEN may be empty).
EMSCRIPTEN_KEEPALIVE int lumerist_sprites(const char* snapshot, const char* chargen) {
  std::vector<std::string> arguments = {"lumerist-sprites"};
  if (*chargen) arguments.insert(arguments.end(), {"--chargen", chargen});
  arguments.push_back(snapshot);
  return run_command(
      [](int argc, char** argv) {
        SpritesRun result = run_sprites(argc, argv);
        written = result.written;
        return result;
      },
      arguments);
}

// How many files the last run of a command wrote, and the name of each, in
// the order its report names them.
EMSCRIPTEN_KEEPALIVE int lumerist_output_count() {
  return static_cast<int>(written.size());
}

EMSCRIPTEN_KEEPALIVE const char* lumerist_output_name(int index) {
  return index >= 0 && index < static_cast<int>(written.size()) ? written[index].c_str() : "";
}

// True when CHARGEN can be used as a character ROM image; else prints the
// refusal `lumerist-preview --chargen CHARGEN` prints.
EMSCRIPTEN_KEEPALIVE int lumerist_chargen_usable(const char* chargen) {
  const bool usable = load_chargen(chargen).has_value();
  std::fflush(stdout);
  return usable ? 1 : 0;
}

// Runs `lumerist-preview [--viewer] [--chargen CHARGEN] SNAPSHOT` in the
// current folder (CHARGEN may be empty): the PNG lands where the command
// puts it, the picture in the page's pixels. Returns -1 when the run
// failed, else the picture's source: 0 the frame VICE saved, 1 the
// registers, 2 the viewer program.
EMSCRIPTEN_KEEPALIVE int lumerist_preview(const char* snapshot, int viewer, const char* chargen) {
  std::vector<std::string> arguments = {"lumerist-preview"};
  if (viewer) arguments.push_back("--viewer");
  if (*chargen) arguments.insert(arguments.end(), {"--chargen", chargen});
  arguments.push_back(snapshot);
  PreviewRun drawn;
  if (preview_run(arguments, drawn) != 0 || drawn.pixels.size() != kPicturePixels) return -1;
  keep_rgba(drawn.pixels);
  return static_cast<int>(drawn.source);
}

// Runs `lumerist-preview --compare [--chargen CHARGEN] SNAPSHOT` in the
// current folder: the PNG lands where the command puts it, the comparison
// picture (1152 x 272) in the page's pixels. Returns -1 when the run
// failed, else how many pixels differ.
EMSCRIPTEN_KEEPALIVE int lumerist_compare(const char* snapshot, const char* chargen) {
  std::vector<std::string> arguments = {"lumerist-preview", "--compare"};
  if (*chargen) arguments.insert(arguments.end(), {"--chargen", chargen});
  arguments.push_back(snapshot);
  PreviewRun compared;
  if (preview_run(arguments, compared) != 0 ||
      compared.pixels.size() != std::size_t{kComparisonWidth} * kPictureHeight) {
    return -1;
  }
  keep_rgba(compared.pixels);
  return static_cast<int>(compared.differing);
}

// Where lumerist_preview and lumerist_compare leave their pixels: 4 bytes
// a pixel.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* lumerist_pixels() {
  return rgbaPixels.data();
}

}  // extern "C"
