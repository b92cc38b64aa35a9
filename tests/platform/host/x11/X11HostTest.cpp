// The X11 host against a private Xvfb: window hints, presenting, exposes,
// shapes and the translation of X events into host events. A second
// connection plays the desktop: it reads properties and pixels and sends
// events the way a window manager or an input device would.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/HostKeys.h"
#include "platform/host/x11/X11Host.h"
#include "platform/host/x11/X11Keyboard.h"
#include "tests/platform/host/x11/XvfbServer.h"

namespace vm {
namespace {
// Xlib's macros FocusIn and FocusOut would hide these names below.
constexpr THostEvent::TKind KindFocusIn = THostEvent::TKind::FocusIn;
constexpr THostEvent::TKind KindFocusOut = THostEvent::TKind::FocusOut;
constexpr THostEvent::TKind KindExpose = THostEvent::TKind::Expose;
}  // namespace
}  // namespace vm

// Xlib last: its macros (None, Bool, FocusIn, ...) clash with names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>

namespace vm {
namespace {

using TKind = THostEvent::TKind;

class TRecorder : public THostSink {
 public:
  void HostEvent(const THostEvent& e) override { Events.push_back(e); }
  std::vector<THostEvent> Of(TKind kind) const {
    std::vector<THostEvent> out;
    for (const auto& e : Events)
      if (e.Kind == kind) out.push_back(e);
    return out;
  }
  std::vector<THostEvent> Events;
};

class X11HostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new test::TXvfbServer(800, 600); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    if (!server_->Running()) GTEST_SKIP() << server_->Error();
    host_ = std::make_unique<TX11Host>(server_->Display().c_str());
    host_->SetSink(&events_);
    desk_ = XOpenDisplay(server_->Display().c_str());
    ASSERT_NE(desk_, nullptr);
  }
  void TearDown() override {
    host_.reset();
    if (desk_) XCloseDisplay(desk_);
  }

  // Waits until the server has carried out the host's requests, then the
  // desk's own: the two connections are not ordered with each other.
  void Settle() {
    host_->Flush();
    XSync(desk_, False);
  }

  ::Window X(THostWindow w) const { return ::Window(host_->XWindowOf(w)); }
  Atom A(const char* name) const { return XInternAtom(desk_, name, False); }

  // Long values of a format-32 property (empty when missing).
  std::vector<long> Longs(::Window w, const char* name) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(desk_, w, A(name), 0, 1 << 20, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
      if (format == 32) {
        const long* v = reinterpret_cast<const long*>(data);
        out.assign(v, v + count);
      }
      XFree(data);
    }
    return out;
  }
  std::string Bytes(::Window w, const char* name, Atom* typeOut = nullptr) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(desk_, w, A(name), 0, 1 << 20, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
      if (format == 8) out.assign(reinterpret_cast<char*>(data), count);
      XFree(data);
    }
    if (typeOut) *typeOut = type;
    return out;
  }

  // Pumps the host until pred holds or about two seconds have passed.
  template <class P>
  bool PumpUntil(P pred) {
    for (int i = 0; i < 200; ++i) {
      XSync(desk_, False);
      host_->WaitEvents(10);
      if (pred()) return true;
    }
    return false;
  }

  THostWindow Shown(THostWindowParams p) {
    THostWindow w = host_->CreateNativeWindow(p);
    host_->ShowNativeWindow(w, true);
    XWindowAttributes a{};
    PumpUntil([&] {
      XGetWindowAttributes(desk_, X(w), &a);
      return a.map_state == IsViewable;
    });
    return w;
  }

  TColor ScreenPixel(::Window w, int x, int y) {
    XImage* img = XGetImage(desk_, w, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0xFFFFFFFF;
    unsigned long p = XGetPixel(img, 0, 0);
    XDestroyImage(img);
    return RGB(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
  }

  // A white window over the top-left 200 x 200 pixels of the screen, mapped
  // and raised; removing it exposes what it covered.
  ::Window MapCover() {
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.background_pixel = 0xFFFFFF;
    ::Window cover =
        XCreateWindow(desk_, DefaultRootWindow(desk_), 0, 0, 200, 200, 0, CopyFromParent,
                      InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
    XMapRaised(desk_, cover);
    XSync(desk_, False);
    return cover;
  }
  void RemoveCover(::Window cover) {
    XDestroyWindow(desk_, cover);
    XSync(desk_, False);
  }

  void Send(::Window w, XEvent ev, long mask) {
    XSendEvent(desk_, w, False, mask, &ev);
    XSync(desk_, False);
  }

  static test::TXvfbServer* server_;
  std::unique_ptr<TX11Host> host_;
  TRecorder events_;
  ::Display* desk_ = nullptr;
};

test::TXvfbServer* X11HostTest::server_ = nullptr;

TEST_F(X11HostTest, TopLevelWindowsAreUndecoratedWithUtf8TitlesAndTheirKind) {
  const std::string title = "Velmora \xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE";  // "Velmora Фото"
  THostWindow main = host_->CreateNativeWindow({Bounds(10, 20, 300, 200), title});
  THostWindow dialog = host_->CreateNativeWindow(
      {Bounds(40, 40, 120, 80), "Quality", THostWindowKind::Dialog, main});
  THostWindow menu =
      host_->CreateNativeWindow({Bounds(50, 50, 100, 60), "", THostWindowKind::PopupMenu});
  THostWindow hint =
      host_->CreateNativeWindow({Bounds(60, 60, 80, 20), "", THostWindowKind::Tooltip});
  Settle();

  EXPECT_EQ(Longs(X(main), "_MOTIF_WM_HINTS"), (std::vector<long>{2, 0, 0, 0, 0}));
  Atom type = 0;
  EXPECT_EQ(Bytes(X(main), "_NET_WM_NAME", &type), title);
  EXPECT_EQ(type, A("UTF8_STRING"));
  EXPECT_EQ(Longs(X(main), "_NET_WM_WINDOW_TYPE"),
            (std::vector<long>{long(A("_NET_WM_WINDOW_TYPE_NORMAL"))}));
  EXPECT_TRUE(Longs(X(main), "_NET_WM_STATE").empty());
  ::Window owner = 0;
  EXPECT_FALSE(XGetTransientForHint(desk_, X(main), &owner));
  std::vector<long> protocols = Longs(X(main), "WM_PROTOCOLS");
  EXPECT_NE(std::find(protocols.begin(), protocols.end(), long(A("WM_DELETE_WINDOW"))),
            protocols.end());

  // Owned windows: transient for the owner, a dialog, no taskbar entry.
  ASSERT_TRUE(XGetTransientForHint(desk_, X(dialog), &owner));
  EXPECT_EQ(owner, X(main));
  EXPECT_EQ(Longs(X(dialog), "_NET_WM_WINDOW_TYPE"),
            (std::vector<long>{long(A("_NET_WM_WINDOW_TYPE_DIALOG"))}));
  EXPECT_EQ(Longs(X(dialog), "_NET_WM_STATE"),
            (std::vector<long>{long(A("_NET_WM_STATE_SKIP_TASKBAR"))}));

  // Pop-ups bypass the window manager.
  XWindowAttributes attrs{};
  XGetWindowAttributes(desk_, X(menu), &attrs);
  EXPECT_TRUE(attrs.override_redirect);
  EXPECT_EQ(Longs(X(menu), "_NET_WM_WINDOW_TYPE"),
            (std::vector<long>{long(A("_NET_WM_WINDOW_TYPE_POPUP_MENU"))}));
  XGetWindowAttributes(desk_, X(hint), &attrs);
  EXPECT_TRUE(attrs.override_redirect);
  EXPECT_EQ(Longs(X(hint), "_NET_WM_WINDOW_TYPE"),
            (std::vector<long>{long(A("_NET_WM_WINDOW_TYPE_TOOLTIP"))}));
  XGetWindowAttributes(desk_, X(main), &attrs);
  EXPECT_FALSE(attrs.override_redirect);

  // A dialog that loses its owner and becomes a main window gets its
  // taskbar entry back.
  host_->SetNativeKind(dialog, THostWindowKind::Normal);
  host_->SetNativeTitle(dialog, "Renamed");
  Settle();
  EXPECT_FALSE(XGetTransientForHint(desk_, X(dialog), &owner));
  EXPECT_TRUE(Longs(X(dialog), "_NET_WM_STATE").empty());
  EXPECT_EQ(Bytes(X(dialog), "_NET_WM_NAME"), "Renamed");

  // Destroyed windows are forgotten; their ids are not reused.
  host_->DestroyNativeWindow(hint);
  EXPECT_EQ(host_->XWindowOf(hint), 0u);
  THostWindow again = host_->CreateNativeWindow({Bounds(0, 0, 10, 10), "x"});
  EXPECT_NE(again, hint);
  host_->DestroyNativeWindow(hint);  // a stale id is ignored
}

TEST_F(X11HostTest, IconIsAnArrayOfLongsWithArgbPixels) {
  THostWindow w = host_->CreateNativeWindow({Bounds(0, 0, 50, 50), "icon"});
  TBitmap icon(2, 2, TPixelFormat::pf32bit);
  icon.SetPixel(0, 0, RGB(0x11, 0x22, 0x33));
  icon.SetAlpha(0, 0, 0x80);
  icon.SetPixel(1, 1, RGB(0xFF, 0, 0));
  icon.SetAlpha(1, 1, 0xFF);
  host_->SetNativeIcon(w, icon);
  Settle();
  std::vector<long> v = Longs(X(w), "_NET_WM_ICON");
  ASSERT_EQ(v.size(), 6u);
  EXPECT_EQ(v[0], 2);
  EXPECT_EQ(v[1], 2);
  // Xlib hands format-32 values back sign-extended; the server keeps 32 bits.
  EXPECT_EQ(std::uint32_t(v[2]), 0x80112233u);
  EXPECT_EQ(std::uint32_t(v[3]), 0u);
  EXPECT_EQ(std::uint32_t(v[5]), 0xFFFF0000u);
  host_->SetNativeIcon(w, TBitmap());
  Settle();
  EXPECT_TRUE(Longs(X(w), "_NET_WM_ICON").empty());
}

TEST_F(X11HostTest, PresentShowsOnlyDirtyRectanglesAndExposeRestoresFromTheStore) {
  for (bool bottomUp : {false, true}) {
    SCOPED_TRACE(bottomUp ? "bottom-up store" : "top-down store");
    // Shared memory for one orientation, the socket for the other.
    host_ = std::make_unique<TX11Host>(server_->Display().c_str(), bottomUp);
    host_->SetSink(&events_);
    EXPECT_EQ(host_->UsesSharedMemory(), bottomUp);
    // 63 columns: rows end in a part of a four-pixel group.
    THostWindow w = Shown({Bounds(30, 30, 63, 48), "present"});
    TBitmap store(63, 48, TPixelFormat::pf24bit, bottomUp);
    store.Fill(RGB(0x10, 0x20, 0x30));
    store.SetPixel(0, 0, RGB(0xFF, 0, 0));
    store.SetPixel(62, 47, RGB(0, 0xFF, 0));
    host_->Present(w, store, {Bounds(0, 0, 63, 48)});
    host_->Flush();
    EXPECT_EQ(ScreenPixel(X(w), 0, 0), RGB(0xFF, 0, 0));
    EXPECT_EQ(ScreenPixel(X(w), 62, 47), RGB(0, 0xFF, 0));
    EXPECT_EQ(ScreenPixel(X(w), 5, 40), RGB(0x10, 0x20, 0x30));

    // Two changes, one reported dirty: only that one reaches the screen.
    store.SetPixel(10, 10, RGB(1, 2, 3));
    store.SetPixel(40, 30, RGB(4, 5, 6));
    host_->Present(w, store, {Bounds(8, 8, 4, 4)});
    host_->Flush();
    EXPECT_EQ(ScreenPixel(X(w), 10, 10), RGB(1, 2, 3));
    EXPECT_EQ(ScreenPixel(X(w), 40, 30), RGB(0x10, 0x20, 0x30));
    // Dirty rectangles reaching past the store are clipped, not trusted.
    host_->Present(w, store, {Rect(-100, -100, 1000, 1000)});
    host_->Flush();
    EXPECT_EQ(ScreenPixel(X(w), 40, 30), RGB(4, 5, 6));

    // Cover the window with another one and uncover it: the Expose is
    // answered from the host's copy, no Present in between.
    ::Window cover = MapCover();
    EXPECT_EQ(ScreenPixel(DefaultRootWindow(desk_), 30 + 10, 30 + 10), RGB(0xFF, 0xFF, 0xFF));
    RemoveCover(cover);
    events_.Events.clear();
    EXPECT_TRUE(PumpUntil(
        [&] { return ScreenPixel(DefaultRootWindow(desk_), 30 + 10, 30 + 10) == RGB(1, 2, 3); }));
    EXPECT_EQ(ScreenPixel(X(w), 62, 47), RGB(0, 0xFF, 0));
    host_->DestroyNativeWindow(w);
  }
}

TEST_F(X11HostTest, AStoreInTheServersOwnLayoutIsPresentedUnconvertedBothWays) {
  // The 24-bit visual keeps 32-bit pixels B, G, R, X: a 32-bit store has
  // that layout already. Through shared memory its rows are copied as they
  // are; through the socket they go out straight from the store and the host
  // keeps no copy, so an Expose asks the window system to present again.
  for (bool shm : {true, false}) {
    SCOPED_TRACE(shm ? "MIT-SHM" : "socket");
    host_ = std::make_unique<TX11Host>(server_->Display().c_str(), shm);
    host_->SetSink(&events_);
    THostWindow w = Shown({Bounds(30, 30, 61, 40), "same layout"});
    TBitmap store(61, 40, TPixelFormat::pf32bit);
    store.Fill(RGB(0x30, 0x60, 0x90));
    store.SetAlpha(3, 3, 0x7F);  // the X byte: ignored by the server
    store.SetPixel(60, 39, RGB(0xFE, 0x01, 0x80));
    host_->Present(w, store, {Bounds(0, 0, 61, 40)});
    host_->Flush();
    EXPECT_EQ(ScreenPixel(X(w), 3, 3), RGB(0x30, 0x60, 0x90));
    EXPECT_EQ(ScreenPixel(X(w), 60, 39), RGB(0xFE, 0x01, 0x80));

    // Only the dirty rectangle reaches the screen, clipped to the store.
    store.SetPixel(5, 6, RGB(1, 2, 3));
    store.SetPixel(50, 30, RGB(4, 5, 6));
    host_->Present(w, store, {Rect(-10, -10, 8, 8)});
    host_->Flush();
    EXPECT_EQ(ScreenPixel(X(w), 5, 6), RGB(1, 2, 3));
    EXPECT_EQ(ScreenPixel(X(w), 50, 30), RGB(0x30, 0x60, 0x90));

    // Covered and uncovered.
    RemoveCover(MapCover());
    events_.Events.clear();
    if (shm) {
      // Answered from the host's copy without a word to the program.
      EXPECT_TRUE(
          PumpUntil([&] { return ScreenPixel(DefaultRootWindow(desk_), 35, 36) == RGB(1, 2, 3); }));
      EXPECT_TRUE(events_.Of(KindExpose).empty());
    } else {
      // The window system is told what to present again; it does so.
      EXPECT_TRUE(PumpUntil([&] { return !events_.Of(KindExpose).empty(); }));
      std::vector<TRect> again;
      for (const THostEvent& e : events_.Of(KindExpose)) {
        EXPECT_EQ(e.Window, w);
        again.push_back(e.ExposeRect);
      }
      host_->Present(w, store, again);
      host_->Flush();
      EXPECT_EQ(ScreenPixel(X(w), 5, 6), RGB(1, 2, 3));
      EXPECT_EQ(ScreenPixel(X(w), 50, 30), RGB(4, 5, 6));  // dirty now: everything was exposed
      // A store the server cannot take as it is (24-bit) is converted into a
      // kept image again, taken whole since nothing was kept before.
      TBitmap narrow(61, 40);
      narrow.Fill(RGB(9, 8, 7));
      host_->Present(w, narrow, {Bounds(0, 0, 1, 1)});
      host_->Flush();
      EXPECT_EQ(ScreenPixel(X(w), 40, 20), RGB(9, 8, 7));
    }
    host_->DestroyNativeWindow(w);
  }
}

TEST(X11HostDepth16, PresentConvertsToTheVisualsOwnPixelFormat) {
  // A 16-bit server (5-6-5) takes the general conversion path.
  test::TXvfbServer server(320, 240, 16);
  if (!server.Running()) GTEST_SKIP() << server.Error();
  TX11Host host(server.Display().c_str());
  THostWindow w = host.CreateNativeWindow({Bounds(0, 0, 8, 8), "deep"});
  host.ShowNativeWindow(w, true);
  ::Display* desk = XOpenDisplay(server.Display().c_str());
  ASSERT_NE(desk, nullptr);
  ASSERT_EQ(DefaultDepth(desk, DefaultScreen(desk)), 16);
  XWindowAttributes a{};
  for (int i = 0; i < 200 && a.map_state != IsViewable; ++i) {
    host.WaitEvents(10);
    XGetWindowAttributes(desk, ::Window(host.XWindowOf(w)), &a);
  }
  TBitmap store(8, 8);
  store.Fill(RGB(255, 0, 0));
  store.SetPixel(1, 0, RGB(0, 255, 0));
  store.SetPixel(2, 0, RGB(0, 0, 255));
  store.SetPixel(3, 0, RGB(255, 255, 255));
  store.SetPixel(4, 0, RGB(132, 130, 8));  // rounds to 16, 32, 1 of 31, 63, 31
  host.Present(w, store, {Bounds(0, 0, 8, 8)});
  host.Flush();
  XImage* img = XGetImage(desk, ::Window(host.XWindowOf(w)), 0, 0, 8, 1, AllPlanes, ZPixmap);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(XGetPixel(img, 0, 0), 0xF800ul);
  EXPECT_EQ(XGetPixel(img, 1, 0), 0x07E0ul);
  EXPECT_EQ(XGetPixel(img, 2, 0), 0x001Ful);
  EXPECT_EQ(XGetPixel(img, 3, 0), 0xFFFFul);
  EXPECT_EQ(XGetPixel(img, 4, 0), (16ul << 11) | (32ul << 5) | 1ul);
  EXPECT_EQ(XGetPixel(img, 5, 0), 0xF800ul);
  XDestroyImage(img);
  XCloseDisplay(desk);
}

TEST_F(X11HostTest, ShapeFollowsTheRegionRectangles) {
  THostWindow w = host_->CreateNativeWindow({Bounds(0, 0, 100, 100), "shape"});
  host_->SetNativeShape(w, {Rect(0, 0, 100, 10), Rect(5, 10, 95, 100)});
  Settle();
  int count = 0, ordering = 0;
  XRectangle* r = XShapeGetRectangles(desk_, X(w), ShapeBounding, &count, &ordering);
  ASSERT_NE(r, nullptr);
  int area = 0;
  for (int i = 0; i < count; ++i) area += r[i].width * r[i].height;
  XFree(r);
  EXPECT_EQ(area, 100 * 10 + 90 * 90);

  host_->SetNativeShape(w, {});
  Settle();
  Bool shaped = True, clipShaped = False;
  int x = 0, y = 0, cx = 0, cy = 0;
  unsigned wb = 0, hb = 0, wc = 0, hc = 0;
  XShapeQueryExtents(desk_, X(w), &shaped, &x, &y, &wb, &hb, &clipShaped, &cx, &cy, &wc, &hc);
  EXPECT_FALSE(shaped);
}

TEST_F(X11HostTest, MouseEventsCarryScreenPositionsAndThePlatformsButtonState) {
  THostWindow w = Shown({Bounds(100, 100, 200, 150), "mouse"});
  events_.Events.clear();
  XEvent ev{};
  ev.xbutton.type = ButtonPress;
  ev.xbutton.window = X(w);
  ev.xbutton.root = DefaultRootWindow(desk_);
  ev.xbutton.x = 5;
  ev.xbutton.y = 6;
  ev.xbutton.x_root = 105;
  ev.xbutton.y_root = 106;
  ev.xbutton.button = Button1;
  ev.xbutton.state = ShiftMask;
  Send(X(w), ev, ButtonPressMask);
  ev.xbutton.type = ButtonRelease;
  ev.xbutton.state = ShiftMask | Button1Mask;
  Send(X(w), ev, ButtonReleaseMask);
  ev.xbutton.type = ButtonPress;
  ev.xbutton.button = Button5;
  ev.xbutton.state = ControlMask;
  Send(X(w), ev, ButtonPressMask);
  ev.xbutton.type = ButtonRelease;
  Send(X(w), ev, ButtonReleaseMask);
  ev.xbutton.type = ButtonPress;
  ev.xbutton.button = Button4;
  ev.xbutton.state = 0;
  Send(X(w), ev, ButtonPressMask);
  ASSERT_TRUE(PumpUntil([&] { return events_.Of(TKind::Wheel).size() == 2; }));

  auto down = events_.Of(TKind::ButtonDown);
  auto up = events_.Of(TKind::ButtonUp);
  auto wheel = events_.Of(TKind::Wheel);
  ASSERT_EQ(down.size(), 1u);
  ASSERT_EQ(up.size(), 1u);
  EXPECT_EQ(down[0].Window, w);
  EXPECT_EQ(down[0].ScreenPos, (TPoint{105, 106}));
  EXPECT_EQ(down[0].Button, THostButton::Left);
  // The platform reports the state after the event.
  EXPECT_EQ(down[0].State, HostShift | HostButtonLeft);
  EXPECT_EQ(up[0].State, HostShift);
  EXPECT_EQ(wheel[0].WheelDelta, -120);
  EXPECT_EQ(wheel[0].State, HostControl);
  EXPECT_EQ(wheel[1].WheelDelta, 120);

  // The pointer entering gives a move there; leaving every window of the
  // program gives a leave.
  events_.Events.clear();
  XWarpPointer(desk_, 0, DefaultRootWindow(desk_), 0, 0, 0, 0, 150, 160);
  ASSERT_TRUE(PumpUntil([&] { return !events_.Of(TKind::MouseMove).empty(); }));
  EXPECT_EQ(events_.Of(TKind::MouseMove).back().ScreenPos, (TPoint{150, 160}));
  XWarpPointer(desk_, 0, DefaultRootWindow(desk_), 0, 0, 0, 0, 700, 500);
  ASSERT_TRUE(PumpUntil([&] { return !events_.Of(TKind::MouseLeave).empty(); }));
  EXPECT_EQ(events_.Of(TKind::MouseLeave)[0].Window, w);
}

TEST_F(X11HostTest, KeysGiveVirtualKeysAndTheInputMethodsText) {
  THostWindow w = Shown({Bounds(100, 100, 200, 150), "keys"});
  XEvent ev{};
  ev.xkey.type = KeyPress;
  ev.xkey.window = X(w);
  ev.xkey.root = DefaultRootWindow(desk_);
  ev.xkey.same_screen = True;
  auto press = [&](KeyCode code, unsigned state) {
    ev.xkey.type = KeyPress;
    ev.xkey.keycode = code;
    ev.xkey.state = state;
    Send(X(w), ev, KeyPressMask);
    ev.xkey.type = KeyRelease;
    Send(X(w), ev, KeyReleaseMask);
  };
  const KeyCode a = XKeysymToKeycode(desk_, XK_a);
  const KeyCode del = XKeysymToKeycode(desk_, XK_Delete);
  ASSERT_NE(a, 0);
  press(a, ShiftMask);
  press(a, ControlMask);
  press(del, 0);

  // Bind a spare key to a Cyrillic letter, as a test driver typing Russian
  // text on a US keymap does, and press it.
  int minCode = 0, maxCode = 0;
  XDisplayKeycodes(desk_, &minCode, &maxCode);
  int perCode = 0;
  KeySym* map = XGetKeyboardMapping(desk_, KeyCode(minCode), maxCode - minCode + 1, &perCode);
  KeyCode spare = 0;
  for (int code = maxCode; code >= minCode && !spare; --code) {
    bool empty = true;
    for (int i = 0; i < perCode; ++i)
      if (map[(code - minCode) * perCode + i] != NoSymbol) empty = false;
    if (empty) spare = KeyCode(code);
  }
  XFree(map);
  ASSERT_NE(spare, 0);
  KeySym ya[2] = {XK_Cyrillic_ya, XK_Cyrillic_ya};
  XChangeKeyboardMapping(desk_, spare, 2, ya, 1);
  XSync(desk_, False);
  press(spare, 0);
  ASSERT_TRUE(PumpUntil([&] { return events_.Of(TKind::KeyUp).size() == 4; }));
  // A Unicode keysym (what xdotool binds for characters of no layout).
  KeySym io[2] = {0x01000401, 0x01000401};
  XChangeKeyboardMapping(desk_, spare, 2, io, 1);
  XSync(desk_, False);
  press(spare, 0);
  ASSERT_TRUE(PumpUntil([&] { return events_.Of(TKind::KeyUp).size() == 5; }));
  KeySym none[2] = {NoSymbol, NoSymbol};
  XChangeKeyboardMapping(desk_, spare, 2, none, 1);

  auto downs = events_.Of(TKind::KeyDown);
  auto chars = events_.Of(TKind::Char);
  ASSERT_EQ(downs.size(), 5u);
  EXPECT_EQ(downs[0].VirtualKey, 'A');
  EXPECT_EQ(downs[0].State, HostShift);
  EXPECT_EQ(downs[0].ScanCode, 0x1E);
  EXPECT_EQ(downs[1].VirtualKey, 'A');
  EXPECT_EQ(downs[2].VirtualKey, VK_DELETE);
  EXPECT_EQ(downs[2].ScanCode, 0x153);
  EXPECT_EQ(downs[3].VirtualKey, VkPacket);
  // Shift+A is "A", Ctrl+A the control character 1, Delete no character at
  // all, and the Cyrillic keys their letters.
  ASSERT_EQ(chars.size(), 4u);
  EXPECT_EQ(chars[0].CodePoint, std::uint32_t('A'));
  EXPECT_EQ(chars[1].CodePoint, 1u);
  EXPECT_EQ(chars[1].State, HostControl);
  EXPECT_EQ(chars[2].CodePoint, 0x44Fu);
  EXPECT_EQ(chars[3].CodePoint, 0x401u);
  // Each Char follows its key-down.
  for (std::size_t i = 1; i < events_.Events.size(); ++i) {
    if (events_.Events[i].Kind == TKind::Char) {
      EXPECT_NE(events_.Events[i - 1].Kind, TKind::KeyUp);
    }
  }
}

TEST_F(X11HostTest, DesktopRequestsBecomeCloseFocusAndConfigureEvents) {
  THostWindow w = Shown({Bounds(100, 100, 200, 150), "desk"});
  events_.Events.clear();
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = X(w);
  ev.xclient.message_type = A("WM_PROTOCOLS");
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = long(A("WM_DELETE_WINDOW"));
  Send(X(w), ev, 0);
  XSetInputFocus(desk_, X(w), RevertToParent, CurrentTime);
  XMoveResizeWindow(desk_, X(w), 120, 130, 210, 160);
  XSync(desk_, False);
  ASSERT_TRUE(PumpUntil([&] {
    return !events_.Of(TKind::Configure).empty() && !events_.Of(KindFocusIn).empty() &&
           !events_.Of(TKind::Close).empty();
  }));
  EXPECT_EQ(events_.Of(TKind::Close)[0].Window, w);
  EXPECT_EQ(events_.Of(TKind::Configure).back().Bounds, Bounds(120, 130, 210, 160));

  // The program's own moves are not echoed back as desktop moves.
  events_.Events.clear();
  host_->MoveNativeWindow(w, Bounds(10, 10, 100, 100));
  host_->MoveNativeWindow(w, Bounds(20, 20, 110, 110));
  host_->Flush();
  for (int i = 0; i < 10; ++i) host_->WaitEvents(5);
  EXPECT_TRUE(events_.Of(TKind::Configure).empty());
  XWindowAttributes attrs{};
  XGetWindowAttributes(desk_, X(w), &attrs);
  EXPECT_EQ(attrs.x, 20);
  EXPECT_EQ(attrs.width, 110);

  XSetInputFocus(desk_, PointerRoot, RevertToPointerRoot, CurrentTime);
  XSync(desk_, False);
  ASSERT_TRUE(PumpUntil([&] { return !events_.Of(KindFocusOut).empty(); }));
  // Without a window manager there is no _NET_WM_MOVERESIZE: the window
  // system moves the window itself.
  EXPECT_FALSE(host_->BeginNativeMove(w, {30, 30}));
}

TEST_F(X11HostTest, AWindowManagersFrameMovingTheWindowIsFollowed) {
  THostWindow w = Shown({Bounds(100, 100, 200, 150), "framed"});
  // The desk plays a reparenting window manager: a frame at the top-left
  // corner takes the window in, then moves to where the window goes. The
  // window itself hears of no move of its own (no synthetic configure).
  ::Window frame = XCreateSimpleWindow(desk_, DefaultRootWindow(desk_), 0, 0, 210, 180, 0, 0, 0);
  XReparentWindow(desk_, X(w), frame, 5, 20);
  XMapWindow(desk_, frame);
  XSync(desk_, False);
  ASSERT_TRUE(PumpUntil([&] {
    auto c = events_.Of(TKind::Configure);
    return !c.empty() && c.back().Bounds == Bounds(5, 20, 200, 150);
  }));
  XMoveWindow(desk_, frame, 300, 200);
  XSync(desk_, False);
  ASSERT_TRUE(PumpUntil([&] {
    auto c = events_.Of(TKind::Configure);
    return !c.empty() && c.back().Bounds == Bounds(305, 220, 200, 150);
  })) << "the frame's move was not followed";
  // Taken out of the frame again, back on the root; the frame is gone.
  XReparentWindow(desk_, X(w), DefaultRootWindow(desk_), 40, 50);
  XDestroyWindow(desk_, frame);
  XSync(desk_, False);
  ASSERT_TRUE(PumpUntil([&] {
    auto c = events_.Of(TKind::Configure);
    return !c.empty() && c.back().Bounds == Bounds(40, 50, 200, 150);
  }));
  for (int i = 0; i < 5; ++i) host_->WaitEvents(5);
}

TEST_F(X11HostTest, ACaptionPressAlreadyReleasedIsNotHandedToTheWindowManager) {
  // A desktop that offers _NET_WM_MOVERESIZE (announced on the root window;
  // the host reads it when it starts).
  Atom moveResize = A("_NET_WM_MOVERESIZE");
  XChangeProperty(desk_, DefaultRootWindow(desk_), A("_NET_SUPPORTED"), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(&moveResize), 1);
  XSync(desk_, False);
  host_ = std::make_unique<TX11Host>(server_->Display().c_str());
  host_->SetSink(&events_);
  THostWindow w = Shown({Bounds(100, 100, 120, 90), "moved"});
  // No button is held: the press this move would continue is over, so the
  // window system must drag the window itself from the queued events
  // (handing it over would leave the desktop moving it with no button held).
  bool handedOver = host_->BeginNativeMove(w, {130, 110});
  XDeleteProperty(desk_, DefaultRootWindow(desk_), A("_NET_SUPPORTED"));
  XSync(desk_, False);
  EXPECT_FALSE(handedOver);
}

TEST_F(X11HostTest, MinimisingAndTheDesktopsOwnUnmapsAndMaps) {
  THostWindow w = Shown({Bounds(100, 100, 120, 90), "iconic"});
  auto viewable = [&] {
    XWindowAttributes a{};
    XGetWindowAttributes(desk_, X(w), &a);
    return a.map_state == IsViewable;
  };
  events_.Events.clear();
  // Without a window manager minimising takes the window off the screen;
  // showing it brings it back. The program's own minimise is not echoed.
  host_->MinimizeNativeWindow(w);
  ASSERT_TRUE(PumpUntil([&] { return !viewable(); }));
  host_->ShowNativeWindow(w, true);
  ASSERT_TRUE(PumpUntil(viewable));
  for (int i = 0; i < 5; ++i) host_->WaitEvents(5);
  EXPECT_TRUE(events_.Of(TKind::Minimized).empty());
  EXPECT_TRUE(events_.Of(TKind::Restored).empty());

  // The desktop unmapping a shown window is a minimise, mapping it a restore.
  XUnmapWindow(desk_, X(w));
  XSync(desk_, False);
  ASSERT_TRUE(PumpUntil([&] { return !events_.Of(TKind::Minimized).empty(); }));
  XMapWindow(desk_, X(w));
  XSync(desk_, False);
  ASSERT_TRUE(PumpUntil([&] { return !events_.Of(TKind::Restored).empty(); }));
  EXPECT_EQ(events_.Of(TKind::Restored)[0].Window, w);

  // Hiding is not minimising.
  events_.Events.clear();
  host_->ShowNativeWindow(w, false);
  ASSERT_TRUE(PumpUntil([&] { return !viewable(); }));
  for (int i = 0; i < 5; ++i) host_->WaitEvents(5);
  EXPECT_TRUE(events_.Of(TKind::Minimized).empty());
}

TEST_F(X11HostTest, CaptureGrabsThePointerUntilReleased) {
  THostWindow w = Shown({Bounds(100, 100, 120, 90), "capture"});
  host_->GrabPointer(w);
  host_->Flush();
  auto otherGrab = [&] {
    int r = XGrabPointer(desk_, DefaultRootWindow(desk_), False, ButtonPressMask, GrabModeAsync,
                         GrabModeAsync, 0, 0, CurrentTime);
    if (r == GrabSuccess) XUngrabPointer(desk_, CurrentTime);
    XSync(desk_, False);
    return r;
  };
  EXPECT_EQ(otherGrab(), AlreadyGrabbed);
  host_->GrabPointer(0);
  host_->Flush();
  EXPECT_EQ(otherGrab(), GrabSuccess);
  // Cursor shapes are set without errors for every kind the window system uses.
  for (int c = 0; c <= int(THostCursor::Help); ++c) host_->SetNativeCursor(w, THostCursor(c));
  host_->Flush();
}

TEST_F(X11HostTest, WaitingTimesOutOrEndsOnWake) {
  host_->PumpEvents();
  while (host_->WaitEvents(0)) {
  }
  const std::uint64_t before = host_->Now();
  EXPECT_FALSE(host_->WaitEvents(30));
  EXPECT_GE(host_->Now(), before + 30);
  host_->Wake();
  EXPECT_TRUE(host_->WaitEvents(10000));
  EXPECT_EQ(host_->ScreenSize(), (TSize{800, 600}));
}

}  // namespace
}  // namespace vm
