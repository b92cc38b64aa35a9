// Loads arbitrary text as a skin description through the whole skin load: the
// INI reader, every mask form, inheritance, gradients and the index pass.
// Conversion errors are the loader's defined answer to bad numbers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "skin/data/SkinConvertor.h"
#include "skin/data/SkinLimits.h"
#include "skin/data/SkinManager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static vm::TsSkinManager* manager = [] {
    vm::SetSkinMessageFunc([](const std::string&, const std::string&) {});
    auto* m = new vm::TsSkinManager();
    m->SetSkinDirectory("/nonexistent-velmora-fuzz");
    m->InternalSkins().Add().Name = "fuzz";
    return m;
  }();
  std::vector<std::uint8_t> text(data, data + size);
  manager->InternalSkins().Items(0).Data = vm::WritePackedSkin({{"Options.dat", text}});
  try {
    manager->SetSkinName("fuzz");
  } catch (const vm::EConvertError&) {
  } catch (const vm::ESkinLimitError&) {
    // A description beyond the skin limits is refused: the defined answer.
  }
  // Exercise the look-ups over whatever was loaded.
  for (int i = 0; i < int(manager->gd.size()) && i < 8; ++i) {
    const std::string& name = manager->gd[std::size_t(i)].SectionName;
    int mask = manager->FindMaskIndex(i, name, "BORDERSMASK");
    manager->MaskBorderLeft(mask);
    manager->MaskStateSize(mask);
    manager->FindTextureIndex(i, name, "PATTERN");
  }
  return 0;
}
