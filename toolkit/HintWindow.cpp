#include "toolkit/HintWindow.h"

#include "platform/gfx/SysColors.h"
#include "toolkit/Application.h"

namespace vm {

namespace {

constexpr TColor InfoBk = 0xFF000000u | COLOR_INFOBK;
constexpr TColor InfoText = 0xFF000000u | COLOR_INFOTEXT;
constexpr TColor FrameColor = 0xFF000000u | COLOR_WINDOWFRAME;
constexpr std::uint32_t HintTextFlags = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK;

}  // namespace

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  visible_ = false;
  color_ = InfoBk;
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.WndParent = Application ? Application->Handle() : nullptr;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& text) {
  TBitmap scratch;
  scratch.Reset(1, 1, TPixelFormat::pf24bit);
  TDC dc(scratch);
  dc.SelectFont(TFont::Default());
  TRect r = Rect(0, 0, maxWidth, 0);
  dc.DrawText(text, r, HintTextFlags | DT_CALCRECT);
  // Text inset by 2 pixels plus the frame, as the classic hint looks.
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHint(TRect rect, const std::string& text) {
  text_ = text;
  HandleNeeded();
  SetWindowText(Handle(), text);
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  visible_ = true;
  SetWindowPos(Handle(), HWND_TOPMOST, rect.Left, rect.Top, rect.Width(), rect.Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  visible_ = false;
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

bool THintWindow::Active() const {
  return HandleAllocated() && IsWindowVisible(const_cast<THintWindow*>(this)->Handle());
}

void THintWindow::Paint() {
  HDC dc = PaintDC();
  TRect r = ClientRect();
  dc->FillRect(r, color_);
  dc->FrameRect(r, FrameColor);
  dc->SelectFont(TFont::Default());
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(InfoText);
  TRect t = Rect(r.Left + 3, r.Top + 1, r.Right - 3, r.Bottom - 1);
  dc->DrawText(GetText(), t, HintTextFlags);
}

}  // namespace vm
