#include "toolkit/MainMenu.h"

namespace vm::tk {

void TMainMenu::MenuChanged() {
  // The platform redraws a bar whose entries change. The bar itself is made
  // again when its window took the old one along: the form gets the new one.
  HWND w = WindowHandle();
  if (!w || !IsWindow(w) || !GetMenu(w)) return;
  HMENU h = Handle();
  if (GetMenu(w) != h) SetMenu(w, h);
}

}  // namespace vm::tk
