// The X11 host: one X window per top-level window of the window system.
//
// Windows are undecorated (the program draws its own frame). Owned windows
// are transient for their owner and typed as dialogs, so only unowned windows
// get a taskbar entry; pop-up menus and hints are override-redirect. Input
// goes through an X input method, so text typed on any layout (Cyrillic on a
// Russian one, Unicode keysyms from a test driver) arrives as code points.
// Presenting converts the dirty rectangles of a window's backing store into
// an image kept in the server's format (in shared memory when possible); an
// Expose is answered from that image without asking the program to paint. A
// store already in the server's format is not converted (see X11Surface.h).
//
// This header is free of Xlib so that any file may create the host.
#pragma once

#include <memory>

#include "platform/host/Host.h"

namespace vm {

class TX11Host final : public THost {
 public:
  // Connects to the display named by displayName (nullptr: $DISPLAY).
  // Throws std::runtime_error when no X server answers. allowShm false
  // presents through the socket even where shared memory would work.
  explicit TX11Host(const char* displayName = nullptr, bool allowShm = true);
  ~TX11Host() override;
  TX11Host(const TX11Host&) = delete;
  TX11Host& operator=(const TX11Host&) = delete;

  void SetSink(THostSink* sink) override;
  TSize ScreenSize() const override;

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
  void GrabPointer(THostWindow window) override;
  bool BeginNativeMove(THostWindow window, TPoint screenPos) override;

  std::uint64_t Now() const override;
  void Sleep(std::uint32_t ms) override;
  void PumpEvents() override;
  bool WaitEvents(int timeoutMs) override;
  void Wake() override;
  void Beep() override;

  // The CLIPBOARD selection (see X11Clipboard.h).
  void SetClipboardText(const std::string& utf8) override;
  std::optional<std::string> ClipboardText() override;

  // Waits until the server has drawn everything sent so far (tests and
  // benchmarks that look at the screen right after presenting).
  void Flush();
  // True when images reach the server through shared memory.
  bool UsesSharedMemory() const;
  // The X window id behind a host window (0 when unknown), for tests and
  // tools that talk to the server directly.
  unsigned long XWindowOf(THostWindow window) const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace vm
