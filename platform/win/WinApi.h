// The window system's functions, with the platform's names and behaviour.
//
// Everything runs on the one thread of the message loop. Before the first
// window is created a host must be attached with SetHost (the X11 host in the
// program, the headless host in tests and tools).
//
// Handles are never reused. Every function that takes an HWND answers a
// stale or null handle as "not a window" (false, 0, an empty value) without
// touching memory that belongs to a destroyed window.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/Types.h"
#include "platform/host/Host.h"
#include "platform/win/Menu.h"
#include "platform/win/WinDefs.h"
#include "platform/win/WndProc.h"

namespace vm {

// ---- Structures carried by messages ----

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  TPoint pt;
  // Text the input method produced for a key-down; TranslateMessage posts it
  // as WM_CHAR / WM_SYSCHAR. Internal bookkeeping, zero for other messages.
  std::uint32_t translateId = 0;
};

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc;
  HICON hIcon = nullptr;
  HICON hIconSm = nullptr;
  HCURSOR hCursor = nullptr;
  // Background painted by DefWindowProc on WM_ERASEBKGND (system colours
  // allowed); clNone paints nothing.
  TColor hbrBackground = clNone;
  std::string lpszClassName;
  // Bytes of per-window storage, zero-filled at creation, read and written with
  // GetWindowLongPtr/SetWindowLongPtr at byte offsets 0, 8, ... (LONG_PTR
  // slots). Controls keep their object there; GWLP_USERDATA is the application's.
  int cbWndExtra = 0;
};

struct CREATESTRUCT {
  void* lpCreateParams = nullptr;
  HWND hwndParent = nullptr;
  LONG_PTR hMenu = 0;  // the control identifier of a child window
  int cy = 0, cx = 0, y = 0, x = 0;
  DWORD style = 0;
  const char* lpszName = "";
  const char* lpszClass = "";
  DWORD dwExStyle = 0;
};

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0, y = 0, cx = 0, cy = 0;
  UINT flags = 0;
};

// WM_NCCALCSIZE with wParam TRUE: rgrc[0] comes in as the new window
// rectangle (parent coordinates) and goes out as the new client rectangle.
struct NCCALCSIZE_PARAMS {
  TRect rgrc[3];
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  TPoint ptReserved, ptMaxSize, ptMaxPosition, ptMinTrackSize, ptMaxTrackSize;
};

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  bool fErase = false;  // true when WM_ERASEBKGND was not handled
  TRect rcPaint;
};

struct TRACKMOUSEEVENT {
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};

// WM_MEASUREITEM: an owner-drawn control or menu asks its owner for an item's size.
struct MEASUREITEMSTRUCT {
  UINT CtlType = 0;  // ODT_*
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemWidth = 0;
  UINT itemHeight = 0;
  std::uintptr_t itemData = 0;
};

// WM_DRAWITEM: the owner paints an item of an owner-drawn control or menu into hDC.
struct DRAWITEMSTRUCT {
  UINT CtlType = 0;  // ODT_*
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;  // ODA_*
  UINT itemState = 0;   // ODS_*
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  TRect rcItem;
  std::uintptr_t itemData = 0;
};

struct CBT_CREATEWND {
  CREATESTRUCT* lpcs = nullptr;
  HWND hwndInsertAfter = nullptr;
};

struct CBTACTIVATESTRUCT {
  bool fMouse = false;
  HWND hWndActive = nullptr;
};

struct NONCLIENTMETRICS {
  int iBorderWidth = 1;
  int iScrollWidth = 16;
  int iScrollHeight = 16;
  int iCaptionWidth = 18;
  int iCaptionHeight = 18;
  TFontDesc lfCaptionFont;
  int iSmCaptionWidth = 12;
  int iSmCaptionHeight = 15;
  TFontDesc lfSmCaptionFont;
  int iMenuWidth = 18;
  int iMenuHeight = 18;
  TFontDesc lfMenuFont;
  TFontDesc lfStatusFont;
  TFontDesc lfMessageFont;
};

constexpr int CW_USEDEFAULT = int(0x80000000u);

// ---- The host ----

// Attaches the host every native window, clock and input come from. Passing
// nullptr (or another host) first destroys every remaining window and clears
// the queue, timers and hooks; handles issued before stay invalid.
void SetHost(THost* host);
THost* GetHost();
// The host's native window of a top-level window (0 for child or stale windows).
THostWindow GetHostWindow(HWND hwnd);

// ---- Classes ----

// Returns 0 when the name is empty or already registered.
ATOM RegisterClass(const WNDCLASS& wc);
bool UnregisterClass(std::string_view name);
bool GetClassInfo(std::string_view name, WNDCLASS* wc);
std::string GetClassName(HWND hwnd);

// ---- Windows ----

// menuOrId is a child's control identifier, or a top-level window's menu bar
// (an HMENU; a value that names no menu gives no bar).
HWND CreateWindowEx(DWORD exStyle, std::string_view className, std::string_view windowName,
                    DWORD style, int x, int y, int width, int height, HWND parent,
                    LONG_PTR menuOrId = 0, void* param = nullptr);
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);
bool IsWindowVisible(HWND hwnd);  // the window and all its ancestors are visible
bool IsWindowEnabled(HWND hwnd);
bool EnableWindow(HWND hwnd, bool enable);  // returns true when it was disabled before
bool IsChild(HWND parent, HWND hwnd);
// A transient pop-up: a top-level WS_POPUP window without a title bar that
// has WS_EX_TOOLWINDOW or WS_EX_TOPMOST, as menus ("#32768"), drop-down
// lists ("ComboLBox") and hints ("tooltips_class32") are made. The desktop
// neither manages nor activates it (on X11 it is override-redirect), and
// activation never moves to it when another window goes. To the host it is a
// tooltip when it has no frame (no WS_BORDER, WS_DLGFRAME, WS_THICKFRAME or
// WS_EX_DLGMODALFRAME) or is of the class "tooltips_class32", otherwise a
// pop-up menu. A caption-less WS_POPUP window without
// those extended styles (a borderless form, a splash) stays an ordinary
// window that the desktop can give the keyboard to.
bool IsPopupWindow(HWND hwnd);
bool IsIconic(HWND hwnd);
bool IsZoomed(HWND hwnd);
HWND GetParent(HWND hwnd);  // the parent of a child, the owner of a top-level window
HWND SetParent(HWND hwnd, HWND newParent);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetTopWindow(HWND parent);  // topmost child, or topmost top-level window for nullptr
// Children in z-order (top first); the callback returns false to stop. Recursive, as on the
// platform.
bool EnumChildWindows(HWND parent, const std::function<bool(HWND)>& fn);
// Top-level windows in z-order.
bool EnumWindows(const std::function<bool(HWND)>& fn);
HWND FindWindow(std::string_view className, std::string_view title);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND hwnd);

LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
// GWLP_WNDPROC cannot go through a LONG_PTR here: use SetWindowProc.
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
WNDPROC GetWindowProc(HWND hwnd);
// Installs a new procedure and returns the one it replaces (subclassing).
// This is the one way to subclass: GetWindowLongPtr/SetWindowLongPtr with
// GWLP_WNDPROC throw std::invalid_argument (a procedure is no LONG_PTR here).
WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc);
// Takes a subclass out of the window's chain: when mine is the installed
// procedure, previous is installed again; when another subclass was installed
// after it (removal out of order), mine is retired so that the later
// subclass's calls go straight on to previous and mine's closure is freed.
// Safe on a destroyed window. A subclass object calls it when it goes, with
// the procedure it installed and the one SetWindowProc returned to it.
void RemoveWindowProc(HWND hwnd, const WNDPROC& mine, const WNDPROC& previous);
LRESULT CallWindowProc(const WNDPROC& proc, HWND hwnd, UINT msg, WPARAM w, LPARAM l);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);

bool SetProp(HWND hwnd, std::string_view name, std::intptr_t value);
std::intptr_t GetProp(HWND hwnd, std::string_view name);
std::intptr_t RemoveProp(HWND hwnd, std::string_view name);

bool SetWindowText(HWND hwnd, std::string_view utf8);
std::string GetWindowText(HWND hwnd);
// The same into out, reusing its room: painting reads captions this way so
// that a repaint allocates nothing.
void GetWindowText(HWND hwnd, std::string& out);
int GetWindowTextLength(HWND hwnd);

// ---- Fonts (handles over the shared fonts of platform/gfx) ----

// A new handle for the font of a description; handles are never reused.
HFONT CreateFontIndirect(const TFontDesc& desc);
// The description of a font handle (stock or created); false for an unknown or deleted handle.
bool GetFontDesc(HFONT font, TFontDesc* desc);
// The font behind a handle; nullptr for an unknown or deleted handle.
std::shared_ptr<const TFont> GetFontObject(HFONT font);
// Frees a created font handle. Stock fonts are never freed (returns false).
// A context that has the font selected keeps drawing with it.
bool DeleteObject(HFONT font);
// Stock fonts: DEFAULT_GUI_FONT (Tahoma -11, what the controls use when
// WM_SETFONT gave them none), SYSTEM_FONT and ANSI_VAR_FONT (the same face).
HFONT GetStockFont(int index);
// Selects a font into a context and returns the handle of the font it had
// (the stock GUI font when that font came from no handle). Unknown handles
// change nothing and return nullptr.
HFONT SelectObject(HDC dc, HFONT font);

// ---- Geometry ----

bool GetWindowRect(HWND hwnd, TRect* r);  // screen coordinates
bool GetClientRect(HWND hwnd, TRect* r);  // (0, 0, width, height)
bool ClientToScreen(HWND hwnd, TPoint* p);
bool ScreenToClient(HWND hwnd, TPoint* p);
// Maps points from one window's client coordinates to another's (nullptr: the screen).
int MapWindowPoints(HWND from, HWND to, TPoint* points, int count);
HWND WindowFromPoint(TPoint screen);
HWND ChildWindowFromPoint(HWND parent, TPoint client);
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint);
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool ShowWindow(HWND hwnd, int cmd);  // returns whether it was visible before
bool BringWindowToTop(HWND hwnd);
// The window region, in window coordinates; nullptr removes it. The system owns the copy.
int SetWindowRgn(HWND hwnd, const TRegion* rgn, bool redraw);
int GetWindowRgn(HWND hwnd, TRegion* rgn);  // NULLREGION.., RGN_ERROR when none

// ---- Messages ----

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM w = 0, LPARAM l = 0);
bool PostMessage(HWND hwnd, UINT msg, WPARAM w = 0, LPARAM l = 0);
// Posts to the thread's queue (hwnd nullptr).
bool PostThreadMessage(UINT msg, WPARAM w, LPARAM l);
void PostQuitMessage(int exitCode);
// Waits for a message; false when it is WM_QUIT.
bool GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
bool PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
bool TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
// Blocks until the queue has something (headless: advances to the next timer).
bool WaitMessage();
DWORD GetMessageTime();
TPoint GetMessagePos();
// Dispatches every message that is ready (posted, paint, due timers) and
// presents what was painted; returns without waiting. Tests and tools use it.
void ProcessPendingMessages();

// One wait of a modal loop (menus, dialogs, message boxes): when no message
// is ready, the owner hears WM_ENTERIDLE (wParam reason: MSGF_DIALOGBOX or
// MSGF_MENU; lParam the dialog or menu window), then the loop waits as
// WaitMessage does. Returns false when there is no host.
bool ModalWaitMessage(HWND owner, WPARAM reason, HWND source);

// Exceptions never unwind out of DispatchMessage or from a window procedure
// into the host: they are caught there (device contexts handed out during the
// failed message are given back) and passed to this handler, which the
// toolkit replaces with its error report. The default prints the message to
// stderr. A handler that throws itself is reported to stderr.
using TDispatchExceptionHandler = std::function<void(std::exception_ptr)>;
// Installs a handler (nullptr restores the default); returns the previous one.
TDispatchExceptionHandler SetDispatchExceptionHandler(TDispatchExceptionHandler handler);

// Dialog navigation for the dialog (or any window with WS_EX_CONTROLPARENT
// children) that msg is addressed to: Tab and Shift+Tab over WS_TABSTOP
// controls, arrows within a WS_GROUP group, Enter for the default push
// button, Escape for IDCANCEL and mnemonics. True when the message was
// taken (it must then not be dispatched again).
bool IsDialogMessage(HWND dialog, MSG* msg);
// The dialog window's default handling: DM_GETDEFID / DM_SETDEFID keep the
// default push button's id, WM_NEXTDLGCTL moves the focus; everything else
// goes to DefWindowProc.
LRESULT DefDlgProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
// The next (or previous) control with WS_TABSTOP after ctl, in z-order,
// descending into WS_EX_CONTROLPARENT children and wrapping around.
HWND GetNextDlgTabItem(HWND dialog, HWND ctl, bool previous);
// The next (or previous) control of ctl's WS_GROUP group, wrapping within it.
HWND GetNextDlgGroupItem(HWND dialog, HWND ctl, bool previous);

// ---- Timers ----

using TIMERPROC = std::function<void(HWND, UINT, UINT_PTR, DWORD)>;
// Returns the timer id (id itself for a window timer), 0 on failure.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
bool KillTimer(HWND hwnd, UINT_PTR id);
DWORD GetTickCount();
// Blocks the thread for ms milliseconds of the host's clock without handling
// messages (the headless host just moves its virtual clock).
void Sleep(DWORD ms);

// ---- Hooks ----

using HOOKPROC = std::function<LRESULT(int code, WPARAM w, LPARAM l)>;
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc);
bool UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM w, LPARAM l);

// ---- Focus, activation, capture, keyboard, cursor ----

HWND GetFocus();
HWND SetFocus(HWND hwnd);
HWND GetActiveWindow();
HWND SetActiveWindow(HWND hwnd);
HWND GetForegroundWindow();
bool SetForegroundWindow(HWND hwnd);
HWND GetCapture();
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
bool TrackMouseEvent(TRACKMOUSEEVENT* tme);
std::int16_t GetKeyState(int vk);
std::int16_t GetAsyncKeyState(int vk);
bool GetCursorPos(TPoint* p);
HCURSOR LoadCursor(void* instance, int id);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
UINT GetDoubleClickTime();

// ---- The caret (one per thread; it blinks on the message loop's clock) ----

// A solid caret of the given size (0: one pixel wide / the system height) in
// hwnd's client area; it starts hidden. Replaces any existing caret.
bool CreateCaret(HWND hwnd, void* bitmap, int width, int height);
bool DestroyCaret();
bool ShowCaret(HWND hwnd);  // undoes one HideCaret (or the initial hidden state)
bool HideCaret(HWND hwnd);  // hides cumulatively
bool SetCaretPos(int x, int y);
bool GetCaretPos(TPoint* p);
UINT GetCaretBlinkTime();
bool SetCaretBlinkTime(UINT ms);

// ---- Icons ----

// An icon from a 32-bit bitmap with alpha (a 24-bit one is taken as opaque).
HICON CreateIconFromBitmap(const TBitmap& image);
bool DestroyIcon(HICON icon);
const TBitmap* GetIconBitmap(HICON icon);
bool DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy);

// ---- Painting ----

bool InvalidateRect(HWND hwnd, const TRect* r, bool erase);
bool InvalidateRgn(HWND hwnd, const TRegion* rgn, bool erase);
bool ValidateRect(HWND hwnd, const TRect* r);
bool ValidateRgn(HWND hwnd, const TRegion* rgn);
bool GetUpdateRect(HWND hwnd, TRect* r, bool erase);
int GetUpdateRgn(HWND hwnd, TRegion* rgn, bool erase);
bool UpdateWindow(HWND hwnd);
bool RedrawWindow(HWND hwnd, const TRect* r, const TRegion* rgn, UINT flags);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// Contexts on the client area (GetDC) or the whole window (GetWindowDC),
// clipped to what is visible; must be given back with ReleaseDC.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
// A context with DCX_* choices: DCX_WINDOW for the whole window,
// DCX_CLIPCHILDREN to leave children out, and a region in screen coordinates
// (as WM_NCPAINT's) to intersect (DCX_INTERSECTRGN) or exclude (DCX_EXCLUDERGN).
HDC GetDCEx(HWND hwnd, const TRegion* screenRgn, DWORD flags);
// GetDC(nullptr) is the screen context: it measures text and answers like
// any context, but nothing drawn on it reaches a window.
int ReleaseDC(HWND hwnd, HDC dc);
// The window a context from BeginPaint/GetDC/GetWindowDC/GetDCEx belongs to;
// nullptr for the screen context, a memory context or a released one.
HWND WindowFromDC(HDC dc);

// BeginPaint/EndPaint as a scope: the context is given back however the
// paint code leaves (return or exception).
class TPaintDC {
 public:
  explicit TPaintDC(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd_, &ps_); }
  ~TPaintDC() { EndPaint(hwnd_, &ps_); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Dc() const { return ps_.hdc; }
  const PAINTSTRUCT& Paint() const { return ps_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_;
};

// GetDC (or GetWindowDC)/ReleaseDC as a scope.
class TScopedDC {
 public:
  explicit TScopedDC(HWND hwnd, bool wholeWindow = false)
      : hwnd_(hwnd), dc_(wholeWindow ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
  ~TScopedDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  TScopedDC(const TScopedDC&) = delete;
  TScopedDC& operator=(const TScopedDC&) = delete;
  HDC Dc() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};
// Moves the pixels of the client area (or of r, client coordinates) by
// (dx, dy), clipped to clip, and works out what the move uncovered: parts
// scrolled in from outside, from under other windows or from a part that was
// still waiting to be painted. The pending update region inside the
// rectangle moves along. SW_SCROLLCHILDREN moves the children that intersect
// the rectangle (all of them when r is null); SW_INVALIDATE invalidates the
// uncovered part (SW_ERASE: with erasing). Returns the complexity of the
// uncovered region (RGN_ERROR for a stale window) and hands it out in
// update and its bounds in updateRect when asked.
int ScrollWindowEx(HWND hwnd, int dx, int dy, const TRect* r, const TRect* clip, TRegion* update,
                   TRect* updateRect, UINT flags);
// ScrollWindowEx with SW_INVALIDATE | SW_ERASE; a null r also moves every child.
bool ScrollWindow(HWND hwnd, int dx, int dy, const TRect* r, const TRect* clip);

// Sends what was painted since the last call to the host. The loop does it
// before it waits; tools call it before a screenshot.
void PresentWindows();
// The backing store of a top-level window (nullptr for child or stale windows).
const TBitmap* GetWindowStore(HWND hwnd);

// Draws the classic frame of a window into dc (window coordinates): what
// DefWindowProc paints on WM_NCPAINT. active chooses the caption colours.
void DrawClassicFrame(HWND hwnd, HDC dc, bool active);

// ---- Scroll bars ----
//
// A window's own scroll bars (SB_HORZ, SB_VERT: shown by WS_HSCROLL and
// WS_VSCROLL, drawn in the non-client area) and "ScrollBar" controls (SB_CTL)
// share one engine. The bar only reports what the user asks for (SB_* codes
// in WM_HSCROLL/WM_VSCROLL); the position changes when the program sets it,
// except the track position while the thumb is dragged.

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// Returns the new position. Setting a range or page shows a window's own bar
// when it can scroll and hides it when it cannot (SIF_DISABLENOSCROLL keeps it
// shown and disables it instead).
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, bool redraw);
bool GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si);
int SetScrollPos(HWND hwnd, int bar, int pos, bool redraw);  // returns the previous position
int GetScrollPos(HWND hwnd, int bar);
bool SetScrollRange(HWND hwnd, int bar, int min, int max, bool redraw);
bool GetScrollRange(HWND hwnd, int bar, int* min, int* max);
bool ShowScrollBar(HWND hwnd, int bar, bool show);
// ESB_* arrows to disable; false when nothing changed.
bool EnableScrollBar(HWND hwnd, UINT bar, UINT arrows);
// Where a window's own bar (OBJID_HSCROLL, OBJID_VSCROLL) lies and how its
// parts are laid out, as the engine paints and hit-tests it: the bar in
// screen coordinates, the length of each arrow button, the thumb's extent
// along the bar from its start (both 0 without a thumb), and per part (the
// bar, the first arrow, the page before the thumb, the thumb, the page after
// it, the last arrow) whether it is pressed now; the bar is invisible when
// the window shows none and unavailable when it cannot scroll. False when
// the window is not a window or the object is not a bar.
inline constexpr long OBJID_VSCROLL = -5;
inline constexpr long OBJID_HSCROLL = -6;
inline constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x1;
inline constexpr DWORD STATE_SYSTEM_PRESSED = 0x8;
inline constexpr DWORD STATE_SYSTEM_INVISIBLE = 0x8000;
struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  TRect rcScrollBar;
  int dxyLineButton = 0;
  int xyThumbTop = 0;
  int xyThumbBottom = 0;
  int reserved = 0;
  DWORD rgstate[6] = {};
};
bool GetScrollBarInfo(HWND hwnd, long idObject, SCROLLBARINFO* info);
// First repeat of a held arrow or page click after this delay, then at this interval (ms).
inline constexpr UINT ScrollRepeatDelay = 250;
inline constexpr UINT ScrollRepeatInterval = 50;
// The engine's side of the "ScrollBar" control (SB_CTL), for its window procedure:
// SBM_* messages, painting the client area, a press at a screen point (false when it
// hit nothing usable) and a request code sent to the parent as the mouse would.
LRESULT ScrollBarControlMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
void PaintScrollBarControl(HWND hwnd, HDC dc);
bool TrackScrollBarControl(HWND hwnd, TPoint screen);
// Starts tracking a press on a window's own bar (SB_HORZ, SB_VERT) as the
// non-client click would, without activating the window: for pop-ups that
// hold the mouse themselves (a combo box's drop-down list).
bool TrackScrollBar(HWND hwnd, int bar, TPoint screen);
// False (and nothing sent) when the arrow on that side is off.
bool NotifyScrollBarControl(HWND hwnd, int code);

// ---- System metrics and parameters ----

int GetSystemMetrics(int index);

// The screen is one monitor: its rectangle and its work area.
struct MONITORINFO {
  TRect rcMonitor;
  TRect rcWork;
  DWORD dwFlags = 0;
};
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
HMONITOR MonitorFromPoint(TPoint p, DWORD flags);
bool GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);
bool SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni);

}  // namespace vm
