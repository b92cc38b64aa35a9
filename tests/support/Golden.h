// Golden pictures of the tests: a rendered picture is compared pixel by pixel
// with its committed PNG. With VELMORA_UPDATE_GOLDEN=1 in the environment the
// PNG is written instead (then look at it before committing it).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/PngCodec.h"

namespace vm::test {

inline void ExpectGolden(const TBitmap& actual, const std::filesystem::path& file,
                         const std::string& name) {
  namespace fs = std::filesystem;
  if (const char* update = std::getenv("VELMORA_UPDATE_GOLDEN");
      update && std::string(update) == "1") {
    fs::create_directories(file.parent_path());
    SavePngFile(file.string(), actual);
    return;
  }
  ASSERT_TRUE(fs::exists(file)) << file << " is missing; run with VELMORA_UPDATE_GOLDEN=1";
  const TBitmap expected = LoadPngFile(file.string());
  ASSERT_EQ(expected.Width(), actual.Width()) << name;
  ASSERT_EQ(expected.Height(), actual.Height()) << name;
  int differ = 0;
  TPoint first{-1, -1};
  for (int y = 0; y < actual.Height(); ++y)
    for (int x = 0; x < actual.Width(); ++x)
      if (expected.GetPixel(x, y) != actual.GetPixel(x, y) && differ++ == 0) first = {x, y};
  EXPECT_EQ(differ, 0) << name << ": first difference at " << first.X << ", " << first.Y;
}

}  // namespace vm::test
