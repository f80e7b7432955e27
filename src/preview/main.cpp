#include "preview/preview_run.h"

int main(int argc, char** argv) {
  return run_preview(argc, argv);
}
