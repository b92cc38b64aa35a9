#include "skin/controls/TrackBar.h"

#include <algorithm>
#include <cmath>

#include "platform/controls/Controls.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/Stretch.h"
#include "platform/gfx/SysColors.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/CanvasOps.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/FadeTimer.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Application.h"
#include "toolkit/Colors.h"

namespace vm {

namespace {

constexpr int TrackBarType = 165;
constexpr int TickLength = 4;

// The application's hint setting while a track bar holds the mouse: hints
// would cover the thumb being dragged. Process-wide, as the setting is.
bool HintsSwitchedOff = false;
bool SavedShowHint = true;

// Mirrors a picture top to bottom (vertical false: left to right) in place.
void Mirror(TBitmap& b, bool topToBottom) {
  TBitmap copy(b);
  const TRegion clip = TRegion(TRect{0, 0, b.Width(), b.Height()});
  if (topToBottom)
    StretchBitmapRect(b, 0, b.Height(), b.Width(), -b.Height(), copy, 0, 0, b.Width(), b.Height(),
                      TStretchMode::Nearest, clip);
  else
    StretchBitmapRect(b, b.Width(), 0, -b.Width(), b.Height(), copy, 0, 0, b.Width(), b.Height(),
                      TStretchMode::Nearest, clip);
}

}  // namespace

TsTrackBar::TsTrackBar(TComponent* owner) : TTrackBar(owner) {
  skinData_ = std::make_unique<TsCommonData>(this, true);
  skinData_->ControlType = TrackBarType;
  controlStyle_ &= ~csOpaque;
  SetThumbLength(23);
  spare_ = std::make_unique<TBitmap>(0, 0);
  skinData_->ResolveSection();
}

TsTrackBar::~TsTrackBar() {
  StopFading();
  RestoreHints();
}

void TsTrackBar::Loaded() {
  TTrackBar::Loaded();
  skinData_->Loaded();
}

void TsTrackBar::CreateWnd() {
  TTrackBar::CreateWnd();
  skinData_->CacheInvalid = true;
}

void TsTrackBar::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  skinData_->Repaint();
}

void TsTrackBar::SetShowFocus(bool value) {
  if (value == showFocus_) return;
  showFocus_ = value;
  skinData_->Repaint();
}

bool TsTrackBar::Skinned() const {
  if (!skinData_->IsSkinned()) return false;
  // A slider without its channel or thumb image could not be worked: such a
  // skin leaves the whole control to the platform's look.
  TsSkinManager* m = skinData_->GetSkinManager();
  const int section = skinData_->SectionIndex;
  const std::string& name = skinData_->SkinSection();
  const char* thumb = Orientation() == trHorizontal ? "SLIDERMASK" : "SLIDERVMASK";
  return m->IsValidMaskIndex(m->FindMaskIndex(section, name, thumb)) &&
         m->IsValidMaskIndex(m->FindMaskIndex(section, name, "SLIDERCHANNEL"));
}

bool TsTrackBar::Interactive() const {
  return Skinned() && Enabled() && !IsDesigning();
}

int TsTrackBar::ThumbState() const {
  if (thumbPressed_) return 2;
  return skinData_->IsHot() ? 1 : 0;
}

TRect TsTrackBar::ChannelRect() const {
  TRect r;
  if (!HandleAllocated()) return r;
  HWND h = const_cast<TsTrackBar*>(this)->Handle();
  SendMessage(h, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&r));
  // A vertical bar answers with x and y exchanged.
  if (Orientation() == trVertical) r = TRect{r.Top, r.Left, r.Bottom, r.Right};
  return r;
}

TRect TsTrackBar::ThumbRect() const {
  TRect r;
  if (!HandleAllocated()) return r;
  HWND h = const_cast<TsTrackBar*>(this)->Handle();
  SendMessage(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

void TsTrackBar::StopFading() {
  StopFade(fadeTimer_);
}

void TsTrackBar::Fade(TnxAnimatEvent event, int direction) {
  RepaintWithFade(fadeTimer_, *skinData_, false, direction, AnimatesOn(animatEvents_, event));
}

void TsTrackBar::SaveHints() {
  if (HintsSwitchedOff || !Application) return;
  SavedShowHint = Application->ShowHint();
  Application->SetShowHint(false);
  HintsSwitchedOff = true;
  hintsSaved_ = true;
}

void TsTrackBar::RestoreHints() {
  if (!hintsSaved_) return;
  hintsSaved_ = false;
  HintsSwitchedOff = false;
  if (Application) Application->SetShowHint(SavedShowHint);
}

// ---------------------------------------------------------------- painting

void TsTrackBar::PrepareCache() {
  TsCommonData& data = *skinData_;
  data.PrepareCache();
  TBitmap& cache = *data.CacheBmp;
  if (cache.Empty() || !Skinned()) return;
  TsSkinManager* m = data.GetSkinManager();
  const int state = data.IsHot() ? 1 : 0;
  const TPoint position{Left(), Top()};
  const TRect all{0, 0, cache.Width(), cache.Height()};
  const BackgroundInfo background = data.GetParentBackground();
  KeyFillColor = KeyColor;
  vm::ParentColor = KeyColor;
  PaintControlBackground(data, background, state, cache, position, all);
  if (showFocus_ &&
      ((HandleAllocated() && const_cast<TsTrackBar*>(this)->Focused()) || thumbPressed_)) {
    TDC dc(cache);
    PaintDottedFrame(dc, TRect{1, 1, cache.Width() - 2, cache.Height() - 2});
  }
  const TRect channel = ChannelRect();
  const TRect thumb = ThumbRect();
  PaintChannel(cache, channel, state);
  PaintTicks(cache, channel, thumb, ThumbState());
  if (SliderVisible()) PaintThumb(cache, thumb, ThumbState());
  if (!Enabled()) {
    vm::ParentColor = KeyColor;
    ShadeDisabled(cache, disabledKind_, ColorToRGB(Color()), position, background);
  }
  if (m && m->IsValidMaskIndex(data.BorderMaskIndex))
    PaintSectionBorder(data.BorderMaskIndex, m, cache, position, all, state, false, true,
                       background);
  KeyFillColor = KeyColor;
  vm::ParentColor = KeyColor;
  data.CacheInvalid = false;
}

void TsTrackBar::PaintChannel(TBitmap& cache, const TRect& channel, int state) {
  TsCommonData& data = *skinData_;
  TsSkinManager* m = data.GetSkinManager();
  const int index = m->FindMaskIndex(data.SectionIndex, data.SkinSection(), "SLIDERCHANNEL");
  if (!m->IsValidMaskIndex(index)) return;
  const TsMaskData& mask = m->ma[std::size_t(index)];
  const TMaskFrame frame = TMaskFrame::Of(mask);
  if (!frame.Valid) return;
  TRect r = channel;
  // The image's own thickness, centred across the native channel.
  if (Orientation() == trHorizontal) {
    const int d = (r.Height() - frame.H + 1) / 2;
    r.Top += d;
    r.Bottom = r.Top + frame.H - 1;
  } else {
    const int d = (r.Width() - frame.H + 1) / 2;
    r.Left += d;
    r.Right = r.Left + frame.H - 1;
  }
  PaintNinePart(cache, r, true, true, state, mask, BackgroundInfo{&cache, 0, 0, 1});
}

void TsTrackBar::PaintTicks(TBitmap& cache, const TRect& c, const TRect& t, int state) {
  tickPositions_.clear();
  if (TickStyle() == tsNone || !HandleAllocated()) return;
  HWND h = Handle();
  const int n = int(SendMessage(h, TBM_GETNUMTICS, 0, 0));
  if (n <= 0) return;
  const bool horizontal = Orientation() == trHorizontal;
  const int start = horizontal ? c.Left : c.Top;
  const int end = horizontal ? c.Right : c.Bottom;
  const int lc = end - start;
  const int lt = horizontal ? t.Width() : t.Height();
  if (TickStyle() == tsAuto) {
    lastTickStep_ = n > 1 ? double(lc - lt) / double(n - 1) : 0.0;
    for (int i = 0; i < n; ++i)
      tickPositions_.push_back(int(std::nearbyint(i * lastTickStep_ + start + lt / 2)));
  } else {
    tickPositions_.push_back(start + lt / 2);
    for (int i = 1; i < n - 1; ++i)
      tickPositions_.push_back(int(SendMessage(h, TBM_GETTICPOS, WPARAM(i - 1), 0)));
    if (n > 1) tickPositions_.push_back(end - lt / 2);
  }
  TsCommonData& data = *skinData_;
  TsSkinManager* m = data.GetSkinManager();
  const int mask =
      m->FindMaskIndex(data.SectionIndex, data.SkinSection(), horizontal ? "TICKHORZ" : "TICKVERT");
  const int g = ((horizontal ? t.Height() - c.Height() : t.Width() - c.Width()) / 2) + 2;
  const bool before = TickMarks() == tmTopLeft || TickMarks() == tmBoth;
  const bool after = TickMarks() == tmBottomRight || TickMarks() == tmBoth;
  for (int p : tickPositions_) {
    if (horizontal) {
      if (before) PaintTick(cache, {p, c.Top - g - TickLength}, mask, state);
      if (after) PaintTick(cache, {p, c.Bottom + g}, mask, state);
    } else {
      if (before) PaintTick(cache, {c.Left - g - TickLength, p}, mask, state);
      if (after) PaintTick(cache, {c.Right + g, p}, mask, state);
    }
  }
}

void TsTrackBar::PaintTick(TBitmap& cache, TPoint at, int maskIndex, int state) {
  TsSkinManager* m = skinData_->GetSkinManager();
  const bool horizontal = Orientation() == trHorizontal;
  if (m->IsValidMaskIndex(maskIndex)) {
    const TsMaskData& mask = m->ma[std::size_t(maskIndex)];
    const TMaskFrame frame = TMaskFrame::Of(mask);
    if (!frame.Valid) return;
    if (horizontal)
      at.X -= frame.W / 2;
    else
      at.Y -= frame.H / 2;
    PaintStateImage(cache, at, state, mask);
    return;
  }
  // No image: a small classic mark.
  TDC dc(cache);
  TRect r = horizontal ? TRect{at.X, at.Y, at.X + 2, at.Y + TickLength}
                       : TRect{at.X, at.Y, at.X + TickLength, at.Y + 2};
  int width = 1;
  Paint3DFrame(dc, r, ColorToRGB(clBtnShadow), clWhite, width);
}

void TsTrackBar::PaintThumb(TBitmap& cache, const TRect& thumb, int state) {
  TsCommonData& data = *skinData_;
  TsSkinManager* m = data.GetSkinManager();
  const bool horizontal = Orientation() == trHorizontal;
  const int index = m->FindMaskIndex(data.SectionIndex, data.SkinSection(),
                                     horizontal ? "SLIDERMASK" : "SLIDERVMASK");
  if (!m->IsValidMaskIndex(index) || thumb.IsEmpty()) return;
  const TsMaskData& mask = m->ma[std::size_t(index)];
  const TMaskFrame frame = TMaskFrame::Of(mask);
  if (!frame.Valid) return;
  bool fits = frame.W == thumb.Width() && frame.H == thumb.Height();
  // The stored thumbs are drawn for a 23-pixel thumb length.
  if (horizontal && thumb.Height() == 23 && frame.H == 21 && thumb.Width() == 11) fits = true;
  if (!horizontal && thumb.Width() == 23 && frame.W == 21 && thumb.Height() == 11) fits = true;
  if (fits) {
    if (TickMarks() == tmTopLeft) {
      // The thumb points toward the ticks: draw it the other way round.
      std::unique_ptr<TBitmap> b = CreateBitmap24(thumb.Width(), thumb.Height());
      b->Fill(0);
      CopyBitmapRect(*b, 0, 0, thumb.Width(), thumb.Height(), cache, thumb.Left, thumb.Top,
                     TRegion(TRect{0, 0, thumb.Width(), thumb.Height()}));
      Mirror(*b, horizontal);
      PaintStateImage(*b, {0, 0}, state, mask);
      Mirror(*b, horizontal);
      CopyBitmapRect(cache, thumb.Left, thumb.Top, thumb.Width(), thumb.Height(), *b, 0, 0,
                     TRegion(TRect{0, 0, cache.Width(), cache.Height()}));
    } else {
      PaintStateImage(cache, {thumb.Left, thumb.Top}, state, mask);
    }
    return;
  }
  // Another thumb size: the image stretched to it, frame by frame. Only an
  // image of the master bitmap is taken (an own picture is of unknown shape).
  if (mask.Image || !m->MasterBitmap) return;
  const int w = thumb.Width(), hgt = thumb.Height();
  const int bands = mask.MaskType + 1;
  // One thumb width per frame of the image, so that each frame keeps its
  // place (three widths would spread a two-frame image over 1.5 thumbs).
  auto temp = std::make_shared<TBitmap>(*CreateBitmap24(w * frame.Count, hgt * bands));
  const TRegion clip = TRegion(TRect{0, 0, temp->Width(), temp->Height()});
  const TRect& src = mask.R;
  if (mask.MaskType != 0) {
    const int half = src.Height() / 2;
    StretchBitmapRect(*temp, 0, 0, temp->Width(), hgt, *m->MasterBitmap, src.Left, src.Top,
                      src.Width(), half, TStretchMode::Halftone, clip);
    StretchBitmapRect(*temp, 0, hgt, temp->Width(), hgt, *m->MasterBitmap, src.Left, src.Top + half,
                      src.Width(), half, TStretchMode::Halftone, clip);
  } else {
    StretchBitmapRect(*temp, 0, 0, temp->Width(), hgt, *m->MasterBitmap, src.Left, src.Top,
                      src.Width(), src.Height(), TStretchMode::Halftone, clip);
  }
  TsMaskData stretched = mask;
  stretched.Image = temp;
  stretched.R = TRect{0, 0, temp->Width(), temp->Height()};
  PaintStateImage(cache, {thumb.Left, thumb.Top}, state, stretched);
}

void TsTrackBar::PaintToWindow(HDC dc) {
  if (fadeTimer_ && fadeTimer_->FadeDirection() != 0) return;
  PrepareCache();
  const TBitmap& cache = *skinData_->CacheBmp;
  if (dc && !cache.Empty()) dc->BitBlt(0, 0, cache.Width(), cache.Height(), cache, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------- messages

bool TsTrackBar::HandleCommand(TMessage& m) {
  TsCommonData& data = *skinData_;
  const int command = CommandOf(m.WParam);
  const bool own = FromOwnManager(data, m);
  switch (command) {
    case CmdNewSkin:
    case CmdRefresh:
      if (!own) break;
      StopFading();
      data.HandleMessage(m);
      data.Repaint();
      return true;
    case CmdRemoveSkin:
      if (!own) break;
      StopFading();
      data.HandleMessage(m);
      thumbPressed_ = false;
      if (HandleAllocated()) RecreateWnd();
      return true;
    case CmdUpdate:
      StopFading();
      return true;
    case CmdFadePrepare:
      PrepareCache();
      return true;
    case CmdFadeFrame: {
      const auto* frame = reinterpret_cast<const TBitmap*>(m.LParam);
      if (!frame || !HandleAllocated()) return true;
      if (HDC dc = GetDC(Handle())) {
        dc->BitBlt(0, 0, frame->Width(), frame->Height(), *frame, 0, 0, SRCCOPY);
        ReleaseDC(Handle(), dc);
      }
      AnswerCommand(m, 1);
      return true;
    }
    default:
      break;
  }
  if (HandleCommonCommand(data, m, [&data] { data.Repaint(); })) return true;
  return data.HandleMessage(m);
}

void TsTrackBar::WndProc(TMessage& m) {
  if (m.Msg == SM_NIRVEXCMD) {
    if (HandleCommand(m)) return;
    TTrackBar::WndProc(m);
    return;
  }
  const bool skinned = Skinned() && !skinData_->IsPaintSuspended();
  TControlRef self(this);
  switch (m.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      // The user moved the thumb through the window.
      if (skinned) {
        StopFading();
        skinData_->CacheInvalid = true;
        Invalidate();
      }
      TTrackBar::WndProc(m);
      if (self && OnUserChange) OnUserChange(this);
      return;
    case WM_ERASEBKGND:
      if (!skinned) break;
      m.Result = 1;
      return;
    case WM_PAINT:
      if (!skinned) {
        // The platform paints; the engine's painting stays out of its way.
        controlState_ |= csCustomPaint;
        TTrackBar::WndProc(m);
        if (self) controlState_ &= ~csCustomPaint;
        return;
      }
      if (auto dc = reinterpret_cast<HDC>(m.WParam)) {
        PaintToWindow(dc);
      } else {
        TPaintDC paint(Handle());
        PaintToWindow(paint.Dc());
      }
      m.Result = 0;
      return;
    case WM_PRINTCLIENT:
    case WM_PRINT:
      if (!skinned) break;
      PaintToWindow(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    default:
      break;
  }
  if (skinData_->HandleMessage(m)) return;
  if (!self) return;
  const bool interactive = Interactive();
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (interactive) {
        SaveHints();
        const TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        if (ThumbRect().Contains(p)) {
          thumbPressed_ = true;
          Fade(aeMouseDown, 1);
          if (!self) return;
        }
      }
      break;
    case WM_LBUTTONUP:
      RestoreHints();
      if (interactive && thumbPressed_) {
        const TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        // Released anywhere, the thumb is no longer held; only a release
        // over it fades back, elsewhere the look changes at once.
        thumbPressed_ = false;
        if (ThumbRect().Contains(p)) {
          Fade(aeMouseUp, 2);
        } else {
          StopFading();
          skinData_->Repaint();
        }
        if (!self) return;
      }
      break;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
      if (thumbPressed_ &&
          !(m.Msg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(m.LParam) == Handle())) {
        thumbPressed_ = false;
        RestoreHints();
        StopFading();
        skinData_->Repaint();
        if (!self) return;
      }
      break;
    case CM_MOUSEENTER:
      if (m.LParam != 0 && m.LParam != reinterpret_cast<LPARAM>(this)) break;
      if (interactive && !thumbPressed_) {
        skinData_->MouseAbove = true;
        Fade(aeMouseEnter, 1);
        if (!self) return;
      }
      break;
    case CM_MOUSELEAVE:
      if (m.LParam != 0 && m.LParam != reinterpret_cast<LPARAM>(this)) break;
      if (interactive && !thumbPressed_) {
        skinData_->MouseAbove = false;
        Fade(aeMouseLeave, 2);
        if (!self) return;
      }
      break;
    case WM_SETFOCUS:
    case CM_ENTER:
      TTrackBar::WndProc(m);
      if (self && interactive && !(fadeTimer_ && fadeTimer_->FadeDirection() != 0))
        skinData_->Repaint();
      return;
    case WM_KILLFOCUS:
    case CM_EXIT:
      TTrackBar::WndProc(m);
      if (self && interactive) StopFading();
      return;
    default:
      break;
  }
  TTrackBar::WndProc(m);
}

}  // namespace vm
