// The menu line of a skinned form: painted from the skin below the caption.
#include "tests/skin/frame/FrameTestSupport.h"
#include "toolkit/MainMenu.h"
#include "toolkit/MenuItem.h"

namespace vm::test {
namespace {

TEST_F(TFrameTest, MenuLineIsPaintedWithItsItems) {
  LoadBuiltinSkin();
  auto* f = Create<TForm>(app.get());
  f->SetBounds(40, 30, 260, 140);
  auto* menu = Create<tk::TMainMenu>(f);
  for (const char* text : {"&Файл", "&Правка", "&Справка"}) {
    auto* item = Create<tk::TMenuItem>(f);
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

// A main window too narrow for its bar: the platform wraps the items onto a
// second row, and the frame counts the same rows and paints the menu line over
// both of them, down to the client area and no further.
TEST_F(TFrameTest, WrappedMenuBarRowsAgreeWithThePlatform) {
  LoadBuiltinSkin();
  auto* f = Create<TForm>(app.get());
  f->SetBounds(40, 30, 400, 160);
  auto* menu = Create<tk::TMainMenu>(f);
  for (const char* text : {"&Файл", "&Правка", "&Вид", "&Снимок", "&Справка"}) {
    auto* item = Create<tk::TMenuItem>(f);
    item->SetCaption(text);
    menu->Items()->Add(item);
  }
  f->SetMenu(menu);
  f->Show();
  Pump();
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_NE(p, nullptr);
  auto platformRows = [&] {
    const TsFrameMetrics m = p->Metrics();
    return (m.ClientTop - m.BorderHeight - m.CaptionHeight - 1) / m.MenuLineHeight;
  };
  EXPECT_EQ(p->MenuRows(), 1);
  EXPECT_EQ(platformRows(), 1);

  f->SetBounds(40, 30, 150, 160);
  Pump();
  const TsFrameMetrics m = p->Metrics();
  ASSERT_GE(platformRows(), 2);
  EXPECT_EQ(p->MenuRows(), platformRows());
  const TBitmap shot = Shot(f);
  CompareGolden("menu-line-wrapped", shot);
  // The second row is the menu line's, not the form's background; the first
  // client row is the form's again.
  const int lineY = m.ClientTop - 3, clientY = m.ClientTop + 20;
  const int x = m.FrameWidth - m.BorderWidth - 3;
  const TBitmap& cache = p->FrameCache();
  EXPECT_NE(cache.GetPixel(x, lineY), cache.GetPixel(x, clientY));
  EXPECT_EQ(cache.GetPixel(x, m.ClientTop), cache.GetPixel(x, clientY));

  // Hiding items shortens the bar again.
  for (int i = 1; i < menu->Items()->Count(); ++i) menu->Items()->Items(i)->SetVisible(false);
  Pump();
  EXPECT_EQ(platformRows(), 1);
  EXPECT_EQ(p->MenuRows(), 1);
}

}  // namespace
}  // namespace vm::test
