// Every kind's life with its window: the platform's look where the skin
// lacks the kind's section, the look and the window's own procedure given
// back when the subclass is freed, and a window destroyed while its own
// subclass paints it. Then the control adapter's kinds on toolkit controls.
#include "tests/skin/subclass/KindsTestSupport.h"

#include "platform/controls/ControlDefs.h"
#include "platform/controls/DialogDefs.h"
#include "platform/controls/MessageBox.h"
#include "skin/subclass/BitBtnWnd.h"
#include "skin/subclass/CheckBoxWnd.h"
#include "skin/subclass/DlgPanelWnd.h"
#include "skin/subclass/GroupBoxWnd.h"
#include "skin/subclass/StatusBarWnd.h"
#include "toolkit/BitBtn.h"
#include "toolkit/CheckBox.h"
#include "toolkit/GroupBox.h"
#include "toolkit/Panel.h"
#include "toolkit/StatusBar.h"

namespace vm::test {
namespace {

class KindsLifecycle : public TKindsTest {
 protected:
  struct TSample {
    TnxKind Kind;
    const char* Section;
    HWND Window;
  };
  // One window of every kind, each in its own place on the form.
  std::vector<TSample> MakeSamples() {
    MakeBackdrop(300, 120);
    std::vector<TSample> s;
    s.push_back({nkStaticText, "CHECKBOX", Child(WC_STATIC, "Текст", SS_LEFT, 4, 4, 60, 14)});
    HWND icon = Child(WC_STATIC, "", SS_ICON, 70, 4, 32, 32);
    SendMessage(icon, STM_SETICON, WPARAM(MessageBoxIcon(MB_ICONINFORMATION)), 0);
    s.push_back({nkIcon, "CHECKBOX", icon});
    s.push_back(
        {nkCheckBox, "CHECKBOX", Child(WC_BUTTON, "Флажок", BS_AUTOCHECKBOX, 110, 4, 80, 17)});
    s.push_back({nkGroupBox, "GROUPBOX", Child(WC_BUTTON, "Группа", BS_GROUPBOX, 196, 4, 100, 40)});
    s.push_back({nkSizeGrip, "CHECKBOX", Child("ScrollBar", "", SBS_SIZEGRIP, 4, 40, 18, 18)});
    s.push_back({nkTransparentPanel, "CHECKBOX", Child(WC_DIALOG, "", 0, 26, 40, 40, 30)});
    s.push_back({nkDialogPanel, "PANEL", Child(WC_DIALOG, "Панель", 0, 70, 40, 60, 30)});
    HWND spin = Child(UPDOWN_CLASS, "", 0, 134, 40, 16, 24);
    s.push_back({nkSpinButtons, "SPEEDBUTTON_SMALL", spin});
    HWND tools =
        Child(WC_TOOLBAR, "", CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN, 156, 46, 140, 30);
    TBBUTTON b;
    b.idCommand = 1;
    b.iString = std::intptr_t("Кнопка");
    SendMessage(tools, TB_ADDBUTTONS, 1, LPARAM(reinterpret_cast<std::uintptr_t>(&b)));
    s.push_back({nkToolBar, "TOOLBAR", tools});
    HWND status =
        Child(STATUSCLASSNAME, "Строка", CCS_NORESIZE | CCS_NOPARENTALIGN, 4, 90, 150, 22);
    s.push_back({nkStatusBar, "STATUSBAR", status});
    bitmap = TBitmap(12, 12);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) bitmap.SetPixel(x, y, RGB(20 * x, 100, 20 * y));
    HWND bit = Child(WC_BUTTON, "", BS_PUSHBUTTON | BS_BITMAP, 160, 86, 60, 26);
    SendMessage(bit, BM_SETIMAGE, IMAGE_BITMAP, LPARAM(reinterpret_cast<std::uintptr_t>(&bitmap)));
    s.push_back({nkBitBtn, "BUTTON", bit});
    host.MouseMove(298, 118);
    Pump();
    return s;
  }
  TBitmap bitmap{0, 0};
};

TEST_F(KindsLifecycle, ASkinWithoutTheSectionAndAFreedSubclassLeaveThePlatformsLook) {
  const std::vector<TSample> samples = MakeSamples();
  const TBitmap plain = Shot(dialog);
  std::vector<WNDPROC> own;
  for (const TSample& s : samples) own.push_back(GetWindowProc(s.Window));
  // The section is missing: the window is handled but looks as before.
  for (const TSample& s : samples) ASSERT_NE(Skin(s.Kind, s.Window, "NOSUCHSECTION"), nullptr);
  for (const TSample& s : samples) InvalidateRect(s.Window, nullptr, true);
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
  subclasses.clear();
  // Skinned, then freed: every pixel of the platform's look comes back.
  for (const TSample& s : samples) Skin(s.Kind, s.Window, s.Section);
  const TBitmap skinned = Shot(dialog);
  CompareSubclassGolden("kinds", skinned);
  for (const TSample& s : samples) {
    EXPECT_TRUE(QueryWindow(s.Window, CmdQueryHandled)) << s.Kind;
    EXPECT_FALSE(SamePicture(CutWindow(skinned, s.Window), CutWindow(plain, s.Window))) << s.Kind;
  }
  subclasses.clear();
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const HWND h = samples[i].Window;
    EXPECT_TRUE(GetWindowProc(h) == own[i]) << samples[i].Kind;
    EXPECT_FALSE(QueryWindow(h, CmdQueryHandled)) << samples[i].Kind;
    EXPECT_EQ(SubclassOf(h), nullptr);
    InvalidateRect(h, nullptr, true);
  }
  const TBitmap after = Shot(dialog);
  for (const TSample& s : samples)
    EXPECT_TRUE(SamePicture(CutWindow(after, s.Window), CutWindow(plain, s.Window))) << s.Kind;
  EXPECT_TRUE(SamePicture(after, plain));
}

TEST_F(KindsLifecycle, WindowsTooSmallForTheirLookPaintSafely) {
  const std::vector<TSample> samples = MakeSamples();
  for (const TSample& s : samples) Skin(s.Kind, s.Window, s.Section);
  for (TSize size : {TSize{0, 0}, TSize{1, 1}, TSize{2, 2}, TSize{1, 30}, TSize{40, 1}}) {
    for (const TSample& s : samples)
      SetWindowPos(s.Window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    Shot(dialog);
    for (const TSample& s : samples) {
      ASSERT_EQ(SendCommandToWindow(s.Window, CmdFadePrepare), 1) << s.Kind;
      const TBitmap* cache = SubclassOf(s.Window)->SkinData()->CacheBmp.get();
      ASSERT_NE(cache, nullptr);
      EXPECT_EQ(cache->Width(), size.cx) << s.Kind;
    }
  }
}

TEST_F(KindsLifecycle, AWindowDestroyedInsideItsOwnPaint) {
  const std::vector<TSample> samples = MakeSamples();
  for (const TSample& s : samples) Skin(s.Kind, s.Window, s.Section);
  Shot(dialog);
  // The parent destroys each window when that window asks it, while
  // painting, for the picture behind it (and, where there is none, for its
  // colour).
  for (bool answerPicture : {true, false}) {
    for (const TSample& s : MakeSamples()) {
      dialog->AnswerBackground = answerPicture;
      HWND victim = s.Window;
      TnxMainWnd* wnd = Skin(s.Kind, victim, s.Section);
      Shot(dialog);
      probe->Probe = [&](TMessage& m) {
        if (m.Msg == SM_NIRVEXCMD && IsWindow(victim) &&
            (CommandOf(m.WParam) == CmdGetBackground || CommandOf(m.WParam) == CmdGetColour))
          DestroyWindow(victim);
        return false;
      };
      InvalidateRect(victim, nullptr, true);
      Shot(dialog);
      probe->Probe = nullptr;
      EXPECT_FALSE(IsWindow(victim)) << s.Kind;
      EXPECT_TRUE(wnd->Detached()) << s.Kind;
    }
  }
  subclasses.clear();
}

TEST_F(KindsLifecycle, TheAdaptersKindsOnToolkitControls) {
  MakeBackdrop(300, 90);
  auto* check = Create<TCheckBox>(dialog);
  check->SetParent(dialog);
  check->SetBounds(6, 6, 100, 17);
  check->SetCaption("Флажок");
  check->SetChecked(true);
  auto* group = Create<TGroupBox>(dialog);
  group->SetParent(dialog);
  group->SetBounds(6, 28, 120, 56);
  group->SetCaption("Группа");
  auto* panel = Create<TPanel>(dialog);
  panel->SetParent(dialog);
  panel->SetBounds(134, 6, 80, 30);
  panel->SetCaption("Панель");
  auto* bit = Create<TBitBtn>(dialog);
  bit->SetParent(dialog);
  bit->SetBounds(134, 44, 90, 26);
  bit->SetCaption("Открыть");
  tk::TBitmap glyph;
  glyph.SetPixelFormat(tk::pf24bit);
  glyph.SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      glyph.Image().SetPixel(
          x, y, (x - 8) * (x - 8) + (y - 8) * (y - 8) < 40 ? RGB(40, 150, 60) : RGB(255, 0, 255));
  bit->SetGlyph(&glyph);
  dialog->Show();
  host.MouseMove(298, 88);
  const TBitmap plain = Shot(dialog);
  {
    TnxCtrlAdapter adapter(dialog);
    adapter.AddAllItems();
    EXPECT_NE(dynamic_cast<TnxCheckBoxWnd*>(SubclassOf(check->Handle())), nullptr);
    EXPECT_NE(dynamic_cast<TnxGroupBoxWnd*>(SubclassOf(group->Handle())), nullptr);
    EXPECT_NE(dynamic_cast<TnxDlgPanelWnd*>(SubclassOf(panel->Handle())), nullptr);
    EXPECT_NE(dynamic_cast<TnxBitBtnWnd*>(SubclassOf(bit->Handle())), nullptr);
    EXPECT_EQ(SubclassOf(check->Handle())->SkinData()->SkinSection(), "CHECKBOX");
    EXPECT_EQ(SubclassOf(bit->Handle())->SkinData()->SkinSection(), "BUTTON");
    const TBitmap skinned = Shot(dialog);
    CompareSubclassGolden("adapted-kinds", skinned);
    // The toolkit control's state drives the look: unchecking repaints.
    check->SetChecked(false);
    EXPECT_FALSE(SamePicture(Shot(dialog), skinned));
    check->SetChecked(true);
    EXPECT_TRUE(SamePicture(Shot(dialog), skinned));
  }
  for (TWinControl* c : std::initializer_list<TWinControl*>{check, group, panel, bit}) {
    EXPECT_EQ(SubclassOf(c->Handle()), nullptr);
    c->Invalidate();
  }
  EXPECT_TRUE(SamePicture(Shot(dialog), plain));
}

}  // namespace
}  // namespace vm::test
