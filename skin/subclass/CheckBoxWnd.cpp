#include "skin/subclass/CheckBoxWnd.h"

#include <algorithm>

#include "platform/controls/ControlDefs.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/CanvasOps.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/CommonData.h"

namespace vm {

namespace {

// The platform's glyph size, used when the skin has no glyph to measure.
constexpr int PlatformCheckSize = 13;
// Between the glyph and the caption, as the platform leaves it.
constexpr int CaptionGap = 4;

WPARAM ButtonState(HWND h) {
  return WPARAM(SendMessage(h, BM_GETSTATE, 0, 0));
}

// The platform's caption flags: alignment by BS_LEFT/RIGHT/CENTER (else
// the given default), one line centred vertically unless multi-line.
std::uint32_t CaptionFlags(DWORD style, std::uint32_t defaultAlign) {
  std::uint32_t f = 0;
  switch (style & BS_CENTER) {
    case BS_LEFT:
      f |= DT_LEFT;
      break;
    case BS_RIGHT:
      f |= DT_RIGHT;
      break;
    case BS_CENTER:
      f |= DT_CENTER;
      break;
    default:
      f |= defaultAlign;
  }
  if (style & BS_MULTILINE) {
    f |= DT_WORDBREAK;
  } else {
    f |= DT_SINGLELINE;
    switch (style & BS_VCENTER) {
      case BS_TOP:
        f |= DT_TOP;
        break;
      case BS_BOTTOM:
        f |= DT_BOTTOM;
        break;
      default:
        f |= DT_VCENTER;
    }
  }
  return f;
}

}  // namespace

bool TnxCheckBoxWnd::PushLike() const {
  return (Style() & BS_PUSHLIKE) != 0;
}

bool TnxCheckBoxWnd::Radio() const {
  const DWORD type = Style() & BS_TYPEMASK;
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

int TnxCheckBoxWnd::StateIndex() const {
  const HWND h = Handle();
  if (!IsWindowEnabled(h)) return 0;
  if (ButtonState(h) & BST_PUSHED) return 2;
  return MouseOver() || IsHotWindow() ? 1 : 0;
}

std::string TnxCheckBoxWnd::GlyphName() const {
  const WPARAM check = ButtonState(Handle()) & 3;
  const char* kind = Radio() ? "RADIO" : "BOX";
  const char* state = check == BST_CHECKED         ? "CHECKED"
                      : check == BST_INDETERMINATE ? "GRAYED"
                                                   : "UNCHECKED";
  return std::string(kind) + state;
}

TRect TnxCheckBoxWnd::ItemRect() const {
  // A push-like button is painted whole by its own section.
  if (PushLike()) return TRect{};
  return TnxSkinPaintWnd::ItemRect();
}

bool TnxCheckBoxWnd::ChangesLook(UINT message) const {
  switch (message) {
    case BM_SETCHECK:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case BM_CLICK:
    case BM_SETIMAGE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      return true;
    default:
      return TnxSkinPaintWnd::ChangesLook(message);
  }
}

// Draws the glyph's frame over the cache; a disabled button's glyph (and a
// radio button in the third state when the skin has no image for it) is
// greyed, its transparent pixels still showing what lies behind.
void TnxCheckBoxWnd::PaintGlyph(TBitmap& cache, TPoint at, bool enabled) {
  const TsSkinManager* m = SkinManager();
  std::string name = GlyphName();
  int mask = GlobalMask(name);
  bool grey = !enabled;
  if (!m->IsValidMaskIndex(mask) && name == "RADIOGRAYED") {
    mask = GlobalMask("RADIOUNCHECKED");
    grey = true;
  }
  if (!m->IsValidMaskIndex(mask)) return;
  const TsMaskData& image = m->ma[std::size_t(mask)];
  const int state = StateIndex();
  if (!grey) {
    PaintStateImage(cache, at, state, image);
    return;
  }
  const TSize size = m->MaskStateSize(mask);
  if (size.cx <= 0 || size.cy <= 0) return;
  TBitmap glyph(size.cx, size.cy);
  {
    TDC dc(glyph);
    dc.FillRect(TRect{0, 0, size.cx, size.cy}, KeyColor);
  }
  PaintStateImage(glyph, TPoint{0, 0}, 0, image);
  GreyBitmapExceptKey(glyph, KeyColor);
  CopyBitmapWithKey(cache, glyph, at.X, at.Y, KeyColor);
}

// The caption (text, or the button's icon or bitmap) in area; returns the
// rectangle it took, for the focus frame.
TRect TnxCheckBoxWnd::DrawLabel(TDC& canvas, TRect area, std::uint32_t flags, bool enabled,
                                bool hot) {
  const HWND h = Handle();
  const DWORD style = Style();
  auto centred = [&](int w, int hgt) {
    return TRect{area.Left + (area.Width() - w) / 2, area.Top + (area.Height() - hgt) / 2,
                 area.Left + (area.Width() - w) / 2 + w,
                 area.Top + (area.Height() - hgt) / 2 + hgt};
  };
  if (style & BS_ICON) {
    HICON icon = reinterpret_cast<HICON>(SendMessage(h, BM_GETIMAGE, IMAGE_ICON, 0));
    const TBitmap* bmp = icon ? GetIconBitmap(icon) : nullptr;
    if (!bmp) return {};
    const TRect at = centred(bmp->Width(), bmp->Height());
    DrawIconEx(&canvas, at.Left, at.Top, icon, 0, 0);
    return at;
  }
  if (style & BS_BITMAP) {
    const auto* bmp =
        reinterpret_cast<const TBitmap*>(SendMessage(h, BM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!bmp || bmp->Width() <= 0) return {};
    const TRect at = centred(bmp->Width(), bmp->Height());
    canvas.BitBlt(at.Left, at.Top, bmp->Width(), bmp->Height(), *bmp, 0, 0, SRCCOPY);
    return at;
  }
  const std::string& text = WndText();
  if (text.empty() || area.IsEmpty()) return {};
  SelectWindowFont(canvas);
  TRect calc = area;
  canvas.DrawText(text, calc, (flags | DT_CALCRECT) & ~std::uint32_t(DT_VCENTER | DT_BOTTOM));
  const int w = calc.Width(), hgt = calc.Height();
  TRect at;
  if (flags & DT_CENTER)
    at.Left = area.Left + (area.Width() - w) / 2;
  else if (flags & DT_RIGHT)
    at.Left = area.Right - w;
  else
    at.Left = area.Left;
  at.Right = at.Left + w;
  if ((flags & DT_SINGLELINE) && (flags & DT_VCENTER))
    at.Top = area.Top + (area.Height() - hgt) / 2;
  else if ((flags & DT_SINGLELINE) && (flags & DT_BOTTOM))
    at.Top = area.Bottom - hgt;
  else
    at.Top = area.Top;
  at.Bottom = at.Top + hgt;
  WriteText(canvas, text, enabled, hot, flags, area);
  return at;
}

void TnxCheckBoxWnd::PaintPushLike(TBitmap& cache, const BackgroundInfo& background) {
  TsSkinManager* m = SkinManager();
  const HWND h = Handle();
  const WPARAM st = ButtonState(h);
  const bool enabled = IsWindowEnabled(h);
  const bool down = (st & BST_PUSHED) || (st & 3) == BST_CHECKED;
  const int state = !enabled ? 0 : down ? 2 : (MouseOver() || IsHotWindow()) ? 1 : 0;
  const TRect r{0, 0, cache.Width(), cache.Height()};
  const int section = m->FindSectionIndex("BUTTON");
  if (m->IsValidSectionIndex(section))
    PaintSectionItem(section, "BUTTON", background, -1, -1, m, cache, WndPos(), r, state, true);
  TDC dc(cache);
  TRect area{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
  if (down) area = area.Offset(1, 1);
  const TRect at = DrawLabel(dc, area, CaptionFlags(Style(), DT_CENTER), enabled, state != 0);
  if ((st & BST_FOCUS) && enabled && !at.IsEmpty())
    PaintDottedFrame(dc, TRect{at.Left - 1, at.Top - 1, at.Right + 1, at.Bottom + 1}.Intersect(r));
}

void TnxCheckBoxWnd::PaintContent(TBitmap& cache, const BackgroundInfo& background) {
  if (PushLike()) {
    PaintPushLike(cache, background);
    return;
  }
  const TsSkinManager* m = SkinManager();
  const HWND h = Handle();
  const DWORD style = Style();
  const bool enabled = IsWindowEnabled(h);
  const TRect client{0, 0, cache.Width(), cache.Height()};
  int mask = GlobalMask(GlyphName());
  if (!m->IsValidMaskIndex(mask)) mask = GlobalMask(Radio() ? "RADIOUNCHECKED" : "BOXUNCHECKED");
  TSize glyph{PlatformCheckSize, PlatformCheckSize};
  if (m->IsValidMaskIndex(mask)) glyph = m->MaskStateSize(mask);
  // The glyph at the left (at the right with BS_LEFTTEXT), placed vertically as the caption.
  const bool leftText = (style & BS_LEFTTEXT) != 0;
  int y;
  switch (style & BS_VCENTER) {
    case BS_TOP:
      y = 0;
      break;
    case BS_BOTTOM:
      y = client.Height() - glyph.cy;
      break;
    default:
      y = (client.Height() - glyph.cy) / 2;
  }
  const int x = leftText ? client.Right - glyph.cx : 0;
  PaintGlyph(cache, TPoint{x, y}, enabled);
  TDC dc(cache);
  const TRect area = leftText ? TRect{0, 0, client.Right - glyph.cx - CaptionGap, client.Bottom}
                              : TRect{glyph.cx + CaptionGap, 0, client.Right, client.Bottom};
  const bool hot = enabled && (MouseOver() || IsHotWindow());
  const TRect at =
      DrawLabel(dc, area, CaptionFlags(style, leftText ? DT_RIGHT : DT_LEFT), enabled, hot);
  if ((ButtonState(h) & BST_FOCUS) && !at.IsEmpty())
    PaintDottedFrame(dc,
                     TRect{at.Left - 1, at.Top - 1, at.Right + 1, at.Bottom + 1}.Intersect(client));
}

}  // namespace vm
