#include <cstdio>

#include "app/shell.h"

int main(int argc, char** argv) {
  if (!fw::DisplayAvailable()) {
    std::fprintf(stderr,
                 "vantorel: no display to open a window on (neither DISPLAY nor "
                 "WAYLAND_DISPLAY is set). Run it on a desktop, or under xvfb-run.\n");
    return 1;
  }
  return shell::Run(argc, argv);
}
