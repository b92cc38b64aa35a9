#include "skin/controls/StatusBar.h"

#include <algorithm>

#include "platform/controls/ControlDefs.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/SkinText.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Application.h"

namespace vm {

namespace {

struct TEngineColours {
  TEngineColours() { Reset(); }
  ~TEngineColours() { Reset(); }
  static void Reset() {
    KeyFillColor = KeyColor;
    ParentColor = KeyColor;
  }
};

}  // namespace

TsStatusBar::TsStatusBar(TComponent* owner) : TStatusBar(owner) {
  controlStyle_ |= csAcceptsControls | csOpaque;
  skinData_ = std::make_unique<TsCommonData>(this, true);
  skinData_->ControlType = 151;
  skinData_->ResolveSection();
}

TsStatusBar::~TsStatusBar() {
  skinData_.reset();
}

bool TsStatusBar::Skinned() const {
  return skinData_ && skinData_->IsSkinned();
}

void TsStatusBar::Loaded() {
  TStatusBar::Loaded();
  skinData_->Loaded();
}

TRect TsStatusBar::PanelRect(int index) const {
  if (SimplePanel()) return TRect{0, 1, Width() - 1, Height() - 1};
  int left = 0;
  for (int i = 0; i < index && i < Panels()->Count(); ++i) left += Panels()->Items(i)->Width() + 1;
  const bool last = index == Panels()->Count() - 1;
  const int right = last ? Width() : left + Panels()->Items(index)->Width() + 1;
  return TRect{left, 0, right, Height()};
}

bool TsStatusBar::GripWorks() const {
  if (!HandleAllocated()) return false;
  const HWND root = GetAncestor(const_cast<TsStatusBar*>(this)->Handle(), GA_ROOT);
  return root && (GetWindowLongPtr(root, GWL_STYLE) & WS_THICKFRAME) && !IsZoomed(root);
}

bool TsStatusBar::OutsideParent() const {
  const TWinControl* p = Parent();
  if (!p) return false;
  return Left() < 0 || Top() < 0 || Left() + Width() > p->ClientWidth() ||
         Top() + Height() > p->ClientHeight();
}

void TsStatusBar::PaintPanel(TBitmap& cache, int index, const TRect& r, bool simple,
                             int panelMask) {
  TsCommonData& data = *skinData_;
  TsSkinManager* m = data.GetSkinManager();
  // 1. A panel frame from the skin, or 2. a divider at the panel's end.
  if (m->IsValidMaskIndex(panelMask)) {
    const TRect frame = simple ? TRect{0, 0, cache.Width(), cache.Height()} : r;
    PaintNinePart(cache, frame, false, true, 0, m->ma[std::size_t(panelMask)],
                  BackgroundInfo{&cache, 0, 0, 1});
  } else if (!simple && index < Panels()->Count() - 1) {
    const int divider = m->FindSectionIndex("DIVIDER");
    const int mask = divider >= 0 ? m->FindMaskIndex(divider, "DIVIDER", "BORDERSMASK") : -1;
    if (m->IsValidMaskIndex(mask)) {
      const TMaskFrame f = TMaskFrame::Of(m->ma[std::size_t(mask)]);
      const int sw = f.W - 1, sh = cache.Height() - 2;
      if (f.Valid && sw > 0 && sh > 0) {
        TEngineColours::Reset();
        TBitmap strip(sw, sh);
        const int x = r.Right - sw;
        TDC(strip).BitBlt(0, 0, sw, sh, cache, x, r.Top);
        PaintSectionItem(divider, "DIVIDER", BackgroundInfo{&cache, x, r.Top, 1}, -1, -1, m, strip,
                         TPoint{0, 0}, TRect{0, 0, sw, sh}, 0, true);
        TDC(cache).BitBlt(x, 1, sw, sh, strip, 0, 0);
      }
    }
  }
  // 3. An owner-drawn panel is its handler's.
  TStatusPanel* panel = simple ? nullptr : Panels()->Items(index);
  if (panel && panel->Style() == psOwnerDraw && OnDrawPanel) {
    TDC dc(cache);
    Canvas()->SetHandle(&dc);
    Canvas()->Font().Assign(*Font());
    OnDrawPanel(this, panel, r);
    Canvas()->SetHandle(nullptr);
    return;
  }
  // 4. The text, shortened to fit, in the section's colours.
  const TRect area{r.Left + 1 + 2, r.Top + 1, r.Right - 1 - 4, r.Bottom - 1 - 1};
  const std::string& text = simple ? SimpleText() : panel->Text();
  if (text.empty() || area.Width() <= 0) return;
  TDC canvas(cache);
  canvas.SelectFont(Font()->PlatformFont());
  const std::string fitted = FitText(canvas, text, area.Width());
  const TAlignment align = simple ? taLeftJustify : panel->Alignment();
  const std::uint32_t flags = (align == taLeftJustify    ? DT_LEFT
                               : align == taRightJustify ? DT_RIGHT
                                                         : DT_CENTER) |
                              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  WriteControlText(data, canvas, fitted, Enabled(), false, 0, flags, area);
}

void TsStatusBar::PaintGrip(TBitmap& cache) {
  TsSkinManager* m = skinData_->GetSkinManager();
  int grip = m->FindMaskIndex(m->ConstData().GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
  if (!m->IsValidMaskIndex(grip)) {
    const int form = m->FindSectionIndex("FORM");
    grip = form >= 0 ? m->FindMaskIndex(form, "FORM", "GRIPIMAGE") : -1;
  }
  if (!m->IsValidMaskIndex(grip)) return;
  const TsMaskData& mask = m->ma[std::size_t(grip)];
  const int bw = BorderWidth();
  TPoint at;
  if (mask.Image && !mask.Image->Empty()) {
    at = {Width() - mask.Image->Width() / 3 - bw, Height() - mask.Image->Height() / 2 - bw};
  } else {
    const TMaskFrame f = TMaskFrame::Of(mask);
    if (!f.Valid) return;
    at = {Width() - f.W - bw, Height() - f.H - bw};
  }
  PaintStateImage(cache, at, 0, mask);
}

void TsStatusBar::PrepareCache() {
  TsCommonData& data = *skinData_;
  if (data.IsPaintSuspended() && data.CacheBmp && !data.CacheBmp->Empty()) return;
  if (!data.CacheInvalid && !OutsideParent() && data.CacheBmp && !data.CacheBmp->Empty() &&
      data.CacheBmp->Width() == Width() && data.CacheBmp->Height() == Height())
    return;
  TEngineColours colours;
  data.PrepareCache();
  TBitmap& cache = *data.CacheBmp;
  const int w = cache.Width(), h = cache.Height();
  if (w <= 0 || h <= 0) return;
  // 1. The face, and the section's border line along it.
  const BackgroundInfo background = data.GetParentBackground();
  const TPoint position{Left(), Top()};
  PaintControlBackground(data, background, 0, cache, position, TRect{0, 0, w, h});
  TsSkinManager* m = data.GetSkinManager();
  if (m->IsValidMaskIndex(data.BorderMaskIndex)) {
    TEngineColours::Reset();
    PaintSectionBorder(data.BorderMaskIndex, m, cache, position, TRect{0, 0, w, h}, 0, false, true,
                       background);
  }
  TEngineColours::Reset();
  // 2. The panels.
  const int panelMask = m->FindMaskIndex(data.SectionIndex, data.SkinSection(), "STATUSPANELMASK");
  if (SimplePanel()) {
    PaintPanel(cache, 0, PanelRect(0), true, panelMask);
  } else {
    for (int i = 0; i < Panels()->Count(); ++i) {
      TRect r = PanelRect(i);
      r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
      PaintPanel(cache, i, r, false, panelMask);
    }
  }
  // 3. The grip, where the platform's bar has one: a window that cannot be
  // resized (or fills the screen) shows none, as the grip would not work.
  if (SizeGrip() && GripWorks()) PaintGrip(cache);
  data.CacheInvalid = false;
}

void TsStatusBar::CopyCache(HDC dc) {
  const TBitmap* cache = skinData_->CacheBmp.get();
  if (!dc || !cache || cache->Empty()) return;
  TDCSaver saver(*dc);
  // Windowed children paint themselves: their areas are left alone.
  for (int i = 0; i < ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(Controls(i));
    if (child && child->Visible() && child->HandleAllocated())
      dc->ExcludeClipRect(child->BoundsRect());
  }
  const int bw = BorderWidth();
  dc->BitBlt(0, 0, ClientWidth(), ClientHeight(), *cache, bw, bw, SRCCOPY);
}

void TsStatusBar::PaintBorder() {
  if (BorderWidth() <= 0 || !HandleAllocated() || !skinData_->CacheBmp) return;
  const HWND h = Handle();
  TRect wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  TPoint o{0, 0};
  ::vm::ClientToScreen(h, &o);
  const TRect inner = cr.Offset(o.X - wr.Left, o.Y - wr.Top);
  TScopedDC dc(h, true);
  if (HDC d = dc.Dc()) {
    TDCSaver save(*d);
    d->ExcludeClipRect(inner);
    const TBitmap& cache = *skinData_->CacheBmp;
    d->BitBlt(0, 0, cache.Width(), cache.Height(), cache, 0, 0, SRCCOPY);
  }
}

void TsStatusBar::SkinCommand(TMessage& m) {
  TsCommonData& data = *skinData_;
  const bool own = FromOwnManager(data, m);
  switch (CommandOf(m.WParam)) {
    case CmdNewSkin:
    case CmdRefresh: {
      if (!own) break;
      TMessage copy = m;
      BroadcastToControls(this, copy);
      data.HandleMessage(m);
      data.CacheInvalid = true;
      if (HandleAllocated()) {
        TStatusBar::Invalidate();
        if (BorderWidth() > 0) SendMessage(Handle(), WM_NCPAINT, 1, 0);
      }
      return;
    }
    case CmdRemoveSkin: {
      if (!own) break;
      data.HandleMessage(m);
      TMessage copy = m;
      BroadcastToControls(this, copy);
      // The platform bar paints itself again.
      if (HandleAllocated()) {
        RedrawWindow(Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      }
      return;
    }
    default:
      break;
  }
  if (HandleCommonCommand(data, m, [this] {
        if (!HandleAllocated()) return;
        TStatusBar::Invalidate();
        if (BorderWidth() > 0) SendMessage(Handle(), WM_NCPAINT, 1, 0);
      }))
    return;
  data.HandleMessage(m);
}

bool TsStatusBar::SkinnedMessage(TMessage& m) {
  TsCommonData& data = *skinData_;
  switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      if (!HandleAllocated()) return false;
      PAINTSTRUCT ps;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const bool own = dc == nullptr;
      if (own) dc = BeginPaint(Handle(), &ps);
      data.PaintSuspended = data.IsPaintSuspended();
      if (dc && !data.PaintSuspended) {
        PrepareCache();
        CopyCache(dc);
        PaintControls(dc, nullptr);
        // Children that waited for the bar repaint now.
        TControlRef self(this);
        for (int i = 0; self && i < ControlCount(); ++i) {
          TControl* child = Controls(i);
          if (!child || child->IsDestroying()) continue;
          auto* wc = dynamic_cast<TWinControl*>(child);
          if (wc && !QueryControl(wc, CmdQueryHandled)) continue;
          SendCommand(child, CmdParentPainted);
        }
      }
      if (own) EndPaint(Handle(), &ps);
      m.Result = 0;
      return true;
    }
    case WM_ERASEBKGND: {
      data.PaintSuspended = data.IsPaintSuspended();
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (!data.CacheInvalid && !data.PaintSuspended && dc) {
        CopyCache(dc);
        PaintControls(dc, nullptr);
      }
      m.Result = 1;
      return true;
    }
    case WM_NCPAINT:
      if (BorderWidth() <= 0) return false;
      if (Visible()) {
        PrepareCache();
        PaintBorder();
      }
      m.Result = 0;
      return true;
    case WM_MOVE: {
      TsSkinManager* mgr = data.GetSkinManager();
      const TsGeneralData& gd = mgr->gd[std::size_t(data.SectionIndex)];
      if (gd.Transparency > 0 || gd.HotTransparency > 0) data.CacheInvalid = true;
      return false;
    }
    default:
      return false;
  }
}

void TsStatusBar::WndProc(TMessage& m) {
  if (m.Msg == SM_NIRVEXCMD) {
    SkinCommand(m);
    return;
  }
  if (!Skinned()) {
    TStatusBar::WndProc(m);
    return;
  }
  if (skinData_->HandleMessage(m)) return;
  if (SkinnedMessage(m)) return;
  const UINT msg = m.Msg;
  switch (msg) {
    case WM_SIZE:
    case SB_SETTEXT:
    case SB_SIMPLE:
    case SB_GETRECT:
    case SB_SETPARTS:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
      // Marked before the bar acts: a new text is painted before SB_SETTEXT
      // returns, and that painting must build the picture again.
      skinData_->CacheInvalid = true;
      break;
    default:
      break;
  }
  TStatusBar::WndProc(m);
  if (msg == WM_SIZE) {
    skinData_->CacheInvalid = true;
    if (BorderWidth() > 0 && Visible() && HandleAllocated())
      SendMessage(Handle(), WM_NCPAINT, 1, 0);
  }
}

}  // namespace vm
