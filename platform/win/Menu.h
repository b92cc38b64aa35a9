// Menus and accelerator tables, with the platform's names and numbers.
//
// A menu is a handle to a list of items: text items (a "&" marks the
// mnemonic, a Tab separates the shortcut text shown at the right),
// separators, sub-menus and owner-drawn items. A menu attached with SetMenu
// is the window's menu bar, drawn in its non-client area; pop-up menus are
// shown in windows of the class "#32768" (registered by platform/controls),
// which can be found and subclassed like any window while they are open.
//
// Handles are never reused; a stale handle is "not a menu" (false, -1 or 0).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Types.h"
#include "platform/win/WinDefs.h"

namespace vm {

struct HMENU__;
using HMENU = HMENU__*;
struct HACCEL__;
using HACCEL = HACCEL__*;
using ULONG_PTR = std::uintptr_t;
struct MSG;

// ---- Messages and commands of menus ----
inline constexpr UINT WM_MENUCHAR = 0x0120;
inline constexpr UINT WM_MENURBUTTONUP = 0x0122;
inline constexpr UINT WM_UNINITMENUPOPUP = 0x0125;
inline constexpr UINT MN_GETHMENU = 0x01E1;  // a "#32768" window answers the menu it shows
inline constexpr WPARAM SC_MOUSEMENU = 0xF090;

// ---- Item flags of AppendMenu, InsertMenu, ModifyMenu and friends ----
inline constexpr UINT MF_INSERT = 0x0000;
inline constexpr UINT MF_CHANGE = 0x0080;
inline constexpr UINT MF_APPEND = 0x0100;
inline constexpr UINT MF_DELETE = 0x0200;
inline constexpr UINT MF_REMOVE = 0x1000;
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_BITMAP = 0x0004;
inline constexpr UINT MF_OWNERDRAW = 0x0100;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_MENUBARBREAK = 0x0020;
inline constexpr UINT MF_MENUBREAK = 0x0040;
inline constexpr UINT MF_UNHILITE = 0x0000;
inline constexpr UINT MF_HILITE = 0x0080;
inline constexpr UINT MF_DEFAULT = 0x1000;
inline constexpr UINT MF_SYSMENU = 0x2000;
inline constexpr UINT MF_HELP = 0x4000;
inline constexpr UINT MF_RIGHTJUSTIFY = 0x4000;
inline constexpr UINT MF_MOUSESELECT = 0x8000;

// ---- MENUITEMINFO ----
inline constexpr UINT MFT_STRING = MF_STRING;
inline constexpr UINT MFT_BITMAP = MF_BITMAP;
inline constexpr UINT MFT_MENUBARBREAK = MF_MENUBARBREAK;
inline constexpr UINT MFT_MENUBREAK = MF_MENUBREAK;
inline constexpr UINT MFT_OWNERDRAW = MF_OWNERDRAW;
inline constexpr UINT MFT_RADIOCHECK = 0x0200;
inline constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
inline constexpr UINT MFT_RIGHTORDER = 0x2000;
inline constexpr UINT MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;

inline constexpr UINT MFS_GRAYED = 0x0003;
inline constexpr UINT MFS_DISABLED = MFS_GRAYED;
inline constexpr UINT MFS_CHECKED = MF_CHECKED;
inline constexpr UINT MFS_HILITE = MF_HILITE;
inline constexpr UINT MFS_ENABLED = MF_ENABLED;
inline constexpr UINT MFS_UNCHECKED = MF_UNCHECKED;
inline constexpr UINT MFS_UNHILITE = MF_UNHILITE;
inline constexpr UINT MFS_DEFAULT = MF_DEFAULT;

inline constexpr UINT MIIM_STATE = 0x0001;
inline constexpr UINT MIIM_ID = 0x0002;
inline constexpr UINT MIIM_SUBMENU = 0x0004;
inline constexpr UINT MIIM_CHECKMARKS = 0x0008;
inline constexpr UINT MIIM_TYPE = 0x0010;
inline constexpr UINT MIIM_DATA = 0x0020;
inline constexpr UINT MIIM_STRING = 0x0040;
inline constexpr UINT MIIM_BITMAP = 0x0080;
inline constexpr UINT MIIM_FTYPE = 0x0100;

struct MENUITEMINFO {
  UINT fMask = 0;
  UINT fType = 0;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  ULONG_PTR dwItemData = 0;
  std::string dwTypeData;  // the item's text (UTF-8), with MIIM_STRING or MIIM_TYPE
};

// ---- TrackPopupMenu ----
inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_HORIZONTAL = 0x0000;
inline constexpr UINT TPM_VERTICAL = 0x0040;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;
inline constexpr UINT TPM_NOANIMATION = 0x4000;

struct TPMPARAMS {
  TRect rcExclude;  // screen rectangle the menu must not cover (the button that opened it)
};

// ---- WM_MENUCHAR answers (high word) ----
inline constexpr LRESULT MNC_IGNORE = 0;
inline constexpr LRESULT MNC_CLOSE = 1;
inline constexpr LRESULT MNC_EXECUTE = 2;
inline constexpr LRESULT MNC_SELECT = 3;

// ---- Accelerators ----
inline constexpr std::uint8_t FVIRTKEY = 0x01;
inline constexpr std::uint8_t FNOINVERT = 0x02;
inline constexpr std::uint8_t FSHIFT = 0x04;
inline constexpr std::uint8_t FCONTROL = 0x08;
inline constexpr std::uint8_t FALT = 0x10;

struct ACCEL {
  std::uint8_t fVirt = 0;  // FVIRTKEY: key is a virtual key, else a character code
  std::uint16_t key = 0;
  std::uint16_t cmd = 0;
};

// ---- Menu handles and items ----

HMENU CreateMenu();       // a menu bar
HMENU CreatePopupMenu();  // a drop-down, sub-menu or shortcut menu
// Destroys the menu and its sub-menus. A menu still attached to a window is
// detached from it first.
bool DestroyMenu(HMENU menu);
bool IsMenu(HMENU menu);

// flags: MF_STRING / MF_SEPARATOR / MF_OWNERDRAW, MF_POPUP (idNewItem is
// then the sub-menu's HMENU), MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_HILITE,
// MF_MENUBREAK, MF_MENUBARBREAK, MF_RIGHTJUSTIFY. MF_DEFAULT is ignored here
// (SetMenuDefaultItem names the default item); ModifyMenu keeps the mark.
bool AppendMenu(HMENU menu, UINT flags, UINT_PTR idNewItem, std::string_view text = {});
// Inserts before the item named by position (MF_BYPOSITION) or command id;
// a position past the end appends.
bool InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem,
                std::string_view text = {});
bool InsertMenuItem(HMENU menu, UINT item, bool byPosition, const MENUITEMINFO& info);
bool ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem,
                std::string_view text = {});
// RemoveMenu keeps a removed sub-menu alive (the caller owns it again);
// DeleteMenu destroys it.
bool RemoveMenu(HMENU menu, UINT position, UINT flags);
bool DeleteMenu(HMENU menu, UINT position, UINT flags);

int GetMenuItemCount(HMENU menu);  // -1 for a stale handle
// The command id of the item at pos; -1 (as UINT) for a sub-menu or no item.
UINT GetMenuItemID(HMENU menu, int pos);
HMENU GetSubMenu(HMENU menu, int pos);
bool GetMenuItemInfo(HMENU menu, UINT item, bool byPosition, MENUITEMINFO* info);
bool SetMenuItemInfo(HMENU menu, UINT item, bool byPosition, const MENUITEMINFO& info);
// The item's MF_ state bits (for a sub-menu the item count in the high byte),
// or -1 (as UINT) when there is no such item.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// Copies the item's text (at most maxCount - 1 bytes, never half a UTF-8
// sequence); returns the bytes copied, or the full length when buffer is null.
int GetMenuString(HMENU menu, UINT item, char* buffer, int maxCount, UINT flags);
std::string GetMenuText(HMENU menu, UINT item, UINT flags);

// Previous MF_GRAYED/MF_DISABLED bits, or -1 (as UINT) when there is no such item.
UINT EnableMenuItem(HMENU menu, UINT item, UINT enable);
// Previous MF_CHECKED bit, or -1 (as UINT).
UINT CheckMenuItem(HMENU menu, UINT item, UINT check);
// Checks one item of the range first..last with a radio bullet and unchecks the others.
bool CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
bool HiliteMenuItem(HWND hwnd, HMENU menu, UINT item, UINT hilite);
bool SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);

// ---- The menu bar ----

// Attaches a menu bar to a top-level window (nullptr removes it); the
// non-client area is recomputed. The previous menu is not destroyed.
bool SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
bool DrawMenuBar(HWND hwnd);
// The item's rectangle in screen coordinates: of the menu bar when hwnd
// owns it, of the open pop-up menu window otherwise.
bool GetMenuItemRect(HWND hwnd, HMENU menu, UINT pos, TRect* rect);
// The position of the item at a screen point, or -1.
int MenuItemFromPoint(HWND hwnd, HMENU menu, TPoint screen);

// ---- Pop-up menus ----

// Shows the menu at (x, y) (screen) and tracks it until the user chooses an
// item or cancels. A nested loop runs meanwhile (timers fire, windows
// repaint). With TPM_RETURNCMD the chosen command is returned (0 when
// cancelled) and nothing is sent; otherwise WM_COMMAND is posted to hwnd and
// the result is true when an item was chosen.
int TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND hwnd, const TPMPARAMS* params);
int TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND hwnd,
                   const TRect* ignored = nullptr);
// Paints the items of a pop-up menu as laid out for the "#32768" window
// showing it (client coordinates); owner-drawn items are drawn by the menu's
// owner through WM_DRAWITEM. The window procedure of "#32768" calls it.
bool PaintMenuItems(HMENU menu, HDC dc);
// Closes the menu being tracked (the loop returns as cancelled).
bool EndMenu();
// The menu being tracked, or nullptr.
HMENU GetTrackedMenu();

// ---- The system menu ----

// The window's system menu (revert: drop the window's own copy and get the
// default again). Its items are enabled from the window's styles and state
// each time it opens.
HMENU GetSystemMenu(HWND hwnd, bool revert);

// ---- Accelerators ----

HACCEL CreateAcceleratorTable(const ACCEL* entries, int count);
bool DestroyAcceleratorTable(HACCEL table);
// Copies the entries (or counts them when out is null).
int CopyAcceleratorTable(HACCEL table, ACCEL* out, int count);
// Turns a key message matching an entry into WM_COMMAND (or WM_SYSCOMMAND
// for a system-menu command) sent to hwnd; true when the key was taken.
int TranslateAccelerator(HWND hwnd, HACCEL table, const MSG* msg);

}  // namespace vm
