// Helpers shared by the skin data tests: temporary folders, small bitmaps and
// a recorder for the warning messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/BmpCodec.h"
#include "skin/data/SkinConvertor.h"

namespace vm::test {

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("velmora-data-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string Path() const { return path_.string(); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

inline void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<std::uint8_t> Bytes(const std::string& s) {
  return std::vector<std::uint8_t>(s.begin(), s.end());
}

// A bitmap filled with one colour, as BMP file bytes.
inline std::vector<std::uint8_t> SolidBmp(int w, int h, TColor c) {
  TBitmap bmp(w, h);
  bmp.Fill(c);
  return WriteBmp24(bmp);
}

// Records every warning while alive.
class WarningRecorder {
 public:
  WarningRecorder() {
    SetSkinMessageFunc([this](const std::string& text, const std::string& caption) {
      texts.push_back(text);
      captions.push_back(caption);
    });
  }
  ~WarningRecorder() { SetSkinMessageFunc(nullptr); }
  std::vector<std::string> texts;
  std::vector<std::string> captions;
};

// Sets an environment variable (nullptr: unsets it) until the end of the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) had_ = true, old_ = old;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (had_)
      ::setenv(name_, old_.c_str(), 1);
    else
      ::unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

}  // namespace vm::test
