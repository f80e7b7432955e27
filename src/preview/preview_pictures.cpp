#include "preview/preview_pictures.h"

#include "viewer/viewer_program.h"

Frame registers_frame(const SnapshotReading& reading) {
  return render_frame(reading.state);
}

Picture viewer_picture(const SnapshotReading& reading) {
  const ViewerKind kind = viewer_kind_of(reading.setup);
  const std::vector<std::uint8_t> program =
      viewer_program(kind, reading.setup, screen_blocks(reading.setup, reading.state));
  return render_frame(viewer_machine(kind, program)).picture;
}

PreviewPicture preview_picture(const InputFile& snapshot, const SnapshotReading& reading,
                               PreviewMode mode) {
  if (mode == PreviewMode::Viewer) return {viewer_picture(reading), PictureSource::Viewer};
  if (mode == PreviewMode::Screen) {
    if (std::optional<Picture> saved = saved_frame_picture(snapshot, reading)) {
      return {std::move(*saved), PictureSource::SavedFrame};
    }
  }
  Frame frame = registers_frame(reading);
  const bool romMissing = frame.readsCharRom && !reading.state.rom_known();
  return {std::move(frame.picture), PictureSource::Registers, romMissing};
}
