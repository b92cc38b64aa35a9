// The skinned menus on a form that the manager's hook gives a skinned frame:
// the menu line's items come from the menu painter, a bar item opened with
// the mouse shows its pressed look, and the drop-down is a skinned menu
// window.
#include <deque>
#include <functional>

#include "skin/controls/MenuWindow.h"
#include "skin/controls/SkinableMenus.h"
#include "skin/frame/FrameHook.h"
#include "skin/frame/SkinProvider.h"
#include "tests/skin/controls/ControlsTestSupport.h"
#include "tests/support/MenuScript.h"
#include "toolkit/MainMenu.h"
#include "toolkit/MenuItem.h"
#include "toolkit/ShortCut.h"

namespace vm::test {
namespace {

class SkinnedFrameMenus : public TControlsTest {
 protected:
  void SetUp() override {
    TControlsTest::SetUp();
    InstallFrameLayer(*announcer);
    LoadBuiltinSkin();
    manager->MenuSupport().IcoLineSkin = "ICOLINE";
    painter = InstallSkinnedMenus(*manager, announcer.get());
    script.Attach(host);
  }
  void TearDown() override {
    script.Detach();
    manager.reset();
    FreeRuntimeProviders();
    TControlsTest::TearDown();
  }
  tk::TMenuItem* Item(TForm* form, tk::TMenuItem* parent, const std::string& caption,
                      TShortCut sc = scNone, bool enabled = true) {
    auto* i = Create<tk::TMenuItem>(form);
    i->SetCaption(caption);
    i->SetShortCut(sc);
    i->SetEnabled(enabled);
    parent->Add(i);
    return i;
  }
  HWND MenuWindow() {
    HWND found = nullptr;
    EnumWindows([&](HWND h) {
      if (GetClassName(h) == "#32768" && IsWindowVisible(h)) found = h;
      return !found;
    });
    return found;
  }

  TsSkinableMenus* painter = nullptr;
  TMenuScript script;
};

TEST_F(SkinnedFrameMenus, MenuLineAndDropDownOnASkinnedForm) {
  auto* form = Create<TForm>(app.get());
  form->SetName("MainLike");
  form->SetBorderStyle(bsSingle);
  form->SetCaption("Velmora v8.0");
  form->SetBounds(30, 30, 360, 160);
  auto* menu = Create<tk::TMainMenu>(form);
  tk::TMenuItem* file = Item(form, menu->Items(), "Файл");
  Item(form, file, "Открыть", ShortCut('O', ssCtrl));
  Item(form, file, "Сохранить", ShortCut('S', ssCtrl), false);
  Item(form, file, "Выход", ShortCut('E', ssCtrl));
  tk::TMenuItem* image = Item(form, menu->Items(), "Изображение");
  Item(form, image, "Изменить качество", scNone, false);
  tk::TMenuItem* help = Item(form, menu->Items(), "Справка");
  Item(form, help, "О программе...");
  form->SetMenu(menu);
  form->Show();
  Pump();
  ASSERT_TRUE(painter->OwnsBarItem(file)) << "the frame did not hook the form's menus";
  // Only the menu line is compared: the caption above it is the frame's.
  TRect wr, first;
  ASSERT_TRUE(GetWindowRect(form->Handle(), &wr));
  ASSERT_TRUE(GetMenuItemRect(form->Handle(), GetMenu(form->Handle()), 0, &first));
  auto line = [&](const TBitmap& shot) {
    const int top = first.Top - wr.Top, height = first.Height() + 1;
    TBitmap strip(shot.Width(), height);
    TDC(strip).BitBlt(0, 0, shot.Width(), height, shot, 0, top, SRCCOPY);
    return strip;
  };
  CompareGolden("frame-menu-line", line(Shot(form)));

  TBitmap during, dropDown;
  script.push_back([&] {
    Application->ProcessMessages();
    PresentWindows();
    during = host.WindowShot(GetHostWindow(form->Handle()));
    HWND w = MenuWindow();
    ASSERT_TRUE(w);
    dropDown = host.WindowShot(GetHostWindow(w));
    EndMenu();
  });
  host.Click(first.Left + first.Width() / 2, first.Top + first.Height() / 2);
  Pump();
  CompareGolden("frame-menu-line-open", line(during));
  CompareGolden("frame-menu-dropdown", dropDown);

  // Skinning switched off gives the plain menus back.
  manager->SetActive(false);
  Pump();
  EXPECT_FALSE(painter->OwnsBarItem(file));
}

TEST_F(SkinnedFrameMenus, SystemMenuIsPaintedByTheMenuPainter) {
  auto* form = Create<TForm>(app.get());
  form->SetName("Plain");
  form->SetBorderStyle(bsSingle);
  form->SetCaption("Velmora v8.0");
  form->SetBounds(30, 30, 300, 120);
  form->Show();
  Pump();
  TBitmap shot;
  bool held = false;
  script.push_back([&] {
    Application->ProcessMessages();
    PresentWindows();
    HWND w = MenuWindow();
    ASSERT_TRUE(w);
    held = TsMenuWindow::Find(w) != nullptr;
    shot = host.WindowShot(GetHostWindow(w));
    EndMenu();
  });
  // A right click on the caption opens the frame's system menu.
  TRect r;
  ASSERT_TRUE(GetWindowRect(form->Handle(), &r));
  host.Click(r.Left + 120, r.Top + 10, THostButton::Right);
  Pump();
  ASSERT_FALSE(shot.Empty());
  EXPECT_TRUE(held);
  CompareGolden("frame-system-menu", shot);
}

// The menu line's items stay as drawn while a repaint changes nothing on
// the line, and a changed item (its caption, its state, a highlight the
// platform keeps) shows at the next painting of the frame exactly as a frame
// painted from nothing shows it.
TEST_F(SkinnedFrameMenus, MenuLineRedrawsItsItemsOnlyWhenTheyChanged) {
  auto* form = Create<TForm>(app.get());
  form->SetBorderStyle(bsSingle);
  form->SetCaption("Velmora");
  form->SetBounds(30, 30, 360, 160);
  auto* menu = Create<tk::TMainMenu>(form);
  tk::TMenuItem* file = Item(form, menu->Items(), "Файл");
  Item(form, file, "Открыть");
  tk::TMenuItem* help = Item(form, menu->Items(), "Справка");
  form->SetMenu(menu);
  form->Show();
  Pump();
  HWND h = form->Handle();
  TRect wr, first;
  ASSERT_TRUE(GetWindowRect(h, &wr));
  ASSERT_TRUE(GetMenuItemRect(h, GetMenu(h), 0, &first));
  auto line = [&] {
    const TBitmap shot = Shot(form);
    const int top = first.Top - wr.Top, height = first.Height() + 1;
    TBitmap strip(shot.Width(), height);
    TDC(strip).BitBlt(0, 0, shot.Width(), height, shot, 0, top, SRCCOPY);
    return strip;
  };
  auto repaint = [&] {
    RedrawWindow(h, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return line();
  };
  // What a frame painted from nothing shows now.
  auto fresh = [&] {
    TsSkinProvider* p = nullptr;
    for (int i = 0; i < form->ComponentCount() && !p; ++i)
      p = dynamic_cast<TsSkinProvider*>(form->Components(i));
    EXPECT_NE(p, nullptr);
    if (p) p->RefreshFrame();
    return line();
  };
  const TBitmap before = line();
  EXPECT_TRUE(repaint().SamePixels(before));
  EXPECT_TRUE(repaint().SamePixels(before));

  help->SetCaption("Помощь и сведения");
  const TBitmap renamed = repaint();
  EXPECT_FALSE(renamed.SamePixels(before));
  EXPECT_TRUE(fresh().SamePixels(renamed));

  file->SetEnabled(false);
  const TBitmap disabled = repaint();
  EXPECT_FALSE(disabled.SamePixels(renamed));
  EXPECT_TRUE(fresh().SamePixels(disabled));

  // A highlight changes only the platform's state of the item.
  ASSERT_TRUE(HiliteMenuItem(h, GetMenu(h), 1, MF_BYPOSITION | MF_HILITE));
  const TBitmap lit = repaint();
  EXPECT_FALSE(lit.SamePixels(disabled));
  EXPECT_TRUE(fresh().SamePixels(lit));
  ASSERT_TRUE(HiliteMenuItem(h, GetMenu(h), 1, MF_BYPOSITION | MF_UNHILITE));
  EXPECT_TRUE(repaint().SamePixels(disabled));
}

}  // namespace
}  // namespace vm::test
