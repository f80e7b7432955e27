#include "app/console.h"
#include "app/run.h"

int main(int argc, char** argv) {
  return finish_console(run(argc, argv));
}
