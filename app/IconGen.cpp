// velmora-icongen FOLDER: writes the program's icon as velmora-N.png for the
// sizes of the desktop's icon theme (the build installs them).
#include <cstdio>
#include <exception>
#include <string>

#include "app/Glyphs.h"
#include "platform/gfx/PngCodec.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velmora-icongen FOLDER\n");
    return 2;
  }
  try {
    for (int size : {16, 24, 32, 48, 64, 128, 256})
      vm::SavePngFile(std::string(argv[1]) + "/velmora-" + std::to_string(size) + ".png",
                      vm::app::MakeProgramIconWithAlpha(size));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora-icongen: %s\n", e.what());
    return 1;
  }
  return 0;
}
