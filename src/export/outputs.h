#pragma once

#include <string>
#include <vector>

#include "snapshot/video_setup.h"

// The eight files an export can write: the whole snapshot path, unchanged,
// followed by a fixed suffix.
struct OutputNames {
  std::string bitmap;  // raw bitmap, 8000 bytes
  std::string colmap;  // raw screen matrix of a bitmap, 1000 bytes
  std::string attrib;  // raw colour RAM, 1000 bytes
  std::string koala;   // Koala picture
  std::string hires;   // hires picture
  std::string prg;     // C64 viewer program
  std::string font;    // raw character set, 2000 bytes
  std::string screen;  // raw screen matrix of a text screen, 1000 bytes
};

// The outputs a run can fail to write, each with its own message.
enum class Output { Prg, Bitmap, Picture, Colmap, Attrib, Screen, Font };

// Where an output stands in the order the reports name them: bitmap, colour
// map, character set, screen, colour RAM, picture file, viewer program.
int report_rank(Output output);

// One output and its path.
struct OutputName {
  Output output;
  std::string path;
};

// An output that could not be opened or written completely.
using OutputFailure = OutputName;

// The outputs the export of this screen writes, in the order they are
// opened: the viewer program, then those of the bitmap or the text export.
std::vector<OutputName> outputs_written(const OutputNames& names, const VideoSetup& setup);
