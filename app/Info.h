// The about box: the program's icon, name and credits.
#pragma once

#include "skin/controls/Label.h"
#include "skin/controls/Memo.h"
#include "toolkit/Bevel.h"
#include "toolkit/Button.h"
#include "toolkit/Form.h"
#include "toolkit/Image.h"

namespace vm::app {

class TfrmInfo : public TForm {
 public:
  explicit TfrmInfo(TComponent* owner);
  ~TfrmInfo() override;
  std::string ClassName() const override { return "TfrmInfo"; }

  TBevel* Bevel1;
  TImage* Image1;
  TsLabel* sLabel1;
  TsMemo* sMemo1;
  TButton* OKBtn;

  void OKBtnClick(TComponent* Sender);
};

extern TfrmInfo* frmInfo;

}  // namespace vm::app
