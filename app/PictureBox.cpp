#include "app/PictureBox.h"

#include <algorithm>

namespace vm::app {

TPictureBox::TPictureBox(TComponent* owner) : TScrollBox(owner) {
  SetTabStop(true);
}

void TPictureBox::ScrollWheel(int delta, bool horizontal) {
  TControlScrollBar& bar = horizontal ? *HorzScrollBar() : *VertScrollBar();
  if (horizontal != wheelHorizontal_) wheelRest_ = 0;
  wheelHorizontal_ = horizontal;
  if (!bar.IsScrollBarVisible()) return;
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  wheelRest_ += delta;
  const int notches = wheelRest_ / WHEEL_DELTA;
  wheelRest_ -= notches * WHEEL_DELTA;
  bar.SetPosition(bar.Position() - notches * int(lines) * bar.Increment());
}

void TPictureBox::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_MOUSEWHEEL:
      ScrollWheel(GET_WHEEL_DELTA_WPARAM(message.WParam), (LOWORD(message.WParam) & MK_SHIFT) != 0);
      message.Result = 0;
      return;
    case WM_GETDLGCODE:
      message.Result = DLGC_WANTARROWS;
      return;
    case WM_LBUTTONDOWN:
      if (CanFocus() && !Focused()) SetFocus();
      break;
    default:
      break;
  }
  TScrollBox::WndProc(message);
}

bool TPictureBox::DoKeyDown(int& key, TShiftState shift) {
  if (TScrollBox::DoKeyDown(key, shift)) return true;
  TControlScrollBar& h = *HorzScrollBar();
  TControlScrollBar& v = *VertScrollBar();
  const int pageX = std::max(1, ClientWidth() - h.Increment());
  const int pageY = std::max(1, ClientHeight() - v.Increment());
  const bool ctrl = (shift & ssCtrl) != 0;
  switch (key) {
    case VK_UP:
      v.SetPosition(v.Position() - v.Increment());
      return true;
    case VK_DOWN:
      v.SetPosition(v.Position() + v.Increment());
      return true;
    case VK_LEFT:
      h.SetPosition(h.Position() - h.Increment());
      return true;
    case VK_RIGHT:
      h.SetPosition(h.Position() + h.Increment());
      return true;
    case VK_PRIOR:
      (ctrl ? h : v).SetPosition((ctrl ? h : v).Position() - (ctrl ? pageX : pageY));
      return true;
    case VK_NEXT:
      (ctrl ? h : v).SetPosition((ctrl ? h : v).Position() + (ctrl ? pageX : pageY));
      return true;
    case VK_HOME:
      (ctrl ? h : v).SetPosition(0);
      return true;
    case VK_END:
      (ctrl ? h : v).SetPosition((ctrl ? h : v).Range());
      return true;
    default:
      return false;
  }
}

}  // namespace vm::app
