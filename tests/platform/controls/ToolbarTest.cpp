#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "platform/gfx/ImageList.h"

namespace vm::test {
namespace {

enum { IdOpen = 201, IdSave = 202, IdZoom = 203, IdFit = 204, IdOneToOne = 205 };

class ToolbarTest : public TControlTest {
 protected:
  void SetUp() override {
    TControlTest::SetUp();
    images = std::make_unique<TImageList>(16, 16);
    for (TColor c : {RGB(220, 170, 40), RGB(40, 110, 200), RGB(30, 150, 60), RGB(180, 40, 40)}) {
      TBitmap b(16, 16);
      b.Fill(RGB(255, 0, 255));
      TDC dc(b);
      dc.FillRect(Rect(2, 2, 14, 14), c);
      dc.FrameRect(Rect(2, 2, 14, 14), RGB(0, 0, 0));
      images->AddMasked(b, RGB(255, 0, 255));
    }
  }
  HWND Bar(DWORD style, bool texts = false) {
    HWND tb = Make(WC_TOOLBAR, "", style, 0, 0, 0, 0, 50);
    SendMessage(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    SendMessage(tb, TB_SETIMAGELIST, 0, LPARAM(images.get()));
    LRESULT first =
        texts ? SendMessage(tb, TB_ADDSTRING, 0, LPARAM("Открыть\0Сохранить\0Крупнее\0Вписать\0"))
              : -1;
    TBBUTTON b[6];
    b[0] = {0, IdOpen, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, texts ? first : -1};
    b[1] = {1, IdSave, TBSTATE_ENABLED, TBSTYLE_BUTTON, 0, texts ? first + 1 : -1};
    b[2] = {0, 0, 0, TBSTYLE_SEP, 0, -1};
    b[3] = {2, IdZoom, TBSTATE_ENABLED, TBSTYLE_CHECK, 0, texts ? first + 2 : -1};
    b[4] = {
        3, IdFit, TBSTATE_ENABLED | TBSTATE_CHECKED, TBSTYLE_CHECKGROUP, 0, texts ? first + 3 : -1};
    b[5] = {1, IdOneToOne, TBSTATE_ENABLED, TBSTYLE_CHECKGROUP, 0, -1};
    SendMessage(tb, TB_ADDBUTTONS, 6, LPARAM(b));
    Pump();
    return tb;
  }
  TRect ItemRect(HWND tb, int id) {
    TRect r;
    SendMessage(tb, TB_GETITEMRECT, WPARAM(SendMessage(tb, TB_COMMANDTOINDEX, WPARAM(id))),
                LPARAM(&r));
    return r;
  }
  void ClickButton(HWND tb, int id) {
    TRect r = ItemRect(tb, id);
    Click(tb, r.Left + r.Width() / 2, r.Top + r.Height() / 2);
  }
  int Clicks(HWND tb, int id) {
    int n = 0;
    for (const TParentMsg& m : ParentLog().Messages)
      n += m.Msg == WM_COMMAND && LOWORD(m.W) == id &&
           m.L == LPARAM(reinterpret_cast<std::uintptr_t>(tb));
    return n;
  }
  bool Checked(HWND tb, int id) { return SendMessage(tb, TB_ISBUTTONCHECKED, WPARAM(id)) != 0; }

  std::unique_ptr<TImageList> images;
};

TEST_F(ToolbarTest, ButtonsLineUpAlongTheTopOfTheParent) {
  HWND tb = Bar(0);
  TRect wr, pc;
  GetWindowRect(tb, &wr);
  GetClientRect(parent, &pc);
  TPoint o{0, 0};
  ClientToScreen(parent, &o);
  EXPECT_EQ(wr.Left, o.X);
  EXPECT_EQ(wr.Top, o.Y);
  EXPECT_EQ(wr.Width(), pc.Width());
  EXPECT_EQ(SendMessage(tb, TB_BUTTONCOUNT), 6);
  TRect open = ItemRect(tb, IdOpen), save = ItemRect(tb, IdSave), zoom = ItemRect(tb, IdZoom);
  EXPECT_EQ(open.Width(), 16 + 7);
  EXPECT_EQ(open.Height(), 16 + 7);
  EXPECT_EQ(save.Left, open.Right);
  EXPECT_EQ(zoom.Left, save.Right + 8);  // the separator between them
  EXPECT_GE(wr.Height(), open.Bottom);
  // Hiding a button closes the gap; unknown ids are refused.
  SendMessage(tb, TB_HIDEBUTTON, IdSave, MAKELONG(1, 0));
  EXPECT_EQ(ItemRect(tb, IdZoom).Left, open.Right + 8);
  EXPECT_EQ(SendMessage(tb, TB_ENABLEBUTTON, 999, MAKELONG(0, 0)), 0);
  EXPECT_EQ(SendMessage(tb, TB_COMMANDTOINDEX, 999), -1);
  TBBUTTON got;
  ASSERT_EQ(SendMessage(tb, TB_GETBUTTON, 4, LPARAM(&got)), 1);
  EXPECT_EQ(got.idCommand, IdFit);
  EXPECT_EQ(SendMessage(tb, TB_GETBUTTON, 60, LPARAM(&got)), 0);
}

TEST_F(ToolbarTest, AButtonsTextIsReadBackByItsCommand) {
  HWND tb = Bar(0, true);
  EXPECT_EQ(SendMessage(tb, TB_GETBUTTONTEXT, IdSave, 0), LRESULT(std::string("Сохранить").size()));
  char buf[32];
  EXPECT_EQ(SendMessage(tb, TB_GETBUTTONTEXT, IdOpen, LPARAM(buf)), 14);
  EXPECT_STREQ(buf, "Открыть");
  EXPECT_EQ(SendMessage(tb, TB_GETBUTTONTEXT, IdOneToOne, LPARAM(buf)), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(SendMessage(tb, TB_GETBUTTONTEXT, 999, LPARAM(buf)), -1);
}

TEST_F(ToolbarTest, AClickIsAPressAndAReleaseOverTheSameEnabledButton) {
  HWND tb = Bar(0);
  ClickButton(tb, IdOpen);
  EXPECT_EQ(Clicks(tb, IdOpen), 1);
  // Pressed, moved off, released: no click; the button is up again.
  TRect r = ItemRect(tb, IdSave);
  Press(tb, r.Left + 5, r.Top + 5);
  EXPECT_EQ(GetCapture(), tb);
  MoveTo(tb, r.Left + 5, r.Bottom + 30);
  Release();
  EXPECT_EQ(Clicks(tb, IdSave), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  // A disabled button takes no click.
  SendMessage(tb, TB_ENABLEBUTTON, IdSave, MAKELONG(0, 0));
  EXPECT_EQ(SendMessage(tb, TB_ISBUTTONENABLED, IdSave), 0);
  ClickButton(tb, IdSave);
  EXPECT_EQ(Clicks(tb, IdSave), 0);
  // A check button toggles; a check group keeps exactly one checked.
  ClickButton(tb, IdZoom);
  EXPECT_TRUE(Checked(tb, IdZoom));
  ClickButton(tb, IdZoom);
  EXPECT_FALSE(Checked(tb, IdZoom));
  EXPECT_TRUE(Checked(tb, IdFit));
  ClickButton(tb, IdOneToOne);
  EXPECT_TRUE(Checked(tb, IdOneToOne));
  EXPECT_FALSE(Checked(tb, IdFit));
  ClickButton(tb, IdOneToOne);  // clicking the checked one keeps it
  EXPECT_TRUE(Checked(tb, IdOneToOne));
  EXPECT_EQ(Clicks(tb, IdOneToOne), 2);
}

// Names the toolbar's buttons for their hints.
std::optional<LRESULT> Names(HWND, UINT m, WPARAM, LPARAM l) {
  if (m != WM_NOTIFY || reinterpret_cast<NMHDR*>(l)->code != TTN_GETDISPINFO) return std::nullopt;
  auto* di = reinterpret_cast<NMTTDISPINFO*>(l);
  if (di->hdr.idFrom == IdSave) std::snprintf(di->szText, sizeof di->szText, "Сохранить как");
  return 0;
}

TEST_F(ToolbarTest, CheckingOneOfAGroupReleasesTheOtherAndMissingIdsAnswerMinusOne) {
  HWND tb = Bar(0);
  auto checked = [&](int id) { return SendMessage(tb, TB_ISBUTTONCHECKED, WPARAM(id)); };
  EXPECT_EQ(checked(IdFit), 1);
  EXPECT_EQ(checked(IdOneToOne), 0);
  EXPECT_EQ(SendMessage(tb, TB_CHECKBUTTON, IdOneToOne, 1), 1);
  EXPECT_EQ(checked(IdOneToOne), 1);
  EXPECT_EQ(checked(IdFit), 0);
  // The separator ends the group: the check box before it keeps its state.
  SendMessage(tb, TB_CHECKBUTTON, IdZoom, 1);
  SendMessage(tb, TB_CHECKBUTTON, IdFit, 1);
  EXPECT_EQ(checked(IdZoom), 1);
  EXPECT_EQ(checked(IdOneToOne), 0);
  // Unchecking releases only the button itself; no click is reported.
  SendMessage(tb, TB_CHECKBUTTON, IdFit, 0);
  EXPECT_EQ(checked(IdFit), 0);
  EXPECT_EQ(checked(IdOneToOne), 0);
  EXPECT_EQ(Clicks(tb, IdFit), 0);
  for (UINT msg : {TB_ISBUTTONCHECKED, TB_ISBUTTONENABLED, TB_ISBUTTONPRESSED})
    EXPECT_EQ(SendMessage(tb, msg, 999), -1);
  EXPECT_EQ(SendMessage(tb, TB_CHECKBUTTON, 999, 1), 0);
}

TEST_F(ToolbarTest, FlatButtonsLightUpUnderThePointerAndShowHints) {
  ParentLog().Handler = &Names;
  HWND tb = Bar(TBSTYLE_FLAT | TBSTYLE_TOOLTIPS, true);
  HWND tips = reinterpret_cast<HWND>(SendMessage(tb, TB_GETTOOLTIPS));
  ASSERT_TRUE(IsWindow(tips));
  EXPECT_EQ(SendMessage(tips, TTM_GETTOOLCOUNT), 5);
  TRect save = ItemRect(tb, IdSave);
  MoveTo(tb, save.Left + 5, save.Top + 5);
  EXPECT_EQ(SendMessage(tb, TB_GETHOTITEM), SendMessage(tb, TB_COMMANDTOINDEX, IdSave));
  for (int t = 0; t < 50; ++t) {
    host.AdvanceClock(10);
    Pump();
  }
  ASSERT_TRUE(IsWindowVisible(tips));
  char text[64] = {};
  TOOLINFO ti;
  ti.hwnd = tb;
  ti.uId = IdSave;
  ti.lpszText = text;
  SendMessage(tips, TTM_GETTEXT, sizeof text, LPARAM(&ti));
  EXPECT_EQ(std::string(text), "Сохранить как");
  // A button the parent does not name is hinted with its own text.
  ti.uId = IdOpen;
  SendMessage(tips, TTM_GETTEXT, sizeof text, LPARAM(&ti));
  EXPECT_EQ(std::string(text), "Открыть");
  // Leaving the toolbar puts out the light.
  MoveTo(parent, 200, 250);
  Pump();
  EXPECT_EQ(SendMessage(tb, TB_GETHOTITEM), -1);
  DestroyWindow(tb);
  EXPECT_FALSE(IsWindow(tips));
}

TEST_F(ToolbarTest, Looks) {
  HWND plain = Bar(0);
  SendMessage(plain, TB_ENABLEBUTTON, IdSave, MAKELONG(0, 0));
  HWND flat = Bar(TBSTYLE_FLAT | CCS_NOPARENTALIGN | CCS_NORESIZE, true);
  SetWindowPos(flat, nullptr, 0, 40, 260, 48, SWP_NOZORDER);
  SendMessage(flat, TB_AUTOSIZE);
  SendMessage(flat, TB_ENABLEBUTTON, IdSave, MAKELONG(0, 0));
  TRect zoom = ItemRect(flat, IdZoom);
  MoveTo(flat, zoom.Left + 4, zoom.Top + 4);
  Golden("toolbar-states", ShotOf(Rect(0, 0, 260, 100)));
}

}  // namespace
}  // namespace vm::test
