// Feeds arbitrary bytes to the container reader. Rejections and the reader's
// own exceptions are fine; crashes, leaks and sanitizer reports are not.
#include <cstddef>
#include <cstdint>

#include "skin/data/SkinConvertor.h"
#include "skin/data/ZDecompressionStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool quiet = [] {
    vm::SetSkinMessageFunc([](const std::string&, const std::string&) {});
    return true;
  }();
  (void)quiet;
  vm::TMemoryStream source = vm::TMemoryStream::View(data, size);
  vm::TnxSkinConvertor convertor;
  convertor.SetBorrowedSource(&source);
  try {
    if (convertor.Parse()) {
      for (int i = 0; i < convertor.ImageCount(); ++i)
        convertor.FindImage(vm::UpperCaseAscii(convertor.Images(i).Name));
    }
  } catch (const vm::EZDecompressionError&) {
  } catch (const vm::EReadError&) {
  }
  convertor.ReleaseSource();
  return 0;
}
