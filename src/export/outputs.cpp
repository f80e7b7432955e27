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
