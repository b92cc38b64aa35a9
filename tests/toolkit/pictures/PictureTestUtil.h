// Helpers shared by the picture tests: a scratch folder, file I/O and
// generated pictures.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"

namespace vm::tk::test {

// A folder of its own per test process, removed at exit.
struct TScratch {
  std::string Dir =
      (std::filesystem::temp_directory_path() / ("vm_pictures_" + std::to_string(::getpid())))
          .string();
  TScratch() { std::filesystem::create_directories(Dir); }
  ~TScratch() {
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
  }
};

inline std::string ScratchDir() {
  static TScratch scratch;
  return scratch.Dir;
}

inline std::string ScratchFile(const std::string& name) {
  return ScratchDir() + "/" + name;
}

inline std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A photo-like picture: smooth gradients with some texture, so that JPEG
// quality settings give different files.
inline vm::TBitmap TestPhoto(int w, int h, vm::TPixelFormat format = vm::TPixelFormat::pf24bit) {
  vm::TBitmap b(w, h, format);
  std::uint32_t seed = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      int n = int((seed >> 16) & 15);
      b.SetPixel(x, y,
                 RGB((x * 255 / std::max(1, w - 1) + n) & 255, (y * 200 / std::max(1, h)) + n,
                     ((x + y) * 3 + n) & 255));
      if (format == vm::TPixelFormat::pf32bit) b.SetAlpha(x, y, std::uint8_t(x * 7 + y));
    }
  return b;
}

// Writes a bitmap as a binary PPM (the command-line tools' input).
inline void WritePpm(const std::string& path, const vm::TBitmap& b) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "P6\n" << b.Width() << " " << b.Height() << "\n255\n";
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      TColor c = b.GetPixel(x, y);
      char rgb[3] = {char(GetRValue(c)), char(GetGValue(c)), char(GetBValue(c))};
      out.write(rgb, 3);
    }
}

inline bool Run(const std::string& command) {
  return std::system(command.c_str()) == 0;
}

}  // namespace vm::tk::test
