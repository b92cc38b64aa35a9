// velmora-shot: a PNG picture of the photo program's screen, taken on the
// headless host (no display needed): the main window, a dialog or a menu,
// optionally with a picture opened first. See ShotUsage for the options.
//
// The messages the program showed on the way (an open that failed) are
// printed; the picture is still written, and the exit status is then 1.
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gfx/PngCodec.h"
#include "tools/velmora-shot/Shot.h"

int main(int argc, char** argv) {
  using namespace vm::shot;
  std::optional<TShotOptions> options;
  try {
    options = ParseShotArgs(std::vector<std::string>(argv, argv + argc));
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "velmora-shot: %s\n%s", e.what(), ShotUsage());
    return 2;
  }
  if (!options) {
    std::fputs(ShotUsage(), stdout);
    return 0;
  }
  try {
    TShotResult r = TakeShot(*options);
    if (!options->Output.empty()) {
      vm::SavePngFile(options->Output, r.Picture);
      std::printf("%s (%d x %d)\n", options->Output.c_str(), r.Picture.Width(), r.Picture.Height());
    }
    if (!options->Holes.empty()) {
      std::ofstream out(options->Holes, std::ios::binary);
      out << HolesText(r.ActiveSize, r.ActiveShape);
      if (!out) throw std::runtime_error("cannot write " + options->Holes);
    }
    for (const std::string& m : r.Messages) std::fprintf(stderr, "velmora: %s\n", m.c_str());
    return r.Messages.empty() ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora-shot: %s\n", e.what());
    return 1;
  }
}
