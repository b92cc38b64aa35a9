#include "platform/controls/ControlSupport.h"

namespace vm::ctl {

namespace {

constexpr TColor Sys(int index) {
  return 0xFF000000u | TColor(index);
}

}  // namespace

void SetObject(HWND h, void* object) {
  SetWindowLongPtr(h, 0, reinterpret_cast<LONG_PTR>(object));
}

void* ObjectOf(HWND h) {
  return reinterpret_cast<void*>(GetWindowLongPtr(h, 0));
}

bool RegisterControlClass(const char* name, WNDPROC proc, UINT style, TColor background,
                          int cursor) {
  WNDCLASS wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hCursor = LoadCursor(nullptr, cursor);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  wc.cbWndExtra = sizeof(void*);
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
  TColor back = defaultBack;
  return CtlColorFromResult(r, &back) ? back : defaultBack;
}

std::shared_ptr<const TFont> FontOf(HWND h) {
  auto font = reinterpret_cast<HFONT>(SendMessage(h, WM_GETFONT));
  if (auto f = font ? GetFontObject(font) : nullptr) return f;
  if (auto f = GetFontObject(GetStockFont(DEFAULT_GUI_FONT))) return f;
  return TFont::Default();
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
