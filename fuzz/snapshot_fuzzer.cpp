// Fuzz target: arbitrary bytes as a snapshot, through the reader, through
// whichever export path the bytes select, the way the tool runs on a file,
// and through the drawing of every picture the preview can show: the frame
// VICE saved, the frame drawn from the registers, the viewer's picture and
// their comparison; and through the whole runs of lumerist-sprites,
// lumerist-bands and lumerist-export. The bytes are read both from memory
// and from a file holding them; outputs go to a private temporary folder.
// What the commands print goes nowhere.
//
// Besides crashes and sanitizer findings it traps when the two readings
// differ, when an export into that folder fails or leaves a viewer program
// of the wrong length, when a picture is not 384 x 272 colour indices, when
// lumerist-bands or lumerist-export fail on a snapshot they can read, or
// when lumerist-sprites fails or writes other than 64 bytes a sprite.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "bands/bands_run.h"
#include "command/screen_rip.h"
#include "formats/export_run.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "io/standard_streams.h"
#include "preview/compare.h"
#include "preview/preview_pictures.h"
#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"
#include "sprites/sprite_rip.h"
#include "sprites/sprites_run.h"

namespace {

std::string& output_folder() {
  static std::string folder;
  return folder;
}

bool same_frame_location(const std::optional<SavedFrameLocation>& a,
                         const std::optional<SavedFrameLocation>& b) {
  return a.has_value() == b.has_value() &&
         (!a || (a->firstLine == b->firstLine && a->width == b->width));
}

bool same_reading(const SnapshotReading& a, const SnapshotReading& b) {
  const SnapshotLocation& p = a.location;
  const SnapshotLocation& q = b.location;
  const VideoState& s = a.state;
  const VideoState& t = b.state;
  return a.error == b.error && a.machine == b.machine && p.ramOffset == q.ramOffset &&
         p.registerOffset == q.registerOffset && p.colorRamOffset == q.colorRamOffset &&
         p.cia2Offset == q.cia2Offset && p.charRomOffset == q.charRomOffset &&
         same_frame_location(p.savedFrame, q.savedFrame) && s.vic == t.vic &&
         s.cia2PortA == t.cia2PortA && s.colorRam == t.colorRam && s.ram == t.ram &&
         s.charRom == t.charRom;
}

void check_picture(const Picture& picture) {
  if (picture.pixels.size() != kPicturePixels) __builtin_trap();
  for (const std::uint8_t pixel : picture.pixels) {
    if (pixel > 15) __builtin_trap();
  }
}

// Runs a command's `run` on its command line; its exit status.
template <typename Run>
int run_command(Run run, std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return run(static_cast<int>(arguments.size()), argv.data()).status;
}

void remove_output_folder() {
  std::error_code ignored;
  std::filesystem::remove_all(output_folder(), ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!discard_standard_output()) std::abort();  // the commands' reports
  // A folder of a name no one else has taken.
  std::random_device random;
  for (int attempt = 0; attempt < 100 && output_folder().empty(); ++attempt) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("lumerist-fuzz-" + std::to_string(random()) + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(folder, error)) output_folder() = folder.string();
  }
  if (output_folder().empty()) std::abort();
  std::atexit(remove_output_folder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const SnapshotReading reading = read_snapshot(memory_input(std::span(data, size)));
  const std::string snapshotPath = output_folder() + "/input.vsf";
  if (!save_bytes(snapshotPath, Bytes(data, data + size))) std::abort();
  InputFile snapshot;
  if (!open_input(snapshotPath, snapshot)) std::abort();
  if (!same_reading(reading, read_snapshot(snapshot))) __builtin_trap();
  if (reading.error != SnapshotError::None) return 0;

  std::vector<std::string> written;
  const std::string base = output_folder() + "/shot.vsf";
  OutputBatch outputs;
  const std::optional<std::string> noRom;
  if (!rip_screen(reading.state, base, {snapshot, noRom}, outputs, written) ||
      commit_outputs(outputs).failed) {
    __builtin_trap();
  }
  const bool bitmap = reading.setup.bitmapMode;
  std::error_code error;
  const std::uintmax_t prgSize = std::filesystem::file_size(base + ".prg", error);
  if (error || prgSize != (bitmap ? 14145u : 4149u)) __builtin_trap();

  if (const std::optional<Picture> saved = saved_frame_picture(snapshot, reading)) {
    check_picture(*saved);
  }
  check_picture(registers_frame(reading).picture);
  check_picture(viewer_picture(reading));
  const Comparison comparison = compare_screen_with_viewer(snapshot, reading);
  if (comparison.differing > kPicturePixels ||
      comparison_picture(comparison).size() != 3 * kPicturePixels) {
    __builtin_trap();
  }

  if (run_command(run_sprites, {"lumerist-sprites", snapshotPath}) != 0) __builtin_trap();
  const SpriteRip rip = rip_sprites(reading.state);
  const std::uintmax_t dataSize = std::filesystem::file_size(snapshotPath + ".sprites", error);
  if (rip.enabled.empty() ? !error : error || dataSize != 64 * rip.enabled.size()) __builtin_trap();

  if (run_command(run_bands, {"lumerist-bands", snapshotPath}) != 0) __builtin_trap();
  std::vector<std::string> exported = {"lumerist-export", snapshotPath, base + ".64c",
                                       base + ".spd"};
  if (bitmap) {
    const std::vector<const char*> pictures = reading.setup.multicolorMode
                                                  ? std::vector<const char*>{".ocp", ".ami", ".gg"}
                                                  : std::vector<const char*>{".dd", ".jj", ".ish"};
    for (const char* extension : pictures) exported.push_back(base + extension);
  }
  if (run_command(run_export, exported) != 0) __builtin_trap();

  // Only the input stays, for the next run.
  for (const auto& entry : std::filesystem::directory_iterator(output_folder())) {
    if (entry.path() != snapshotPath) std::filesystem::remove(entry.path(), error);
  }
  return 0;
}
