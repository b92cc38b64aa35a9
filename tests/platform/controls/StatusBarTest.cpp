#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "platform/gfx/SysColors.h"

namespace vm::test {
namespace {

class StatusBarTest : public TControlTest {
 protected:
  void SetUp() override {
    TControlTest::SetUp();
    // The parent passes its size on, as a window with a status bar does.
    ParentLog().Handler = [this](HWND h, UINT msg, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
      if (msg == WM_SIZE)
        for (HWND bar : bars)
          if (IsWindow(bar) && GetParent(bar) == h) SendMessage(bar, WM_SIZE, w, l);
      if (msg == WM_DRAWITEM && onDraw) {
        onDraw(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
        return 1;
      }
      return std::nullopt;
    };
  }
  void TearDown() override {
    if (top && IsWindow(top)) DestroyWindow(top);
    TControlTest::TearDown();
  }

  HWND Bar(HWND in, DWORD style = 0, std::string_view text = "") {
    HWND bar =
        CreateWindowEx(0, STATUSCLASSNAME, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, in, 77);
    bars.push_back(bar);
    Pump();
    return bar;
  }
  // A sizeable top-level window of the parent's class, so its bar docks the same way.
  HWND SizeableTop(int w = 360, int h = 200) {
    top = CreateWindowEx(0, "ControlTestParent", "Окно", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200,
                         w, h, nullptr);
    Pump();
    return top;
  }
  TRect RectIn(HWND h) {
    TRect r;
    GetWindowRect(h, &r);
    TPoint o{0, 0};
    ClientToScreen(GetParent(h), &o);
    return r.Offset(-o.X, -o.Y);
  }
  TRect Part(HWND bar, int i) {
    TRect r;
    EXPECT_TRUE(SendMessage(bar, SB_GETRECT, WPARAM(i), LPARAM(&r)));
    return r;
  }
  void SetParts(HWND bar, std::vector<int> rights) {
    ASSERT_TRUE(SendMessage(bar, SB_SETPARTS, rights.size(), LPARAM(rights.data())));
  }
  void SetText(HWND bar, int part, const char* text, WPARAM flags = 0) {
    ASSERT_TRUE(SendMessage(bar, SB_SETTEXT, WPARAM(part) | flags, LPARAM(text)));
  }
  std::string Text(HWND bar, int part) {
    LRESULT len = SendMessage(bar, SB_GETTEXTLENGTH, WPARAM(part));
    std::string s(std::size_t(LOWORD(len)) + 1, '\0');
    SendMessage(bar, SB_GETTEXT, WPARAM(part), LPARAM(s.data()));
    s.resize(LOWORD(len));
    return s;
  }
  LRESULT HitTest(HWND bar, int x, int y) {
    TPoint p = Screen(bar, x, y);
    return SendMessage(bar, WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
  }
  TBitmap ShotOfWindow(HWND h) {
    Pump();
    return host.WindowShot(GetHostWindow(h));
  }
  int Height() { return GetFontObject(GetStockFont(DEFAULT_GUI_FONT))->Metrics().Height + 6; }

  std::vector<HWND> bars;
  HWND top = nullptr;
  std::function<void(const DRAWITEMSTRUCT&)> onDraw;
};

TEST_F(StatusBarTest, PartsRunFromEdgeToEdgeWithTheLastReachingTheRightEdge) {
  HWND bar = Bar(parent);
  TRect c;
  GetClientRect(bar, &c);
  // A new bar has one part over its whole width.
  int rights[4] = {};
  EXPECT_EQ(SendMessage(bar, SB_GETPARTS, 4, LPARAM(rights)), 1);
  EXPECT_EQ(rights[0], -1);
  EXPECT_EQ(Part(bar, 0), Rect(0, 2, c.Right, c.Bottom));

  SetParts(bar, {120, 250, -1});
  EXPECT_EQ(SendMessage(bar, SB_GETPARTS, 0, 0), 3);
  EXPECT_EQ(SendMessage(bar, SB_GETPARTS, 2, LPARAM(rights)), 3);  // fills only the room given
  EXPECT_EQ(rights[0], 120);
  EXPECT_EQ(rights[1], 250);
  EXPECT_EQ(rights[2], 0);  // beyond the room given: untouched
  EXPECT_EQ(SendMessage(bar, SB_GETPARTS, 4, LPARAM(rights)), 3);
  EXPECT_EQ(rights[2], -1);  // still -1, not the edge it reaches
  EXPECT_EQ(Part(bar, 0), Rect(0, 2, 120, c.Bottom));
  EXPECT_EQ(Part(bar, 1), Rect(122, 2, 250, c.Bottom));
  EXPECT_EQ(Part(bar, 2), Rect(252, 2, c.Right, c.Bottom));
  TRect r;
  EXPECT_FALSE(SendMessage(bar, SB_GETRECT, 3, LPARAM(&r)));
  EXPECT_FALSE(SendMessage(bar, SB_GETRECT, 0, 0));

  // Edges past the bar or out of order are held inside it, never inverted.
  SetParts(bar, {300, 100, 900});
  EXPECT_EQ(Part(bar, 1), Rect(302, 2, 302, c.Bottom));
  EXPECT_EQ(Part(bar, 2), Rect(304, 2, c.Right, c.Bottom));

  // Refused: no parts, too many, no array.
  std::vector<int> many(257, -1);
  EXPECT_FALSE(SendMessage(bar, SB_SETPARTS, 0, LPARAM(rights)));
  EXPECT_FALSE(SendMessage(bar, SB_SETPARTS, many.size(), LPARAM(many.data())));
  EXPECT_FALSE(SendMessage(bar, SB_SETPARTS, 2, 0));
  EXPECT_EQ(SendMessage(bar, SB_GETPARTS, 0, 0), 3);

  int borders[3] = {-1, -1, -1};
  EXPECT_TRUE(SendMessage(bar, SB_GETBORDERS, 0, LPARAM(borders)));
  EXPECT_EQ(borders[0], 0);
  EXPECT_EQ(borders[1], 2);
  EXPECT_EQ(borders[2], 2);
}

TEST_F(StatusBarTest, TextsKeepTheirFlagsAndSurviveFewerParts) {
  HWND bar = Bar(parent, 0, "Готово");
  EXPECT_EQ(Text(bar, 0), "Готово");  // the window text is part 0's
  SetParts(bar, {100, 200, -1});
  SetText(bar, 1, "Размер: 12 КБ", SBT_POPOUT);
  SetText(bar, 2, "a\tb\tc", SBT_NOBORDERS);
  LRESULT len = SendMessage(bar, SB_GETTEXTLENGTH, 1);
  EXPECT_EQ(LOWORD(len), std::string("Размер: 12 КБ").size());
  EXPECT_EQ(HIWORD(len), SBT_POPOUT);
  char buf[64];
  LRESULT got = SendMessage(bar, SB_GETTEXT, 2, LPARAM(buf));
  EXPECT_STREQ(buf, "a\tb\tc");
  EXPECT_EQ(LOWORD(got), 5);
  EXPECT_EQ(HIWORD(got), SBT_NOBORDERS);
  // A part that does not exist takes no text.
  EXPECT_FALSE(SendMessage(bar, SB_SETTEXT, 3, LPARAM("x")));
  EXPECT_EQ(SendMessage(bar, SB_GETTEXTLENGTH, 7), 0);
  // Null text clears.
  SetText(bar, 0, nullptr);
  EXPECT_EQ(Text(bar, 0), "");

  // WM_SETTEXT is part 0's text; fewer parts keep the texts of those left.
  SetWindowText(bar, "Открыт файл");
  EXPECT_EQ(Text(bar, 0), "Открыт файл");
  EXPECT_EQ(GetWindowText(bar), "Открыт файл");
  SetParts(bar, {150, -1});
  EXPECT_EQ(Text(bar, 1), "Размер: 12 КБ");
  EXPECT_FALSE(SendMessage(bar, SB_SETTEXT, 2, LPARAM("x")));
  SetParts(bar, {100, 200, -1});
  EXPECT_EQ(Text(bar, 2), "");  // a part added again starts empty

  // A text too long for a 16-bit length is cut at a character boundary.
  std::string huge;
  while (huge.size() < 70000) huge += "ж";
  SetText(bar, 0, huge.c_str());
  LRESULT hugeLen = SendMessage(bar, SB_GETTEXTLENGTH, 0);
  EXPECT_EQ(LOWORD(hugeLen), 0xFFFE);
  EXPECT_EQ(Text(bar, 0), huge.substr(0, 0xFFFE));
}

TEST_F(StatusBarTest, DocksAtTheBottomAtFullWidthAndFollowsItsParent) {
  HWND bar = Bar(parent);
  TRect pc;
  GetClientRect(parent, &pc);
  EXPECT_EQ(RectIn(bar), Rect(0, pc.Bottom - Height(), pc.Right, pc.Bottom));

  SetWindowPos(parent, nullptr, 0, 0, 520, 240, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  GetClientRect(parent, &pc);
  EXPECT_EQ(pc.Right, 520);
  EXPECT_EQ(RectIn(bar), Rect(0, 240 - Height(), 520, 240));
  SetParts(bar, {100, -1});
  EXPECT_EQ(Part(bar, 1).Right, 520);  // the last part follows the new width

  // A taller drawing area, then a bigger font, take effect at the next size.
  SendMessage(bar, SB_SETMINHEIGHT, 30);
  SendMessage(bar, WM_SIZE, 0, 0);
  EXPECT_EQ(RectIn(bar), Rect(0, 240 - 32, 520, 240));  // the border on top of the 30
  SendMessage(bar, SB_SETMINHEIGHT, 0);
  HFONT big = CreateFontIndirect(TFontDesc{"Tahoma", -20});
  SendMessage(bar, WM_SETFONT, WPARAM(reinterpret_cast<std::uintptr_t>(big)), 1);
  int bigHeight = GetFontObject(big)->Metrics().Height + 6;
  EXPECT_EQ(RectIn(bar), Rect(0, 240 - bigHeight, 520, 240));
  EXPECT_EQ(SendMessage(bar, WM_GETFONT), LRESULT(reinterpret_cast<std::uintptr_t>(big)));

  // CCS_TOP docks at the top; CCS_NORESIZE leaves the bar where it was put.
  HWND topBar = Bar(parent, CCS_TOP);
  EXPECT_EQ(RectIn(topBar), Rect(0, 0, 520, Height()));
  HWND fixed = CreateWindowEx(0, STATUSCLASSNAME, "", WS_CHILD | WS_VISIBLE | CCS_NORESIZE, 10, 50,
                              200, 30, parent, 78);
  bars.push_back(fixed);
  SetWindowPos(parent, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  EXPECT_EQ(RectIn(fixed), Rect(10, 50, 210, 80));
  EXPECT_EQ(RectIn(topBar), Rect(0, 0, 400, Height()));
  DeleteObject(big);
}

TEST_F(StatusBarTest, TheGripResizesASizeableWindowAndOnlyThat) {
  // The test parent cannot be resized: no grip, no hit, nothing drawn there.
  HWND plain = Bar(parent, SBARS_SIZEGRIP);
  TRect c;
  GetClientRect(plain, &c);
  EXPECT_EQ(HitTest(plain, c.Right - 3, c.Bottom - 3), HTCLIENT);

  HWND win = SizeableTop();
  HWND bar = Bar(win, SBARS_SIZEGRIP);
  GetClientRect(bar, &c);
  EXPECT_EQ(HitTest(bar, c.Right - 3, c.Bottom - 3), HTBOTTOMRIGHT);
  // The grip's zone: one pixel wider than its picture, the bar's whole height.
  EXPECT_EQ(HitTest(bar, c.Right - 17, c.Bottom - 1), HTBOTTOMRIGHT);
  EXPECT_EQ(HitTest(bar, c.Right - 18, c.Bottom - 1), HTCLIENT);
  EXPECT_EQ(HitTest(bar, c.Right - 3, 0), HTBOTTOMRIGHT);

  // Drag the grip 40 right and 30 down: the window grows by as much and the bar follows.
  TRect before;
  GetWindowRect(win, &before);
  TPoint from = Screen(bar, c.Right - 4, c.Bottom - 4);
  host.MouseMove(from.X, from.Y);
  Pump();
  host.MouseDown();
  Pump();
  for (int step = 1; step <= 4; ++step) {
    host.MouseMove(from.X + 10 * step, from.Y + 7 * step + (step == 4 ? 2 : 0));
    Pump();
  }
  host.MouseUp();
  Pump();
  TRect after;
  GetWindowRect(win, &after);
  EXPECT_EQ(after.Left, before.Left);
  EXPECT_EQ(after.Top, before.Top);
  EXPECT_EQ(after.Width(), before.Width() + 40);
  EXPECT_EQ(after.Height(), before.Height() + 30);
  TRect wc;
  GetClientRect(win, &wc);
  EXPECT_EQ(RectIn(bar), Rect(0, wc.Bottom - Height(), wc.Right, wc.Bottom));
  EXPECT_EQ(GetCapture(), nullptr);

  // A maximized window has no grip.
  ShowWindow(win, SW_MAXIMIZE);
  Pump();
  GetClientRect(bar, &c);
  EXPECT_EQ(HitTest(bar, c.Right - 3, c.Bottom - 3), HTCLIENT);
  TBitmap shot = ShotOfWindow(win);
  TPoint corner = Screen(bar, c.Right - 2, c.Bottom - 2);
  TRect wr;
  GetWindowRect(win, &wr);
  EXPECT_EQ(shot.GetPixel(corner.X - wr.Left, corner.Y - wr.Top), GetSysColor(COLOR_BTNFACE));
}

TEST_F(StatusBarTest, ClicksAreToldToTheParentWithThePartUnderThePointer) {
  HWND bar = Bar(parent);
  SetParts(bar, {100, 200, -1});
  struct TSeen {
    UINT Code;
    UINT_PTR Part;
    TPoint Pt;
  };
  std::vector<TSeen> seen;
  auto docking = ParentLog().Handler;
  ParentLog().Handler = [&](HWND h, UINT msg, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (msg == WM_NOTIFY) {
      const auto* nm = reinterpret_cast<const NMMOUSE*>(l);
      const UINT code = nm->hdr.code;
      if (nm->hdr.hwndFrom == bar &&
          (code == NM_CLICK || code == NM_DBLCLK || code == NM_RCLICK || code == NM_RDBLCLK))
        seen.push_back({code, nm->dwItemSpec, nm->pt});
    }
    return docking(h, msg, w, l);
  };
  Click(bar, 150, 5);
  host.AdvanceClock(1000);
  MoveTo(bar, 20, 6);
  host.MouseDown(THostButton::Right);
  host.MouseUp(THostButton::Right);
  Pump();
  host.AdvanceClock(1000);
  Click(bar, 250, 5);
  Click(bar, 250, 5);
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[0].Code, NM_CLICK);
  EXPECT_EQ(seen[0].Part, 1u);
  EXPECT_EQ(seen[0].Pt, (TPoint{150, 5}));
  EXPECT_EQ(seen[1].Code, NM_RCLICK);
  EXPECT_EQ(seen[1].Part, 0u);
  EXPECT_EQ(seen[2].Code, NM_CLICK);
  EXPECT_EQ(seen[3].Code, NM_DBLCLK);
  EXPECT_EQ(seen[3].Part, 2u);
  EXPECT_EQ(seen[4].Code, NM_CLICK);
  // In simple mode the part is the simple one.
  seen.clear();
  SendMessage(bar, SB_SIMPLE, 1);
  host.AdvanceClock(1000);
  Click(bar, 150, 5);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].Part, UINT_PTR(SB_SIMPLEID));
  ParentLog().Handler = docking;
}

TEST_F(StatusBarTest, ControlCharactersBecomeSpacesAndMinHeightAddsTheBorder) {
  HWND bar = Bar(parent, 0,
                 "a\x01"
                 "b");
  EXPECT_EQ(Text(bar, 0), "a b");
  SetParts(bar, {100, -1});
  SetText(bar, 1, "1\r\n2\t3\x7f\xc2\x85ж");
  EXPECT_EQ(Text(bar, 1), "1  2\t3  ж");
  SetWindowText(bar, "x\ny");
  EXPECT_EQ(GetWindowText(bar), "x y");
  // The minimum is the parts' height; the border above them comes on top.
  EXPECT_EQ(SendMessage(bar, SB_SETMINHEIGHT, 40), 1);
  SendMessage(bar, WM_SIZE, 0, 0);
  TRect c;
  GetClientRect(bar, &c);
  EXPECT_EQ(c.Height(), 42);
  SendMessage(bar, SB_SETMINHEIGHT, 5);  // less than the text needs: no effect
  SendMessage(bar, WM_SIZE, 0, 0);
  GetClientRect(bar, &c);
  EXPECT_EQ(c.Height(), Height());
  SendMessage(bar, SB_SETMINHEIGHT, WPARAM(-40));
  SendMessage(bar, WM_SIZE, 0, 0);
  GetClientRect(bar, &c);
  EXPECT_EQ(c.Height(), Height());
}

TEST_F(StatusBarTest, OwnerDrawnPartsArePaintedByTheParentInsideTheirFrame) {
  HWND bar = Bar(parent);
  SetParts(bar, {100, -1});
  std::vector<DRAWITEMSTRUCT> seen;
  onDraw = [&](const DRAWITEMSTRUCT& d) {
    seen.push_back(d);
    // Tries to paint the whole bar; only the part's inside may change.
    d.hDC->FillRect(Rect(0, 0, 1000, 100), RGB(200, 30, 30));
  };
  Pump();
  seen.clear();
  ASSERT_TRUE(SendMessage(bar, SB_SETTEXT, 1 | SBT_OWNERDRAW, LPARAM(0x5eed)));
  // Drawn as the data is set, before anything else runs.
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(SendMessage(bar, SB_GETTEXT, 1, 0), 0x5eed);  // the data comes back as it was given
  EXPECT_EQ(HIWORD(SendMessage(bar, SB_GETTEXTLENGTH, 1)), SBT_OWNERDRAW);
  TBitmap shot = Shot();
  ASSERT_FALSE(seen.empty());
  const DRAWITEMSTRUCT& d = seen.back();
  TRect part = Part(bar, 1);
  EXPECT_EQ(d.itemID, 1u);
  EXPECT_EQ(d.CtlID, 77u);
  EXPECT_EQ(d.hwndItem, bar);
  EXPECT_EQ(d.itemData, 0x5eedu);
  EXPECT_EQ(d.itemAction, ODA_DRAWENTIRE);
  EXPECT_EQ(d.rcItem, Rect(part.Left + 1, part.Top + 1, part.Right - 1, part.Bottom - 1));
  TPoint in = Screen(bar, part.Left + 5, part.Top + 5), o = Screen(parent, 0, 0);
  TPoint edge = Screen(bar, part.Left, part.Top + 5), left = Screen(bar, 50, 5);
  EXPECT_EQ(shot.GetPixel(in.X - o.X, in.Y - o.Y), RGB(200, 30, 30));
  EXPECT_EQ(shot.GetPixel(edge.X - o.X, edge.Y - o.Y), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_NE(shot.GetPixel(left.X - o.X, left.Y - o.Y), RGB(200, 30, 30));
  // An owner-drawn part has no text to read.
  SendMessage(bar, SB_SETTEXT, 0 | SBT_OWNERDRAW, 7);
  EXPECT_EQ(GetWindowText(bar), "");
}

TEST_F(StatusBarTest, SimpleModeShowsItsOwnTextAndKeepsTheParts) {
  HWND bar = Bar(parent);
  SetParts(bar, {100, -1});
  SetText(bar, 0, "Часть 0");
  SetText(bar, 1, "Часть 1");
  SetText(bar, int(SB_SIMPLEID), "Простой текст");
  EXPECT_EQ(SendMessage(bar, SB_ISSIMPLE), 0);
  SendMessage(bar, SB_SIMPLE, 1);
  EXPECT_EQ(SendMessage(bar, SB_ISSIMPLE), 1);
  TRect c;
  GetClientRect(bar, &c);
  EXPECT_EQ(Part(bar, 1), Rect(0, 2, c.Right, c.Bottom));  // every part is the simple one now
  EXPECT_EQ(GetWindowText(bar), "Простой текст");
  SetWindowText(bar, "Новый простой");
  EXPECT_EQ(Text(bar, int(SB_SIMPLEID)), "Новый простой");
  EXPECT_EQ(Text(bar, 0), "Часть 0");
  SendMessage(bar, SB_SIMPLE, 0);
  EXPECT_EQ(GetWindowText(bar), "Часть 0");
  EXPECT_EQ(SendMessage(bar, SB_GETPARTS, 0, 0), 2);
  EXPECT_EQ(Part(bar, 1), Rect(102, 2, c.Right, c.Bottom));
}

TEST_F(StatusBarTest, SimpleModeSwitchIsNotifiedOncePerChange) {
  HWND bar = Bar(parent);
  auto codes = std::make_shared<std::vector<UINT>>();
  auto base = ParentLog().Handler;
  ParentLog().Handler = [codes, base](HWND h, UINT msg, WPARAM w,
                                      LPARAM l) -> std::optional<LRESULT> {
    if (msg == WM_NOTIFY) codes->push_back(reinterpret_cast<const NMHDR*>(l)->code);
    return base(h, msg, w, l);
  };
  SendMessage(bar, SB_SIMPLE, 1);
  SendMessage(bar, SB_SIMPLE, 1);
  SendMessage(bar, SB_SIMPLE, 0);
  EXPECT_EQ(*codes, (std::vector<UINT>{SBN_SIMPLEMODECHANGE, SBN_SIMPLEMODECHANGE}));
}

TEST_F(StatusBarTest, ChildWindowsOnTheBarPaintAboveIt) {
  HWND bar = Bar(parent, WS_CLIPCHILDREN);
  SetText(bar, 0, "Текст под меткой, длинный, до самого края");
  HWND label =
      CreateWindowEx(0, WC_STATIC, "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 3, 3, 40, 12, bar, 5);
  // The bar repaints (a new text) and the child is still on top.
  SetText(bar, 0, "Другой текст под меткой");
  TBitmap shot = Shot();
  TPoint p = Screen(bar, 10, 8), o = Screen(parent, 0, 0);
  EXPECT_EQ(shot.GetPixel(p.X - o.X, p.Y - o.Y), GetSysColor(COLOR_WINDOWFRAME));
  // Docking again moves the bar, the child goes with it.
  SetWindowPos(parent, nullptr, 0, 0, 400, 260, SWP_NOMOVE | SWP_NOZORDER);
  shot = Shot();
  p = Screen(label, 1, 1);
  o = Screen(parent, 0, 0);
  EXPECT_EQ(shot.GetPixel(p.X - o.X, p.Y - o.Y), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(GetParent(label), bar);
}

TEST_F(StatusBarTest, BackgroundColourAndBackToTheButtonFace) {
  HWND bar = Bar(parent);
  TPoint p = Screen(bar, 1, 1), o = Screen(parent, 0, 0);
  EXPECT_EQ(SendMessage(bar, SB_SETBKCOLOR, 0, LPARAM(RGB(10, 120, 200))), LRESULT(CLR_DEFAULT));
  EXPECT_EQ(Shot().GetPixel(p.X - o.X, p.Y - o.Y), RGB(10, 120, 200));
  EXPECT_EQ(SendMessage(bar, SB_SETBKCOLOR, 0, LPARAM(CLR_DEFAULT)), LRESULT(RGB(10, 120, 200)));
  EXPECT_EQ(Shot().GetPixel(p.X - o.X, p.Y - o.Y), GetSysColor(COLOR_BTNFACE));
}

TEST_F(StatusBarTest, GoldenPanelsAndGrip) {
  HWND win = SizeableTop(360, 140);
  HWND bar = Bar(win, SBARS_SIZEGRIP);
  SetParts(bar, {90, 230, -1});
  SetText(bar, 0, "Готово");
  SetText(bar, 1, "\tпо центру", SBT_POPOUT);
  SetText(bar, 2, "справа\t\t640 × 480", SBT_NOBORDERS);
  TRect wr, br;
  GetWindowRect(win, &wr);
  GetWindowRect(bar, &br);
  TBitmap shot = ShotOfWindow(win);
  TBitmap out(br.Width(), br.Height() + 4);
  TDC dc(out);
  dc.BitBlt(0, 0, out.Width(), out.Height(), shot, br.Left - wr.Left, br.Top - wr.Top - 4);
  Golden("statusbar-panels-grip", out);
  // A part text too long for its part ends in "..." inside the part.
  SetText(bar, 0, "Очень длинный текст, который не помещается");
  shot = ShotOfWindow(win);
  dc.BitBlt(0, 0, out.Width(), out.Height(), shot, br.Left - wr.Left, br.Top - wr.Top - 4);
  Golden("statusbar-panels-ellipsis", out);
}

TEST_F(StatusBarTest, GoldenSimpleAndChild) {
  HWND bar = Bar(parent);
  SetParts(bar, {100, -1});
  SetText(bar, int(SB_SIMPLEID), "Простой режим: одна строка на всю ширину");
  SendMessage(bar, SB_SIMPLE, 1);
  TRect br = RectIn(bar);
  Golden("statusbar-simple", ShotOf(Rect(br.Left, br.Top - 4, br.Right, br.Bottom)));
  SendMessage(bar, SB_SIMPLE, 0);
  SetText(bar, 0, "");
  SetText(bar, 1, "Часть 1");
  CreateWindowEx(0, WC_STATIC, "1 234 КБ", WS_CHILD | WS_VISIBLE | SS_LEFT, 3, 3, 70, 13, bar, 5);
  Golden("statusbar-child", ShotOf(Rect(br.Left, br.Top - 4, br.Right, br.Bottom)));
}

}  // namespace
}  // namespace vm::test
