// TnxScrollWnd: the skinned frame and scroll bars of a window that keeps its
// own (a memo, a list box). It puts itself in front of the window's
// procedure and paints the whole non-client area from the skin: the frame
// from the control's section, each bar's two page parts from
// "SCROLLBAR1V"/"SCROLLBAR2V" (or ..H), its arrows from "SCROLLBTNTOP",
// "SCROLLBTNBOTTOM", "SCROLLBTNLEFT" and "SCROLLBTNRIGHT" with their
// GLYPHMASK arrows, and its thumb from "SCROLLSLIDERV"/"SCROLLSLIDERH"; the
// part under the pointer shows its hot look and the part the platform's
// scroll-bar engine holds pressed its pressed look. The engine keeps the
// geometry, the hit testing and the scrolling. A skin without any of these
// sections leaves the platform's own frame and bars.
#pragma once

#include <memory>

#include "platform/win/WinApi.h"
#include "skin/state/ScrollPainter.h"

namespace vm {

class TsCommonData;

class TnxScrollWnd : public TsScrollPainter {
 public:
  // window: the window to paint; data: its control's skin state (the
  // section of the frame, the manager).
  TnxScrollWnd(HWND window, TsCommonData& data);
  ~TnxScrollWnd() override;
  TnxScrollWnd(const TnxScrollWnd&) = delete;
  TnxScrollWnd& operator=(const TnxScrollWnd&) = delete;

  void Update() override;
  bool Attached() const override { return attached_; }
  // Gives the window its own procedure back (also when it is destroyed).
  void Detach();

  // The bar (SB_HORZ, SB_VERT) and part (1 first arrow, 2 page before the
  // thumb, 3 thumb, 4 page after, 5 last arrow) under the pointer; -1 and 0
  // when none.
  int HotBar() const { return hotBar_; }
  int HotPart() const { return hotPart_; }
  // Whether the skin has everything the painter draws with.
  bool CanPaint() const;
  // The frame and bars into dc (window coordinates); with no dc, into the
  // window's own, taken once the picture is made (making it asks the parent
  // for its background, and the window may be gone after that).
  void PaintNonClient(HDC dc = nullptr);

 private:
  struct TLink;
  LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l);
  void SetHot(int bar, int part);
  int PartAt(int bar, TPoint screen) const;
  void RedrawFrame();

  HWND handle_;
  TsCommonData* data_;
  WNDPROC mine_;
  WNDPROC previous_;
  std::shared_ptr<TLink> link_;
  bool attached_ = false;
  int hotBar_ = -1;
  int hotPart_ = 0;
};

// Registers the painter's factory with the skinned controls.
void RegisterScrollWnd();

}  // namespace vm
