#include "app/ShippedSkins.h"

#include <filesystem>

#include "skin/data/SkinManager.h"

// Both come from the build: the way from the installed program's folder to
// the installed skins, and the build tree's own skin folder.
#ifndef VELMORA_SKINS_FROM_PROGRAM
#define VELMORA_SKINS_FROM_PROGRAM "../../share/velmora/skins"
#endif
#ifndef VELMORA_BUILD_SKINS
#define VELMORA_BUILD_SKINS ""
#endif

namespace vm::app {

std::string ShippedSkinFolder() {
  std::error_code ec;
  for (const std::string& folder :
       {ProgramFolder() + VELMORA_SKINS_FROM_PROGRAM, std::string(VELMORA_BUILD_SKINS)}) {
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) continue;
    // The program's folder is a real one (its links resolved), so ".." parts
    // can go by the letters alone.
    const std::string clean = std::filesystem::path(folder).lexically_normal().string();
    return clean.back() == '/' ? clean : clean + "/";
  }
  return {};
}

}  // namespace vm::app
