#include "app/Resize.h"

#include "app/Values.h"
#include "platform/base/Exceptions.h"
#include "skin/state/CommonData.h"
#include "toolkit/Colors.h"
#include "toolkit/Layout.h"
#include "toolkit/SysUtils.h"

namespace vm::app {

TfrmResize* frmResize = nullptr;

namespace {

// The field's text as a decimal whole number; anything else is the
// conversion error the application reports.
std::int32_t StrToInt(const std::string& text) {
  if (auto v = ParseInt32(text)) return *v;
  throw EConvertError("«" + text + "» не является целым числом");
}

void DialogLabel(TLabel& l, const std::string& caption, bool bold = false) {
  l.SetParentFont(false);
  l.Font()->SetName("Tahoma");
  l.Font()->SetHeight(-11);
  l.Font()->SetColor(clBlack);
  if (bold) l.Font()->SetStyle(tk::fsBold);
  l.SetCaption(caption);
}

void SizeField(TsSpinEdit& e, int value) {
  e.SetParentFont(false);
  e.Font()->SetName("Tahoma");
  e.Font()->SetHeight(-11);
  e.Font()->SetColor(clBlack);
  e.SetColor(clWhite);
  e.SkinData()->SetSkinSection("EDIT");
  e.SetMinValue(10);
  e.SetMaxValue(40000);
  e.SetValue(value);
}

}  // namespace

TfrmResize::TfrmResize(TComponent* owner) : TForm(owner) {
  SetName("frmResize");
  SetCaption("Изменение размеров");
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetPosition(poMainFormCenter);
  SetColor(clBtnFace);
  SetClientSize(298, 139);

  Bevel1 =
      Place<TBevel>(this, this, "Bevel1", {8, 8, 282, 94}, [](TBevel& b) { b.SetShape(bsFrame); });
  sLabel3 =
      Place<TsLabel>(this, this, "sLabel3", {70, 20}, [](TLabel& l) { DialogLabel(l, "Длина:"); });
  sSpinEdit1 = Place<TsSpinEdit>(this, this, "sSpinEdit1", {112, 17, 71, 21},
                                 [](TsSpinEdit& e) { SizeField(e, 1024); });
  sLabel2 = Place<TsLabel>(this, this, "sLabel2", {189, 20},
                           [](TLabel& l) { DialogLabel(l, "пикселей"); });
  sLabel4 =
      Place<TsLabel>(this, this, "sLabel4", {62, 50}, [](TLabel& l) { DialogLabel(l, "Ширина:"); });
  sSpinEdit2 = Place<TsSpinEdit>(this, this, "sSpinEdit2", {112, 47, 71, 21},
                                 [](TsSpinEdit& e) { SizeField(e, 768); });
  sLabel5 = Place<TsLabel>(this, this, "sLabel5", {189, 50},
                           [](TLabel& l) { DialogLabel(l, "пикселей"); });
  sLabel1 = Place<TsLabel>(this, this, "sLabel1", {18, 79}, [](TLabel& l) {
    DialogLabel(l, "* Пропорции изображения будут сохранены", true);
  });
  OKBtn = Place<TButton>(this, this, "OKBtn", {136, 108, 75, 25}, [](TButton& b) {
    b.SetCaption("OK");
    b.SetDefault(true);
  });
  CancelBtn = Place<TButton>(this, this, "CancelBtn", {217, 108, 75, 25}, [](TButton& b) {
    b.SetCaption("Отмена");
    b.SetCancel(true);
  });

  OnShow = [this](TComponent* s) { FormShow(s); };
  OKBtn->OnClick = [this](TComponent* s) { OKBtnClick(s); };
  CancelBtn->OnClick = [this](TComponent* s) { CancelBtnClick(s); };
}

TfrmResize::~TfrmResize() {
  if (frmResize == this) frmResize = nullptr;
}

void TfrmResize::FormShow(TComponent*) {
  SetActiveControl(sSpinEdit1);
}

void TfrmResize::OKBtnClick(TComponent*) {
  // Enter does not move the focus, so a focused field is read as typed; a
  // click on OK has taken the focus first, which brought the field into range.
  Modified = true;
  RequestedLength = StrToInt(sSpinEdit1->GetText());
  RequestedWidth = StrToInt(sSpinEdit2->GetText());
  PendingResize = true;
  Close();
}

void TfrmResize::CancelBtnClick(TComponent*) {
  Close();
}

}  // namespace vm::app
