#include "skin/frame/FramePainter.h"

#include <algorithm>
#include <cstdint>

#include "platform/gfx/Region.h"
#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/SkinText.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "toolkit/Colors.h"

namespace vm {

TsFramePainter::TsFramePainter(TsCommonData& data, std::function<TsFrameWindow()> window)
    : Buttons(*this), data_(data), window_(std::move(window)) {}

TsFramePainter::~TsFramePainter() = default;

TsSkinManager* TsFramePainter::Manager() const {
  return data_.GetSkinManager();
}

int TsFramePainter::TitleIndex() const {
  TsSkinManager* m = Manager();
  if (!m) return -1;
  return m->FindSectionIndex(TitleSkin.empty() ? "FORMTITLE" : TitleSkin);
}

int TsFramePainter::MenuLineIndex() const {
  TsSkinManager* m = Manager();
  if (!m) return -1;
  int i = MenuLineSkin.empty() ? -1 : m->FindSectionIndex(MenuLineSkin);
  return i >= 0 ? i : m->FindSectionIndex("MENULINE");
}

void TsFramePainter::DropCaptionCopy() {
  captionCopy_.SetSize(0, 0);
}

void TsFramePainter::Reset() {
  Buttons.Clear();
  if (data_.CacheBmp) data_.CacheBmp->SetSize(0, 0);
  DropCaptionCopy();
  menuLineCopy_.SetSize(0, 0);
  firstPaint_ = true;
}

// ---------------------------------------------------------------- the caption strip's copy

// Everything the caption strip's pixels depend on, apart from the buttons and
// the text (drawn over the strip on every painting): a copy taken under
// another key is stale.
TsFramePainter::TCaptionKey TsFramePainter::CaptionKeyOf(const TsFrameWindow& w, int state) const {
  const TsFrameMetrics& fm = w.Metrics;
  return TCaptionKey{fm.FrameWidth, fm.WindowHeight, fm.BorderHeight, fm.CaptionHeight,
                     state,         Buttons.Width(), TitleIndex(),    data_.SectionIndex,
                     fm.IconShown,  fm.IconSize,     fm.IconRect,     w.SystemMenuPresent};
}

bool TsFramePainter::CaptionCopyKept() const {
  TsSkinManager* m = Manager();
  return m && data_.SectionIndex >= 0 && std::size_t(data_.SectionIndex) < m->gd.size() &&
         m->gd[std::size_t(data_.SectionIndex)].ReservedBoolean;
}

bool TsFramePainter::CaptionCopyUsable(const TCaptionKey& key) const {
  const TBitmap& cache = *data_.CacheBmp;
  return !firstPaint_ && CaptionCopyKept() && !captionCopy_.Empty() && captionKey_ == key &&
         captionCopy_.Width() == key.Width && cache.Height() == key.Height &&
         captionCopy_.Height() <= cache.Height();
}

void TsFramePainter::TakeCaptionCopy(const TBitmap& cache, const TRect& strip,
                                     const TCaptionKey& key) {
  const TRect r = strip.Intersect(Rect(0, 0, cache.Width(), cache.Height()));
  if (!CaptionCopyKept() || r.IsEmpty() || key.Height <= 0) {
    DropCaptionCopy();
    return;
  }
  captionCopy_.Reset(r.Right, r.Bottom, TPixelFormat::pf24bit);
  TDC(captionCopy_).BitBlt(0, 0, r.Right, r.Bottom, cache, 0, 0);
  captionKey_ = key;
}

// ---------------------------------------------------------------- painting

// The caption strip as the skin paints it: the title section, the icon and the
// title bar behind the system buttons.
void TsFramePainter::PaintCaptionStrip(TBitmap& cache, const TsFrameWindow& w, const TRect& strip,
                                       int state) {
  TsSkinManager* m = Manager();
  const TsFrameMetrics& fm = w.Metrics;
  const int title = TitleIndex();
  if (title >= 0)
    PaintSectionItem(title, m->gd[std::size_t(title)].SectionName, BackgroundInfo{&cache, 0, 0, 1},
                     -1, -1, m, cache, {0, 0}, strip, state, true);
  if (fm.IconShown && fm.IconSize.cx > 0 && fm.IconSize.cy > 0 && w.PaintIcon)
    w.PaintIcon(cache, fm);
  if (!w.SystemMenuPresent) return;
  const int bar = m->FindMaskIndex(data_.SectionIndex, data_.SkinSection(), "TITLEBAR");
  if (!m->IsValidMaskIndex(bar)) return;
  const TsMaskData& mask = m->ma[std::size_t(bar)];
  const int cellW = mask.Image ? mask.Image->Width() / 9 * 2 : (m->MaskStateSize(bar).cx / 3) * 2;
  const int barW = cellW + Buttons.Width();
  PaintNinePart(cache,
                Rect(fm.FrameWidth - barW, 0, cache.Width(), fm.BorderHeight + fm.CaptionHeight),
                true, false, state, mask, BackgroundInfo{&cache, 0, 0, 1});
}

void TsFramePainter::Paint(const TsFrameWindow& w) {
  TsSkinManager* m = Manager();
  const TsFrameMetrics& fm = w.Metrics;
  if (!data_.CacheBmp) data_.CacheBmp = std::make_unique<TBitmap>(0, 0);
  TBitmap& cache = *data_.CacheBmp;
  if (!m || fm.FrameWidth <= 0 || fm.WindowHeight <= 0) {
    cache.SetSize(0, 0);
    return;
  }
  const int state = w.Active ? 1 : 0;
  if (cache.PixelFormat() != TPixelFormat::pf24bit) cache.SetPixelFormat(TPixelFormat::pf24bit);
  if (cache.Width() != fm.FrameWidth || cache.Height() != fm.WindowHeight) {
    cache.SetSize(fm.FrameWidth, fm.WindowHeight);
    RegionChanged = true;
  }
  const TRect all = fm.Minimized
                        ? Rect(0, 0, fm.FrameWidth,
                               std::min(fm.WindowHeight, fm.BorderHeight + fm.CaptionHeight + 1))
                        : Rect(0, 0, fm.FrameWidth, fm.WindowHeight);

  // Border, corners and client background.
  if (fm.HasBorder)
    PaintControlItem(data_, BackgroundInfo{}, true, false, &cache, {0, 0}, all, state);
  else
    PaintSectionBackground(data_.SectionIndex, data_.SkinSection(), BackgroundInfo{},
                           w.CustomColor ? ColorToRGB(w.Color) : KeyColor, -1, -1, m, cache, {0, 0},
                           all, state);

  if (w.Grip == gmRightBottom) {
    const int grip = m->FindMaskIndex(m->ConstData().GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
    if (m->IsValidMaskIndex(grip)) {
      const TSize cell = m->MaskStateSize(grip);
      PaintStateImage(
          cache,
          {cache.Width() - cell.cx - fm.BorderWidth, cache.Height() - cell.cy - fm.BorderHeight}, 0,
          m->ma[std::size_t(grip)], 1);
    }
  }

  if (fm.CaptionHeight > 0) {
    // The buttons are laid out first so that the title bar strip knows their width.
    Buttons.Layout(cache, w, false);
    const TCaptionKey key = CaptionKeyOf(w, state);
    const TRect strip =
        fm.Minimized ? all : Rect(0, 0, fm.FrameWidth, fm.BorderHeight + fm.CaptionHeight);
    if (CaptionCopyUsable(key)) {
      // Only the frame below the caption changed: the caption strip is laid
      // from its copy instead of being painted from the skin again.
      TDC(cache).BitBlt(0, 0, captionCopy_.Width(), captionCopy_.Height(), captionCopy_, 0, 0);
    } else {
      PaintCaptionStrip(cache, w, strip, state);
      TakeCaptionCopy(cache, strip, key);
    }
  }

  if (fm.MenuLineHeight > 0 && w.MenuShown && !fm.Minimized) PaintMenuLine(cache, w, state);

  if (fm.CaptionHeight > 0) {
    // What lies behind the buttons is kept, so that one button repaints alone.
    Buttons.TakeBackground(cache, fm,
                           fm.Minimized ? all.Bottom : std::min(fm.TopAreaHeight, fm.WindowHeight));
    Buttons.Layout(cache, w, true);
    PaintCaptionText(cache, w, state);
  }
  firstPaint_ = false;
}

void TsFramePainter::PaintMenuLine(TBitmap& cache, const TsFrameWindow& w, int state) {
  TsSkinManager* m = Manager();
  const TsFrameMetrics& fm = w.Metrics;
  const int line = MenuLineIndex();
  const int top = fm.BorderHeight + fm.CaptionHeight;
  // Every row of the bar and the line below the last one.
  const int height = fm.MenuLineHeight * (w.MenuRows ? w.MenuRows() : 1) + 1;
  const TRect r = Rect(fm.BorderWidth, top, fm.FrameWidth - fm.BorderWidth,
                       std::min({top + height, fm.ClientTop, fm.WindowHeight}));
  if (r.IsEmpty() || line < 0) return;
  PaintSectionItem(line, m->gd[std::size_t(line)].SectionName, BackgroundInfo{&cache, 0, 0, 1}, -1,
                   -1, m, cache, {0, 0}, r, state, true);
  menuLineCopy_.Reset(r.Width(), r.Height(), TPixelFormat::pf24bit);
  TDC(menuLineCopy_).BitBlt(0, 0, r.Width(), r.Height(), cache, r.Left, r.Top);
  if (w.DrawMenuItems && w.DrawMenuItems(cache)) return;
  // Without skinned menus the bar's items are written on the line in the
  // line's font colours, where the platform lays them out.
  HWND h = w.Handle;
  HMENU menu = h ? GetMenu(h) : nullptr;
  if (!menu) return;
  TRect window;
  GetWindowRect(h, &window);
  TDC dc(cache);
  dc.SelectFont(TFont::Get(w.Font));
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    TRect item;
    if (!GetMenuItemRect(h, menu, UINT(i), &item)) continue;
    item = item.Offset(-window.Left, -window.Top);
    char text[256];
    if (GetMenuString(menu, UINT(i), text, sizeof text, MF_BYPOSITION) <= 0) continue;
    const bool enabled = !(GetMenuState(menu, UINT(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
    WriteSectionText(dc, text, enabled, m, state == 1, line, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                     item);
  }
}

bool TsFramePainter::RestoreMenuLine(const TsFrameMetrics& fm) {
  if (menuLineCopy_.Empty() || fm.MenuLineHeight <= 0 || fm.Minimized || !data_.CacheBmp)
    return false;
  const int top = fm.BorderHeight + fm.CaptionHeight;
  TDC(*data_.CacheBmp)
      .BitBlt(fm.BorderWidth, top, menuLineCopy_.Width(), menuLineCopy_.Height(), menuLineCopy_, 0,
              0);
  return true;
}

void TsFramePainter::PaintCaptionText(TBitmap& cache, const TsFrameWindow& w, int state) {
  const TsFrameMetrics& fm = w.Metrics;
  // A skin without a caption section writes the caption in the frame's colours.
  const int title = TitleIndex() >= 0 ? TitleIndex() : data_.SectionIndex;
  const std::string& text = w.Caption;
  if (text.empty()) return;
  TDC dc(cache);
  TFontDesc fd = w.Font;
  fd.Bold = true;
  NONCLIENTMETRICS ncm;
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0))
    fd.Height = fm.CaptionHeight < GetSystemMetrics(SM_CYCAPTION) ? ncm.lfSmCaptionFont.Height
                                                                  : ncm.lfCaptionFont.Height;
  dc.SelectFont(TFont::Get(fd));
  TRect r{(fm.IconShown ? fm.IconSize.cx : 0) + fm.BorderWidth + 4, fm.BorderHeight,
          fm.FrameWidth - Buttons.Width() - 6, fm.CaptionHeight};
  const int th = TextExtent(dc, text).cy;
  r.Top = fm.BorderHeight + ((fm.CaptionHeight - fm.BorderHeight) - th) / 2;
  r.Bottom = r.Top + th;
  if (r.Right <= r.Left) return;
  const std::uint32_t format = (w.CaptionAlignment == taRightJustify ? DT_RIGHT
                                : w.CaptionAlignment == taCenter     ? DT_CENTER
                                                                     : DT_LEFT) |
                               DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  WriteSectionText(dc, text, true, Manager(), state == 1, title, format, r);
}

// ---------------------------------------------------------------- to the screen

void TsFramePainter::CopyPieces(TDC& dc, const TsFrameMetrics& fm) const {
  if (!data_.CacheBmp) return;
  const TBitmap& cache = *data_.CacheBmp;
  const int w = fm.FrameWidth, h = fm.WindowHeight;
  const int top = std::min(fm.TopAreaHeight, h);
  const int bw = fm.BorderWidth, bh = fm.BorderHeight;
  auto copy = [&](const TRect& r) {
    if (!r.IsEmpty()) dc.BitBlt(r.Left, r.Top, r.Width(), r.Height(), cache, r.Left, r.Top);
  };
  if (fm.Minimized) {
    copy(Rect(0, 0, w, h));
    return;
  }
  copy(Rect(0, 0, w, top));
  // The strips around the client area: the client's own offsets, so that
  // scroll bars and edges the platform keeps inside are left alone.
  const int right = fm.ClientLeft + fm.ClientWidth;
  const int bottom = fm.ClientTop + fm.ClientHeight;
  copy(Rect(0, top, std::max(bw, fm.ClientLeft), h));
  copy(Rect(std::max(bw, fm.ClientLeft), std::max(h - bh, bottom), w, h));
  copy(Rect(std::min(w - bw, right), top, w, std::max(h - bh, bottom)));
}

void TsFramePainter::CopyClient(TDC& dc, const TsFrameMetrics& fm, const TRect& dest) const {
  if (!data_.CacheBmp || data_.CacheBmp->Empty() || dest.IsEmpty()) return;
  dc.BitBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), *data_.CacheBmp,
            dest.Left + fm.ClientLeft, dest.Top + fm.ClientTop);
}

// ---------------------------------------------------------------- hit test

int TsFramePainter::HitTest(TPoint p) {
  const TsFrameWindow w = Window();
  const TsFrameMetrics& fm = w.Metrics;
  if (fm.CaptionHeight <= 0) return 0;
  if (fm.Maximized &&
      (p.X < 2 || p.Y < 2 || p.X >= fm.FrameWidth - 2 || p.Y >= fm.WindowHeight - 2))
    return -1;
  int code = Buttons.BandHitTest(w, p);
  if (code < 0) {
    code = 0;
    TsSkinManager* m = Manager();
    if (w.Grip == gmRightBottom && m) {
      const int grip = m->FindMaskIndex(m->ConstData().GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
      if (m->IsValidMaskIndex(grip)) {
        const TSize g = m->MaskStateSize(grip);
        if (p.X >= fm.FrameWidth - g.cx - fm.BorderWidth &&
            p.Y >= fm.WindowHeight - g.cy - fm.BorderHeight)
          code = htBottomRight;
      }
    }
  }
  Buttons.SetHoverCode(code);
  return code;
}

// ---------------------------------------------------------------- region

void TsFramePainter::UpdateRegion(const TsFrameWindow& w) {
  RegionChanged = false;
  HWND h = w.Handle;
  if (!h) return;
  const TsFrameMetrics& fm = w.Metrics;
  TsSkinManager* m = Manager();
  regionRects_.clear();
  if (fm.FrameWidth <= 0 || fm.WindowHeight <= 0 || !m) return;
  if (m->IsValidMaskIndex(data_.BorderMaskIndex)) {
    const int bm = data_.BorderMaskIndex;
    const TsMaskData& border = m->ma[std::size_t(bm)];
    CollectKeyRuns(regionRects_, fm.FrameWidth, border, false, 0);
    CollectKeyRuns(regionRects_, fm.FrameWidth, border, true,
                   fm.WindowHeight - m->MaskBorderBottom(bm));
  }
  const int title = TitleIndex();
  if (fm.CaptionHeight > 0 && title >= 0) {
    const int tm = m->FindMaskIndex(title, m->gd[std::size_t(title)].SectionName, "BORDERSMASK");
    if (m->IsValidMaskIndex(tm))
      CollectKeyRuns(regionRects_, fm.FrameWidth, m->ma[std::size_t(tm)], false, 0);
  }
  // Runs that the window's own size cuts off say nothing about it.
  const TRect all = Rect(0, 0, fm.FrameWidth, fm.WindowHeight);
  std::erase_if(regionRects_, [&](const TRect& r) { return r.Intersect(all).IsEmpty(); });
  TRegion rgn(all);
  for (const TRect& r : regionRects_) rgn.Subtract(r);
  SetWindowRgn(h, &rgn, false);
  regionSet_ = true;
}

void TsFramePainter::RemoveRegion(HWND window) {
  regionRects_.clear();
  RegionChanged = true;
  if (!regionSet_) return;
  regionSet_ = false;
  if (window && IsWindow(window)) SetWindowRgn(window, nullptr, false);
}

}  // namespace vm
