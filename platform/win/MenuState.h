// Internal state of the menus: menu records, accelerator tables, the menu
// bars attached to windows, their layout and painting, and the tracker of the
// menu being shown. Only platform/win includes this; everything else uses
// Menu.h through WinApi.h.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/AsciiCase.h"
#include "platform/gfx/DC.h"
#include "platform/win/WinApi.h"

namespace vm {

struct TWnd;

struct TMenuItem {
  UINT Type = MFT_STRING;
  UINT State = 0;
  UINT Id = 0;
  HMENU SubMenu = nullptr;
  std::string Text;  // "&" marks the mnemonic; a Tab starts the shortcut text
  ULONG_PTR Data = 0;
  // Laid out: a bar item in window coordinates, a pop-up item in the menu
  // window's client coordinates.
  TRect Rect;
  int Tab = 0;  // pop-up items: where the shortcut text starts, from the item's left
};

struct TMenu {
  HMENU Handle = nullptr;
  bool Popup = false;
  std::vector<TMenuItem> Items;
  HWND SystemOf = nullptr;  // the window whose system menu this is
  HWND BarOf = nullptr;     // the window showing this menu as its bar
  HWND Window = nullptr;    // the "#32768" window showing this pop-up menu
  TSize Size;               // pop-up menus: the laid-out client size
};

// The menus' part of the window system's state (TWindowSystem::Menus).
class TMenuSystem {
 public:
  static TMenuSystem& Get();
  // Marks a window as having a menu bar or a system menu, so the menus are
  // told when it goes (its bar and system menu are destroyed with it).
  static void Track(HWND hwnd);

  TMenu* Find(HMENU h) const;
  HMENU New(bool popup);
  void Destroy(HMENU h);  // with its sub-menus

  std::unordered_map<std::uintptr_t, std::unique_ptr<TMenu>> Menus;
  std::uintptr_t NextMenu = 0x200000;
  std::unordered_map<std::uintptr_t, std::vector<ACCEL>> Accels;
  std::uintptr_t NextAccel = 0x300000;
  std::unordered_map<HWND, HMENU> Bars;         // window -> its menu bar
  std::unordered_map<HWND, HMENU> SystemMenus;  // window -> its system menu
  class TMenuTracker* Tracker = nullptr;        // the menu loop running, if any
};

// Finds an item by command id (searching sub-menus too) or by position.
// On success *owner is the menu that holds it.
TMenuItem* FindMenuItem(TMenu* menu, UINT item, bool byPosition, TMenu** owner = nullptr,
                        int* index = nullptr);

// Text of an item before the Tab (label) and after it (shortcut).
std::string MenuLabel(const std::string& text);
std::string MenuShortcut(const std::string& text);
// The mnemonic letter (lower-case code point) of a text, or 0.
char32_t MenuMnemonic(const std::string& text);

// ---- Layout and painting (MenuPaint.cpp) ----

int MenuBarHeightFor(HMENU bar, HWND hwnd, int width);
// Lays the bar's items out inside barRect (window coordinates); returns the height.
int LayoutMenuBar(TMenu* bar, HWND hwnd, const TRect& barRect);
// The bar's rectangle in window coordinates (empty when the window has no bar).
TRect MenuBarRect(const TWnd* w);
void PaintMenuBar(const TWnd* w, TDC& dc);
// Measures a pop-up menu (sending WM_MEASUREITEM to owner for owner-drawn items).
void LayoutPopupMenu(TMenu* menu, HWND owner);
void PaintPopupMenuItems(TMenu* menu, HWND owner, TDC& dc);
// What DefWindowProc asks of the menus (MenuBar.cpp): the bar's height in a
// window of that width and style, whether a point (window coordinates) is
// on the bar, and the menu system commands SC_MOUSEMENU and SC_KEYMENU.
int MenuBarHeight(HWND hwnd, int windowWidth, DWORD style, DWORD exStyle);
// Makes menu the bar of hwnd without measuring the frame again (SetMenu does
// that too): what CreateWindowEx does with a top-level window's menu before
// the window's first WM_NCCALCSIZE. False for a child or a stale menu.
bool AttachMenuBar(HWND hwnd, HMENU menu);
// A bar's items changed (added, removed, retitled): the frame is measured
// again at once when the bar's height changes, and the bar is painted with
// the next WM_NCPAINT, so that a menu rebuilt item by item paints once.
void MenuBarChanged(HWND hwnd);
bool MenuBarHitTest(HWND hwnd, TPoint windowPt);
void MenuSysCommand(HWND hwnd, WPARAM cmd, LPARAM lp);
// WM_CONTEXTMENU left to DefWindowProc: on the caption, the system menu at the pointer.
void MenuContextMenu(HWND hwnd, LPARAM screenPos);

// WM_NEXTDLGCTL's focus move (DialogNav.cpp), also done by DefWindowProc.
void NextDlgCtl(HWND dlg, WPARAM wp, LPARAM lp);

// True when the tracker shows the bar item's drop-down (the item looks pressed).
bool MenuBarItemOpen(HMENU bar, int index);

}  // namespace vm
