#include "app/Compress.h"

#include "app/Values.h"
#include "skin/state/CommonData.h"
#include "toolkit/Colors.h"
#include "toolkit/Layout.h"

namespace vm::app {

TfrmCompress* frmCompress = nullptr;

TfrmCompress::TfrmCompress(TComponent* owner) : TForm(owner) {
  SetName("frmCompress");
  SetCaption("Изменение качества");
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetPosition(poMainFormCenter);
  SetColor(clBtnFace);
  SetClientSize(297, 150);

  auto font = [](TLabel& l, bool bold) {
    l.SetParentFont(false);
    l.Font()->SetName("Tahoma");
    l.Font()->SetHeight(-11);
    l.Font()->SetColor(clBlack);
    if (bold) l.Font()->SetStyle(tk::fsBold);
  };
  Bevel1 =
      Place<TBevel>(this, this, "Bevel1", {8, 8, 281, 105}, [](TBevel& b) { b.SetShape(bsFrame); });
  sLabel1 = Place<TsLabel>(this, this, "sLabel1", {87, 22}, [&](TLabel& l) {
    font(l, false);
    l.SetCaption("Качество изображения:");
  });
  sLabel2 = Place<TsLabel>(this, this, "sLabel2", {131, 55}, [&](TLabel& l) {
    font(l, true);
    l.SetCaption("100%");
  });
  sTrackBar1 = Place<TsTrackBar>(this, this, "sTrackBar1", {20, 74, 258, 19}, [](TsTrackBar& t) {
    t.SkinData()->SetSkinSection("TRACKBAR");
    t.SetParams(100, 1, 100);
    t.SetTickStyle(tsNone);
  });
  OKBtn = Place<TButton>(this, this, "OKBtn", {126, 119, 75, 25}, [](TButton& b) {
    b.SetCaption("OK");
    b.SetDefault(true);
  });
  CancelBtn = Place<TButton>(this, this, "CancelBtn", {214, 119, 75, 25}, [](TButton& b) {
    b.SetCaption("Отмена");
    b.SetCancel(true);
  });

  OnShow = [this](TComponent* s) { FormShow(s); };
  sTrackBar1->OnChange = [this](TComponent* s) { sTrackBar1Change(s); };
  OKBtn->OnClick = [this](TComponent* s) { OKBtnClick(s); };
  CancelBtn->OnClick = [this](TComponent* s) { CancelBtnClick(s); };
}

TfrmCompress::~TfrmCompress() {
  if (frmCompress == this) frmCompress = nullptr;
}

void TfrmCompress::FormShow(TComponent*) {
  sTrackBar1->SetPosition(Quality);
}

void TfrmCompress::sTrackBar1Change(TComponent*) {
  sLabel2->SetCaption(std::to_string(sTrackBar1->Position()) + "%");
}

void TfrmCompress::OKBtnClick(TComponent*) {
  Modified = true;
  Quality = sTrackBar1->Position();
  PendingQuality = true;
  Close();
}

void TfrmCompress::CancelBtnClick(TComponent*) {
  Close();
}

}  // namespace vm::app
