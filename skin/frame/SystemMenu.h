// TsSystemMenu: the skinned system menu of a form, opened by the frame from
// the caption icon, a right click on the caption or Alt+Space.
//
// It is an ordinary pop-up menu of the toolkit (so the skinned menu painter
// can draw it) with the window commands of its form: Restore, Move, Size,
// Minimize, Maximize and, after a separator, Close. Which of them are shown
// and enabled follows the form's border style, border icons and window state
// (FormAvailability.h); UpdateItems sets them, and every window command run
// from the menu refreshes them again. With MakeSkinMenu a skin chooser is put
// at the top each time the menu opens: one radio item per skin the manager
// can offer, the current one checked, twenty to a column.
//
// The item captions come from SystemMenuStrings(), a table the program may
// give its own language before menus are made.
#pragma once

#include <memory>
#include <string>

#include "toolkit/PopupMenu.h"

namespace vm {

class TCustomForm;
class TsSkinManager;
class TsSkinProvider;

struct TsSystemMenuStrings {
  std::string Restore = "Restore";
  std::string Move = "Move";
  std::string Size = "Size";
  std::string Minimize = "Minimize";
  std::string Maximize = "Maximize";
  std::string Close = "Close";
  std::string AvailableSkins = "Available skins";
};

// The process-wide caption table of system menus.
TsSystemMenuStrings& SystemMenuStrings();

class TsSystemMenu : public tk::TPopupMenu {
 public:
  // owner frees the menu (the form's frame); form receives the commands.
  TsSystemMenu(TComponent* owner, TCustomForm* form);
  ~TsSystemMenu() override;
  std::string ClassName() const override { return "TsSystemMenu"; }

  TCustomForm* Form() const { return form_; }
  // The manager whose skins the chooser lists and whose SkinnedPopups decides
  // whether the menu painter draws the menu; nullptr means the default manager.
  TsSkinManager* Manager() const;
  void SetManager(TsSkinManager* manager);
  // Put the skin chooser at the top whenever the menu opens.
  bool MakeSkinMenu = false;

  // The items, in menu order (the chooser, when made, comes before them).
  tk::TMenuItem* ItemRestore = nullptr;
  tk::TMenuItem* ItemMove = nullptr;
  tk::TMenuItem* ItemSize = nullptr;
  tk::TMenuItem* ItemMinimize = nullptr;
  tk::TMenuItem* ItemMaximize = nullptr;
  tk::TMenuItem* ItemSeparator = nullptr;
  tk::TMenuItem* ItemClose = nullptr;

  // Shows, hides, enables and disables the items for the form as it is now.
  // systemMenuPresent: the form had the system-menu style (the frame took it
  // away to draw its own buttons). Remembered for the refresh after commands.
  void UpdateItems(bool systemMenuPresent);

  // Rebuilds the skin chooser (deleting an earlier one first).
  void MakeSkinItems();
  // The chooser item ("SkinSelectItem"), or nullptr.
  tk::TMenuItem* SkinItems() const;

  // Opens the menu at a screen point, tied to the form's window, and runs the
  // chosen command once it has closed.
  void Popup(int X, int Y) override;

  // The window commands, as the items run them.
  void RestoreClick();
  void MoveClick();
  void SizeClick();
  void MinimizeClick();
  void MaximizeClick();
  void CloseClick();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  tk::TMenuItem* NewItem(const char* name, const std::string& caption,
                         void (TsSystemMenu::*click)());
  // Sends a system command to the form's window; false without a window.
  bool Command(unsigned command);
  void Refresh();
  void SkinChosen(const std::string& caption);

  TCustomForm* form_ = nullptr;
  TsSkinManager* manager_ = nullptr;
  bool systemMenuPresent_ = true;
  // While Popup runs the chosen command: a skin choice waits until the menu
  // code is done with its items (a new skin may rebuild this menu).
  bool dispatching_ = false;
  std::string pendingSkin_;
  // Cleared by the destructor; Popup checks it after running a command.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Makes the skinned system menu of a frame: owned by the provider, opened by
// it through its OnSystemMenu with the provider's current MakeSkinMenu,
// manager and system-menu state. Returns the menu.
TsSystemMenu* AttachSystemMenu(TsSkinProvider& provider);

}  // namespace vm
