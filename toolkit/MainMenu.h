// TMainMenu: the menu bar of a form. Attached as TForm::Menu, its platform
// menu becomes the form window's bar; changing an item redraws the bar. Its
// items' shortcuts work while the form is the active one.
#pragma once

#include "toolkit/Menu.h"

namespace vm::tk {

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
  std::string ClassName() const override { return "TMainMenu"; }

  void MenuChanged() override;

 protected:
  bool IsBar() const override { return true; }
};

}  // namespace vm::tk
