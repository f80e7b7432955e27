#pragma once

// Runs the tool on a built snapshot in a fresh folder and checks what must
// hold after any successful export.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snapshot_builder.h"
#include "tool_run.h"

class ExportTest : public ::testing::Test {
 public:
  TempDir dir;
  const std::string path = dir.file("shot.vsf");
  SnapshotPlan plan;
  BuiltSnapshot built;

  ToolRun run_on(const SnapshotPlan& snapshot, const RunOptions& options = {}) {
    plan = snapshot;
    built = build_snapshot(snapshot);
    write_file(path, built.bytes);
    return run_lumerist({path}, options);
  }
  Bytes output(const std::string& suffix) const { return read_file(path + suffix); }
  // What the snapshot file holds at C64 address `address` ($FF past its end).
  Bytes ram(std::uint16_t address, std::size_t count) const {
    return slice(built.bytes, built.location.ramOffset + address, count);
  }
  Bytes color_ram() const { return slice(built.bytes, built.location.colorRamOffset, 1000); }
  std::vector<std::string> outputs() const;  // files next to the snapshot, itself excluded
  std::string report_line(const std::string& format) const;  // '%' stands for `path`
};

// `count` bytes of `bytes` from `offset`.
Bytes part(const Bytes& bytes, std::size_t offset, std::size_t count);

// Every file and region of a complete bitmap export, from the snapshot's RAM
// and colour RAM.
void expect_bitmap_export(const ExportTest& test, const VideoRegisters& registers,
                          std::uint16_t screen, std::uint16_t bitmap);
// Every file and region of a complete text export.
void expect_text_export(const ExportTest& test, const VideoRegisters& registers,
                        std::uint16_t screen, std::uint16_t charset);
