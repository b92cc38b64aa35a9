// skingen: paints the built-in skin's bitmaps and writes its description, and
// makes the shipped skins from them.
//
//   skingen <outdir>                 MASTER.BMP and BUTTONHUGE.BMP
//   skingen --preview <outdir>       the same plus MASTER-x4.png and BUTTONHUGE-x4.png, and
//                                    MOCKUP-x2.png, sample controls drawn with the skin
//   skingen --skin <name> <outdir>   a shipped skin (Graphite, Malachite, Sandstone): its
//                                    MASTER.BMP, BUTTONHUGE.BMP and Options.dat (with
//                                    --preview also its PNG pictures)
//   skingen --description <file>     writes the built-in skin's Options.dat
#include <cstdio>
#include <exception>
#include <string>

#include "tools/skingen/SkinBitmaps.h"
#include "tools/skingen/SkinDescription.h"
#include "tools/skingen/SkinMockup.h"
#include "tools/skingen/SkinTheme.h"

int main(int argc, char** argv) {
  using namespace vm;
  auto usage = [] {
    std::fprintf(stderr,
                 "usage: skingen [--preview] [--skin <name>] <outdir> | "
                 "skingen --description <file>\n");
    return 2;
  };
  try {
    bool preview = false, description = false;
    const TSkinTheme* theme = nullptr;
    std::string target;
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i];
      if (arg == "--preview") {
        preview = true;
      } else if (arg == "--description") {
        description = true;
      } else if (arg == "--skin" && i + 1 < argc) {
        theme = FindTheme(argv[++i]);
        if (!theme) {
          std::fprintf(stderr, "skingen: no shipped skin is called %s\n", argv[i]);
          return 2;
        }
      } else if (arg.empty() || arg[0] == '-' || !target.empty()) {
        return usage();
      } else {
        target = arg;
      }
    }
    if (target.empty() || (description && (preview || theme))) return usage();
    const TSkinLayout layout;
    if (description) {
      const std::string text = BuildDescription(layout);
      WriteFile(target, std::vector<std::uint8_t>(text.begin(), text.end()));
      return 0;
    }
    TRgbImage masterRgb = RenderMaster(layout, theme ? theme->Shape : TSkinShape{});
    TRgbImage hugeRgb = RenderHugeButton(theme ? theme->Shape : TSkinShape{});
    std::string text = BuildDescription(layout);
    if (theme) {
      Recolour(masterRgb, *theme);
      Recolour(hugeRgb, *theme);
      text = ThemeDescription(text, *theme);
      WriteFile(target + "/Options.dat", std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    const TIndexedImage master = Quantise(masterRgb);
    const TIndexedImage huge = Quantise(hugeRgb);
    WriteFile(target + "/MASTER.BMP", EncodeBmp8(master));
    WriteFile(target + "/BUTTONHUGE.BMP", EncodeBmp8(huge));
    if (preview) {
      WritePngPreview(target + "/MASTER-x4.png", master, 4);
      WritePngPreview(target + "/BUTTONHUGE-x4.png", huge, 4);
      WritePngPreview(target + "/MOCKUP-x2.png", RenderMockup(text, master, huge), 2);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skingen: %s\n", e.what());
    return 1;
  }
}
