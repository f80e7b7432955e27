#include "command/console.h"
#include "io/standard_streams.h"
#include "sprites/sprites_run.h"

int main(int argc, char** argv) {
  use_binary_standard_streams();
  return finish_console(run_sprites(argc, argv).status);
}
