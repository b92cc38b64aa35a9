// skingen: paints the built-in skin's bitmaps and writes its description.
//
//   skingen <outdir>              MASTER.BMP and BUTTONHUGE.BMP
//   skingen --preview <outdir>    the same plus MASTER-x4.png and BUTTONHUGE-x4.png, and
//                                 MOCKUP-x2.png, sample controls drawn with the skin
//   skingen --description <file>  writes Options.dat
#include <cstdio>
#include <exception>
#include <string>

#include "tools/skingen/SkinBitmaps.h"
#include "tools/skingen/SkinDescription.h"
#include "tools/skingen/SkinMockup.h"

int main(int argc, char** argv) {
  using namespace vm;
  try {
    std::string mode, target;
    if (argc == 2 && argv[1][0] != '-') {
      target = argv[1];
    } else if (argc == 3 &&
               (std::string(argv[1]) == "--preview" || std::string(argv[1]) == "--description")) {
      mode = argv[1];
      target = argv[2];
    } else {
      std::fprintf(stderr, "usage: skingen [--preview] <outdir> | skingen --description <file>\n");
      return 2;
    }
    const TSkinLayout layout;
    if (mode == "--description") {
      const std::string text = BuildDescription(layout);
      WriteFile(target, std::vector<std::uint8_t>(text.begin(), text.end()));
      return 0;
    }
    const TIndexedImage master = Quantise(RenderMaster(layout));
    const TIndexedImage huge = Quantise(RenderHugeButton());
    WriteFile(target + "/MASTER.BMP", EncodeBmp8(master));
    WriteFile(target + "/BUTTONHUGE.BMP", EncodeBmp8(huge));
    if (mode == "--preview") {
      WritePngPreview(target + "/MASTER-x4.png", master, 4);
      WritePngPreview(target + "/BUTTONHUGE-x4.png", huge, 4);
      WritePngPreview(target + "/MOCKUP-x2.png",
                      RenderMockup(BuildDescription(layout), master, huge), 2);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skingen: %s\n", e.what());
    return 1;
  }
}
