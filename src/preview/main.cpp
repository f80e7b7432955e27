#include "command/console.h"
#include "preview/preview_run.h"

int main(int argc, char** argv) {
  return finish_console(run_preview(argc, argv).status);
}
