// Menu handles and items, the menu bar in the non-client area, and
// accelerator tables.
#include "platform/gfx/SysColors.h"
#include "platform/win/MenuState.h"
#include "tests/platform/win/WinTestSupport.h"

namespace vm::test {
namespace {

class MenuTest : public TWinTest {};

TEST_F(MenuTest, ItemsAreInsertedFoundAndQueriedByCommandAndPosition) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  HMENU recent = CreatePopupMenu();
  ASSERT_TRUE(AppendMenu(file, MF_STRING, 10, "&Открыть\tCtrl+O"));
  ASSERT_TRUE(AppendMenu(file, MF_SEPARATOR, 0));
  ASSERT_TRUE(AppendMenu(recent, MF_STRING | MF_CHECKED, 20, "a.jpg"));
  ASSERT_TRUE(
      AppendMenu(file, MF_POPUP, UINT_PTR(reinterpret_cast<std::uintptr_t>(recent)), "Недавние"));
  ASSERT_TRUE(AppendMenu(file, MF_STRING | MF_GRAYED, 11, "В&ыход"));
  ASSERT_TRUE(AppendMenu(bar, MF_POPUP, UINT_PTR(reinterpret_cast<std::uintptr_t>(file)), "&Файл"));
  // Inserted before the command it names, in the sub-menu holding it.
  ASSERT_TRUE(InsertMenu(bar, 11, MF_BYCOMMAND | MF_STRING, 12, "Сохранить"));
  EXPECT_EQ(GetMenuItemCount(file), 5);
  EXPECT_EQ(GetMenuItemID(file, 3), 12u);
  EXPECT_EQ(GetMenuItemID(file, 2), UINT(-1));  // a sub-menu has no command
  EXPECT_EQ(GetSubMenu(file, 2), recent);
  EXPECT_EQ(GetMenuState(bar, 20, MF_BYCOMMAND), UINT(MF_CHECKED));  // found two levels down
  EXPECT_EQ(GetMenuState(file, 2, MF_BYPOSITION), (1u << 8) | MF_POPUP);
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), UINT(MF_SEPARATOR));
  EXPECT_EQ(GetMenuState(file, 99, MF_BYCOMMAND), UINT(-1));

  // Text, cut on a character boundary when the buffer is short.
  char buf[8];
  EXPECT_EQ(GetMenuString(file, 10, nullptr, 0, MF_BYCOMMAND),
            int(std::string("&Открыть\tCtrl+O").size()));
  EXPECT_EQ(GetMenuString(file, 10, buf, 6, MF_BYCOMMAND), 5);
  EXPECT_EQ(std::string(buf), "&От");
  EXPECT_EQ(GetMenuText(file, 0, MF_BYPOSITION), "&Открыть\tCtrl+O");

  // States: the previous state comes back, an unknown item answers -1.
  EXPECT_EQ(EnableMenuItem(file, 11, MF_ENABLED), UINT(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(file, 11, MF_GRAYED), UINT(MF_ENABLED));
  EXPECT_EQ(EnableMenuItem(file, 77, MF_GRAYED), UINT(-1));
  EXPECT_EQ(CheckMenuItem(file, 10, MF_CHECKED), UINT(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(file, 0, MF_BYPOSITION | MF_UNCHECKED), UINT(MF_CHECKED));

  MENUITEMINFO mii;
  mii.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU | MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfo(file, 11, false, &mii));
  EXPECT_EQ(mii.dwTypeData, "В&ыход");
  EXPECT_EQ(mii.wID, 11u);
  EXPECT_EQ(mii.fState, MFS_GRAYED & MF_GRAYED);
  EXPECT_EQ(mii.hSubMenu, nullptr);
  MENUITEMINFO set;
  set.fMask = MIIM_DATA | MIIM_STRING;
  set.dwItemData = 0xABCD;
  set.dwTypeData = "Выйти";
  ASSERT_TRUE(SetMenuItemInfo(file, 4, true, set));
  ASSERT_TRUE(GetMenuItemInfo(file, 11, false, &mii));
  EXPECT_EQ(mii.dwItemData, 0xABCDu);
  EXPECT_EQ(mii.dwTypeData, "Выйти");

  // ModifyMenu replaces an item; RemoveMenu leaves the sub-menu alive, DeleteMenu destroys it.
  ASSERT_TRUE(ModifyMenu(file, 12, MF_BYCOMMAND | MF_STRING, 13, "Сохранить как"));
  EXPECT_EQ(GetMenuItemID(file, 3), 13u);
  ASSERT_TRUE(RemoveMenu(file, 2, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(recent));
  ASSERT_TRUE(
      AppendMenu(file, MF_POPUP, UINT_PTR(reinterpret_cast<std::uintptr_t>(recent)), "Недавние"));
  ASSERT_TRUE(DeleteMenu(file, GetMenuItemCount(file) - 1, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(recent));
  // Destroying a menu destroys its sub-menus; its handle stays dead.
  ASSERT_TRUE(DestroyMenu(bar));
  EXPECT_FALSE(IsMenu(file));
  EXPECT_EQ(GetMenuItemCount(bar), -1);
  EXPECT_FALSE(AppendMenu(bar, MF_STRING, 1, "x"));
  EXPECT_FALSE(DestroyMenu(bar));
}

TEST_F(MenuTest, AMenuCannotBecomeItsOwnSubMenu) {
  HMENU a = CreatePopupMenu();
  HMENU b = CreatePopupMenu();
  ASSERT_TRUE(AppendMenu(a, MF_POPUP, UINT_PTR(reinterpret_cast<std::uintptr_t>(b)), "b"));
  // b inside a inside b would loop forever when opened or searched.
  EXPECT_FALSE(AppendMenu(b, MF_POPUP, UINT_PTR(reinterpret_cast<std::uintptr_t>(a)), "a"));
  EXPECT_FALSE(AppendMenu(a, MF_POPUP, UINT_PTR(reinterpret_cast<std::uintptr_t>(a)), "a"));
  MENUITEMINFO mii;
  ASSERT_TRUE(AppendMenu(b, MF_STRING, 5, "x"));
  mii.fMask = MIIM_SUBMENU;
  mii.hSubMenu = a;
  EXPECT_FALSE(SetMenuItemInfo(b, 0, true, mii));
  // Stale and invented handles are refused quietly.
  EXPECT_FALSE(AppendMenu(a, MF_POPUP, 0x12345, "bad"));
  EXPECT_EQ(GetMenuState(a, 5, MF_BYCOMMAND), 0u);
  DestroyMenu(a);
}

TEST_F(MenuTest, RadioItemsAndTheDefaultItem) {
  HMENU m = CreatePopupMenu();
  for (UINT id = 1; id <= 4; ++id) AppendMenu(m, MF_STRING, id, "x");
  ASSERT_TRUE(CheckMenuRadioItem(m, 1, 3, 2, MF_BYCOMMAND));
  ASSERT_TRUE(CheckMenuRadioItem(m, 1, 3, 3, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuState(m, 2, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(GetMenuState(m, 3, MF_BYCOMMAND) & MF_CHECKED, UINT(MF_CHECKED));
  MENUITEMINFO mii;
  mii.fMask = MIIM_FTYPE;
  GetMenuItemInfo(m, 3, false, &mii);
  EXPECT_TRUE(mii.fType & MFT_RADIOCHECK);
  EXPECT_FALSE(CheckMenuRadioItem(m, 1, 3, 4, MF_BYCOMMAND));  // outside the range
  ASSERT_TRUE(SetMenuDefaultItem(m, 4, 0));
  EXPECT_EQ(GetMenuDefaultItem(m, 0, 0), 4u);
  EXPECT_EQ(GetMenuDefaultItem(m, 1, 0), 3u);
  // MF_DEFAULT is no way to name the default: Append, Insert and Modify
  // take the other flags and leave that one; a modified default stays it.
  ASSERT_TRUE(AppendMenu(m, MF_STRING | MF_HILITE | MF_DEFAULT, 5, "five"));
  ASSERT_TRUE(InsertMenu(m, 0, MF_BYPOSITION | MF_STRING | MF_HILITE | MF_DEFAULT, 6, "six"));
  ASSERT_TRUE(ModifyMenu(m, 2, MF_BYCOMMAND | MF_STRING | MF_HILITE | MF_DEFAULT, 2, "two"));
  for (UINT id : {5u, 6u, 2u}) {
    EXPECT_TRUE(GetMenuState(m, id, MF_BYCOMMAND) & MF_HILITE) << id;
    EXPECT_FALSE(GetMenuState(m, id, MF_BYCOMMAND) & MF_DEFAULT) << id;
  }
  EXPECT_EQ(GetMenuDefaultItem(m, 0, 0), 4u);
  ASSERT_TRUE(ModifyMenu(m, 4, MF_BYCOMMAND | MF_STRING, 4, "four"));
  EXPECT_EQ(GetMenuDefaultItem(m, 0, 0), 4u);
  DestroyMenu(m);
}

TEST_F(MenuTest, TheMenuBarTakesRoomInTheNonClientAreaAndAnswersHtMenu) {
  HWND top = MakeTop(100, 100, 300, 200);
  ShowWindow(top, SW_SHOW);
  TRect before;
  GetClientRect(top, &before);
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenu(file, MF_STRING, 10, "Открыть");
  AppendMenu(bar, MF_POPUP, UINT_PTR(reinterpret_cast<std::uintptr_t>(file)), "&Файл");
  AppendMenu(bar, MF_STRING, 11, "&Справка");
  ASSERT_TRUE(SetMenu(top, bar));
  EXPECT_EQ(GetMenu(top), bar);
  TRect after;
  GetClientRect(top, &after);
  EXPECT_EQ(after.Height(), before.Height() - GetSystemMetrics(SM_CYMENU));
  TRect item;
  ASSERT_TRUE(GetMenuItemRect(top, bar, 0, &item));
  TPoint client{0, 0};
  ClientToScreen(top, &client);
  // The bar lies right above the client area, one line of items high.
  EXPECT_EQ(item.Bottom, client.Y - 1);
  EXPECT_EQ(item.Height(), GetSystemMetrics(SM_CYMENU) - 1);
  TRect second;
  ASSERT_TRUE(GetMenuItemRect(top, bar, 1, &second));
  EXPECT_EQ(second.Left, item.Right);
  TPoint mid{item.Left + 3, item.Top + 3};
  EXPECT_EQ(SendMessage(top, WM_NCHITTEST, 0, MAKELPARAM(mid.X, mid.Y)), HTMENU);
  EXPECT_EQ(MenuItemFromPoint(top, bar, mid), 0);
  EXPECT_EQ(MenuItemFromPoint(top, bar, {second.Left + 1, second.Top + 1}), 1);
  EXPECT_EQ(MenuItemFromPoint(top, bar, {client.X + 5, client.Y + 5}), -1);
  // A narrow window wraps the bar onto a second row.
  AppendMenu(bar, MF_STRING, 12, "Очень длинный пункт меню");
  AppendMenu(bar, MF_STRING, 13, "Ещё один длинный пункт");
  DrawMenuBar(top);
  GetClientRect(top, &after);
  EXPECT_EQ(after.Height(), before.Height() - 2 * (GetSystemMetrics(SM_CYMENU) - 1) - 1);
  // Destroying the menu gives the room back; a child window cannot have a bar.
  DestroyMenu(bar);
  EXPECT_EQ(GetMenu(top), nullptr);
  GetClientRect(top, &after);
  EXPECT_EQ(after, before);
  HWND child = MakeChild(top, 0, 0, 10, 10);
  EXPECT_FALSE(SetMenu(child, CreateMenu()));
}

TEST_F(MenuTest, ABarChangedItemByItemPaintsOnceWithTheNextPaint) {
  HWND top = MakeTop(100, 100, 300, 200);
  HMENU bar = CreateMenu();
  AppendMenu(bar, MF_STRING, 10, "&Файл");
  ASSERT_TRUE(SetMenu(top, bar));
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  TRect before;
  GetClientRect(top, &before);
  Log().clear();
  // Rebuilt item by item, as a component menu does: nothing painted yet.
  RemoveMenu(bar, 0, MF_BYPOSITION);
  for (UINT id = 20; id < 24; ++id) AppendMenu(bar, MF_STRING, id, "Пункт");
  ModifyMenu(bar, 20, MF_BYCOMMAND | MF_STRING, 20, "&Правка");
  EXPECT_TRUE(Messages(top, {WM_NCPAINT}).empty());
  // The next paint draws the bar once, with every item.
  UpdateWindow(top);
  EXPECT_EQ(Messages(top, {WM_NCPAINT}).size(), 1u);
  TRect client;
  GetClientRect(top, &client);
  EXPECT_EQ(client, before);
  // A change that needs a second row measures the frame again at once.
  AppendMenu(bar, MF_STRING, 30, "Очень длинный пункт меню");
  AppendMenu(bar, MF_STRING, 31, "Ещё один длинный пункт");
  GetClientRect(top, &client);
  EXPECT_LT(client.Height(), before.Height());
  DrawMenuBar(top);
  TRect redrawn;
  GetClientRect(top, &redrawn);
  EXPECT_EQ(redrawn, client);
  // A hidden window owes nothing.
  ShowWindow(top, SW_HIDE);
  Log().clear();
  ModifyMenu(bar, 20, MF_BYCOMMAND | MF_STRING, 20, "Вид");
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  EXPECT_EQ(Messages(top, {WM_NCPAINT}).size(), 1u);
}

TEST_F(MenuTest, AMenuGivenAtCreationIsTheBarFromTheFirstSize) {
  HWND plain = MakeTop(100, 100, 300, 200);
  TRect plainClient;
  GetClientRect(plain, &plainClient);
  HMENU bar = CreateMenu();
  AppendMenu(bar, MF_STRING, 10, "&Файл");
  HWND top = CreateWindowEx(0, "TestWindow", "Top", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                            nullptr, LONG_PTR(reinterpret_cast<std::uintptr_t>(bar)));
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(GetMenu(top), bar);
  // WM_SIZE at creation already tells the client without the bar.
  const int expected = plainClient.Height() - GetSystemMetrics(SM_CYMENU);
  bool sized = false;
  for (const TLogged& e : Log())
    if (e.Hwnd == top && e.Msg == WM_SIZE) {
      EXPECT_EQ(int(HIWORD(std::uintptr_t(e.L))), expected);
      sized = true;
    }
  EXPECT_TRUE(sized);
  TRect client;
  GetClientRect(top, &client);
  EXPECT_EQ(client.Height(), expected);
  // A number that names no menu (a stale handle, a drop-down list's identifier)
  // gives a window without a bar; a child's number stays its identifier.
  HMENU gone = CreateMenu();
  DestroyMenu(gone);
  for (LONG_PTR notMenu : {LONG_PTR(reinterpret_cast<std::uintptr_t>(gone)), LONG_PTR(1000)}) {
    HWND w = CreateWindowEx(0, "TestWindow", "Top", WS_POPUP | WS_BORDER, 0, 0, 100, 100, nullptr,
                            notMenu);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(GetMenu(w), nullptr);
  }
  HWND child = MakeChild(top, 0, 0, 10, 10, WS_VISIBLE, 77);
  EXPECT_EQ(GetDlgCtrlID(child), 77);
  EXPECT_EQ(GetMenu(child), nullptr);
}

// ---------------------------------------------------------------- accelerators

// An owner that draws its menu items pale yellow; an item's data says what else it
// does: 1 leaves a red text colour in the DC, 2 keeps its right 16 pixels
// for itself by excluding them from the clipping region.
LRESULT OwnerDrawingProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_MEASUREITEM) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
    mis->itemWidth = 90;
    mis->itemHeight = 18;
    return 1;
  }
  if (msg == WM_DRAWITEM) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
    dis->hDC->FillRect(dis->rcItem, RGB(240, 240, 200));
    if (dis->itemData == 1) dis->hDC->SetTextColor(RGB(200, 0, 0));
    if (dis->itemData == 2)
      dis->hDC->ExcludeClipRect(
          {dis->rcItem.Right - 16, dis->rcItem.Top, dis->rcItem.Right, dis->rcItem.Bottom});
    return 1;
  }
  return DefWindowProc(h, msg, w, l);
}

TEST_F(MenuTest, OwnerDrawnItemsWithSubMenusGetTheArrowUnlessTheOwnerKeepsItsPlace) {
  WNDCLASS wc;
  wc.lpszClassName = "OwnerDrawing";
  wc.lpfnWndProc = &OwnerDrawingProc;
  RegisterClass(wc);
  HWND owner = MakeTop(100, 100, 300, 200, WS_OVERLAPPEDWINDOW, "OwnerDrawing");
  HMENU sub = CreatePopupMenu();
  AppendMenu(sub, MF_STRING, 9, "x");
  HMENU m = CreatePopupMenu();
  // 0: red ink left by the owner; 1: the place kept by the owner; 2: the
  // owner leaves the colour it was given, and the item is selected; 3: no
  // sub-menu, no arrow.
  for (ULONG_PTR data : {1, 2, 0, 0}) {
    const bool popup = m && TMenuSystem::Get().Find(m)->Items.size() < 3;
    ASSERT_TRUE(AppendMenu(m, MF_OWNERDRAW | (popup ? MF_POPUP : 0u),
                           popup ? UINT_PTR(reinterpret_cast<std::uintptr_t>(sub)) : 7));
    MENUITEMINFO mii;
    mii.fMask = MIIM_DATA;
    mii.dwItemData = data;
    ASSERT_TRUE(SetMenuItemInfo(m, UINT(TMenuSystem::Get().Find(m)->Items.size() - 1), true, mii));
  }
  TMenu* menu = TMenuSystem::Get().Find(m);
  menu->Items[2].State |= MFS_HILITE;
  LayoutPopupMenu(menu, owner);
  ASSERT_EQ(menu->Size, (TSize{90, 72}));
  TBitmap b(90, 72);
  TDC dc(b);
  dc.SetTextColor(RGB(1, 2, 3));
  PaintPopupMenuItems(menu, owner, dc);
  // The arrow stands 12 pixels in from the right edge, 4 wide and 7 high.
  auto arrowPixels = [&](int item, TColor c) {
    const TRect& r = menu->Items[std::size_t(item)].Rect;
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Right - 12; x < r.Right - 8; ++x) n += b.GetPixel(x, y) == c;
    return n;
  };
  EXPECT_EQ(arrowPixels(0, RGB(200, 0, 0)), 16);
  EXPECT_EQ(arrowPixels(1, RGB(240, 240, 200)), 4 * 18);
  EXPECT_EQ(arrowPixels(2, GetSysColor(COLOR_HIGHLIGHTTEXT)), 16);
  EXPECT_EQ(arrowPixels(3, RGB(240, 240, 200)), 4 * 18);
  // What the owner changed in the DC does not outlive the painting.
  EXPECT_EQ(dc.TextColor(), RGB(1, 2, 3));
  dc.FillRect({0, 0, 90, 72}, RGB(0, 0, 0));
  EXPECT_EQ(b.GetPixel(89, 20), RGB(0, 0, 0));
  DestroyWindow(owner);
  DestroyMenu(m);
  DestroyMenu(sub);
  UnregisterClass("OwnerDrawing");
}

class AcceleratorTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    top = MakeTop();
    ShowWindow(top, SW_SHOW);
    bar = CreateMenu();
    file = CreatePopupMenu();
    AppendMenu(file, MF_STRING, 10, "&Открыть\tCtrl+O");
    AppendMenu(file, MF_STRING | MF_GRAYED, 11, "&Сохранить\tCtrl+S");
    AppendMenu(bar, MF_POPUP, UINT_PTR(reinterpret_cast<std::uintptr_t>(file)), "&Файл");
    SetMenu(top, bar);
    ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'O', 10},
                    {FVIRTKEY | FCONTROL, 'S', 11},
                    {FVIRTKEY | FCONTROL | FSHIFT, 'O', 12},
                    {FVIRTKEY, VK_F5, 13},
                    {0, '+', 14}};
    table = CreateAcceleratorTable(keys, 5);
  }
  void TearDown() override {
    DestroyAcceleratorTable(table);
    TWinTest::TearDown();
  }
  // Runs the loop as a program with accelerators does; returns the commands sent.
  std::vector<WPARAM> Run() {
    Log().clear();
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (TranslateAccelerator(top, table, &m)) continue;
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
    std::vector<WPARAM> cmds;
    for (const TLogged& e : Log())
      if (e.Msg == WM_COMMAND && e.Hwnd == top) cmds.push_back(e.W);
    return cmds;
  }
  HWND top = nullptr;
  HMENU bar = nullptr, file = nullptr;
  HACCEL table = nullptr;
};

TEST_F(AcceleratorTest, CtrlLetterMatchesTheKeyNotTheCharacterOfTheLayout) {
  // A Russian layout: the key labelled O types "щ"; Ctrl+O must still open.
  host.KeyDown(VK_CONTROL);
  host.KeyDown('O', U'щ');
  host.KeyUp('O');
  host.KeyUp(VK_CONTROL);
  EXPECT_EQ(Run(), (std::vector<WPARAM>{MAKEWPARAM(10, 1)}));
  // The modifiers must match exactly: Ctrl+Shift+O is another entry, O alone none.
  host.KeyDown(VK_CONTROL);
  host.KeyDown(VK_SHIFT);
  host.KeyDown('O', U'Щ');
  host.KeyUp('O');
  host.KeyUp(VK_SHIFT);
  host.KeyUp(VK_CONTROL);
  host.KeyDown('O', U'щ');
  host.KeyUp('O');
  host.Key(VK_F5);
  host.Type("+");
  EXPECT_EQ(Run(), (std::vector<WPARAM>{MAKEWPARAM(12, 1), MAKEWPARAM(13, 1), MAKEWPARAM(14, 1)}));
}

TEST_F(AcceleratorTest, TheMenuIsInitialisedFirstAndADisabledItemsKeyDoesNothing) {
  // The window enables Save while its menu is initialised: the key then works.
  bool enableOnInit = false;
  SetWindowProc(top, WNDPROC::FromClosure([&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                  Log().push_back({h, m, w, l});
                  if (m == WM_INITMENU && enableOnInit) EnableMenuItem(file, 11, MF_ENABLED);
                  return DefWindowProc(h, m, w, l);
                }));
  host.KeyDown(VK_CONTROL);
  host.Key('S');
  host.KeyUp(VK_CONTROL);
  EXPECT_TRUE(Run().empty());
  EXPECT_EQ(Messages(top, {WM_INITMENU, WM_INITMENUPOPUP}),
            (std::vector<UINT>{WM_INITMENU, WM_INITMENUPOPUP}));
  // The key was taken: no WM_KEYDOWN for S reached the window.
  for (const TLogged& e : Log()) EXPECT_FALSE(e.Msg == WM_KEYDOWN && e.W == 'S');
  enableOnInit = true;
  host.KeyDown(VK_CONTROL);
  host.Key('S');
  host.KeyUp(VK_CONTROL);
  EXPECT_EQ(Run(), (std::vector<WPARAM>{MAKEWPARAM(11, 1)}));
  // Nothing while the window is disabled or the mouse is captured.
  EnableWindow(top, false);
  MSG m;
  m.hwnd = top;
  m.message = WM_KEYDOWN;
  m.wParam = VK_F5;
  EXPECT_EQ(TranslateAccelerator(top, table, &m), 1);
  EnableWindow(top, true);
  Log().clear();
  SetCapture(top);
  EXPECT_EQ(TranslateAccelerator(top, table, &m), 1);
  ReleaseCapture();
  EXPECT_TRUE(Messages(top, {WM_COMMAND}).empty());
}

TEST_F(AcceleratorTest, TablesCopyAndStaleTablesMatchNothing) {
  EXPECT_EQ(CopyAcceleratorTable(table, nullptr, 0), 5);
  ACCEL out[2];
  EXPECT_EQ(CopyAcceleratorTable(table, out, 2), 2);
  EXPECT_EQ(out[1].key, 'S');
  EXPECT_EQ(CreateAcceleratorTable(nullptr, 3), nullptr);
  MSG m;
  m.hwnd = top;
  m.message = WM_KEYDOWN;
  m.wParam = VK_F5;
  HACCEL dead = table;
  DestroyAcceleratorTable(table);
  table = nullptr;
  EXPECT_EQ(TranslateAccelerator(top, dead, &m), 0);
  EXPECT_EQ(TranslateAccelerator(top, dead, nullptr), 0);
}

}  // namespace
}  // namespace vm::test
