#include "command/rip_source.h"

#include <cstdio>

#include "bands/snapshot_bands.h"
#include "command/open_snapshot.h"
#include "render/frame_font.h"
#include "render/rom_free_frame.h"

namespace {

// The band the command line asks for, when it is one a rip can be made of.
const Band* band_to_rip(const BandSearch& search, unsigned number) {
  if (number == 0 || number > search.bands.size()) return nullptr;
  const Band& band = search.bands[number - 1];
  return band.kind == BandKind::Drawn ? &band : nullptr;
}

// Takes band `number`'s set; false, after the refusal, when there is none.
bool take_band(RipSource& source, const std::string& path, unsigned number) {
  const BandSearch search = snapshot_bands(source.reading.state, source.frame);
  const Band* band = band_to_rip(search, number);
  if (!band) {
    std::printf("Snapshot '%s' has no band %u to rip!\n", path.c_str(), number);
    return false;
  }
  source.reading.state = band_state(source.reading.state, band->set);
  source.reading.setup = decode_video_setup(source.reading.state);
  source.lines = {band->firstLine, band->lastLine};
  return true;
}

}  // namespace

bool open_rip_source(const SnapshotRun& run, RipSource& source) {
  source.path = run.snapshot;
  source.bandChosen = run.arguments.band.has_value();
  if (!open_snapshot(run.snapshot, source.snapshot, source.reading)) return false;
  source.rom = find_character_rom(run.arguments.chargen, source.reading.state);
  if (source.rom.refused) return false;
  source.frame = saved_frame_picture(source.snapshot, source.reading);
  if (run.arguments.band && !take_band(source, run.snapshot, *run.arguments.band)) return false;
  const FrameFontCount count =
      read_characters_off_frame(source.reading.state, source.frame, source.lines);
  source.charactersRead = count.read;
  source.charactersBeneath = count.beneath;
  return true;
}

FrameFontCount read_characters_off_frame(VideoState& state, const std::optional<Picture>& frame,
                                         LineRange lines) {
  if (state.charRom || !frame) return {};
  const FrameFont font =
      read_frame_font(state, state.vic, state.cia2PortA, *frame, std::nullopt, lines);
  apply_frame_font(font, state);
  return count_frame_font(font);
}

void print_rom_note(const VideoState& state, const FrameFontCount& count) {
  if (state.rom_known()) return;
  if (count.read > 0) {
    std::fprintf(stderr,
                 "Note: no character ROM is at hand: the shapes of %u characters were read from "
                 "the frame VICE saved; the other %u hold the RAM beneath.\n",
                 count.read, count.beneath);
    return;
  }
  const unsigned rom = decode_video_setup(state).bankBase + 0x1000u;
  std::fprintf(stderr,
               "Note: no character ROM is at hand: the characters at $%04X-$%04X hold the RAM "
               "beneath.\n",
               rom, rom + 0x0FFFu);
}

void print_rip_notes(const RipSource& source, bool readsRom, bool tellsSplit) {
  const VideoState& state = source.reading.state;
  if (readsRom) print_rom_note(state, {source.charactersRead, source.charactersBeneath});
  if (!tellsSplit || !source.frame || source.bandChosen) return;
  const unsigned differing = pixels_not_drawn(*source.frame, rom_free_frame(state));
  if (differing == 0) return;
  std::fprintf(stderr,
               "Note: the frame VICE saved in '%s' is not drawn by its registers (%u pixels "
               "differ): a split screen or a change during the frame. lumerist-bands finds its "
               "bands; --band N rips one.\n",
               source.path.c_str(), differing);
}
