// The description reader alone, at the sizes where scaling faults show: the
// INI text (code page 1251), repeated keys and sections, and the PARENTCLASS
// resolution of every section. Each input is small work unless a path is
// worse than linear, which then shows as a timeout.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "skin/data/MemIniFile.h"
#include "skin/data/SkinDescription.h"
#include "skin/data/SkinLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Short inputs are multiplied into long ones: a seed of a few sections
  // becomes thousands, so a quadratic path costs seconds, not microseconds.
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string text;
  const std::size_t copies = size == 0 ? 1 : std::min<std::size_t>(4000, (1 << 18) / size + 1);
  text.reserve(size * copies);
  for (std::size_t i = 0; i < copies; ++i) text.append(input);
  vm::TMemIniFile ini;
  try {
    ini.SetCp1251Text(text, vm::MaxSkinSections);
  } catch (const vm::ETooManySections&) {
    return 0;
  }
  const vm::TsSectionKeyIndex index(ini);
  for (std::size_t i = 0; i < ini.Sections().size(); ++i) {
    try {
      index.Read(i);
    } catch (const vm::EConvertError&) {
      // A gradient that does not parse: the reader's defined answer.
    }
  }
  return 0;
}
