// TMenu: what main menus and pop-up menus share. A menu is a tree of
// TMenuItem below its root item Items, shown by a platform menu (Handle).
//
// The window the menu belongs to (WindowHandle: the form of a main menu, the
// owner while a pop-up menu shows) hears the platform's menu messages; its
// control hands them to HandleMenuMessage, which finds the item concerned
// among all items alive: WM_COMMAND runs the chosen item's Click,
// WM_INITMENUPOPUP the OnClick of the sub-menu about to open, WM_MEASUREITEM
// and WM_DRAWITEM the owner drawing, WM_MENUCHAR the mnemonics of owner-drawn
// items.
#pragma once

#include <memory>

#include "platform/win/WinApi.h"
#include "toolkit/Component.h"
#include "toolkit/MenuItem.h"
#include "toolkit/Messages.h"

namespace vm::tk {

class TImageList;

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  std::string ClassName() const override { return "TMenu"; }

  // The root: its items are the menu's entries.
  TMenuItem* Items() const { return items_; }
  // The platform menu (made on first use).
  HMENU Handle() { return items_->Handle(); }
  // The pictures items show by ImageIndex (none by default).
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  // Every item is owner-drawn (drawn by its handlers or in the plain look).
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v);

  // Describes every item to the platform again (after events that make items
  // owner-drawn were given to or taken from items already shown).
  void Rebuild();

  HWND WindowHandle() const { return window_; }
  void SetWindowHandle(HWND h) { window_ = h; }

  // The item with this shortcut fires (its parents' OnClick first, then its
  // own Click when it and its parents are enabled). True when an item has
  // the shortcut, whether or not it was enabled: the key is used up.
  bool IsShortCut(int key, TShiftState shift);
  // The first item (depth first) with the shortcut, or nullptr.
  TMenuItem* FindShortCut(TShortCut shortCut) const;

  // Handles a menu message of a window; false when it is not about a menu
  // item of the toolkit.
  static bool HandleMenuMessage(TMessage& message);
  // A sub-menu is about to open: the OnClick of its item; true when the
  // handle is a sub-menu of a toolkit item.
  static bool DispatchPopup(HMENU menu);
  // Runs the Click of the item a command stands for; false when no item does.
  static bool DispatchCommand(UINT command);

  // Called by the items: the platform menu changed (a bar is redrawn).
  virtual void MenuChanged() {}

 protected:
  // Whether the root handle is a menu bar (main menus) or a pop-up menu.
  virtual bool IsBar() const { return false; }
  void Notification(TComponent* component, TOperation operation) override;
  // Describes the entries below item to the platform again.
  static void RefreshEntries(TMenuItem* item);

 private:
  friend class TMenuItem;
  TMenuItem* items_ = nullptr;
  bool ownerDraw_ = false;
  TImageList* images_ = nullptr;
  HWND window_ = nullptr;
};

}  // namespace vm::tk
