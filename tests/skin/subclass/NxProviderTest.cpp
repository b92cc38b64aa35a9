// Platform dialogs taken over by the dialog provider: the child-window table
// row by row, the depth-first walk and its abandon rule, windows handled
// once, dialogs destroyed during the walk, children made, destroyed and moved
// out while skinned, skin switches and skinning switched off while a dialog
// is open, and the engine's message box placed where it asks.
#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/controls/ControlDefs.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/DialogDefs.h"
#include "platform/controls/MessageBox.h"
#include "platform/gfx/BmpCodec.h"
#include "skin/state/SkinCommand.h"
#include "skin/subclass/AdapterKinds.h"
#include "skin/subclass/BtnWnd.h"
#include "skin/subclass/MainWnd.h"
#include "skin/subclass/NxProvider.h"
#include "skin/subclass/SubclassKinds.h"
#include "tests/skin/frame/FrameTestSupport.h"
#include "tests/support/RecolouredSkin.h"

namespace vm::test {
namespace {

// ---- The table ----

struct TRow {
  const char* Class;
  DWORD Style;
  bool Skinned;
  TnxKind Kind;
  const char* Section;
  bool DialogMode;
};

TEST(ChildKindTable, EveryRowPicksItsKindAndSection) {
  const TRow rows[] = {
      // Statics: icons and bitmaps, text, and the types left alone.
      {"static", 0x3, true, nkIcon, "CHECKBOX", false},        // icon
      {"static", 0xE, true, nkIcon, "CHECKBOX", false},        // bitmap
      {"static", 0x7, true, nkIcon, "CHECKBOX", false},        // low two bits set
      {"static", 0x0, true, nkStaticText, "CHECKBOX", false},  // left text
      {"static", 0x1, true, nkStaticText, "CHECKBOX", false},  // centred text
      {"static", 0x2, true, nkStaticText, "CHECKBOX", false},  // right text
      {"static", 0x4, true, nkStaticText, "CHECKBOX", false},  // black rectangle
      {"static", 0xD, false, nkKindCount, "", false},          // owner-drawn
      {"static", 0x5, false, nkKindCount, "", false},          // grey rectangle
      {"static", 0x6, false, nkKindCount, "", false},          // white rectangle
      {"static", 0xB, true, nkIcon, "CHECKBOX", false},        // simple: low two bits
      {"static", 0x1D, false, nkKindCount, "", false},         // bits 0, 2, 3
      {"#32770", 0, true, nkTransparentPanel, "CHECKBOX", false},
      {"tpanel", 0, true, nkDialogPanel, "PANEL", false},
      {"tsilentpaintpanel", 0, true, nkDialogPanel, "PANEL", false},
      // Buttons: every type, in the order the rows are tested.
      {"button", 0x0, true, nkPushButton, "BUTTON", false},  // push button
      {"button", 0x1, true, nkPushButton, "BUTTON", false},  // default push button
      {"button", 0x2, true, nkCheckBox, "CHECKBOX", false},  // check box
      {"button", 0x3, true, nkCheckBox, "CHECKBOX", false},  // automatic check box
      {"button", 0x4, true, nkCheckBox, "CHECKBOX", false},  // radio button
      {"button", 0x5, true, nkCheckBox, "CHECKBOX", false},  // three-state
      {"button", 0x6, true, nkCheckBox, "CHECKBOX", false},  // automatic three-state
      {"button", 0x7, true, nkGroupBox, "GROUPBOX", false},  // group box before check boxes
      {"button", 0x8, true, nkPushButton, "BUTTON", false},  // user button
      {"button", 0x9, true, nkCheckBox, "CHECKBOX", false},  // automatic radio button
      {"button", 0xA, true, nkCheckBox, "CHECKBOX", false},  // bit 1
      {"button", 0xB, true, nkCheckBox, "CHECKBOX", false},  // low two bits
      {"button", 0xC, true, nkCheckBox, "CHECKBOX", false},  // bit 2
      {"button", 0x1007, true, nkGroupBox, "GROUPBOX", false},
      {"button", 0x10000, true, nkPushButton, "BUTTON", false},  // high bits do not count
      {"combobox", 0, true, nkComboBox, "COMBOBOX", true},
      {"combolbox", 0, true, nkEdit, "COMBOBOX", false},
      {"comboboxex32", 0, true, nkComboBox, "COMBOBOX", false},
      {"scrollbar", 0, true, nkSizeGrip, "CHECKBOX", false},
      {"systabcontrol32", 0, false, nkKindCount, "", false},
      {"syslistview32", 0, true, nkListView, "EDIT", true},
      {"msctls_updown32", 0, true, nkSpinButtons, "SPEEDBUTTON_SMALL", false},
      {"listbox", 0, true, nkEdit, "EDIT", true},
      {"link window", 0, true, nkLink, "CHECKBOX", false},
      {"syslink", 0, true, nkLink, "CHECKBOX", false},
      {"toolbarwindow32", 0x200, true, nkToolBar, "BAR", false},
      {"toolbarwindow32", 0x100, true, nkToolBar, "CHECKBOX", false},
      {"edit", 0, true, nkEdit, "EDIT", true},
      {"systreeview32", 0, true, nkTreeView, "EDIT", true},
      {"my_shbrowseforfolder_pane", 0, true, nkTransparentPanel, "CHECKBOX", false},
      {"msctls_progress32", 0, false, nkKindCount, "", false},
      {"", 0, false, nkKindCount, "", false},
  };
  for (const TRow& row : rows) {
    const TnxChildChoice c = ChooseChildKind(row.Class, row.Style);
    SCOPED_TRACE(std::string(row.Class) + " style " + std::to_string(row.Style));
    EXPECT_EQ(c.Skinned, row.Skinned);
    EXPECT_FALSE(c.Abandon);
    if (!row.Skinned) continue;
    EXPECT_EQ(c.Kind, row.Kind);
    EXPECT_EQ(c.Section, row.Section);
    EXPECT_EQ(c.DialogMode, row.DialogMode);
  }
  // The class name is compared as the provider passes it: in lower case.
  EXPECT_EQ(LowerClassName("SysListView32"), "syslistview32");
  EXPECT_EQ(LowerClassName("#32770"), "#32770");
  EXPECT_FALSE(ChooseChildKind("Button", 0).Skinned);
  // Only a tab control of exactly 470 × 349 gives the dialog up.
  EXPECT_TRUE(ChooseChildKind("systabcontrol32", 0, 470, 349).Abandon);
  EXPECT_FALSE(ChooseChildKind("systabcontrol32", 0, 469, 349).Abandon);
  EXPECT_FALSE(ChooseChildKind("systabcontrol32", 0, 470, 350).Abandon);
  EXPECT_FALSE(ChooseChildKind("button", 0, 470, 349).Abandon);
}

// ---- The walk, on real dialogs ----

// A subclass made by a test factory: it records what it was made for and the
// skin commands its window hears.
class TRecordingWnd : public TnxMainWnd {
 public:
  TRecordingWnd(HWND window, const std::string& section, TsSkinManager* manager)
      : TnxMainWnd(window, true, section, manager, nullptr) {}
  std::vector<int> Commands;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_NIRVEXCMD) Commands.push_back(CommandOf(m.WParam));
    TnxMainWnd::WndProc(m);
  }
};

struct TMade {
  HWND Window;
  TnxKind Kind;
  std::string Section;
  bool DialogMode;
};

class NxProvider : public TFrameTest {
 protected:
  void SetUp() override {
    TFrameTest::SetUp();
    InstallDialogLayer(*announcer);
    RegisterAdapterSubclasses();
    RegisterStandardControls();
    WNDCLASS wc;
    wc.lpszClassName = "SysTabControl32";
    wc.lpfnWndProc = &DefWindowProc;
    RegisterClass(wc);
  }
  void TearDown() override {
    // The test factories go; the layer's own kinds come back.
    for (int k = 0; k < nkKindCount; ++k) RegisterSubclassKind(TnxKind(k), nullptr);
    RegisterAdapterSubclasses();
    FreeDialogProviders();
    TFrameTest::TearDown();
  }

  // A factory for a kind that records every object it makes.
  void Record(TnxKind kind) {
    RegisterSubclassKind(kind,
                         [this, kind](HWND h, const std::string& section,
                                      TsSkinManager* m) -> std::unique_ptr<TnxMainWnd> {
                           made.push_back({h, kind, section, SkinningDialogChildren});
                           if (onMake) onMake(h);
                           return std::make_unique<TRecordingWnd>(h, section, m);
                         });
  }
  std::vector<HWND> MadeWindows() const {
    std::vector<HWND> v;
    for (const TMade& m : made) v.push_back(m.Window);
    return v;
  }

  // A modeless dialog with no children yet.
  HWND NewDialog(int width = 300, int height = 200) {
    HWND dlg = CreateDialogWindow(nullptr, "Проба", width, height,
                                  [this](HWND, UINT msg, WPARAM w, LPARAM) -> INT_PTR {
                                    if (msg == SM_NIRVEXCMD) dialogCommands.push_back(CommandOf(w));
                                    return 0;
                                  });
    return dlg;
  }
  HWND Child(HWND parent, const char* cls, DWORD style, int x, int y, int w, int h,
             const char* text = "") {
    return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, 0);
  }
  // Shows and activates it: the hook hands it to the dialog layer.
  void Activate(HWND dlg) {
    ShowWindow(dlg, SW_SHOW);
    SetActiveWindow(dlg);
    Pump();
  }
  static bool OwnProcedure(HWND h) { return SubclassOf(h) == nullptr; }

  std::vector<TMade> made;
  std::function<void(HWND)> onMake;
  std::vector<int> dialogCommands;
};

TEST_F(NxProvider, WalksDepthFirstInChildOrderAndSendsNewSkinWhenDone) {
  LoadBuiltinSkin();
  for (TnxKind k : {nkDialogFrame, nkStaticText, nkTransparentPanel, nkEdit, nkCheckBox}) Record(k);
  HWND dlg = NewDialog();
  HWND label = Child(dlg, WC_STATIC, SS_LEFT, 8, 8, 80, 14, "Имя:");
  HWND pane = Child(dlg, WC_DIALOG, 0, 8, 30, 200, 80);
  HWND inner1 = Child(pane, WC_EDIT, 0, 4, 4, 100, 20);
  HWND inner2 = Child(pane, WC_BUTTON, BS_AUTOCHECKBOX, 4, 30, 100, 20, "Флажок");
  HWND ok = Child(dlg, WC_BUTTON, BS_DEFPUSHBUTTON, 8, 120, 75, 23, "OK");
  HWND grey = Child(dlg, WC_STATIC, SS_GRAYRECT, 100, 120, 20, 20);
  Activate(dlg);

  TnxProvider* p = DialogProviderOf(dlg);
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->Abandoned());
  ASSERT_NE(p->FrameWnd(), nullptr);
  EXPECT_EQ(p->FrameWnd()->Handle(), dlg);
  // The frame first, then every child after its own children.
  const std::vector<HWND> order{dlg, label, inner1, inner2, pane};
  EXPECT_EQ(MadeWindows(), order);
  EXPECT_EQ(made[0].Section, "DIALOG");
  EXPECT_FALSE(made[0].DialogMode);
  for (std::size_t i = 1; i < made.size(); ++i) EXPECT_TRUE(made[i].DialogMode);
  EXPECT_FALSE(SkinningDialogChildren);
  EXPECT_EQ(made[2].Section, "EDIT");
  EXPECT_EQ(made[3].Kind, nkCheckBox);
  EXPECT_EQ(made[4].Kind, nkTransparentPanel);
  // The push button has the registered push-button subclass; the grey
  // rectangle keeps its own look.
  EXPECT_NE(dynamic_cast<TnxBtnWnd*>(SubclassOf(ok)), nullptr);
  EXPECT_TRUE(SubclassOf(ok)->DlgMode());
  EXPECT_TRUE(OwnProcedure(grey));
  EXPECT_EQ(p->SkinnedChildren().size(), 5u);
  // Command 1 went to the dialog once the walk was done.
  EXPECT_EQ(std::count(dialogCommands.begin(), dialogCommands.end(), int(CmdNewSkin)), 1);

  // A second activation handles nothing again.
  const std::size_t before = made.size();
  SetActiveWindow(nullptr);
  Activate(dlg);
  EXPECT_EQ(made.size(), before);
  EXPECT_EQ(DialogProviders().size(), 1u);

  // Destroying the dialog frees its provider.
  DestroyWindow(dlg);
  Pump();
  EXPECT_TRUE(DialogProviders().empty());
}

TEST_F(NxProvider, OnlyDialogClassesAreAttachedAndOnlyUnderTheRulesAndAnActiveSkin) {
  Record(nkDialogFrame);
  // No skin: nothing is taken.
  HWND dlg = NewDialog();
  Child(dlg, WC_BUTTON, 0, 8, 8, 75, 23, "OK");
  Activate(dlg);
  EXPECT_TRUE(DialogProviders().empty());
  DestroyWindow(dlg);

  LoadBuiltinSkin();
  // Without standard dialogs in the rules the hook hands nothing on.
  manager->SetSkinningRules(srStdForms | srThirdParty);
  dlg = NewDialog();
  HWND ok = Child(dlg, WC_BUTTON, 0, 8, 8, 75, 23, "OK");
  Activate(dlg);
  EXPECT_TRUE(DialogProviders().empty());
  EXPECT_TRUE(OwnProcedure(ok));
  DestroyWindow(dlg);
  manager->SetSkinningRules(AllSkinningRules);

  // A window in the dialog without the child style is not attached; its
  // own children are.
  dlg = NewDialog();
  HWND holder = Child(dlg, WC_BUTTON, 0, 8, 8, 120, 60, "Держатель");
  HWND held = Child(holder, WC_BUTTON, 0, 4, 4, 75, 23, "Внутри");
  SetWindowLongPtr(holder, GWL_STYLE, GetWindowLongPtr(holder, GWL_STYLE) & ~LONG_PTR(WS_CHILD));
  ASSERT_EQ(GetWindow(dlg, GW_CHILD), holder);
  Activate(dlg);
  EXPECT_TRUE(OwnProcedure(holder));
  EXPECT_NE(SubclassOf(held), nullptr);
  DestroyWindow(dlg);
  made.clear();

  // A top-level window of another class gets a provider without subclasses.
  WNDCLASS wc;
  wc.lpszClassName = "SomeToolWindow";
  wc.lpfnWndProc = &DefWindowProc;
  RegisterClass(wc);
  HWND other =
      CreateWindowEx(0, "SomeToolWindow", "x", WS_POPUP | WS_CAPTION, 10, 10, 200, 100, nullptr, 0);
  HWND button = Child(other, WC_BUTTON, 0, 8, 8, 75, 23, "OK");
  Activate(other);
  ASSERT_NE(DialogProviderOf(other), nullptr);
  EXPECT_EQ(DialogProviderOf(other)->FrameWnd(), nullptr);
  EXPECT_TRUE(DialogProviderOf(other)->SkinnedChildren().empty());
  EXPECT_TRUE(made.empty());
  EXPECT_TRUE(OwnProcedure(button));
  DestroyWindow(other);
  EXPECT_TRUE(DialogProviders().empty());
}

TEST_F(NxProvider, ATabControlOf470By349AbandonsTheRestOfTheDialog) {
  LoadBuiltinSkin();
  Record(nkDialogFrame);
  HWND dlg = NewDialog(520, 440);
  HWND before = Child(dlg, WC_BUTTON, 0, 8, 8, 75, 23, "До");
  HWND tab = Child(dlg, "SysTabControl32", 0, 8, 40, 470, 349);
  HWND onTab = Child(tab, WC_BUTTON, 0, 8, 30, 75, 23, "На вкладке");
  HWND after = Child(dlg, WC_BUTTON, 0, 100, 400, 75, 23, "После");
  Activate(dlg);
  TnxProvider* p = DialogProviderOf(dlg);
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->Abandoned());
  // The tab's own children come before the tab itself; nothing after it.
  EXPECT_NE(SubclassOf(before), nullptr);
  EXPECT_NE(SubclassOf(onTab), nullptr);
  EXPECT_TRUE(OwnProcedure(tab));
  EXPECT_TRUE(OwnProcedure(after));
  EXPECT_TRUE(std::find(dialogCommands.begin(), dialogCommands.end(), int(CmdNewSkin)) ==
              dialogCommands.end());
  // It is not walked again, and what it attached still goes with it.
  SetActiveWindow(nullptr);
  Activate(dlg);
  EXPECT_EQ(DialogProviders().size(), 1u);
  EXPECT_TRUE(OwnProcedure(after));
  manager->SetActive(false);
  EXPECT_TRUE(DialogProviders().empty());
  EXPECT_TRUE(OwnProcedure(before));
  EXPECT_TRUE(OwnProcedure(onTab));
  DestroyWindow(dlg);

  // One pixel less is an ordinary tab control: the walk goes on past it.
  manager->SetActive(true);
  dlg = NewDialog(520, 440);
  Child(dlg, "SysTabControl32", 0, 8, 40, 469, 349);
  after = Child(dlg, WC_BUTTON, 0, 100, 400, 75, 23, "После");
  Activate(dlg);
  ASSERT_NE(DialogProviderOf(dlg), nullptr);
  EXPECT_FALSE(DialogProviderOf(dlg)->Abandoned());
  EXPECT_NE(SubclassOf(after), nullptr);
  DestroyWindow(dlg);
}

TEST_F(NxProvider, AChildThatAlreadyAnswersCommandSevenIsNotAttachedAgain) {
  LoadBuiltinSkin();
  HWND dlg = NewDialog();
  HWND ok = Child(dlg, WC_BUTTON, BS_DEFPUSHBUTTON, 8, 8, 75, 23, "OK");
  HWND cancel = Child(dlg, WC_BUTTON, 0, 100, 8, 75, 23, "Отмена");
  auto mine = std::make_unique<TnxBtnWnd>(ok, true, "BUTTON", manager.get(), nullptr);
  Activate(dlg);
  TnxProvider* p = DialogProviderOf(dlg);
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->SkinnedChildren().size(), 1u);
  EXPECT_EQ(p->SkinnedChildren()[0]->Handle(), cancel);
  EXPECT_EQ(SubclassOf(ok), mine.get());
  // Freeing the provider leaves the object it did not make in place.
  FreeDialogProviders();
  EXPECT_EQ(SubclassOf(ok), mine.get());
  EXPECT_TRUE(OwnProcedure(cancel));
  mine.reset();
  EXPECT_TRUE(OwnProcedure(ok));
  DestroyWindow(dlg);
}

TEST_F(NxProvider, ADialogDestroyedDuringTheWalkEndsItAndFreesTheProvider) {
  LoadBuiltinSkin();
  Record(nkDialogFrame);
  Record(nkStaticText);
  Record(nkEdit);
  // The second static destroys the whole dialog while it is being attached.
  HWND dlg = NewDialog();
  HWND first = Child(dlg, WC_STATIC, SS_LEFT, 8, 8, 80, 14, "Один");
  HWND second = Child(dlg, WC_STATIC, SS_LEFT, 8, 30, 80, 14, "Два");
  Child(dlg, WC_EDIT, 0, 8, 60, 80, 20);
  onMake = [&](HWND h) {
    if (h == second) DestroyWindow(dlg);
  };
  Activate(dlg);
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_TRUE(DialogProviders().empty());
  ASSERT_EQ(made.size(), 3u);  // frame, first, second: the edit was never reached
  EXPECT_EQ(made[1].Window, first);
  EXPECT_FALSE(SkinningDialogChildren);

  // A child's own procedure destroys the dialog when asked command 7.
  made.clear();
  onMake = nullptr;
  dlg = NewDialog();
  HWND trap = Child(dlg, WC_STATIC, SS_LEFT, 8, 8, 80, 14, "Ловушка");
  WNDPROC previous;
  previous = SetWindowProc(trap, WNDPROC::FromClosure([&](HWND h, UINT m, WPARAM w, LPARAM l) {
                             if (m == SM_NIRVEXCMD && CommandOf(w) == CmdQueryHandled)
                               DestroyWindow(GetParent(h));
                             return CallWindowProc(previous, h, m, w, l);
                           }));
  HWND later = Child(dlg, WC_STATIC, SS_LEFT, 8, 30, 80, 14, "Потом");
  Activate(dlg);
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_FALSE(IsWindow(later));
  EXPECT_TRUE(DialogProviders().empty());
  EXPECT_EQ(made.size(), 1u);  // the frame alone
}

TEST_F(NxProvider, ChildrenMadeDestroyedAndMovedOutWhileSkinnedKeepTheirProcedures) {
  LoadBuiltinSkin();
  Record(nkDialogFrame);
  Record(nkStaticText);
  HWND dlg = NewDialog();
  HWND gone = Child(dlg, WC_BUTTON, 0, 8, 8, 75, 23, "Уйду");
  HWND moved = Child(dlg, WC_BUTTON, 0, 100, 8, 75, 23, "Перееду");
  Activate(dlg);
  ASSERT_NE(DialogProviderOf(dlg), nullptr);
  const WNDPROC movedOwn = GetWindowProc(moved);  // the subclass's, for now
  EXPECT_NE(SubclassOf(moved), nullptr);

  // A button made later is skinned as the walk would have; a pane made later
  // with a label of its own gets both.
  HWND late = Child(dlg, WC_BUTTON, 0, 8, 60, 75, 23, "Новая");
  EXPECT_NE(dynamic_cast<TnxBtnWnd*>(SubclassOf(late)), nullptr);
  HWND label = Child(dlg, WC_STATIC, SS_LEFT, 8, 100, 80, 14, "Позже");
  EXPECT_NE(SubclassOf(label), nullptr);

  // A child destroyed, one destroyed inside its own paint, and one moved to
  // another window: the dialog lives on, and freeing it leaves every window
  // alive with its own procedure.
  DestroyWindow(gone);
  auto* form = MakeForm(bsSingle, 300, 200);
  SetParent(moved, form->Handle());
  Pump();
  (void)movedOwn;
  manager->SetActive(false);
  EXPECT_TRUE(DialogProviders().empty());
  EXPECT_TRUE(IsWindow(moved));
  EXPECT_TRUE(OwnProcedure(moved));
  EXPECT_TRUE(OwnProcedure(late));
  EXPECT_TRUE(OwnProcedure(label));
  // The button answers as a plain button again.
  EXPECT_EQ(SendCommandToWindow(moved, CmdQueryHandled), 0);
  DestroyWindow(dlg);
}

// A subclass whose paint destroys its whole dialog, and which goes on using
// itself afterwards, as a handler that does not know does.
class TDestroyingWnd : public TnxMainWnd {
 public:
  TDestroyingWnd(HWND window, const std::string& section, TsSkinManager* manager)
      : TnxMainWnd(window, true, section, manager, nullptr) {}
  int Paints = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_PAINT && Paints == 0) {
      DestroyWindow(GetAncestor(Handle(), GA_ROOT));
      ++Paints;  // the object is still there
      m.Result = 0;
      return;
    }
    TnxMainWnd::WndProc(m);
  }
};

TEST_F(NxProvider, ADialogDestroyedInsideAChildsOwnPaintFreesTheChildAfterwards) {
  LoadBuiltinSkin();
  RegisterSubclassKind(nkStaticText, [](HWND h, const std::string& section, TsSkinManager* m) {
    return std::unique_ptr<TnxMainWnd>(std::make_unique<TDestroyingWnd>(h, section, m));
  });
  HWND dlg = NewDialog();
  HWND label = Child(dlg, WC_STATIC, SS_LEFT, 8, 8, 80, 14, "Прощай");
  // Its first paint comes once the dialog is shown.
  Activate(dlg);
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_FALSE(IsWindow(label));
  EXPECT_TRUE(DialogProviders().empty());
}

TEST_F(NxProvider, SkinSwitchesReachTheDialogAndSwitchingOffGivesEveryWindowBack) {
  LoadBuiltinSkin();
  Record(nkDialogFrame);
  Record(nkStaticText);
  WriteRecolouredSkin(*manager->MasterBitmap, dir, SourceDir());
  HWND dlg = NewDialog();
  HWND label = Child(dlg, WC_STATIC, SS_LEFT, 8, 8, 80, 14, "Текст");
  HWND ok = Child(dlg, WC_BUTTON, BS_DEFPUSHBUTTON, 8, 40, 75, 23, "OK");
  const WNDPROC dialogOwn = GetWindowProc(dlg), labelOwn = GetWindowProc(label),
                okOwn = GetWindowProc(ok);
  Activate(dlg);
  TnxProvider* p = DialogProviderOf(dlg);
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(GetWindowProc(dlg) == dialogOwn);
  auto* frame = static_cast<TRecordingWnd*>(p->FrameWnd());
  auto* text = static_cast<TRecordingWnd*>(SubclassOf(label));
  ASSERT_NE(text, nullptr);
  frame->Commands.clear();
  text->Commands.clear();
  PresentWindows();
  const TBitmap before = host.WindowShot(GetHostWindow(dlg));

  manager->SetSkinName(RecolouredSkin);
  ASSERT_TRUE(manager->SkinData.Active);
  Pump();
  // New skin and refresh reached the dialog and its children, which are
  // still the same objects.
  for (auto* o : {frame, text}) {
    EXPECT_NE(std::find(o->Commands.begin(), o->Commands.end(), int(CmdNewSkin)),
              o->Commands.end());
    EXPECT_NE(std::find(o->Commands.begin(), o->Commands.end(), int(CmdRefresh)),
              o->Commands.end());
  }
  EXPECT_EQ(SubclassOf(label), text);
  // The push button's caption repainted in the new skin's font colour.
  PresentWindows();
  const TBitmap after = host.WindowShot(GetHostWindow(dlg));
  TRect r;
  GetWindowRect(ok, &r);
  TRect d;
  GetWindowRect(dlg, &d);
  int changed = 0;
  for (int y = r.Top - d.Top; y < r.Bottom - d.Top; ++y)
    for (int x = r.Left - d.Left; x < r.Right - d.Left; ++x)
      changed += before.GetPixel(x, y) != after.GetPixel(x, y);
  EXPECT_GT(changed, 10);

  // Switching off frees the provider: every window has its own procedure.
  manager->SetActive(false);
  Pump();
  EXPECT_TRUE(DialogProviders().empty());
  EXPECT_TRUE(OwnProcedure(dlg));
  EXPECT_TRUE(OwnProcedure(label));
  EXPECT_TRUE(OwnProcedure(ok));
  // Exactly the procedures they had, the watcher of new children included.
  EXPECT_TRUE(GetWindowProc(dlg) == dialogOwn);
  EXPECT_TRUE(GetWindowProc(label) == labelOwn);
  EXPECT_TRUE(GetWindowProc(ok) == okOwn);
  DestroyWindow(dlg);
}

TEST_F(NxProvider, ASkinWithoutDialogLeavesTheFramePlainAndSkinsTheRest) {
  // The built-in skin's description with its DIALOG section renamed away.
  LoadBuiltinSkin();
  std::ifstream in(SourceDir() / "assets/skins/office2007-blue/Options.dat", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string options = ReplaceAll(text.str(), "[DIALOG]", "[NODIALOG]");
  ASSERT_NE(options, text.str());
  fs::create_directories(dir / "NoDialog");
  SaveBmpFile((dir / "NoDialog" / "MASTER.BMP").string(), *manager->MasterBitmap);
  LoadFolderSkin("NoDialog", options);
  ASSERT_TRUE(manager->SkinData.Active);
  ASSERT_EQ(manager->FindSectionIndex("DIALOG"), -1);

  auto shot = [&](HWND dlg) {
    PresentWindows();
    return host.WindowShot(GetHostWindow(dlg));
  };
  // The plain dialog first, with the layer out of the way.
  manager->SetSkinningRules(srStdForms | srThirdParty);
  HWND plainDlg = NewDialog(200, 80);
  Child(plainDlg, WC_BUTTON, 0, 8, 8, 75, 23, "OK");
  Activate(plainDlg);
  const TBitmap plain = shot(plainDlg);
  DestroyWindow(plainDlg);
  manager->SetSkinningRules(AllSkinningRules);

  HWND dlg = NewDialog(200, 80);
  HWND ok = Child(dlg, WC_BUTTON, 0, 8, 8, 75, 23, "OK");
  Activate(dlg);
  ASSERT_NE(DialogProviderOf(dlg), nullptr);
  EXPECT_NE(dynamic_cast<TnxBtnWnd*>(SubclassOf(ok)), nullptr);
  const TBitmap skinned = shot(dlg);
  ASSERT_EQ(plain.Width(), skinned.Width());
  // The caption and borders are the platform's; the button is the skin's.
  TRect c;
  GetClientRect(dlg, &c);
  TPoint origin{0, 0};
  ClientToScreen(dlg, &origin);
  TRect w;
  GetWindowRect(dlg, &w);
  const int top = origin.Y - w.Top;
  for (int y = 0; y < top; ++y)
    for (int x = 0; x < plain.Width(); ++x)
      ASSERT_EQ(plain.GetPixel(x, y), skinned.GetPixel(x, y)) << x << ", " << y;
  const int bx = origin.X - w.Left + 8 + 37, by = top + 8 + 2;
  EXPECT_NE(plain.GetPixel(bx, by), skinned.GetPixel(bx, by));
  DestroyWindow(dlg);
}

// A message form of the program: a form whose class is "TMessageForm".
class TMessageForm : public TForm {
 public:
  using TForm::TForm;
  std::string ClassName() const override { return "TMessageForm"; }
};

TEST_F(NxProvider, AMessageFormGetsItsFrameThroughTheProviderWithoutTheSkinChooser) {
  LoadBuiltinSkin();
  auto* box = Create<TMessageForm>(app.get());
  box->SetBorderStyle(bsDialog);
  box->SetBounds(50, 50, 240, 120);
  box->Show();
  Pump();
  TnxProvider* p = DialogProviderOf(box->Handle());
  ASSERT_NE(p, nullptr);
  ASSERT_NE(p->FormFrame(), nullptr);
  EXPECT_EQ(p->FormFrame(), ProviderOf(box));
  EXPECT_FALSE(p->FormFrame()->MakeSkinMenu);
  EXPECT_EQ(p->FrameWnd(), nullptr);
  // One frame only.
  int frames = 0;
  for (TsSkinProvider* r : RuntimeProviders()) frames += r->FrameForm() == box;
  EXPECT_EQ(frames, 1);
  // Freeing the provider leaves the form its frame until skinning stops.
  FreeDialogProvider(box->Handle());
  EXPECT_NE(ProviderOf(box), nullptr);
  manager->SetActive(false);
  EXPECT_EQ(ProviderOf(box), nullptr);
}

TEST_F(NxProvider, TheEnginesMessageBoxIsPlacedWhereItAsks) {
  LoadBuiltinSkin();
  std::vector<TRect> seen;
  host.SetIdleHandler([&] {
    HWND box = GetActiveWindow();
    if (!box || GetClassName(box) != WC_DIALOG) return false;
    TRect r;
    GetWindowRect(box, &r);
    seen.push_back(r);
    host.Key(VK_RETURN);
    return true;
  });
  EXPECT_EQ(SkinMessageBox(nullptr, "Текст", "Заголовок", MB_OK, 33, 44), IDOK);
  EXPECT_EQ(SkinMessageBox(nullptr, "Текст", "Заголовок", MB_OK), IDOK);
  EXPECT_EQ(MessageBox(nullptr, "Текст", "Заголовок", MB_OK), IDOK);
  host.SetIdleHandler(nullptr);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].Left, 33);
  EXPECT_EQ(seen[0].Top, 44);
  // Unasked, the box stays where the platform centres it, at its size.
  EXPECT_EQ(seen[1], seen[2]);
  EXPECT_EQ(seen[0].Width(), seen[1].Width());
  EXPECT_EQ(seen[0].Height(), seen[1].Height());
  EXPECT_FALSE(MessageBoxPosition().Requested());
}

}  // namespace
}  // namespace vm::test
