#include "skin/data/SkinLimits.h"

namespace vm {

void ThrowPictureTooLarge(const std::string& name, std::int64_t width, std::int64_t height) {
  throw ESkinLimitError("рисунок «" + name + "» размером " + std::to_string(width) + " × " +
                        std::to_string(height) +
                        " точек больше допустимого для скина (не более " +
                        std::to_string(MaxSkinPictureSide) + " точек по стороне и " +
                        std::to_string(MaxSkinPicturePixels) + " точек всего)");
}

void ThrowFileTooLarge(const std::string& name, std::uint64_t size, std::uint64_t limit) {
  throw ESkinLimitError("файл «" + name + "» занимает " + std::to_string(size) +
                        " байт, а для скина допустимо не более " + std::to_string(limit));
}

}  // namespace vm
