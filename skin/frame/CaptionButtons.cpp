// The caption of a skinned form: the system buttons and user buttons drawn
// from the skin's masks, the hit test of every caption element, hover, press
// and release with fades, the system menu from the icon, a right click or
// Alt+Space, and the window-state commands.
#include <algorithm>

#include "platform/win/MenuTracker.h"
#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"
#include "skin/frame/SkinProvider.h"
#include "skin/paint/MaskPaint.h"
#include "skin/state/FadeTimer.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace vm {

namespace {

constexpr WPARAM ScContextHelp = 0xF180;
constexpr UINT_PTR FadeTimerId = 0x5B01;
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

bool IsButtonCode(int code) {
  return code == htMinButton || code == htMaxButton || code == htClose || code == htHelp ||
         (code >= htChildClose && code <= htChildMinimize) || code >= htUserButton;
}

}  // namespace

// ---------------------------------------------------------------- masks and rules

void TsSkinProvider::LookUpMasks() {
  for (TsTitleButtonRecord& b : buttons_) b = TsTitleButtonRecord{};
  masks_ = TsTitleMasks{};
  TsSkinManager* m = FrameManager();
  if (!m || m->gd.empty()) return;
  masks_ = LookUpTitleMasks(*m, SkinData.SectionIndex, form_->BorderStyle());
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
  TitleButtons.UpdateMasks(masks_.TitleButton);
  for (int i = 0; i < TitleButtons.Count(); ++i) TitleButtons.Items(i)->Data.State = 0;
}

TSize TsSkinProvider::CellOf(int maskIndex, TSize fallback) const {
  TsSkinManager* m = FrameManager();
  return m ? TitleMaskCell(*m, maskIndex, fallback) : fallback;
}

TsFormAvailability TsSkinProvider::Availability() const {
  return FormAvailability(*form_, SystemMenuPresent());
}

bool TsSkinProvider::ButtonShown(int which) const {
  const TsFormAvailability a = Availability();
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

void TsSkinProvider::LayoutButtons(TBitmap& cache, const TsFrameMetrics& fm, bool draw) {
  buttonsWidth_ = 0;
  for (int i = 0; i < ButtonCount; ++i) buttons_[std::size_t(i)].Rect = {};
  for (int i = 0; i < TitleButtons.Count(); ++i) TitleButtons.Items(i)->Data.Rect = {};
  TsSkinManager* m = FrameManager();
  if (!m || !fm.HasBorder || fm.CaptionHeight <= 0) return;
  const int spacing = m->SkinData.BISpacing;
  int x = fm.FrameWidth - fm.BorderWidth - spacing;
  auto place = [&](TRect& r, TSize cell) {
    r.Right = x;
    r.Left = x - cell.cx;
    r.Top = (fm.CaptionHeight + fm.BorderHeight - cell.cy) / 2 + (cell.cy < 16 ? 2 : 0);
    r.Bottom = r.Top + cell.cy;
    x = r.Left - spacing;
    buttonsWidth_ += cell.cx + spacing;
  };
  for (int which : {int(bClose), int(bMax), int(bMin), int(bHelp)}) {
    TsTitleButtonRecord& b = buttons_[std::size_t(which)];
    if (b.MaskIndex < 0 || !ButtonShown(which)) continue;
    place(b.Rect, CellOf(b.MaskIndex, ButtonFallback));
    if (draw) DrawButton(cache, which, false);
  }
  const TSize userCell = CellOf(masks_.TitleButton, ButtonFallback);
  for (int i = 0; i < TitleButtons.Count(); ++i) {
    TsTitleButton& u = *TitleButtons.Items(i);
    u.Data.MaskIndex = u.UseSkinData() ? masks_.TitleButton : -1;
    if (u.Data.State < 0) u.Data.State = 0;  // a button added since the skin was applied
    place(u.Data.Rect, {u.ButtonWidth(m, masks_.TitleButton), userCell.cy});
    if (draw) DrawUserButton(cache, i, false);
  }
}

void TsSkinProvider::DrawButton(TBitmap& cache, int which, bool single) {
  TsSkinManager* m = FrameManager();
  TsTitleButtonRecord& b = buttons_[std::size_t(which)];
  if (!m || b.Rect.IsEmpty()) return;
  HWND h = FormHandle();
  const bool minimized = h && IsIconic(h), maximized = h && IsZoomed(h);
  int mask = b.MaskIndex;
  bool available = true;
  if (which == bMax) {
    if (maximized && m->IsValidMaskIndex(masks_.Restore)) mask = masks_.Restore;
    available = maximized ? RestoreAvailable() : MaximizeAvailable();
  } else if (which == bMin) {
    if (minimized && m->IsValidMaskIndex(masks_.Restore)) mask = masks_.Restore;
    available = minimized ? RestoreAvailable() : MinimizeAvailable();
  }
  if (!m->IsValidMaskIndex(mask)) return;
  const int state = std::max(b.State, 0);
  const bool light = !available || (!formActive_ && (!single || state == 0));
  PaintStateImage(cache, {b.Rect.Left, b.Rect.Top}, state, m->ma[std::size_t(mask)], light ? 2 : 1);
}

void TsSkinProvider::DrawUserButton(TBitmap& cache, int index, bool single) {
  TsSkinManager* m = FrameManager();
  TsTitleButton* u = TitleButtons.Items(index);
  if (!m || !u || u->Data.Rect.IsEmpty()) return;
  const int state = std::max(u->Data.State, 0);
  if (m->IsValidMaskIndex(u->Data.MaskIndex)) {
    const bool light = !u->Enabled() || (!formActive_ && (!single || state == 0));
    PaintStateImage(cache, {u->Data.Rect.Left, u->Data.Rect.Top}, state,
                    m->ma[std::size_t(u->Data.MaskIndex)], light ? 2 : 1);
  }
  u->DrawGlyph(cache, state == 2);
}

TsTitleButtonRecord* TsSkinProvider::ButtonOf(int code) {
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
      if (TsTitleButton* u =
              code >= htUserButton ? TitleButtons.Items(code - htUserButton) : nullptr)
        return &u->Data;
      return nullptr;
  }
}

void TsSkinProvider::RepaintButton(int code) {
  TsTitleButtonRecord* b = ButtonOf(code);
  TBitmap& cache = *SkinData.CacheBmp;
  if (!b || b->Rect.IsEmpty() || SkinData.CacheInvalid || cache.Empty()) return;
  const TRect r = b->Rect.Intersect(Rect(0, 0, cache.Width(), cache.Height()));
  if (r.IsEmpty()) return;
  const int oldState = fade_.Code == code ? -1 : 0;
  (void)oldState;
  // The look on the screen before the change, for a fade.
  TBitmap before(r.Width(), r.Height());
  TDC(before).BitBlt(0, 0, r.Width(), r.Height(), cache, r.Left, r.Top);
  // Background copy, then the cell in its new state.
  const TRect back = r.Offset(-buttonsBackRect_.Left, -buttonsBackRect_.Top);
  if (back.Left >= 0 && back.Top >= 0 && back.Right <= buttonsBack_.Width() &&
      back.Bottom <= buttonsBack_.Height())
    TDC(cache).BitBlt(r.Left, r.Top, r.Width(), r.Height(), buttonsBack_, back.Left, back.Top);
  if (code >= htUserButton)
    DrawUserButton(cache, code - htUserButton, true);
  else
    DrawButton(cache, int(b - buttons_.data()), true);
  HWND h = FormHandle();
  if (!h || !IsWindowVisible(h)) return;
  // Fades come from the caption strip's section.
  TsSkinManager* m = FrameManager();
  const int title = TitleIndex();
  const bool fades = title >= 0 && m->gd[std::size_t(title)].FadingEnabled &&
                     m->gd[std::size_t(title)].FadingIterations > 0 && !AnimationsOff &&
                     !IsFadingSuspended();
  if (fades) {
    if (fade_.Code && fade_.Code != code) StopButtonFade();
    if (fade_.Code == code && !fade_.Frame.Empty() && fade_.Frame.Width() == r.Width() &&
        fade_.Frame.Height() == r.Height())
      before = fade_.Frame;  // a fade restarted mid-way starts from what is on the screen
    fade_.Code = code;
    fade_.Rect = r;
    fade_.Start = std::move(before);
    fade_.Step = 0;
    fade_.StepCount = m->gd[std::size_t(title)].FadingIterations;
    std::weak_ptr<THook> link = hook_;
    if (!fade_.Timer)
      fade_.Timer = SetTimer(h, FadeTimerId, 10, [link](HWND, UINT, UINT_PTR, DWORD) {
        if (auto hook = link.lock(); hook && hook->Provider) hook->Provider->FadeTick();
      });
    FadeTick();
    return;
  }
  TScopedDC dc(h, true);
  if (dc.Dc()) dc.Dc()->BitBlt(r.Left, r.Top, r.Width(), r.Height(), cache, r.Left, r.Top);
}

void TsSkinProvider::FadeTick() {
  HWND h = FormHandle();
  TBitmap& cache = *SkinData.CacheBmp;
  const TRect r = fade_.Rect;
  if (!h || !IsWindowVisible(h) || !fade_.Code || r.Right > cache.Width() ||
      r.Bottom > cache.Height()) {
    StopButtonFade();
    return;
  }
  ++fade_.Step;
  TBitmap target(r.Width(), r.Height());
  TDC(target).BitBlt(0, 0, r.Width(), r.Height(), cache, r.Left, r.Top);
  if (fade_.Step >= fade_.StepCount)
    fade_.Frame = std::move(target);
  else
    MakeFadeFrame(fade_.Frame, fade_.Start, target, fade_.Step, fade_.StepCount);
  {
    TScopedDC dc(h, true);
    if (dc.Dc()) dc.Dc()->BitBlt(r.Left, r.Top, r.Width(), r.Height(), fade_.Frame, 0, 0);
  }
  if (fade_.Step >= fade_.StepCount) StopButtonFade();
}

void TsSkinProvider::StopButtonFade() {
  if (fade_.Timer) {
    if (HWND h = FormHandle()) KillTimer(h, FadeTimerId);
    fade_.Timer = 0;
  }
  fade_.Code = 0;
  fade_.Step = fade_.StepCount = 0;
  fade_.Start = TBitmap();
  fade_.Frame = TBitmap();
}

// ---------------------------------------------------------------- hit test and hover

int TsSkinProvider::CaptionHitTest(TPoint p) {
  if (!Skinned()) return 0;
  const TsFrameMetrics fm = Metrics();
  if (fm.CaptionHeight <= 0) return 0;
  if (fm.Maximized &&
      (p.X < 2 || p.Y < 2 || p.X >= fm.FrameWidth - 2 || p.Y >= fm.WindowHeight - 2))
    return -1;
  // The buttons' rectangles come from the last painting.
  if (SkinData.CacheInvalid) PaintFrame();
  int code = 0;
  const TSize cell = CellOf(buttons_[bClose].MaskIndex, ButtonFallback);
  const int bandTop = (fm.BorderHeight + fm.CaptionHeight - cell.cy) / 2;
  if (p.Y >= bandTop && p.Y <= bandTop + cell.cy) {
    // Inside the band only X decides: the band includes its last row, one
    // below the buttons' painted rectangles.
    auto over = [&](const TRect& r) { return !r.IsEmpty() && p.X >= r.Left && p.X < r.Right; };
    if (fm.IconShown && p.X >= fm.BorderWidth && p.X <= fm.BorderWidth + fm.IconSize.cx) {
      code = htSysMenu;
    } else if (over(buttons_[bClose].Rect)) {
      code = htClose;
    } else if (over(buttons_[bMax].Rect)) {
      code = MaximizeAvailable() || (!fm.Minimized && RestoreAvailable()) ? htMaxButton : htCaption;
    } else if (over(buttons_[bMin].Rect)) {
      code = fm.Minimized || MinimizeAvailable() ? htMinButton : htCaption;
    } else if (over(buttons_[bHelp].Rect)) {
      code = htHelp;
    } else {
      for (int i = 0; i < TitleButtons.Count(); ++i)
        if (over(TitleButtons.Items(i)->Data.Rect)) {
          code = TitleButtons.Items(i)->Enabled() ? htUserButton + i : htCaption;
          break;
        }
    }
  } else if (gripMode_ == gmRightBottom) {
    TsSkinManager* m = FrameManager();
    const int grip = m->FindMaskIndex(m->ConstData().GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
    if (m->IsValidMaskIndex(grip)) {
      const TSize g = m->MaskStateSize(grip);
      if (p.X >= fm.FrameWidth - g.cx - fm.BorderWidth &&
          p.Y >= fm.WindowHeight - g.cy - fm.BorderHeight)
        code = htBottomRight;
    }
  }
  SetHoverCode(code);
  return code;
}

void TsSkinProvider::SetHoverCode(int code) {
  if (capturing_ || code == hoverCode_) return;
  const int old = hoverCode_;
  hoverCode_ = code;
  pressed_ = false;
  std::shared_ptr<THook> keep = hook_;
  if (TsTitleButtonRecord* b = ButtonOf(old); b && IsButtonCode(old) && b->State >= 0) {
    b->State = 0;
    RepaintButton(old);
    if (keep->Provider != this) return;
  }
  if (TsTitleButtonRecord* b = ButtonOf(code); b && IsButtonCode(code) && b->State >= 0) {
    b->State = 1;
    RepaintButton(code);
  }
}

void TsSkinProvider::SetPressed(int code) {
  TsTitleButtonRecord* b = ButtonOf(code);
  if (!b || b->State < 0) return;
  if (hoverCode_ != code) {
    SetHoverCode(code);
    if (!ButtonOf(code)) return;
  }
  b->State = 2;
  pressed_ = true;
  RepaintButton(code);
  if (HWND h = FormHandle()) {
    capturing_ = true;
    SetCapture(h);
  }
}

// ---------------------------------------------------------------- mouse and keyboard

void TsSkinProvider::OpenSystemMenu(TPoint screen) {
  HWND h = FormHandle();
  if (!h) return;
  if (OnSystemMenu) {
    OnSystemMenu(*this, screen);
    return;
  }
  // Without the skinned menu the platform's window menu opens; it needs the
  // window's system-menu style for the time it is up.
  const bool removed = systemMenuRemoved_;
  if (removed) RestoreSystemMenuStyle();
  std::shared_ptr<THook> keep = hook_;
  TMenuTracker::TrackSystemMenuAt(h, screen);
  if (keep->Provider == this && removed && Skinned()) RemoveSystemMenuStyle();
}

void TsSkinProvider::ReleaseOn(int code) {
  std::shared_ptr<THook> keep = hook_;
  HWND h = FormHandle();
  TsTitleButtonRecord* b = ButtonOf(code);
  if (b && b->State >= 0) b->State = 0;
  pressed_ = false;
  hoverCode_ = 0;
  if (b) RepaintButton(code);
  if (keep->Provider != this || !(h = FormHandle())) return;
  const bool minimized = IsIconic(h), maximized = IsZoomed(h);
  switch (code) {
    case htMinButton:
      SendMessage(h, WM_SYSCOMMAND,
                  minimized && (!Application || Application->MainForm() != form_) ? SC_RESTORE
                                                                                  : SC_MINIMIZE,
                  0);
      break;
    case htMaxButton:
      if (maximized)
        SendMessage(h, WM_SYSCOMMAND, SC_RESTORE, 0);
      else if (MaximizeAvailable())
        SendMessage(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
      break;
    case htClose:
      SendMessage(h, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case htHelp:
      SendMessage(h, WM_SYSCOMMAND, ScContextHelp, 0);
      if (keep->Provider == this) RepaintFrame();
      break;
    default:
      if (TsTitleButton* u =
              code >= htUserButton ? TitleButtons.Items(code - htUserButton) : nullptr;
          u && u->OnMouseUp) {
        auto handler = u->OnMouseUp;
        TPoint p;
        GetCursorPos(&p);
        handler(u, mbLeft, 0, p.X, p.Y);
      }
      break;
  }
}

bool TsSkinProvider::HandleNcMouse(TMessage& m) {
  const int code = int(LOWORD(m.WParam)) == 0xFFFF ? -1 : int(std::int16_t(LOWORD(m.WParam)));
  const TPoint screen{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  const TsFrameMetrics fm = Metrics();
  std::shared_ptr<THook> keep = hook_;
  switch (m.Msg) {
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE:
      if (!capturing_) SetHoverCode(0);
      return false;
    case WM_NCMOUSEMOVE:
      // The platform tells when the mouse leaves the frame.
      if (hoverCode_ != 0) {
        TRACKMOUSEEVENT t;
        t.dwFlags = TME_LEAVE | TME_NONCLIENT;
        t.hwndTrack = FormHandle();
        TrackMouseEvent(&t);
      }
      return false;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      if (m.Msg == WM_NCLBUTTONDBLCLK && code == htCaption) {
        const bool canToggle =
            (SystemMenuPresent() && (MaximizeAvailable() || RestoreAvailable())) ||
            (fm.Minimized && !fm.HasBorder);
        if (!canToggle) return false;
        HWND h = FormHandle();
        SendMessage(h, WM_SYSCOMMAND, fm.Maximized || fm.Minimized ? SC_RESTORE : SC_MAXIMIZE, 0);
        return true;
      }
      if (m.Msg == WM_NCLBUTTONDBLCLK && code == htSysMenu) {
        SendMessage(FormHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
      }
      if (code == htSysMenu) {
        SetHoverCode(0);
        TRect window;
        GetWindowRect(FormHandle(), &window);
        OpenSystemMenu(
            {window.Left + fm.BorderWidth, window.Top + fm.BorderHeight + fm.IconSize.cy});
        return true;
      }
      if (code == htMinButton || code == htClose || code == htHelp) {
        SetPressed(code);
        return true;
      }
      if (code == htMaxButton) {
        if (MaximizeAvailable() || (fm.Maximized && RestoreAvailable())) SetPressed(code);
        return true;
      }
      if (code >= htUserButton && TitleButtons.Items(code - htUserButton)) {
        SetPressed(code);
        if (keep->Provider != this) return true;
        if (TsTitleButton* u = TitleButtons.Items(code - htUserButton); u && u->OnMouseDown) {
          auto handler = u->OnMouseDown;
          handler(u, mbLeft, 0, screen.X, screen.Y);
        }
        return true;
      }
      if (code == htCaption && fm.Maximized) {
        // A maximised window cannot be dragged: the press only activates it.
        if (HWND h = FormHandle(); h && GetActiveWindow() != h) SetActiveWindow(h);
        return true;
      }
      return false;
    }
    case WM_NCLBUTTONUP:
      if (pressed_ && code == hoverCode_ && IsButtonCode(code)) {
        capturing_ = false;
        if (GetCapture() == FormHandle()) ReleaseCapture();
        ReleaseOn(code);
        return true;
      }
      if (keep->Provider == this) SetHoverCode(0);
      return false;
    case WM_NCRBUTTONDOWN:
      return code == htCaption || code == htSysMenu;
    case WM_NCRBUTTONUP:
      if ((code == htCaption || code == htSysMenu) && fm.HasBorder) {
        SetHoverCode(0);
        OpenSystemMenu(screen);
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool TsSkinProvider::HandleCapturedMouse(TMessage& m) {
  const int code = hoverCode_;
  TsTitleButtonRecord* b = ButtonOf(code);
  if (m.Msg == WM_CAPTURECHANGED) {
    capturing_ = false;
    if (b && b->State > 0) {
      b->State = 0;
      RepaintButton(code);
    }
    hoverCode_ = 0;
    pressed_ = false;
    return false;
  }
  if (!b) {
    capturing_ = false;
    return false;
  }
  const TsFrameMetrics fm = Metrics();
  // Captured mouse messages are in client coordinates.
  const TPoint p{GET_X_LPARAM(m.LParam) + fm.ClientLeft, GET_Y_LPARAM(m.LParam) + fm.ClientTop};
  const bool over = b->Rect.Contains(p);
  if (m.Msg == WM_MOUSEMOVE) {
    const int state = over ? 2 : 0;
    if (b->State != state) {
      b->State = state;
      RepaintButton(code);
    }
    return true;
  }
  // Release: acts only over the button that was pressed.
  capturing_ = false;
  if (GetCapture() == FormHandle()) ReleaseCapture();
  if (over && pressed_) {
    ReleaseOn(code);
  } else {
    b->State = 0;
    hoverCode_ = 0;
    pressed_ = false;
    RepaintButton(code);
  }
  return true;
}

bool TsSkinProvider::HandleSysCommand(TMessage& m) {
  const WPARAM command = m.WParam & 0xFFF0;
  std::shared_ptr<THook> keep = hook_;
  const TsFrameMetrics fm = Metrics();
  switch (command) {
    case SC_KEYMENU:
      if (m.LParam == ' ' && SystemMenuPresent() && fm.HasBorder) {
        TRect window;
        GetWindowRect(FormHandle(), &window);
        OpenSystemMenu(
            {window.Left + fm.BorderWidth, window.Top + fm.BorderHeight + fm.IconSize.cy});
        m.Result = 0;
        return true;
      }
      return false;
    case SC_MINIMIZE:
      StopButtonFade();
      CallPrevious(m);
      if (keep->Provider == this) {
        // A minimised window is painted anew.
        if (SkinData.CacheBmp) SkinData.CacheBmp->SetSize(0, 0);
        MarkChanged();
        regionChanged_ = true;
      }
      return true;
    case SC_MAXIMIZE:
    case SC_RESTORE: {
      StopButtonFade();
      CallPrevious(m);
      if (keep->Provider != this) return true;
      MarkChanged();
      regionChanged_ = true;
      if (ButtonShown(bMax)) {
        // The maximise button changes its shape.
        hoverCode_ = htMaxButton;
        SetHoverCode(0);
      }
      if (command == SC_RESTORE && !fm.HasBorder) RemoveRegion();
      RepaintFrame();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace vm
