// "#32768": the window a pop-up menu is shown in while the menu loop tracks
// it. It only shows the menu: the loop in platform/win owns the input. Being
// a real window of the platform's class, it can be found (by class name or
// MN_GETHMENU) and subclassed to paint it differently.
#include "platform/controls/Controls.h"
#include "platform/gfx/SysColors.h"
#include "platform/win/WinApi.h"

namespace vm {

namespace {

constexpr const char* MenuProp = "vm.PopupMenu";

HMENU MenuOf(HWND h) {
  return reinterpret_cast<HMENU>(GetProp(h, MenuProp));
}

LRESULT PopupMenuProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE:
      if (auto* cs = reinterpret_cast<CREATESTRUCT*>(lp))
        SetProp(h, MenuProp, reinterpret_cast<std::intptr_t>(cs->lpCreateParams));
      break;
    case MN_GETHMENU:
      return LRESULT(reinterpret_cast<std::intptr_t>(MenuOf(h)));
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // the window the menu belongs to stays active
    case WM_ERASEBKGND:
      if (HDC dc = reinterpret_cast<HDC>(wp)) {
        dc->FillRect(dc->ClipBox(), GetSysColor(COLOR_MENU));
        return 1;
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) PaintMenuItems(MenuOf(h), dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      RemoveProp(h, MenuProp);
      break;
  }
  return DefWindowProc(h, msg, wp, lp);
}

}  // namespace

void RegisterPopupMenuClass() {
  WNDCLASS wc;
  wc.style = CS_SAVEBITS | CS_DBLCLKS;
  wc.lpfnWndProc = &PopupMenuProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "#32768";
  RegisterClass(wc);
}

}  // namespace vm
