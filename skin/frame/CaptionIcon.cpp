#include "skin/frame/CaptionIcon.h"

#include <algorithm>
#include <cstdint>

#include "skin/paint/pixels/Colors.h"
#include "toolkit/Application.h"

namespace vm {

namespace {

// The picture of an icon that suits a side best: the small one up to its own
// size, else the large one.
const TBitmap* IconPicture(const tk::TIcon& icon, int side) {
  const TBitmap& small = icon.SmallImage();
  const TBitmap& large = icon.LargeImage();
  if (!small.Empty() && (side <= small.Width() || large.Empty())) return &small;
  if (!large.Empty()) return &large;
  return nullptr;
}

const tk::TIcon* UsableIcon(const tk::TIcon* icon) {
  return icon && !icon->Empty() ? icon : nullptr;
}

// Source column (or row) of destination x when n source pixels are spread
// over m destination pixels: the pixel centre's source, as the platform's
// nearest-pixel stretch takes it.
int SourceOf(int x, int n, int m) {
  return int((std::int64_t(2 * x + 1) * n) / (2 * std::int64_t(m)));
}

// Draws pic scaled to rect: alpha-blended for 32-bit pictures, opaque for
// 24-bit ones, with magenta left out when keyMagenta. Only the part of rect
// inside the cache is computed, so an absurd size costs nothing. Rows are
// walked on their bytes; the source column follows x by an exact
// step-and-carry of SourceOf's quotient.
void DrawScaled(TBitmap& cache, const TBitmap& pic, const TRect& rect, bool keyMagenta) {
  if (pic.Empty() || rect.IsEmpty()) return;
  const TRect clip = rect.Intersect({0, 0, cache.Width(), cache.Height()});
  if (clip.IsEmpty()) return;
  const bool alpha = pic.PixelFormat() == TPixelFormat::pf32bit && !keyMagenta;
  const int sbpp = pic.BytesPerPixel(), dbpp = cache.BytesPerPixel();
  const std::int64_t n = pic.Width(), m2 = 2 * std::int64_t(rect.Width());
  const std::int64_t firstNumerator = (2 * (std::int64_t(clip.Left) - rect.Left) + 1) * n;
  const int firstColumn = int(firstNumerator / m2);
  const std::int64_t firstRest = firstNumerator % m2;
  for (int y = clip.Top; y < clip.Bottom; ++y) {
    const int sy = SourceOf(y - rect.Top, pic.Height(), rect.Height());
    const std::uint8_t* row = pic.ScanLine(sy);
    std::uint8_t* d = cache.ScanLine(y) + std::size_t(clip.Left) * std::size_t(dbpp);
    int sx = firstColumn;
    std::int64_t rest = firstRest;
    for (int x = clip.Left; x < clip.Right; ++x, d += dbpp) {
      const std::uint8_t* s = row + std::size_t(sx) * std::size_t(sbpp);
      // The next column's source: the numerator grows by 2n.
      for (rest += 2 * n; rest >= m2; rest -= m2) ++sx;
      if (keyMagenta) {
        if (RGB(s[2], s[1], s[0]) != KeyColor) d[0] = s[0], d[1] = s[1], d[2] = s[2];
        continue;
      }
      const int a = alpha ? s[3] : 255;
      if (a == 0) continue;
      if (a == 255) {
        d[0] = s[0], d[1] = s[1], d[2] = s[2];
        continue;
      }
      // Weight 0..256 so that full opacity gives the source exactly.
      const int w = a + (a >> 7);
      for (int c = 0; c < 3; ++c) d[c] = std::uint8_t((s[c] * w + d[c] * (256 - w)) >> 8);
    }
  }
}

}  // namespace

tk::TIcon& EngineDefaultIcon() {
  static tk::TIcon icon;
  return icon;
}

TBitmap StandardApplicationIcon(int size) {
  size = std::clamp(size, 1, 256);
  TBitmap b(size, size, TPixelFormat::pf32bit);  // starts fully transparent
  // A window: dark outline, blue caption band, white client area.
  const int inset = size >= 16 ? size / 16 : 0;
  const TRect outer{inset, inset + size / 8, size - inset, size - inset - size / 16};
  if (outer.IsEmpty()) return b;
  const int band = std::max(1, outer.Height() / 4);
  // Each row: the outline colour at both ends (all of it on the first and
  // last rows), the band's or the client's colour between, all opaque.
  auto put = [](std::uint8_t* p, TColor c) {
    p[0] = std::uint8_t(GetBValue(c)), p[1] = std::uint8_t(GetGValue(c));
    p[2] = std::uint8_t(GetRValue(c)), p[3] = 255;
  };
  const TColor edge = RGB(0x1F, 0x3A, 0x6E);
  for (int y = outer.Top; y < outer.Bottom; ++y) {
    const bool edgeRow = y == outer.Top || y == outer.Bottom - 1;
    const TColor inside = edgeRow                ? edge
                          : y < outer.Top + band ? RGB(0x3A, 0x6E, 0xC8)
                                                 : RGB(0xFF, 0xFF, 0xFF);
    std::uint8_t* p = b.ScanLine(y) + std::size_t(outer.Left) * 4;
    for (int x = outer.Left; x < outer.Right; ++x, p += 4)
      put(p, x == outer.Left || x == outer.Right - 1 ? edge : inside);
  }
  return b;
}

int CaptionIconSide(int h) {
  if (h < 9) return 0;
  if (h <= 16) return 8;
  if (h <= 27) return 16;
  return 32;
}

void PaintCaptionIcon(TBitmap& cache, const TCustomForm& form, const TsTitleIcon& icon,
                      const TRect& iconRect, int captionHeight, int topAreaHeight) {
  if (!icon.Glyph.Empty()) {
    const int side = CaptionIconSide(topAreaHeight - 2);
    const int w = icon.Width ? icon.Width : side;
    const int h = icon.Height ? icon.Height : side;
    DrawScaled(cache, icon.Glyph.Image(), Bounds(iconRect.Left, iconRect.Top, w, h), true);
    return;
  }
  const tk::TIcon* own = UsableIcon(form.Icon());
  if (!own && Application) own = UsableIcon(Application->Icon());
  if (own) {
    const int side = std::max(iconRect.Width(), iconRect.Height());
    if (const TBitmap* pic = IconPicture(*own, side)) DrawScaled(cache, *pic, iconRect, false);
    return;
  }
  // Nothing of the program's own: the size follows the caption.
  const int fill = captionHeight - iconRect.Top;
  const int w = icon.Width ? icon.Width : fill;
  const int h = icon.Height ? icon.Height : fill;
  const TRect rect = Bounds(iconRect.Left, iconRect.Top, w, h);
  if (rect.IsEmpty()) return;
  if (const tk::TIcon* engine = UsableIcon(&EngineDefaultIcon())) {
    const TBitmap& pic = h > 16 ? engine->LargeImage() : engine->SmallImage();
    DrawScaled(cache, pic.Empty() ? engine->LargeImage() : pic, rect, false);
    return;
  }
  DrawScaled(cache, StandardApplicationIcon(std::min(std::max(w, h), 32)), rect, false);
}

void PaintWindowIcon(TBitmap& cache, HWND window, const TRect& iconRect) {
  if (iconRect.IsEmpty()) return;
  HICON icon = nullptr;
  if (window && IsWindow(window)) {
    icon = reinterpret_cast<HICON>(SendMessage(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessage(window, WM_GETICON, ICON_BIG, 0));
  }
  if (icon) {
    TDC dc(cache);
    DrawIconEx(&dc, iconRect.Left, iconRect.Top, icon, iconRect.Width(), iconRect.Height());
    return;
  }
  const int side = std::max(iconRect.Width(), iconRect.Height());
  const tk::TIcon* own = Application ? UsableIcon(Application->Icon()) : nullptr;
  if (!own) own = UsableIcon(&EngineDefaultIcon());
  if (own) {
    if (const TBitmap* pic = IconPicture(*own, side)) DrawScaled(cache, *pic, iconRect, false);
    return;
  }
  DrawScaled(cache, StandardApplicationIcon(std::min(side, 32)), iconRect, false);
}

}  // namespace vm
