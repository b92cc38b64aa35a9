// Message dialogs of the toolkit: MessageDlg with a type and a set of buttons,
// ShowMessage for a plain note. Both run the platform's modal message box,
// owned by the application's active form so that the form is disabled while
// the box is up and active again afterwards.
#pragma once

#include <string>

#include "toolkit/Form.h"

namespace vm {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// A set of buttons: combine the single buttons with |.
using TMsgDlgButtons = unsigned;
inline constexpr TMsgDlgButtons mbYes = 1u << 0;
inline constexpr TMsgDlgButtons mbNo = 1u << 1;
inline constexpr TMsgDlgButtons mbOK = 1u << 2;
inline constexpr TMsgDlgButtons mbCancel = 1u << 3;
inline constexpr TMsgDlgButtons mbAbort = 1u << 4;
inline constexpr TMsgDlgButtons mbRetry = 1u << 5;
inline constexpr TMsgDlgButtons mbIgnore = 1u << 6;
inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
inline constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
inline constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
inline constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// The platform's message box style for a type and a set of buttons. The box
// offers the rows OK, OK/Cancel, Yes/No, Yes/No/Cancel, Retry/Cancel and
// Abort/Retry/Ignore; a set is shown as the smallest row that holds all of
// its buttons (an empty set as OK); the first button is the default.
UINT MessageDlgStyle(TMsgDlgType type, TMsgDlgButtons buttons);
// The caption a message dialog of the type carries ("Ошибка", ...); mtCustom
// takes the application's title.
std::string MessageDlgCaption(TMsgDlgType type);

// Shows the text in a modal box and returns the modal result of the button
// chosen (mrYes, mrNo, mrOk, mrCancel, ...). HelpCtx is accepted for
// callers that pass one; the box has no help button.
TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                        int HelpCtx = 0);
// Shows the text with an OK button, titled with the application's title.
void ShowMessage(const std::string& Msg);

// The window a message box of the program belongs to: the active form, else
// the main form while it is shown; nullptr when there is none.
HWND MessageBoxOwner();

}  // namespace vm
