#include "toolkit/PopupMenu.h"

#include "toolkit/Application.h"
#include "toolkit/Control.h"
#include "toolkit/Form.h"
#include "toolkit/Screen.h"

namespace vm::tk {

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::SetPopupComponent(TComponent* c) {
  // The link to a previous component stays: it is the same link the control
  // keeps to its PopupMenu, and a link too many only means a notification
  // that changes nothing.
  popupComponent_ = c;
  if (c) FreeNotification(c);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == TOperation::opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  // The window that hears the menu's messages: the form of the control it
  // opens for, else the active form, else the main form.
  TCustomForm* form = nullptr;
  if (auto* c = dynamic_cast<TControl*>(popupComponent_)) form = c->GetParentForm();
  if (!form && Screen) form = Screen->ActiveForm();
  if (!form && Application) form = Application->MainForm();
  HWND owner = form ? form->Handle() : Application ? Application->Handle() : nullptr;
  if (!owner) return;
  UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON;
  if (alignment_ == paRight) flags |= TPM_RIGHTALIGN;
  if (alignment_ == paCenter) flags |= TPM_CENTERALIGN;
  // Entries are described again: a handler of OnPopup may have changed their events.
  RefreshEntries(Items());
  SetWindowHandle(owner);
  int command = TrackPopupMenuEx(Handle(), flags, X, Y, owner, nullptr);
  if (command) DispatchCommand(UINT(command));
}

}  // namespace vm::tk
