// The sizes a skin may have. A real skin is a description of a few thousand
// lines and pictures of a few hundred pixels a side; these limits lie far
// above every real skin and far below what would let a small file cost
// seconds or hundreds of megabytes to load. Whatever passes them loads in a
// time and memory in proportion to the skin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

namespace vm {

// The description ("Options.dat"), packed or in a folder.
inline constexpr std::size_t MaxSkinDescriptionBytes = std::size_t(4) << 20;
inline constexpr std::size_t MaxSkinSections = 16384;
// Every picture of a skin: bitmaps and background patterns.
inline constexpr int MaxSkinPictureSide = 8192;
inline constexpr std::int64_t MaxSkinPicturePixels = std::int64_t(4096) * 4096;
// The file of a picture within those limits: 32-bit pixels plus headers.
inline constexpr std::size_t MaxSkinPictureBytes =
    std::size_t(4 * MaxSkinPicturePixels) + (1 << 20);
// A packed skin's container file.
inline constexpr std::size_t MaxSkinContainerBytes = std::size_t(128) << 20;

// A skin refused for its size. The message is for the user (Russian) and
// says what was too large and what the limit is.
class ESkinLimitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "рисунок «NAME» размером W × H точек больше ..." as thrown for a picture.
[[noreturn]] void ThrowPictureTooLarge(const std::string& name, std::int64_t width,
                                       std::int64_t height);
// "файл «NAME» занимает N байт, ..." for a file or entry of `size` bytes
// above `limit`.
[[noreturn]] void ThrowFileTooLarge(const std::string& name, std::uint64_t size,
                                    std::uint64_t limit);
// Whether a picture of this size is within the limits.
inline bool SkinPictureSizeFits(std::int64_t width, std::int64_t height) {
  return width <= MaxSkinPictureSide && height <= MaxSkinPictureSide &&
         width * height <= MaxSkinPicturePixels;
}

}  // namespace vm

namespace vm {

// The message for the user about a skin that could not be loaded from
// `file`: the file, the section and key when the fault lies in one value of
// the description, and what was wrong, in Russian.
std::string SkinLoadErrorText(const std::string& file, const std::exception& error);

}  // namespace vm
