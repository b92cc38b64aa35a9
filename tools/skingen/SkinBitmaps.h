// Renders the skin's pictures into plain RGB images, reduces them to a palette and
// writes them as 8-bit BMP files (and enlarged PNG previews for looking at them).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/skingen/SkinArt.h"
#include "tools/skingen/SkinLayout.h"

namespace vm {

struct TRgbImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Rgb;  // top-down, 3 bytes per pixel: red, green, blue
  std::vector<bool> IsMask;       // pixel belongs to a transparency-mask row (kept exactly grey)

  TRgbImage() = default;
  TRgbImage(int w, int h);
  void Set(int x, int y, int r, int g, int b, bool mask = false);
  TColor Get(int x, int y) const;
};

// A palette image: at most 256 colours, index per pixel, rows top-down.
struct TIndexedImage {
  int Width = 0;
  int Height = 0;
  std::vector<TColor> Palette;  // $00BBGGRR
  std::vector<std::uint8_t> Pixels;

  TColor ColorAt(int x, int y) const { return Palette[Pixels[std::size_t(y) * Width + x]]; }
};

// The 276 x 102 master bitmap: every image of the layout at its place, magenta between.
TRgbImage RenderMaster(const TSkinLayout& layout, const TSkinShape& shape = {});
// BUTTONHUGE.BMP: three 96-pixel states, the picture row above its mask row.
TRgbImage RenderHugeButton(const TSkinShape& shape = {});

// Reduces an image to at most 256 colours. Magenta stays exactly magenta and is used
// only where the image has it; mask pixels map to exact greys.
TIndexedImage Quantise(const TRgbImage& image);

// An uncompressed 8-bit BMP, bottom-up, with its palette.
std::vector<std::uint8_t> EncodeBmp8(const TIndexedImage& image);
// Reads back an uncompressed 8-bit BMP; throws std::runtime_error on anything else
// or on a damaged file.
TIndexedImage DecodeBmp8(const std::vector<std::uint8_t>& data);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& data);
std::vector<std::uint8_t> ReadFile(const std::string& path);
// Writes the image enlarged `scale` times with nearest-neighbour sampling.
void WritePngPreview(const std::string& path, const TIndexedImage& image, int scale);
void WritePngPreview(const std::string& path, const TRgbImage& image, int scale);

}  // namespace vm
