// A top-level window that draws and hit-tests its frame itself, the way a
// skinned frame does by subclassing: it answers WM_NCHITTEST with its own
// caption elements (a caption band taller than the platform's), paints
// WM_NCPAINT and WM_NCACTIVATE itself and handles the caption's mouse
// messages. The platform must deliver every message such a frame relies on,
// move the window on a drag of its caption, run the system commands, stop
// drawing and tracking its own caption buttons once WS_SYSMENU is gone, turn
// a window region into the host's shape and paint the whole window through a
// window context or WM_PRINT.
#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "platform/gfx/SysColors.h"

namespace vm::test {
namespace {

constexpr int Band = 30;  // the self-drawn caption band (the platform's is 23 high)
constexpr TColor FrameInk = RGB(0xC0, 0x30, 0x90);
constexpr TColor FrameInkInactive = RGB(0x60, 0x60, 0x60);

struct TFrameState {
  bool Active = true;
  int NcPaints = 0;
};
TFrameState& Frame() {
  static TFrameState s;
  return s;
}

TRect OwnCloseRect(int width) {
  return {width - 26, 4, width - 4, 26};
}
TRect OwnMinRect(int width) {
  return {width - 50, 4, width - 28, 26};
}

void PaintOwnFrame(HWND h, HDC dc) {
  TRect wr;
  GetWindowRect(h, &wr);
  TRect all = Rect(0, 0, wr.Width(), wr.Height());
  TDCSaver save(*dc);
  TRect client;
  GetClientRect(h, &client);
  TPoint o{0, 0};
  ClientToScreen(h, &o);
  dc->ExcludeClipRect(client.Offset(o.X - wr.Left, o.Y - wr.Top));
  dc->FillRect(all, Frame().Active ? FrameInk : FrameInkInactive);
}

LRESULT OwnFrameProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  Log().push_back({h, m, w, l});
  switch (m) {
    case WM_NCHITTEST: {
      TRect r;
      GetWindowRect(h, &r);
      TPoint p{GET_X_LPARAM(l) - r.Left, GET_Y_LPARAM(l) - r.Top};
      if (p.Y >= 0 && p.Y < Band && p.X >= 0 && p.X < r.Width()) {
        if (p.X >= 4 && p.X < 20) return HTSYSMENU;
        if (OwnCloseRect(r.Width()).Contains(p)) return HTCLOSE;
        if (OwnMinRect(r.Width()).Contains(p)) return HTMINBUTTON;
        return HTCAPTION;
      }
      return DefWindowProc(h, m, w, l);
    }
    case WM_NCPAINT: {
      ++Frame().NcPaints;
      HDC dc = GetWindowDC(h);
      PaintOwnFrame(h, dc);
      ReleaseDC(h, dc);
      return 0;
    }
    case WM_NCACTIVATE: {
      Frame().Active = w != 0;
      HDC dc = GetWindowDC(h);
      PaintOwnFrame(h, dc);
      ReleaseDC(h, dc);
      return 1;
    }
    case WM_NCMOUSEMOVE: {
      TRACKMOUSEEVENT t;
      t.dwFlags = TME_LEAVE | TME_NONCLIENT;
      t.hwndTrack = h;
      TrackMouseEvent(&t);
      return 0;
    }
    case WM_MOUSEMOVE: {
      TRACKMOUSEEVENT t;
      t.dwFlags = TME_LEAVE;
      t.hwndTrack = h;
      TrackMouseEvent(&t);
      return 0;
    }
    case WM_NCLBUTTONDOWN:
      // The caption itself is the platform's to drag; the elements are the frame's.
      if (w == HTCAPTION) return DefWindowProc(h, m, w, l);
      return 0;
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
      return 0;
    case WM_SYSCOMMAND:
      // The frame opens its own menu for Alt+Space.
      if ((w & 0xFFF0) == SC_KEYMENU && l == ' ') return 0;
      return DefWindowProc(h, m, w, l);
    case WM_PRINT:
      if (w && (l & PRF_NONCLIENT)) PaintOwnFrame(h, reinterpret_cast<HDC>(w));
      return DefWindowProc(h, m, w, l & ~PRF_NONCLIENT);
  }
  return DefWindowProc(h, m, w, l);
}

class OwnFrameTest : public TWinTest {
 protected:
  void SetUp() override {
    TWinTest::SetUp();
    Frame() = {};
    WNDCLASS wc;
    wc.lpszClassName = "OwnFrame";
    wc.lpfnWndProc = &OwnFrameProc;
    wc.hbrBackground = RGB(0x20, 0x40, 0x60);
    wc.style = CS_DBLCLKS;
    RegisterClass(wc);
    h = MakeTop(100, 100, 300, 200, WS_OVERLAPPEDWINDOW, "OwnFrame");
    ShowWindow(h, SW_SHOW);
    Pump();
    Log().clear();
  }
  void TearDown() override {
    if (IsWindow(h)) DestroyWindow(h);
    TWinTest::TearDown();
    UnregisterClass("OwnFrame");
  }
  // Non-client mouse messages of the window, with their hit codes.
  std::vector<std::pair<UINT, WPARAM>> NcMouse() {
    std::vector<std::pair<UINT, WPARAM>> out;
    for (const TLogged& e : Log())
      if (e.Hwnd == h && ((e.Msg >= WM_NCLBUTTONDOWN && e.Msg <= WM_NCMBUTTONDBLCLK) ||
                          e.Msg == WM_NCMOUSELEAVE || e.Msg == WM_MOUSELEAVE))
        out.emplace_back(e.Msg, e.Msg == WM_NCMOUSELEAVE || e.Msg == WM_MOUSELEAVE ? 0 : e.W);
    return out;
  }
  std::vector<WPARAM> SysCommands() {
    std::vector<WPARAM> out;
    for (const TLogged& e : Log())
      if (e.Hwnd == h && e.Msg == WM_SYSCOMMAND) out.push_back(e.W & 0xFFF0);
    return out;
  }
  TColor ScreenPixel(int x, int y) { return host.Screenshot().GetPixel(x, y); }

  HWND h = nullptr;
};

using TMsgs = std::vector<std::pair<UINT, WPARAM>>;

TEST_F(OwnFrameTest, CaptionElementsGetTheirNonClientMessagesAndLeaves) {
  // The frame, not the platform, shows at the top; its caption band reaches
  // 26 pixels down, into what the platform counts as client area.
  EXPECT_EQ(ScreenPixel(200, 110), FrameInk);
  EXPECT_GT(Frame().NcPaints, 0);

  const int closeX = 100 + 300 - 15, minX = 100 + 300 - 39, y = 100 + 15;
  host.Click(closeX, y);
  host.Click(minX, y);
  host.Click(110, y);  // the icon
  host.Click(200, 100 + 26, THostButton::Right);
  Pump();
  EXPECT_EQ(NcMouse(), (TMsgs{{WM_NCLBUTTONDOWN, HTCLOSE},
                              {WM_NCLBUTTONUP, HTCLOSE},
                              {WM_NCLBUTTONDOWN, HTMINBUTTON},
                              {WM_NCLBUTTONUP, HTMINBUTTON},
                              {WM_NCLBUTTONDOWN, HTSYSMENU},
                              {WM_NCLBUTTONUP, HTSYSMENU},
                              {WM_NCRBUTTONDOWN, HTCAPTION},
                              {WM_NCRBUTTONUP, HTCAPTION}}));
  // The frame kept those presses: the platform neither closed nor minimised.
  EXPECT_TRUE(IsWindow(h));
  EXPECT_FALSE(IsIconic(h));
  EXPECT_EQ(GetCapture(), nullptr);

  // Two quick presses on the caption: the second is a double click (the
  // first one's drag has ended with its release).
  Log().clear();
  host.DoubleClick(250, 100 + 26);
  Pump();
  EXPECT_EQ(NcMouse(), (TMsgs{{WM_NCLBUTTONDOWN, HTCAPTION},
                              {WM_NCLBUTTONDBLCLK, HTCAPTION},
                              {WM_NCLBUTTONUP, HTCAPTION}}));

  // Leaves: caption to client ends the non-client tracking, client to the
  // desktop ends the client's, and leaving from the caption straight to the
  // desktop ends the non-client one.
  host.MouseMove(200, 110);
  Pump();
  Log().clear();
  host.MouseMove(200, 200);
  Pump();
  EXPECT_EQ(NcMouse(), (TMsgs{{WM_NCMOUSELEAVE, 0}}));
  Log().clear();
  host.MouseMove(700, 700);
  Pump();
  EXPECT_EQ(NcMouse(), (TMsgs{{WM_MOUSELEAVE, 0}}));
  host.MouseMove(200, 110);
  Pump();
  Log().clear();
  host.MouseMove(200, 20);
  Pump();
  EXPECT_EQ(NcMouse(), (TMsgs{{WM_NCMOUSELEAVE, 0}}));
}

TEST_F(OwnFrameTest, ADragOfTheOwnCaptionMovesTheWindow) {
  // From a point the platform's frame counts as client area.
  host.Drag({250, 100 + 27}, {290, 100 + 57}, 4);
  Pump();
  TRect r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, Bounds(140, 130, 300, 200));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(ScreenPixel(141, 131), FrameInk);
  EXPECT_EQ(ScreenPixel(101, 101), GetSysColor(COLOR_BACKGROUND));
}

TEST_F(OwnFrameTest, ActivationAsksTheFrameForBothLooks) {
  HWND other = MakeTop(600, 100, 200, 100);
  ShowWindow(other, SW_SHOW);
  Pump();
  std::vector<WPARAM> nc;
  for (const TLogged& e : Log())
    if (e.Hwnd == h && e.Msg == WM_NCACTIVATE) nc.push_back(e.W);
  EXPECT_EQ(nc, std::vector<WPARAM>{0});
  EXPECT_EQ(ScreenPixel(200, 110), FrameInkInactive);

  Log().clear();
  host.Click(200, 110);
  Pump();
  nc.clear();
  for (const TLogged& e : Log())
    if (e.Hwnd == h && e.Msg == WM_NCACTIVATE) nc.push_back(e.W);
  EXPECT_EQ(nc, std::vector<WPARAM>{1});
  EXPECT_EQ(GetActiveWindow(), h);
  EXPECT_EQ(ScreenPixel(200, 110), FrameInk);
  // A caption text change repaints through WM_NCPAINT, so the frame stays its own.
  SetWindowText(h, "Другой заголовок");
  Pump();
  EXPECT_EQ(ScreenPixel(200, 110), FrameInk);
}

TEST_F(OwnFrameTest, AltSpaceAsksForTheKeyboardMenuAndSystemCommandsRun) {
  host.KeyDown(VK_MENU);
  host.Key(VK_SPACE);
  host.KeyUp(VK_MENU);
  Pump();
  std::vector<std::pair<WPARAM, LPARAM>> keyMenus;
  for (const TLogged& e : Log())
    if (e.Hwnd == h && e.Msg == WM_SYSCOMMAND) keyMenus.emplace_back(e.W & 0xFFF0, e.L);
  EXPECT_EQ(keyMenus, (std::vector<std::pair<WPARAM, LPARAM>>{{SC_KEYMENU, ' '}}));

  // The frame removes WS_SYSMENU while it draws its own buttons; the system
  // commands still work without it and without the boxes.
  SetWindowLongPtr(
      h, GWL_STYLE,
      GetWindowLongPtr(h, GWL_STYLE) & ~(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  SendMessage(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_TRUE(IsZoomed(h));
  TRect r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.Width(), host.WorkArea().Width() + 8);  // the sizing border lies outside
  SendMessage(h, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsZoomed(h));
  GetWindowRect(h, &r);
  EXPECT_EQ(r, Bounds(100, 100, 300, 200));
  SendMessage(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump();
  EXPECT_TRUE(IsIconic(h));
  EXPECT_TRUE(host.Native(GetHostWindow(h))->Minimized);
  SendMessage(h, WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump();
  EXPECT_FALSE(IsIconic(h));
  EXPECT_FALSE(host.Native(GetHostWindow(h))->Minimized);
  SendMessage(h, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(SysCommands(), (std::vector<WPARAM>{SC_KEYMENU, SC_MAXIMIZE, SC_RESTORE, SC_MINIMIZE,
                                                SC_RESTORE, SC_CLOSE}));
}

TEST_F(OwnFrameTest, WithoutTheSystemMenuStyleThePlatformHasNoCaptionButtons) {
  // A window of the platform's own frame: its close button hits and tracks.
  HWND plain = MakeTop(500, 300, 300, 200);
  ShowWindow(plain, SW_SHOW);
  Pump();
  const int closeX = 500 + 300 - 4 - 2 - 8, y = 300 + 4 + 2 + 7;
  EXPECT_EQ(SendMessage(plain, WM_NCHITTEST, 0, MAKELPARAM(closeX, y)), HTCLOSE);
  TColor withButton = ScreenPixel(closeX - 7, y);

  SetWindowLongPtr(plain, GWL_STYLE, GetWindowLongPtr(plain, GWL_STYLE) & ~WS_SYSMENU);
  RedrawWindow(plain, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  EXPECT_EQ(SendMessage(plain, WM_NCHITTEST, 0, MAKELPARAM(closeX, y)), HTCAPTION);
  EXPECT_NE(ScreenPixel(closeX - 7, y), withButton);
  // A close press handed on to the platform (a frame that passes the
  // message on) neither captures the mouse nor closes the window.
  SendMessage(plain, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(closeX, y));
  EXPECT_EQ(GetCapture(), nullptr);
  host.MouseMove(closeX, y);
  host.MouseUp();
  Pump();
  EXPECT_TRUE(IsWindow(plain));
  DestroyWindow(plain);
}

TEST_F(OwnFrameTest, TheWindowRegionIsTheHostsShapeUntilRemoved) {
  // Rounded top corners: two pixels cut at each top corner.
  TRegion rgn(Rect(0, 0, 300, 200));
  rgn.Subtract(TRegion(Rect(0, 0, 2, 1)));
  rgn.Subtract(TRegion(Rect(0, 1, 1, 2)));
  rgn.Subtract(TRegion(Rect(298, 0, 300, 1)));
  rgn.Subtract(TRegion(Rect(299, 1, 300, 2)));
  SetWindowRgn(h, &rgn, true);
  Pump();
  const auto* native = host.Native(GetHostWindow(h));
  TRegion shape;
  for (const TRect& r : native->Shape) shape.Union(TRegion(r));
  EXPECT_TRUE(shape == rgn);
  // The cut corners show the desktop and let the mouse through.
  TColor desk = GetSysColor(COLOR_BACKGROUND);
  EXPECT_EQ(ScreenPixel(100, 100), desk);
  EXPECT_EQ(ScreenPixel(100, 101), desk);
  EXPECT_EQ(ScreenPixel(101, 101), FrameInk);
  EXPECT_EQ(ScreenPixel(399, 101), desk);
  EXPECT_EQ(WindowFromPoint({100, 100}), nullptr);
  EXPECT_EQ(WindowFromPoint({102, 100}), h);

  // The region moves with the window and survives a size change.
  SetWindowPos(h, nullptr, 50, 60, 320, 220, SWP_NOZORDER);
  Pump();
  EXPECT_EQ(ScreenPixel(50, 60), desk);
  shape = TRegion();
  for (const TRect& r : native->Shape) shape.Union(TRegion(r));
  EXPECT_TRUE(shape == rgn);

  SetWindowRgn(h, nullptr, true);
  Pump();
  EXPECT_TRUE(native->Shape.empty());
  EXPECT_EQ(ScreenPixel(50, 60), FrameInk);
  EXPECT_EQ(WindowFromPoint({50, 60}), h);
}

TEST_F(OwnFrameTest, WindowContextAndPrintCoverTheWholeWindow) {
  // A window context reaches every pixel of the window, frame and client.
  HDC dc = GetWindowDC(h);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(dc->ClipBox(), Rect(0, 0, 300, 200));
  dc->FillRect(Rect(0, 0, 300, 200), RGB(1, 2, 3));
  ReleaseDC(h, dc);
  Pump();
  EXPECT_EQ(ScreenPixel(100, 100), RGB(1, 2, 3));
  EXPECT_EQ(ScreenPixel(250, 200), RGB(1, 2, 3));
  EXPECT_EQ(ScreenPixel(399, 299), RGB(1, 2, 3));

  // WM_PRINT into a memory context of the window's size: the frame's own
  // pixels at the top, the client's background at the client's place.
  TBitmap bmp(300, 200);
  bmp.Fill(RGB(9, 9, 9));
  TDC mem(bmp);
  SendMessage(h, WM_PRINT, WPARAM(reinterpret_cast<std::uintptr_t>(&mem)),
              PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  TRect client;
  GetClientRect(h, &client);
  TPoint o{0, 0};
  ClientToScreen(h, &o);
  EXPECT_EQ(bmp.GetPixel(5, 5), FrameInk);
  EXPECT_EQ(bmp.GetPixel(299, 199), FrameInk);
  EXPECT_EQ(bmp.GetPixel(o.X - 100 + 5, o.Y - 100 + 5), RGB(0x20, 0x40, 0x60));
}

}  // namespace
}  // namespace vm::test