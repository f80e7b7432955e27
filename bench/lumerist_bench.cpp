// Measures lumerist against `cat FILE > /dev/null` on large and ordinary
// snapshots, and lumerist-preview drawing the true screen and
// lumerist-sprites ripping the sprites of the ordinary one: median wall
// time of the whole process over repeated runs (page cache warm), the ratio
// of the two, and the tool's peak resident memory. lumerist-bands is
// measured against lumerist-preview drawing the same split screens, and on
// a game frame of about 64 bands against a fixed time.
//
//   lumerist_bench [--runs N] [--lumerist PATH] [--preview PATH] [--sprites PATH]
//                  [--bands PATH] [--files DIR] [--outputs DIR] [--keep]
//
// The snapshots are made in a fresh folder under --files (default $TMPDIR,
// else /tmp). Both commands are run on links to them from a fresh folder
// under --outputs (default /dev/shm where it exists), next to which lumerist
// writes its outputs: the outputs then cost what the tool spends on them,
// not the journal and writeback of a disk file system, which vary by
// milliseconds from run to run. Both folders are removed at the end unless
// --keep is given. Exits 1 when a row misses its target, 2 when a command
// fails.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"
#include "split_frame.h"

#ifndef LUMERIST_EXE
#error "LUMERIST_EXE must name the lumerist executable"
#endif
#ifndef LUMERIST_PREVIEW_EXE
#error "LUMERIST_PREVIEW_EXE must name the lumerist-preview executable"
#endif
#ifndef LUMERIST_SPRITES_EXE
#error "LUMERIST_SPRITES_EXE must name the lumerist-sprites executable"
#endif
#ifndef LUMERIST_BANDS_EXE
#error "LUMERIST_BANDS_EXE must name the lumerist-bands executable"
#endif

namespace {

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;
constexpr long kMemoryLimitKiB = 8 * 1024;  // peak resident memory allowed, every row
constexpr int kWarmUpRuns = 3;

enum class Tool { Lumerist, Preview, Sprites, Bands };

struct Row {
  const char* label;
  std::string file;
  double target;  // the tool's median at most this many times the baseline's
  Tool tool = Tool::Lumerist;
  int status = 0;  // the exit status the tool must end with
  // What the tool is measured against: `cat FILE`, or lumerist-preview
  // drawing the same file; with `fixedMs`, no command but that many
  // milliseconds (the ratio is the tool's median over it).
  Tool baseline = Tool::Lumerist;  // Lumerist: cat
  double fixedMs = 0;
};

struct Sample {
  double milliseconds = 0;
  long maxRssKiB = 0;
};

struct Measured {
  std::vector<double> milliseconds;
  long peakRssKiB = 0;
};

void fail(const std::string& what) {
  std::fprintf(stderr, "lumerist_bench: %s\n", what.c_str());
  std::exit(2);
}

double now_ms() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// A deterministic byte stream (xorshift), so every run measures the same files.
struct Noise {
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  std::uint8_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<std::uint8_t>(state >> 32);
  }
};

// Breaks every "VIC-" and "CIA2" in `bytes` from `from` on, so that the only
// tags are the ones put there on purpose.
void scrub_tags(Bytes& bytes, std::size_t from) {
  for (std::size_t i = from; i + 4 <= bytes.size(); ++i) {
    if (std::memcmp(&bytes[i], "VIC-", 4) == 0 || std::memcmp(&bytes[i], "CIA2", 4) == 0) {
      bytes[i] = 0;
    }
  }
}

void save(const std::string& path, const Bytes& bytes) {
  if (!save_bytes(path, bytes)) fail("cannot write " + path);
}

// VICE 3.10's cycle-exact emulator with a 16 MiB RAM expansion module after
// the VIC-IISC module; the expansion holds arbitrary data, tags included.
Bytes expanded_snapshot() {
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  plan.registers = SnapshotPlan::multicolor_bitmap_registers();
  Bytes file = build_snapshot(plan).bytes;
  const std::size_t start = append_module(file, "REU1764", 16 * kMiB + 22);
  Noise noise;
  for (std::size_t i = start + 22; i < file.size(); ++i) file[i] = noise.next();
  return file;
}

// 64 MiB starting "VICE" without a module directory, its only "CIA2" and
// "VIC-" tags in the first KiB and arbitrary data after them, so that the
// search for the last tags runs through the whole file. The registers sit at
// the fixed distances from the tags.
Bytes tags_only_64mib() {
  constexpr std::size_t kCia2 = 200;
  constexpr std::size_t kVic = 300;
  Bytes file(64 * kMiB);
  Noise noise;
  for (std::uint8_t& byte : file) byte = noise.next();
  scrub_tags(file, 0);
  std::memcpy(file.data(), "VICE", 4);
  std::memcpy(&file[kCia2], "CIA2", 4);
  std::memcpy(&file[kVic], "VIC-II", 6);
  const VideoRegisters r = SnapshotPlan::multicolor_bitmap_registers();
  file[kCia2 + 22] = r.cia2PortA;
  const std::size_t d000 = kVic + 1141;
  file[d000 + 0x11] = r.d011;
  file[d000 + 0x16] = r.d016;
  file[d000 + 0x18] = r.d018;
  file[d000 + 0x21] = r.d021;
  return file;
}

// A current header, then 64 MiB of modules that are nothing but their
// 22-byte header: the module directory has three million entries, none of
// them a module the tool reads, so it is refused after the whole walk.
Bytes module_flood_64mib() {
  Bytes file = vsf_header("C64SC", true);
  while (file.size() + 22 <= 64 * kMiB) append_module(file, "", 22);
  return file;
}

// A VICE 3.10 snapshot whose saved frame the renderer draws with the sets
// given, each over its raster lines.
Bytes split_snapshot(SnapshotPlan plan, const std::vector<SetLines>& parts) {
  const VideoState state = read_snapshot(memory_input(build_snapshot(plan).bytes)).state;
  plan.savedFrame = split_frame(state, parts).pixels;
  return build_snapshot(plan).bytes;
}

// Text over a multicolour bitmap, its sprite moved down: the common split
// of a game's play area and score panel.
Bytes two_band_snapshot() {
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  plan.registers = SnapshotPlan::multicolor_bitmap_registers();  // bank $4000
  plan.moreRegisters = {{0x15, 0x01}, {0x00, 100}, {0x01, 80}, {0x27, 1}};
  const VideoState state = read_snapshot(memory_input(build_snapshot(plan).bytes)).state;
  const BandSet picture = snapshot_set(state);
  const BandSet panel = changed(
      picture, {{0xD011, 0x1B}, {0xD016, 0x08}, {0xD018, 0x34}, {0xD020, 0x06}, {0xD001, 230}});
  return split_snapshot(plan, {{picture, 16, 210}, {panel, 211, 287}});
}

// Five sets: a logo in another bank, text in the character ROM (which the
// snapshot holds, as VICE saves it when asked), scrolled text, another
// character set, colours changed.
Bytes five_band_snapshot() {
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  plan.charRom = Bytes(kCharRomSize);
  for (std::size_t i = 0; i < kCharRomSize; ++i) {
    (*plan.charRom)[i] = static_cast<std::uint8_t>((i * 37 + i / 8 * 11) & 0xFF);
  }
  const VideoState state = read_snapshot(memory_input(build_snapshot(plan).bytes)).state;
  const BandSet text = snapshot_set(state);
  return split_snapshot(
      plan,
      {{changed(text, {{0xDD00, 0x96}, {0xD011, 0x3B}, {0xD016, 0x18}, {0xD018, 0x18}}), 16, 90},
       {text, 91, 140},
       {changed(text, {{0xD016, 0x0B}}), 141, 180},
       {changed(text, {{0xD018, 0x1C}}), 181, 230},
       {changed(text, {{0xD020, 0x02}, {0xD021, 0x05}}), 231, 287}});
}

// A game frame: colour bars every four lines, the scroll and the character
// set changed every 32, and a sprite multiplexed down the screen, a new
// place every 24 lines: 68 register sets.
Bytes game_frame_snapshot() {
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  plan.moreRegisters = {{0x15, 0x01}, {0x00, 120}, {0x27, 7}};
  const VideoState state = read_snapshot(memory_input(build_snapshot(plan).bytes)).state;
  std::vector<SetLines> parts;
  for (int line = 16, n = 0; line <= 287; line += 4, ++n) {
    const auto colour = static_cast<std::uint8_t>(n % 15 + 1);
    const auto scroll = static_cast<std::uint8_t>(0x08 | (line / 32) % 8);
    const auto charset = static_cast<std::uint8_t>(line / 32 % 2 ? 0x1C : 0x18);
    const auto spriteY = static_cast<std::uint8_t>(line - 1 - (line - 16) % 24);
    parts.push_back(
        {changed(snapshot_set(state),
                 {{0xD020, colour}, {0xD016, scroll}, {0xD018, charset}, {0xD001, spriteY}}),
         line, std::min(line + 3, 287)});
  }
  return split_snapshot(plan, parts);
}

Bytes ordinary_snapshot() {
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  plan.registers = SnapshotPlan::multicolor_bitmap_registers();
  return build_snapshot(plan).bytes;
}

// Runs `argv` with standard output and error on /dev/null; wall time from fork to
// reaped, peak resident memory from the kernel's accounting of the child.
Sample run_once(const std::vector<std::string>& argv, int expectedStatus = 0) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  const double start = now_ms();
  const pid_t child = fork();
  if (child < 0) fail("fork failed");
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0 || dup2(null, STDOUT_FILENO) < 0 || dup2(null, STDERR_FILENO) < 0) _exit(126);
    close(null);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) fail("wait4 failed");
  }
  const double end = now_ms();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != expectedStatus) {
    fail("command ended otherwise than expected: " + argv[0] + " " + argv[1]);
  }
  return {end - start, usage.ru_maxrss};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string size_text(std::uintmax_t bytes) {
  char text[32];
  if (bytes >= kMiB)
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / kMiB);
  else
    std::snprintf(text, sizeof text, "%.0f KiB", static_cast<double>(bytes) / kKiB);
  return text;
}

// Removes what a run wrote next to `snapshot`, so that every run writes its
// outputs afresh, as over a folder of new snapshots.
void remove_outputs(const std::string& snapshot) {
  for (const char* suffix : {".bitmap", ".colmap", ".attrib", ".koa", ".ip64h", ".prg", ".font",
                             ".screen", ".png", ".sprites", ".sprites.png"}) {
    unlink((snapshot + suffix).c_str());
    for (int band = 1; band <= 80; ++band) {
      unlink((snapshot + ".band" + std::to_string(band) + suffix).c_str());
    }
  }
}

std::string make_folder(const std::string& parent) {
  std::string pattern = parent + "/lumerist-bench-XXXXXX";
  if (!mkdtemp(pattern.data())) fail("cannot make a folder under " + parent);
  return pattern;
}

// Makes the files in a child process, so that this process stays small: a
// forked child starts with its parent's resident pages counted as its own.
void make_files(const std::vector<Row>& rows) {
  const pid_t child = fork();
  if (child < 0) fail("fork failed");
  if (child == 0) {
    save(rows[0].file, expanded_snapshot());
    save(rows[1].file, tags_only_64mib());
    save(rows[2].file, ordinary_snapshot());
    save(rows[4].file, module_flood_64mib());
    save(rows[6].file, two_band_snapshot());
    save(rows[7].file, five_band_snapshot());
    save(rows[8].file, game_frame_snapshot());
    std::fflush(nullptr);
    _exit(0);
  }
  int status = 0;
  if (waitpid(child, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    fail("making the files failed");
  }
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 21;
  std::string lumerist = LUMERIST_EXE;
  std::string preview = LUMERIST_PREVIEW_EXE;
  std::string sprites = LUMERIST_SPRITES_EXE;
  std::string bands = LUMERIST_BANDS_EXE;
  const char* tmp = std::getenv("TMPDIR");
  std::string filesParent = tmp && *tmp ? tmp : "/tmp";
  std::string outputsParent = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : filesParent;
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--lumerist" && i + 1 < argc) {
      lumerist = argv[++i];
    } else if (arg == "--preview" && i + 1 < argc) {
      preview = argv[++i];
    } else if (arg == "--sprites" && i + 1 < argc) {
      sprites = argv[++i];
    } else if (arg == "--bands" && i + 1 < argc) {
      bands = argv[++i];
    } else if (arg == "--files" && i + 1 < argc) {
      filesParent = argv[++i];
    } else if (arg == "--outputs" && i + 1 < argc) {
      outputsParent = argv[++i];
    } else if (arg == "--keep") {
      keep = true;
    } else {
      std::fprintf(stderr,
                   "usage: %s [--runs N] [--lumerist PATH] [--preview PATH] [--sprites PATH] "
                   "[--bands PATH] [--files DIR] [--outputs DIR] [--keep]\n",
                   argv[0]);
      return 2;
    }
  }
  lumerist = std::filesystem::absolute(lumerist).string();
  preview = std::filesystem::absolute(preview).string();
  sprites = std::filesystem::absolute(sprites).string();
  bands = std::filesystem::absolute(bands).string();

  // The snapshots lie in one folder; both commands are given links to them
  // from another, next to which lumerist writes its outputs.
  const std::string filesDir = make_folder(filesParent);
  const std::string linksDir = make_folder(outputsParent);
  const std::vector<Row> rows = {
      {"VICE 3.10 C64SC + 16 MiB module", filesDir + "/expanded.vsf", 1.0},
      {"64 MiB, tags only in first KiB", filesDir + "/tags64.vsf", 1.5},
      {"VICE 3.10 C64SC", filesDir + "/ordinary.vsf", 1.5},
      {"VICE 3.10 C64SC, lumerist-preview", filesDir + "/ordinary.vsf", 1.5, Tool::Preview},
      {"64 MiB of 22-byte modules (refused)", filesDir + "/flood.vsf", 2.0, Tool::Lumerist, 255},
      {"VICE 3.10 C64SC, lumerist-sprites", filesDir + "/ordinary.vsf", 1.5, Tool::Sprites},
      {"Split screen of 2 bands, lumerist-bands and its split viewer", filesDir + "/two.vsf", 5.0, Tool::Bands, 0,
       Tool::Preview},
      {"Split screen of 5 bands, lumerist-bands", filesDir + "/five.vsf", 5.0, Tool::Bands, 0,
       Tool::Preview},
      {"Game frame of 68 sets, lumerist-bands", filesDir + "/game.vsf", 1.0, Tool::Bands, 0,
       Tool::Lumerist, 500.0},
  };
  make_files(rows);
  std::vector<std::string> links;
  for (const Row& row : rows) {
    links.push_back(linksDir + "/" + std::filesystem::path(row.file).filename().string());
    if (!std::filesystem::is_symlink(links.back())) {
      std::filesystem::create_symlink(row.file, links.back());
    }
  }

  std::printf(
      "lumerist: %s\nlumerist-preview: %s\nlumerist-sprites: %s\nlumerist-bands: %s\n"
      "snapshots in %s, run through links in %s (outputs written there)\n"
      "%d runs of each command per file, alternating, after %d warm-up runs; medians of "
      "wall time.\n\n",
      lumerist.c_str(), preview.c_str(), sprites.c_str(), bands.c_str(), filesDir.c_str(),
      linksDir.c_str(), runs, kWarmUpRuns);
  std::printf(
      "| File | Size | Against | its time | tool | Ratio | Target | tool peak RSS | Met |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|\n");

  bool allMet = true;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const Row& row = rows[r];
    const std::string& link = links[r];
    const auto command_of = [&](Tool tool) -> const std::string& {
      return tool == Tool::Preview   ? preview
             : tool == Tool::Sprites ? sprites
             : tool == Tool::Bands   ? bands
                                     : lumerist;
    };
    const std::vector<std::string> cat = row.baseline == Tool::Preview
                                             ? std::vector<std::string>{preview, link}
                                             : std::vector<std::string>{"/bin/cat", link};
    const std::vector<std::string> tool = {command_of(row.tool), link};
    for (int i = 0; i < kWarmUpRuns; ++i) {
      run_once(cat);
      remove_outputs(link);
      run_once(tool, row.status);
    }
    Measured catTimes, toolTimes;
    for (int i = 0; i < runs; ++i) {
      // Alternate which command goes first, so neither always follows the other.
      for (int k = 0; k < 2; ++k) {
        const bool toolTurn = (i + k) % 2 == 1;
        Measured& into = toolTurn ? toolTimes : catTimes;
        if (toolTurn) remove_outputs(link);
        const Sample sample = toolTurn ? run_once(tool, row.status) : run_once(cat);
        into.milliseconds.push_back(sample.milliseconds);
        into.peakRssKiB = std::max(into.peakRssKiB, sample.maxRssKiB);
      }
    }
    const double catMedian = row.fixedMs > 0 ? row.fixedMs : median(catTimes.milliseconds);
    const double toolMedian = median(toolTimes.milliseconds);
    const double ratio = toolMedian / catMedian;
    const bool met = ratio <= row.target && toolTimes.peakRssKiB <= kMemoryLimitKiB;
    allMet = allMet && met;
    const char* against = row.fixedMs > 0                 ? "fixed"
                          : row.baseline == Tool::Preview ? "lumerist-preview"
                                                          : "cat";
    std::printf("| %s | %s | %s | %.2f ms | %.2f ms | %.2f | <= %.1f | %.1f MiB | %s |\n",
                row.label, size_text(std::filesystem::file_size(row.file)).c_str(), against,
                catMedian, toolMedian, ratio, row.target,
                static_cast<double>(toolTimes.peakRssKiB) / 1024.0, met ? "yes" : "NO");
    std::fflush(stdout);
  }

  if (keep) {
    std::printf("\nfiles kept in %s and %s\n", filesDir.c_str(), linksDir.c_str());
  } else {
    std::error_code ignored;
    std::filesystem::remove_all(linksDir, ignored);
    std::filesystem::remove_all(filesDir, ignored);
  }
  return allMet ? 0 : 1;
}
