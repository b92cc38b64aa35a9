// Menus of the toolkit: items reaching the platform menu, the menu bar of a
// form, choosing items with the mouse and the keyboard through the headless
// host, shortcuts (also on a Russian layout), owner drawing and pop-up menus.
//
// A menu runs a nested loop. The tests act in it from the host's idle
// handler, one scripted step per wait, exactly where a user would act next.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>

#include "platform/gfx/PngCodec.h"
#include "platform/gfx/SysColors.h"
#include "tests/support/MenuScript.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Edit.h"
#include "toolkit/ImageList.h"
#include "toolkit/Layout.h"
#include "toolkit/MainMenu.h"
#include "toolkit/Panel.h"
#include "toolkit/PopupMenu.h"

namespace vm::test {
namespace {

using tk::TMainMenu;
using tk::TMenuItem;
using tk::TPopupMenu;

TEST(ShortCutTest, TextOfShortCutsAndBack) {
  EXPECT_EQ(ShortCut('O', ssCtrl), TShortCut('O' | scCtrl));
  EXPECT_EQ(ShortCutToText(ShortCut('O', ssCtrl)), "Ctrl+O");
  EXPECT_EQ(ShortCutToText(ShortCut('S', ssCtrl | ssShift)), "Shift+Ctrl+S");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F5, 0)), "F5");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, ssAlt)), "Alt+Del");
  EXPECT_EQ(ShortCutToText(scNone), "");
  EXPECT_EQ(ShortCutToText(ShortCut(0xFF, ssCtrl)), "");  // a key without a name
  EXPECT_EQ(ShortCut(0, ssCtrl), scNone);
  EXPECT_EQ(ShortCut(0x1FF, ssCtrl), scNone);
  for (TShortCut s : {ShortCut('O', ssCtrl), ShortCut(VK_F12, ssShift | ssAlt),
                      ShortCut(VK_RETURN, ssCtrl), ShortCut('7', 0)})
    EXPECT_EQ(TextToShortCut(ShortCutToText(s)), s) << ShortCutToText(s);
  EXPECT_EQ(TextToShortCut("ctrl+o"), ShortCut('O', ssCtrl));
  EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut("Ctrl+Щ"), scNone);
}

class MenuTest : public TToolkitTest {
 protected:
  static void SetUpTestSuite() { PinFontConfiguration(); }

  void SetUp() override {
    TToolkitTest::SetUp();
    form = MakeForm(60, 60, 400, 240);
    form->SetCaption("Меню");
    menu = Create<TMainMenu>(form);
    auto item = [&](TMenuItem* parent, const std::string& caption, TShortCut sc = scNone) {
      auto* i = Create<TMenuItem>(form);
      i->SetCaption(caption);
      i->SetShortCut(sc);
      i->OnClick = [this, i](TComponent*) { clicks.push_back(i->Caption()); };
      parent->Add(i);
      if (parent != menu->Items()) parent->OnClick = nullptr;  // sub-menus log nothing
      return i;
    };
    file = item(menu->Items(), "&Файл");
    open = item(file, "&Открыть", ShortCut('O', ssCtrl));
    save = item(file, "&Сохранить", ShortCut('S', ssCtrl));
    save->SetEnabled(false);
    item(file, "-");
    exit = item(file, "В&ыход", ShortCut('E', ssCtrl));
    image = item(menu->Items(), "&Изображение");
    grid = item(image, "&Сетка");
    grid->SetChecked(true);
    help = item(menu->Items(), "&Справка");
    about = item(help, "&О программе...");
    clicks.clear();
    script.Attach(host);
  }
  void TearDown() override {
    script.Detach();
    TToolkitTest::TearDown();
  }

  void Attach() {
    form->SetMenu(menu);
    form->Show();
    Pump();
  }
  void Step(std::function<void()> f) { script.push_back(std::move(f)); }
  TPoint ItemCentre(HMENU m, int pos, HWND hwnd = nullptr) {
    TRect r;
    EXPECT_TRUE(GetMenuItemRect(hwnd, m, UINT(pos), &r));
    return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  }
  void ClickOn(HMENU m, int pos, HWND hwnd = nullptr) {
    TPoint p = ItemCentre(m, pos, hwnd);
    host.Click(p.X, p.Y);
  }
  void Press(int vk, char32_t text = 0) {
    host.KeyDown(vk, text);
    host.KeyUp(vk);
  }
  void CtrlKey(int vk, char32_t text) {
    host.KeyDown(VK_CONTROL);
    host.KeyDown(vk, text);
    host.KeyUp(vk);
    host.KeyUp(VK_CONTROL);
    Pump();
  }

  TForm* form = nullptr;
  TMainMenu* menu = nullptr;
  TMenuItem *file, *open, *save, *exit, *image, *grid, *help, *about;
  std::vector<std::string> clicks;
  TMenuScript script;
};

TEST_F(MenuTest, ItemsReachThePlatformMenuAndFollowTheirChanges) {
  Attach();
  HMENU bar = GetMenu(form->Handle());
  ASSERT_EQ(bar, menu->Handle());
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_EQ(GetMenuText(bar, 0, MF_BYPOSITION), "&Файл");
  EXPECT_EQ(GetSubMenu(bar, 0), file->Handle());
  HMENU f = file->Handle();
  ASSERT_EQ(GetMenuItemCount(f), 4);
  EXPECT_EQ(GetMenuText(f, 0, MF_BYPOSITION), "&Открыть\tCtrl+O");
  EXPECT_EQ(GetMenuText(f, 3, MF_BYPOSITION), "В&ыход\tCtrl+E");
  EXPECT_TRUE(GetMenuState(f, 1, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_FALSE(GetMenuState(f, 0, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(f, 2, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(image->Handle(), 0, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_EQ(GetMenuItemID(f, 0), open->Command());

  // Changes after the menu is shown reach it in place.
  save->SetEnabled(true);
  EXPECT_FALSE(GetMenuState(f, 1, MF_BYPOSITION) & MF_GRAYED);
  open->SetCaption("&Открыть...");
  open->SetShortCut(ShortCut(VK_F3, 0));
  EXPECT_EQ(GetMenuText(f, 0, MF_BYPOSITION), "&Открыть...\tF3");
  // Hidden items leave the platform menu; inserted and deleted ones follow.
  save->SetVisible(false);
  EXPECT_EQ(GetMenuItemCount(f), 3);
  EXPECT_EQ(GetMenuText(f, 1, MF_BYPOSITION), "-");
  auto* recent = Create<TMenuItem>(form);
  recent->SetCaption("&Недавние");
  file->Insert(1, recent);
  EXPECT_EQ(GetMenuText(f, 1, MF_BYPOSITION), "&Недавние");
  EXPECT_EQ(GetSubMenu(f, 1), nullptr);
  // An item that gets items of its own becomes a sub-menu.
  auto* one = Create<TMenuItem>(form);
  one->SetCaption("1.jpg");
  recent->Add(one);
  EXPECT_EQ(GetSubMenu(f, 1), recent->Handle());
  EXPECT_EQ(GetMenuText(recent->Handle(), 0, MF_BYPOSITION), "1.jpg");
  EXPECT_EQ(recent->MenuIndex(), 1);
  EXPECT_EQ(file->Find("Недавние"), recent);
  EXPECT_EQ(file->Find("&недавние"), nullptr);  // Cyrillic case is not folded
  int components = form->ComponentCount();
  file->Delete(1);  // frees the item and the one below it
  EXPECT_EQ(form->ComponentCount(), components - 2);
  EXPECT_EQ(GetMenuItemCount(f), 3);
  // An item cannot go below itself.
  EXPECT_THROW(open->Add(open), std::invalid_argument);
  EXPECT_THROW(grid->Add(image), std::invalid_argument);

  // Radio items of one group are checked one at a time.
  auto* fit = Create<TMenuItem>(form);
  fit->SetCaption("По размеру");
  auto* full = Create<TMenuItem>(form);
  full->SetCaption("1:1");
  for (TMenuItem* r : {fit, full}) {
    r->SetRadioItem(true);
    r->SetGroupIndex(1);
    image->Add(r);
  }
  fit->SetChecked(true);
  full->SetChecked(true);
  EXPECT_FALSE(fit->Checked());
  EXPECT_TRUE(grid->Checked());  // another group
  EXPECT_FALSE(GetMenuState(image->Handle(), 1, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(image->Handle(), 2, MF_BYPOSITION) & MF_CHECKED);
}

TEST_F(MenuTest, TheBarTakesItsHeightFromTheClientArea) {
  int clientH = form->ClientHeight(), clientW = form->ClientWidth(), h = form->Height();
  auto* panel =
      Place<TPanel>(form, form, "Panel1", {0, 0, 10, 10}, [](TPanel& p) { p.SetAlign(alClient); });
  Attach();
  int barH = GetSystemMetrics(SM_CYMENU);
  EXPECT_EQ(form->Height(), h);
  EXPECT_EQ(form->ClientWidth(), clientW);
  EXPECT_EQ(form->ClientHeight(), clientH - barH);
  EXPECT_EQ(panel->Height(), clientH - barH);
  // The client area's top-left moved down by the bar.
  TPoint origin = form->ClientToScreen({0, 0});
  TRect wr;
  GetWindowRect(form->Handle(), &wr);
  TRect entry;
  ASSERT_TRUE(GetMenuItemRect(form->Handle(), menu->Handle(), 0, &entry));
  EXPECT_EQ(entry.Bottom + 1, origin.Y);
  // ClientHeight keeps meaning the client area with the bar there.
  form->SetClientHeight(200);
  EXPECT_EQ(form->ClientHeight(), 200);
  EXPECT_EQ(form->Height(), h - clientH + 200 + barH);
  // Cleared: the room comes back; a recreated window gets the bar again.
  form->SetMenu(nullptr);
  EXPECT_EQ(GetMenu(form->Handle()), nullptr);
  EXPECT_EQ(form->ClientHeight(), 200 + barH);
  form->SetMenu(menu);
  form->SetBorderStyle(bsSingle);
  Pump();
  EXPECT_EQ(GetMenu(form->Handle()), menu->Handle());
  EXPECT_EQ(GetMenuItemCount(file->Handle()), 4);
  // A menu freed while shown takes its bar along.
  delete menu;
  EXPECT_EQ(form->Menu(), nullptr);
  EXPECT_EQ(GetMenu(form->Handle()), nullptr);
  EXPECT_EQ(panel->Height(), form->ClientHeight());
}

TEST_F(MenuTest, ItemsAreChosenWithTheMouse) {
  Attach();
  int fileOpened = 0;
  file->OnClick = [&](TComponent*) {
    ++fileOpened;
    save->SetEnabled(true);  // brought up to date before it shows
  };
  ClickOn(menu->Handle(), 0, form->Handle());
  Step([&] {
    EXPECT_EQ(fileOpened, 1);
    EXPECT_FALSE(GetMenuState(file->Handle(), 1, MF_BYPOSITION) & MF_GRAYED);
    ClickOn(file->Handle(), 1);
  });
  Pump();
  EXPECT_EQ(clicks, (std::vector<std::string>{"&Сохранить"}));
  EXPECT_EQ(GetTrackedMenu(), nullptr);

  // A disabled item keeps the menu open and runs nothing; a click elsewhere closes it.
  file->OnClick = nullptr;
  save->SetEnabled(false);
  clicks.clear();
  ClickOn(menu->Handle(), 0, form->Handle());
  Step([&] { ClickOn(file->Handle(), 1); });
  Step([&] {
    EXPECT_EQ(GetTrackedMenu(), file->Handle());
    TPoint p = At(form, 300, 150);
    host.Click(p.X, p.Y);
  });
  Pump();
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(GetTrackedMenu(), nullptr);
}

TEST_F(MenuTest, ItemsAreChosenWithTheKeyboard) {
  Attach();
  // Alt alone selects the bar; Down opens "Файл" on its first item; Down
  // moves to the disabled "Сохранить", where Enter closes the menu and runs nothing.
  host.KeyDown(VK_MENU);
  host.KeyUp(VK_MENU);
  Step([&] { Press(VK_DOWN); });
  Step([&] {
    EXPECT_EQ(GetTrackedMenu(), file->Handle());
    Press(VK_DOWN);
    Press(VK_RETURN);  // "Сохранить" is disabled: the menu closes, nothing runs
  });
  Pump();
  EXPECT_TRUE(clicks.empty());
  // F10, Right to "Изображение", Enter opens it, Enter chooses "Сетка".
  Press(VK_F10);
  Step([&] { Press(VK_RIGHT); });
  Step([&] { Press(VK_RETURN); });
  Step([&] {
    EXPECT_EQ(GetTrackedMenu(), image->Handle());
    Press(VK_RETURN);
  });
  Pump();
  EXPECT_EQ(clicks, (std::vector<std::string>{"&Сетка"}));
  // Mnemonics on a Russian layout: Alt+Ф (the key A) opens "Файл", "ы" chooses "Выход".
  clicks.clear();
  host.KeyDown(VK_MENU);
  host.KeyDown('A', U'ф');
  host.KeyUp('A');
  host.KeyUp(VK_MENU);
  Step([&] {
    EXPECT_EQ(GetTrackedMenu(), file->Handle());
    host.Type("ы");
  });
  Pump();
  EXPECT_EQ(clicks, (std::vector<std::string>{"В&ыход"}));
}

TEST_F(MenuTest, ABarEntryWithoutItemsIsACommandOfItsOwn) {
  help->Clear();
  help->OnClick = [&](TComponent*) { clicks.push_back(help->Caption()); };
  Attach();
  EXPECT_EQ(GetSubMenu(menu->Handle(), 2), nullptr);
  ClickOn(menu->Handle(), 2, form->Handle());
  Pump();
  EXPECT_EQ(clicks, (std::vector<std::string>{"&Справка"}));
  EXPECT_EQ(GetTrackedMenu(), nullptr);
  // From the keyboard: F10, Right twice, Enter; then Alt+С (its mnemonic).
  Press(VK_F10);
  Step([&] { Press(VK_RIGHT); });
  Step([&] { Press(VK_RIGHT); });
  Step([&] { Press(VK_RETURN); });
  Pump();
  host.KeyDown(VK_MENU);
  host.KeyDown('C', U'с');
  host.KeyUp('C');
  host.KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(clicks, (std::vector<std::string>{"&Справка", "&Справка", "&Справка"}));
  // Disabled: the mouse leaves it selected, Enter closes the menu; nothing runs.
  help->SetEnabled(false);
  clicks.clear();
  ClickOn(menu->Handle(), 2, form->Handle());
  Step([&] {
    EXPECT_NE(GetTrackedMenu(), nullptr);
    Press(VK_RETURN);
  });
  Pump();
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(GetTrackedMenu(), nullptr);
}

TEST_F(MenuTest, ShortCutsWorkWhileTheFormIsActiveAlsoOnARussianLayout) {
  auto* edit = Place<TEdit>(form, form, "Edit1", {8, 8, 120, 21});
  Attach();
  edit->SetFocus();
  Pump();
  CtrlKey('O', 'o');
  // The key labelled O types "щ" on a Russian layout: still Ctrl+O, and
  // nothing is typed into the edit.
  CtrlKey('O', U'щ');
  EXPECT_EQ(clicks, (std::vector<std::string>{"&Открыть", "&Открыть"}));
  EXPECT_EQ(edit->GetText(), "");
  // A disabled item's key does nothing (and does not type either).
  clicks.clear();
  CtrlKey('S', U'ы');
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(edit->GetText(), "");
  // The sub-menu's OnClick runs first and may enable it, as opening it would.
  file->OnClick = [&](TComponent*) { save->SetEnabled(true); };
  CtrlKey('S', U'ы');
  EXPECT_EQ(clicks, (std::vector<std::string>{"&Сохранить"}));
  // A disabled sub-menu stops its items' keys; a key of no item types as usual.
  clicks.clear();
  file->OnClick = nullptr;
  file->SetEnabled(false);
  CtrlKey('O', U'щ');
  EXPECT_TRUE(clicks.empty());
  file->SetEnabled(true);
  host.Type("x");
  Pump();
  EXPECT_EQ(edit->GetText(), "x");
  // Another form is active: the menu's keys are not its keys.
  TForm* other = MakeForm(500, 300, 100, 80);
  other->Show();
  Pump();
  CtrlKey('O', 'o');
  EXPECT_TRUE(clicks.empty());
}

TEST_F(MenuTest, OwnerDrawnItemsMeasureAndPaintThroughTheirEvents) {
  std::vector<tk::TOwnerDrawState> states;
  open->OnMeasureItem = [](TComponent*, tk::TCanvas* c, int& w, int& h) {
    EXPECT_NE(c, nullptr);
    w = 150;
    h = 30;
  };
  open->OnAdvancedDrawItem = [&](TComponent* sender, tk::TCanvas* c, const TRect& r,
                                 tk::TOwnerDrawState state) {
    EXPECT_EQ(sender, open);
    states.push_back(state);
    c->Brush().SetColor((state & tk::odSelected) ? RGB(0, 128, 0) : RGB(200, 0, 0));
    c->FillRect(r);
  };
  Attach();
  EXPECT_TRUE(GetMenuState(file->Handle(), 0, MF_BYPOSITION) & MF_OWNERDRAW);
  EXPECT_FALSE(GetMenuState(file->Handle(), 3, MF_BYPOSITION) & MF_OWNERDRAW);
  ClickOn(menu->Handle(), 0, form->Handle());
  Step([&] {
    TRect r;
    ASSERT_TRUE(GetMenuItemRect(nullptr, file->Handle(), 0, &r));
    EXPECT_EQ(r.Height(), 30);
    EXPECT_GE(r.Width(), 150);
    PresentWindows();
    EXPECT_EQ(host.Screenshot().GetPixel(r.Left + 5, r.Top + 5), RGB(200, 0, 0));
    host.MouseMove(r.Left + 5, r.Top + 5);
  });
  Step([&] {
    TRect r;
    ASSERT_TRUE(GetMenuItemRect(nullptr, file->Handle(), 0, &r));
    PresentWindows();
    EXPECT_EQ(host.Screenshot().GetPixel(r.Left + 5, r.Top + 5), RGB(0, 128, 0));
    // The mnemonic of an owner-drawn item still chooses it.
    host.Type("о");
  });
  Pump();
  ASSERT_FALSE(states.empty());
  EXPECT_FALSE(states.front() & tk::odSelected);
  EXPECT_TRUE(states.back() & tk::odSelected);
  EXPECT_EQ(clicks, (std::vector<std::string>{"&Открыть"}));
  // A whole owner-drawn menu without handlers draws its plain look: the bar
  // entry's caption is painted in the menu text colour.
  menu->SetOwnerDraw(true);
  Pump();
  EXPECT_TRUE(GetMenuState(menu->Handle(), 1, MF_BYPOSITION) & MF_OWNERDRAW);
  TRect entry;
  ASSERT_TRUE(GetMenuItemRect(form->Handle(), menu->Handle(), 1, &entry));
  PresentWindows();
  TBitmap shot = host.Screenshot();
  int ink = 0;
  for (int y = entry.Top; y < entry.Bottom; ++y)
    for (int x = entry.Left; x < entry.Right; ++x)
      ink += shot.GetPixel(x, y) != GetSysColor(COLOR_MENU);
  EXPECT_GT(ink, 40);
}

TEST_F(MenuTest, ItemsShowPicturesFromTheirBitmapOrTheMenusImages) {
  auto* images = Create<tk::TImageList>(form);
  tk::TBitmap red(16, 16);
  red.Canvas().Brush().SetColor(RGB(220, 0, 0));
  red.Canvas().FillRect(Rect(0, 0, 16, 16));
  images->Add(&red);
  menu->SetImages(images);
  open->SetImageIndex(0);
  // A 20 x 20 picture: a green square on the key colour of its bottom-left pixel.
  tk::TBitmap glyph(20, 20);
  glyph.Canvas().Brush().SetColor(RGB(255, 0, 255));
  glyph.Canvas().FillRect(Rect(0, 0, 20, 20));
  glyph.Canvas().Brush().SetColor(RGB(0, 150, 0));
  glyph.Canvas().FillRect(Rect(5, 5, 15, 15));
  exit->SetBitmap(&glyph);
  Attach();
  HMENU f = file->Handle();
  // Every item of a menu with images is drawn by the toolkit, pictures or not.
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(GetMenuState(f, i, MF_BYPOSITION) & MF_OWNERDRAW) << i;
  ClickOn(menu->Handle(), 0, form->Handle());
  Step([&] {
    PresentWindows();
    TBitmap shot = host.Screenshot();
    TRect r0, r3;
    ASSERT_TRUE(GetMenuItemRect(nullptr, f, 0, &r0));
    ASSERT_TRUE(GetMenuItemRect(nullptr, f, 3, &r3));
    EXPECT_GE(r3.Height(), 24);  // the picture with room around it
    // The pictures sit centred in one column left of the captions, 26
    // pixels wide for the widest (20-pixel) one; the key colour is not painted.
    int column = 26;
    EXPECT_EQ(shot.GetPixel(r0.Left + column / 2, r0.Top + r0.Height() / 2), RGB(220, 0, 0));
    EXPECT_EQ(shot.GetPixel(r0.Left + 4, r0.Top + r0.Height() / 2), GetSysColor(COLOR_MENU));
    EXPECT_EQ(shot.GetPixel(r3.Left + column / 2, r3.Top + r3.Height() / 2), RGB(0, 150, 0));
    EXPECT_EQ(shot.GetPixel(r3.Left + 4, r3.Top + r3.Height() / 2), GetSysColor(COLOR_MENU));
    // The captions start at the same place: the first column of ink after the pictures.
    auto firstInk = [&](const TRect& r) {
      for (int x = r.Left + column; x < r.Right; ++x)
        for (int y = r.Top; y < r.Bottom; ++y)
          if (shot.GetPixel(x, y) != GetSysColor(COLOR_MENU)) return x - r.Left;
      return -1;
    };
    EXPECT_EQ(firstInk(r0), firstInk(r3));
    Press(VK_ESCAPE);
    Press(VK_ESCAPE);
  });
  Pump();
  // Without the image list and the bitmap the items are plain platform items again.
  delete images;
  EXPECT_EQ(menu->Images(), nullptr);
  EXPECT_TRUE(GetMenuState(f, 0, MF_BYPOSITION) & MF_OWNERDRAW);  // beside a bitmap
  exit->SetBitmap(nullptr);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(GetMenuState(f, i, MF_BYPOSITION) & MF_OWNERDRAW) << i;
}

TEST_F(MenuTest, PopupMenuOpensOnARightClick) {
  auto* popup = Create<TPopupMenu>(form);
  auto* copy = Create<TMenuItem>(form);
  copy->SetCaption("&Копировать");
  copy->SetShortCut(ShortCut('C', ssCtrl));
  copy->OnClick = [&](TComponent*) { clicks.push_back("copy"); };
  popup->Items()->Add(copy);
  int popups = 0;
  popup->OnPopup = [&](TComponent*) { ++popups; };
  auto* panel = Place<TPanel>(form, form, "Panel1", {10, 10, 200, 150});
  auto* swatch = Place<TSwatch>(form, panel, "Swatch1", {150, 100, 40, 40});
  auto* swatchMenu = Create<TPopupMenu>(form);
  auto* swatchItem = Create<TMenuItem>(form);
  swatchItem->SetCaption("Цвет");
  swatchMenu->Items()->Add(swatchItem);
  form->SetPopupMenu(popup);
  swatch->SetPopupMenu(swatchMenu);
  Attach();
  // The panel has no menu of its own: its form's opens, at the pointer.
  TPoint at = At(panel, 20, 20);
  host.Click(at.X, at.Y, THostButton::Right);
  Step([&] {
    EXPECT_EQ(GetTrackedMenu(), popup->Handle());
    TRect r;
    ASSERT_TRUE(GetMenuItemRect(nullptr, popup->Handle(), 0, &r));
    EXPECT_LE(std::abs(r.Left - at.X), 4);
    EXPECT_LE(std::abs(r.Top - at.Y), 4);
    EXPECT_EQ(GetMenuText(popup->Handle(), 0, MF_BYPOSITION), "&Копировать\tCtrl+C");
    ClickOn(popup->Handle(), 0);
  });
  Pump();
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(popup->PopupComponent(), form);
  EXPECT_EQ(clicks, (std::vector<std::string>{"copy"}));
  // A windowless control with its own menu.
  at = At(swatch, 5, 5);
  host.Click(at.X, at.Y, THostButton::Right);
  Step([&] {
    EXPECT_EQ(GetTrackedMenu(), swatchMenu->Handle());
    Press(VK_ESCAPE);
  });
  Pump();
  EXPECT_EQ(swatchMenu->PopupComponent(), swatch);
  EXPECT_EQ(GetTrackedMenu(), nullptr);
  // The pop-up menu's keys work while its control's form is active.
  CtrlKey('C', 'c');
  EXPECT_EQ(clicks, (std::vector<std::string>{"copy", "copy"}));
  // Shift+F10 asks from the keyboard: the menu of the control with the focus
  // (the form itself here) opens at its client area's corner.
  host.KeyDown(VK_SHIFT);
  Press(VK_F10);
  host.KeyUp(VK_SHIFT);
  Step([&] {
    EXPECT_EQ(GetTrackedMenu(), popup->Handle());
    TRect r;
    ASSERT_TRUE(GetMenuItemRect(nullptr, popup->Handle(), 0, &r));
    TPoint corner = form->ClientToScreen({0, 0});
    EXPECT_LE(std::abs(r.Left - corner.X), 4);
    EXPECT_LE(std::abs(r.Top - corner.Y), 4);
    Press(VK_ESCAPE);
  });
  Pump();
  EXPECT_EQ(popups, 2);
  // AutoPopup off: a right click opens nothing.
  popup->SetAutoPopup(false);
  host.Click(At(panel, 20, 20).X, At(panel, 20, 20).Y, THostButton::Right);
  Pump();
  EXPECT_EQ(popups, 2);
  // Freed: the control forgets it.
  delete swatchMenu;
  EXPECT_EQ(swatch->PopupMenu(), nullptr);
}

TEST_F(MenuTest, HandlersThatFreeItemsOrFailLeaveTheProgramRunning) {
  Attach();
  std::vector<std::string> reports;
  app->OnException = [&](TComponent*, const std::exception& e) { reports.push_back(e.what()); };
  // The sub-menu's OnClick frees the item whose key was pressed: nothing more runs.
  file->OnClick = [&](TComponent*) { delete open; };
  CtrlKey('O', U'щ');
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(GetMenuItemCount(file->Handle()), 3);
  // An item's handler frees the whole menu: the form loses its bar.
  file->OnClick = nullptr;
  exit->OnClick = [&](TComponent*) { delete menu; };
  CtrlKey('E', U'у');
  EXPECT_EQ(form->Menu(), nullptr);
  EXPECT_EQ(GetMenu(form->Handle()), nullptr);
  // A failing handler is reported; the next command still works.
  auto* fresh = Create<TMainMenu>(form);
  auto* item = Create<TMenuItem>(form);
  item->SetCaption("Ошибка");
  item->SetShortCut(ShortCut(VK_F2, 0));
  item->OnClick = [](TComponent*) { throw std::runtime_error("Не удалось"); };
  fresh->Items()->Add(item);
  form->SetMenu(fresh);
  Press(VK_F2);
  Pump();
  ClickOn(fresh->Handle(), 0, form->Handle());
  Pump();
  EXPECT_EQ(reports, (std::vector<std::string>{"Не удалось", "Не удалось"}));
}

TEST_F(MenuTest, CommandsOfFreedItemsFindNothing) {
  Attach();
  UINT command = open->Command();
  PostMessage(form->Handle(), WM_COMMAND, MAKEWPARAM(int(command), 0), 0);
  delete open;
  Pump();
  EXPECT_TRUE(clicks.empty());
  EXPECT_EQ(GetMenuItemCount(file->Handle()), 3);
  EXPECT_FALSE(tk::TMenu::DispatchCommand(command));
  // A fresh item does not take a number still in use or just freed.
  auto* fresh = Create<TMenuItem>(form);
  EXPECT_NE(fresh->Command(), command);
  EXPECT_EQ(TMenuItem::FromCommand(fresh->Command()), fresh);
}

TEST_F(MenuTest, FormWithAnOpenMenuMatchesItsGoldenPicture) {
  Attach();
  namespace fs = std::filesystem;
  TBitmap actual;
  ClickOn(menu->Handle(), 0, form->Handle());
  Step([&] { host.MouseMove(ItemCentre(file->Handle(), 3).X, ItemCentre(file->Handle(), 3).Y); });
  Step([&] {
    PresentWindows();
    TRect wr;
    GetWindowRect(form->Handle(), &wr);
    TBitmap screen = host.Screenshot();
    actual = TBitmap(wr.Width(), wr.Height(), TPixelFormat::pf24bit);
    for (int y = 0; y < wr.Height(); ++y)
      for (int x = 0; x < wr.Width(); ++x)
        actual.SetPixel(x, y, screen.GetPixel(wr.Left + x, wr.Top + y));
    Press(VK_ESCAPE);
    Press(VK_ESCAPE);
  });
  Pump();
  ASSERT_GT(actual.Width(), 0);
  const char* src = std::getenv("VELMORA_SOURCE_DIR");
  const fs::path root = src ? fs::path(src) : fs::current_path();
  if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) {
    fs::create_directories(fs::path(bin) / "golden-actual");
    SavePngFile((fs::path(bin) / "golden-actual" / "toolkit-menu.png").string(), actual);
  }
  const fs::path file = root / "tests/toolkit/golden/menu.png";
  if (const char* update = std::getenv("VELMORA_UPDATE_GOLDEN");
      update && std::string(update) == "1") {
    SavePngFile(file.string(), actual);
    return;
  }
  ASSERT_TRUE(fs::exists(file)) << file << " is missing; run with VELMORA_UPDATE_GOLDEN=1";
  TBitmap expected = LoadPngFile(file.string());
  ASSERT_EQ(expected.Width(), actual.Width());
  ASSERT_EQ(expected.Height(), actual.Height());
  int differ = 0;
  for (int y = 0; y < actual.Height(); ++y)
    for (int x = 0; x < actual.Width(); ++x)
      differ += expected.GetPixel(x, y) != actual.GetPixel(x, y);
  EXPECT_EQ(differ, 0);
}

}  // namespace
}  // namespace vm::test
