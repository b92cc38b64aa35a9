// TCustomForm and TForm: top-level windows of the program.
//
// A form lives for the whole run. Closing it hides it (OnCloseQuery may
// refuse, OnClose may choose another action); closing the main form ends the
// program, also while other forms are open. A form's OnActivate runs when it
// becomes the program's active form: when it is first shown, when another
// form of the program closes and it takes over, when the user clicks it while
// another form of the program was active; switching back from another
// program to the same form is not a change and runs nothing.
//
// The main form has a taskbar entry; every other form is owned by it (or by
// the application's hidden window before there is a main form), which keeps
// it above its owner and off the taskbar.
//
// Layouts are built in code, in the form's constructor, one control per line
// (see Layout.h).
#pragma once

#include <string>

#include <memory>

#include "toolkit/Canvas.h"
#include "toolkit/Icon.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace tk {
class TMainMenu;
}

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;  // controls use bsNone and bsSingle

using TBorderIcons = unsigned;
inline constexpr TBorderIcons biSystemMenu = 1u << 0;
inline constexpr TBorderIcons biMinimize = 1u << 1;
inline constexpr TBorderIcons biMaximize = 1u << 2;
inline constexpr TBorderIcons biHelp = 1u << 3;

enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;
inline constexpr TModalResult mrClose = 11;

enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TComponent* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TComponent* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  std::string ClassName() const override { return "TCustomForm"; }

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons v);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle v);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }

  void SetClientWidth(int v) override;
  void SetClientHeight(int v) override;
  void SetClientSize(int width, int height);

  // The icon shown in the caption and on the taskbar.
  tk::TIcon* Icon() const { return icon_.get(); }
  void SetIcon(const tk::TIcon& icon) { icon_->Assign(icon); }

  // The menu bar. Attaching one gives the window a bar below its caption:
  // the window keeps its size and the client area (ClientWidth, ClientHeight,
  // what aligned controls share) loses the bar's height; clearing it gives the
  // room back. Set it before ClientWidth/ClientHeight when those are to hold
  // with the bar.
  tk::TMainMenu* Menu() const { return menu_; }
  void SetMenu(tk::TMainMenu* menu);
  // A key of the form's menu fired (the item with that shortcut, if enabled);
  // true when the menu has the shortcut (the key is then used up).
  virtual bool IsShortCut(int key, TShiftState shift);

  // The control that has (or gets, when the form is activated) the focus.
  TWinControl* ActiveControl() const;
  void SetActiveControl(TWinControl* c);
  // Moves the focus to c (when the form is active) and remembers it.
  void FocusControl(TWinControl* c);

  bool Active() const { return active_; }
  // The canvas OnPaint draws on (the paint context while OnPaint runs).
  tk::TCanvas* Canvas() const { return canvas_.get(); }

  // Showing and closing.
  void Show();
  void Close();
  // Asks OnCloseQuery; true when the form may close.
  virtual bool CloseQuery();
  // Shows the form, disables the other forms and runs a message loop until
  // ModalResult is set (or the form is closed, or the program ends); returns
  // the result. Throws when the form is already visible or disabled.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  bool IsModal() const { return modal_; }
  // Frees the form once the messages queued now have been handled.
  void Release();
  // Raises the form above the program's other windows and activates it.
  void BringToFront();

  // Runs OnCreate (the application does it after the constructor) and OnDestroy.
  void DoCreate();
  void DoDestroy();

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnPaint;

  // Called by controls of the form.
  void FocusChanged(TWinControl* c);
  void ControlRemoved(TWinControl* c);
  bool DoKeyDown(int& key, TShiftState shift) override;
  bool DoKeyPress(char32_t& key) override;
  bool DoKeyUp(int& key, TShiftState shift) override;

  // Becoming or ceasing to be the program's active form (TScreen calls these).
  void DoActivate();
  void DoDeactivate();

  bool Showing() const override;
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void PaintWindow(HDC dc) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);

 private:
  void ShowingChanged();
  void ApplyPosition();
  void CloseModal();
  void Activated();
  void SetFocusToActiveControl();

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TPosition position_ = poDesigned;
  TFormStyle formStyle_ = fsNormal;
  bool keyPreview_ = false;
  std::unique_ptr<tk::TIcon> icon_;
  void ApplyIcon();
  tk::TMainMenu* menu_ = nullptr;
  TControlRef activeControl_;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool active_ = false;
  bool created_ = false;
  bool destroyed_ = false;
  std::unique_ptr<tk::TCanvas> canvas_ = std::make_unique<tk::TCanvas>();
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
  std::string ClassName() const override { return "TForm"; }
};

}  // namespace vm
