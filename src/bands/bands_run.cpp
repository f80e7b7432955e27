#include "bands/bands_run.h"

#include <algorithm>
#include <optional>

#include "bands/band_search.h"
#include "bands/bands_messages.h"
#include "bands/snapshot_bands.h"
#include "command/chargen_file.h"
#include "command/command_line.h"
#include "command/command_run.h"
#include "command/console.h"
#include "command/open_snapshot.h"
#include "command/run_outputs.h"
#include "command/rip_source.h"
#include "command/screen_rip.h"
#include "snapshot/vic_memory.h"
#include "io/input_file.h"
#include "render/picture.h"
#include "render/render_frame.h"
#include "snapshot/read_snapshot.h"

namespace {

// The bands of a snapshot, and the frame VICE saved in `frame` (empty
// without one, which a note tells).
BandSearch bands_of(const InputFile& snapshot, const SnapshotReading& reading,
                    const std::string& snapshotPath, std::optional<Picture>& saved) {
  saved = saved_frame_picture(snapshot, reading);
  if (!saved) print_no_frame_note(snapshotPath);
  return snapshot_bands(reading.state, saved);
}

// Decodes one snapshot's bands, prints their lines and rips each band.
int decode(SnapshotRun& job, BandsRun& run) {
  const std::string& snapshotPath = job.snapshot;
  InputFile snapshot;
  SnapshotReading reading;
  if (!open_snapshot(snapshotPath, snapshot, reading)) return kExitFailure;
  const CharacterRom rom = find_character_rom(job.arguments.chargen, reading.state);
  if (rom.refused) return kExitFailure;
  std::optional<Picture> saved;
  const BandSearch search = bands_of(snapshot, reading, snapshotPath, saved);
  run.frame = saved ? saved->pixels : std::vector<std::uint8_t>{};
  if (snapshot.readFailed) {
    print_read_failure(snapshotPath);
    return kExitFailure;
  }

  run.bands.clear();
  for (std::size_t i = 0; i < search.bands.size(); ++i) {
    const Band& band = search.bands[i];
    const int number = static_cast<int>(i) + 1;
    std::fputs(band_line(number, band).c_str(), stdout);
    run.bands.push_back({number, band.firstLine, band.lastLine, band.kind == BandKind::Drawn});
  }
  if (search.cutShort) print_search_cut_short();

  // Each drawn band's rip, unless an earlier band's is the same.
  std::vector<std::pair<int, std::vector<std::uint8_t>>> ripped;  // band number, viewer program
  for (std::size_t i = 0; i < search.bands.size(); ++i) {
    const Band& band = search.bands[i];
    if (band.kind != BandKind::Drawn) continue;
    const int number = static_cast<int>(i) + 1;
    VideoState state = band_state(reading.state, band.set);
    const FrameFontCount font =
        read_characters_off_frame(state, saved, {band.firstLine, band.lastLine});
    std::vector<std::uint8_t> program = rip_viewer_program(state);
    const auto same = std::find_if(ripped.begin(), ripped.end(), [&program](const auto& earlier) {
      return earlier.second == program;
    });
    if (same != ripped.end()) {
      print_same_rip(number, same->first);
      continue;
    }
    std::vector<std::string> files;
    if (!rip_screen(state, job.base + ".band" + std::to_string(number), {snapshot, rom.file},
                    job.outputs, files)) {
      return kExitFailure;
    }
    job.written.insert(job.written.end(), files.begin(), files.end());
    if (screen_blocks(decode_video_setup(state), state).readsRom) print_rom_note(state, font);
    ripped.emplace_back(number, std::move(program));
  }
  return kExitSuccess;
}

constexpr CommandSpec kBands{
    .name = "lumerist-bands", .printUsage = print_bands_usage, .options = {.chargen = true}};

}  // namespace

BandsRun run_bands(int argc, char** argv) {
  BandsRun run;
  run.status = run_command(
      kBands, argc, argv, [&run](SnapshotRun& job) { return decode(job, run); }, run.written);
  return run;
}
