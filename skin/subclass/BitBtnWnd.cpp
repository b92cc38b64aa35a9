#include "skin/subclass/BitBtnWnd.h"

#include <algorithm>

#include "platform/controls/ControlDefs.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/pixels/CanvasOps.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "toolkit/BitBtn.h"

namespace vm {

void TnxBitBtnWnd::DrawCaption(TBitmap& cache, int state) {
  TsCommonData* data = SkinData();
  const HWND h = Handle();
  const DWORD style = DWORD(GetWindowLongPtr(h, GWL_STYLE));
  const bool enabled = IsWindowEnabled(h);
  const bool pushed = Pushed();
  const int w = cache.Width(), hgt = cache.Height();
  // The glyph: the toolkit button's strip, or the platform button's picture.
  auto* bitBtn = dynamic_cast<TBitBtn*>(data->OwnerControl());
  const TBitmap* strip = nullptr;
  int count = 1;
  HICON icon = nullptr;
  TButtonLayout layout = blGlyphLeft;
  int margin = -1, spacing = 4;
  if (bitBtn) {
    if (bitBtn->Glyph() && !bitBtn->Glyph()->Empty()) {
      strip = &bitBtn->Glyph()->Image();
      count = std::max(1, bitBtn->NumGlyphs());
    }
    layout = bitBtn->Layout();
    margin = bitBtn->Margin();
    spacing = bitBtn->Spacing();
  } else if (style & BS_BITMAP) {
    strip = reinterpret_cast<const TBitmap*>(SendMessage(h, BM_GETIMAGE, IMAGE_BITMAP, 0));
  } else if (style & BS_ICON) {
    icon = reinterpret_cast<HICON>(SendMessage(h, BM_GETIMAGE, IMAGE_ICON, 0));
    strip = icon ? GetIconBitmap(icon) : nullptr;
  }
  if (strip && strip->Width() <= 0) strip = nullptr;
  const TSize glyph = strip ? TSize{strip->Width() / count, strip->Height()} : TSize{0, 0};

  TDC canvas(cache);
  if (TControl* owner = data->OwnerControl()) {
    canvas.SelectFont(owner->Font()->PlatformFont());
  } else {
    HFONT font = reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT, 0, 0));
    std::shared_ptr<const TFont> f = font ? GetFontObject(font) : nullptr;
    if (!f) f = GetFontObject(GetStockFont(DEFAULT_GUI_FONT));
    if (f) canvas.SelectFont(f);
  }
  const std::string& text = WndText();
  TRect measured{0, 0, std::max(w - 2, 0), 0};
  if (!text.empty()) canvas.DrawText(text, measured, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  const TSize caption{text.empty() ? 0 : measured.Width(), text.empty() ? 0 : measured.Height()};

  // Glyph and caption as one group: side by side (or one above the other),
  // `spacing` apart, the group centred unless a margin pins it to its edge.
  const bool across = layout == blGlyphLeft || layout == blGlyphRight;
  const int gap = glyph.cx > 0 && caption.cx > 0 ? spacing : 0;
  const int total = across ? glyph.cx + gap + caption.cx : glyph.cy + gap + caption.cy;
  const int room = across ? w : hgt;
  int start = margin < 0 ? (room - total) / 2 : margin;
  if (layout == blGlyphRight || layout == blGlyphBottom)
    start = margin < 0 ? start : room - margin - total;
  TPoint glyphAt, textAt;
  switch (layout) {
    case blGlyphLeft:
      glyphAt = {start, (hgt - glyph.cy) / 2};
      textAt = {start + glyph.cx + gap, (hgt - caption.cy) / 2};
      break;
    case blGlyphRight:
      textAt = {start, (hgt - caption.cy) / 2};
      glyphAt = {start + caption.cx + gap, (hgt - glyph.cy) / 2};
      break;
    case blGlyphTop:
      glyphAt = {(w - glyph.cx) / 2, start};
      textAt = {(w - caption.cx) / 2, start + glyph.cy + gap};
      break;
    case blGlyphBottom:
      textAt = {(w - caption.cx) / 2, start};
      glyphAt = {(w - glyph.cx) / 2, start + caption.cy + gap};
      break;
  }
  if (pushed) {
    glyphAt = {glyphAt.X + 1, glyphAt.Y + 1};
    textAt = {textAt.X + 1, textAt.Y + 1};
  }
  if (icon) {
    DrawIconEx(&canvas, glyphAt.X, glyphAt.Y, icon, 0, 0);
  } else if (strip) {
    PaintGlyph(*strip, cache,
               TRect{glyphAt.X, glyphAt.Y, glyphAt.X + glyph.cx, glyphAt.Y + glyph.cy}, pushed, 0,
               state, dkBlended, false, enabled, count);
  }
  if (text.empty()) return;
  const TRect r{textAt.X, textAt.Y, textAt.X + caption.cx, textAt.Y + caption.cy};
  WriteControlText(*data, canvas, text, true, state != 0, state, DT_SINGLELINE | DT_NOPREFIX, r);
  TsSkinManager* m = SkinManager();
  const bool showFocus = m && m->IsValidSectionIndex(data->SectionIndex) &&
                         m->gd[std::size_t(data->SectionIndex)].ShowFocus;
  if (enabled && (SendMessage(h, BM_GETSTATE, 0, 0) & BST_FOCUS) && showFocus)
    PaintDottedFrame(canvas, TRect{r.Left - 2, r.Top - 1, r.Right + 2, r.Bottom + 1});
}

}  // namespace vm
