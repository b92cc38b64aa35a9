// glyphdata <folder>: draws the seven glyphs of the main window's buttons and
// writes each in the stored glyph form (a 32-bit byte count, then a 24-bit
// bitmap file) as <folder>/<name>.glyph. The program embeds those files, so
// that it never draws its glyphs at start-up; run this again only when the
// artwork in app/Glyphs.cpp changes.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/Glyphs.h"
#include "skin/controls/GlyphData.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: glyphdata <folder>\n");
    return 2;
  }
  using vm::app::TGlyph;
  const struct {
    TGlyph Glyph;
    const char* Name;
  } glyphs[] = {{TGlyph::Open, "open"},       {TGlyph::Save, "save"}, {TGlyph::Resize, "resize"},
                {TGlyph::Quality, "quality"}, {TGlyph::Undo, "undo"}, {TGlyph::About, "about"},
                {TGlyph::Exit, "exit"}};
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  for (const auto& g : glyphs) {
    const std::vector<std::uint8_t> data = vm::WriteGlyphData(vm::app::MakeGlyph(g.Glyph));
    const std::filesystem::path file = folder / (std::string(g.Name) + ".glyph");
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (!out) {
      std::fprintf(stderr, "glyphdata: cannot write %s\n", file.c_str());
      return 1;
    }
  }
  return 0;
}
