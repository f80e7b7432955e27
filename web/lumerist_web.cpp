// The web page's entry points: the commands' own runs on files in the
// module's file system, called from worker.js. Everything a command prints
// goes to standard output and its notes to standard error, which the worker
// collects apart.

#include <emscripten/emscripten.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/run.h"
#include "bands/bands_run.h"
#include "command/chargen_file.h"
#include "command/console.h"
#include "command/open_snapshot.h"
#include "command/rip_source.h"
#include "formats/export_run.h"
#include "formats/formats.h"
#include "png/palette.h"
#include "preview/compare.h"
#include "preview/preview_run.h"
#include "render/picture.h"
#include "sprites/sprites_run.h"

namespace {

// The last picture drawn, as the canvas takes it: red, green, blue and
// alpha for each pixel, row by row.
std::vector<std::uint8_t> rgbaPixels;

// The page's choices, given to every command that takes them: the band
// (0: the snapshot's own registers) and a palette file ("": VICE's colours).
unsigned chosenBand = 0;
std::string chosenPalette;

// `arguments` with the choices the command takes.
std::vector<std::string> with_choices(std::vector<std::string> arguments, bool band, bool palette) {
  if (band && chosenBand > 0) {
    arguments.insert(arguments.begin() + 1, {"--band", std::to_string(chosenBand)});
  }
  if (palette && !chosenPalette.empty()) {
    arguments.insert(arguments.begin() + 1, {"--palette", chosenPalette});
  }
  return arguments;
}

void keep_rgba(const std::vector<std::uint8_t>& colours, const Palette& palette = kC64Palette) {
  rgbaPixels.resize(colours.size() * 4);
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const Rgb colour = palette[colours[i] & 0x0F];
    rgbaPixels[i * 4] = colour.red;
    rgbaPixels[i * 4 + 1] = colour.green;
    rgbaPixels[i * 4 + 2] = colour.blue;
    rgbaPixels[i * 4 + 3] = 0xFF;
  }
}

// The files the last run wrote.
std::vector<std::string> written;

// Text handed back to the page: the last list of formats or of bands.
std::string listed;

// The pixels the last comparison left out: they show a ROM no file gives.
unsigned uncompared = 0;

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
      with_choices({"lumerist", snapshot}, true, false));
}

EMSCRIPTEN_KEEPALIVE void lumerist_choose(int band, const char* palette) {
  chosenBand = band > 0 ? static_cast<unsigned>(band) : 0;
  chosenPalette = palette;
}

// Runs `lumerist-sprites SNAPSHOT` in the current folder.
EMSCRIPTEN_KEEPALIVE int lumerist_sprites(const char* snapshot) {
  return run_command(
      [](int argc, char** argv) {
        SpritesRun result = run_sprites(argc, argv);
        written = result.written;
        return result;
      },
      with_choices({"lumerist-sprites", snapshot}, true, true));
}

// How many files the last run of a command wrote, and the name of each, in
// the order its report names them.
EMSCRIPTEN_KEEPALIVE int lumerist_output_count() {
  return static_cast<int>(written.size());
}

EMSCRIPTEN_KEEPALIVE const char* lumerist_output_name(int index) {
  return index >= 0 && index < static_cast<int>(written.size()) ? written[index].c_str() : "";
}

// Makes CHARGEN (in the current folder) the character ROM of every later
// run, as $LUMERIST_CHARGEN names it; an empty name: none. Returns 1 when
// it is used; 0 when it cannot be, after printing the refusal
// `lumerist-preview --chargen CHARGEN` prints, and then none is used.
EMSCRIPTEN_KEEPALIVE int lumerist_use_chargen(const char* chargen) {
  unsetenv(kChargenVariable);
  const bool usable = *chargen && load_chargen(chargen).has_value();
  std::fflush(stdout);
  char folder[4096];
  if (!usable || !getcwd(folder, sizeof folder)) return 0;
  setenv(kChargenVariable, (std::string(folder) + '/' + chargen).c_str(), 1);
  return 1;
}

// Runs `lumerist-preview [--viewer] SNAPSHOT` in the current folder: the
// PNG lands where the command puts it, the picture in the page's pixels.
// Returns -1 when the run failed, else the picture's source: 0 the frame
// VICE saved, 1 the registers, 2 the viewer program.
EMSCRIPTEN_KEEPALIVE int lumerist_preview(const char* snapshot, int viewer) {
  std::vector<std::string> arguments = {"lumerist-preview"};
  if (viewer) arguments.push_back("--viewer");
  arguments.push_back(snapshot);
  PreviewRun drawn;
  if (preview_run(with_choices(arguments, viewer != 0, true), drawn) != 0 ||
      drawn.pixels.size() != kPicturePixels) {
    return -1;
  }
  keep_rgba(drawn.pixels, drawn.colours);
  return static_cast<int>(drawn.source);
}

// Runs `lumerist-preview --compare SNAPSHOT` in the current folder: the PNG
// lands where the command puts it, the comparison picture (1152 x 272) in
// the page's pixels. Returns -1 when the run failed, else how many pixels
// differ; lumerist_uncompared then tells how many show a ROM no file gives.
EMSCRIPTEN_KEEPALIVE int lumerist_compare(const char* snapshot) {
  PreviewRun compared;
  if (preview_run(with_choices({"lumerist-preview", "--compare", snapshot}, true, true),
                  compared) != 0 ||
      compared.pixels.size() != std::size_t{kComparisonWidth} * kPictureHeight) {
    return -1;
  }
  keep_rgba(compared.pixels, compared.colours);
  uncompared = compared.uncompared;
  return static_cast<int>(compared.differing);
}

EMSCRIPTEN_KEEPALIVE int lumerist_uncompared() {
  return static_cast<int>(uncompared);
}

// Where the last picture drawn leaves its pixels: 4 bytes a pixel, none
// when the run drew none.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* lumerist_pixels() {
  return rgbaPixels.data();
}

EMSCRIPTEN_KEEPALIVE int lumerist_pixel_count() {
  return static_cast<int>(rgbaPixels.size() / 4);
}

// The formats lumerist-export can write for the screen SNAPSHOT shows, in
// the order of its --list: a line each, the first extension, a tab, the
// name. Empty when the snapshot is refused (the refusal printed).
EMSCRIPTEN_KEEPALIVE const char* lumerist_export_formats(const char* snapshot) {
  listed.clear();
  Arguments arguments;
  if (chosenBand > 0) arguments.band = chosenBand;
  const std::string path = snapshot;
  OutputBatch outputs;
  std::vector<std::string> files;
  const SnapshotRun run{arguments, path, path, outputs, files};
  RipSource source;
  if (open_rip_source(run, source)) {
    for (const PictureFormat& format : picture_formats()) {
      if (!holds_screen(format, source.reading.setup)) continue;
      listed.append(format.extensions[0]).append("\t").append(format.name).append("\n");
    }
  }
  std::fflush(stdout);
  return listed.c_str();
}

// Runs `lumerist-export SNAPSHOT OUTPUT...` in the current folder, an
// output for each extension in EXTENSIONS (separated by spaces): the
// snapshot's name with that extension in place of its own, or added to it
// where that would name the snapshot itself.
EMSCRIPTEN_KEEPALIVE int lumerist_export(const char* snapshot, const char* extensions) {
  const std::string name = snapshot;
  const std::size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  std::vector<std::string> arguments = {"lumerist-export", name};
  for (std::string_view rest = extensions; !rest.empty();) {
    const std::size_t space = rest.find(' ');
    const std::string_view extension = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view{} : rest.substr(space + 1);
    if (extension.empty()) continue;
    const std::string band = chosenBand > 0 ? ".band" + std::to_string(chosenBand) : "";
    std::string output = stem + band + std::string(extension);
    if (output == name) output = name + std::string(extension);
    arguments.push_back(output);
  }
  return run_command(
      [](int argc, char** argv) {
        ExportRun result = run_export(argc, argv);
        written = result.written;
        return result;
      },
      with_choices(arguments, true, false));
}

// Runs `lumerist-bands SNAPSHOT` in the current folder: the frame VICE
// saved in the page's pixels (none without one), and its bands a line
// each in lumerist_bands_found: number, first and last raster line, and 1
// where a register set draws the band, else 0, separated by spaces.
EMSCRIPTEN_KEEPALIVE int lumerist_bands(const char* snapshot) {
  listed.clear();
  rgbaPixels.clear();
  return run_command(
      [](int argc, char** argv) {
        BandsRun result = run_bands(argc, argv);
        written = result.written;
        if (result.frame.size() == kPicturePixels) keep_rgba(result.frame);
        for (const BandMark& band : result.bands) {
          listed += std::to_string(band.number) + ' ' + std::to_string(band.firstLine) + ' ' +
                    std::to_string(band.lastLine) + (band.drawn ? " 1\n" : " 0\n");
        }
        return result;
      },
      {"lumerist-bands", snapshot});
}

EMSCRIPTEN_KEEPALIVE const char* lumerist_bands_found() {
  return listed.c_str();
}

}  // extern "C"
