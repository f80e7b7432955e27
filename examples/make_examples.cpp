// Makes the bundled example snapshots, shaped like files that current VICE
// versions save:
//   picture.vsf  a multicolour bitmap with three sprites over it, cycle-exact
//                emulator (VICE 3.10 shape)
//   text.vsf     a text screen, fast emulator (VICE 3.7 shape)
//   split.vsf    a split screen: the picture above, a score panel in text
//                below, the ball sprite moved down into it; VICE 3.10 shape
//                with the frame VICE saved, drawn by the two register sets
// Usage: make_examples FOLDER

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <string_view>

#include "render/render_frame.h"
#include "snapshot/read_snapshot.h"
#include "snapshot_builder.h"

namespace {

void save(const std::string& path, const Bytes& bytes) {
  save_or_exit("make_examples", path, bytes);
}

// Sprite images, 21 rows: hires with 'X' for a set bit, 24 to a row;
// multicolour with 'a', 'b', 'c' for the pairs 01, 10, 11, 12 to a row.
constexpr const char* kShip[21] = {
    "...........XX...........", "..........XXXX..........", "..........XXXX..........",
    ".........XXXXXX.........", ".........XX..XX.........", ".........XX..XX.........",
    "........XXXXXXXX........", "........XXXXXXXX........", ".......XXXXXXXXXX.......",
    "......XXXXXXXXXXXX......", ".....XXXXXXXXXXXXXX.....", "....XXXXX.XXXX.XXXXX....",
    "...XXXX...XXXX...XXXX...", "..XXX.....XXXX.....XXX..", "..XX......XXXX......XX..",
    "..........XXXX..........", ".........XXXXXX.........", "........XXX..XXX........",
    "........XX....XX........", "........................", "........................",
};
constexpr const char* kBall[21] = {
    "....bbbb....", "..bbbbbbbb..", ".bbaabbbbbb.", ".baaabbbbbb.", "bbaabbbbbbbb", "bbbbbbbbbbbb",
    "bbbbbbbbbbbb", "bbbbbbbbbbcb", "bbbbbbbbbbcb", ".bbbbbbbbcc.", ".bbbbbbbccc.", "..bbbbcccc..",
    "....cccc....", "............", "............", "............", "............", "............",
    "............", "............", "............",
};

void put_sprite_image(Bytes& ram, std::size_t at, const char* const (&rows)[21], bool multicolor) {
  for (std::size_t row = 0; row < 21; ++row) {
    std::uint32_t bits = 0;
    for (const char* c = rows[row]; *c; ++c) {
      if (multicolor) {
        bits = bits << 2 | (*c == 'a' ? 1u : *c == 'b' ? 2u : *c == 'c' ? 3u : 0u);
      } else {
        bits = bits << 1 | (*c == 'X' ? 1u : 0u);
      }
    }
    for (std::size_t i = 0; i < 3; ++i) {
      ram[at + row * 3 + i] = static_cast<std::uint8_t>(bits >> (16 - 8 * i));
    }
  }
}

// A Mandelbrot set in multicolour: pixel pairs pick the background or one of
// three colours that change from row to row. Three sprites fly over it: a
// ship twice as wide and tall, a multicolour ball, and a second ball behind
// the picture's foreground.
SnapshotPlan picture_plan() {
  SnapshotPlan plan;
  plan.shape = Shape::Vice310CycleExact;
  plan.ram.assign(0x10000, 0);
  plan.registers = SnapshotPlan::multicolor_bitmap_registers();  // bank $4000
  plan.registers.d020 = 0x00;
  plan.registers.d021 = 0x00;
  const std::uint16_t screen = 0x4400;
  const std::uint16_t bitmap = 0x6000;
  constexpr std::array<std::uint8_t, 5> kHigh = {0x6, 0x4, 0x2, 0x8, 0x7};
  constexpr std::array<std::uint8_t, 5> kLow = {0xE, 0xA, 0xA, 0xF, 0x1};
  constexpr std::array<std::uint8_t, 5> kRam = {0x3, 0xD, 0x7, 0x1, 0xD};
  for (int cell = 0; cell < 1000; ++cell) {
    const std::size_t band = static_cast<std::size_t>(cell / 40 / 5);
    plan.ram[screen + cell] = static_cast<std::uint8_t>(kHigh[band] << 4 | kLow[band]);
    plan.colorRam[static_cast<std::size_t>(cell)] = kRam[band];
  }
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 160; ++x) {
      const double cr = -2.2 + x * 3.0 / 160;
      const double ci = -1.25 + y * 2.5 / 200;
      double zr = 0, zi = 0;
      int n = 0;
      while (n < 48 && zr * zr + zi * zi < 4) {
        const double t = zr * zr - zi * zi + cr;
        zi = 2 * zr * zi + ci;
        zr = t;
        ++n;
      }
      const int pair = n == 48 ? 0 : 1 + n % 3;
      const int cell = y / 8 * 40 + x / 4;
      const std::size_t at = bitmap + static_cast<std::size_t>(cell * 8 + y % 8);
      plan.ram[at] = static_cast<std::uint8_t>(plan.ram[at] | pair << (6 - 2 * (x % 4)));
    }
  }
  // Sprite images at $4800 and $4840 (pointers $20 and $21 in bank $4000),
  // and the other frames of their animations right after them, as games
  // keep them: the ship with its flame flickering (blocks $22, $23), the
  // ball rolling (blocks $24 to $27).
  put_sprite_image(plan.ram, 0x4800, kShip, false);
  put_sprite_image(plan.ram, 0x4840, kBall, true);
  for (std::size_t frame = 0; frame < 2; ++frame) {
    const char* flame[21];
    std::copy(std::begin(kShip), std::end(kShip), flame);
    flame[19] = frame == 0 ? "..........X..X.........." : ".........X.XX.X.........";
    flame[20] = frame == 0 ? "...........XX..........." : "..........X..X..........";
    put_sprite_image(plan.ram, 0x4880 + frame * 64, flame, false);
  }
  for (std::size_t frame = 0; frame < 4; ++frame) {
    std::array<std::string, 21> rolled;
    const char* rows[21];
    for (std::size_t row = 0; row < 21; ++row) {
      const std::string line = kBall[row];
      const std::size_t by = (frame + 1) * 3 % line.size();
      rolled[row] = line.substr(by) + line.substr(0, by);
      rows[row] = rolled[row].c_str();
    }
    put_sprite_image(plan.ram, 0x4900 + frame * 64, rows, true);
  }
  plan.ram[screen + 0x3F8] = 0x20;
  plan.ram[screen + 0x3F9] = 0x21;
  plan.ram[screen + 0x3FA] = 0x21;
  plan.moreRegisters = {
      {0x00, 44},   {0x01, 64},                  // sprite 0: the ship, top left
      {0x02, 40},   {0x03, 70},                  // sprite 1: a ball at X 296, top right
      {0x04, 160},  {0x05, 150},                 // sprite 2: a ball over the set's edge
      {0x10, 0x02},                              // sprite 1's X above 255
      {0x15, 0x07},                              // sprites 0-2 on
      {0x17, 0x01}, {0x1D, 0x01},                // the ship twice as tall and wide
      {0x1B, 0x04},                              // sprite 2 behind the foreground
      {0x1C, 0x06},                              // the balls in multicolour
      {0x25, 0x07}, {0x26, 0x09},                // yellow highlight, brown shadow
      {0x27, 0x01}, {0x28, 0x0A}, {0x29, 0x0E},  // white ship, light red and light blue balls
  };
  return plan;
}

// 5 x 7 glyphs, one byte per column, bit 0 at the top.
struct Glyph {
  char c;
  std::array<std::uint8_t, 5> columns;
};
constexpr Glyph kGlyphs[] = {
    {'A', {0x7E, 0x11, 0x11, 0x11, 0x7E}}, {'B', {0x7F, 0x49, 0x49, 0x49, 0x36}},
    {'C', {0x3E, 0x41, 0x41, 0x41, 0x22}}, {'D', {0x7F, 0x41, 0x41, 0x22, 0x1C}},
    {'E', {0x7F, 0x49, 0x49, 0x49, 0x41}}, {'F', {0x7F, 0x09, 0x09, 0x09, 0x01}},
    {'G', {0x3E, 0x41, 0x49, 0x49, 0x7A}}, {'H', {0x7F, 0x08, 0x08, 0x08, 0x7F}},
    {'I', {0x00, 0x41, 0x7F, 0x41, 0x00}}, {'J', {0x20, 0x40, 0x41, 0x3F, 0x01}},
    {'K', {0x7F, 0x08, 0x14, 0x22, 0x41}}, {'L', {0x7F, 0x40, 0x40, 0x40, 0x40}},
    {'M', {0x7F, 0x02, 0x0C, 0x02, 0x7F}}, {'N', {0x7F, 0x04, 0x08, 0x10, 0x7F}},
    {'O', {0x3E, 0x41, 0x41, 0x41, 0x3E}}, {'P', {0x7F, 0x09, 0x09, 0x09, 0x06}},
    {'Q', {0x3E, 0x41, 0x51, 0x21, 0x5E}}, {'R', {0x7F, 0x09, 0x19, 0x29, 0x46}},
    {'S', {0x46, 0x49, 0x49, 0x49, 0x31}}, {'T', {0x01, 0x01, 0x7F, 0x01, 0x01}},
    {'U', {0x3F, 0x40, 0x40, 0x40, 0x3F}}, {'V', {0x1F, 0x20, 0x40, 0x20, 0x1F}},
    {'W', {0x3F, 0x40, 0x38, 0x40, 0x3F}}, {'X', {0x63, 0x14, 0x08, 0x14, 0x63}},
    {'Y', {0x07, 0x08, 0x70, 0x08, 0x07}}, {'Z', {0x61, 0x51, 0x49, 0x45, 0x43}},
    {'0', {0x3E, 0x51, 0x49, 0x45, 0x3E}}, {'1', {0x00, 0x42, 0x7F, 0x40, 0x00}},
    {'2', {0x42, 0x61, 0x51, 0x49, 0x46}}, {'3', {0x21, 0x41, 0x45, 0x4B, 0x31}},
    {'4', {0x18, 0x14, 0x12, 0x7F, 0x10}}, {'5', {0x27, 0x45, 0x45, 0x45, 0x39}},
    {'6', {0x3C, 0x4A, 0x49, 0x49, 0x30}}, {'7', {0x01, 0x71, 0x09, 0x05, 0x03}},
    {'8', {0x36, 0x49, 0x49, 0x49, 0x36}}, {'9', {0x06, 0x49, 0x49, 0x29, 0x1E}},
    {'.', {0x00, 0x60, 0x60, 0x00, 0x00}}, {',', {0x00, 0x50, 0x30, 0x00, 0x00}},
    {'!', {0x00, 0x00, 0x5F, 0x00, 0x00}}, {'-', {0x08, 0x08, 0x08, 0x08, 0x08}},
    {':', {0x00, 0x36, 0x36, 0x00, 0x00}}, {'$', {0x24, 0x2A, 0x7F, 0x2A, 0x12}},
    {'*', {0x2A, 0x1C, 0x7F, 0x1C, 0x2A}},
};

// The C64 screen code of a character: letters 1-26, the rest as in ASCII.
std::uint8_t screen_code(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<std::uint8_t>(c - 'A' + 1)
                              : static_cast<std::uint8_t>(c);
}

// The glyphs into a character set at `charset`.
void put_font(Bytes& ram, std::size_t charset) {
  for (const Glyph& glyph : kGlyphs) {
    const std::size_t base = charset + screen_code(glyph.c) * 8u;
    for (int row = 0; row < 7; ++row) {
      std::uint8_t bits = 0;
      for (int column = 0; column < 5; ++column) {
        if (glyph.columns[static_cast<std::size_t>(column)] >> row & 1) bits |= 0x40 >> column;
      }
      ram[base + static_cast<std::size_t>(row)] = bits;
    }
  }
}

void put_text(Bytes& ram, std::size_t screen, int row, int column, std::string_view text) {
  for (std::size_t x = 0; x < text.size(); ++x) {
    ram[screen + static_cast<std::size_t>(row * 40 + column) + x] = screen_code(text[x]);
  }
}

Bytes text_snapshot() {
  SnapshotPlan plan;
  plan.shape = Shape::Vice37Fast;
  plan.ram.assign(0x10000, 0);
  plan.registers = SnapshotPlan::text_registers();
  plan.registers.d018 = 0x1C;  // screen $0400, character set $3000
  const std::uint16_t screen = 0x0400;
  put_font(plan.ram, 0x3000);
  constexpr std::string_view kLines[] = {
      "**** LUMERIST EXAMPLE SCREEN ****",  "", "SAVED AS A VICE 3.7 SNAPSHOT.",
      "SCREEN AT $0400, CHARSET AT $3000.", "", "READY.",
  };
  for (std::size_t i = 0; i < 1000; ++i) plan.ram[screen + i] = screen_code(' ');
  int row = 1;
  for (std::string_view line : kLines) put_text(plan.ram, screen, row++, 3, line);
  // The title in eight colours that all stand out on the blue background.
  constexpr std::array<std::uint8_t, 8> kTitle = {1, 7, 13, 3, 15, 10, 5, 8};
  for (std::size_t i = 0; i < 1000; ++i) {
    plan.colorRam[i] = i < 80 ? kTitle[i % 40 / 5] : 0x0E;
  }
  return build_snapshot(plan).bytes;
}

// The frame the VIC-II draws for `plan` with these register images and
// port A: the registers of one band of a split screen.
Picture frame_of(const SnapshotPlan& plan, const std::map<unsigned, std::uint8_t>& registers,
                 std::uint8_t portA) {
  VideoState state = read_snapshot(memory_input(build_snapshot(plan).bytes)).state;
  for (const auto& [address, value] : registers) state.vic[address - 0xD000] = value;
  state.cia2PortA = portA;
  return render_frame(state).picture;
}

// The picture's bitmap on raster lines 16-210, then, from text row 20 on, a
// score panel: text in bank $4000 with the screen matrix at $5800 and the
// characters at $5000, a blue border, and the light red ball moved down
// into the panel, another frame of its animation. The snapshot was saved
// while the panel was drawn: its registers are the panel's.
Bytes split_snapshot() {
  SnapshotPlan plan = picture_plan();
  plan.shape = Shape::Vice310CycleExact;
  const std::size_t panel = 0x5800;
  put_font(plan.ram, 0x5000);
  for (std::size_t i = 0; i < 1000; ++i) plan.ram[panel + i] = screen_code(' ');
  put_text(plan.ram, panel, 21, 2, "SCORE 012300");
  put_text(plan.ram, panel, 21, 26, "HI 045600");
  put_text(plan.ram, panel, 23, 2, "LIVES 3");
  put_text(plan.ram, panel, 23, 26, "LEVEL 1");
  for (std::size_t cell = 800; cell < 1000; ++cell) plan.colorRam[cell] = cell < 880 ? 7 : 1;
  plan.ram[panel + 0x3F8] = 0x20;
  plan.ram[panel + 0x3F9] = 0x25;  // the ball, rolled on by a frame
  plan.ram[panel + 0x3FA] = 0x21;

  std::map<unsigned, std::uint8_t> picture = {
      {0xD011, 0x3B}, {0xD016, 0x18}, {0xD018, 0x18}, {0xD020, 0x00}};
  for (const auto& [offset, value] : plan.moreRegisters) picture[0xD000 + offset] = value;
  std::map<unsigned, std::uint8_t> scores = picture;
  scores[0xD011] = 0x1B;
  scores[0xD016] = 0x08;
  scores[0xD018] = 0x64;
  scores[0xD020] = 0x06;
  scores[0xD003] = 224;  // the light red ball at Y 224, in the panel

  const Picture top = frame_of(plan, picture, 0x96);
  const Picture bottom = frame_of(plan, scores, 0x96);
  constexpr std::size_t kSplit = 211 - 16;  // picture row of raster line 211: text row 20
  Bytes frame(top.pixels.begin(), top.pixels.begin() + kSplit * 384);
  frame.insert(frame.end(), bottom.pixels.begin() + kSplit * 384, bottom.pixels.end());
  plan.savedFrame = frame;
  plan.registers.d011 = scores[0xD011];
  plan.registers.d016 = scores[0xD016];
  plan.registers.d018 = scores[0xD018];
  plan.registers.d020 = scores[0xD020];
  for (const auto& [address, value] : scores) plan.moreRegisters[address - 0xD000] = value;
  return build_snapshot(plan).bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_examples FOLDER\n");
    return 1;
  }
  const std::string folder = argv[1];
  save(folder + "/picture.vsf", build_snapshot(picture_plan()).bytes);
  save(folder + "/text.vsf", text_snapshot());
  save(folder + "/split.vsf", split_snapshot());
  return 0;
}
