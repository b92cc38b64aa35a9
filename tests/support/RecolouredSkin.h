// A second skin for tests that switch skins: a copy of the built-in skin
// written as a folder, with its global font colour and its blue-grey faces
// recoloured, so that every look it gives differs from the built-in one.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/Types.h"

namespace vm::test {

// The name of the recoloured skin folder.
inline constexpr const char* RecolouredSkin = "Recoloured";
// Its global font colour (red) and the colour that replaces the built-in
// skin's blue-grey faces (a light green).
inline constexpr TColor RecolouredFont = 0x0000FF;
inline constexpr TColor RecolouredFace = 0xCCFFCC;

inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// Writes the copy into skinDir/Recoloured: master is the built-in skin's
// master bitmap (as its manager loaded it), source the source tree's root.
inline void WriteRecolouredSkin(const TBitmap& master, const std::filesystem::path& skinDir,
                                const std::filesystem::path& source) {
  const std::filesystem::path folder = skinDir / RecolouredSkin;
  std::filesystem::create_directories(folder);
  SaveBmpFile((folder / "MASTER.BMP").string(), master);
  std::ifstream in(source / "assets/skins/office2007-blue/Options.dat", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string options = text.str();
  ASSERT_FALSE(options.empty());
  options = ReplaceAll(options, "=8542779", "=" + std::to_string(RecolouredFont));
  for (const char* face : {"16442322", "16772834"})
    options = ReplaceAll(options, face, std::to_string(RecolouredFace));
  // The one section with an image of its own keeps none in the copy.
  options = ReplaceAll(options, "BORDERSMASK=!BUTTONHUGE.BMP!", "UNUSEDMASK=!BUTTONHUGE.BMP!");
  std::ofstream(folder / "Options.dat", std::ios::binary) << options;
}

}  // namespace vm::test
