// TApplication: the program object. It owns the forms, runs the message
// loop, reports errors and shows hints.
//
// The application's own window is a hidden top-level window of class
// "TApplication" with an empty text; it never appears on the screen or on the
// taskbar. The first form made with CreateForm becomes the main form: it has
// the program's taskbar entry and closing it ends the program.
//
// Error report: an exception that escapes an event handler or a message of a
// control is caught where the message is dispatched; OnException gets it when
// assigned, otherwise ShowException shows its message in a message box titled
// with the application's Title. The loop goes on either way.
//
// Hints: when the pointer rests on a control whose ShowHint is on for
// HintPause milliseconds of the host's clock, HintWindow shows its Hint (or
// the nearest parent's); it goes away after HintHidePause, when the pointer
// leaves, or at a click or key press. Moving on to another control with a
// hint while one is shown takes only HintShortPause.
//
// Hint holds the long part of the hint under the pointer (after "|", or the
// whole hint) of the control the pointer is over or its nearest parent with
// one, whatever ShowHint says; OnHint follows each change of it, for a status
// line to show. It changes as the pointer comes to a control, and at idle
// (a hint changed under a resting pointer, the pointer gone).
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "platform/win/WinApi.h"
#include "toolkit/Component.h"
#include "toolkit/Control.h"
#include "toolkit/Form.h"

namespace vm {

class THintWindow;
class TScreen;

using TExceptionEvent = std::function<void(TComponent* Sender, const std::exception& E)>;

class TApplication : public TComponent {
 public:
  // Becomes the global Application (and makes the global Screen when there is none).
  explicit TApplication(TComponent* owner = nullptr);
  ~TApplication() override;

  std::string ClassName() const override { return "TApplication"; }

  void Initialize() {}
  HWND Handle() const { return handle_; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v);

  TCustomForm* MainForm() const { return mainForm_; }
  // The program's icon: forms without an icon of their own show it.
  tk::TIcon* Icon() const { return icon_.get(); }
  void SetIcon(const tk::TIcon& icon) { icon_->Assign(icon); }
  // Creates a form owned by the application and sets ref to it before its
  // OnCreate runs; the first one becomes the main form.
  template <class T>
  void CreateForm(T*& ref) {
    bool first = mainForm_ == nullptr;
    creatingMainForm_ = first;
    T* form = nullptr;
    try {
      form = Create<T>(this);
    } catch (...) {
      creatingMainForm_ = false;
      throw;
    }
    creatingMainForm_ = false;
    ref = form;
    if (first) mainForm_ = form;
    form->DoCreate();
  }
  // True while CreateForm builds the form that will be the main form.
  bool CreatingMainForm() const { return creatingMainForm_; }

  // Shows the main form and handles messages until Terminate.
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles every message that is waiting, then returns.
  void ProcessMessages();
  // Handles one message, or waits for one (idle work first) when none is waiting.
  void HandleMessage();
  bool ShowMainForm = true;

  // Reports the exception being handled (call from a catch block).
  void HandleException(TComponent* sender);
  // The default error report: a message box with the text, titled with Title,
  // owned by the active form. Without a host (nothing can be shown) the text
  // goes to stderr.
  void ShowException(const std::exception& e);
  // A modal message box owned by the active form; Caption empty: Title.
  // Returns the id of the button chosen (IDOK, IDYES, ...).
  int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags = 0);
  TExceptionEvent OnException;
  TNotifyEvent OnIdle;

  // ---- Hints ----
  const std::string& Hint() const { return hint_; }
  // Raises OnHint when the text changes.
  void SetHint(const std::string& v);
  TNotifyEvent OnHint;
  THintWindow* HintWindow() const { return hintWindow_; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  int HintPause = 500;
  int HintShortPause = 50;
  int HintHidePause = 2500;
  // The pointer's control changed (from the controls' mouse tracking).
  void HintMouseTarget(TControl* control);
  // Hides the hint and forgets the control it was for.
  void CancelHint();
  // Shows the hint for the control under the pointer now.
  void ActivateHint();

  // The application's window procedure (timers, posted calls).
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l);

 private:
  bool ProcessMessage(MSG& msg);
  void Idle();
  void HintTimerExpired();
  void HideHintTimerExpired();
  void StartHintTimer(int ms);
  void StopHintTimer();

  HWND handle_ = nullptr;
  WNDPROC proc_;
  std::string title_;
  TCustomForm* mainForm_ = nullptr;
  std::unique_ptr<tk::TIcon> icon_ = std::make_unique<tk::TIcon>();
  bool creatingMainForm_ = false;
  bool terminated_ = false;
  bool ownsScreen_ = false;

  THintWindow* hintWindow_ = nullptr;
  std::string hint_;
  bool showHint_ = true;
  TControlRef hintControl_;
  bool hintActive_ = false;
  bool hintTimerOn_ = false;
  bool hideTimerOn_ = false;
  int handlingException_ = 0;
  TDispatchExceptionHandler previousDispatchHandler_;
};

// The program's application object (nullptr before one is made).
extern TApplication* Application;

}  // namespace vm
