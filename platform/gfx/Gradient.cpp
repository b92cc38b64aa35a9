#include "platform/gfx/Gradient.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vm {
namespace {

// Coordinates beyond this keep the doubled edge functions inside 64 bits.
constexpr std::int64_t MaxCoord = std::int64_t(1) << 28;

struct TVert {
  std::int64_t X, Y;  // doubled, so pixel centres are whole numbers
  double C[3];        // 16-bit channels: red, green, blue
};

std::int64_t Edge(const TVert& a, const TVert& b, std::int64_t px, std::int64_t py) {
  return (b.X - a.X) * (py - a.Y) - (b.Y - a.Y) * (px - a.X);
}

// Edges on which a centre lying exactly on the edge is inside: top and left.
bool OwnsEdge(const TVert& a, const TVert& b) {
  const std::int64_t dy = b.Y - a.Y, dx = b.X - a.X;
  return dy < 0 || (dy == 0 && dx > 0);
}

std::uint8_t ToByte(double v) {
  v = std::clamp(v, 0.0, 65535.0);
  return std::uint8_t(int(v) >> 8);
}

// Floor and ceiling of a / b for b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  return -FloorDiv(-a, b);
}

// The pixels x whose centre lies on the inner side of edge a -> b in row
// py: the edge function w = C - D * px (px = 2x + 1) at least 0 where the
// edge is owned, above 0 elsewhere. Narrows [lo, hi] to them.
void ClipToEdge(const TVert& a, const TVert& b, bool owned, std::int64_t py, std::int64_t& lo,
                std::int64_t& hi) {
  const std::int64_t d = b.Y - a.Y;
  const std::int64_t c = (b.X - a.X) * (py - a.Y) + d * a.X;
  // C - D (2x + 1) >= t  <=>  2D x <= C - t - D.
  const std::int64_t e = c - (owned ? 0 : 1) - d, s = 2 * d;
  if (s == 0) {
    if (e < 0) hi = lo - 1;
  } else if (s > 0) {
    hi = std::min(hi, FloorDiv(e, s));
  } else {
    lo = std::max(lo, CeilDiv(-e, -s));
  }
}

void FillTriangle(TBitmap& bmp, const TRegion& area, TVert v0, TVert v1, TVert v2) {
  std::int64_t area2 = Edge(v0, v1, v2.X, v2.Y);
  if (area2 == 0) return;
  if (area2 < 0) {
    std::swap(v1, v2);
    area2 = -area2;
  }
  const bool own0 = OwnsEdge(v1, v2), own1 = OwnsEdge(v2, v0), own2 = OwnsEdge(v0, v1);
  // Pixels whose centre can be inside.
  const std::int64_t minX = std::min({v0.X, v1.X, v2.X}), maxX = std::max({v0.X, v1.X, v2.X});
  const std::int64_t minY = std::min({v0.Y, v1.Y, v2.Y}), maxY = std::max({v0.Y, v1.Y, v2.Y});
  const TRect box{int((minX - 1) / 2 - 1), int((minY - 1) / 2 - 1), int(maxX / 2 + 1),
                  int(maxY / 2 + 1)};
  const double d1[3] = {v1.C[0] - v0.C[0], v1.C[1] - v0.C[1], v1.C[2] - v0.C[2]};
  const double d2[3] = {v2.C[0] - v0.C[0], v2.C[1] - v0.C[1], v2.C[2] - v0.C[2]};
  const double inv = 1.0 / double(area2);
  const int bpp = bmp.BytesPerPixel();
  for (const TRect& r0 : area.Rects()) {
    const TRect r = r0.Intersect(box);
    for (int y = r.Top; y < r.Bottom; ++y) {
      const std::int64_t py = 2 * std::int64_t(y) + 1;
      // Each row's inside is one span, found from the three edges at once.
      std::int64_t lo = r.Left, hi = std::int64_t(r.Right) - 1;
      ClipToEdge(v1, v2, own0, py, lo, hi);
      ClipToEdge(v2, v0, own1, py, lo, hi);
      ClipToEdge(v0, v1, own2, py, lo, hi);
      if (lo > hi) continue;
      // The weights of vertices 1 and 2 step exactly along the span.
      const std::int64_t px = 2 * lo + 1;
      std::int64_t w1 = Edge(v2, v0, px, py), w2 = Edge(v0, v1, px, py);
      const std::int64_t step1 = -2 * (v0.Y - v2.Y), step2 = -2 * (v1.Y - v0.Y);
      std::uint8_t* p = bmp.ScanLine(y) + std::size_t(lo) * std::size_t(bpp);
      for (std::int64_t x = lo; x <= hi; ++x, p += bpp, w1 += step1, w2 += step2) {
        // Relative to vertex 0 so that three equal colours give that colour exactly.
        const double f1 = double(w1) * inv, f2 = double(w2) * inv;
        p[0] = ToByte(v0.C[2] + f1 * d1[2] + f2 * d2[2]);
        p[1] = ToByte(v0.C[1] + f1 * d1[1] + f2 * d2[1]);
        p[2] = ToByte(v0.C[0] + f1 * d1[0] + f2 * d2[0]);
      }
    }
  }
}

void FillRectGradient(TBitmap& bmp, const TRegion& area, const TRIVERTEX& a, const TRIVERTEX& b,
                      int dx, int dy, bool horizontal) {
  const int x0 = std::min(a.x, b.x) + dx, x1 = std::max(a.x, b.x) + dx;
  const int y0 = std::min(a.y, b.y) + dy, y1 = std::max(a.y, b.y) + dy;
  const TRect box{x0, y0, x1, y1};
  // The colour runs from the upper-left vertex's colour to the lower-right one's.
  const TRIVERTEX& from = (horizontal ? a.x <= b.x : a.y <= b.y) ? a : b;
  const TRIVERTEX& to = &from == &a ? b : a;
  const int len = horizontal ? x1 - x0 : y1 - y0;
  auto colourAt = [&](int pos, std::uint8_t out[3]) {
    const double t = double(pos) / double(len);
    const double c[3] = {from.Red + t * (double(to.Red) - from.Red),
                         from.Green + t * (double(to.Green) - from.Green),
                         from.Blue + t * (double(to.Blue) - from.Blue)};
    out[0] = ToByte(c[2]);
    out[1] = ToByte(c[1]);
    out[2] = ToByte(c[0]);
  };
  const int bpp = bmp.BytesPerPixel();
  for (const TRect& r0 : area.Rects()) {
    const TRect r = r0.Intersect(box);
    if (r.IsEmpty()) continue;
    if (horizontal) {
      // The colour depends on the column only: one row is worked out, the
      // others take its bytes.
      const std::uint8_t* first = bmp.ScanLine(r.Top) + std::size_t(r.Left) * bpp;
      std::uint8_t* p = bmp.ScanLine(r.Top) + std::size_t(r.Left) * bpp;
      for (int x = r.Left; x < r.Right; ++x, p += bpp) colourAt(x - x0, p);
      for (int y = r.Top + 1; y < r.Bottom; ++y) {
        std::uint8_t* q = bmp.ScanLine(y) + std::size_t(r.Left) * bpp;
        if (bpp == 3) {
          std::memcpy(q, first, std::size_t(r.Width()) * 3);
          continue;
        }
        const std::uint8_t* f = first;
        for (int x = r.Left; x < r.Right; ++x, q += bpp, f += bpp) {
          q[0] = f[0];
          q[1] = f[1];
          q[2] = f[2];
        }
      }
    } else {
      // The colour depends on the row only: one colour a row.
      for (int y = r.Top; y < r.Bottom; ++y) {
        std::uint8_t c[3];
        colourAt(y - y0, c);
        std::uint8_t* q = bmp.ScanLine(y) + std::size_t(r.Left) * bpp;
        for (int x = r.Left; x < r.Right; ++x, q += bpp) {
          q[0] = c[0];
          q[1] = c[1];
          q[2] = c[2];
        }
      }
    }
  }
}

}  // namespace

bool GradientFillBitmap(TBitmap& bmp, const TRegion& clip, int dx, int dy,
                        const TRIVERTEX* vertices, std::uint32_t vertexCount, const void* mesh,
                        std::uint32_t meshCount, std::uint32_t mode) {
  if (!vertices || (!mesh && meshCount)) return false;
  if (mode != GRADIENT_FILL_TRIANGLE && mode != GRADIENT_FILL_RECT_H &&
      mode != GRADIENT_FILL_RECT_V)
    return false;
  for (std::uint32_t i = 0; i < vertexCount; ++i) {
    const std::int64_t x = std::int64_t(vertices[i].x) + dx, y = std::int64_t(vertices[i].y) + dy;
    if (x < -MaxCoord || x > MaxCoord || y < -MaxCoord || y > MaxCoord) return false;
  }
  // Check the whole mesh first so that a bad entry draws nothing at all.
  if (mode == GRADIENT_FILL_TRIANGLE) {
    const auto* tri = static_cast<const GRADIENT_TRIANGLE*>(mesh);
    for (std::uint32_t i = 0; i < meshCount; ++i)
      if (tri[i].Vertex1 >= vertexCount || tri[i].Vertex2 >= vertexCount ||
          tri[i].Vertex3 >= vertexCount)
        return false;
  } else {
    const auto* rc = static_cast<const GRADIENT_RECT*>(mesh);
    for (std::uint32_t i = 0; i < meshCount; ++i)
      if (rc[i].UpperLeft >= vertexCount || rc[i].LowerRight >= vertexCount) return false;
  }
  TRegion area(TRect{0, 0, bmp.Width(), bmp.Height()});
  area.Intersect(clip);
  if (area.IsEmpty()) return true;

  auto vert = [&](std::uint32_t i) {
    const TRIVERTEX& v = vertices[i];
    return TVert{2 * (std::int64_t(v.x) + dx),
                 2 * (std::int64_t(v.y) + dy),
                 {double(v.Red), double(v.Green), double(v.Blue)}};
  };
  if (mode == GRADIENT_FILL_TRIANGLE) {
    const auto* tri = static_cast<const GRADIENT_TRIANGLE*>(mesh);
    for (std::uint32_t i = 0; i < meshCount; ++i)
      FillTriangle(bmp, area, vert(tri[i].Vertex1), vert(tri[i].Vertex2), vert(tri[i].Vertex3));
  } else {
    const auto* rc = static_cast<const GRADIENT_RECT*>(mesh);
    for (std::uint32_t i = 0; i < meshCount; ++i)
      FillRectGradient(bmp, area, vertices[rc[i].UpperLeft], vertices[rc[i].LowerRight], dx, dy,
                       mode == GRADIENT_FILL_RECT_H);
  }
  return true;
}

}  // namespace vm
