// glyphdata <folder>: draws the seven glyphs of the main window's buttons and
// writes each in the stored glyph form (a 32-bit byte count, then a 24-bit
// bitmap file) as <folder>/<name>.glyph, and the program icon's window sizes
// (16 and 32) as <folder>/icon<size>.bgra: its rows top to bottom, four bytes
// B, G, R, A a pixel. The program embeds those files, so that it never draws
// its glyphs or its icon at start-up; run this again only when the artwork in
// app/Glyphs.cpp changes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
  auto write = [](const std::filesystem::path& file, const std::vector<std::uint8_t>& data) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (!out) std::fprintf(stderr, "glyphdata: cannot write %s\n", file.c_str());
    return bool(out);
  };
  for (const auto& g : glyphs)
    if (!write(folder / (std::string(g.Name) + ".glyph"),
               vm::WriteGlyphData(vm::app::MakeGlyph(g.Glyph))))
      return 1;
  for (int size : {16, 32}) {
    const vm::TBitmap icon = vm::app::MakeProgramIconWithAlpha(size);
    std::vector<std::uint8_t> data;
    for (int y = 0; y < size; ++y)
      data.insert(data.end(), icon.ScanLine(y), icon.ScanLine(y) + std::size_t(size) * 4);
    if (!write(folder / ("icon" + std::to_string(size) + ".bgra"), data)) return 1;
  }
  return 0;
}
