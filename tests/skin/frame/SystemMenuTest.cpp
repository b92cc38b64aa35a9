// The skinned system menu: its items in each window state, the window
// commands it runs, the skin chooser, and the menu opened on the screen.
#include "skin/frame/SystemMenu.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <deque>
#include <fstream>
#include <functional>

#include "platform/gfx/Font.h"
#include "platform/win/WinApi.h"
#include "skin/state/MenuPainter.h"
#include "tests/skin/frame/TitleTestSupport.h"
#include "tests/support/MenuScript.h"
#include "toolkit/MenuItem.h"
#include "toolkit/ShortCut.h"

namespace vm::test {
namespace {

constexpr TBorderIcons AllIcons = biSystemMenu | biMinimize | biMaximize;

// "vV" for a visible enabled item, "v-" visible disabled, "h" hidden.
std::string Look(const tk::TMenuItem* item) {
  if (!item->Visible()) return "h";
  return item->Enabled() ? "vV" : "v-";
}

std::vector<std::string> Looks(const TsSystemMenu& m) {
  return {Look(m.ItemRestore),  Look(m.ItemMove),     Look(m.ItemSize),
          Look(m.ItemMinimize), Look(m.ItemMaximize), Look(m.ItemClose)};
}

using L = std::vector<std::string>;

class SystemMenu : public THostTest {
 protected:
  void SetUp() override {
    THostTest::SetUp();
    script.Attach(host);
  }
  void TearDown() override {
    script.Detach();
    THostTest::TearDown();
  }
  TForm* Shown(TForm* f) {
    f->Show();
    Pump();
    return f;
  }
  HWND OpenMenuWindow() {
    HWND found = nullptr;
    EnumWindows([&](HWND h) {
      if (GetClassName(h) == "#32768" && IsWindowVisible(h)) found = h;
      return !found;
    });
    return found;
  }
  // Clicks entry pos (counting visible entries) of the open menu window.
  void ClickEntry(int pos) {
    HWND w = OpenMenuWindow();
    ASSERT_TRUE(w);
    TRect r;
    ASSERT_TRUE(GetMenuItemRect(w, reinterpret_cast<HMENU>(SendMessage(w, MN_GETHMENU, 0, 0)),
                                UINT(pos), &r));
    host.Click(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
  }
  TMenuScript script;
};

TEST_F(SystemMenu, ItemsNamesCaptionsAndOrder) {
  TForm* f = MakeForm("F", bsSizeable, AllIcons);
  auto* m = Create<TsSystemMenu>(f, f);
  ASSERT_EQ(m->Items()->Count(), 7);
  const char* names[] = {"ItemRestore",  "ItemMove",      "ItemSize", "ItemMinimize",
                         "ItemMaximize", "ItemSeparator", "ItemClose"};
  const char* captions[] = {"Restore", "Move", "Size", "Minimize", "Maximize", "-", "Close"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(m->Items()->Items(i)->Name(), names[i]);
    EXPECT_EQ(m->Items()->Items(i)->Caption(), captions[i]);
  }
  EXPECT_EQ(ShortCutToText(m->ItemClose->ShortCut()), "Alt+F4");
  EXPECT_EQ(m->Form(), f);
}

TEST_F(SystemMenu, ItemsFollowBorderAndWindowState) {
  // The program's main window: single border, system menu and minimise.
  TForm* main = Shown(MakeForm("Main", bsSingle, biSystemMenu | biMinimize));
  auto* m = Create<TsSystemMenu>(main, main);
  m->UpdateItems(true);
  EXPECT_EQ(Looks(*m), (L{"v-", "vV", "v-", "vV", "h", "vV"}));

  // A dialog hides Restore, Size, Minimize and Maximize.
  TForm* dialog = Shown(MakeForm("Dialog", bsDialog, AllIcons));
  auto* d = Create<TsSystemMenu>(dialog, dialog);
  d->UpdateItems(true);
  EXPECT_EQ(Looks(*d), (L{"h", "vV", "h", "h", "h", "vV"}));

  TForm* sizeable = Shown(MakeForm("Sizeable", bsSizeable, AllIcons));
  auto* s = Create<TsSystemMenu>(sizeable, sizeable);
  s->UpdateItems(true);
  EXPECT_EQ(Looks(*s), (L{"v-", "vV", "vV", "vV", "vV", "vV"}));
  ShowWindow(sizeable->Handle(), SW_MAXIMIZE);
  s->UpdateItems(true);
  EXPECT_EQ(Looks(*s), (L{"vV", "v-", "vV", "vV", "v-", "vV"}));
  ShowWindow(sizeable->Handle(), SW_MINIMIZE);
  s->UpdateItems(true);
  EXPECT_EQ(Looks(*s), (L{"vV", "vV", "v-", "v-", "vV", "vV"}));

  // Without a system menu only Move and Size are left.
  s->UpdateItems(false);
  EXPECT_EQ(Looks(*s), (L{"h", "vV", "v-", "h", "h", "h"}));
  EXPECT_FALSE(s->ItemSeparator->Visible());
}

TEST_F(SystemMenu, CommandsActOnTheFormAndRefreshTheItems) {
  TForm* f = Shown(MakeForm("Sizeable", bsSizeable, AllIcons));
  auto* m = Create<TsSystemMenu>(f, f);
  m->UpdateItems(true);

  m->ItemMaximize->Click();
  EXPECT_TRUE(IsZoomed(f->Handle()));
  EXPECT_FALSE(m->ItemMaximize->Enabled());
  EXPECT_TRUE(m->ItemRestore->Enabled());

  m->ItemRestore->Click();
  EXPECT_FALSE(IsZoomed(f->Handle()));
  EXPECT_TRUE(m->ItemMaximize->Enabled());
  EXPECT_FALSE(m->ItemRestore->Enabled());

  // A form other than the main one is only minimised; the items are brought
  // up to date when the menu opens next.
  m->ItemMinimize->Click();
  EXPECT_TRUE(IsIconic(f->Handle()));
  EXPECT_FALSE(m->ItemRestore->Enabled());
  m->UpdateItems(true);
  m->ItemRestore->Click();
  EXPECT_FALSE(IsIconic(f->Handle()));

  bool closed = false;
  f->OnClose = [&](TComponent*, TCloseAction&) { closed = true; };
  m->ItemClose->Click();
  EXPECT_TRUE(closed);
  EXPECT_FALSE(f->Visible());

  // A form whose window is gone (or never made) takes no command.
  TForm* hidden = MakeForm("Never", bsSizeable, AllIcons);
  auto* n = Create<TsSystemMenu>(hidden, hidden);
  n->ItemMinimize->Click();
  n->ItemClose->Click();
  EXPECT_FALSE(hidden->HandleAllocated());
}

TEST_F(SystemMenu, MainFormMinimisesAndRefreshes) {
  TForm* main = nullptr;
  app->CreateForm(main);
  main->SetBorderStyle(bsSingle);
  main->SetBorderIcons(biSystemMenu | biMinimize);
  Shown(main);
  auto* m = Create<TsSystemMenu>(main, main);
  m->UpdateItems(true);
  EXPECT_TRUE(m->ItemMinimize->Enabled());
  m->ItemMinimize->Click();
  EXPECT_TRUE(IsIconic(main->Handle()));
  EXPECT_FALSE(m->ItemMinimize->Enabled());
  EXPECT_TRUE(m->ItemRestore->Enabled());
}

TEST_F(SystemMenu, FormFreedFirstLeavesTheMenuHarmless) {
  TForm* f = Shown(MakeForm("Gone", bsSizeable, AllIcons));
  auto* m = Create<TsSystemMenu>(app.get(), f);
  delete f;
  EXPECT_EQ(m->Form(), nullptr);
  m->UpdateItems(true);
  m->ItemClose->Click();
  m->Popup(10, 10);
  delete m;
}

class SkinChooser : public SystemMenu {
 protected:
  void SetUp() override {
    SystemMenu::SetUp();
    static int counter = 0;
    dir = fs::temp_directory_path() /
          ("velmora-sysmenu-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::remove_all(dir);
    // 24 folder skins plus the built-in one: 25 names, sorted.
    for (int i = 0; i < 24; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "Skin %02d", i);
      WriteSkin(name);
    }
    LoadBuiltin(manager);
    manager.SetSkinDirectory(dir.string());
  }
  void TearDown() override {
    SystemMenu::TearDown();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  void WriteSkin(const std::string& name) {
    fs::create_directories(dir / name);
    std::ofstream(dir / name / "Options.dat", std::ios::binary)
        << "[GLOBALINFO]\r\nVERSION=5.43\r\nCOLOR=12632256\r\n";
  }
  fs::path dir;
  TsSkinManager manager;
};

TEST_F(SkinChooser, TwentyFirstSkinStartsTheSecondColumn) {
  TForm* f = Shown(MakeForm("F", bsSizeable, AllIcons));
  auto* m = Create<TsSystemMenu>(f, f);
  m->SetManager(&manager);
  m->MakeSkinItems();
  m->MakeSkinItems();  // made again: the earlier chooser is replaced, not kept

  ASSERT_EQ(m->Items()->Count(), 9);
  tk::TMenuItem* chooser = m->Items()->Items(0);
  EXPECT_EQ(chooser, m->SkinItems());
  EXPECT_EQ(chooser->Name(), "SkinSelectItem");
  EXPECT_EQ(chooser->Caption(), "Available skins");
  EXPECT_TRUE(m->Items()->Items(1)->IsLine());
  EXPECT_EQ(m->Items()->Items(2), m->ItemRestore);

  const std::vector<std::string> names = manager.GetSkinNames(slBoth);
  ASSERT_EQ(chooser->Count(), 25);
  ASSERT_EQ(int(names.size()), 25);
  int checked = 0;
  for (int i = 0; i < 25; ++i) {
    tk::TMenuItem* item = chooser->Items(i);
    EXPECT_EQ(item->Name(), "SkinSelectItem" + std::to_string(i));
    EXPECT_EQ(item->Caption(), names[std::size_t(i)]);
    EXPECT_TRUE(item->RadioItem());
    EXPECT_EQ(item->Break(), i == 20 ? tk::mbBreak : tk::mbNone) << i;
    if (item->Checked()) {
      ++checked;
      EXPECT_EQ(item->Caption(), BuiltinSkinName);
    }
  }
  EXPECT_EQ(checked, 1);

  // The platform menu has the column break on the 21st entry.
  HMENU sub = chooser->Handle();
  EXPECT_TRUE(GetMenuState(sub, 20, MF_BYPOSITION) & MF_MENUBREAK);
  EXPECT_FALSE(GetMenuState(sub, 19, MF_BYPOSITION) & MF_MENUBREAK);

  // On the screen the 21st skin heads a second column to the right.
  TRect first{}, last{}, twentyFirst{};
  script.push_back([&] {
    HWND w = OpenMenuWindow();
    ASSERT_TRUE(w);
    ASSERT_TRUE(GetMenuItemRect(w, sub, 0, &first));
    ASSERT_TRUE(GetMenuItemRect(w, sub, 19, &last));
    ASSERT_TRUE(GetMenuItemRect(w, sub, 20, &twentyFirst));
    EndMenu();
  });
  TrackPopupMenuEx(sub, TPM_RETURNCMD, 50, 50, f->Handle(), nullptr);
  EXPECT_EQ(twentyFirst.Top, first.Top);
  EXPECT_GE(twentyFirst.Left, first.Right);
  EXPECT_GT(last.Top, first.Top);

  chooser->Items(3)->Click();
  EXPECT_EQ(manager.SkinName(), names[3]);
}

TEST_F(SkinChooser, AmpersandInASkinNameSurvivesTheChoice) {
  WriteSkin("Rock&Roll");
  TForm* f = Shown(MakeForm("F", bsSizeable, AllIcons));
  auto* m = Create<TsSystemMenu>(f, f);
  m->SetManager(&manager);
  m->MakeSkinItems();
  tk::TMenuItem* rock = nullptr;
  for (int i = 0; i < m->SkinItems()->Count(); ++i)
    if (m->SkinItems()->Items(i)->Caption() == "Rock&&Roll") rock = m->SkinItems()->Items(i);
  ASSERT_TRUE(rock);
  rock->Click();
  EXPECT_EQ(manager.SkinName(), "Rock&Roll");
  EXPECT_TRUE(manager.SkinData.Active);
}

TEST_F(SkinChooser, ChoosingFromTheOpenMenuSwitchesTheSkin) {
  TForm* f = Shown(MakeForm("F", bsSizeable, AllIcons));
  auto* m = Create<TsSystemMenu>(f, f);
  m->SetManager(&manager);
  m->MakeSkinMenu = true;
  m->UpdateItems(true);
  const std::string wanted = manager.GetSkinNames(slBoth)[1];
  // Open the chooser's column, then click its second skin.
  script.push_back([&] { ClickEntry(0); });
  script.push_back([&] {
    HWND sub = nullptr;
    EnumWindows([&](HWND h) {
      if (GetClassName(h) == "#32768" && IsWindowVisible(h) && h != OpenMenuWindow()) sub = h;
      return !sub;
    });
    HWND w = sub ? sub : OpenMenuWindow();
    TRect r;
    ASSERT_TRUE(GetMenuItemRect(w, m->SkinItems()->Handle(), 1, &r));
    host.Click(r.Left + 10, r.Top + r.Height() / 2);
  });
  m->Popup(f->Left() + 10, f->Top() + 30);
  Pump();
  EXPECT_EQ(manager.SkinName(), wanted);
}

// The menu as it opens over the main window's shape and from a dialog; the
// pictures are looked at. Choosing Minimize from the open menu minimises.
TEST_F(SystemMenu, OpenMenuPictureAndChoice) {
  PinFontConfiguration();
  TForm* f = Shown(MakeForm("F", bsSingle, biSystemMenu | biMinimize));
  auto* m = Create<TsSystemMenu>(f, f);
  m->UpdateItems(true);
  TBitmap shot;
  script.push_back([&] {
    HWND w = OpenMenuWindow();
    ASSERT_TRUE(w);
    Pump();
    PresentWindows();
    shot = host.WindowShot(GetHostWindow(w));
    ClickEntry(3);  // Restore, Move, Size, Minimize: the fourth visible entry
  });
  m->Popup(f->Left() + 8, f->Top() + 24);
  Pump();
  EXPECT_TRUE(IsIconic(f->Handle()));
  CompareGolden("system-menu-main", shot);

  TForm* d = Shown(MakeForm("D", bsDialog, AllIcons));
  auto* dm = Create<TsSystemMenu>(d, d);
  dm->UpdateItems(true);
  script.push_back([&] {
    Pump();
    PresentWindows();
    shot = host.WindowShot(GetHostWindow(OpenMenuWindow()));
    EndMenu();
  });
  dm->Popup(d->Left() + 8, d->Top() + 24);
  Pump();
  EXPECT_TRUE(d->Visible());
  CompareGolden("system-menu-dialog", shot);
}

// A stand-in painter that records the menus handed to it.
class TRecordingPainter : public TsMenuPainter {
 public:
  bool OwnsBarItem(const tk::TMenuItem*) const override { return false; }
  TSize MeasureBarItem(tk::TMenuItem*) override { return {}; }
  void DrawBarItem(tk::TMenuItem*, TBitmap&, const TRect&, unsigned) override {}
  void DrawBarItems(TCustomForm*, TBitmap&) override {}
  void HookMenu(tk::TMenu* menu, bool on) override { hooked.push_back({menu, on}); }
  void HookForm(TCustomForm*, bool) override {}
  void Rehook() override {}
  void ResetBorderWidth() override {}
  std::vector<std::pair<tk::TMenu*, bool>> hooked;
};

TEST_F(SystemMenu, SkinnedPopupsGoToTheMenuPainter) {
  TsSkinManager manager;
  TRecordingPainter painter;
  SetMenuPainter(&manager, &painter);
  TForm* f = Shown(MakeForm("F", bsSizeable, AllIcons));
  auto* m = Create<TsSystemMenu>(f, f);
  m->SetManager(&manager);
  m->Popup(f->Left() + 8, f->Top() + 24);  // the script is empty: the menu closes at once
  ASSERT_EQ(painter.hooked.size(), 1u);
  EXPECT_EQ(painter.hooked[0].first, m);
  EXPECT_TRUE(painter.hooked[0].second);

  manager.SetSkinnedPopups(false);
  m->Popup(f->Left() + 8, f->Top() + 24);
  EXPECT_EQ(painter.hooked.size(), 1u);
  SetMenuPainter(&manager, nullptr);
}

}  // namespace
}  // namespace vm::test
