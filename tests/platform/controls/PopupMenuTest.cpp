// Menus shown and tracked: "#32768" windows, the menu loop driven by mouse
// and keyboard through the headless host, the menu bar, the system menu.
//
// The menu loop is modal; a test drives it from the owner's WM_ENTERIDLE,
// which the loop sends whenever it has nothing left to do, exactly where a
// user would act next. Each idle runs the next step of the test's script.
#include <deque>

#include "tests/platform/controls/ControlTestSupport.h"

namespace vm::test {
namespace {

struct TOwnerLog {
  std::vector<TParentMsg> Messages;
  std::deque<std::function<void()>> Script;
  int Idles = 0;
};

TOwnerLog& OwnerLog() {
  static TOwnerLog log;
  return log;
}

LRESULT OwnerProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TOwnerLog& log = OwnerLog();
  switch (msg) {
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
    case WM_UNINITMENUPOPUP:
    case WM_MENUSELECT:
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_MENUCHAR:
    case WM_TIMER:
      log.Messages.push_back({msg, w, l});
      break;
    case WM_ENTERIDLE:
      ++log.Idles;
      if (!log.Script.empty()) {
        auto step = std::move(log.Script.front());
        log.Script.pop_front();
        step();
      }
      return 0;
  }
  return DefWindowProc(h, msg, w, l);
}

class PopupMenuTest : public TControlTest {
 protected:
  void SetUp() override {
    TControlTest::SetUp();
    OwnerLog() = {};
    WNDCLASS wc;
    wc.lpszClassName = "MenuOwner";
    wc.lpfnWndProc = &OwnerProc;
    wc.hbrBackground = 0xFF000000u | 15;
    RegisterClass(wc);
    owner = CreateWindowEx(0, "MenuOwner", "Меню",
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE,
                           40, 40, 420, 260, nullptr);
    SetActiveWindow(owner);
    popup = CreatePopupMenu();
    sub = CreatePopupMenu();
    AppendMenu(sub, MF_STRING, 31, "&Первый");
    AppendMenu(sub, MF_STRING, 32, "&Второй");
    AppendMenu(popup, MF_STRING, 21, "&Открыть...\tCtrl+O");
    AppendMenu(popup, MF_STRING | MF_CHECKED, 22, "&Сетка\tCtrl+G");
    AppendMenu(popup, MF_STRING | MF_GRAYED, 23, "С&охранить\tCtrl+S");
    AppendMenu(popup, MF_SEPARATOR, 0);
    AppendMenu(popup, MF_POPUP, UINT_PTR(reinterpret_cast<std::uintptr_t>(sub)), "&Недавние");
    AppendMenu(popup, MF_STRING, 24, "В&ыход");
    Pump();
  }
  void TearDown() override {
    DestroyMenu(popup);
    TControlTest::TearDown();
    UnregisterClass("MenuOwner");
    OwnerLog() = {};
  }

  void Step(std::function<void()> f) { OwnerLog().Script.push_back(std::move(f)); }

  // The open menu windows, deepest last.
  std::vector<HWND> MenuWindows() {
    std::vector<HWND> out;
    EnumWindows([&](HWND h) {
      if (GetClassName(h) == "#32768" && IsWindowVisible(h)) out.insert(out.begin(), h);
      return true;
    });
    return out;
  }
  // The centre of an item of an open menu, in screen coordinates.
  TPoint ItemCentre(HMENU menu, int pos, HWND hwnd = nullptr) {
    TRect r;
    EXPECT_TRUE(GetMenuItemRect(hwnd, menu, UINT(pos), &r));
    return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  }
  void MoveOver(HMENU menu, int pos, HWND hwnd = nullptr) {
    TPoint p = ItemCentre(menu, pos, hwnd);
    host.MouseMove(p.X, p.Y);
  }
  void ClickOn(HMENU menu, int pos, HWND hwnd = nullptr) {
    TPoint p = ItemCentre(menu, pos, hwnd);
    host.Click(p.X, p.Y);
  }
  std::vector<UINT> Sequence(std::vector<UINT> keep = {}) {
    std::vector<UINT> out;
    for (const TParentMsg& m : OwnerLog().Messages)
      if (keep.empty() || std::find(keep.begin(), keep.end(), m.Msg) != keep.end())
        out.push_back(m.Msg);
    return out;
  }
  std::vector<WPARAM> Commands(UINT msg = WM_COMMAND) {
    std::vector<WPARAM> out;
    for (const TParentMsg& m : OwnerLog().Messages)
      if (m.Msg == msg) out.push_back(msg == WM_SYSCOMMAND ? m.W & 0xFFF0 : m.W);
    return out;
  }
  HMENU MakeBar() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU help = CreatePopupMenu();
    AppendMenu(file, MF_STRING, 41, "&Открыть\tCtrl+O");
    AppendMenu(file, MF_STRING | MF_GRAYED, 42, "&Сохранить\tCtrl+S");
    AppendMenu(file, MF_STRING, 43, "В&ыход\tCtrl+E");
    AppendMenu(help, MF_STRING, 51, "&О программе...");
    AppendMenu(bar, MF_POPUP, UINT_PTR(reinterpret_cast<std::uintptr_t>(file)), "&Файл");
    AppendMenu(bar, MF_POPUP, UINT_PTR(reinterpret_cast<std::uintptr_t>(help)), "&Справка");
    SetMenu(owner, bar);
    Pump();
    return bar;
  }

  HWND owner = nullptr;
  HMENU popup = nullptr, sub = nullptr;
};

TEST_F(PopupMenuTest, KeyboardChoosesAndTheMenuWindowIsARealSubclassableWindow) {
  HWND seen = nullptr;
  int painted = 0;
  Step([&] {
    std::vector<HWND> windows = MenuWindows();
    ASSERT_EQ(windows.size(), 1u);
    seen = windows[0];
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(seen, MN_GETHMENU, 0, 0)), popup);
    EXPECT_EQ(GetWindow(seen, GW_OWNER), owner);
    EXPECT_EQ(host.Native(GetHostWindow(seen))->Params.Kind, THostWindowKind::PopupMenu);
    // A 3-pixel frame around the client area.
    TRect wr, cr;
    GetWindowRect(seen, &wr);
    GetClientRect(seen, &cr);
    EXPECT_EQ(wr.Width() - cr.Width(), 6);
    EXPECT_EQ(wr.Height() - cr.Height(), 6);
    EXPECT_EQ(wr.Left, 200);
    EXPECT_EQ(wr.Top, 150);
    // A subclass sees the painting of the open menu.
    WNDPROC old = GetWindowProc(seen);
    SetWindowProc(seen, WNDPROC::FromClosure([&, old](HWND h, UINT m, WPARAM w, LPARAM l) {
                    if (m == WM_PAINT) ++painted;
                    return CallWindowProc(old, h, m, w, l);
                  }));
    host.Key(VK_DOWN);  // Открыть
    host.Key(VK_DOWN);  // Сетка
  });
  Step([&] {
    EXPECT_GT(painted, 0);
    host.Key(VK_RETURN);
  });
  int r = TrackPopupMenuEx(popup, TPM_RETURNCMD, 200, 150, owner, nullptr);
  EXPECT_EQ(r, 22);
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_TRUE(Commands().empty());  // TPM_RETURNCMD sends nothing
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetTrackedMenu(), nullptr);
}

TEST_F(PopupMenuTest, MouseChoosesAndTheOwnerHearsTheLoopInThePlatformsOrder) {
  Step([&] { MoveOver(popup, 2); });  // the disabled item
  Step([&] {
    ClickOn(popup, 2);  // does nothing: the menu stays open
  });
  Step([&] {
    EXPECT_EQ(MenuWindows().size(), 1u);
    ClickOn(popup, 0);
  });
  EXPECT_EQ(TrackPopupMenu(popup, 0, 200, 150, 0, owner), 1);
  Pump();
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{MAKEWPARAM(21, 0)}));
  std::vector<UINT> seq = Sequence();
  // Selection changes repeat WM_MENUSELECT; collapse the repeats.
  seq.erase(std::unique(seq.begin(), seq.end()), seq.end());
  EXPECT_EQ(seq,
            (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_MENUSELECT,
                               WM_UNINITMENUPOPUP, WM_MENUSELECT, WM_EXITMENULOOP, WM_COMMAND}));
  // The last WM_MENUSELECT says the menu closed.
  for (auto it = OwnerLog().Messages.rbegin(); it != OwnerLog().Messages.rend(); ++it)
    if (it->Msg == WM_MENUSELECT) {
      EXPECT_EQ(HIWORD(it->W), 0xFFFF);
      EXPECT_EQ(it->L, 0);
      break;
    }
}

TEST_F(PopupMenuTest, ASubMenuOpensWhenThePointerRestsForTheDelay) {
  std::uint64_t t0 = 0;
  Step([&] {
    t0 = host.Now();
    MoveOver(popup, 4);
  });
  Step([&] {
    // Nothing happens at once...
    EXPECT_EQ(MenuWindows().size(), 1u);
    EXPECT_EQ(host.Now(), t0);
    // ...and the loop waits for the delay on the host's clock.
  });
  Step([&] {
    EXPECT_EQ(host.Now() - t0, 400u);  // the platform's menu show delay
    std::vector<HWND> windows = MenuWindows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(windows[1], MN_GETHMENU, 0, 0)), sub);
    // Beside the parent's item, overlapping its frame.
    TRect parentRect, subRect;
    GetWindowRect(windows[0], &parentRect);
    GetWindowRect(windows[1], &subRect);
    EXPECT_EQ(subRect.Left, parentRect.Right - 3);
    ClickOn(sub, 1);
  });
  EXPECT_EQ(TrackPopupMenuEx(popup, TPM_RETURNCMD, 200, 150, owner, nullptr), 32);
  // Both pop-ups were announced and taken down.
  EXPECT_EQ(Sequence({WM_INITMENUPOPUP, WM_UNINITMENUPOPUP}),
            (std::vector<UINT>{WM_INITMENUPOPUP, WM_INITMENUPOPUP, WM_UNINITMENUPOPUP,
                               WM_UNINITMENUPOPUP}));
}

TEST_F(PopupMenuTest, KeyboardWalksSubMenusMnemonicsAndEscape) {
  Step([&] {
    host.Type("н");  // Недавние: opens the sub-menu with its first item selected
  });
  Step([&] {
    ASSERT_EQ(MenuWindows().size(), 2u);
    host.Key(VK_LEFT);  // closes it again
  });
  Step([&] {
    EXPECT_EQ(MenuWindows().size(), 1u);
    host.Key(VK_RIGHT);  // the selected item (Недавние) opens
  });
  Step([&] {
    EXPECT_EQ(MenuWindows().size(), 2u);
    host.Type("в");  // Второй
  });
  EXPECT_EQ(TrackPopupMenuEx(popup, TPM_RETURNCMD, 200, 150, owner, nullptr), 32);
  // A letter nobody uses asks the owner; Escape cancels.
  OwnerLog().Messages.clear();
  Step([&] { host.Type("ж"); });
  Step([&] { host.Key(VK_ESCAPE); });
  EXPECT_EQ(TrackPopupMenuEx(popup, TPM_RETURNCMD, 200, 150, owner, nullptr), 0);
  ASSERT_EQ(Commands(WM_MENUCHAR).size(), 1u);
  EXPECT_EQ(LOWORD(Commands(WM_MENUCHAR)[0]), 0x0436);  // ж
  EXPECT_EQ(HIWORD(Commands(WM_MENUCHAR)[0]), MF_POPUP);
  // Enter on a disabled item closes the menu without a command.
  Step([&] { host.Type("о"); });  // О is Открыть's; С&охранить's is о too: two items, the first
  Step([&] { host.Type("о"); });  // the second press moves on to Сохранить
  Step([&] { host.Key(VK_RETURN); });
  EXPECT_EQ(TrackPopupMenuEx(popup, TPM_RETURNCMD, 200, 150, owner, nullptr), 0);
}

TEST_F(PopupMenuTest, AClickOutsideCancelsAndTimersKeepFiring) {
  SetTimer(owner, 7, 100);
  int idle = 0;
  Step([&] { ++idle; });  // nothing to do: the loop waits for the timer
  Step([&] { ++idle; });
  Step([&] { host.Click(10, 10); });
  EXPECT_EQ(TrackPopupMenu(popup, 0, 200, 150, 0, owner), 0);
  EXPECT_EQ(idle, 2);
  EXPECT_GE(Commands(WM_TIMER).size(), 1u);
  Pump();
  EXPECT_TRUE(Commands().empty());
  KillTimer(owner, 7);
}

TEST_F(PopupMenuTest, PlacementKeepsTheMenuOnTheScreen) {
  Step([&] {
    TRect wr;
    GetWindowRect(MenuWindows()[0], &wr);
    // Right-aligned at the point, and moved up to stay above the screen's bottom edge.
    EXPECT_EQ(wr.Right, 600);
    EXPECT_LE(wr.Bottom, 1024);
    EXPECT_EQ(wr.Bottom, 1020);
    host.Key(VK_ESCAPE);
  });
  TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 600, 1020, owner,
                   nullptr);
  Step([&] {
    TRect wr;
    GetWindowRect(MenuWindows()[0], &wr);
    EXPECT_EQ(wr.Right, 1280);  // pushed back from the right edge
    EXPECT_GE(wr.Top, 0);
    host.Key(VK_ESCAPE);
  });
  TrackPopupMenuEx(popup, TPM_RETURNCMD, 1270, 1010, owner, nullptr);
  // Bad input: a stale menu, an empty one, a stale window.
  HMENU empty = CreatePopupMenu();
  EXPECT_EQ(TrackPopupMenuEx(empty, TPM_RETURNCMD, 10, 10, owner, nullptr), 0);
  DestroyMenu(empty);
  EXPECT_EQ(TrackPopupMenuEx(empty, TPM_RETURNCMD, 10, 10, owner, nullptr), 0);
  EXPECT_EQ(TrackPopupMenuEx(popup, TPM_RETURNCMD, 10, 10, reinterpret_cast<HWND>(0x999), nullptr),
            0);
  EXPECT_EQ(OwnerLog().Idles, 2);
}

TEST_F(PopupMenuTest, TheMenuBarOpensByMouseAndFollowsThePointer) {
  HMENU bar = MakeBar();
  HMENU file = GetSubMenu(bar, 0), help = GetSubMenu(bar, 1);
  Step([&] {
    ASSERT_EQ(MenuWindows().size(), 1u);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(MenuWindows()[0], MN_GETHMENU, 0, 0)), file);
    // Below its bar item.
    TRect item, wr;
    GetMenuItemRect(owner, bar, 0, &item);
    GetWindowRect(MenuWindows()[0], &wr);
    EXPECT_EQ(wr.Left, item.Left);
    EXPECT_EQ(wr.Top, item.Bottom);
    MoveOver(bar, 1, owner);  // the other drop-down opens instead
  });
  Step([&] {
    ASSERT_EQ(MenuWindows().size(), 1u);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessage(MenuWindows()[0], MN_GETHMENU, 0, 0)), help);
    ClickOn(help, 0);
  });
  ClickOn(bar, 0, owner);
  Pump();
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{MAKEWPARAM(51, 0)}));
  EXPECT_EQ(Sequence({WM_ENTERMENULOOP, WM_INITMENU}),
            (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENU}));
  EXPECT_EQ(OwnerLog().Messages[2].W, WPARAM(reinterpret_cast<std::uintptr_t>(bar)));
  // A click on the open bar item closes the menu.
  OwnerLog().Messages.clear();
  Step([&] { ClickOn(bar, 0, owner); });
  ClickOn(bar, 0, owner);
  Pump();
  EXPECT_TRUE(MenuWindows().empty());
  EXPECT_TRUE(Commands().empty());
}

TEST_F(PopupMenuTest, TheMenuBarOpensFromTheKeyboard) {
  MakeBar();
  // Alt alone selects the bar; Down opens Файл; Right moves on to Справка; Enter chooses.
  Step([&] {
    EXPECT_TRUE(MenuWindows().empty());
    host.Key(VK_DOWN);
  });
  Step([&] {
    EXPECT_EQ(MenuWindows().size(), 1u);
    host.Key(VK_RIGHT);
  });
  Step([&] { host.Key(VK_RETURN); });
  host.Key(VK_MENU);
  Pump();
  Pump();
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{MAKEWPARAM(51, 0)}));
  // Alt+letter opens the drop-down with that mnemonic; a letter there chooses.
  OwnerLog().Messages.clear();
  Step([&] {
    ASSERT_EQ(MenuWindows().size(), 1u);
    host.Type("ы");  // В&ыход
  });
  host.KeyDown(VK_MENU);
  host.KeyDown('A', U'ф');  // the key of Ф on a Russian layout
  host.KeyUp('A');
  host.KeyUp(VK_MENU);
  Pump();
  Pump();
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{MAKEWPARAM(43, 0)}));
  // F10 then Escape leaves without a command.
  OwnerLog().Messages.clear();
  Step([&] { host.Key(VK_ESCAPE); });
  host.Key(VK_F10);
  Pump();
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(Sequence({WM_ENTERMENULOOP, WM_EXITMENULOOP}),
            (std::vector<UINT>{WM_ENTERMENULOOP, WM_EXITMENULOOP}));
}

TEST_F(PopupMenuTest, TheSystemMenuFollowsTheWindowsStateAndSendsSystemCommands) {
  HMENU sys = nullptr;
  Step([&] {
    ASSERT_EQ(MenuWindows().size(), 1u);
    sys = reinterpret_cast<HMENU>(SendMessage(MenuWindows()[0], MN_GETHMENU, 0, 0));
    EXPECT_EQ(sys, GetSystemMenu(owner, false));
    // A window without a maximise box, neither maximised nor minimised.
    EXPECT_TRUE(GetMenuState(sys, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(sys, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(sys, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(sys, SC_MINIMIZE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(sys, SC_MOVE, MF_BYCOMMAND) & MF_GRAYED);
    // Below the caption's left end.
    TRect wr, mr;
    GetWindowRect(owner, &wr);
    GetWindowRect(MenuWindows()[0], &mr);
    EXPECT_EQ(mr.Left, wr.Left + 3);
    EXPECT_EQ(mr.Top, wr.Top + 3 + GetSystemMetrics(SM_CYCAPTION));
    host.Type("з");  // &Закрыть
  });
  host.KeyDown(VK_MENU);
  host.Key(VK_SPACE);
  host.KeyUp(VK_MENU);
  Pump();
  Pump();
  EXPECT_EQ(Commands(WM_SYSCOMMAND).back(), SC_CLOSE);
  EXPECT_FALSE(IsWindow(owner));
}

TEST_F(PopupMenuTest, TheCaptionIconOpensTheSystemMenuAndADoubleClickCloses) {
  TRect wr;
  GetWindowRect(owner, &wr);
  TPoint icon{wr.Left + 3 + 8, wr.Top + 3 + 8};
  EXPECT_EQ(SendMessage(owner, WM_NCHITTEST, 0, MAKELPARAM(icon.X, icon.Y)), HTSYSMENU);
  Step([&] {
    EXPECT_EQ(MenuWindows().size(), 1u);
    host.Click(icon.X, icon.Y);  // the second click of a double click
  });
  host.Click(icon.X, icon.Y);
  Pump();
  Pump();
  EXPECT_FALSE(IsWindow(owner));
}

TEST_F(PopupMenuTest, GoldenPictures) {
  HMENU bar = MakeBar();
  TRect wr;
  GetWindowRect(owner, &wr);
  auto crop = [&](const TRect& r) {
    PresentWindows();
    TBitmap all = host.Screenshot();
    TBitmap out(r.Width(), r.Height());
    TDC dc(out);
    dc.BitBlt(0, 0, r.Width(), r.Height(), all, r.Left, r.Top);
    return out;
  };
  // The window's caption and menu bar, the first drop-down open from the keyboard.
  TRect item;
  GetMenuItemRect(owner, bar, 0, &item);
  Step([&] {
    Golden("menu_bar", crop({wr.Left, wr.Top, wr.Right, item.Bottom + 80}));
    host.Key(VK_ESCAPE);
    host.Key(VK_ESCAPE);
  });
  host.KeyDown(VK_MENU);
  host.KeyDown('A', U'ф');
  host.KeyUp('A');
  host.KeyUp(VK_MENU);
  Pump();
  // A pop-up menu with a checked, a disabled and a default item, a separator,
  // shortcut texts and an open sub-menu whose first item is selected.
  SetMenuDefaultItem(popup, 24, 0);
  Step([&] {
    host.Key(VK_UP);
    host.Key(VK_UP);
    host.Key(VK_RIGHT);
  });
  Step([&] {
    ASSERT_EQ(MenuWindows().size(), 2u);
    TRect a, b;
    GetWindowRect(MenuWindows()[0], &a);
    GetWindowRect(MenuWindows()[1], &b);
    Golden("popup_menu", crop({a.Left - 4, a.Top - 4, b.Right + 4, a.Bottom + 4}));
    host.Key(VK_ESCAPE);
    host.Key(VK_ESCAPE);
  });
  TrackPopupMenuEx(popup, TPM_RETURNCMD, 120, 80, owner, nullptr);
}

}  // namespace
}  // namespace vm::test
