#include "tools/gallery/GalleryForm.h"

#include "platform/gfx/SysColors.h"
#include "toolkit/Layout.h"

namespace vm::gallery {

std::unique_ptr<tk::TBitmap> SquareGlyph(int pictures, int size) {
  auto b = std::make_unique<tk::TBitmap>(size * pictures, size);
  const TColor colours[] = {RGB(0, 120, 0), RGB(120, 120, 120), RGB(0, 0, 160), RGB(200, 100, 0)};
  int lo = size * 3 / 16, hi = size - lo;
  for (int i = 0; i < pictures; ++i)
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        b->Image().SetPixel(
            i * size + x, y,
            (x >= lo && x < hi && y >= lo && y < hi) ? colours[i % 4] : RGB(255, 0, 255));
  return b;
}

namespace {

// A menu item under parent, built like a line of a stored layout.
tk::TMenuItem* Item(TComponent* owner, tk::TMenuItem* parent, const std::string& name,
                    const std::string& caption, TShortCut shortCut = scNone) {
  auto* i = Create<tk::TMenuItem>(owner);
  i->SetName(name);
  i->SetCaption(caption);
  i->SetShortCut(shortCut);
  parent->Add(i);
  return i;
}

}  // namespace

TGalleryForm::TGalleryForm(TComponent* owner) : TForm(owner) {
  SetCaption("Галерея");
  SetBorderStyle(bsSingle);
  // The bar first: the client size below is the size without it.
  MainMenu1 = Create<tk::TMainMenu>(this);
  MainMenu1->SetName("MainMenu1");
  tk::TMenuItem* bar = MainMenu1->Items();
  N1 = Item(this, bar, "N1", "&Файл");
  N2 = Item(this, N1, "N2", "&Открыть рисунок...", ShortCut('O', ssCtrl));
  N12 = Item(this, N1, "N12", "&Сохранить рисунок как...", ShortCut('S', ssCtrl));
  N3 = Item(this, N1, "N3", "-");
  N4 = Item(this, N1, "N4", "&Выход", ShortCut('E', ssCtrl));
  N5 = Item(this, bar, "N5", "&Вид");
  N6 = Item(this, N5, "N6", "&Подсказки");
  N6->SetAutoCheck(true);
  N6->SetChecked(true);
  N7 = Item(this, bar, "N7", "&Справка");
  N8 = Item(this, N7, "N8", "&О галерее...", ShortCut(VK_F1, 0));
  // The menu's pictures: the square glyphs, their magenta key transparent.
  ImageList1 = Create<tk::TImageList>(this);
  ImageList1->SetName("ImageList1");
  auto squares = SquareGlyph(3);
  ImageList1->AddMasked(squares.get(), RGB(255, 0, 255));
  MainMenu1->SetImages(ImageList1);
  N2->SetImageIndex(0);
  N12->SetImageIndex(2);
  N4->SetImageIndex(1);
  SetMenu(MainMenu1);
  SetClientSize(560, 300);
  SetColor(0xFF000000u | COLOR_BTNFACE);
  Panel1 = Place<TPanel>(this, this, "Panel1", {0, 0, 560, 32}, [](TPanel& p) {
    p.SetAlign(alTop);
    p.SetCaption("Панель");
    p.SetAlignment(taRightJustify);
  });
  for (int i = 0; i < 3; ++i)
    Place<TSpeedButton>(this, Panel1, "SpeedButton" + std::to_string(i + 1),
                        {4 + i * 25, 4, 23, 24}, [i](TSpeedButton& b) {
                          b.SetFlat(i != 0);
                          b.SetGroupIndex(1);
                          b.SetDown(i == 2);
                          auto g = SquareGlyph(1);
                          b.SetGlyph(g.get());
                        });
  Bevel1 = Place<TBevel>(this, this, "Bevel1", {8, 40, 170, 100},
                         [](TBevel& b) { b.SetShape(bsFrame); });
  Label1 = Place<TLabel>(this, this, "Label1", {16, 48},
                         [](TLabel& l) { l.SetCaption("Качество изображения:"); });
  Label2 = Place<TLabel>(this, this, "Label2", {16, 68}, [](TLabel& l) {
    l.SetCaption("100%");
    l.Font()->SetStyle(tk::fsBold);
    l.Font()->SetColor(RGB(59, 90, 130));
  });
  Label3 = Place<TLabel>(this, this, "Label3", {16, 88}, [](TLabel& l) {
    l.SetCaption("&Недоступно");
    l.SetEnabled(false);
  });
  Bevel2 = Place<TBevel>(this, this, "Bevel2", {16, 112, 154, 2},
                         [](TBevel& b) { b.SetShape(bsTopLine); });
  Image1 = Place<TImage>(this, this, "Image1", {16, 118, 32, 16}, [](TImage& i) {
    i.SetTransparent(true);  // a glyph strip: its key colour is not painted
    auto g = SquareGlyph(2);
    i.Picture()->SetGraphic(g.get());
  });
  ScrollBox1 = Place<TScrollBox>(this, this, "ScrollBox1", {186, 40, 166, 100});
  Image2 = Place<TImage>(this, ScrollBox1, "Image2", {0, 0}, [](TImage& i) {
    i.SetAutoSize(true);
    tk::TBitmap big(300, 200);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 300; ++x)
        big.Image().SetPixel(x, y, RGB(x * 255 / 300, y * 255 / 200, 160));
    i.Picture()->SetGraphic(&big);
  });
  BitBtn1 = Place<TBitBtn>(this, this, "BitBtn1", {8, 150, 49, 41}, [](TBitBtn& b) {
    auto g = SquareGlyph(1);
    b.SetGlyph(g.get());
  });
  BitBtn2 = Place<TBitBtn>(this, this, "BitBtn2", {66, 150, 112, 41}, [](TBitBtn& b) {
    auto g = SquareGlyph(1);
    b.SetGlyph(g.get());
    b.SetCaption("Открыть");
    b.SetLayout(blGlyphTop);
  });
  TrackBar1 = Place<TTrackBar>(this, this, "TrackBar1", {186, 146, 166, 32}, [](TTrackBar& t) {
    t.SetParams(90, 1, 100);
    t.SetFrequency(10);
    t.SetPageSize(10);
  });
  CheckBox1 = Place<TCheckBox>(this, this, "CheckBox1", {190, 186, 160, 17}, [](TCheckBox& c) {
    c.SetCaption("Показывать подсказки");
    c.SetChecked(true);
  });
  GroupBox1 = Place<TGroupBox>(this, this, "GroupBox1", {362, 40, 190, 66},
                               [](TGroupBox& g) { g.SetCaption("Масштаб"); });
  RadioButton1 = Place<TRadioButton>(this, GroupBox1, "RadioButton1", {10, 18, 170, 17},
                                     [](TRadioButton& r) { r.SetCaption("По размеру окна"); });
  RadioButton2 =
      Place<TRadioButton>(this, GroupBox1, "RadioButton2", {10, 40, 170, 17}, [](TRadioButton& r) {
        r.SetCaption("1:1");
        r.SetChecked(true);
      });
  Edit1 = Place<TEdit>(this, this, "Edit1", {362, 114, 190, 21}, [](TEdit& e) {
    e.SetText("90");
    e.SetNumbersOnly(true);
  });
  UpDown1 = Place<TUpDown>(this, this, "UpDown1", {535, 114, 17, 21}, [](TUpDown& u) {
    u.SetMin(1);
    u.SetMax(100);
    u.SetPosition(90);
  });
  UpDown1->SetAssociate(Edit1);
  ComboBox1 = Place<TComboBox>(this, this, "ComboBox1", {362, 142, 190, 21}, [](TComboBox& c) {
    for (const char* s : {"JPEG Image File (*.jpg)", "JPEG Image File (*.jpeg)"}) c.Items()->Add(s);
    c.SetItemIndex(0);
  });
  ListBox1 = Place<TListBox>(this, this, "ListBox1", {362, 170, 90, 64}, [](TListBox& l) {
    for (const char* s : {"Открыть", "Сохранить", "Размер", "Качество", "Отменить"})
      l.Items()->Add(s);
    l.SetItemIndex(1);
  });
  Memo1 = Place<TMemo>(this, this, "Memo1", {460, 170, 92, 64}, [](TMemo& m) {
    m.Lines()->Add("Велмора");
    m.Lines()->Add("v8.0");
  });
  OKBtn = Place<TButton>(this, this, "OKBtn", {396, 248, 75, 25}, [](TButton& b) {
    b.SetCaption("OK");
    b.SetDefault(true);
    b.SetModalResult(mrOk);
  });
  CancelBtn = Place<TButton>(this, this, "CancelBtn", {477, 248, 75, 25}, [](TButton& b) {
    b.SetCaption("Отмена");
    b.SetCancel(true);
    b.SetModalResult(mrCancel);
  });
  StatusBar1 = Place<TStatusBar>(this, this, "StatusBar1", {0, 281, 560, 19}, [](TStatusBar& s) {
    s.Panels()->Add()->SetWidth(120);
    s.Panels()->Add()->SetWidth(60);
    s.Panels()->Add();
    s.Panels()->Items(0)->SetText("Готово");
    s.Panels()->Items(1)->SetText("90%");
    s.Panels()->Items(2)->SetText("0 с");
  });
  Timer1 = Create<TTimer>(this);
  Timer1->SetName("Timer1");
  Timer1->SetInterval(1000);
  // Seconds since the form was made, in the last panel.
  Timer1->SetOnTimer([this](TComponent*) {
    StatusBar1->Panels()->Items(2)->SetText(std::to_string(++seconds_) + " с");
  });
  OpenPictureDialog1 = Create<TOpenPictureDialog>(this);
  OpenPictureDialog1->SetName("OpenPictureDialog1");
  SavePictureDialog1 = Create<TSavePictureDialog>(this);
  SavePictureDialog1->SetName("SavePictureDialog1");
  // The slider and the arrows move together; the value shows in the status bar.
  TrackBar1->OnChange = [this](TComponent*) {
    UpDown1->SetPosition(TrackBar1->Position());
    StatusBar1->Panels()->Items(1)->SetText(std::to_string(TrackBar1->Position()) + "%");
  };
  UpDown1->OnClick = [this](TComponent*, TUDBtnType) {
    TrackBar1->SetPosition(UpDown1->Position());
  };
  BitBtn2->SetHint("Открыть окно «О галерее»");
  BitBtn2->SetShowHint(true);

  // Menu items perform the buttons' clicks, so each command exists once.
  N2->OnClick = [this](TComponent*) {
    if (!OpenPictureDialog1->Execute()) return;
    Image2->Picture()->LoadFromFile(OpenPictureDialog1->FileName());
  };
  N12->OnClick = [this](TComponent*) {
    if (SavePictureDialog1->Execute())
      Image2->Picture()->SaveToFile(SavePictureDialog1->FileName());
  };
  N4->OnClick = [this](TComponent*) { Close(); };
  N6->OnClick = [this](TComponent*) { BitBtn2->SetShowHint(N6->Checked()); };
  N8->OnClick = [this](TComponent*) { BitBtn2->Click(); };

  PopupMenu1 = Create<tk::TPopupMenu>(this);
  PopupMenu1->SetName("PopupMenu1");
  N9 = Item(this, PopupMenu1->Items(), "N9", "Текст &слева");
  N10 = Item(this, PopupMenu1->Items(), "N10", "Текст по &центру");
  N11 = Item(this, PopupMenu1->Items(), "N11", "Текст &справа");
  const TAlignment alignments[] = {taLeftJustify, taCenter, taRightJustify};
  tk::TMenuItem* choices[] = {N9, N10, N11};
  for (int i = 0; i < 3; ++i) {
    tk::TMenuItem* item = choices[i];
    TAlignment a = alignments[i];
    item->SetRadioItem(true);
    item->SetGroupIndex(1);
    item->SetAutoCheck(true);
    item->OnClick = [this, a](TComponent*) { Panel1->SetAlignment(a); };
  }
  N11->SetChecked(true);
  Panel1->SetPopupMenu(PopupMenu1);
}

TGalleryDialog::TGalleryDialog(TComponent* owner) : TForm(owner) {
  SetCaption("О галерее");
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetClientSize(300, 110);
  Bevel1 =
      Place<TBevel>(this, this, "Bevel1", {8, 8, 284, 62}, [](TBevel& b) { b.SetShape(bsFrame); });
  Label1 = Place<TLabel>(this, this, "Label1", {18, 18},
                         [](TLabel& l) { l.SetCaption("Все компоненты набора на одной форме."); });
  CheckBox1 = Place<TCheckBox>(this, this, "CheckBox1", {18, 42, 200, 17},
                               [](TCheckBox& c) { c.SetCaption("Показывать подсказки"); });
  OKBtn = Place<TButton>(this, this, "OKBtn", {217, 78, 75, 25}, [](TButton& b) {
    b.SetCaption("OK");
    b.SetDefault(true);
    b.SetCancel(true);
  });
  OKBtn->OnClick = [this](TComponent*) { Close(); };
}

}  // namespace vm::gallery
