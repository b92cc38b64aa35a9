#include "skin/controls/GlyphButtonPaint.h"

#include <algorithm>

#include "platform/gfx/SysColors.h"
#include "skin/data/AnimEffects.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/pixels/CanvasOps.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "toolkit/Application.h"
#include "toolkit/Control.h"

namespace vm {

void TsEngineColours::Reset() {
  KeyFillColor = KeyColor;
  ParentColor = KeyColor;
}

TsHintsOff::TsHintsOff() : saved_(Application && Application->ShowHint()) {
  if (Application) Application->SetShowHint(false);
}

TsHintsOff::~TsHintsOff() {
  if (Application) Application->SetShowHint(saved_);
}

bool IsOwnMouseMessage(const TControl& button, const TMessage& m) {
  return m.LParam == 0 || m.LParam == reinterpret_cast<LPARAM>(&button);
}

bool FollowPlainMouse(TControl& button, TsCommonData& data, const TMessage& m,
                      const std::function<void(TComponent*)>& onEnter,
                      const std::function<void(TComponent*)>& onLeave) {
  if ((m.Msg != CM_MOUSEENTER && m.Msg != CM_MOUSELEAVE) || !IsOwnMouseMessage(button, m))
    return true;
  data.MouseAbove = m.Msg == CM_MOUSEENTER;
  const std::uint64_t me = button.Serial();
  const std::function<void(TComponent*)>& event = m.Msg == CM_MOUSEENTER ? onEnter : onLeave;
  if (event) event(&button);
  return ControlAlive(&button, me);
}

std::uint32_t CaptionAlignFlags(TAlignment alignment) {
  switch (alignment) {
    case taLeftJustify:
      return DT_LEFT;
    case taRightJustify:
      return DT_RIGHT;
    default:
      return DT_CENTER;
  }
}

TSize MeasureCaption(TDC& canvas, const TControl& control, const std::string& text, int maxWidth,
                     std::uint32_t flags) {
  if (maxWidth <= 0 || text.empty()) return {};
  TDCSaver saver(canvas);
  canvas.SelectFont(control.Font()->PlatformFont());
  TRect r{0, 0, maxWidth, 0};
  canvas.DrawText(text, r, flags | DT_CALCRECT);
  return {r.Width(), r.Height()};
}

TSize GlyphCellSize(const tk::TBitmap* glyph, int numGlyphs, const tk::TImageList* images,
                    int imageIndex) {
  if (glyph && !glyph->Empty()) {
    const int n = std::max(numGlyphs, 1);
    return {glyph->Width() / n, glyph->Height()};
  }
  if (images && imageIndex >= 0 && imageIndex < images->Count())
    return {images->Width(), images->Height()};
  return {};
}

namespace {

// The list's picture on its background colour (magenta without one), which
// is also its transparent colour.
TColor ListFill(const tk::TImageList& images) {
  const TColor bk = images.List().BkColor();
  return bk == clNone ? KeyColor : ResolveColor(bk);
}

void PaintImageGlyph(TBitmap& cache, const TsGlyphPaint& p, const TsGlyphButtonLook& look,
                     const tk::TImageList& images) {
  TBitmap image;
  ImageListItemToBitmap(image, images.List(), look.ImageIndex);
  if (image.Empty()) return;
  const TColor fill = ListFill(images);
  const TColor greyKey = image.GetPixel(0, p.KeyFromBottom ? image.Height() - 1 : 0);
  const int x = p.Rect.Left, y = p.Rect.Top;
  const TRect whole{0, 0, image.Width() - 1, image.Height() - 1};
  if (p.Enabled) {
    if (!p.Active && look.Grayed) GreyBitmapExceptKey(image, greyKey);
    if (p.Active || look.Blend < 1)
      CopyBitmapWithKey(cache, image, x, y, fill);
    else
      BlendBitmapRect(cache, x, y, fill, look.Blend / 100.0, whole, image);
  } else {
    if (look.DisabledGlyphKind & dgGrayed) GreyBitmapExceptKey(image, greyKey);
    if (look.DisabledGlyphKind & dgBlended)
      BlendBitmapRect(cache, x, y, fill, 0.5, whole, image);
    else
      CopyBitmapWithKey(cache, image, x, y, fill);
  }
}

}  // namespace

void PaintButtonGlyph(TBitmap& cache, const TsGlyphPaint& p, const TsGlyphButtonLook& look,
                      const tk::TBitmap* glyph, int numGlyphs, const tk::TImageList* images) {
  if (p.Rect.IsEmpty()) return;
  if (glyph && !glyph->Empty()) {
    PaintGlyph(glyph->Image(), cache, p.Rect, p.Down, look.Blend, p.State,
               TsDisabledKind(look.DisabledGlyphKind), look.Grayed, p.Enabled,
               std::max(numGlyphs, 1));
    return;
  }
  if (images && look.ImageIndex >= 0 && look.ImageIndex < images->Count())
    PaintImageGlyph(cache, p, look, *images);
}

void PaintButtonCaption(const TsCommonData& data, TBitmap& cache, const std::string& text,
                        TRect rect, int state, bool enabled, std::uint32_t flags, int focusMargin) {
  TDC canvas(cache);
  WriteControlText(data, canvas, text, enabled, state != 0, state, flags, rect);
  if (focusMargin >= 0) {
    const TRect f{rect.Left - focusMargin, rect.Top - focusMargin, rect.Right + focusMargin,
                  rect.Bottom + focusMargin};
    PaintDottedFrame(canvas, f);
  }
}

bool GlyphStripFromImages(tk::TBitmap& strip, const tk::TImageList& images, int index,
                          TsDisabledGlyphKind kind) {
  if (index < 0 || index >= images.Count()) return false;
  TBitmap image;
  ImageListItemToBitmap(image, images.List(), index);
  const int w = image.Width(), h = image.Height();
  if (w <= 0 || h <= 0) return false;
  const TColor fill = ListFill(images);
  TBitmap cells(2 * w, h);
  CopyBitmapWithKey(cells, image, 0, 0, 0xFFFFFFFF);
  if (kind == 0) {
    CopyBitmapWithKey(cells, image, w, 0, 0xFFFFFFFF);
  } else {
    // The disabled cell: the image on the button face, greyed and faded.
    TBitmap disabled = image;
    if (kind & dgGrayed) GreyBitmapExceptKey(disabled, fill);
    TBitmap face(w, h);
    face.Fill(GetSysColor(COLOR_BTNFACE));
    if (kind & dgBlended)
      BlendBitmapRect(face, 0, 0, fill, 0.5, TRect{0, 0, w - 1, h - 1}, disabled);
    else
      CopyBitmapWithKey(face, disabled, 0, 0, fill);
    CopyBitmapWithKey(cells, face, w, 0, 0xFFFFFFFF);
    if (!(kind & dgBlended)) cells.SetPixel(w, h - 1, KeyColor);
  }
  strip.TakeImage(std::move(cells));
  strip.SetTransparentColor(fill);
  strip.SetTransparentMode(tk::tmFixed);
  strip.SetTransparent(true);
  return true;
}

}  // namespace vm
