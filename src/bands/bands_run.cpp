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
#include "command/input_guard.h"
#include "command/open_snapshot.h"
#include "command/rip_source.h"
#include "command/run_outputs.h"
#include "command/screen_rip.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "render/picture.h"
#include "render/render_frame.h"
#include "render/vic_geometry.h"
#include "snapshot/read_snapshot.h"
#include "snapshot/vic_memory.h"
#include "viewer/split_viewer.h"

namespace {

// The bands of a snapshot, and the frame VICE saved in `frame` (empty
// without one, which a note tells).
BandSearch bands_of(const InputFile& snapshot, const SnapshotReading& reading,
                    const std::string& snapshotPath, std::optional<Picture>& saved) {
  saved = saved_frame_picture(snapshot, reading);
  if (!saved) print_no_frame_note(snapshotPath);
  return snapshot_bands(reading.state, saved);
}

// The raster line a band's set takes over on: its first line or, where the
// set also draws lines above it, the first of those that both it and the
// set above show as border only.
int switch_line(const Band& band, const Band* above) {
  if (!band.fromLine || !above) return band.firstLine;
  const VideoSetup mine = decode_video_setup(band.set.vic, band.set.cia2PortA);
  const VideoSetup theirs = decode_video_setup(above->set.vic, above->set.cia2PortA);
  for (int line = *band.fromLine; line < band.firstLine; ++line) {
    if (!in_rows(line, mine.rows25) && !in_rows(line, theirs.rows25)) return line;
  }
  return band.firstLine;
}

// Writes SNAPSHOT.bands.prg where two or more bands are drawn, or says why
// not; false when it cannot be written.
bool write_split_viewer(const SnapshotRun& job, const VideoState& state, const BandSearch& search,
                        const InputFile& snapshot, const CharacterRom& rom) {
  std::vector<SplitBand> bands;
  std::vector<int> numbers;
  const Band* above = nullptr;
  for (std::size_t i = 0; i < search.bands.size(); ++i) {
    const Band& band = search.bands[i];
    if (band.kind != BandKind::Drawn && band.kind != BandKind::DisplayOff) continue;
    bands.push_back(
        {switch_line(band, above), band.set.vic, band.set.cia2PortA, band.set.pointers});
    numbers.push_back(static_cast<int>(i) + 1);
    above = &band;
  }
  if (std::count_if(search.bands.begin(), search.bands.end(),
                    [](const Band& b) { return b.kind == BandKind::Drawn; }) < 2) {
    return true;
  }
  const SplitViewer viewer = split_viewer(state, bands);
  if (viewer.refusal == SplitRefusal::Memory) print_split_viewer_memory();
  if (viewer.refusal == SplitRefusal::TooClose) {
    print_split_viewer_too_close(numbers[static_cast<std::size_t>(viewer.closeBand)]);
  }
  if (viewer.refusal != SplitRefusal::None) return true;
  const std::string path = job.base + ".bands.prg";
  if (overwrites_an_input(path, snapshot, rom.file)) {
    print_split_viewer_failure(path);
    return false;
  }
  if (!claim_outputs(job.outputs, std::span(&path, 1))) return false;
  OutputFile file = open_output(job.outputs, path);
  write_bytes(file, viewer.program);
  if (!close_output(file)) {
    print_split_viewer_failure(path);
    return false;
  }
  print_split_viewer_written(path);
  job.written.push_back(path);
  return true;
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
  if (!write_split_viewer(job, reading.state, search, snapshot, rom)) return kExitFailure;

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
