// Regions: sets of pixels kept as non-overlapping rectangles.
//
// The rectangles are stored in a canonical banded form: sorted by Top, then
// Left; all rectangles of one horizontal band share Top and Bottom; rectangles
// inside a band neither touch nor overlap; vertically adjacent bands with the
// same columns are merged. Two regions covering the same pixels therefore hold
// the same rectangle list, which makes equality a plain comparison.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "platform/gfx/Types.h"

namespace vm {

// Results of region queries, numbered as on the platform the program imitates.
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
// Combination modes of CombineRgn.
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

class TRegion {
 public:
  TRegion() = default;
  // A region of one rectangle (empty when the rectangle is empty).
  explicit TRegion(const TRect& r);
  // The union of any rectangles, overlapping or not.
  static TRegion FromRects(std::span<const TRect> rects);
  static TRegion FromRects(std::initializer_list<TRect> rects) {
    return FromRects(std::span<const TRect>(rects.begin(), rects.size()));
  }

  bool IsEmpty() const { return rects_.empty(); }
  // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
  int Complexity() const;
  // Smallest rectangle holding every pixel; empty rectangle for an empty region.
  TRect Bounds() const;
  // The canonical rectangle list described above.
  const std::vector<TRect>& Rects() const { return rects_; }

  bool Contains(TPoint p) const;
  bool Contains(int x, int y) const { return Contains(TPoint{x, y}); }
  // True when at least one pixel of r is in the region.
  bool Intersects(const TRect& r) const;

  TRegion& Union(const TRegion& o);
  TRegion& Union(const TRect& r) { return Union(TRegion(r)); }
  TRegion& Intersect(const TRegion& o);
  TRegion& Intersect(const TRect& r);
  TRegion& Subtract(const TRegion& o);
  TRegion& Subtract(const TRect& r) { return Subtract(TRegion(r)); }
  TRegion& Xor(const TRegion& o);
  TRegion& Offset(int dx, int dy);
  void Clear() { rects_.clear(); }

  // Combines a and b by mode (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY);
  // throws std::invalid_argument for any other mode.
  static TRegion Combine(const TRegion& a, const TRegion& b, int mode);

  friend bool operator==(const TRegion&, const TRegion&) = default;

 private:
  std::vector<TRect> rects_;
};

}  // namespace vm
