#include "command/console.h"
#include "sprites/sprites_run.h"

int main(int argc, char** argv) {
  return finish_console(run_sprites(argc, argv).status);
}
