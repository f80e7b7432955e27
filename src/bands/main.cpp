#include "bands/bands_run.h"
#include "command/console.h"
#include "io/standard_streams.h"

int main(int argc, char** argv) {
  use_binary_standard_streams();
  return finish_console(run_bands(argc, argv).status);
}
