// The quality dialog: a slider from 1 to 100 with the chosen value beside
// it. Its OK only records the request; the main window recompresses when it
// becomes active again.
#pragma once

#include "skin/controls/Label.h"
#include "skin/controls/TrackBar.h"
#include "toolkit/Bevel.h"
#include "toolkit/Button.h"
#include "toolkit/Form.h"

namespace vm::app {

class TfrmCompress : public TForm {
 public:
  explicit TfrmCompress(TComponent* owner);
  ~TfrmCompress() override;
  std::string ClassName() const override { return "TfrmCompress"; }

  TBevel* Bevel1;
  TsLabel* sLabel1;
  TsLabel* sLabel2;
  TsTrackBar* sTrackBar1;
  TButton* OKBtn;
  TButton* CancelBtn;

  void FormShow(TComponent* Sender);
  void sTrackBar1Change(TComponent* Sender);
  void OKBtnClick(TComponent* Sender);
  void CancelBtnClick(TComponent* Sender);
};

extern TfrmCompress* frmCompress;

}  // namespace vm::app
