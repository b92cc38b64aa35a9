// The host: what the window system needs from the machine it runs on.
//
// The window system (platform/win) keeps every window, message, focus and
// painting rule itself. A host only supplies native top-level windows, shows
// the pixels of their backing stores, tells the time and delivers raw input.
// Two hosts exist: x11/ (one X window per top-level window) and headless/
// (a virtual screen in memory that tests drive).
//
// Coordinates are screen pixels. Native windows are identified by a host
// window id (THostWindow), which the host chooses; 0 means "none".
//
// Threading: everything runs on the one thread of the message loop. A host
// calls its sink only from inside PumpEvents/WaitEvents, never from another
// thread and never from inside the other methods below.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"

namespace vm {

using THostWindow = std::uintptr_t;

// How the desktop should treat a native window.
enum class THostWindowKind {
  Normal,     // an unowned top-level window: taskbar entry, managed by the desktop
  Dialog,     // an owned window (transient for its owner): no taskbar entry
  PopupMenu,  // a pop-up menu: override-redirect, never managed or focused by the desktop
  Tooltip,    // a hint window: override-redirect
};

struct THostWindowParams {
  TRect Bounds;       // screen rectangle of the whole window (frame included)
  std::string Title;  // UTF-8
  THostWindowKind Kind = THostWindowKind::Normal;
  THostWindow TransientFor = 0;  // the owner's native window, or 0
};

// Mouse cursor shapes a host can show, numbered like the platform's stock
// cursors the window system hands out (IDC_ARROW and friends).
enum class THostCursor {
  Arrow,
  IBeam,
  Wait,
  Cross,
  SizeNWSE,
  SizeNESW,
  SizeWE,
  SizeNS,
  SizeAll,
  No,
  Hand,
  AppStarting,
  Help,
};

// Modifier and button state carried with input events (bit set).
inline constexpr std::uint32_t HostShift = 1u << 0;
inline constexpr std::uint32_t HostControl = 1u << 1;
inline constexpr std::uint32_t HostAlt = 1u << 2;
inline constexpr std::uint32_t HostButtonLeft = 1u << 8;
inline constexpr std::uint32_t HostButtonRight = 1u << 9;
inline constexpr std::uint32_t HostButtonMiddle = 1u << 10;
inline constexpr std::uint32_t HostButtonX1 = 1u << 11;
inline constexpr std::uint32_t HostButtonX2 = 1u << 12;

enum class THostButton { Left, Right, Middle, X1, X2 };

// The state bit of a button: the bits above follow the enumeration's order.
inline constexpr std::uint32_t HostButtonBit(THostButton b) {
  return HostButtonLeft << int(b);
}
static_assert(HostButtonBit(THostButton::Middle) == HostButtonMiddle &&
              HostButtonBit(THostButton::X2) == HostButtonX2);

// One raw event from the host. The window system turns it into messages
// (hit testing, capture, focus, double clicks and key state are its job).
struct THostEvent {
  enum class TKind {
    MouseMove,   // pointer moved to ScreenPos (over Window, or anywhere while grabbed)
    ButtonDown,  // Button pressed at ScreenPos
    ButtonUp,    // Button released at ScreenPos
    Wheel,       // WheelDelta in platform units (120 per notch, positive = away from the user)
    MouseLeave,  // pointer left every native window of the program
    KeyDown,     // VirtualKey pressed (or auto-repeated: Repeat true)
    KeyUp,       // VirtualKey released
    Char,        // text input: one Unicode code point in CodePoint (after the input method)
    Close,       // the desktop asks to close Window (title bar close, WM_DELETE_WINDOW)
    FocusIn,     // the desktop gave keyboard focus to Window
    FocusOut,    // the desktop took keyboard focus from Window
    Configure,   // the desktop moved or resized Window to Bounds
    Expose,      // ExposeRect (window coordinates) must be shown again from the store
    Minimized,   // the desktop iconified Window
    Restored,    // the desktop brought Window back from its icon
  };
  TKind Kind = TKind::MouseMove;
  THostWindow Window = 0;  // the native window the event belongs to (0 if none)
  TPoint ScreenPos;        // pointer position in screen coordinates (mouse events)
  THostButton Button = THostButton::Left;
  int WheelDelta = 0;
  int VirtualKey = 0;  // VK_* code of the platform (see HostKeys.h)
  int ScanCode = 0;    // hardware code, informational
  bool Repeat = false;
  std::uint32_t CodePoint = 0;
  std::uint32_t State = 0;  // Host* modifier and button bits at the time of the event
  TRect Bounds;             // Configure: new screen rectangle
  TRect ExposeRect;         // Expose: window-relative rectangle
  std::uint64_t Time = 0;   // host clock in milliseconds
};

// Receives the host's events; implemented by the window system.
class THostSink {
 public:
  virtual ~THostSink() = default;
  virtual void HostEvent(const THostEvent& event) = 0;
};

class THost {
 public:
  virtual ~THost() = default;

  // The window system registers itself here; events go to the sink.
  virtual void SetSink(THostSink* sink) = 0;

  // Size of the screen (the root window) in pixels.
  virtual TSize ScreenSize() const = 0;
  // The part of the screen not taken by panels and docks (maximised windows
  // fill it). Hosts without such knowledge answer the whole screen.
  virtual TRect WorkArea() const {
    TSize s = ScreenSize();
    return Rect(0, 0, s.cx, s.cy);
  }

  // Native top-level windows. A new window starts hidden.
  virtual THostWindow CreateNativeWindow(const THostWindowParams& params) = 0;
  virtual void DestroyNativeWindow(THostWindow window) = 0;
  // Maps or unmaps. Showing a Normal or Dialog window also raises it.
  virtual void ShowNativeWindow(THostWindow window, bool visible) = 0;
  // Moves and resizes (screen rectangle of the whole window).
  virtual void MoveNativeWindow(THostWindow window, const TRect& bounds) = 0;
  // Iconifies the window (SC_MINIMIZE); showing it again restores it.
  virtual void MinimizeNativeWindow(THostWindow window) = 0;
  // Puts the window on top of the others (the window system calls it on activation).
  virtual void RaiseNativeWindow(THostWindow window) = 0;
  // Asks the desktop to give keyboard focus to the window (activation by the program).
  virtual void FocusNativeWindow(THostWindow window) = 0;
  virtual void SetNativeTitle(THostWindow window, const std::string& utf8) = 0;
  // Icon as a 32-bit bitmap with alpha; an empty bitmap removes the icon.
  virtual void SetNativeIcon(THostWindow window, const TBitmap& icon) = 0;
  // The window's shape: the visible parts as rectangles in window coordinates.
  // An empty list means the whole rectangle (no shape).
  virtual void SetNativeShape(THostWindow window, const std::vector<TRect>& rects) = 0;
  // Owner for a Dialog window (0 removes it), and the kind.
  virtual void SetNativeTransientFor(THostWindow window, THostWindow owner) = 0;
  virtual void SetNativeKind(THostWindow window, THostWindowKind kind) = 0;

  // Copies the listed rectangles (window coordinates, clipped by the host to
  // the store) of the window's backing store to the screen. The store is a
  // 24-bit bitmap of the window's whole size; the host must not keep the
  // reference past the call.
  virtual void Present(THostWindow window, const TBitmap& store,
                       const std::vector<TRect>& dirty) = 0;

  virtual void SetNativeCursor(THostWindow window, THostCursor cursor) = 0;
  // Grabs the pointer for the window (mouse capture reaching outside it), or
  // releases any grab when window is 0.
  virtual void GrabPointer(THostWindow window) = 0;
  // Lets the desktop move the window by a caption drag that started at
  // screenPos with the left button down. Returns false when the host cannot;
  // the window system then moves the window itself from mouse moves.
  virtual bool BeginNativeMove(THostWindow window, TPoint screenPos) = 0;

  // Milliseconds of a monotonic clock (virtual on the headless host).
  virtual std::uint64_t Now() const = 0;
  // Lets ms milliseconds of that clock pass without delivering events (the
  // headless host moves its virtual clock; the X11 host sleeps).
  virtual void Sleep(std::uint32_t ms) = 0;
  // Delivers every event already pending to the sink; returns without waiting.
  virtual void PumpEvents() = 0;
  // Waits until at least one event is pending or timeoutMs elapsed (-1: no
  // limit), then delivers what is pending. Returns false when it timed out
  // without an event. The headless host never blocks: it advances its virtual
  // clock to the timeout instead when nothing is queued.
  virtual bool WaitEvents(int timeoutMs) = 0;
  // The system sound of alerts (the display's bell). Hosts without sound do nothing.
  virtual void Beep() {}
  // Wakes a WaitEvents in progress (posted messages need no event, but a
  // host may be asked to stop waiting, e.g. after PostQuitMessage).
  virtual void Wake() = 0;

  // The clipboard's text, UTF-8. This default keeps it inside the program
  // (enough for the headless host); the X11 host shares it with other
  // programs. ClipboardText answers nothing when the clipboard holds no text.
  virtual void SetClipboardText(const std::string& utf8) { clipboardText_ = utf8; }
  virtual std::optional<std::string> ClipboardText() { return clipboardText_; }

 private:
  std::optional<std::string> clipboardText_;
};

}  // namespace vm
