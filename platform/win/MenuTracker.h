// The menu loop: tracks a menu bar or a pop-up menu with the mouse and the
// keyboard in a nested message loop, opening "#32768" windows for the
// drop-downs and sub-menus, until an item is chosen or the menu is cancelled.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/MenuState.h"

namespace vm {

class TMenuTracker {
 public:
  // Underlined mnemonics and the keyboard look are shown (the menu was
  // entered from the keyboard or a key was used in it).
  static bool ShowCues();

  // The bar of hwnd (or its system menu) entered with the mouse at a screen
  // point, or from the keyboard: key 0 selects the first item, ' ' opens the
  // system menu, another character the item with that mnemonic.
  static void TrackBarByMouse(HWND hwnd, TPoint screen, bool systemMenu);
  static void TrackBarByKey(HWND hwnd, std::uint32_t key);
  // The system menu of hwnd at a screen point (a right click on the caption).
  static void TrackSystemMenuAt(HWND hwnd, TPoint screen);
  static int TrackPopup(HMENU menu, UINT flags, int x, int y, HWND hwnd, const TPMPARAMS* params);

  struct TTop {
    HMENU Menu = nullptr;  // the drop-down (nullptr for a bar item without one)
    bool System = false;
    int BarIndex = -1;
  };
  struct TLevel {
    HMENU Menu = nullptr;
    HWND Window = nullptr;
    int Sel = -1;
    bool System = false;
  };

  HWND Owner = nullptr;
  HMENU Bar = nullptr;
  bool BarMode = false;
  UINT Flags = 0;
  bool Keyboard = false;
  std::vector<TTop> Tops;
  int TopSel = -1;
  std::vector<TLevel> Levels;
  bool Done = false;
  bool Chosen = false;
  UINT Command = 0;
  bool SystemCommand = false;
  TPoint ChosenAt;
  HWND CaptureWnd = nullptr;
  int HoverLevel = -1;  // a sub-menu waits to open (or close) after the hover delay
  std::uint64_t OpenedAt = 0;
  bool ButtonWasDown = false;

 private:
  friend struct TMenuLoop;
};

// The platform's delay before hovering opens a sub-menu, in milliseconds.
inline constexpr UINT MenuShowDelay = 400;

}  // namespace vm
