#include "toolkit/Dialogs.h"

#include "platform/controls/DialogDefs.h"
#include "platform/controls/MessageBox.h"
#include "toolkit/Application.h"
#include "toolkit/Screen.h"

namespace vm {

UINT MessageDlgStyle(TMsgDlgType type, TMsgDlgButtons b) {
  auto has = [b](TMsgDlgButtons m) { return (b & m) == m; };
  UINT style = MB_OK;
  bool cancel = has(mbCancel);
  if (b & (mbAbort | mbIgnore)) {
    style = MB_ABORTRETRYIGNORE;
  } else if (has(mbRetry)) {
    style = MB_RETRYCANCEL;
  } else if (b & (mbYes | mbNo)) {
    style = cancel ? MB_YESNOCANCEL : MB_YESNO;
  } else if (cancel) {
    style = MB_OKCANCEL;
  }
  switch (type) {
    case mtWarning:
      style |= MB_ICONWARNING;
      break;
    case mtError:
      style |= MB_ICONERROR;
      break;
    case mtInformation:
      style |= MB_ICONINFORMATION;
      break;
    case mtConfirmation:
      style |= MB_ICONQUESTION;
      break;
    case mtCustom:
      break;
  }
  return style;
}

std::string MessageDlgCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return "Предупреждение";
    case mtError:
      return "Ошибка";
    case mtInformation:
      return "Информация";
    case mtConfirmation:
      return "Подтверждение";
    case mtCustom:
      break;
  }
  return Application ? Application->Title() : std::string();
}

HWND MessageBoxOwner() {
  TCustomForm* f = Screen ? Screen->ActiveForm() : nullptr;
  if (f && f->HandleAllocated() && IsWindowVisible(f->Handle())) return f->Handle();
  f = Application ? Application->MainForm() : nullptr;
  if (f && f->HandleAllocated() && IsWindowVisible(f->Handle())) return f->Handle();
  return nullptr;
}

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                        int /*HelpCtx*/) {
  std::string caption = MessageDlgCaption(DlgType);
  if (caption.empty()) caption = "Велмора";
  // The box answers with the platform's button ids, which are the modal results.
  return MessageBox(MessageBoxOwner(), Msg, caption, MessageDlgStyle(DlgType, Buttons));
}

void ShowMessage(const std::string& Msg) {
  std::string caption = Application ? Application->Title() : std::string();
  if (caption.empty()) caption = "Велмора";
  MessageBox(MessageBoxOwner(), Msg, caption, MB_OK);
}

}  // namespace vm
