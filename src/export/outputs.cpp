#include "export/outputs.h"

std::vector<OutputName> outputs_written(const OutputNames& names, const VideoSetup& setup) {
  std::vector<OutputName> outputs = {{Output::Prg, names.prg}};
  if (!setup.bitmapMode) {
    outputs.insert(outputs.end(), {{Output::Screen, names.screen},
                                   {Output::Font, names.font},
                                   {Output::Attrib, names.attrib}});
    return outputs;
  }
  outputs.insert(outputs.end(),
                 {{Output::Bitmap, names.bitmap},
                  {Output::Picture, setup.multicolorMode ? names.koala : names.hires},
                  {Output::Colmap, names.colmap}});
  if (setup.multicolorMode) outputs.push_back({Output::Attrib, names.attrib});
  return outputs;
}

int report_rank(Output output) {
  switch (output) {
    case Output::Bitmap:
      return 0;
    case Output::Colmap:
      return 1;
    case Output::Font:
      return 2;
    case Output::Screen:
      return 3;
    case Output::Attrib:
      return 4;
    case Output::Picture:
      return 5;
    case Output::Prg:
      break;
  }
  return 6;
}
