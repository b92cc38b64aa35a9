// The kinds of subclass object a platform dialog's windows get (the dialog's
// own frame and each kind of child window), and the registry of the factories
// that make them. The dialog provider chooses a kind and a section for each
// window it walks and asks the registry; a kind without a factory leaves its
// window with the platform's look.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/win/WinApi.h"

namespace vm {

class TnxMainWnd;
class TsSkinManager;

enum TnxKind {
  nkDialogFrame,       // the dialog window itself (section "DIALOG")
  nkIcon,              // icon and bitmap statics
  nkStaticText,        // text statics
  nkTransparentPanel,  // a dialog nested in the dialog, folder-browser panes
  nkDialogPanel,       // panels
  nkGroupBox,
  nkCheckBox,  // check boxes, three-state boxes and radio buttons
  nkPushButton,
  nkComboBox,
  nkEdit,  // edits, list boxes and a combo box's drop-down list
  nkSizeGrip,
  nkListView,
  nkTreeView,
  nkSpinButtons,
  nkLink,
  nkToolBar,
  nkStatusBar,
  nkBitBtn,
  nkKindCount
};

// Makes the subclass object of one kind for a window: section is the skin
// section it paints with, manager the skin manager (nullptr for the default).
using TnxKindFactory = std::function<std::unique_ptr<TnxMainWnd>(
    HWND window, const std::string& section, TsSkinManager* manager)>;

// Registers the factory of a kind (nullptr removes it).
void RegisterSubclassKind(TnxKind kind, TnxKindFactory factory);
bool HasSubclassKind(TnxKind kind);
// The kind's subclass object for the window, or nullptr when the kind has no
// factory (or the factory declined the window).
std::unique_ptr<TnxMainWnd> MakeSubclass(TnxKind kind, HWND window, const std::string& section,
                                         TsSkinManager* manager);

// Registers a subclass class whose constructor has TnxMainWnd's signature
// (window, repaint, section, manager, commonData) for a kind; the object
// makes its own skin state.
template <class T>
void RegisterSubclassClass(TnxKind kind) {
  RegisterSubclassKind(kind, [](HWND window, const std::string& section, TsSkinManager* manager) {
    return std::unique_ptr<TnxMainWnd>(
        std::make_unique<T>(window, true, section, manager, nullptr));
  });
}

}  // namespace vm
