#include "skin/paint/pixels/Colors.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/SysColors.h"

namespace vm {

namespace {

// Rounds to the nearest integer, halves to even (the default rounding mode).
inline double Rnd(double v) {
  return std::nearbyint(v);
}

inline int ClampByte(double v) {
  if (!(v >= 0)) return 0;  // also catches NaN
  if (v > 255) return 255;
  return int(v);
}

}  // namespace

TColor ResolveColor(TColor c) {
  return ColorToRGB(c);
}

std::uint8_t PercentToWeight(int percent) {
  const long long w = (long long)percent * 255 / 100;
  return std::uint8_t(std::clamp<long long>(w, 0, 255));
}

TColor MixColors(TColor a, TColor b, double fraction) {
  const TColor top = (a >> 24) == 0xFF ? 0 : (a & 0xFF000000u);
  const TColor ra = ResolveColor(a), rb = ResolveColor(b);
  TColor result = top;
  for (int shift = 0; shift < 24; shift += 8) {
    const int ca = int((ra >> shift) & 0xFF), cb = int((rb >> shift) & 0xFF);
    // The mix of two bytes with a fraction in 0..1 stays in 0..255; clamping
    // only matters for fractions outside that range.
    result |= TColor(ClampByte(Rnd(fraction * (ca - cb) + cb))) << shift;
  }
  return result;
}

TColor ChangeSaturation(TColor color, int amount) {
  if (amount == 0) return color;
  const TColor c = ResolveColor(color);
  const double r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  const double grey = (r + g + b) / 3;
  auto shift = [&](double x) { return ClampByte(Rnd(x + amount * ((grey - x) / 100))); };
  return RGB(shift(r), shift(g), shift(b));
}

TColor ChangeHue(int degrees, TColor color) {
  const TColor c = ResolveColor(color);
  const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  const int v = std::max({r, g, b});
  const int delta = v - std::min({r, g, b});
  const double s = v == 0 ? 0.0 : double(delta) / v;
  if (s == 0) return color;

  double h;
  if (r == v)
    h = 60.0 * (g - b) / delta;
  else if (g == v)
    h = 120.0 + 60.0 * (b - r) / delta;
  else
    h = 240.0 + 60.0 * (r - g) / delta;
  if (h < 0) h += 360;

  // The rotated hue, taken into 0..359 whatever the sign of degrees.
  long long hue = (long long)Rnd(h + double(degrees)) % 360;
  if (hue < 0) hue += 360;

  const double u = double(hue) / 60;
  const int i = int(u);
  const double f = u - i;
  // p, q and t are limited to 0..255, then rounded half to even.
  auto clampRnd = [](double x) { return int(Rnd(std::clamp(x, 0.0, 255.0))); };
  const int pp = clampRnd(v * (1 - s));
  const int qq = clampRnd(v * (1 - f * s));
  const int tt = clampRnd(v * (1 - (1 - f) * s));
  switch (i) {
    case 0:
      return RGB(v, tt, pp);
    case 1:
      return RGB(qq, v, pp);
    case 2:
      return RGB(pp, v, tt);
    case 3:
      return RGB(pp, qq, v);
    case 4:
      return RGB(tt, pp, v);
    default:
      return RGB(v, pp, qq);
  }
}

}  // namespace vm
