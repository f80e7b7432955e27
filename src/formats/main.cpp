#include "command/console.h"
#include "formats/export_run.h"
#include "io/standard_streams.h"

int main(int argc, char** argv) {
  use_binary_standard_streams();
  return finish_console(run_export(argc, argv).status);
}
