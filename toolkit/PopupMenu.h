// TPopupMenu: a shortcut menu. Popup(X, Y) shows it at a screen point and
// runs the chosen item's Click once it has closed. A control whose PopupMenu
// it is opens it on a right click (or the context-menu key) when AutoPopup is
// set, with PopupComponent naming that control. OnPopup fires before it shows.
#pragma once

#include "toolkit/Menu.h"

namespace vm::tk {

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
  ~TPopupMenu() override;
  std::string ClassName() const override { return "TPopupMenu"; }

  // Shows the menu and waits until it closes (the chosen item's Click runs after that).
  virtual void Popup(int X, int Y);
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool v) { autoPopup_ = v; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment v) { alignment_ = v; }
  // The control the menu was last opened for.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* c);
  TNotifyEvent OnPopup;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool autoPopup_ = true;
  TPopupAlignment alignment_ = paLeft;
  TComponent* popupComponent_ = nullptr;
};

}  // namespace vm::tk
