#include "skin/frame/CaptionButtons.h"

#include <algorithm>

#include "platform/gfx/Region.h"
#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"
#include "skin/frame/FramePainter.h"
#include "skin/paint/MaskPaint.h"
#include "skin/state/CommonData.h"

namespace vm {

namespace {

constexpr TSize ButtonFallback{21, 21};

// A button image that can be drawn: its cells lie inside the picture they
// come from. An image reaching outside it (a damaged skin) is left out like a
// missing one, so that it neither covers the caption nor draws half a button.
bool UsableMask(const TsSkinManager& m, int index) {
  if (!m.IsValidMaskIndex(index)) return false;
  const TsMaskData& mask = m.ma[std::size_t(index)];
  if (mask.Image) return !mask.Image->Empty();
  const TBitmap* source = MaskSourceBitmap(mask);
  if (!source || mask.R.IsEmpty()) return false;
  return mask.R.Left >= 0 && mask.R.Top >= 0 && mask.R.Right <= source->Width() &&
         mask.R.Bottom <= source->Height();
}

}  // namespace

TsCaptionButtons::TsCaptionButtons(TsFramePainter& frame) : frame_(frame) {}

TsCaptionButtons::~TsCaptionButtons() {
  *alive_ = false;
  StopFade();
}

bool TsCaptionButtons::IsButtonCode(int code) {
  return code == htMinButton || code == htMaxButton || code == htClose || code == htHelp ||
         (code >= htChildClose && code <= htChildMinimize) || code >= htUserButton;
}

// ---------------------------------------------------------------- masks

void TsCaptionButtons::LookUpMasks(TFormBorderStyle style) {
  for (TsTitleButtonRecord& b : buttons_) b = TsTitleButtonRecord{};
  masks_ = TsTitleMasks{};
  TsSkinManager* m = frame_.Manager();
  if (!m || m->gd.empty()) return;
  masks_ = LookUpTitleMasks(*m, frame_.Data().SectionIndex, style);
  buttons_[bClose].MaskIndex = masks_.Close;
  buttons_[bMax].MaskIndex = masks_.Maximize;
  buttons_[bMin].MaskIndex = masks_.Minimize;
  buttons_[bHelp].MaskIndex = masks_.Help;
  buttons_[bChildClose].MaskIndex = masks_.ChildClose;
  buttons_[bChildRestore].MaskIndex = masks_.ChildRestore;
  buttons_[bChildMin].MaskIndex = masks_.ChildMinimize;
  if (!UsableMask(*m, masks_.Restore)) masks_.Restore = -1;
  if (!UsableMask(*m, masks_.TitleButton)) masks_.TitleButton = -1;
  for (TsTitleButtonRecord& b : buttons_) {
    if (!UsableMask(*m, b.MaskIndex)) b.MaskIndex = -1;
    b.State = b.MaskIndex >= 0 ? 0 : -1;
  }
  if (UserButtons) {
    UserButtons->UpdateMasks(masks_.TitleButton);
    for (int i = 0; i < UserButtons->Count(); ++i) UserButtons->Items(i)->Data.State = 0;
  }
}

void TsCaptionButtons::Clear() {
  StopFade();
  hoverCode_ = 0;
  pressed_ = false;
  capturing_ = false;
  for (TsTitleButtonRecord& b : buttons_) b = TsTitleButtonRecord{};
  back_.SetSize(0, 0);
}

TSize TsCaptionButtons::CellOf(int maskIndex, TSize fallback) const {
  TsSkinManager* m = frame_.Manager();
  return m ? TitleMaskCell(*m, maskIndex, fallback) : fallback;
}

bool TsCaptionButtons::Shown(const TsFrameWindow& w, int which) const {
  const TsFormAvailability& a = w.Availability;
  switch (which) {
    case bClose:
      return a.CloseShown;
    case bMax:
      return a.MaximizeShown;
    case bMin:
      return a.MinimizeShown;
    case bHelp:
      return a.HelpShown;
    default:
      return false;
  }
}

// ---------------------------------------------------------------- layout and drawing

void TsCaptionButtons::Layout(TBitmap& cache, const TsFrameWindow& w, bool draw) {
  const TsFrameMetrics& fm = w.Metrics;
  width_ = 0;
  for (TsTitleButtonRecord& b : buttons_) b.Rect = {};
  const int users = UserButtons ? UserButtons->Count() : 0;
  for (int i = 0; i < users; ++i) UserButtons->Items(i)->Data.Rect = {};
  TsSkinManager* m = frame_.Manager();
  if (!m || !fm.HasBorder || fm.CaptionHeight <= 0) return;
  const int spacing = m->SkinData.BISpacing;
  int x = fm.FrameWidth - fm.BorderWidth - spacing;
  auto place = [&](TRect& r, TSize cell) {
    r.Right = x;
    r.Left = x - cell.cx;
    r.Top = (fm.CaptionHeight + fm.BorderHeight - cell.cy) / 2 + (cell.cy < 16 ? 2 : 0);
    r.Bottom = r.Top + cell.cy;
    x = r.Left - spacing;
    width_ += cell.cx + spacing;
  };
  for (int which : {int(bClose), int(bMax), int(bMin), int(bHelp)}) {
    TsTitleButtonRecord& b = buttons_[std::size_t(which)];
    if (b.MaskIndex < 0 || !Shown(w, which)) continue;
    place(b.Rect, CellOf(b.MaskIndex, ButtonFallback));
    if (draw) Draw(cache, w, which, false);
  }
  const TSize userCell = CellOf(masks_.TitleButton, ButtonFallback);
  for (int i = 0; i < users; ++i) {
    TsTitleButton& u = *UserButtons->Items(i);
    u.Data.MaskIndex = u.UseSkinData() ? masks_.TitleButton : -1;
    if (u.Data.State < 0) u.Data.State = 0;  // a button added since the skin was applied
    place(u.Data.Rect, {u.ButtonWidth(m, masks_.TitleButton), userCell.cy});
    if (draw) DrawUser(cache, w, i, false);
  }
}

void TsCaptionButtons::TakeBackground(const TBitmap& cache, const TsFrameMetrics& fm, int bottom) {
  backRect_ =
      Rect(std::max(0, fm.FrameWidth - width_ - fm.BorderWidth - 10), 0, fm.FrameWidth, bottom);
  back_.Reset(backRect_.Width(), backRect_.Height(), TPixelFormat::pf24bit);
  TDC(back_).BitBlt(0, 0, backRect_.Width(), backRect_.Height(), cache, backRect_.Left, 0);
}

void TsCaptionButtons::Draw(TBitmap& cache, const TsFrameWindow& w, int which, bool single) {
  TsSkinManager* m = frame_.Manager();
  TsTitleButtonRecord& b = buttons_[std::size_t(which)];
  if (!m || b.Rect.IsEmpty()) return;
  const bool minimized = w.Metrics.Minimized, maximized = w.Metrics.Maximized;
  const TsFormAvailability& a = w.Availability;
  int mask = b.MaskIndex;
  bool available = true;
  if (which == bMax) {
    if (maximized && m->IsValidMaskIndex(masks_.Restore)) mask = masks_.Restore;
    available = maximized ? a.RestoreEnabled : a.MaximizeEnabled;
  } else if (which == bMin) {
    if (minimized && m->IsValidMaskIndex(masks_.Restore)) mask = masks_.Restore;
    available = minimized ? a.RestoreEnabled : a.MinimizeEnabled;
  }
  if (!m->IsValidMaskIndex(mask)) return;
  const int state = std::max(b.State, 0);
  const bool light = !available || (!w.Active && (!single || state == 0));
  PaintStateImage(cache, {b.Rect.Left, b.Rect.Top}, state, m->ma[std::size_t(mask)], light ? 2 : 1);
}

void TsCaptionButtons::DrawUser(TBitmap& cache, const TsFrameWindow& w, int index, bool single) {
  TsSkinManager* m = frame_.Manager();
  TsTitleButton* u = UserButtons ? UserButtons->Items(index) : nullptr;
  if (!m || !u || u->Data.Rect.IsEmpty()) return;
  const int state = std::max(u->Data.State, 0);
  if (m->IsValidMaskIndex(u->Data.MaskIndex)) {
    const bool light = !u->Enabled() || (!w.Active && (!single || state == 0));
    PaintStateImage(cache, {u->Data.Rect.Left, u->Data.Rect.Top}, state,
                    m->ma[std::size_t(u->Data.MaskIndex)], light ? 2 : 1);
  }
  u->DrawGlyph(cache, state == 2);
}

TsTitleButtonRecord* TsCaptionButtons::ButtonOf(int code) {
  switch (code) {
    case htClose:
      return &buttons_[bClose];
    case htMaxButton:
      return &buttons_[bMax];
    case htMinButton:
      return &buttons_[bMin];
    case htHelp:
      return &buttons_[bHelp];
    case htChildClose:
      return &buttons_[bChildClose];
    case htChildRestore:
      return &buttons_[bChildRestore];
    case htChildMinimize:
      return &buttons_[bChildMin];
    default:
      if (TsTitleButton* u = code >= htUserButton && UserButtons
                                 ? UserButtons->Items(code - htUserButton)
                                 : nullptr)
        return &u->Data;
      return nullptr;
  }
}

// ---------------------------------------------------------------- single-button repaint and fade

namespace {

// Copies r of picture (from (sx, sy)) to r of the window (window
// coordinates) through a context clipped to r: a button's change touches
// and presents the button's rectangle, not the whole window.
void ShowWindowRect(HWND h, const TRect& r, const TBitmap& picture, int sx, int sy) {
  TRect window;
  if (r.IsEmpty() || !GetWindowRect(h, &window)) return;
  const TRegion screen(r.Offset(window.Left, window.Top));
  HDC dc = GetDCEx(h, &screen, DCX_WINDOW | DCX_CACHE | DCX_INTERSECTRGN);
  if (!dc) return;
  dc->BitBlt(r.Left, r.Top, r.Width(), r.Height(), picture, sx, sy);
  ReleaseDC(h, dc);
}

}  // namespace

void TsCaptionButtons::Repaint(int code) {
  TsTitleButtonRecord* b = ButtonOf(code);
  TsCommonData& data = frame_.Data();
  if (!b || b->Rect.IsEmpty() || data.CacheInvalid || !data.CacheBmp || data.CacheBmp->Empty())
    return;
  TBitmap& cache = *data.CacheBmp;
  const TRect r = b->Rect.Intersect(Rect(0, 0, cache.Width(), cache.Height()));
  if (r.IsEmpty()) return;
  // Fades come from the caption strip's section.
  TsSkinManager* m = frame_.Manager();
  const int title = frame_.TitleIndex();
  const bool fades = title >= 0 && m->gd[std::size_t(title)].FadingEnabled &&
                     m->gd[std::size_t(title)].FadingIterations > 0 && !AnimationsOff &&
                     !IsFadingSuspended();
  // The look on the screen before the change, for a fade.
  TBitmap before;
  if (fades) {
    before.Reset(r.Width(), r.Height(), TPixelFormat::pf24bit);
    TDC(before).BitBlt(0, 0, r.Width(), r.Height(), cache, r.Left, r.Top);
  }
  // Background copy, then the cell in its new state.
  const TRect back = r.Offset(-backRect_.Left, -backRect_.Top);
  if (back.Left >= 0 && back.Top >= 0 && back.Right <= back_.Width() &&
      back.Bottom <= back_.Height())
    TDC(cache).BitBlt(r.Left, r.Top, r.Width(), r.Height(), back_, back.Left, back.Top);
  const TsFrameWindow w = frame_.Window();
  if (code >= htUserButton)
    DrawUser(cache, w, code - htUserButton, true);
  else
    Draw(cache, w, int(b - buttons_.data()), true);
  HWND h = w.Handle;
  if (!h || !IsWindowVisible(h)) return;
  if (fades) {
    if (!fade_) fade_ = std::make_unique<TsFadeTimer>(nullptr);
    fadeRect_ = r;
    fade_->StartTargetFade(*this, code, std::move(before),
                           m->gd[std::size_t(title)].FadingIterations);
    return;
  }
  ShowWindowRect(h, r, cache, r.Left, r.Top);
}

const TBitmap* TsCaptionButtons::FadeTargetPicture() {
  const TsCommonData& data = frame_.Data();
  const TsFrameWindow w = frame_.Window();
  const TRect r = fadeRect_;
  if (!w.Handle || !IsWindowVisible(w.Handle) || !data.CacheBmp ||
      r.Right > data.CacheBmp->Width() || r.Bottom > data.CacheBmp->Height())
    return nullptr;
  fadePicture_.Reset(r.Width(), r.Height(), TPixelFormat::pf24bit);
  TDC(fadePicture_).BitBlt(0, 0, r.Width(), r.Height(), *data.CacheBmp, r.Left, r.Top);
  return &fadePicture_;
}

bool TsCaptionButtons::ShowFadeFrame(const TBitmap& frame) {
  HWND h = frame_.Window().Handle;
  if (!h || !IsWindow(h)) return false;
  ShowWindowRect(h, fadeRect_, frame, 0, 0);
  return true;
}

void TsCaptionButtons::StopFade() {
  if (fade_) fade_->StopTargetFade();
  fadePicture_ = TBitmap();
}

// ---------------------------------------------------------------- hit test and hover

int TsCaptionButtons::BandHitTest(const TsFrameWindow& w, TPoint p) {
  const TsFrameMetrics& fm = w.Metrics;
  const TSize cell = CellOf(buttons_[bClose].MaskIndex, ButtonFallback);
  const int bandTop = (fm.BorderHeight + fm.CaptionHeight - cell.cy) / 2;
  if (p.Y < bandTop || p.Y > bandTop + cell.cy) return -1;
  // Inside the band only X decides: the band includes its last row, one
  // below the buttons' painted rectangles.
  auto over = [&](const TRect& r) { return !r.IsEmpty() && p.X >= r.Left && p.X < r.Right; };
  const TsFormAvailability& a = w.Availability;
  if (fm.IconShown && p.X >= fm.BorderWidth && p.X <= fm.BorderWidth + fm.IconSize.cx)
    return htSysMenu;
  if (over(buttons_[bClose].Rect)) return htClose;
  if (over(buttons_[bMax].Rect))
    return a.MaximizeEnabled || (!fm.Minimized && a.RestoreEnabled) ? htMaxButton : htCaption;
  if (over(buttons_[bMin].Rect)) return fm.Minimized || a.MinimizeEnabled ? htMinButton : htCaption;
  if (over(buttons_[bHelp].Rect)) return htHelp;
  const int users = UserButtons ? UserButtons->Count() : 0;
  for (int i = 0; i < users; ++i)
    if (over(UserButtons->Items(i)->Data.Rect))
      return UserButtons->Items(i)->Enabled() ? htUserButton + i : htCaption;
  return 0;
}

void TsCaptionButtons::SetHoverCode(int code) {
  if (capturing_ || code == hoverCode_) return;
  const int old = hoverCode_;
  hoverCode_ = code;
  pressed_ = false;
  if (TsTitleButtonRecord* b = ButtonOf(old); b && IsButtonCode(old) && b->State >= 0) {
    b->State = 0;
    Repaint(old);
  }
  if (TsTitleButtonRecord* b = ButtonOf(code); b && IsButtonCode(code) && b->State >= 0) {
    b->State = 1;
    Repaint(code);
  }
}

void TsCaptionButtons::Press(int code) {
  TsTitleButtonRecord* b = ButtonOf(code);
  if (!b || b->State < 0) return;
  if (hoverCode_ != code) {
    SetHoverCode(code);
    if (!(b = ButtonOf(code))) return;
  }
  b->State = 2;
  pressed_ = true;
  Repaint(code);
  if (HWND h = frame_.Window().Handle) {
    capturing_ = true;
    SetCapture(h);
  }
}

void TsCaptionButtons::ClickOn(int code) {
  TsTitleButtonRecord* b = ButtonOf(code);
  if (b && b->State >= 0) b->State = 0;
  pressed_ = false;
  hoverCode_ = 0;
  if (b) Repaint(code);
  if (OnClick) {
    auto handler = OnClick;  // the handler may free the frame and this object with it
    handler(code);
  }
}

bool TsCaptionButtons::Release(int code) {
  if (!pressed_ || code != hoverCode_ || !IsButtonCode(code)) return false;
  capturing_ = false;
  HWND h = frame_.Window().Handle;
  const std::shared_ptr<bool> alive = alive_;
  if (h && GetCapture() == h) ReleaseCapture();
  if (*alive) ClickOn(code);
  return true;
}

bool TsCaptionButtons::HandleCapturedMouse(TMessage& m) {
  if (!capturing_) return false;
  const int code = hoverCode_;
  TsTitleButtonRecord* b = ButtonOf(code);
  if (m.Msg == WM_CAPTURECHANGED) {
    capturing_ = false;
    if (b && b->State > 0) {
      b->State = 0;
      Repaint(code);
    }
    hoverCode_ = 0;
    pressed_ = false;
    return false;
  }
  if (m.Msg != WM_MOUSEMOVE && m.Msg != WM_LBUTTONUP) return false;
  if (!b) {
    capturing_ = false;
    return false;
  }
  const TsFrameWindow w = frame_.Window();
  // Captured mouse messages are in client coordinates.
  const TPoint p{GET_X_LPARAM(m.LParam) + w.Metrics.ClientLeft,
                 GET_Y_LPARAM(m.LParam) + w.Metrics.ClientTop};
  const bool over = b->Rect.Contains(p);
  if (m.Msg == WM_MOUSEMOVE) {
    const int state = over ? 2 : 0;
    if (b->State != state) {
      b->State = state;
      Repaint(code);
    }
    return true;
  }
  // Release: acts only over the button that was pressed.
  capturing_ = false;
  const std::shared_ptr<bool> alive = alive_;
  if (w.Handle && GetCapture() == w.Handle) ReleaseCapture();
  if (!*alive) return true;
  if (over && pressed_) {
    ClickOn(code);
  } else if ((b = ButtonOf(code))) {
    b->State = 0;
    hoverCode_ = 0;
    pressed_ = false;
    Repaint(code);
  }
  return true;
}

void TsCaptionButtons::TrackLeave() {
  if (hoverCode_ == 0) return;
  TRACKMOUSEEVENT t;
  t.dwFlags = TME_LEAVE | TME_NONCLIENT;
  t.hwndTrack = frame_.Window().Handle;
  TrackMouseEvent(&t);
}

}  // namespace vm
