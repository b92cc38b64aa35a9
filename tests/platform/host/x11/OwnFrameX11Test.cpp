// The window system on the X11 host, against a private Xvfb without a window
// manager, with a top-level window that hit-tests its caption itself (as a
// skinned frame does): its window region becomes the X window's bounding
// shape rectangle for rectangle and goes away with the region, a drag of its
// own caption moves the X window, its caption elements get their non-client
// messages, and Alt+Space typed on the X keyboard asks it for the keyboard
// menu with a space. A second connection plays the input devices and reads
// the server's state.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/host/x11/X11Host.h"
#include "platform/win/WinApi.h"
#include "tests/platform/host/x11/XvfbServer.h"

// Xlib last: its macros (None, Bool, FocusIn, ...) clash with names above.
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>

namespace vm {
namespace {

struct TSeen {
  UINT Msg;
  WPARAM W;
  LPARAM L;
};
std::vector<TSeen>& Seen() {
  static std::vector<TSeen> seen;
  return seen;
}

constexpr int Band = 30;  // the window's own caption band

LRESULT OwnCaptionProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_NCHITTEST: {
      TRect r;
      GetWindowRect(h, &r);
      TPoint p{GET_X_LPARAM(l) - r.Left, GET_Y_LPARAM(l) - r.Top};
      if (p.Y >= 0 && p.Y < Band && p.X >= 0 && p.X < r.Width())
        return p.X >= r.Width() - 26 && p.X < r.Width() - 4 ? HTCLOSE : HTCAPTION;
      return DefWindowProc(h, m, w, l);
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_SYSCOMMAND:
      Seen().push_back({m, w, l});
      if (m == WM_NCLBUTTONDOWN && w == HTCAPTION) return DefWindowProc(h, m, w, l);
      if (m == WM_SYSCOMMAND && (w & 0xFFF0) != SC_KEYMENU) return DefWindowProc(h, m, w, l);
      return 0;
  }
  return DefWindowProc(h, m, w, l);
}

class OwnFrameX11Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new test::TXvfbServer(800, 600); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    if (!server_->Running()) GTEST_SKIP() << server_->Error();
    host_ = std::make_unique<TX11Host>(server_->Display().c_str());
    SetHost(host_.get());
    desk_ = XOpenDisplay(server_->Display().c_str());
    ASSERT_NE(desk_, nullptr);
    Seen().clear();
    WNDCLASS wc;
    wc.lpszClassName = "OwnCaption";
    wc.lpfnWndProc = &OwnCaptionProc;
    wc.hbrBackground = RGB(0x20, 0x40, 0x60);
    RegisterClass(wc);
    h_ = CreateWindowEx(0, "OwnCaption", "Своя рамка", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                        nullptr);
    ShowWindow(h_, SW_SHOW);
    xw_ = ::Window(host_->XWindowOf(GetHostWindow(h_)));
    ASSERT_TRUE(PumpUntil([&] {
      XWindowAttributes a{};
      XGetWindowAttributes(desk_, xw_, &a);
      return a.map_state == IsViewable;
    }));
  }
  void TearDown() override {
    if (h_ && IsWindow(h_)) DestroyWindow(h_);
    UnregisterClass("OwnCaption");
    if (desk_) XCloseDisplay(desk_);
    SetHost(nullptr);
    host_.reset();
  }

  // Runs the host and the messages until pred holds or about two seconds passed.
  template <class P>
  bool PumpUntil(P pred) {
    for (int i = 0; i < 200; ++i) {
      host_->Flush();
      XSync(desk_, False);
      host_->WaitEvents(10);
      ProcessPendingMessages();
      if (pred()) return true;
    }
    return false;
  }

  // Where the X server has the window (its top-left corner on the root).
  TPoint XPos() {
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(desk_, xw_, DefaultRootWindow(desk_), 0, 0, &x, &y, &child);
    return {x, y};
  }

  void Button(int type, int rootX, int rootY, unsigned state) {
    TPoint o = XPos();
    XEvent ev{};
    ev.xbutton.type = type;
    ev.xbutton.window = xw_;
    ev.xbutton.root = DefaultRootWindow(desk_);
    ev.xbutton.x = rootX - o.X;
    ev.xbutton.y = rootY - o.Y;
    ev.xbutton.x_root = rootX;
    ev.xbutton.y_root = rootY;
    ev.xbutton.button = Button1;
    ev.xbutton.state = state;
    ev.xbutton.same_screen = True;
    XSendEvent(desk_, xw_, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &ev);
    XSync(desk_, False);
  }
  void Motion(int rootX, int rootY) {
    TPoint o = XPos();
    XEvent ev{};
    ev.xmotion.type = MotionNotify;
    ev.xmotion.window = xw_;
    ev.xmotion.root = DefaultRootWindow(desk_);
    ev.xmotion.x = rootX - o.X;
    ev.xmotion.y = rootY - o.Y;
    ev.xmotion.x_root = rootX;
    ev.xmotion.y_root = rootY;
    ev.xmotion.state = Button1Mask;
    ev.xmotion.same_screen = True;
    XSendEvent(desk_, xw_, False, PointerMotionMask | ButtonMotionMask, &ev);
    XSync(desk_, False);
  }
  void KeyEvent(int type, KeySym sym, unsigned state) {
    XEvent ev{};
    ev.xkey.type = type;
    ev.xkey.window = xw_;
    ev.xkey.root = DefaultRootWindow(desk_);
    ev.xkey.keycode = XKeysymToKeycode(desk_, sym);
    ev.xkey.state = state;
    ev.xkey.same_screen = True;
    XSendEvent(desk_, xw_, False, type == KeyPress ? KeyPressMask : KeyReleaseMask, &ev);
    XSync(desk_, False);
  }

  static test::TXvfbServer* server_;
  std::unique_ptr<TX11Host> host_;
  ::Display* desk_ = nullptr;
  HWND h_ = nullptr;
  ::Window xw_ = 0;
};

test::TXvfbServer* OwnFrameX11Test::server_ = nullptr;

// A dialog places its focus before it is shown: the desktop cannot give the
// keyboard focus to an unmapped window, so the request is made again when the
// active window appears (without a window manager the focus would otherwise
// stay on the disabled owner).
TEST_F(OwnFrameX11Test, AWindowActivatedWhileHiddenGetsTheKeyboardFocusOnceShown) {
  ASSERT_TRUE(PumpUntil([&] {
    ::Window f = 0;
    int revert = 0;
    XGetInputFocus(desk_, &f, &revert);
    return f == xw_;
  }));
  HWND dlg = CreateWindowEx(0, "OwnCaption", "Диалог", WS_POPUP | WS_CAPTION | WS_SYSMENU, 150, 150,
                            200, 100, h_);
  SetFocus(dlg);
  EXPECT_EQ(GetActiveWindow(), dlg);
  EnableWindow(h_, false);
  ShowWindow(dlg, SW_SHOW);
  const ::Window dx = ::Window(host_->XWindowOf(GetHostWindow(dlg)));
  EXPECT_TRUE(PumpUntil([&] {
    ::Window f = 0;
    int revert = 0;
    XGetInputFocus(desk_, &f, &revert);
    return f == dx;
  }));
  EnableWindow(h_, true);
  DestroyWindow(dlg);
}

TEST_F(OwnFrameX11Test, TheWindowRegionIsTheBoundingShapeUntilRemoved) {
  // Two pixels cut at each top corner, three at each bottom corner.
  TRegion rgn(Rect(0, 0, 300, 200));
  for (TRect cut : {Rect(0, 0, 2, 1), Rect(0, 1, 1, 2), Rect(298, 0, 300, 1), Rect(299, 1, 300, 2),
                    Rect(0, 197, 1, 200), Rect(1, 199, 3, 200), Rect(297, 199, 300, 200),
                    Rect(299, 197, 300, 199)})
    rgn.Subtract(TRegion(cut));
  SetWindowRgn(h_, &rgn, true);
  TRegion shaped;
  ASSERT_TRUE(PumpUntil([&] {
    int count = 0, ordering = 0;
    XRectangle* r = XShapeGetRectangles(desk_, xw_, ShapeBounding, &count, &ordering);
    shaped = TRegion();
    for (int i = 0; i < count; ++i)
      shaped.Union(TRegion(Bounds(r[i].x, r[i].y, r[i].width, r[i].height)));
    if (r) XFree(r);
    return shaped == rgn;
  })) << "the bounding shape is not the region";

  SetWindowRgn(h_, nullptr, true);
  ASSERT_TRUE(PumpUntil([&] {
    Bool bounding = True, clip = False;
    int x = 0, y = 0, cx = 0, cy = 0;
    unsigned wb = 0, hb = 0, wc = 0, hc = 0;
    XShapeQueryExtents(desk_, xw_, &bounding, &x, &y, &wb, &hb, &clip, &cx, &cy, &wc, &hc);
    return !bounding;
  })) << "the window is still shaped";
}

TEST_F(OwnFrameX11Test, ADragOfTheOwnCaptionMovesTheXWindow) {
  ASSERT_EQ(XPos(), (TPoint{100, 100}));
  // 27 pixels down: client area to the platform's frame, caption to this one.
  Button(ButtonPress, 250, 127, 0);
  ASSERT_TRUE(PumpUntil([&] { return GetCapture() == h_; }));
  for (int i = 1; i <= 4; ++i) Motion(250 + 10 * i, 127 + 5 * i);
  Button(ButtonRelease, 290, 147, Button1Mask);
  ASSERT_TRUE(PumpUntil([&] {
    return XPos() == TPoint{140, 120} && GetCapture() == nullptr;
  })) << "the X window is at "
      << XPos().X << "," << XPos().Y;
  TRect r;
  GetWindowRect(h_, &r);
  EXPECT_EQ(r, Bounds(140, 120, 300, 200));
  ASSERT_FALSE(Seen().empty());
  EXPECT_EQ(Seen()[0].Msg, UINT(WM_NCLBUTTONDOWN));
  EXPECT_EQ(Seen()[0].W, WPARAM(HTCAPTION));
}

TEST_F(OwnFrameX11Test, CloseElementAndAltSpaceReachTheWindow) {
  Button(ButtonPress, 100 + 300 - 15, 115, 0);
  Button(ButtonRelease, 100 + 300 - 15, 115, Button1Mask);
  ASSERT_TRUE(PumpUntil([&] { return Seen().size() >= 2; }));
  EXPECT_EQ(Seen()[0].Msg, UINT(WM_NCLBUTTONDOWN));
  EXPECT_EQ(Seen()[0].W, WPARAM(HTCLOSE));
  EXPECT_EQ(Seen()[1].Msg, UINT(WM_NCLBUTTONUP));
  EXPECT_EQ(Seen()[1].W, WPARAM(HTCLOSE));

  // Keys go to the window that has the X focus.
  XSetInputFocus(desk_, xw_, RevertToParent, CurrentTime);
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == h_; }));
  Seen().clear();
  KeyEvent(KeyPress, XK_Alt_L, 0);
  KeyEvent(KeyPress, XK_space, Mod1Mask);
  KeyEvent(KeyRelease, XK_space, Mod1Mask);
  KeyEvent(KeyRelease, XK_Alt_L, Mod1Mask);
  ASSERT_TRUE(PumpUntil([&] { return !Seen().empty(); }));
  EXPECT_EQ(Seen()[0].Msg, UINT(WM_SYSCOMMAND));
  EXPECT_EQ(Seen()[0].W & 0xFFF0, WPARAM(SC_KEYMENU));
  EXPECT_EQ(Seen()[0].L, LPARAM(' '));
}

}  // namespace
}  // namespace vm
