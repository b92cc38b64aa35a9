// The skinned status bar: its face, panels and texts under no skin, the
// built-in skin and a second skin folder (golden pictures), the panel
// geometry, texts shortened with "..." inside their panels, a label placed on
// the bar painted over its picture, and text changes repainting.
#include "skin/controls/Label.h"
#include "skin/controls/StatusBar.h"
#include "tests/skin/controls/ControlsTestSupport.h"

namespace vm::test {
namespace {

class StatusBars : public TControlsTest {
 protected:
  TsStatusBar* Bar(TForm* f) {
    auto* b = new TsStatusBar(f);
    b->SetParent(f);
    b->SetBounds(0, 40, f->ClientWidth(), 19);
    b->SetAlign(alBottom);
    b->SkinData()->SetSkinSection("STATUSBAR");
    return b;
  }
  static TBitmap BarPiece(const TBitmap& shot, TControl* c) {
    TBitmap p(c->Width(), c->Height());
    TDC(p).BitBlt(0, 0, c->Width(), c->Height(), shot, c->Left(), c->Top());
    return p;
  }
};

TEST_F(StatusBars, PanelsTextsAndALabelUnderEachSkin) {
  const char* names[] = {"plain", "builtin", "recoloured"};
  for (int skin = 0; skin < 3; ++skin) {
    SCOPED_TRACE(names[skin]);
    if (skin >= 1) LoadBuiltinSkin();
    if (skin == 2) {
      WriteRecolouredSkin();
      manager->SetSkinName(RecolouredSkin);
    }
    TForm* f = MakeForm(300, 60);
    TsStatusBar* b = Bar(f);
    b->Panels()->Add()->SetText("Готово");
    TStatusPanel* wide = b->Panels()->Add();
    wide->SetWidth(60);
    wide->SetText("Очень длинный текст панели");
    b->Panels()->Add()->SetText("Конец");
    b->Panels()->Items(2)->SetAlignment(taRightJustify);
    // The last panel reaches the right edge whatever its width.
    b->Panels()->Items(2)->SetWidth(10);
    const TBitmap bar = BarPiece(Shot(f), b);
    CompareGolden(std::string("statusbar-panels-") + names[skin], bar);
    if (skin >= 1) {
      EXPECT_EQ(b->PanelRect(0), (TRect{0, 0, 51, 19}));
      EXPECT_EQ(b->PanelRect(1), (TRect{51, 0, 112, 19}));
      EXPECT_EQ(b->PanelRect(2), (TRect{112, 0, 300, 19}));
      // The shortened text stays inside its panel: between its end and the
      // divider only the face shows, as in an empty stretch of the last panel.
      for (int y = 2; y < 17; ++y)
        for (int x = 105; x < 109; ++x) EXPECT_EQ(bar.GetPixel(x, y), bar.GetPixel(150, y)) << x;
    }
    delete f;
  }
}

TEST_F(StatusBars, ALabelOnTheBarPaintsOverItsPictureAndTextChangesRepaint) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(300, 60);
  TsStatusBar* b = Bar(f);
  auto* l = new TsLabel(f);
  l->SetParent(b);
  l->SetBounds(3, 3, 10, 10);
  l->Font()->SetStyle(tk::fsBold);
  l->SetCaption("Размер изображения: 12 Кб");
  const TBitmap before = BarPiece(Shot(f), b);
  CompareGolden("statusbar-label", before);
  // The label's text takes the skin's font colour over the bar's face.
  EXPECT_GT(CountColour(before, TRect{3, 3, 150, 16}, manager->GlobalFontColor()), 5);
  // A bar without panels and without a panel frame: face, label, no grip
  // on a window that cannot be resized.
  const TColor corner = before.GetPixel(296, 15);
  EXPECT_EQ(corner, before.GetPixel(250, 15));
  // The simple text repaints at once.
  b->SetSimplePanel(true);
  b->SetSimpleText("Простой текст");
  l->Hide();
  const TBitmap simple = BarPiece(Shot(f), b);
  int differ = 0;
  for (int x = 0; x < 150; ++x)
    for (int y = 3; y < 16; ++y) differ += simple.GetPixel(x, y) != before.GetPixel(x, y);
  EXPECT_GT(differ, 20);
  b->SetSimpleText("Другой");
  const TBitmap other = BarPiece(Shot(f), b);
  differ = 0;
  for (int x = 0; x < 150; ++x)
    for (int y = 3; y < 16; ++y) differ += simple.GetPixel(x, y) != other.GetPixel(x, y);
  EXPECT_GT(differ, 20);
  // Skinning off: the platform's bar again.
  manager->SetActive(false);
  EXPECT_FALSE(b->Skinned());
  Shot(f);
}

}  // namespace
}  // namespace vm::test
