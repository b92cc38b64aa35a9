// Internal state of the window system: the window records and, one part per
// concern, the queue with its timers and hooks, the input state, painting,
// the scroll bars of every window, and the hand-over points of menus and
// dialogs. Menus keep their per-window state through WindowFeature.h instead
// of fields here; the standard controls keep their objects in the window's
// extra bytes (platform/controls). Only platform/win includes this;
// everything else uses WinApi.h.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/Fifo.h"
#include "platform/host/Host.h"
#include "platform/win/MenuState.h"
#include "platform/win/ScrollBarState.h"
#include "platform/win/WinApi.h"
#include "platform/win/WindowFeature.h"

namespace vm {

// Class names compare without regard to ASCII case, as on the platform.
struct TNoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};
bool SameClassName(std::string_view a, std::string_view b);

struct TWndClassRec {
  WNDCLASS Info;
  ATOM Atom = 0;
};

struct TWnd {
  HWND Handle = nullptr;
  std::shared_ptr<TWndClassRec> Class;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  TWnd* Parent = nullptr;       // child windows only
  HWND Owner = nullptr;         // top-level windows only
  std::vector<TWnd*> Children;  // z-order, topmost first (a new child is added last)
  TRect Rect;                   // parent client coordinates (screen for top-level windows)
  TRect Client;                 // client area in window coordinates
  std::string Text;
  WNDPROC Proc;
  LONG_PTR UserData = 0;
  std::vector<std::uint8_t> Extra;  // cbWndExtra bytes
  LONG_PTR Id = 0;
  HFONT Font = nullptr;
  HICON IconBig = nullptr;
  HICON IconSmall = nullptr;
  std::map<std::string, std::intptr_t, std::less<>> Props;

  TRegion Update;            // client coordinates
  bool UpdateErase = false;  // WM_ERASEBKGND still owed for Update
  bool NcUpdate = false;     // WM_NCPAINT owed
  bool InternalPaint = false;
  std::optional<TRegion> WindowRgn;  // window coordinates
  bool ActiveLook = false;           // the frame is drawn active (WM_NCACTIVATE)

  bool Destroying = false;
  bool Destroyed = false;
  bool Minimized = false;
  bool Maximized = false;
  TRect RestoreRect;

  // Top-level windows only.
  THostWindow Native = 0;
  TBitmap Store;
  TRegion Dirty;  // window coordinates, waiting to be presented

  // The visible regions of the window's four kinds of context (client or
  // whole window, with or without the children), each valid while the window
  // system's tree generation is the one it was computed in.
  struct TVisibleCache {
    std::uint64_t Generation = 0;
    TRegion Region;
  };
  TVisibleCache Visible[4];

  // State of registered features, by feature id (WindowFeature.h).
  std::vector<std::shared_ptr<void>> Features;

  bool IsChild() const { return Parent != nullptr; }
  int Width() const { return Rect.Width(); }
  int Height() const { return Rect.Height(); }
};

struct TTimerRecord {
  HWND Hwnd = nullptr;
  UINT_PTR Id = 0;
  UINT Interval = 0;
  std::uint64_t Due = 0;
  TIMERPROC Proc;
};

struct THookRecord {
  HHOOK Handle = nullptr;
  int Kind = 0;
  HOOKPROC Proc;
};

// ---- The parts of the state ----

// The message queue, timers and hooks.
struct TQueuePart {
  TFifo<MSG> Posted;
  bool QuitPosted = false;
  int QuitCode = 0;
  MSG LastMessage;
  std::map<std::uint32_t, std::vector<std::uint32_t>> PendingText;  // translateId -> code points
  std::uint32_t NextTranslateId = 1;
  bool IdleNotified = false;  // WM_ENTERIDLE went out since the last message was taken
  std::vector<TTimerRecord> Timers;
  UINT_PTR NextTimerId = 1;
  std::vector<THookRecord> Hooks;  // most recently installed first
  std::uintptr_t NextHook = 1;
};

// Activation, focus, capture, the keyboard and the mouse.
struct TInputPart {
  HWND Active = nullptr;
  HWND Focus = nullptr;
  HWND Capture = nullptr;
  bool AppActive = false;
  std::uint8_t KeyState[256] = {};
  TPoint CursorPos;
  HCURSOR Cursor = nullptr;

  // Mouse-leave tracking.
  HWND TrackHwnd = nullptr;
  bool TrackNonClient = false;
  HWND HoverHwnd = nullptr;
  bool HoverClient = false;
  // Hover tracking (TME_HOVER): a one-shot WM_MOUSEHOVER when the pointer rests.
  struct THoverTrack {
    HWND Hwnd = nullptr;
    bool NonClient = false;
    UINT Time = 400;
    std::uint64_t Deadline = 0;
    TPoint Anchor;
  } HoverTrack;

  // Double clicks.
  HWND LastClickHwnd = nullptr;
  UINT LastClickMsg = 0;
  std::uint64_t LastClickTime = 0;
  TPoint LastClickPos;
  bool LastWasDouble = false;

  // Alt pressed and released alone opens the keyboard menu.
  bool AltAlone = false;

  // Raw input from the host waits here and becomes messages only when the
  // loop asks for the next message, so that capture, focus and drags started
  // by one message apply to the input that follows it (the platform's input
  // queue works the same way).
  TFifo<THostEvent> RawInput;
  HWND FocusOutPending = nullptr;
  bool SuppressHostMove = false;

  // Caption drag, border sizing and title-button tracking (kept as state
  // instead of a nested loop, so a headless test can drive them step by step).
  struct TDrag {
    HWND Hwnd = nullptr;
    LRESULT Hit = 0;  // HTCAPTION for moves, a border code for sizing
    TPoint Start;     // screen
    TRect StartRect;
    TPoint MinTrack, MaxTrack;  // from WM_GETMINMAXINFO at the start
  } Drag;
  struct TButtonTrack {
    HWND Hwnd = nullptr;
    LRESULT Hit = 0;
    bool Pressed = false;
  } ButtonTrack;
};

// Which part of a window a device context covers, and what it leaves out.
struct TDCFlags {
  bool Client = true;         // the client area; false: the whole window
  bool ClipChildren = false;  // leave the visible children out
  // The usual choice for a window: its own WS_CLIPCHILDREN decides.
  static TDCFlags Of(const TWnd* w, bool client) {
    return {client, (w->Style & WS_CLIPCHILDREN) != 0};
  }
};

// Device contexts, the caret and icons.
struct TPaintPart {
  // Live device contexts handed out, to tell apart paint and window contexts.
  struct TDCRec {
    HWND Hwnd = nullptr;       // nullptr: the screen context
    std::uint64_t Serial = 0;  // order of handing out
    std::unique_ptr<TDC> Dc;   // what it may have painted is its visible region
  };
  std::vector<TDCRec> LiveDCs;
  std::uint64_t NextDCSerial = 1;
  // Released contexts, handed out again by the next GetDC or BeginPaint, so
  // that painting an unchanged window allocates no contexts.
  std::vector<std::unique_ptr<TDC>> FreeDCs;
  static constexpr std::size_t MaxFreeDCs = 16;
  // Room reused by every repaint: the children still to visit while painting
  // (a stack shared by nested visits), the rectangles going to the host and a
  // region.
  std::vector<HWND> ChildStack;
  std::vector<TRect> PresentRects;
  // A region for working out a context's clip or what a released context
  // drew; its buffer stays once grown. Nothing holds it across a message.
  TRegion ScratchRgn;
  TBitmap ScreenBits{1, 1, TPixelFormat::pf24bit};  // what the screen context draws on

  // The caret: one per thread. It never enters the backing store: Present
  // inverts it into the pixels just while they go to the host, so painting
  // can never leave a stale inverted block behind.
  struct TCaret {
    HWND Hwnd = nullptr;
    int Width = 0, Height = 0;
    TPoint Pos;
    int HideCount = 1;  // shown when it drops to 0
    bool On = false;    // in its visible blink phase
    std::uint64_t NextToggle = 0;
  } Caret;
  UINT CaretBlinkMs = 530;

  std::map<std::uintptr_t, std::shared_ptr<TBitmap>> Icons;
  std::uintptr_t NextIcon = 1;
};

// A registered feature (WindowFeature.h).
struct TFeatureRec {
  std::string Name;
  TWindowFeatureHooks Hooks;
};

class TWindowSystem final : public THostSink {
 public:
  static TWindowSystem& Get();

  // ---- state ----
  THost* Host = nullptr;
  std::unordered_map<std::uintptr_t, std::shared_ptr<TWnd>> Windows;
  std::vector<TWnd*> TopLevels;  // z-order, topmost first
  std::map<std::string, std::shared_ptr<TWndClassRec>, TNoCaseLess> Classes;
  std::uintptr_t NextHandle = 0x10000;
  ATOM NextAtom = 0xC000;

  TQueuePart Queue;
  TInputPart Input;
  TPaintPart Paint;
  TScrollBars ScrollBars;  // every window's scroll bars and the one being tracked
  TMenuSystem Menus;       // menus, accelerator tables, menu bars and the menu loop running
  std::vector<TFeatureRec> Features;  // by feature id

  // Exceptions caught at the dispatch boundary go here.
  TDispatchExceptionHandler ExceptionHandler;
  void ReportException(std::exception_ptr e);

  // ---- look-up ----
  TWnd* Find(HWND h) const;
  TWnd* Top(TWnd* w) const;
  bool Visible(const TWnd* w) const;         // visible with all ancestors
  TPoint WindowOrigin(const TWnd* w) const;  // screen position of the window's top-left
  TPoint ClientOrigin(const TWnd* w) const;  // screen position of the client's top-left
  TPoint OriginInTop(const TWnd* w) const;   // window top-left in top-level window coordinates

  // ---- messages ----
  LRESULT Send(TWnd* w, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  void Post(HWND h, UINT msg, WPARAM wp, LPARAM lp, std::uint32_t translateId = 0);
  LRESULT CallHooks(int kind, int code, WPARAM wp, LPARAM lp);
  bool NextMessage(MSG* msg, HWND filter, UINT fmin, UINT fmax, bool remove);
  bool FindPaint(TWnd* w, HWND filter, MSG* msg);
  std::optional<std::uint64_t> NextTimerDue() const;

  // ---- windows ----
  void Destroy(TWnd* w);
  void DestroyRecursive(TWnd* w);
  void Unlink(TWnd* w);
  void DestroyAll();
  bool SetPos(TWnd* w, HWND after, int x, int y, int cx, int cy, UINT flags);
  void CalcClient(TWnd* w);
  // The window's answer to WM_GETMINMAXINFO, starting from the platform's defaults.
  MINMAXINFO MinMaxInfo(TWnd* w);
  void Raise(TWnd* w);
  // What each part lets go of when a window is destroyed (the window is still
  // valid), and the registered features' clean-up.
  void ForgetQueue(HWND h);
  void ForgetInput(TWnd* w);
  void ForgetPaint(HWND h);
  void ForgetFeatures(TWnd* w);

  // ---- activation and focus ----
  bool Activate(TWnd* top, bool mouse);
  void ActivateApp(bool active, HWND except);
  void Deactivate();
  void ActivateOther(TWnd* leaving);
  HWND DoSetFocus(HWND h);
  // WM_CANCELMODE to a top-level window losing activation (and to the window
  // inside it holding the mouse), so that menus and drags end.
  void CancelModes(HWND top);

  // ---- painting ----
  // Counts changes of anything visible regions depend on: the window tree, a
  // window's position, size, client area, region, Z order, visibility or
  // clipping styles. Every such change calls TreeChanged.
  std::uint64_t TreeGeneration = 1;
  void TreeChanged() { ++TreeGeneration; }
  // The part of the window a context may paint, in top-level coordinates:
  // computed afresh, or kept per window until the tree changes.
  TRegion VisibleRegion(TWnd* w, TDCFlags flags) const;
  void VisibleRegion(TWnd* w, TDCFlags flags, TRegion& out) const;  // reusing out's buffer
  const TRegion& CachedVisibleRegion(TWnd* w, TDCFlags flags) const;
  void Invalidate(TWnd* w, const TRegion* clientRgn, UINT flags);
  void Validate(TWnd* w, const TRegion* clientRgn, UINT flags);
  void EraseNow(TWnd* w, bool children);
  void UpdateNow(TWnd* w, bool children);
  void InvalidateParentArea(TWnd* w, const TRect& rectInParent);
  // A context on the window's part chosen by flags, narrowed to clipClient
  // (client coordinates) when given.
  HDC MakeDC(TWnd* w, TDCFlags flags, const TRegion* clipClient = nullptr);
  // A context for window h (nullptr: the screen) on target with its (0, 0)
  // at bitmap point origin, reaching exactly visible (bitmap coordinates):
  // a released one made new, or a new one.
  HDC HandOutDC(HWND h, TBitmap& target, TPoint origin, const TRegion& visible);
  // The origin of the window's part chosen by flags in top-level window coordinates.
  TPoint PartOrigin(const TWnd* w, bool client) const;
  // Takes the context out of the live list and keeps it for reuse.
  void RecycleDC(std::vector<TPaintPart::TDCRec>::iterator it);
  void ReleaseDCInternal(TWnd* w, HDC dc);
  // Gives back every context handed out from serial on (after a failed message).
  void ReleaseDCsFrom(std::uint64_t serial);
  void Present();
  // WM_NCPAINT for the whole frame, or only for what of it lies in
  // screenRgn (screen coordinates), as the platform passes an update region.
  void NcPaint(TWnd* w, const TRegion* screenRgn = nullptr);
  // Repaints only a title button of the window's frame (its look changed).
  void NcPaintButton(TWnd* w, LRESULT hit);
  TRegion CaretRegion();  // top-level window coordinates, empty when not showable
  void SetCaretOn(bool on);
  void CaretTick();
  void RemoveCaret();

  // ---- input ----
  void HostEvent(const THostEvent& ev) override;  // never throws
  void HostEventUnguarded(const THostEvent& ev);
  bool ProcessRawInput();  // one raw event; false when none is waiting
  void AfterPump();
  void MouseEvent(const THostEvent& ev);
  void KeyEvent(const THostEvent& ev);
  TWnd* TopAt(const THostEvent& ev) const;
  TWnd* ChildAt(TWnd* top, TPoint screen, LRESULT* hit);
  void UpdateHover(HWND h, bool client);
  void HoverTick();
  WPARAM MouseKeyState() const;
  void SetCursorShape(HCURSOR c);
  bool HandleDrag(const THostEvent& ev);

 private:
  TWindowSystem() = default;
};

// The one rule for transient pop-ups (menus, drop-down lists, hints), which
// the desktop must neither manage nor activate: see IsPopupWindow in WinApi.h.
bool IsTransientPopup(DWORD style, DWORD exStyle);
// The host window kind of a top-level window: from the pop-up rule, then the owner.
THostWindowKind HostKindOf(const TWnd* w);

// Non-client geometry and painting (NonClient.cpp).
struct TFrameMetrics {
  int Border = 0;   // frame width on each side
  int Caption = 0;  // caption height including its bottom line
  bool SmallCaption = false;
  int ClientEdge = 0;
  int VScroll = 0;
  int HScroll = 0;
};
TFrameMetrics FrameMetrics(DWORD style, DWORD exStyle);
// The client rectangle from the style bits alone (before a window exists).
TRect ClientFromWindow(DWORD style, DWORD exStyle, const TRect& window);
LRESULT ClassicHitTest(const TWnd* w, TPoint windowPt);
TRect CaptionButtonRect(const TWnd* w, LRESULT hit);  // window coordinates; empty when absent
void PaintClassicFrame(const TWnd* w, TDC& dc, bool active, LRESULT pressedButton);

}  // namespace vm
