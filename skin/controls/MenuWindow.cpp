#include "skin/controls/MenuWindow.h"

#include <memory>
#include <unordered_map>

#include "skin/controls/SkinableMenus.h"

namespace vm {

namespace {

std::unordered_map<HWND, std::unique_ptr<TsMenuWindow>>& Held() {
  static std::unordered_map<HWND, std::unique_ptr<TsMenuWindow>> held;
  return held;
}

}  // namespace

TsMenuWindow* TsMenuWindow::Attach(HWND window) {
  if (!IsWindow(window)) return nullptr;
  if (TsMenuWindow* w = Find(window)) return w;
  auto* w = new TsMenuWindow(window);
  Held()[window].reset(w);
  return w;
}

TsMenuWindow* TsMenuWindow::Find(HWND window) {
  auto it = Held().find(window);
  return it == Held().end() ? nullptr : it->second.get();
}

void TsMenuWindow::DetachAll() {
  auto held = std::move(Held());
  Held().clear();
  held.clear();
}

TsMenuWindow::TsMenuWindow(HWND window) : handle_(window) {
  mine_ = WNDPROC::FromClosure(
      [this](HWND h, UINT msg, WPARAM w, LPARAM l) { return Proc(h, msg, w, l); });
  previous_ = SetWindowProc(window, mine_);
}

TsMenuWindow::~TsMenuWindow() {
  RemoveWindowProc(handle_, mine_, previous_);
}

LRESULT TsMenuWindow::Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND:
      // The items paint the whole client area from the menu's picture.
      return 1;
    case WM_NCPAINT: {
      // The border comes from the menu's picture once it fits the window;
      // until then the window's own border is drawn.
      const TsSkinableMenus::TPopupCache& c = TsSkinableMenus::PopupCache();
      TRect r;
      if (c.Background && c.Window == h && GetWindowRect(h, &r) &&
          c.Background->Width() == r.Width() && c.Background->Height() == r.Height())
        return 0;
      break;
    }
    case WM_NCDESTROY: {
      if (TsSkinableMenus::PopupCache().Window == h) TsSkinableMenus::DropPopupCache();
      WNDPROC previous = previous_;
      // Freed here: the subclass goes with its window (its closure stays
      // alive until this call returns).
      auto it = Held().find(h);
      if (it != Held().end()) {
        std::unique_ptr<TsMenuWindow> self = std::move(it->second);
        Held().erase(it);
      }
      return CallWindowProc(previous, h, msg, w, l);
    }
  }
  return CallWindowProc(previous_, h, msg, w, l);
}

}  // namespace vm
