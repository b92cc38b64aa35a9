// Basic geometry and colour types shared by every layer.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vm {

// A colour is $00BBGGRR: red in the low byte. A top byte of $FF names a system
// colour whose index is the low byte (see SysColors.h).
using TColor = std::uint32_t;

constexpr TColor clNone = 0x00FF00FF;  // magenta: the key colour and the "not set" marker
constexpr TColor clBlack = 0x00000000;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clWindow = 0xFF000005;  // system colour: window background
constexpr TColor clWindowText = 0xFF000008;

constexpr TColor RGB(int r, int g, int b) {
  return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int GetRValue(TColor c) {
  return int(c & 0xFF);
}
constexpr int GetGValue(TColor c) {
  return int((c >> 8) & 0xFF);
}
constexpr int GetBValue(TColor c) {
  return int((c >> 16) & 0xFF);
}

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// A rectangle. Right and Bottom are exclusive unless a function says otherwise.
struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;

  constexpr std::int32_t Width() const { return Right - Left; }
  constexpr std::int32_t Height() const { return Bottom - Top; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(TPoint p) const {
    return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
  }
  constexpr TRect Offset(std::int32_t dx, std::int32_t dy) const {
    return {Left + dx, Top + dy, Right + dx, Bottom + dy};
  }
  constexpr TRect Intersect(const TRect& o) const {
    TRect r{std::max(Left, o.Left), std::max(Top, o.Top), std::min(Right, o.Right),
            std::min(Bottom, o.Bottom)};
    if (r.IsEmpty()) return {};
    return r;
  }
  // The smallest rectangle holding both; an empty one adds nothing.
  constexpr TRect Union(const TRect& o) const {
    if (o.IsEmpty()) return *this;
    if (IsEmpty()) return o;
    return {std::min(Left, o.Left), std::min(Top, o.Top), std::max(Right, o.Right),
            std::max(Bottom, o.Bottom)};
  }
  friend bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
  return {l, t, r, b};
}
constexpr TRect Bounds(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) {
  return {l, t, l + w, t + h};
}

}  // namespace vm
