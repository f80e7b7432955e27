// Runs every command of this build on every snapshot given
// and writes down all they did: for each run its exit status, standard
// output and standard error, and every file the runs left. Two builds, say
// for Linux and for Windows, must write identical transcripts
// (compare_builds.sh).
// Usage: lumerist_transcript OUT_FOLDER INPUT...   (files, or folders of them)

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "snapshot_builder.h"
#include "tool_run.h"

namespace {

namespace fs = std::filesystem;

enum class Tool { Lumerist, Preview, Sprites, Bands, Export };

struct Command {
  const char* name;
  Tool tool;
  std::vector<std::string> arguments;  // "%" stands for the snapshot
};

// Every way of running the commands on one snapshot, in one folder, so
// that later runs see the files of the earlier ones as a user's would.
const std::vector<Command> kOnSnapshot = {
    {"lumerist", Tool::Lumerist, {"%"}},
    {"preview", Tool::Preview, {"%"}},
    {"registers", Tool::Preview, {"--registers", "%"}},
    {"viewer", Tool::Preview, {"--viewer", "%"}},
    {"compare", Tool::Preview, {"--compare", "%"}},
    {"chargen", Tool::Preview, {"--chargen", "chargen.bin", "%", "chargen.png"}},
    {"sprites", Tool::Sprites, {"%"}},
    {"sprites-chargen", Tool::Sprites, {"--chargen=chargen.bin", "%"}},
    {"palette", Tool::Preview, {"--palette", "palette.vpl", "%", "palette.png"}},
    {"palette-bad", Tool::Preview, {"--palette=bad.vpl", "%", "bad.png"}},
    {"palette-name", Tool::Preview, {"--palette", "nosuch", "%", "name.png"}},
    {"bands", Tool::Bands, {"%"}},
    {"bands-here", Tool::Bands, {"-o", ".", "%"}},
    {"export", Tool::Export, {"%", "font.64c", "sprites.spd", "picture.kla", "picture.dd"}},
    {"export-packed", Tool::Export, {"%", "picture.ami", "picture.gg", "picture.jj"}},
    {"lumerist-band", Tool::Lumerist, {"--band", "2", "%"}},
    {"sprites-band", Tool::Sprites, {"--band=1", "%"}},
    {"viewer-band", Tool::Preview, {"--viewer", "--band", "2", "%"}},
    {"export-band", Tool::Export, {"--band", "1", "%", "band.kla", "band.64c"}},
    {"export-twice", Tool::Export, {"%", "twice.kla", "./twice.kla"}},
    {"preview-many", Tool::Preview, {"%", "%"}},
    {"export-editors", Tool::Export, {"%", "screen.ctm", "screen.petmate"}},
    {"export-petscii", Tool::Export, {"%", "screen.pet", "screen.seq"}},
};

// And without one.
const std::vector<Command> kAlone = {
    {"banner", Tool::Lumerist, {}},
    {"missing", Tool::Lumerist, {"missing.vsf"}},
    {"preview-help", Tool::Preview, {"--help"}},
    {"preview-usage", Tool::Preview, {}},
    {"preview-missing", Tool::Preview, {"missing.vsf"}},
    {"sprites-help", Tool::Sprites, {"--help"}},
    {"sprites-usage", Tool::Sprites, {"--unknown"}},
    {"bands-version", Tool::Bands, {"--version"}},
    {"export-list", Tool::Export, {"--list"}},
    {"lumerist-help", Tool::Lumerist, {"--help"}},
};

Bytes bytes_of(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

void record(const fs::path& into, const ToolRun& run) {
  make_folders(into.string());
  write_file((into / "status").string(), bytes_of(std::to_string(run.status) + "\n"));
  write_file((into / "stdout").string(), bytes_of(run.output));
  write_file((into / "stderr").string(), bytes_of(run.errors));
}

// Runs the commands in `folder` and records them and the files they leave
// under `into`; returns the number of runs.
int run_all(const std::vector<Command>& commands, const std::string& snapshot,
            const TempDir& folder, const fs::path& into) {
  RunOptions options = in_folder(folder.path);
  for (const Command& command : commands) {
    std::vector<std::string> arguments;
    for (const std::string& argument : command.arguments) {
      arguments.push_back(argument == "%" ? snapshot : argument);
    }
    // argv[0] as a user types it, the same for both builds.
    const char* names[] = {"lumerist", "lumerist-preview", "lumerist-sprites", "lumerist-bands",
                           "lumerist-export"};
    options.programName = names[static_cast<int>(command.tool)];
    const std::string programs[] = {lumerist_path(), lumerist_preview_path(),
                                    lumerist_sprites_path(), lumerist_bands_path(),
                                    lumerist_export_path()};
    const std::string& program = programs[static_cast<int>(command.tool)];
    record(into / command.name, run_program(program, arguments, options));
  }
  make_folders((into / "files").string());
  for (const std::string& name : files_in(folder.path)) {
    write_file((into / "files" / name).string(), read_file(folder.file(name)));
  }
  return static_cast<int>(commands.size());
}

// A character ROM of recognisable glyphs, for --chargen.
Bytes character_rom() {
  Bytes rom(4096);
  for (std::size_t i = 0; i < rom.size(); ++i) rom[i] = static_cast<std::uint8_t>(i * 7 + i / 8);
  return rom;
}

// A palette file in an older form (a fourth value, CR LF, comments), and
// one whose third colour holds two values only, for --palette.
Bytes palette_file(bool broken) {
  std::string text = "#\r\n# VICE Palette file\r\n#\r\n\r\n";
  for (int i = 0; i < 16; ++i) {
    const std::string value = std::to_string(10 + i * 5);  // decimal digits, read as hex
    text += "# colour " + std::to_string(i) + "\r\n" + value + " " + value;
    text += broken && i == 2 ? "\r\n" : " 3" + std::to_string(i % 10) + " 0\r\n";
  }
  return bytes_of(text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: lumerist_transcript OUT_FOLDER INPUT...\n");
    return 2;
  }
  const fs::path out = argv[1];
  // Inputs: the files given, then the snapshots the reader refuses.
  std::vector<std::pair<std::string, Bytes>> inputs;
  for (int i = 2; i < argc; ++i) {
    std::vector<fs::path> files;
    if (fs::is_directory(argv[i])) {
      for (const auto& entry : fs::directory_iterator(argv[i])) files.push_back(entry.path());
    } else {
      files.push_back(argv[i]);
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      inputs.emplace_back(std::to_string(i - 1) + "-" + file.filename().string(),
                          read_file(file.string()));
    }
  }
  const std::vector<Bytes> refused = refused_snapshots();
  for (std::size_t i = 0; i < refused.size(); ++i) {
    inputs.emplace_back("refused-" + std::to_string(i) + ".vsf", refused[i]);
  }

  int runs = 0;
  {
    TempDir folder;
    runs += run_all(kAlone, "", folder, out / "no-snapshot");
  }
  const Bytes rom = character_rom();
  for (const auto& [name, bytes] : inputs) {
    TempDir folder;
    write_file(folder.file(name), bytes);
    write_file(folder.file("chargen.bin"), rom);
    write_file(folder.file("palette.vpl"), palette_file(false));
    write_file(folder.file("bad.vpl"), palette_file(true));
    runs += run_all(kOnSnapshot, name, folder, out / name);
  }
  std::printf("%d runs on %zu snapshots written to %s\n", runs, inputs.size(),
              out.string().c_str());
  return 0;
}
