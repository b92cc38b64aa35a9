// Floating-point RGBA canvas with anti-aliased shape filling for painting skin artwork.
//
// Shapes are signed distance functions (negative inside). Coverage of a pixel is
// measured by sampling a 4 x 4 grid inside it, which gives clean anti-aliased edges
// for the small rounded rectangles, arrows and glyphs a skin is made of.
#pragma once

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <vector>

namespace vm {

struct TRgbF {
  float R = 0, G = 0, B = 0;
};

// Colour from 0..255 channel values.
constexpr TRgbF Rgb(float r, float g, float b) {
  return {r, g, b};
}
TRgbF Mix(TRgbF a, TRgbF b, float t);

struct TRgbaF {
  float R = 0, G = 0, B = 0, A = 0;
};

using TShape = std::function<float(float x, float y)>;  // signed distance, < 0 inside
using TPaint = std::function<TRgbF(float x, float y)>;  // colour at a point

// Shapes. Coordinates are in pixels; pixel (i, j) covers [i, i + 1) x [j, j + 1).
TShape RoundRect(float x0, float y0, float x1, float y1, float radius);
TShape Circle(float cx, float cy, float radius);
TShape Capsule(float ax, float ay, float bx, float by, float halfWidth);
TShape Polyline(std::initializer_list<float> xy, float halfWidth);
TShape Polygon(std::initializer_list<float> xy);
TShape Union(TShape a, TShape b);
TShape Subtract(TShape a, TShape b);
TShape Intersect(TShape a, TShape b);

// Paints.
TPaint Solid(TRgbF c);
// Colour stops (position 0..1, colour) along y from y0 to y1 (vertical) or x (horizontal).
struct TStop {
  float At;
  TRgbF Color;
};
TPaint VGradient(float y0, float y1, std::vector<TStop> stops);
TPaint HGradient(float x0, float x1, std::vector<TStop> stops);

class TRaster {
 public:
  TRaster(int width, int height);

  int Width() const { return Width_; }
  int Height() const { return Height_; }
  const TRgbaF& At(int x, int y) const { return Pixels_[std::size_t(y) * Width_ + x]; }
  TRgbaF& At(int x, int y) { return Pixels_[std::size_t(y) * Width_ + x]; }

  // Composites paint over the canvas where the shape covers it, scaled by opacity.
  void Fill(const TShape& shape, const TPaint& paint, float opacity = 1.0f);
  // Sets one pixel outright (for crisp one-pixel details such as grip dots).
  void Put(int x, int y, TRgbF c, float alpha = 1.0f);
  // Mirrors and rotates whole rasters (tabs and arrows share one drawing).
  TRaster FlippedVertically() const;
  TRaster Transposed() const;
  TRaster FlippedHorizontally() const;

 private:
  void Over(int x, int y, TRgbF c, float alpha);

  int Width_;
  int Height_;
  std::vector<TRgbaF> Pixels_;
};

}  // namespace vm
