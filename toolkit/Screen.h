// TScreen: the program's view of the screen: its forms, the active form and
// control, the size of the screen and its work area, and a program-wide mouse
// cursor (crHourGlass while a long task runs) that overrides every control's.
#pragma once

#include <vector>

#include "platform/win/WinApi.h"
#include "toolkit/Control.h"

namespace vm {

class TCustomForm;

class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* owner = nullptr);
  ~TScreen() override;

  std::string ClassName() const override { return "TScreen"; }

  int FormCount() const { return int(forms_.size()); }
  TCustomForm* Forms(int index) const;
  // The program's active form: the form last activated among the program's
  // forms. Stays when another program is activated.
  TCustomForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const;

  // crDefault lets every control show its own cursor.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor c);
  // The platform cursor of a toolkit cursor number.
  static HCURSOR CursorHandle(TCursor c);

  int Width() const;
  int Height() const;
  TRect WorkAreaRect() const;
  int WorkAreaWidth() const { return WorkAreaRect().Width(); }
  int WorkAreaHeight() const { return WorkAreaRect().Height(); }

  // Bookkeeping by the forms.
  void AddForm(TCustomForm* f);
  void RemoveForm(TCustomForm* f);
  // Makes f the active form: OnDeactivate of the previous, OnActivate of f.
  void SetActiveForm(TCustomForm* f);

 private:
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeForm_ = nullptr;
  TCursor cursor_ = crDefault;
};

extern TScreen* Screen;

}  // namespace vm
