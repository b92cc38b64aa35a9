// Regions: sets of pixels kept as non-overlapping rectangles.
//
// The rectangles are stored in a canonical banded form: sorted by Top, then
// Left; all rectangles of one horizontal band share Top and Bottom; rectangles
// inside a band neither touch nor overlap; vertically adjacent bands with the
// same columns are merged. Two regions covering the same pixels therefore hold
// the same rectangle list, which makes equality a plain comparison.
//
// Regions are built and combined on every repaint, so a region of up to
// kInlineRects rectangles lives inside the object without touching the heap;
// larger ones spill to a heap buffer that is kept for reuse while the region
// lives. Combining two regions is one sweep over their bands, linear in the
// rectangle counts.
#pragma once

#include <cstddef>
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
  // Rectangles held without a heap allocation.
  static constexpr std::uint32_t kInlineRects = 8;

  TRegion() noexcept {}
  // A region of one rectangle (empty when the rectangle is empty).
  explicit TRegion(const TRect& r) noexcept;
  TRegion(const TRegion& o);
  TRegion(TRegion&& o) noexcept;
  TRegion& operator=(const TRegion& o);
  TRegion& operator=(TRegion&& o) noexcept;
  ~TRegion();

  // The union of any rectangles, overlapping or not.
  static TRegion FromRects(std::span<const TRect> rects);
  static TRegion FromRects(std::initializer_list<TRect> rects) {
    return FromRects(std::span<const TRect>(rects.begin(), rects.size()));
  }

  bool IsEmpty() const { return size_ == 0; }
  // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
  int Complexity() const;
  // Smallest rectangle holding every pixel; empty rectangle for an empty region.
  TRect Bounds() const { return bounds_; }
  // The canonical rectangle list described above. It stays valid until the
  // region is next changed.
  std::span<const TRect> Rects() const { return {Data(), size_}; }
  // The rectangles of the bands that share a row with [top, bottom), found by
  // binary search: a caller clipping to a small area walks only those.
  std::span<const TRect> RectsInRows(int top, int bottom) const;

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
  // Moves every rectangle; coordinates that would leave the 32-bit range stop
  // at its ends, so the region loses what would lie beyond.
  TRegion& Offset(int dx, int dy);
  // Empties the region; a heap buffer is kept for the next contents.
  void Clear() {
    size_ = 0;
    bounds_ = {};
  }

  // Combines a and b by mode (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY);
  // throws std::invalid_argument for any other mode.
  static TRegion Combine(const TRegion& a, const TRegion& b, int mode);

  friend bool operator==(const TRegion& a, const TRegion& b);

 private:
  const TRect* Data() const { return heap_ ? heap_ : reinterpret_cast<const TRect*>(inline_); }
  TRect* Data() { return heap_ ? heap_ : reinterpret_cast<TRect*>(inline_); }
  // Makes room for n rectangles, keeping the first size_ of them.
  void Reserve(std::uint32_t n);
  // Replaces the contents with n canonical rectangles (not inside this region).
  void Assign(const TRect* rects, std::uint32_t n);
  void ComputeBounds();
  void FreeHeap();
  template <class Op>
  void Sweep(const TRegion& o);

  TRect* heap_ = nullptr;  // null while the rectangles live in inline_
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = kInlineRects;
  TRect bounds_{};
  alignas(TRect) std::byte inline_[kInlineRects * sizeof(TRect)];
};

}  // namespace vm
