// The headless host: a virtual screen in memory.
//
// Native windows are rectangles in z-order on a virtual screen (1280 x 1024
// by default). Presenting copies the dirty rectangles of a window's backing
// store into the host's copy of that window, so a screenshot shows exactly
// what was presented. The clock is virtual: it only moves when a test
// advances it (or when the message loop would otherwise wait for a timer),
// which makes timer tests exact and instant.
//
// Input is synthetic but takes the same road as a real desktop's: every call
// queues raw host events (pointer position, buttons, keys, text), and the
// window system turns them into messages with hit testing, capture, focus
// and double clicks when its loop next asks for a message.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/host/Host.h"

namespace vm {

class THeadlessHost final : public THost {
 public:
  explicit THeadlessHost(TSize screen = {1280, 1024});
  ~THeadlessHost() override;

  // ---- THost ----
  void SetSink(THostSink* sink) override { sink_ = sink; }
  TSize ScreenSize() const override { return screen_; }
  TRect WorkArea() const override { return workArea_; }
  // A panel or dock taking part of the screen (tests of maximising and snapping).
  void SetWorkArea(const TRect& r) { workArea_ = r; }
  THostWindow CreateNativeWindow(const THostWindowParams& params) override;
  void DestroyNativeWindow(THostWindow window) override;
  void ShowNativeWindow(THostWindow window, bool visible) override;
  void MoveNativeWindow(THostWindow window, const TRect& bounds) override;
  void MinimizeNativeWindow(THostWindow window) override;
  void RaiseNativeWindow(THostWindow window) override;
  void FocusNativeWindow(THostWindow window) override;
  void SetNativeTitle(THostWindow window, const std::string& utf8) override;
  void SetNativeIcon(THostWindow window, const TBitmap& icon) override;
  void SetNativeShape(THostWindow window, const std::vector<TRect>& rects) override;
  void SetNativeTransientFor(THostWindow window, THostWindow owner) override;
  void SetNativeKind(THostWindow window, THostWindowKind kind) override;
  void Present(THostWindow window, const TBitmap& store, const std::vector<TRect>& dirty) override;
  void SetNativeCursor(THostWindow window, THostCursor cursor) override;
  void GrabPointer(THostWindow window) override { grab_ = window; }
  bool BeginNativeMove(THostWindow, TPoint) override { return false; }
  std::uint64_t Now() const override { return clock_; }
  void Sleep(std::uint32_t ms) override { clock_ += ms; }
  void PumpEvents() override;
  // Delivers what is queued; with nothing queued it asks the idle handler
  // first, then moves the clock to the timeout (throws std::logic_error when
  // there is none: the loop would wait forever).
  bool WaitEvents(int timeoutMs) override;
  void Wake() override {}
  void Beep() override { ++beeps_; }
  // Alerts sounded so far (message boxes beep).
  std::uint64_t BeepCount() const { return beeps_; }

  // ---- The clock ----
  void AdvanceClock(std::uint64_t ms) { clock_ += ms; }

  // ---- Driving a waiting loop ----
  // Called whenever a message loop (the main one or a nested modal one) has
  // nothing to do and would wait. The handler acts as the user in the pause:
  // it may queue input, advance the clock, post messages or end the loop
  // (EndDialog, PostQuitMessage); it returns true when it did something, so
  // the loop looks again at once, or false to let the wait go on as without
  // a handler. A test steps a nested loop this way, one wait at a time.
  using TIdleHandler = std::function<bool()>;
  void SetIdleHandler(TIdleHandler handler) { idle_ = std::move(handler); }
  // Waits the host has gone through (with or without a handler).
  std::uint64_t IdleCount() const { return idleCount_; }

  // ---- Synthetic input (screen coordinates) ----
  void MouseMove(int x, int y);
  void MouseDown(THostButton button = THostButton::Left);
  void MouseUp(THostButton button = THostButton::Left);
  // Moves there, presses and releases.
  void Click(int x, int y, THostButton button = THostButton::Left);
  // Two clicks in a row at the same place (within the double-click time).
  void DoubleClick(int x, int y);
  // Press at from, move in steps to to, release there.
  void Drag(TPoint from, TPoint to, int steps = 4);
  void Wheel(int delta);
  void KeyDown(int vk, std::uint32_t codePoint = 0);
  void KeyUp(int vk);
  // Press and release; printable ASCII keys produce their character
  // (shifted when Shift is held).
  void Key(int vk);
  // Types text: ASCII letters, digits, space and punctuation of the US
  // keyboard come with their key presses; everything else (Cyrillic, for
  // example) arrives as text alone, as an input method commits it.
  void Type(std::string_view utf8);
  // The desktop asks to close the window (its close button, Alt+F4 of a window manager).
  void RequestClose(THostWindow window);
  // The desktop gives the keyboard focus to another window (0: another program).
  void DesktopFocus(THostWindow window);

  // ---- Inspection ----
  struct TNative {
    THostWindow Id = 0;
    THostWindowParams Params;
    bool Visible = false;
    bool Minimized = false;
    std::string Title;
    TBitmap Icon;
    std::vector<TRect> Shape;
    TBitmap Shown;  // what was presented, window-sized
    THostCursor Cursor = THostCursor::Arrow;
  };
  const TNative* Native(THostWindow window) const;
  // Visible windows, topmost first.
  std::vector<THostWindow> ZOrder() const;
  THostWindow FocusedWindow() const { return focused_; }
  THostWindow GrabbedWindow() const { return grab_; }
  TPoint PointerPos() const { return pointer_; }
  // Rectangles and pixels presented so far (for tests that check only dirty parts go out).
  std::uint64_t PresentedRects() const { return presentedRects_; }
  std::uint64_t PresentedPixels() const { return presentedPixels_; }
  // What the last present copied: its window and its rectangles (window
  // coordinates, cut to the store), so a test sees exactly which parts went out.
  THostWindow LastPresentedWindow() const { return lastPresentedWindow_; }
  const std::vector<TRect>& LastPresentedRects() const { return lastPresented_; }
  // The screen: background colour, then the visible windows bottom to top, each clipped to its
  // shape.
  TBitmap Screenshot() const;
  // What one window shows (its presented pixels), window-sized.
  TBitmap WindowShot(THostWindow window) const;
  void SaveScreenshotPng(const std::string& path) const;
  void SaveWindowPng(THostWindow window, const std::string& path) const;

 private:
  TNative* Find(THostWindow window);
  THostWindow WindowAt(TPoint p) const;
  void Queue(THostEvent ev);
  void LeaveIfOutside(THostWindow under);
  std::uint32_t State() const;

  THostSink* sink_ = nullptr;
  TSize screen_;
  TRect workArea_;
  std::uint64_t clock_ = 1000;
  std::vector<TNative> windows_;     // creation order
  std::vector<THostWindow> zorder_;  // topmost first
  THostWindow nextId_ = 1;
  THostWindow focused_ = 0;
  THostWindow grab_ = 0;
  THostWindow pointerWindow_ = 0;
  THostWindow pressGrab_ = 0;  // the window a held button was pressed on
  TPoint pointer_;
  std::uint32_t buttons_ = 0;
  bool shift_ = false, control_ = false, alt_ = false;
  std::vector<THostEvent> pending_;
  std::vector<THostEvent> spare_;  // room for the next pump's batch
  TIdleHandler idle_;
  std::uint64_t idleCount_ = 0;
  std::uint64_t presentedRects_ = 0;
  std::uint64_t presentedPixels_ = 0;
  THostWindow lastPresentedWindow_ = 0;
  std::vector<TRect> lastPresented_;  // its room is reused by every present
  std::uint64_t beeps_ = 0;
};

}  // namespace vm
