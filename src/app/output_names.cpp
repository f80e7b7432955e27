#include "app/output_names.h"

OutputNames make_output_names(const std::string& snapshotPath) {
  OutputNames names;
  names.bitmap = snapshotPath + ".bitmap";
  names.colmap = snapshotPath + ".colmap";
  names.attrib = snapshotPath + ".attrib";
  names.koala = snapshotPath + ".koa";
  names.hires = snapshotPath + ".ip64h";
  names.prg = snapshotPath + ".prg";
  names.font = snapshotPath + ".font";
  names.screen = snapshotPath + ".screen";
  return names;
}
