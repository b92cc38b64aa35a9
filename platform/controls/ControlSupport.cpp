#include "platform/controls/ControlSupport.h"

namespace vm::ctl {

namespace {

constexpr const char* ObjectProp = "vm.control.object";

constexpr TColor Sys(int index) {
  return 0xFF000000u | TColor(index);
}

}  // namespace

void SetObject(HWND h, void* object) {
  if (object)
    SetProp(h, ObjectProp, reinterpret_cast<std::intptr_t>(object));
  else
    RemoveProp(h, ObjectProp);
}

void* ObjectOf(HWND h) {
  return reinterpret_cast<void*>(GetProp(h, ObjectProp));
}

bool RegisterControlClass(const char* name, WNDPROC proc, UINT style, TColor background) {
  WNDCLASS wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClass(wc) != 0;
}

void NotifyCommand(HWND h, UINT code) {
  HWND parent = GetParent(h);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), int(code)),
              LPARAM(reinterpret_cast<std::uintptr_t>(h)));
}

LRESULT NotifyParent(HWND h, NMHDR* header, UINT code) {
  HWND parent = GetParent(h);
  if (!parent || !header) return 0;
  header->hwndFrom = h;
  header->idFrom = UINT_PTR(GetDlgCtrlID(h));
  header->code = code;
  return SendMessage(parent, WM_NOTIFY, WPARAM(header->idFrom),
                     LPARAM(reinterpret_cast<std::uintptr_t>(header)));
}

TColor AskColors(HWND h, UINT msg, HDC dc, TColor defaultText, TColor defaultBack) {
  dc->SetTextColor(defaultText);
  dc->SetBkColor(defaultBack);
  HWND parent = GetParent(h);
  if (!parent) return defaultBack;
  LRESULT r = SendMessage(parent, msg, WPARAM(reinterpret_cast<std::uintptr_t>(dc)),
                          LPARAM(reinterpret_cast<std::uintptr_t>(h)));
  if (r == 0) return defaultBack;
  return TColor(r);
}

std::shared_ptr<const TFont> FontOf(HWND) {
  return TFont::Default();
}

void RaisedEdge(TDC& dc, TRect& r) {
  if (r.Width() < 2 || r.Height() < 2) return;
  // Outer: highlight top-left, dark shadow bottom-right; inner: light, shadow.
  dc.FillRect(Rect(r.Left, r.Top, r.Right - 1, r.Top + 1), Sys(COLOR_BTNHIGHLIGHT));
  dc.FillRect(Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1), Sys(COLOR_BTNHIGHLIGHT));
  dc.FillRect(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), Sys(COLOR_3DDKSHADOW));
  dc.FillRect(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), Sys(COLOR_3DDKSHADOW));
  r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  if (r.Width() < 2 || r.Height() < 2) return;
  dc.FillRect(Rect(r.Left, r.Top, r.Right - 1, r.Top + 1), Sys(COLOR_3DLIGHT));
  dc.FillRect(Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1), Sys(COLOR_3DLIGHT));
  dc.FillRect(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), Sys(COLOR_BTNSHADOW));
  dc.FillRect(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), Sys(COLOR_BTNSHADOW));
  r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}

void SunkenEdge(TDC& dc, TRect& r) {
  if (r.Width() < 2 || r.Height() < 2) return;
  dc.FillRect(Rect(r.Left, r.Top, r.Right - 1, r.Top + 1), Sys(COLOR_BTNSHADOW));
  dc.FillRect(Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1), Sys(COLOR_BTNSHADOW));
  dc.FillRect(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), Sys(COLOR_BTNHIGHLIGHT));
  dc.FillRect(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), Sys(COLOR_BTNHIGHLIGHT));
  r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  if (r.Width() < 2 || r.Height() < 2) return;
  dc.FillRect(Rect(r.Left, r.Top, r.Right - 1, r.Top + 1), Sys(COLOR_3DDKSHADOW));
  dc.FillRect(Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1), Sys(COLOR_3DDKSHADOW));
  dc.FillRect(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), Sys(COLOR_3DLIGHT));
  dc.FillRect(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), Sys(COLOR_3DLIGHT));
  r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}

void EtchedFrame(TDC& dc, const TRect& r) {
  if (r.Width() < 2 || r.Height() < 2) return;
  dc.FrameRect(Rect(r.Left + 1, r.Top + 1, r.Right, r.Bottom), Sys(COLOR_BTNHIGHLIGHT));
  dc.FrameRect(Rect(r.Left, r.Top, r.Right - 1, r.Bottom - 1), Sys(COLOR_BTNSHADOW));
}

void FocusRect(TDC& dc, const TRect& r) {
  if (r.IsEmpty()) return;
  auto invert = [&](int x, int y) {
    TColor c = dc.GetPixel(x, y);
    if (c != CLR_INVALID) dc.SetPixel(x, y, (~c) & 0x00FFFFFF);
  };
  // Pixels on a checkerboard, so adjoining sides keep the dotted rhythm.
  for (int x = r.Left; x < r.Right; ++x) {
    if (((x + r.Top) & 1) == 0) invert(x, r.Top);
    if (r.Bottom - 1 > r.Top && ((x + r.Bottom - 1) & 1) == 0) invert(x, r.Bottom - 1);
  }
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    if (((r.Left + y) & 1) == 0) invert(r.Left, y);
    if (r.Right - 1 > r.Left && ((r.Right - 1 + y) & 1) == 0) invert(r.Right - 1, y);
  }
}

void GrayText(TDC& dc, std::string_view text, TRect r, std::uint32_t flags) {
  TDCSaver save(dc);
  dc.SetBkMode(TRANSPARENT);
  TRect shifted = r.Offset(1, 1);
  dc.SetTextColor(Sys(COLOR_BTNHIGHLIGHT));
  dc.DrawText(text, shifted, flags);
  dc.SetTextColor(Sys(COLOR_BTNSHADOW));
  dc.DrawText(text, r, flags);
}

std::size_t NextChar(std::string_view s, std::size_t i) {
  if (i >= s.size()) return s.size();
  ++i;
  while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  return i;
}

std::size_t PrevChar(std::string_view s, std::size_t i) {
  if (i == 0) return 0;
  if (i > s.size()) return s.size();
  --i;
  while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
  return i;
}

bool KeyDown(int vk) {
  return (GetKeyState(vk) & 0x8000) != 0;
}

}  // namespace vm::ctl
