// The size dialog: the long side wanted for a picture taller than wide
// ("Длина") and for any other ("Ширина"). Its OK only records the request;
// the main window resizes when it becomes active again.
#pragma once

#include "skin/controls/Label.h"
#include "skin/controls/SpinEdit.h"
#include "toolkit/Bevel.h"
#include "toolkit/Button.h"
#include "toolkit/Form.h"

namespace vm::app {

class TfrmResize : public TForm {
 public:
  explicit TfrmResize(TComponent* owner);
  ~TfrmResize() override;
  std::string ClassName() const override { return "TfrmResize"; }

  TBevel* Bevel1;
  TsLabel* sLabel3;
  TsSpinEdit* sSpinEdit1;
  TsLabel* sLabel2;
  TsLabel* sLabel4;
  TsSpinEdit* sSpinEdit2;
  TsLabel* sLabel5;
  TsLabel* sLabel1;
  TButton* OKBtn;
  TButton* CancelBtn;

  void FormShow(TComponent* Sender);
  void OKBtnClick(TComponent* Sender);
  void CancelBtnClick(TComponent* Sender);
};

extern TfrmResize* frmResize;

}  // namespace vm::app
