#include "skin/paint/pixels/Gradient.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/gfx/Gradient.h"
#include "platform/gfx/Region.h"

namespace vm {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

[[noreturn]] void ThrowNotInteger(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

// The fields of a gradient text: runs of ';' are one separator and empty
// fields at either end do not count.
std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ';') ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ';') ++i;
    if (i > start) fields.push_back(text.substr(start, i - start));
  }
  return fields;
}

}  // namespace

std::int32_t StrToInt(std::string_view text) {
  std::string_view t = text;
  while (!t.empty() && IsSpace(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsSpace(t.back())) t.remove_suffix(1);
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty()) ThrowNotInteger(text);

  std::uint64_t value = 0;
  if (t.front() == '$') {
    // Hexadecimal takes up to 32 bits; $FFFFFFFF is -1 like any 32-bit pattern.
    t.remove_prefix(1);
    if (t.empty()) ThrowNotInteger(text);
    while (t.size() > 8 && t.front() == '0') t.remove_prefix(1);  // leading zeros are free
    if (t.size() > 8) ThrowNotInteger(text);
    for (char c : t) {
      int digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      else
        ThrowNotInteger(text);
      value = value * 16 + std::uint64_t(digit);
    }
    std::uint32_t bits = std::uint32_t(value);
    if (negative) bits = 0u - bits;
    return std::int32_t(bits);
  }

  for (char c : t) {
    if (c < '0' || c > '9') ThrowNotInteger(text);
    value = value * 10 + std::uint64_t(c - '0');
    if (value > 2147483648ull) ThrowNotInteger(text);
  }
  if (negative) return std::int32_t(-std::int64_t(value));
  if (value > 2147483647ull) ThrowNotInteger(text);
  return std::int32_t(value);
}

void ParseGradient(std::string_view text, TsGradArray& array) {
  const std::vector<std::string_view> fields = SplitFields(text);
  const std::size_t bands = fields.size() / 5;
  array.assign(bands, GradientItem{});
  for (std::size_t k = 0; k < bands; ++k) {
    GradientItem& item = array[k];
    item.Color1 = StrToInt(fields[5 * k]);
    item.Color2 = StrToInt(fields[5 * k + 1]);
    item.Percent = std::min(100, StrToInt(fields[5 * k + 2]));
    item.Mode = StrToInt(fields[5 * k + 3]);
  }
}

namespace {

struct TChannels {
  double R, G, B;
};

TChannels Split(std::int32_t c) {
  const std::uint32_t u = std::uint32_t(c);
  return {double(u & 0xFF), double((u >> 8) & 0xFF), double((u >> 16) & 0xFF)};
}

inline std::uint8_t Rnd(double v) {
  // Interpolated values stay between two bytes; the clamp only guards the
  // last bits of floating-point drift.
  return std::uint8_t(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

// Writes one colour into columns [left, right] of a row.
void FillRow(std::uint8_t* row, int left, int right, std::uint8_t b, std::uint8_t g,
             std::uint8_t r) {
  std::uint8_t* p = row + std::ptrdiff_t(left) * 3;
  for (int x = left; x <= right; ++x, p += 3) {
    p[0] = b;
    p[1] = g;
    p[2] = r;
  }
}

// Bands from top to bottom. Each band's last row gets Color2 exactly and the
// next band starts on that same row, overwriting it with its own Color1. The
// last band always reaches the bottom; bands shorter than two rows are skipped.
void PaintVertical(TBitmap& bitmap, const TRect& rect, const TsGradArray& array) {
  const int height = rect.Height();
  const int lastRow = std::min(rect.Bottom, bitmap.Height()) - 1;
  const int right = std::min(rect.Right, bitmap.Width()) - 1;
  int end = rect.Top;
  for (std::size_t i = 0; i < array.size(); ++i) {
    const bool last = i + 1 == array.size();
    const int start = end;
    const int percent = std::uint8_t(array[i].Percent);
    const std::int64_t wanted = std::int64_t(start) + std::int64_t(percent) * height / 100;
    end = last ? lastRow : int(std::min<std::int64_t>(wanted, lastRow));
    if (end - start <= 0) continue;
    const int n = end - start;
    const TChannels c1 = Split(array[i].Color1), c2 = Split(array[i].Color2);
    const double stepR = (c2.R - c1.R) / n, stepG = (c2.G - c1.G) / n, stepB = (c2.B - c1.B) / n;
    double r = c1.R, g = c1.G, b = c1.B;
    for (int y = start; y <= end; ++y) {
      FillRow(bitmap.ScanLine(y), rect.Left, right, Rnd(b), Rnd(g), Rnd(r));
      r += stepR;
      g += stepG;
      b += stepB;
    }
  }
}

// Bands from left to right. Every row gets the same bands, so the first row
// is computed and its painted part copied to the others.
void PaintHorizontal(TBitmap& bitmap, const TRect& rect, const TsGradArray& array) {
  const int lastColumn = std::min(rect.Right, bitmap.Width()) - 1;
  const double unit = rect.Width() / 100.0;
  std::uint8_t* first = bitmap.ScanLine(rect.Top);
  int end = rect.Left;
  int paintedRight = rect.Left - 1;  // bands paint one run from rect.Left
  for (std::size_t i = 0; i < array.size(); ++i) {
    const bool last = i + 1 == array.size();
    const int start = end;
    const double wanted = std::nearbyint(double(std::uint8_t(array[i].Percent)) * unit + start);
    end = last ? lastColumn : int(std::min<double>(wanted, lastColumn));
    const int n = end - start;
    if (n <= 0) continue;
    paintedRight = std::max(paintedRight, end);
    const TChannels c1 = Split(array[i].Color1), c2 = Split(array[i].Color2);
    const double stepR = (c2.R - c1.R) / n, stepG = (c2.G - c1.G) / n, stepB = (c2.B - c1.B) / n;
    double r = c1.R, g = c1.G, b = c1.B;
    std::uint8_t* p = first + std::ptrdiff_t(start) * 3;
    for (int x = start; x <= end; ++x, p += 3) {
      p[0] = Rnd(b);
      p[1] = Rnd(g);
      p[2] = Rnd(r);
      r += stepR;
      g += stepG;
      b += stepB;
    }
  }
  // Only what the bands painted is copied: a rectangle one column wide gets
  // no band at all, and the other rows must then keep their own pixels.
  if (paintedRight < rect.Left) return;
  const std::size_t bytes = std::size_t(paintedRight - rect.Left + 1) * 3;
  const std::uint8_t* src = first + std::ptrdiff_t(rect.Left) * 3;
  for (int y = rect.Top + 1; y < rect.Bottom; ++y)
    std::memcpy(bitmap.ScanLine(y) + std::ptrdiff_t(rect.Left) * 3, src, bytes);
}

TRIVERTEX Vertex(int x, int y, std::int32_t color) {
  const std::uint32_t u = std::uint32_t(color);
  TRIVERTEX v;
  v.x = x;
  v.y = y;
  v.Red = COLOR16((u & 0xFF) << 8);
  v.Green = COLOR16(((u >> 8) & 0xFF) << 8);
  v.Blue = COLOR16(((u >> 16) & 0xFF) << 8);
  v.Alpha = 0;
  return v;
}

// Four triangles around the centre: top, right, left and bottom.
void PaintTriangles(TBitmap& bitmap, const TRect& rect, const TsGradArray& array) {
  std::int32_t colors[5];
  for (std::size_t k = 0; k < 5; ++k)
    colors[k] = k < array.size() ? array[k].Color1 : colors[k - 1];
  const TRIVERTEX vertices[5] = {
      Vertex(rect.Left, rect.Top, colors[0]),
      Vertex(rect.Left + rect.Width() / 2, rect.Top + rect.Height() / 2, colors[1]),
      Vertex(rect.Right, rect.Top, colors[2]),
      Vertex(rect.Right, rect.Bottom, colors[3]),
      Vertex(rect.Left, rect.Bottom, colors[4]),
  };
  const GRADIENT_TRIANGLE mesh[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  GradientFillBitmap(bitmap, TRegion(rect), 0, 0, vertices, 5, mesh, 4, GRADIENT_FILL_TRIANGLE);
}

}  // namespace

void PaintGradient(TBitmap& bitmap, TRect rect, const TsGradArray& array) {
  if (array.empty() || bitmap.PixelFormat() != TPixelFormat::pf24bit) return;
  rect.Left = std::max(rect.Left, 0);
  rect.Top = std::max(rect.Top, 0);
  rect.Right = std::min(rect.Right, bitmap.Width());
  rect.Bottom = std::min(rect.Bottom, bitmap.Height());
  if (rect.IsEmpty()) return;
  switch (array[0].Mode) {
    case 0:
      PaintVertical(bitmap, rect, array);
      break;
    case 1:
      PaintHorizontal(bitmap, rect, array);
      break;
    case 2:
      PaintTriangles(bitmap, rect, array);
      break;
    default:
      break;
  }
}

}  // namespace vm
