// The four windows as an outside checker reads them off the screen: every
// component's place, size, text, hint, font, colour, tab stop and state.
#include "app/StoredGlyphs.h"
#include "skin/controls/SpinButton.h"
#include "skin/controls/TimerSpeedButton.h"
#include "tests/app/ProgramTestSupport.h"
#include "toolkit/Bevel.h"
#include "toolkit/Colors.h"

namespace vm::test {
namespace {

using namespace vm::app;

class Layout : public TProgramTest {
 protected:
  static void At(TControl* c, int left, int top, int width = -1, int height = -1) {
    SCOPED_TRACE(c->Name());
    EXPECT_EQ(c->Left(), left);
    EXPECT_EQ(c->Top(), top);
    if (width >= 0) {
      EXPECT_EQ(c->Width(), width);
    }
    if (height >= 0) {
      EXPECT_EQ(c->Height(), height);
    }
  }
  static void FontIs(TControl* c, const std::string& name, int height, bool bold, TColor colour) {
    SCOPED_TRACE(c->Name());
    EXPECT_EQ(c->Font()->Name(), name);
    EXPECT_EQ(c->Font()->Height(), height);
    EXPECT_EQ((c->Font()->Style() & tk::fsBold) != 0, bold);
    EXPECT_EQ(c->Font()->Color(), colour);
  }
  // The names of the controls Tab visits, in order.
  static std::vector<std::string> TabStops(TCustomForm* f) {
    std::vector<TWinControl*> order;
    f->GetTabOrderList(order);
    std::vector<std::string> names;
    for (TWinControl* c : order)
      if (c->TabStop()) names.push_back(c->Name());
    return names;
  }
  static void Dialog(TCustomForm* f, const std::string& caption, int w, int h) {
    SCOPED_TRACE(f->Name());
    EXPECT_EQ(f->Caption(), caption);
    EXPECT_EQ(f->ClientWidth(), w);
    EXPECT_EQ(f->ClientHeight(), h);
    EXPECT_EQ(f->BorderStyle(), bsDialog);
    EXPECT_EQ(f->BorderIcons(), TBorderIcons(biSystemMenu));
    EXPECT_EQ(f->Position(), poMainFormCenter);
    EXPECT_EQ(f->Color(), clBtnFace);
  }
  static void Frame(TBevel* b, int left, int top, int w, int h) {
    At(b, left, top, w, h);
    EXPECT_EQ(b->Shape(), bsFrame);
    EXPECT_EQ(b->Style(), bsLowered);
  }
};

TEST_F(Layout, MainWindow) {
  TfrmMain* m = frmMain;
  EXPECT_EQ(m->Caption(), "Velmora v8.0");
  EXPECT_EQ(m->BorderStyle(), bsSingle);
  EXPECT_EQ(m->BorderIcons(), TBorderIcons(biSystemMenu | biMinimize));
  EXPECT_EQ(m->Position(), poScreenCenter);
  EXPECT_EQ(m->Color(), clBtnFace);
  FontIs(m, "Tahoma", -11, false, clWindowText);
  const struct {
    TsBitBtn* Button;
    int Top;
    const char* Hint;
    bool Enabled;
    app::TGlyph Glyph;
  } buttons[] = {{m->sBitBtn1, 8, "Открыть", true, app::TGlyph::Open},
                 {m->sBitBtn2, 55, "Сохранить", false, app::TGlyph::Save},
                 {m->sBitBtn10, 102, "Изменить размеры", false, app::TGlyph::Resize},
                 {m->sBitBtn9, 149, "Изменить качество", false, app::TGlyph::Quality},
                 {m->sBitBtn8, 196, "Отменить все изменения", false, app::TGlyph::Undo},
                 {m->sBitBtn3, 243, "О программе...", true, app::TGlyph::About},
                 {m->sBitBtn5, 448, "Выход", true, app::TGlyph::Exit}};
  int tab = 0;
  for (const auto& b : buttons) {
    SCOPED_TRACE(b.Button->Name());
    At(b.Button, 8, b.Top, 49, 41);
    EXPECT_EQ(b.Button->Hint(), b.Hint);
    EXPECT_TRUE(b.Button->ShowHint());
    EXPECT_EQ(b.Button->Enabled(), b.Enabled);
    EXPECT_EQ(b.Button->TabOrder(), tab++);
    EXPECT_EQ(b.Button->Caption(), "");
    ASSERT_NE(b.Button->Glyph(), nullptr);
    EXPECT_EQ(b.Button->Glyph()->Width(), 32);
    EXPECT_EQ(b.Button->Glyph()->Height(), 32);
    EXPECT_EQ(b.Button->SkinData()->SkinSection(), "BUTTON");
    // The stored glyph is exactly the picture its drawing code makes, and in
    // the form of a 24-bit bitmap file of 3,126 bytes behind its count.
    const std::span<const std::uint8_t> data = app::StoredGlyphData(b.Glyph);
    ASSERT_EQ(data.size(), 3130u);
    EXPECT_EQ(data[0] | (data[1] << 8) | (data[2] << 16) | (data[3] << 24), 3126);
    const TBitmap drawn = app::MakeGlyph(b.Glyph);
    const TBitmap& shown = b.Button->Glyph()->Image();
    int differ = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) differ += drawn.GetPixel(x, y) != shown.GetPixel(x, y);
    EXPECT_EQ(differ, 0);
  }
  EXPECT_EQ(m->sStatusBar1->SkinData()->SkinSection(), "STATUSBAR");
  At(m->ScrollBox1, 63, 8, 640, 480);
  EXPECT_EQ(m->ScrollBox1->TabOrder(), 7);
  EXPECT_EQ(m->Image1->Parent(), m->ScrollBox1);
  At(m->Image1, 0, 0, 620, 476);
  EXPECT_TRUE(m->Image1->AutoSize());
  EXPECT_FALSE(m->Image1->Stretch());
  EXPECT_FALSE(m->Image1->Center());
  At(m->sStatusBar1, 0, 491, 713, 19);
  EXPECT_EQ(m->sStatusBar1->Align(), alBottom);
  EXPECT_EQ(m->sStatusBar1->Panels()->Count(), 0);
  EXPECT_FALSE(m->sStatusBar1->TabStop());
  EXPECT_EQ(m->sLabel1->Parent(), m->sStatusBar1);
  At(m->sLabel1, 3, 3);
  EXPECT_TRUE(m->sLabel1->AutoSize());
  EXPECT_EQ(m->sLabel1->Caption(), "___");
  EXPECT_FALSE(m->sLabel1->Visible());
  FontIs(m->sLabel1, "Tahoma", -11, true, RGB(59, 90, 130));
  EXPECT_EQ(TabStops(m),
            (std::vector<std::string>{"sBitBtn1", "sBitBtn2", "sBitBtn10", "sBitBtn9", "sBitBtn8",
                                      "sBitBtn3", "sBitBtn5", "ScrollBox1"}));

  // The menu: captions, names, shortcuts, states, in order.
  const tk::TMenuItem* bar = m->MainMenu1->Items();
  ASSERT_EQ(bar->Count(), 3);
  const struct {
    const tk::TMenuItem* Item;
    const char* Name;
    const char* Caption;
    const char* ShortCut;
    bool Enabled;
  } items[] = {{bar->Items(0), "N1", "Файл", "", true},
               {bar->Items(0)->Items(0), "N2", "Открыть", "Ctrl+O", true},
               {bar->Items(0)->Items(1), "N3", "Сохранить", "Ctrl+S", false},
               {bar->Items(0)->Items(2), "N4", "Выход", "Ctrl+E", true},
               {bar->Items(1), "N11", "Изображение", "", true},
               {bar->Items(1)->Items(0), "N12", "Изменить качество", "", false},
               {bar->Items(1)->Items(1), "N13", "Изменить размер", "", false},
               {bar->Items(1)->Items(2), "N5", "Отменить все изменения", "", false},
               {bar->Items(2), "N7", "Справка", "", true},
               {bar->Items(2)->Items(0), "N9", "О программе...", "", true}};
  for (const auto& i : items) {
    SCOPED_TRACE(i.Name);
    EXPECT_EQ(i.Item->Name(), i.Name);
    EXPECT_EQ(i.Item->Caption(), i.Caption);
    EXPECT_EQ(ShortCutToText(i.Item->ShortCut()), i.ShortCut);
    EXPECT_EQ(i.Item->Enabled(), i.Enabled);
  }
  EXPECT_EQ(bar->Items(0)->Count(), 3);
  EXPECT_EQ(bar->Items(1)->Count(), 3);
  EXPECT_EQ(bar->Items(2)->Count(), 1);

  // The file dialogs: filters only; no extension, folder or title of their
  // own, and a save that replaces without asking.
  EXPECT_EQ(m->sOpenPictureDialog1->Filter(),
            "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg");
  EXPECT_EQ(m->sSavePictureDialog1->Filter(), "JPEG Image File (*.jpg)|*.jpg");
  for (TOpenDialog* d : {static_cast<TOpenDialog*>(m->sOpenPictureDialog1),
                         static_cast<TOpenDialog*>(m->sSavePictureDialog1)}) {
    SCOPED_TRACE(d->Name());
    EXPECT_EQ(d->DefaultExt(), "");
    EXPECT_EQ(d->InitialDir(), "");
    EXPECT_EQ(d->Title(), "");
    EXPECT_EQ(d->Options() & ofOverwritePrompt, 0u);
  }
  EXPECT_EQ(m->Timer1->Interval(), 1000u);
  EXPECT_TRUE(m->Timer1->Enabled());
}

TEST_F(Layout, QualityDialog) {
  TfrmCompress* d = frmCompress;
  Dialog(d, "Изменение качества", 297, 150);
  Frame(d->Bevel1, 8, 8, 281, 105);
  At(d->sLabel1, 87, 22);
  EXPECT_EQ(d->sLabel1->Caption(), "Качество изображения:");
  FontIs(d->sLabel1, "Tahoma", -11, false, clBlack);
  At(d->sLabel2, 131, 55);
  EXPECT_EQ(d->sLabel2->Caption(), "100%");
  FontIs(d->sLabel2, "Tahoma", -11, true, clBlack);
  At(d->sTrackBar1, 20, 74, 258, 19);
  EXPECT_EQ(d->sTrackBar1->Min(), 1);
  EXPECT_EQ(d->sTrackBar1->Max(), 100);
  EXPECT_EQ(d->sTrackBar1->Position(), 100);
  EXPECT_EQ(d->sTrackBar1->TickStyle(), tsNone);
  At(d->OKBtn, 126, 119, 75, 25);
  EXPECT_EQ(d->OKBtn->Caption(), "OK");
  EXPECT_TRUE(d->OKBtn->Default());
  EXPECT_FALSE(d->OKBtn->Cancel());
  At(d->CancelBtn, 214, 119, 75, 25);
  EXPECT_EQ(d->CancelBtn->Caption(), "Отмена");
  EXPECT_TRUE(d->CancelBtn->Cancel());
  EXPECT_FALSE(d->CancelBtn->Default());
  EXPECT_EQ(TabStops(d), (std::vector<std::string>{"sTrackBar1", "OKBtn", "CancelBtn"}));
}

TEST_F(Layout, SizeDialog) {
  TfrmResize* d = frmResize;
  Dialog(d, "Изменение размеров", 298, 139);
  Frame(d->Bevel1, 8, 8, 282, 94);
  const struct {
    TLabel* Label;
    int Left, Top;
    const char* Caption;
  } labels[] = {{d->sLabel3, 70, 20, "Длина:"},
                {d->sLabel2, 189, 20, "пикселей"},
                {d->sLabel4, 62, 50, "Ширина:"},
                {d->sLabel5, 189, 50, "пикселей"},
                {d->sLabel1, 18, 79, "* Пропорции изображения будут сохранены"}};
  for (const auto& l : labels) {
    At(l.Label, l.Left, l.Top);
    EXPECT_EQ(l.Label->Caption(), l.Caption);
    EXPECT_TRUE(l.Label->AutoSize());
  }
  FontIs(d->sLabel3, "Tahoma", -11, false, clBlack);
  FontIs(d->sLabel1, "Tahoma", -11, true, clBlack);
  for (auto [field, top, value] :
       {std::tuple{d->sSpinEdit1, 17, "1024"}, std::tuple{d->sSpinEdit2, 47, "768"}}) {
    SCOPED_TRACE(field->Name());
    // The arrows sit inside the field, 18 x 17 at its right edge.
    At(field, 112, top, 71, 21);
    At(field->Button(), 49, 0, 18, 17);
    EXPECT_EQ(field->Button()->UpButton()->Height(), 8);
    EXPECT_EQ(field->Button()->DownButton()->Height(), 9);
    EXPECT_EQ(field->MinValue(), 10);
    EXPECT_EQ(field->MaxValue(), 40000);
    EXPECT_EQ(field->GetText(), value);
    EXPECT_EQ(field->Color(), clWhite);
    FontIs(field, "Tahoma", -11, false, clBlack);
  }
  At(d->OKBtn, 136, 108, 75, 25);
  EXPECT_EQ(d->OKBtn->Caption(), "OK");
  EXPECT_TRUE(d->OKBtn->Default());
  At(d->CancelBtn, 217, 108, 75, 25);
  EXPECT_EQ(d->CancelBtn->Caption(), "Отмена");
  EXPECT_TRUE(d->CancelBtn->Cancel());
  EXPECT_EQ(TabStops(d),
            (std::vector<std::string>{"sSpinEdit1", "sSpinEdit2", "OKBtn", "CancelBtn"}));
}

TEST_F(Layout, AboutBox) {
  TfrmInfo* d = frmInfo;
  Dialog(d, "О программе...", 297, 221);
  Frame(d->Bevel1, 8, 8, 281, 177);
  At(d->Image1, 16, 16, 32, 32);
  EXPECT_TRUE(d->Image1->AutoSize());
  At(d->sLabel1, 107, 23);
  EXPECT_EQ(d->sLabel1->Caption(), "Velmora v8.0");
  EXPECT_EQ(d->sLabel1->Font()->Name(), "Times New Roman");
  EXPECT_EQ(d->sLabel1->Font()->Size(), 10);
  EXPECT_TRUE(d->sLabel1->Font()->Style() & tk::fsBold);
  EXPECT_EQ(d->sLabel1->Font()->Color(), RGB(59, 90, 130));
  EXPECT_EQ(d->sLabel1->Font()->Charset(), tk::RUSSIAN_CHARSET);
  At(d->sMemo1, 16, 54, 265, 123);
  EXPECT_TRUE(d->sMemo1->ReadOnly());
  EXPECT_EQ(d->sMemo1->Alignment(), taCenter);
  EXPECT_EQ(d->sMemo1->Color(), RGB(234, 242, 251));
  EXPECT_EQ(d->sMemo1->Font()->Name(), "Tahoma");
  EXPECT_EQ(d->sMemo1->Font()->Size(), 10);
  EXPECT_EQ(d->sMemo1->Font()->Color(), clBlack);
  EXPECT_EQ(d->sMemo1->Font()->Charset(), tk::RUSSIAN_CHARSET);
  EXPECT_EQ(d->sMemo1->Lines()->Count(), 7);
  At(d->OKBtn, 111, 191, 75, 25);
  EXPECT_EQ(d->OKBtn->Caption(), "OK");
  EXPECT_TRUE(d->OKBtn->Default());
  EXPECT_EQ(TabStops(d), (std::vector<std::string>{"OKBtn", "sMemo1"}));
  EXPECT_EQ(d->OKBtn->TabOrder(), 0);
  EXPECT_EQ(d->sMemo1->TabOrder(), 1);
}

}  // namespace
}  // namespace vm::test
