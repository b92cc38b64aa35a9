#include "skin/subclass/DialogWnd.h"

#include "platform/win/MenuTracker.h"
#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"
#include "skin/frame/CaptionIcon.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/CommonData.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Colors.h"

namespace vm {

namespace {

// The platform's extended style of a window with a help button in its caption.
constexpr DWORD WsExContextHelp = 0x00000400;
constexpr WPARAM ScContextHelp = 0xF180;

void Answer(TMessage& m, LRESULT value) {
  m.Result = value;
  m.LParam = value;
}

DWORD StyleOf(HWND h) {
  return DWORD(GetWindowLongPtr(h, GWL_STYLE));
}

DWORD ExStyleOf(HWND h) {
  return DWORD(GetWindowLongPtr(h, GWL_EXSTYLE));
}

constexpr UINT RedrawAll = RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;

}  // namespace

TnxDialogWnd::TnxDialogWnd(HWND window, bool repaint, const std::string& section,
                           TsSkinManager* manager, TsCommonData* commonData)
    : TnxMainWnd(window, repaint, section, manager, commonData),
      painter_(*SkinData(), [this] { return FrameWindow(); }) {
  painter_.Buttons.OnClick = [this](int code) { ButtonClicked(code); };
  if (Detached()) return;
  active_ = GetActiveWindow() == window;
  if (SkinActive()) Rebuild();
}

TnxDialogWnd::~TnxDialogWnd() {
  *alive_ = false;
  // Detached here, while this object's clean-up is still the one that runs.
  Detach();
}

bool TnxDialogWnd::Skinned() const {
  const TsSkinManager* m = SkinManager();
  return !Detached() && SkinActive() && m->IsValidSectionIndex(SkinData()->SectionIndex);
}

TFormBorderStyle TnxDialogWnd::BorderStyle() const {
  return BorderStyleOfWindow(StyleOf(Handle()), ExStyleOf(Handle()));
}

TsFrameWindow TnxDialogWnd::FrameWindow() {
  TsFrameWindow w;
  const HWND h = Handle();
  if (!IsWindow(h)) return w;
  w.Handle = h;
  const DWORD style = StyleOf(h), ex = ExStyleOf(h);
  TsFrameStyle fs;
  fs.BorderStyle = BorderStyle();
  fs.HasMenu = GetMenu(h) != nullptr;
  // The platform draws no icon in a modal dialog frame.
  fs.ShowAppIcon = !(ex & WS_EX_DLGMODALFRAME);
  w.Metrics = MeasureWindowFrame(h, fs);
  TBorderIcons icons = 0;
  if (systemMenuRemoved_ || (style & WS_SYSMENU)) icons |= biSystemMenu;
  if (style & WS_MINIMIZEBOX) icons |= biMinimize;
  if (style & WS_MAXIMIZEBOX) icons |= biMaximize;
  if (ex & WsExContextHelp) icons |= biHelp;
  const TsFormWindowState state = w.Metrics.Minimized   ? fwsMinimized
                                  : w.Metrics.Maximized ? fwsMaximized
                                                        : fwsNormal;
  w.Availability = FormAvailability(fs.BorderStyle, icons, state, false, systemMenuRemoved_);
  w.SystemMenuPresent = systemMenuRemoved_;
  w.Active = active_;
  w.Caption = GetWindowText(h);
  NONCLIENTMETRICS ncm;
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0)) w.Font = ncm.lfCaptionFont;
  w.PaintIcon = [h](TBitmap& cache, const TsFrameMetrics& fm) {
    PaintWindowIcon(cache, h, fm.IconRect);
  };
  w.MenuShown = fs.HasMenu;
  w.MenuRows = [] { return 1; };
  return w;
}

// ---------------------------------------------------------------- skin state

void TnxDialogWnd::RemoveSystemMenuStyle() {
  const HWND h = Handle();
  const DWORD style = StyleOf(h);
  if (!(style & WS_SYSMENU)) return;
  SetWindowLongPtr(h, GWL_STYLE, LONG_PTR(style & ~WS_SYSMENU));
  systemMenuRemoved_ = true;
}

void TnxDialogWnd::RestoreSystemMenuStyle() {
  if (!systemMenuRemoved_) return;
  systemMenuRemoved_ = false;
  const HWND h = Handle();
  if (IsWindow(h)) SetWindowLongPtr(h, GWL_STYLE, LONG_PTR(StyleOf(h) | WS_SYSMENU));
}

void TnxDialogWnd::Rebuild() {
  const HWND h = Handle();
  if (Detached() || !IsWindow(h)) return;
  SkinData()->UpdateIndexes();
  if (!Skinned()) {
    ShowPlain();
    return;
  }
  // Set first: what follows may send the window messages that would come
  // back here.
  prepared_ = true;
  if (painter_.Buttons.Capturing() && GetCapture() == h) ReleaseCapture();
  painter_.Reset();
  painter_.Buttons.LookUpMasks(BorderStyle());
  RemoveSystemMenuStyle();
  SkinData()->CacheInvalid = true;
  painter_.RegionChanged = true;
  if (IsWindowVisible(h)) RedrawWindow(h, nullptr, nullptr, RedrawAll);
}

void TnxDialogWnd::ShowPlain() {
  const HWND h = Handle();
  if (painter_.Buttons.Capturing() && IsWindow(h) && GetCapture() == h) ReleaseCapture();
  painter_.Reset();
  SkinData()->CacheInvalid = true;
  prepared_ = false;
  if (destroying_ || !IsWindow(h)) return;
  const bool changed = systemMenuRemoved_ || painter_.RegionSet();
  RestoreSystemMenuStyle();
  painter_.RemoveRegion(h);
  if (changed && IsWindowVisible(h)) RedrawWindow(h, nullptr, nullptr, RedrawAll);
}

void TnxDialogWnd::CleanUp() {
  // The base forgets the cache and the hot window; the frame goes back to
  // the platform's look (unless the window is on its way out).
  TnxMainWnd::CleanUp();
  ShowPlain();
}

// ---------------------------------------------------------------- painting

bool TnxDialogWnd::CacheFits(const TsFrameMetrics& fm) const {
  const TBitmap* cache = SkinData()->CacheBmp.get();
  return cache && cache->Width() == fm.FrameWidth && cache->Height() == fm.WindowHeight;
}

void TnxDialogWnd::PaintFrame() {
  if (!Skinned()) return;
  painter_.Paint(FrameWindow());
  SkinData()->CacheInvalid = false;
}

void TnxDialogWnd::PaintNonClient() {
  const HWND h = Handle();
  if (!Skinned() || !IsWindowVisible(h)) return;
  const TsFrameWindow w = FrameWindow();
  const TsFrameMetrics& fm = w.Metrics;
  if (SkinData()->CacheInvalid || !CacheFits(fm)) PaintFrame();
  if (painter_.RegionChanged && (fm.HasBorder || fm.Minimized)) painter_.UpdateRegion(w);
  if (SkinData()->CacheBmp && !SkinData()->CacheBmp->Empty()) {
    TScopedDC dc(h, true);
    if (dc.Dc()) painter_.CopyPieces(*dc.Dc(), fm);
  }
}

void TnxDialogWnd::RepaintFrame() {
  if (!Skinned()) return;
  SkinData()->CacheInvalid = true;
  painter_.DropCaptionCopy();
  PaintNonClient();
}

// ---------------------------------------------------------------- caption

int TnxDialogWnd::CaptionHitTest(TPoint p) {
  if (!Skinned()) return 0;
  const TsFrameMetrics fm = FrameWindow().Metrics;
  if (fm.CaptionHeight <= 0) return 0;
  // The buttons' rectangles come from the last painting.
  if (SkinData()->CacheInvalid || !CacheFits(fm)) PaintFrame();
  return painter_.HitTest(p);
}

void TnxDialogWnd::ButtonClicked(int code) {
  const HWND h = Handle();
  if (!IsWindow(h)) return;
  switch (code) {
    case htClose:
      // As the platform's own close button: the dialog decides what closing means.
      SendMessage(h, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case htMinButton:
      SendMessage(h, WM_SYSCOMMAND, IsIconic(h) ? SC_RESTORE : SC_MINIMIZE, 0);
      break;
    case htMaxButton:
      SendMessage(h, WM_SYSCOMMAND, IsZoomed(h) ? SC_RESTORE : SC_MAXIMIZE, 0);
      break;
    case htHelp:
      SendMessage(h, WM_SYSCOMMAND, ScContextHelp, 0);
      break;
    default:
      break;
  }
}

void TnxDialogWnd::OpenSystemMenu(TPoint screen) {
  // The platform's window menu needs the system-menu style while it is up.
  const HWND h = Handle();
  const std::shared_ptr<bool> alive = alive_;
  const bool removed = systemMenuRemoved_;
  if (removed) RestoreSystemMenuStyle();
  TMenuTracker::TrackSystemMenuAt(h, screen);
  if (*alive && removed && Skinned() && IsWindow(h)) RemoveSystemMenuStyle();
}

bool TnxDialogWnd::HandleNcMouse(TMessage& m) {
  const int code = int(LOWORD(m.WParam)) == 0xFFFF ? -1 : int(std::int16_t(LOWORD(m.WParam)));
  TsCaptionButtons& buttons = painter_.Buttons;
  const std::shared_ptr<bool> alive = alive_;
  switch (m.Msg) {
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE:
      if (!buttons.Capturing()) buttons.SetHoverCode(0);
      return false;
    case WM_NCMOUSEMOVE:
      buttons.TrackLeave();
      return false;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      const TsFrameWindow w = FrameWindow();
      if (code == htClose || code == htMinButton || code == htHelp) {
        buttons.Press(code);
        return true;
      }
      if (code == htMaxButton) {
        const TsFormAvailability& a = w.Availability;
        if (a.MaximizeEnabled || (w.Metrics.Maximized && a.RestoreEnabled)) buttons.Press(code);
        return true;
      }
      if (code == htSysMenu && m.Msg == WM_NCLBUTTONDBLCLK) {
        SendMessage(Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
      }
      if (code == htSysMenu) {
        buttons.SetHoverCode(0);
        TRect window;
        GetWindowRect(Handle(), &window);
        OpenSystemMenu({window.Left + w.Metrics.BorderWidth,
                        window.Top + w.Metrics.BorderHeight + w.Metrics.IconSize.cy});
        return true;
      }
      return false;
    }
    case WM_NCLBUTTONUP:
      if (buttons.Release(code)) return true;
      if (*alive) buttons.SetHoverCode(0);
      return false;
    case WM_NCRBUTTONDOWN:
      return code == htCaption || code == htSysMenu;
    case WM_NCRBUTTONUP:
      if (code == htCaption || code == htSysMenu) {
        buttons.SetHoverCode(0);
        OpenSystemMenu({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool TnxDialogWnd::HandleSysCommand(TMessage& m) {
  const WPARAM command = m.WParam & 0xFFF0;
  const std::shared_ptr<bool> alive = alive_;
  switch (command) {
    case SC_KEYMENU:
      if (m.LParam == ' ' && systemMenuRemoved_) {
        const TsFrameMetrics fm = FrameWindow().Metrics;
        TRect window;
        GetWindowRect(Handle(), &window);
        OpenSystemMenu(
            {window.Left + fm.BorderWidth, window.Top + fm.BorderHeight + fm.IconSize.cy});
        m.Result = 0;
        return true;
      }
      return false;
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_RESTORE:
      painter_.Buttons.StopFade();
      CallPrevious(m);
      if (!*alive || Detached()) return true;
      SkinData()->CacheInvalid = true;
      painter_.RegionChanged = true;
      // The maximise and minimise buttons may change their shape.
      painter_.Buttons.Unhover(command == SC_MINIMIZE ? htMinButton : htMaxButton);
      RepaintFrame();
      return true;
    default:
      return false;
  }
}

// ---------------------------------------------------------------- messages

bool TnxDialogWnd::HandleSkinCommand(TMessage& m) {
  const int command = CommandOf(m.WParam);
  TsSkinManager* manager = SkinManager();
  const bool own = manager && m.LParam == reinterpret_cast<LPARAM>(manager);
  switch (command) {
    case CmdNewSkin:
    case CmdRefresh: {
      // The base takes the new skin's indexes; then the whole frame is made
      // anew (or given back plain when the skin has no section for it).
      const std::shared_ptr<bool> alive = alive_;
      TnxMainWnd::WndProc(m);
      if (*alive && own && !Detached()) Rebuild();
      return true;
    }
    case CmdGetBackground: {
      if (!Skinned()) {
        // Nothing to read behind the children: the dialog's own answer.
        CallPrevious(m);
        return true;
      }
      const TsFrameMetrics fm = FrameWindow().Metrics;
      if (SkinData()->CacheInvalid || !CacheFits(fm)) PaintFrame();
      BackgroundAnswer = BackgroundInfo{SkinData()->CacheBmp.get(), fm.ClientLeft, fm.ClientTop, 1};
      Answer(m, 1);
      return true;
    }
    case CmdGetClientOffset: {
      if (!Skinned()) return false;
      const TsFrameMetrics fm = FrameWindow().Metrics;
      Answer(m, LRESULT(MAKELONG(fm.ClientLeft, fm.ClientTop)));
      return true;
    }
    case CmdQuerySeeThrough: {
      if (!Skinned()) return false;
      const TsGeneralData& gd = manager->gd[std::size_t(SkinData()->SectionIndex)];
      Answer(m, gd.GradientPercent + gd.ImagePercent > 0 ? 1 : 0);
      return true;
    }
    case CmdGetColour:
      if (!Skinned()) return false;
      ParentColor = ColorToRGB(manager->gd[std::size_t(SkinData()->SectionIndex)].HotColor);
      m.Result = 1;
      return true;
    default:
      return false;
  }
}

void TnxDialogWnd::WndProc(TMessage& m) {
  if (m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) destroying_ = true;
  if (m.Msg == SM_NIRVEXCMD && HandleSkinCommand(m)) return;
  if (!Skinned()) {
    // Skinning stopped without a word to this window (the manager switched
    // off): the frame is made plain before the platform paints it.
    if (prepared_ && !destroying_) ShowPlain();
    TnxMainWnd::WndProc(m);
    return;
  }
  // And back on: the frame is made again from the skin now active.
  if (!prepared_ && !destroying_) Rebuild();
  // A click's command or the platform's handling may free this object.
  const std::shared_ptr<bool> alive = alive_;
  const HWND h = Handle();
  switch (m.Msg) {
    case WM_NCPAINT:
      PaintNonClient();
      m.Result = 0;
      return;
    case WM_NCACTIVATE: {
      const bool active = m.WParam != 0;
      if (active != active_) SkinData()->CacheInvalid = true;
      active_ = active;
      // The platform paints its own caption here: redrawing is off around
      // its handling, and the skinned frame is painted after it.
      const bool visible = (StyleOf(h) & WS_VISIBLE) != 0;
      if (visible) SendMessage(h, WM_SETREDRAW, 0, 0);
      CallPrevious(m);
      if (!*alive || !IsWindow(h)) return;
      if (visible) SendMessage(h, WM_SETREDRAW, 1, 0);
      if (*alive) PaintNonClient();
      return;
    }
    case WM_ACTIVATE: {
      CallPrevious(m);
      if (!*alive) return;
      const bool active = LOWORD(m.WParam) != WA_INACTIVE;
      if (active != active_) {
        active_ = active;
        RepaintFrame();
      }
      return;
    }
    case WM_SETTEXT:
    case WM_SETICON:
    case WM_SETTINGCHANGE:
      // Text and icon are part of the caption strip (and of its copy).
      SkinData()->CacheInvalid = true;
      painter_.DropCaptionCopy();
      TnxMainWnd::WndProc(m);
      // The platform repaints the frame after a new text or icon; a frame
      // still stale is painted here.
      if (*alive && SkinData()->CacheInvalid) PaintNonClient();
      return;
    case WM_SIZE:
      SkinData()->CacheInvalid = true;
      painter_.RegionChanged = true;
      break;
    case WM_WINDOWPOSCHANGED: {
      CallPrevious(m);
      if (!*alive) return;
      if (!CacheFits(FrameWindow().Metrics)) {
        SkinData()->CacheInvalid = true;
        painter_.RegionChanged = true;
        PaintNonClient();
      }
      return;
    }
    case WM_ERASEBKGND: {
      // The client background is the section's, from the frame cache.
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const TsFrameMetrics fm = FrameWindow().Metrics;
      if (SkinData()->CacheInvalid || !CacheFits(fm)) PaintFrame();
      if (dc) painter_.CopyClient(*dc, fm, Rect(0, 0, fm.ClientWidth, fm.ClientHeight));
      m.Result = 1;
      return;
    }
    case WM_SHOWWINDOW:
      if (!m.WParam) painter_.Buttons.StopFade();
      break;
    case WM_NCHITTEST: {
      CallPrevious(m);
      if (!*alive) return;
      TRect window;
      GetWindowRect(h, &window);
      const TPoint p{GET_X_LPARAM(m.LParam) - window.Left, GET_Y_LPARAM(m.LParam) - window.Top};
      const int code = CaptionHitTest(p);
      if (code == -1 || (code != 0 && code != htCaption)) m.Result = code;
      return;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMOUSEMOVE:
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE:
      if (HandleNcMouse(m)) return;
      if (!*alive) return;
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (painter_.Buttons.Capturing() && painter_.Buttons.HandleCapturedMouse(m)) return;
      if (!*alive) return;
      break;
    case WM_SYSCOMMAND:
      if (HandleSysCommand(m)) return;
      break;
    default:
      break;
  }
  TnxMainWnd::WndProc(m);
}

}  // namespace vm
