#include "app/run.h"
#include "command/console.h"

int main(int argc, char** argv) {
  return finish_console(run(argc, argv).status);
}
