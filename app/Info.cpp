#include "app/Info.h"

#include "app/Program.h"
#include "skin/state/CommonData.h"
#include "toolkit/Colors.h"
#include "toolkit/Layout.h"

namespace vm::app {

TfrmInfo* frmInfo = nullptr;

namespace {

constexpr const char* Credits[] = {
    "Velmora: сжатие фотографий JPEG",
    "Автор: команда Velmora",
    "Разработка: мастерская Velmora",
    "Почта: velmora@example.org",
    "Сайт: velmora.example.org",
    "Выпуски: 2025, 2026",
    "Все права защищены.",
};

}  // namespace

TfrmInfo::TfrmInfo(TComponent* owner) : TForm(owner) {
  SetName("frmInfo");
  SetCaption("О программе...");
  SetBorderStyle(bsDialog);
  SetBorderIcons(biSystemMenu);
  SetPosition(poMainFormCenter);
  SetColor(clBtnFace);
  SetClientSize(297, 221);

  Bevel1 =
      Place<TBevel>(this, this, "Bevel1", {8, 8, 281, 177}, [](TBevel& b) { b.SetShape(bsFrame); });
  Image1 = Place<TImage>(this, this, "Image1", {16, 16, 32, 32}, [](TImage& i) {
    i.SetAutoSize(true);
    i.Picture()->SetGraphic(&ProgramIcon());
  });
  sLabel1 = Place<TsLabel>(this, this, "sLabel1", {107, 23}, [](TLabel& l) {
    l.SetParentFont(false);
    l.Font()->SetName("Times New Roman");
    l.Font()->SetSize(10);
    l.Font()->SetStyle(tk::fsBold);
    l.Font()->SetColor(RGB(59, 90, 130));
    l.Font()->SetCharset(tk::RUSSIAN_CHARSET);
    l.SetCaption("Velmora v8.0");
  });
  // The OK button comes first in the tab order, the memo second.
  OKBtn = Place<TButton>(this, this, "OKBtn", {111, 191, 75, 25}, [](TButton& b) {
    b.SetCaption("OK");
    b.SetDefault(true);
  });
  sMemo1 = Place<TsMemo>(this, this, "sMemo1", {16, 54, 265, 123}, [](TsMemo& m) {
    m.SkinData()->SetSkinSection("EDIT");
    m.SetParentFont(false);
    m.Font()->SetName("Tahoma");
    m.Font()->SetSize(10);
    m.Font()->SetColor(clBlack);
    m.Font()->SetCharset(tk::RUSSIAN_CHARSET);
    m.SetColor(RGB(234, 242, 251));
    m.SetAlignment(taCenter);
    m.SetReadOnly(true);
    for (const char* line : Credits) m.Lines()->Add(line);
  });
  OKBtn->OnClick = [this](TComponent* s) { OKBtnClick(s); };
}

TfrmInfo::~TfrmInfo() {
  if (frmInfo == this) frmInfo = nullptr;
}

void TfrmInfo::OKBtnClick(TComponent*) {
  Close();
}

}  // namespace vm::app
