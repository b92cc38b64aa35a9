#include "tools/skingen/Raster.h"

#include <cmath>

namespace vm {

namespace {

float Length(float x, float y) {
  return std::sqrt(x * x + y * y);
}

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
  const float dx = bx - ax, dy = by - ay;
  const float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0f;
  t = std::clamp(t, 0.0f, 1.0f);
  return Length(px - (ax + t * dx), py - (ay + t * dy));
}

TRgbF Sample(const std::vector<TStop>& stops, float t) {
  if (stops.empty()) return {};
  if (t <= stops.front().At) return stops.front().Color;
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].At) {
      const float span = stops[i].At - stops[i - 1].At;
      const float f = span > 0 ? (t - stops[i - 1].At) / span : 1.0f;
      return Mix(stops[i - 1].Color, stops[i].Color, f);
    }
  }
  return stops.back().Color;
}

}  // namespace

TRgbF Mix(TRgbF a, TRgbF b, float t) {
  return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

TShape RoundRect(float x0, float y0, float x1, float y1, float radius) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
  const float r = std::min({radius, hx, hy});
  return [=](float x, float y) {
    const float qx = std::abs(x - cx) - (hx - r);
    const float qy = std::abs(y - cy) - (hy - r);
    return Length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - r;
  };
}

TShape Circle(float cx, float cy, float radius) {
  return [=](float x, float y) { return Length(x - cx, y - cy) - radius; };
}

TShape Capsule(float ax, float ay, float bx, float by, float halfWidth) {
  return [=](float x, float y) { return SegmentDistance(x, y, ax, ay, bx, by) - halfWidth; };
}

TShape Polyline(std::initializer_list<float> xy, float halfWidth) {
  std::vector<float> p(xy);
  return [p, halfWidth](float x, float y) {
    float d = 1e9f;
    for (std::size_t i = 2; i + 1 < p.size(); i += 2)
      d = std::min(d, SegmentDistance(x, y, p[i - 2], p[i - 1], p[i], p[i + 1]));
    return d - halfWidth;
  };
}

TShape Polygon(std::initializer_list<float> xy) {
  std::vector<float> p(xy);
  return [p](float x, float y) {
    // Even-odd inside test; the distance magnitude only matters for its sign here.
    const std::size_t n = p.size() / 2;
    bool inside = false;
    float d = 1e9f;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
      const float xi = p[2 * i], yi = p[2 * i + 1], xj = p[2 * j], yj = p[2 * j + 1];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
      d = std::min(d, SegmentDistance(x, y, xi, yi, xj, yj));
    }
    return inside ? -d : d;
  };
}

TShape Union(TShape a, TShape b) {
  return [a, b](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

TShape Subtract(TShape a, TShape b) {
  return [a, b](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

TShape Intersect(TShape a, TShape b) {
  return [a, b](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

TPaint Solid(TRgbF c) {
  return [c](float, float) { return c; };
}

TPaint VGradient(float y0, float y1, std::vector<TStop> stops) {
  return [=](float, float y) { return Sample(stops, y1 > y0 ? (y - y0) / (y1 - y0) : 0.0f); };
}

TPaint HGradient(float x0, float x1, std::vector<TStop> stops) {
  return [=](float x, float) { return Sample(stops, x1 > x0 ? (x - x0) / (x1 - x0) : 0.0f); };
}

TRaster::TRaster(int width, int height)
    : Width_(width), Height_(height), Pixels_(std::size_t(width) * height) {}

void TRaster::Over(int x, int y, TRgbF c, float alpha) {
  if (x < 0 || y < 0 || x >= Width_ || y >= Height_ || alpha <= 0) return;
  TRgbaF& d = At(x, y);
  const float outA = alpha + d.A * (1 - alpha);
  if (outA <= 0) return;
  const float keep = d.A * (1 - alpha);
  d.R = (c.R * alpha + d.R * keep) / outA;
  d.G = (c.G * alpha + d.G * keep) / outA;
  d.B = (c.B * alpha + d.B * keep) / outA;
  d.A = outA;
}

void TRaster::Put(int x, int y, TRgbF c, float alpha) {
  Over(x, y, c, alpha);
}

void TRaster::Fill(const TShape& shape, const TPaint& paint, float opacity) {
  constexpr int N = 4;
  for (int y = 0; y < Height_; ++y) {
    for (int x = 0; x < Width_; ++x) {
      int hits = 0;
      for (int sy = 0; sy < N; ++sy)
        for (int sx = 0; sx < N; ++sx)
          if (shape(x + (sx + 0.5f) / N, y + (sy + 0.5f) / N) < 0) ++hits;
      if (hits == 0) continue;
      Over(x, y, paint(x + 0.5f, y + 0.5f), opacity * float(hits) / (N * N));
    }
  }
}

TRaster TRaster::FlippedVertically() const {
  TRaster r(Width_, Height_);
  for (int y = 0; y < Height_; ++y)
    for (int x = 0; x < Width_; ++x) r.At(x, y) = At(x, Height_ - 1 - y);
  return r;
}

TRaster TRaster::FlippedHorizontally() const {
  TRaster r(Width_, Height_);
  for (int y = 0; y < Height_; ++y)
    for (int x = 0; x < Width_; ++x) r.At(x, y) = At(Width_ - 1 - x, y);
  return r;
}

TRaster TRaster::Transposed() const {
  TRaster r(Height_, Width_);
  for (int y = 0; y < Height_; ++y)
    for (int x = 0; x < Width_; ++x) r.At(y, x) = At(x, y);
  return r;
}

}  // namespace vm
