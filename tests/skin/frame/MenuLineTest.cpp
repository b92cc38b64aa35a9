// The menu line of a skinned form: painted from the skin below the caption.
#include "tests/skin/frame/FrameTestSupport.h"
#include "toolkit/MainMenu.h"
#include "toolkit/MenuItem.h"

namespace vm::test {
namespace {

TEST_F(TFrameTest, MenuLineIsPaintedWithItsItems) {
  LoadBuiltinSkin();
  auto* f = new TForm(app.get());
  f->SetBounds(40, 30, 260, 140);
  auto* menu = new tk::TMainMenu(f);
  for (const char* text : {"&Файл", "&Правка", "&Справка"}) {
    auto* item = new tk::TMenuItem(f);
    item->SetCaption(text);
    menu->Items()->Add(item);
  }
  f->SetMenu(menu);
  f->Show();
  Pump();
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  const TsFrameMetrics m = p->Metrics();
  EXPECT_EQ(m.MenuLineHeight, 18);
  EXPECT_GT(m.ClientTop, m.BorderHeight + m.CaptionHeight);
  const TBitmap shot = Shot(f);
  CompareGolden("menu-line", shot);
  // With every item hidden no menu line is painted: the strip shows the
  // form's background like the client area below it.
  for (int i = 0; i < menu->Items()->Count(); ++i) menu->Items()->Items(i)->SetVisible(false);
  p->RefreshFrame();
  const TBitmap bare = Shot(f);
  const int y = m.BorderHeight + m.CaptionHeight + 2;
  EXPECT_EQ(bare.GetPixel(130, y), bare.GetPixel(130, m.ClientTop + 40));
  EXPECT_NE(shot.GetPixel(130, y), bare.GetPixel(130, y));
}

}  // namespace
}  // namespace vm::test
