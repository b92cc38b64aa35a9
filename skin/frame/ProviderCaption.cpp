// The caption of a skinned form as the form sees it: what a click on each
// caption button does, the system menu from the icon, a right click or
// Alt+Space, double clicks on the caption, and the window-state commands.
// The buttons themselves (layout, looks, hover, press, fades) are the frame
// painter's (CaptionButtons.h).
#include <algorithm>

#include "platform/win/MenuTracker.h"
#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"
#include "skin/frame/SkinProvider.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace vm {

namespace {

constexpr WPARAM ScContextHelp = 0xF180;

}  // namespace

void TsSkinProvider::LookUpMasks() {
  painter_.Buttons.LookUpMasks(form_->BorderStyle());
}

int TsSkinProvider::CaptionHitTest(TPoint p) {
  if (!Skinned()) return 0;
  const TsFrameMetrics fm = Metrics();
  if (fm.CaptionHeight <= 0) return 0;
  const bool edge = fm.Maximized &&
                    (p.X < 2 || p.Y < 2 || p.X >= fm.FrameWidth - 2 || p.Y >= fm.WindowHeight - 2);
  // The buttons' rectangles come from the last painting.
  if (!edge && SkinData.CacheInvalid) PaintFrame();
  return painter_.HitTest(p);
}

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

void TsSkinProvider::ButtonClicked(int code) {
  HWND h = FormHandle();
  if (!h) return;
  std::shared_ptr<THook> keep = hook_;
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
  TsCaptionButtons& buttons = painter_.Buttons;
  std::shared_ptr<THook> keep = hook_;
  switch (m.Msg) {
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE:
      if (!buttons.Capturing()) buttons.SetHoverCode(0);
      return false;
    case WM_NCMOUSEMOVE:
      // The platform tells when the mouse leaves the frame.
      buttons.TrackLeave();
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
        buttons.SetHoverCode(0);
        TRect window;
        GetWindowRect(FormHandle(), &window);
        OpenSystemMenu(
            {window.Left + fm.BorderWidth, window.Top + fm.BorderHeight + fm.IconSize.cy});
        return true;
      }
      if (code == htMinButton || code == htClose || code == htHelp) {
        buttons.Press(code);
        return true;
      }
      if (code == htMaxButton) {
        if (MaximizeAvailable() || (fm.Maximized && RestoreAvailable())) buttons.Press(code);
        return true;
      }
      if (code >= htUserButton && TitleButtons.Items(code - htUserButton)) {
        buttons.Press(code);
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
      if (buttons.Release(code)) return true;
      if (keep->Provider == this) buttons.SetHoverCode(0);
      return false;
    case WM_NCRBUTTONDOWN:
      return code == htCaption || code == htSysMenu;
    case WM_NCRBUTTONUP:
      if ((code == htCaption || code == htSysMenu) && fm.HasBorder) {
        buttons.SetHoverCode(0);
        OpenSystemMenu(screen);
        return true;
      }
      return false;
    default:
      return false;
  }
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
      painter_.Buttons.StopFade();
      CallPrevious(m);
      if (keep->Provider == this) {
        // A minimised window is painted anew.
        if (SkinData.CacheBmp) SkinData.CacheBmp->SetSize(0, 0);
        MarkChanged();
        painter_.RegionChanged = true;
      }
      return true;
    case SC_MAXIMIZE:
    case SC_RESTORE: {
      painter_.Buttons.StopFade();
      CallPrevious(m);
      if (keep->Provider != this) return true;
      MarkChanged();
      painter_.RegionChanged = true;
      if (Availability().MaximizeShown) {
        // The maximise button changes its shape.
        painter_.Buttons.Unhover(htMaxButton);
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
