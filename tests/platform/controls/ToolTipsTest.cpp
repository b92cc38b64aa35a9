#include <string>
#include <vector>

#include "ControlTestSupport.h"

namespace vm::test {
namespace {

class ToolTipsTest : public TControlTest {
 protected:
  void SetUp() override {
    TControlTest::SetUp();
    tip = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WC_TOOLTIPS, "",
                         WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, parent);
    a = Make(WC_STATIC, "A", SS_NOTIFY, 10, 10, 100, 40, 101);
    b = Make(WC_STATIC, "B", SS_NOTIFY, 150, 10, 100, 40, 102);
  }
  void AddTool(HWND on, UINT_PTR id, const char* text, UINT flags = TTF_SUBCLASS | TTF_IDISHWND) {
    TOOLINFO ti;
    ti.uFlags = flags;
    ti.hwnd = parent;
    ti.uId = (flags & TTF_IDISHWND) ? UINT_PTR(reinterpret_cast<std::uintptr_t>(on)) : id;
    if (!(flags & TTF_IDISHWND)) ti.hwnd = on;
    GetClientRect(on, &ti.rect);
    ti.lpszText = const_cast<char*>(text);
    ASSERT_EQ(SendMessage(tip, TTM_ADDTOOL, 0, LPARAM(&ti)), 1);
  }
  void Wait(int ms) {
    // The clock moves in small steps, as time passes on a desktop.
    for (int left = ms; left > 0; left -= 10) {
      host.AdvanceClock(std::uint64_t(std::min(left, 10)));
      Pump();
    }
  }
  bool Shown() { return IsWindowVisible(tip); }

  HWND tip = nullptr, a = nullptr, b = nullptr;
};

TEST_F(ToolTipsTest, AHintAppearsOverARestingPointerAndPopsAfterItsDelay) {
  AddTool(a, 0, "Открыть снимок");
  MoveTo(a, 20, 20);
  Wait(490);
  EXPECT_FALSE(Shown());
  Wait(10);
  ASSERT_TRUE(Shown());
  char text[64] = {};
  TOOLINFO ti;
  ti.hwnd = parent;
  ti.uId = UINT_PTR(reinterpret_cast<std::uintptr_t>(a));
  ti.lpszText = text;
  SendMessage(tip, TTM_GETTEXT, sizeof text, LPARAM(&ti));
  EXPECT_EQ(std::string(text), "Открыть снимок");
  // Below the pointer, owned by the form, a pop-up the desktop does not manage.
  TRect r;
  GetWindowRect(tip, &r);
  TPoint p = Screen(a, 20, 20);
  EXPECT_GT(r.Top, p.Y);
  EXPECT_EQ(GetWindow(tip, GW_OWNER), parent);
  const THeadlessHost::TNative* n = host.Native(GetHostWindow(tip));
  ASSERT_NE(n, nullptr);
  EXPECT_TRUE(n->Params.Kind == THostWindowKind::Tooltip ||
              n->Params.Kind == THostWindowKind::PopupMenu);
  EXPECT_EQ(GetActiveWindow(), parent);
  // The pop delay puts it away; resting on, it does not come back.
  Wait(int(SendMessage(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP)));
  EXPECT_FALSE(Shown());
  Wait(2000);
  EXPECT_FALSE(Shown());
}

TEST_F(ToolTipsTest, MovingRestartsTheWaitAndAClickPutsTheHintAway) {
  AddTool(a, 0, "A");
  MoveTo(a, 20, 20);
  Wait(300);
  MoveTo(a, 30, 20);  // not resting yet
  Wait(300);
  EXPECT_FALSE(Shown());
  Wait(200);
  EXPECT_TRUE(Shown());
  Click(a, 30, 20);
  EXPECT_FALSE(Shown());
  Wait(1000);
  EXPECT_FALSE(Shown());
}

TEST_F(ToolTipsTest, TheHintFollowsToTheNextToolAndLeavesWithThePointer) {
  AddTool(a, 0, "A");
  AddTool(b, 0, "B");
  MoveTo(a, 20, 20);
  Wait(500);
  ASSERT_TRUE(Shown());
  // From a shown hint to the next tool the wait is the short one.
  MoveTo(b, 20, 20);
  EXPECT_FALSE(Shown());
  Wait(int(SendMessage(tip, TTM_GETDELAYTIME, TTDT_RESHOW)));
  ASSERT_TRUE(Shown());
  char text[8] = {};
  TOOLINFO ti;
  ti.hwnd = parent;
  ti.uId = UINT_PTR(reinterpret_cast<std::uintptr_t>(b));
  ti.lpszText = text;
  SendMessage(tip, TTM_GETTEXT, sizeof text, LPARAM(&ti));
  EXPECT_EQ(std::string(text), "B");
  // The pointer goes where no tool is (no message reaches the hint from there).
  host.MouseMove(1000, 900);
  Pump();
  Wait(100);
  EXPECT_FALSE(Shown());
  // Switched off, nothing shows.
  SendMessage(tip, TTM_ACTIVATE, 0, 0);
  MoveTo(a, 20, 20);
  Wait(600);
  EXPECT_FALSE(Shown());
}

// Answers TTN_GETDISPINFO with a text made on demand.
std::optional<LRESULT> DispInfo(HWND, UINT m, WPARAM, LPARAM l) {
  if (m != WM_NOTIFY) return std::nullopt;
  auto* hdr = reinterpret_cast<NMHDR*>(l);
  if (hdr->code != TTN_GETDISPINFO) return std::nullopt;
  auto* di = reinterpret_cast<NMTTDISPINFO*>(l);
  std::snprintf(di->szText, sizeof di->szText, "Tool %d", int(hdr->idFrom));
  return 0;
}

TEST_F(ToolTipsTest, RectangleToolsWithRelayedMessagesAndTextsOnDemand) {
  ParentLog().Handler = &DispInfo;
  // Two tools in one window, told of the mouse by the program itself.
  TOOLINFO ti;
  ti.hwnd = parent;
  ti.uId = 7;
  ti.rect = Rect(300, 100, 340, 140);
  ti.lpszText = LPSTR_TEXTCALLBACK;
  SendMessage(tip, TTM_ADDTOOL, 0, LPARAM(&ti));
  EXPECT_EQ(SendMessage(tip, TTM_ADDTOOL, 0, LPARAM(&ti)), 0);  // the same tool twice
  ti.uId = 8;
  ti.rect = Rect(300, 150, 340, 190);
  ti.lpszText = const_cast<char*>("eight");
  SendMessage(tip, TTM_ADDTOOL, 0, LPARAM(&ti));
  EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT), 2);
  auto relay = [&](int x, int y) {
    MSG m;
    m.hwnd = parent;
    m.message = WM_MOUSEMOVE;
    m.lParam = MAKELPARAM(x, y);
    SendMessage(tip, TTM_RELAYEVENT, 0, LPARAM(&m));
  };
  MoveTo(parent, 310, 110);
  relay(310, 110);
  Wait(500);
  ASSERT_TRUE(Shown());
  char text[16] = {};
  ti.uId = 7;
  ti.lpszText = text;
  SendMessage(tip, TTM_GETTEXT, sizeof text, LPARAM(&ti));
  EXPECT_EQ(std::string(text), "Tool 7");
  // A new text shows at once; a removed tool's hint goes.
  ti.uId = 7;
  ti.lpszText = const_cast<char*>("seven");
  SendMessage(tip, TTM_UPDATETIPTEXT, 0, LPARAM(&ti));
  EXPECT_TRUE(Shown());
  SendMessage(tip, TTM_DELTOOL, 0, LPARAM(&ti));
  EXPECT_FALSE(Shown());
  EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT), 1);
  // Bad input: a null relay and unknown tools change nothing.
  SendMessage(tip, TTM_RELAYEVENT, 0, 0);
  SendMessage(tip, TTM_DELTOOL, 0, 0);
  ti.uId = 99;
  SendMessage(tip, TTM_DELTOOL, 0, LPARAM(&ti));
  EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT), 1);
}

TEST_F(ToolTipsTest, ToolWindowsAndTheHintGoingAwayInEitherOrder) {
  AddTool(a, 0, "A");
  AddTool(b, 0, "B");
  DestroyWindow(a);  // the tool's window first
  MoveTo(b, 20, 20);
  Wait(500);
  EXPECT_TRUE(Shown());
  DestroyWindow(tip);  // then the hint: b gets its own procedure back
  MoveTo(b, 30, 20);
  Wait(600);
  Pump();
  EXPECT_TRUE(IsWindow(b));
}

TEST_F(ToolTipsTest, Looks) {
  AddTool(a, 0, "Сохранить под новым именем");
  MoveTo(a, 20, 20);
  Wait(500);
  ASSERT_TRUE(Shown());
  TRect r;
  GetWindowRect(tip, &r);
  TBitmap screen = host.Screenshot();
  TBitmap out(r.Width() + 8, r.Height() + 8);
  TDC dc(out);
  dc.BitBlt(0, 0, out.Width(), out.Height(), TDC(screen), r.Left - 4, r.Top - 4);
  Golden("tooltip-shown", out);
}

}  // namespace
}  // namespace vm::test
