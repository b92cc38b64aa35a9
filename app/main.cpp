// velmora: the photo program on the X display (DISPLAY).
#include <cstdio>
#include <exception>

#include "app/Program.h"
#include "platform/host/x11/X11Host.h"
#include "platform/win/WinApi.h"

int main() {
  try {
    vm::TX11Host host(nullptr);
    vm::SetHost(&host);
    int status = vm::app::VelmoraMain();
    vm::SetHost(nullptr);
    return status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora: %s\n", e.what());
    return 1;
  }
}
