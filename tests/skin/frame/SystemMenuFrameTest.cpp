// The skinned system menu attached to a form's frame: opened by the frame
// from Alt+Space and a right click on the caption, its items for the form,
// and the commands chosen in it.
#include <deque>
#include <functional>

#include "platform/win/WinApi.h"
#include "skin/frame/SystemMenu.h"
#include "tests/skin/frame/FrameTestSupport.h"
#include "tests/support/MenuScript.h"
#include "toolkit/MenuItem.h"

namespace vm::test {
namespace {

class SystemMenuOnFrame : public TFrameTest {
 protected:
  void SetUp() override {
    TFrameTest::SetUp();
    script.Attach(host);
  }
  void TearDown() override {
    script.Detach();
    TFrameTest::TearDown();
  }
  HWND OpenMenuWindow() {
    HWND found = nullptr;
    EnumWindows([&](HWND h) {
      if (GetClassName(h) == "#32768" && IsWindowVisible(h)) found = h;
      return !found;
    });
    return found;
  }
  // The captions of the open menu's entries, and a click on entry pos.
  std::vector<std::string> OpenEntries() {
    std::vector<std::string> out;
    HWND w = OpenMenuWindow();
    if (!w) return out;
    HMENU m = reinterpret_cast<HMENU>(SendMessage(w, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(m); ++i) {
      tk::TMenuItem* item = tk::TMenuItem::FromCommand(GetMenuItemID(m, i));
      out.push_back(item ? item->Caption() : "?");
    }
    return out;
  }
  void ClickEntry(int pos) {
    HWND w = OpenMenuWindow();
    ASSERT_TRUE(w);
    TRect r;
    ASSERT_TRUE(GetMenuItemRect(w, reinterpret_cast<HMENU>(SendMessage(w, MN_GETHMENU, 0, 0)),
                                UINT(pos), &r));
    host.Click(r.Left + r.Width() / 2, r.Top + r.Height() / 2);
  }
  TMenuScript script;
};

TEST_F(SystemMenuOnFrame, AltSpaceOpensItAndCloseClosesTheForm) {
  LoadBuiltinSkin();
  // The main window's shape: single border, system menu and minimise.
  auto* f = Create<TForm>(app.get());
  f->SetName("Main");
  f->SetBorderStyle(bsSingle);
  f->SetBorderIcons(biSystemMenu | biMinimize);
  f->SetCaption("Проба");
  f->SetBounds(40, 30, 240, 160);
  f->Show();
  Pump();
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_TRUE(p);
  TsSystemMenu* menu = AttachSystemMenu(*p);
  EXPECT_EQ(menu->Owner(), p);
  EXPECT_EQ(menu->Form(), f);

  std::vector<std::string> entries;
  script.push_back([&] {
    entries = OpenEntries();
    ClickEntry(int(entries.size()) - 1);
  });
  host.KeyDown(VK_MENU);
  host.Key(VK_SPACE);
  host.KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(entries,
            (std::vector<std::string>{"Restore", "Move", "Size", "Minimize", "-", "Close"}));
  EXPECT_FALSE(f->Visible());
}

TEST_F(SystemMenuOnFrame, RightClickOnTheCaptionAndMinimise) {
  LoadBuiltinSkin();
  TForm* f = MakeForm(bsSizeable, 240, 160);
  TsSkinProvider* p = ProviderOf(f);
  ASSERT_TRUE(p);
  AttachSystemMenu(*p);
  std::vector<std::string> entries;
  script.push_back([&] {
    entries = OpenEntries();
    ClickEntry(3);
  });
  const TPoint o = Origin(f);
  host.Click(o.X + 100, o.Y + 12, THostButton::Right);
  Pump();
  EXPECT_EQ(entries, (std::vector<std::string>{"Restore", "Move", "Size", "Minimize", "Maximize",
                                               "-", "Close"}));
  EXPECT_TRUE(IsIconic(f->Handle()));
}

}  // namespace
}  // namespace vm::test
