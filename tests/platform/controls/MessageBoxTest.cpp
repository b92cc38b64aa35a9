// The message box driven as a user drives it: keys and clicks arrive while
// its modal loop waits, through the headless host's idle handler.
#include "ControlTestSupport.h"
#include "platform/controls/ControlDefs.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/MessageBox.h"

namespace vm::test {
namespace {

class MessageBoxTest : public TControlTest {
 protected:
  void TearDown() override {
    host.SetIdleHandler(nullptr);
    TControlTest::TearDown();
  }
  // The box while it runs: the active window, a dialog.
  static HWND Box() {
    HWND a = GetActiveWindow();
    return a && GetClassName(a) == WC_DIALOG ? a : nullptr;
  }
  // Runs a box; at its first idle wait, act() plays the user (once).
  int Run(std::string_view text, UINT type, std::function<void(HWND)> act,
          std::string_view caption = "Проверка") {
    bool acted = false;
    host.SetIdleHandler([&, act]() {
      HWND box = Box();
      if (acted || !box) return false;
      acted = true;
      act(box);
      return true;
    });
    int r = MessageBox(parent, text, caption, type);
    host.SetIdleHandler(nullptr);
    return r;
  }
  void ClickChild(HWND box, int id) {
    HWND b = GetDlgItem(box, id);
    ASSERT_NE(b, nullptr);
    TPoint p = Screen(b, 10, 10);
    host.Click(p.X, p.Y);
  }
};

TEST_F(MessageBoxTest, EnterPressesTheDefaultButtonAndEscapeAnswersCancel) {
  EXPECT_EQ(Run("Текст", MB_OKCANCEL, [&](HWND) { host.Key(VK_RETURN); }), IDOK);
  EXPECT_EQ(Run("Текст", MB_OKCANCEL | MB_DEFBUTTON2, [&](HWND) { host.Key(VK_RETURN); }),
            IDCANCEL);
  EXPECT_EQ(Run("Текст", MB_YESNOCANCEL, [&](HWND) { host.Key(VK_ESCAPE); }), IDCANCEL);
  // A box with OK alone takes Escape as OK.
  EXPECT_EQ(Run("Текст", MB_OK | MB_ICONERROR, [&](HWND) { host.Key(VK_ESCAPE); }), IDOK);
  // Tab moves the focus to the next button, in the order they are seen;
  // Enter then presses that one.
  EXPECT_EQ(Run("Текст", MB_YESNOCANCEL,
                [&](HWND) {
                  host.Key(VK_TAB);
                  host.Key(VK_RETURN);
                }),
            IDNO);
  EXPECT_EQ(Run("Текст", MB_YESNOCANCEL | MB_DEFBUTTON2,
                [&](HWND) {
                  host.KeyDown(VK_SHIFT);
                  host.Key(VK_TAB);
                  host.KeyUp(VK_SHIFT);
                  host.Key(VK_RETURN);
                }),
            IDYES);
  // The children stand in the order they are seen: icon, text, the buttons left to right.
  std::vector<int> ids;
  Run("Текст", MB_ABORTRETRYIGNORE | MB_ICONWARNING, [&](HWND box) {
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      ids.push_back(GetDlgCtrlID(c));
    EXPECT_EQ(host.FocusedWindow(), GetHostWindow(box));
    EndDialog(box, IDABORT);
  });
  EXPECT_EQ(ids, (std::vector<int>{IDC_MSGBOX_ICON, IDC_MSGBOX_TEXT, IDABORT, IDRETRY, IDIGNORE}));
  EXPECT_EQ(Run("Текст", MB_YESNO,
                [&](HWND) {
                  host.Key(VK_TAB);
                  host.Key(VK_RETURN);
                }),
            IDNO);
}

TEST_F(MessageBoxTest, EscapeInAYesNoBoxDoesNothingAndAClickAnswers) {
  int waits = 0;
  host.SetIdleHandler([&]() {
    HWND box = Box();
    if (!box) return false;
    ++waits;
    if (waits == 1) {
      host.Key(VK_ESCAPE);  // ignored: no Cancel button
      return true;
    }
    if (waits == 2) {
      EXPECT_TRUE(IsWindowVisible(box));
      ClickChild(box, IDNO);
      return true;
    }
    return false;
  });
  EXPECT_EQ(MessageBox(parent, "Сохранить?", "Вопрос", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_GE(waits, 2);
}

TEST_F(MessageBoxTest, ModalForItsOwnerWhileTimersKeepFiring) {
  int ticks = 0, idles = 0;
  ParentLog().Handler = [&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_TIMER) ++ticks;
    if (msg == WM_ENTERIDLE) ++idles;
    return std::nullopt;
  };
  SetTimer(parent, 7, 100, nullptr);
  const std::uint64_t beeps = host.BeepCount();
  HWND seen = nullptr;
  std::uint64_t start = host.Now();
  host.SetIdleHandler([&]() {
    HWND box = Box();
    if (!box) return false;
    seen = box;
    EXPECT_FALSE(IsWindowEnabled(parent));
    EXPECT_EQ(GetWindow(box, GW_OWNER), parent);
    // Centred on its owner.
    TRect owner, w;
    GetWindowRect(parent, &owner);
    GetWindowRect(box, &w);
    EXPECT_LE(std::abs((w.Left + w.Right) - (owner.Left + owner.Right)), 1);
    EXPECT_LE(std::abs((w.Top + w.Bottom) - (owner.Top + owner.Bottom)), 1);
    if (host.Now() - start >= 1000) {
      host.Key(VK_RETURN);
      return true;
    }
    return false;  // let the clock run to the next timer
  });
  EXPECT_EQ(MessageBox(parent, "Идёт работа", "Велмора", MB_OK | MB_ICONINFORMATION), IDOK);
  host.SetIdleHandler(nullptr);
  KillTimer(parent, 7);
  EXPECT_GE(ticks, 9);
  EXPECT_GT(idles, 0);
  EXPECT_EQ(host.BeepCount(), beeps + 1);
  // Afterwards: the box is gone, the owner enabled and active again.
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_TRUE(IsWindowEnabled(parent));
  EXPECT_EQ(GetActiveWindow(), parent);
}

TEST_F(MessageBoxTest, ChildrenAreStandardControlsLaidOutAroundTheText) {
  std::string longText(400, 'x');
  for (std::size_t i = 7; i < longText.size(); i += 8) longText[i] = ' ';
  Run(longText, MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON3, [&](HWND box) {
    HWND icon = GetDlgItem(box, IDC_MSGBOX_ICON), text = GetDlgItem(box, IDC_MSGBOX_TEXT);
    ASSERT_TRUE(icon && text);
    EXPECT_EQ(GetClassName(icon), WC_STATIC);
    EXPECT_EQ(GetClassName(text), WC_STATIC);
    EXPECT_EQ(GetWindowText(text), longText);
    TRect ir, tr, br, client;
    GetWindowRect(icon, &ir);
    GetWindowRect(text, &tr);
    GetClientRect(box, &client);
    EXPECT_EQ(ir.Width(), 32);
    EXPECT_GE(tr.Left, ir.Right);
    // The long text wraps instead of widening the box past its limit.
    EXPECT_LE(client.Width(), 700);
    EXPECT_GT(tr.Height(), 13);
    // Three buttons of one size in a row, centred, below the text; the third is the default and has
    // the focus.
    int ids[] = {IDYES, IDNO, IDCANCEL};
    int left = 0, right = 0;
    for (int i = 0; i < 3; ++i) {
      HWND b = GetDlgItem(box, ids[i]);
      ASSERT_NE(b, nullptr);
      EXPECT_EQ(GetClassName(b), WC_BUTTON);
      GetWindowRect(b, &br);
      EXPECT_GE(br.Top, tr.Bottom);
      if (i == 0) left = br.Left;
      right = br.Right;
    }
    TPoint origin{0, 0};
    ClientToScreen(box, &origin);
    EXPECT_LE(std::abs((left - origin.X) - (client.Width() - (right - origin.X))), 1);
    EXPECT_EQ(GetFocus(), GetDlgItem(box, IDCANCEL));
    // Wider than its owner: it stays on the screen.
    TRect w;
    GetWindowRect(box, &w);
    EXPECT_GE(w.Left, 0);
    host.Key(VK_RETURN);
  });
}

TEST_F(MessageBoxTest, QuitWhileOpenEndsTheBoxAndReachesTheOuterLoop) {
  int r = Run("Текст", MB_OKCANCEL, [](HWND) { PostQuitMessage(3); });
  EXPECT_EQ(r, IDCANCEL);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_EQ(msg.wParam, WPARAM(3));
}

TEST_F(MessageBoxTest, GoldenPictures) {
  struct TCase {
    const char* Name;
    const char* Text;
    UINT Type;
  } cases[] = {
      {"msgbox_error", "Не удалось открыть файл.\nФайл повреждён или не является JPEG.",
       MB_OK | MB_ICONERROR},
      {"msgbox_question", "Сохранить изменения?", MB_YESNOCANCEL | MB_ICONQUESTION},
      {"msgbox_warning", "Папка недоступна.", MB_OKCANCEL | MB_ICONWARNING},
      {"msgbox_information", "Готово.", MB_OK | MB_ICONINFORMATION},
  };
  for (const TCase& c : cases) {
    TBitmap shot;
    Run(
        c.Text, c.Type,
        [&](HWND box) {
          Pump();
          shot = host.WindowShot(GetHostWindow(box));
          host.Key(VK_ESCAPE);
        },
        "Велмора");
    Golden(c.Name, shot);
  }
}

}  // namespace
}  // namespace vm::test
