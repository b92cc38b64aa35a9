// The skinned menus on a form with the main window's menus: measuring by the
// item kinds, the skin's border width, the extra line, which items get the
// painter's handlers, the per-menu cache, and the pictures of the drop-down
// menus opened with the mouse and of the items on a menu line.
#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>

#include "platform/gfx/SysColors.h"
#include "skin/controls/MenuWindow.h"
#include "skin/controls/SkinableMenus.h"
#include "skin/paint/SectionPaint.h"
#include "tests/skin/controls/ControlsTestSupport.h"
#include "tests/support/MenuScript.h"
#include "toolkit/Bitmap.h"
#include "toolkit/ImageList.h"
#include "toolkit/MainMenu.h"
#include "toolkit/MenuItem.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/ShortCut.h"

namespace vm::test {
namespace {

class SkinableMenus : public TControlsTest {
 protected:
  void SetUp() override {
    TControlsTest::SetUp();
    LoadBuiltinSkin();
    manager->MenuSupport().IcoLineSkin = "ICOLINE";  // as the main window sets it
    painter = InstallSkinnedMenus(*manager, announcer.get());
    form = Create<TForm>(app.get());
    form->SetName("MenuForm");
    form->SetBorderStyle(bsSingle);
    form->SetBounds(40, 40, 420, 260);
    menu = Create<tk::TMainMenu>(form);
    tk::TMenuItem* bar = menu->Items();
    file = Item(bar, "N1", "Файл");
    open = Item(file, "N2", "Открыть", ShortCut('O', ssCtrl));
    save = Item(file, "N3", "Сохранить", ShortCut('S', ssCtrl), false);
    quit = Item(file, "N4", "Выход", ShortCut('E', ssCtrl));
    image = Item(bar, "N11", "Изображение");
    Item(image, "N12", "Изменить качество", scNone, false);
    Item(image, "N13", "Изменить размер", scNone, false);
    Item(image, "N5", "Отменить все изменения", scNone, false);
    help = Item(bar, "N7", "Справка");
    Item(help, "N9", "О программе...");
    form->SetMenu(menu);
    script.Attach(host);
  }
  void TearDown() override {
    script.Detach();
    TControlsTest::TearDown();
  }

  tk::TMenuItem* Item(tk::TMenuItem* parent, const std::string& name, const std::string& caption,
                      TShortCut sc = scNone, bool enabled = true) {
    auto* i = Create<tk::TMenuItem>(form);
    i->SetName(name);
    i->SetCaption(caption);
    i->SetShortCut(sc);
    i->SetEnabled(enabled);
    parent->Add(i);
    return i;
  }

  // The width of a line of text in the menu font, as the painter measures it.
  static int TextWidthOf(const std::string& text) {
    NONCLIENTMETRICS ncm;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0);
    TBitmap b(1, 1);
    TDC dc(b);
    dc.SelectFont(TFont::Get(ncm.lfMenuFont));
    TRect r{0, 0, 0, 0};
    dc.DrawText(text, r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    return r.Width();
  }
  static int HeightOfW() {
    NONCLIENTMETRICS ncm;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0);
    TBitmap b(1, 1);
    TDC dc(b);
    dc.SelectFont(TFont::Get(ncm.lfMenuFont));
    return dc.GetTextExtent("W").cy;
  }

  HWND OpenMenuWindow() {
    HWND found = nullptr;
    EnumWindows([&](HWND h) {
      if (GetClassName(h) == "#32768" && IsWindowVisible(h)) found = h;
      return !found;
    });
    return found;
  }
  TPoint BarItemCentre(int pos) {
    TRect r;
    EXPECT_TRUE(GetMenuItemRect(form->Handle(), GetMenu(form->Handle()), UINT(pos), &r));
    return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  }
  // Opens the drop-down of bar item pos with the mouse, optionally points at
  // one of its items, and takes a picture of the menu window.
  TBitmap ShootDropDown(int pos, int hoverItem = -1) {
    TBitmap shot;
    Step([&] {
      if (hoverItem >= 0) {
        HWND w = OpenMenuWindow();
        TRect r;
        ASSERT_TRUE(GetMenuItemRect(w, reinterpret_cast<HMENU>(SendMessage(w, MN_GETHMENU, 0, 0)),
                                    UINT(hoverItem), &r));
        host.MouseMove(r.Left + 40, r.Top + r.Height() / 2);
      }
    });
    Step([&] {
      HWND w = OpenMenuWindow();
      ASSERT_TRUE(w);
      Application->ProcessMessages();
      PresentWindows();
      shot = host.WindowShot(GetHostWindow(w));
      region = TRegion();
      regionKind = GetWindowRgn(w, &region);
      held = TsMenuWindow::Find(w) != nullptr;
      corners = painter ? TsSkinableMenus::PopupCache().Corners : std::vector<TRect>{};
      EndMenu();
    });
    TPoint p = BarItemCentre(pos);
    host.Click(p.X, p.Y);
    Pump();
    return shot;
  }
  // Pops the menu up, rests the pointer on item subItem (which holds a
  // sub-menu) until the hover delay has passed, or clicks it, and takes
  // pictures of the menu windows then open, left to right.
  std::vector<TBitmap> HoverSubMenu(tk::TPopupMenu& popup, int subItem, bool click = false) {
    std::vector<TBitmap> shots;
    Step([&] {
      HWND w = OpenMenuWindow();
      ASSERT_TRUE(w);
      TRect r;
      ASSERT_TRUE(GetMenuItemRect(w, popup.Handle(), UINT(subItem), &r));
      if (click)
        host.Click(r.Left + 40, r.Top + r.Height() / 2);
      else
        host.MouseMove(r.Left + 40, r.Top + r.Height() / 2);
    });
    Step([&] {
      Application->ProcessMessages();
      if (!click) host.AdvanceClock(1000);
    });
    Step([&] {
      Application->ProcessMessages();
      PresentWindows();
      std::vector<HWND> open;
      EnumWindows([&](HWND h) {
        if (GetClassName(h) == "#32768" && IsWindowVisible(h)) open.push_back(h);
        return true;
      });
      std::sort(open.begin(), open.end(), [](HWND a, HWND b) {
        TRect ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.Left < rb.Left;
      });
      for (HWND h : open) shots.push_back(host.WindowShot(GetHostWindow(h)));
      EndMenu();
    });
    popup.Popup(100, 100);
    Pump();
    return shots;
  }
  void Step(std::function<void()> f) { script.push_back(std::move(f)); }

  TsSkinableMenus* painter = nullptr;
  TForm* form = nullptr;
  tk::TMainMenu* menu = nullptr;
  tk::TMenuItem *file = nullptr, *open = nullptr, *save = nullptr, *quit = nullptr;
  tk::TMenuItem *image = nullptr, *help = nullptr;
  TMenuScript script;
  TRegion region;
  int regionKind = 0;
  std::vector<TRect> corners;
  bool held = false;  // the menu window had the skinned menu window's subclass
};

TEST_F(SkinableMenus, PopupItemsAreMeasuredByKind) {
  // No glyphs, no image list, no extra line: the glyph column is 16 pixels
  // wide, so an item is its text + 2 * 16 + 3 * 2 + 6 = TW + 44 wide.
  const int t = int(std::nearbyint(1.25 * HeightOfW()));
  EXPECT_EQ(
      painter->MeasurePopupItem(open),
      (TSize{TextWidthOf("Открыть" + ShortCutToText(open->ShortCut())) + 44, std::max(t, 16) + 4}));
  EXPECT_EQ(TsSkinableMenus::GlyphSizeOf(open), (TSize{16, 16}));
  auto* line = Item(file, "N6", "-");
  EXPECT_EQ(painter->MeasurePopupItem(line), (TSize{44, 2}));
  auto* title = Item(file, "N8", "-Работа-");
  EXPECT_EQ(TsSkinableMenus::KindOf(title), smCaption);
  EXPECT_EQ(painter->MeasurePopupItem(title), (TSize{TextWidthOf("--Работа--") + 44, t + 4}));
  // "--" is a title too; "-" alone is a separator; a dash inside is normal.
  EXPECT_EQ(TsSkinableMenus::KindOf(Item(file, "N10", "--")), smCaption);
  EXPECT_EQ(TsSkinableMenus::KindOf(Item(file, "N14", "A-b")), smNormal);

  // A glyph larger than a text row sets the height; the image list's size
  // counts for every item of its menu, the item's own bitmap before it.
  tk::TImageList images(form);
  images.SetWidth(20);
  images.SetHeight(24);
  menu->SetImages(&images);
  EXPECT_EQ(TsSkinableMenus::GlyphSizeOf(quit), (TSize{20, 24}));
  EXPECT_EQ(painter->MeasurePopupItem(quit),
            (TSize{TextWidthOf("Выход" + ShortCutToText(quit->ShortCut())) + 52, 28}));
  tk::TBitmap own(10, 12);
  quit->SetBitmap(&own);
  EXPECT_EQ(TsSkinableMenus::GlyphSizeOf(quit), (TSize{10, 12}));
  menu->SetImages(nullptr);

  // The size of the whole menu, when its window cannot be asked: widest item
  // + 12, plus the border on both sides, and the items' heights.
  int height = 0, widest = 0;
  for (int k = 0; k < help->Count(); ++k) {
    TSize s = painter->MeasurePopupItem(help->Items(k));
    height += s.cy;
    widest = std::max(widest, s.cx);
  }
  EXPECT_EQ(painter->PopupMenuSize(help), (TSize{widest + 12 + 6, height + 6}));
}

TEST_F(SkinableMenus, BarItemsTakeTheMenuLineHeight) {
  const TSize s = painter->MeasureBarItem(file);
  EXPECT_EQ(s.cy, GetSystemMetrics(SM_CYMENU) - 1);
  // The caption's width without "&", and some room around it.
  EXPECT_GT(s.cx, TextWidthOf("Файл"));
  file->SetCaption("&Файл");
  EXPECT_EQ(painter->MeasureBarItem(file), s);
}

TEST_F(SkinableMenus, SkinBorderWidthComesFromTheMenuBorder) {
  // The built-in skin's "MAINMENU" border is one pixel wide.
  EXPECT_EQ(painter->SkinBorderWidth(), 1);
  // Fixed by hand, it stays until a new skin is announced.
  painter->SetSkinBorderWidth(7);
  EXPECT_EQ(painter->SkinBorderWidth(), 7);
  manager->SetSkinName(BuiltinSkinName);
  EXPECT_EQ(painter->SkinBorderWidth(), 1);
  // A border image without width counts as 3.
  const int section = manager->FindSectionIndex("MAINMENU");
  const int mask = manager->FindMaskIndex(section, "MAINMENU", "BORDERSMASK");
  ASSERT_TRUE(manager->IsValidMaskIndex(mask));
  TsMaskData& m = manager->ma[std::size_t(mask)];
  m.WL = m.WT = m.WR = m.WB = 0;
  m.BorderWidth = 0;
  m.R.Right = m.R.Left + 2;  // a third of the picture is 0 as well
  painter->ResetBorderWidth();
  EXPECT_EQ(painter->SkinBorderWidth(), 3);
  // No image: no border.
  m.PropertyName = "NOTABORDER";
  painter->ResetBorderWidth();
  EXPECT_EQ(painter->SkinBorderWidth(), 0);
}

TEST_F(SkinableMenus, ExtraLineDefaultsAndHandler) {
  TnxMenuSupport& ms = manager->MenuSupport();
  const int plain = painter->MeasurePopupItem(open).cx;
  ms.UseExtraLine = true;
  painter->DropPopupCache();
  // Without a handler the band shows the reminder text and widens the items.
  EXPECT_EQ(painter->MeasurePopupItem(open).cx, plain + 32);
  EXPECT_EQ(painter->PopupCache().ExtraText, TsSkinableMenus::DefaultExtraLineText);
  EXPECT_EQ(painter->PopupCache().ExtraSection, "EXTRALINE");
  EXPECT_EQ(painter->ExtraLineWidth(), 32);

  // The handler is asked once per menu; "&" leave its text, and a hidden
  // line drops the glyph.
  int asked = 0;
  TBitmap glyph(8, 8);
  manager->OnGetMenuExtraLineData = [&](TComponent* first, std::string& section, std::string& text,
                                        TBitmap*& g, bool& visible) {
    ++asked;
    EXPECT_EQ(first, open);
    section = "ICOLINE";
    text = "&Вел&мора";
    g = &glyph;
    visible = asked > 1;
  };
  painter->DropPopupCache();
  painter->MeasurePopupItem(open);
  painter->MeasurePopupItem(save);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(painter->PopupCache().ExtraText, "Велмора");
  EXPECT_FALSE(painter->PopupCache().ExtraGlyph);
  EXPECT_EQ(painter->ExtraLineWidth(), 0);
  painter->DropPopupCache();
  painter->MeasurePopupItem(open);
  ASSERT_TRUE(painter->PopupCache().ExtraGlyph);
  EXPECT_EQ(painter->PopupCache().ExtraSection, "ICOLINE");

  // A skin chooser menu never has one.
  open->SetName("SkinSelectItem");
  painter->DropPopupCache();
  EXPECT_EQ(painter->MeasurePopupItem(open).cx, plain);
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(painter->PopupCache().ExtraShown);
}

TEST_F(SkinableMenus, CacheBelongsToOneMenu) {
  painter->MeasurePopupItem(open);
  EXPECT_EQ(painter->PopupCache().FirstItem, open);
  TsSkinableMenus::PopupCache().GlyphWidth = 99;  // a mark to see it kept or dropped
  painter->MeasurePopupItem(quit);
  EXPECT_EQ(painter->PopupCache().GlyphWidth, 99);
  painter->MeasurePopupItem(help->Items(0));
  EXPECT_EQ(painter->PopupCache().FirstItem, help->Items(0));
  EXPECT_EQ(painter->PopupCache().GlyphWidth, 0);
  // A first item freed and another made in its place is another menu.
  tk::TMenuItem* about = help->Items(0);
  delete about;
  tk::TMenuItem* again = Item(help, "N9", "О программе...");
  painter->MeasurePopupItem(again);
  EXPECT_EQ(painter->PopupCache().FirstCommand, again->Command());
}

TEST_F(SkinableMenus, HooksOnlyItemsWithoutHandlersOfTheirOwn) {
  int ownDraws = 0;
  quit->OnAdvancedDrawItem = [&](TComponent*, tk::TCanvas*, const TRect&, tk::TOwnerDrawState) {
    ++ownDraws;
  };
  tk::TPopupMenu popup(form);
  auto* p1 = Item(popup.Items(), "P1", "Копировать");
  painter->HookForm(form, true);
  EXPECT_TRUE(painter->OwnsBarItem(file));
  EXPECT_TRUE(painter->OwnsBarItem(help));
  EXPECT_FALSE(painter->OwnsBarItem(open));  // a pop-up item
  EXPECT_TRUE(open->OnMeasureItem && open->OnAdvancedDrawItem);
  EXPECT_TRUE(p1->OnAdvancedDrawItem);
  EXPECT_FALSE(quit->OnMeasureItem);  // its own drawing stays its own
  // Owner-drawn on the platform now.
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfo(file->Handle(), 0, true, &info));
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);

  // Off: the painter's handlers go, the program's stay.
  painter->HookForm(form, false);
  EXPECT_FALSE(painter->OwnsBarItem(file));
  EXPECT_FALSE(open->OnAdvancedDrawItem);
  EXPECT_FALSE(p1->OnAdvancedDrawItem);
  EXPECT_TRUE(quit->OnAdvancedDrawItem);
  ASSERT_TRUE(GetMenuItemInfo(file->Handle(), 0, true, &info));
  EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
  EXPECT_EQ(ownDraws, 0);
}

TEST_F(SkinableMenus, SkinnedPopupsOffLeavesPopupsPlain) {
  manager->SetSkinnedPopups(false);
  painter->HookForm(form, true);
  EXPECT_TRUE(painter->OwnsBarItem(file));
  EXPECT_FALSE(open->OnAdvancedDrawItem);
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfo(file->Handle(), 0, true, &info));
  EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
  // The menu window keeps the platform's look.
  form->Show();
  Pump();
  TBitmap shot = ShootDropDown(0);
  ASSERT_FALSE(shot.Empty());
  EXPECT_EQ(shot.GetPixel(shot.Width() / 2, shot.Height() / 2), GetSysColor(COLOR_MENU));
  EXPECT_EQ(regionKind, RGN_ERROR);
  EXPECT_FALSE(held);
  // Switched on at run time, the hooked menus are hooked again.
  manager->SetSkinnedPopups(true);
  EXPECT_TRUE(open->OnAdvancedDrawItem);
}

TEST_F(SkinableMenus, HookedMenusStayReadableWithoutSkin) {
  // Menus still hooked when the skin goes (nobody unhooked them) draw the
  // plain look instead of empty items.
  painter->HookForm(form, true);
  manager->SetActive(false);
  form->Show();
  Pump();
  TBitmap shot = ShootDropDown(0);
  ASSERT_FALSE(shot.Empty());
  const TRect items{3, 3, shot.Width() - 3, shot.Height() - 3};
  EXPECT_GT(CountColour(shot, items, GetSysColor(COLOR_MENU)), items.Width() * items.Height() / 2);
  int dark = 0;  // the captions' ink
  for (int y = items.Top; y < items.Bottom; ++y)
    for (int x = items.Left; x < items.Right; ++x) {
      const TColor c = shot.GetPixel(x, y);
      if ((c & 0xFF) < 96 && ((c >> 8) & 0xFF) < 96 && ((c >> 16) & 0xFF) < 96) ++dark;
    }
  EXPECT_GT(dark, 50);
  EXPECT_FALSE(held);
}

TEST_F(SkinableMenus, InstalledOncePerManagerAndAnnouncer) {
  int earlier = 0;
  announcer->OnWindowEvent = [&](TsSkinManager&, int, WPARAM, LPARAM) { ++earlier; };
  // A second installation finds the painter and the hook's part in place.
  EXPECT_EQ(InstallSkinnedMenus(*manager, announcer.get()), painter);
  EXPECT_EQ(InstallSkinnedMenus(*manager, announcer.get()), painter);
  EXPECT_EQ(MenuPainter(manager.get()), painter);
  announcer->OnWindowEvent(*manager, HCBT_CREATEWND, 0, 0);
  EXPECT_EQ(earlier, 1);  // what was there runs first, once
}

TEST_F(SkinableMenus, PainterFreedUnhooksEverything) {
  painter->HookForm(form, true);
  delete painter;
  EXPECT_EQ(MenuPainter(manager.get()), nullptr);
  EXPECT_FALSE(file->OnMeasureItem);
  EXPECT_FALSE(open->OnAdvancedDrawItem);
  // The menus still open (plain) and nothing calls the freed painter.
  form->Show();
  Pump();
  EXPECT_FALSE(ShootDropDown(0).Empty());
}

TEST_F(SkinableMenus, DropDownMenusGolden) {
  painter->HookForm(form, true);
  form->Show();
  Pump();
  TBitmap fileMenu = ShootDropDown(0, 0);
  CompareGolden("menu-file-hot", fileMenu);
  EXPECT_TRUE(held);
  // The skin's menu border has no transparent corners: the window stays whole.
  EXPECT_TRUE(corners.empty());
  EXPECT_EQ(regionKind, RGN_ERROR);
  // The cache went with the menu window.
  EXPECT_FALSE(painter->PopupCache().Background);
  CompareGolden("menu-image-disabled", ShootDropDown(1));
  CompareGolden("menu-help", ShootDropDown(2));

  manager->MenuSupport().UseExtraLine = true;
  CompareGolden("menu-file-extraline", ShootDropDown(0));
}

TEST_F(SkinableMenus, EveryItemKindGolden) {
  // A shortcut menu with a title, check marks, a separator, a glyph of the
  // item's own, a sub-menu and a disabled item; the pointer on the radio item.
  tk::TPopupMenu popup(form);
  Item(popup.Items(), "P0", "-Вид-");
  auto* grid = Item(popup.Items(), "P1", "Сетка", ShortCut('G', ssCtrl));
  grid->SetChecked(true);
  auto* fit = Item(popup.Items(), "P2", "По размеру окна");
  fit->SetRadioItem(true);
  fit->SetChecked(true);
  Item(popup.Items(), "P3", "-");
  auto* glyph = Item(popup.Items(), "P4", "Повернуть");
  tk::TBitmap pic(16, 16);
  pic.Canvas().Brush().SetColor(RGB(200, 40, 40));
  pic.Canvas().FillRect(TRect{3, 3, 13, 13});
  glyph->SetBitmap(&pic);
  Item(popup.Items(), "P5", "Недоступно", scNone, false);
  int drawn = 0;
  painter->OnDrawItem = [&](tk::TMenuItem*, tk::TCanvas*, TsMenuItemKind, unsigned, const TRect&) {
    ++drawn;
  };
  painter->HookMenu(&popup, true);
  form->Show();
  Pump();
  TBitmap shot;
  Step([&] {
    HWND w = OpenMenuWindow();
    ASSERT_TRUE(w);
    TRect r;
    ASSERT_TRUE(GetMenuItemRect(w, popup.Handle(), 2, &r));
    host.MouseMove(r.Left + 40, r.Top + r.Height() / 2);
  });
  Step([&] {
    Application->ProcessMessages();
    PresentWindows();
    shot = host.WindowShot(GetHostWindow(OpenMenuWindow()));
    EndMenu();
  });
  popup.Popup(100, 100);
  Pump();
  CompareGolden("menu-popup-kinds", shot);
  // The window fits the measured items, separators included (2 pixels, not
  // the platform's own separator height), inside its 3-pixel frame.
  int height = 0;
  for (int k = 0; k < popup.Items()->Count(); ++k)
    height += painter->MeasurePopupItem(popup.Items()->Items(k)).cy;
  EXPECT_EQ(shot.Height(), height + 6);
  // Separators are never handed to OnDrawItem; every other item is.
  EXPECT_GE(drawn, 5);
}

TEST_F(SkinableMenus, ColumnsGolden) {
  // Two columns, the second after a break with a bar; the extra line stands
  // beside the first column only.
  manager->MenuSupport().UseExtraLine = true;
  tk::TPopupMenu popup(form);
  for (const char* c : {"Office2007 Blue", "Зима", "Лето", "Осень", "Весна"})
    Item(popup.Items(), "", c);
  popup.Items()->Items(1)->SetChecked(true);
  popup.Items()->Items(1)->SetRadioItem(true);
  popup.Items()->Items(3)->SetBreak(tk::mbBarBreak);
  painter->HookMenu(&popup, true);
  EXPECT_TRUE(TsSkinableMenus::InFirstColumn(popup.Items()->Items(2)));
  EXPECT_FALSE(TsSkinableMenus::InFirstColumn(popup.Items()->Items(3)));
  const int first = painter->MeasurePopupItem(popup.Items()->Items(0)).cx;
  const int second = painter->MeasurePopupItem(popup.Items()->Items(4)).cx;
  EXPECT_EQ(first - 32, TextWidthOf("Office2007 Blue") + 44);
  EXPECT_EQ(second, TextWidthOf("Весна") + 44);
  form->Show();
  Pump();
  TBitmap shot;
  Step([&] {
    Application->ProcessMessages();
    PresentWindows();
    shot = host.WindowShot(GetHostWindow(OpenMenuWindow()));
    EndMenu();
  });
  popup.Popup(100, 100);
  Pump();
  CompareGolden("menu-columns", shot);
}

TEST_F(SkinableMenus, MenuWindowLosesTheBordersTransparentCorners) {
  // Make the border image's outer corner pixels transparent.
  const int mask =
      manager->FindMaskIndex(manager->FindSectionIndex("MAINMENU"), "MAINMENU", "BORDERSMASK");
  ASSERT_TRUE(manager->IsValidMaskIndex(mask) && manager->MasterBitmap);
  const TsMaskData& m = manager->ma[std::size_t(mask)];
  const TSize cell = manager->MaskStateSize(mask);
  manager->MasterBitmap->SetPixel(m.R.Left, m.R.Top, 0xFF00FF);
  manager->MasterBitmap->SetPixel(m.R.Left + cell.cx - 1, m.R.Top + cell.cy - 1, 0xFF00FF);
  painter->HookForm(form, true);
  form->Show();
  Pump();
  TBitmap shot = ShootDropDown(2);
  ASSERT_EQ(corners.size(), 2u);
  EXPECT_EQ(corners[0], (TRect{0, 0, 1, 1}));
  EXPECT_EQ(corners[1], (TRect{shot.Width() - 1, shot.Height() - 1, shot.Width(), shot.Height()}));
  ASSERT_NE(regionKind, RGN_ERROR);
  EXPECT_FALSE(region.Contains(0, 0));
  EXPECT_FALSE(region.Contains(shot.Width() - 1, shot.Height() - 1));
  EXPECT_TRUE(region.Contains(1, 0));
  EXPECT_TRUE(region.Contains(shot.Width() - 1, 0));
}

TEST_F(SkinableMenus, BarOnAMenuLineGolden) {
  painter->HookForm(form, true);
  form->Show();
  Pump();
  HWND h = form->Handle();
  HMENU bar = GetMenu(h);
  TRect wr, first;
  ASSERT_TRUE(GetWindowRect(h, &wr));
  ASSERT_TRUE(GetMenuItemRect(h, bar, 0, &first));
  first = first.Offset(-wr.Left, -wr.Top);
  // A frame cache with the menu line painted where the frame paints it.
  TBitmap cache(wr.Width(), wr.Height());
  const TRect line{0, first.Top, wr.Width(), first.Bottom + 1};
  PaintSectionItem(manager->FindSectionIndex("MENULINE"), "MENULINE", BackgroundInfo{}, -1, -1,
                   manager.get(), cache, TPoint{0, 0}, line, 1, true);
  help->SetEnabled(false);
  HiliteMenuItem(h, bar, 0, MF_BYPOSITION | MF_HILITE);
  painter->DrawBarItems(form, cache);
  TBitmap strip(line.Width(), line.Height());
  TDC(strip).BitBlt(0, 0, line.Width(), line.Height(), cache, 0, line.Top, SRCCOPY);
  CompareGolden("menu-bar-line", strip);
  // The disabled item mixes with the line: it is never darker than the
  // enabled caption's ink.
  int seen = 0;
  painter->OnDrawItem = [&](tk::TMenuItem* item, tk::TCanvas*, TsMenuItemKind kind, unsigned state,
                            const TRect& r) {
    ++seen;
    EXPECT_EQ(kind, smTopLine);
    EXPECT_EQ(r.Height(), first.Height());
    if (item == file) {
      EXPECT_TRUE(state & ODS_SELECTED);
    }
    if (item == help) {
      EXPECT_TRUE(state & ODS_GRAYED);
    }
  };
  painter->DrawBarItems(form, cache);
  EXPECT_EQ(seen, 3);
}

TEST_F(SkinableMenus, SubMenuArrowAndHoverOpening) {
  // The skin chooser of a shortcut menu: a sub-menu item between two plain ones.
  tk::TPopupMenu popup(form);
  Item(popup.Items(), "S0", "Обновить");
  auto* skins = Item(popup.Items(), "S1", "Доступные скины");
  Item(skins, "S2", "Встроенный");
  Item(skins, "S3", "Зима");
  Item(popup.Items(), "S4", "Закрыть");
  form->Show();
  Pump();
  // Plain first: the arrow is drawn and the sub-menu opens on hover.
  std::vector<TBitmap> plain = HoverSubMenu(popup, 1);
  EXPECT_EQ(plain.size(), 2u);
  painter->HookMenu(&popup, true);
  std::vector<TBitmap> skinned = HoverSubMenu(popup, 1);
  ASSERT_EQ(skinned.size(), 2u) << "the hooked item's sub-menu did not open on hover";
  CompareGolden("menu-popup-submenu", skinned[0]);
  CompareGolden("menu-popup-submenu-open", skinned[1]);
  // A click opens it at once, without waiting for the hover delay.
  EXPECT_EQ(HoverSubMenu(popup, 1, true).size(), 2u);
}

}  // namespace
}  // namespace vm::test
