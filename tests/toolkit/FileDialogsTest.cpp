// The file dialog components driven through the headless host as a user
// drives them: picking a file, typing a name, cancelling, the options that
// change what is accepted, and the dialog being modal for the active form.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/FileDialog.h"
#include "platform/controls/MessageBox.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/OpenDialog.h"
#include "toolkit/OpenPictureDialog.h"
#include "toolkit/Picture.h"
#include "toolkit/SaveDialog.h"
#include "toolkit/SavePictureDialog.h"
#include "toolkit/Timer.h"

namespace vm::test {
namespace {

namespace fs = std::filesystem;

using TStep = std::function<void(HWND)>;

class FileDialogsTest : public TToolkitTest {
 protected:
  static void SetUpTestSuite() { PinFontConfiguration(); }
  void SetUp() override {
    TToolkitTest::SetUp();
    dir = fs::temp_directory_path() / ("vm-tk-filedialogs-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "Папка");
    for (const char* name : {"a.jpg", "b.jpeg", "notes.txt"}) Write(dir / name, "data");
    form = MakeForm(100, 100, 300, 200);
    form->Show();
    Pump();
  }
  void TearDown() override {
    host.SetIdleHandler(nullptr);
    // A dialog that chose a file made its folder current: the next test
    // starts where this one did.
    fs::current_path(cwd);
    fs::remove_all(dir);
    TToolkitTest::TearDown();
  }
  const fs::path cwd = fs::current_path();
  static void Write(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
  }
  // The dialog in front: the file dialog, or a message box over it.
  static HWND Front() {
    HWND a = GetActiveWindow();
    return a && GetClassName(a) == WC_DIALOG ? a : nullptr;
  }
  static bool IsFileDialog(HWND box) { return GetDlgItem(box, IDC_FD_LIST) != nullptr; }
  // Runs Execute; each idle turn of the dialog's loop plays the next step.
  bool Run(TOpenDialog& d, std::vector<TStep> steps) {
    std::size_t next = 0;
    host.SetIdleHandler([&]() {
      HWND box = Front();
      if (!box || next >= steps.size()) return false;
      steps[next++](box);
      return true;
    });
    bool r = d.Execute();
    host.SetIdleHandler(nullptr);
    EXPECT_EQ(next, steps.size()) << "the dialog ended before the script did";
    return r;
  }
  void TypeName(HWND box, std::string_view text) {
    ASSERT_TRUE(IsFileDialog(box));
    HWND edit = GetDlgItem(box, IDC_FD_NAME);
    SetFocus(edit);
    SendMessage(edit, EM_SETSEL, 0, -1);
    host.Type(text);
  }
  TStep Typed(std::string text) {
    return [this, text](HWND box) {
      TypeName(box, text);
      host.Key(VK_RETURN);
    };
  }

  fs::path dir;
  TForm* form = nullptr;
};

TEST_F(FileDialogsTest, DefaultsOfTheFourComponents) {
  tk::RegisterJpegFileFormats();
  TOpenDialog open(nullptr);
  TSaveDialog save(nullptr);
  TOpenPictureDialog openPicture(nullptr);
  TSavePictureDialog savePicture(nullptr);
  EXPECT_EQ(open.ClassName(), "TOpenDialog");
  EXPECT_EQ(savePicture.ClassName(), "TSavePictureDialog");
  EXPECT_EQ(open.FilterIndex(), 1);
  EXPECT_EQ(open.Filter(), "");
  EXPECT_EQ(open.Options(), ofHideReadOnly | ofPathMustExist | ofFileMustExist | ofEnableSizing);
  // The program relies on saving over a file without a question.
  EXPECT_FALSE(save.Options() & ofOverwritePrompt);
  EXPECT_FALSE(savePicture.Options() & ofOverwritePrompt);
  // The picture dialogs offer every registered picture format.
  EXPECT_EQ(openPicture.Filter(), tk::TPicture::GraphicFilter());
  EXPECT_NE(openPicture.Filter().find("*.jpg"), std::string::npos);
  EXPECT_EQ(savePicture.Filter(), tk::TPicture::GraphicFilter());
  open.SetDefaultExt(".jpg");
  EXPECT_EQ(open.DefaultExt(), "jpg");
}

TEST_F(FileDialogsTest, OpenPictureDialogPicksAFileModalForTheActiveFormWithTimersRunning) {
  TOpenPictureDialog d(form);
  d.SetFilter("JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg");
  d.SetInitialDir(dir.string());
  auto* timer = Create<TTimer>(form);
  int ticks = 0;
  timer->SetInterval(1000);
  timer->SetOnTimer([&](TComponent*) { ++ticks; });
  int shown = 0, closed = 0;
  d.OnShow = [&](TComponent*) { ++shown; };
  d.OnClose = [&](TComponent*) { ++closed; };
  bool ok =
      Run(d, {[&](HWND box) {
                EXPECT_EQ(GetWindow(box, GW_OWNER), form->Handle());
                EXPECT_FALSE(IsWindowEnabled(form->Handle()));
                EXPECT_EQ(GetWindowText(box), "Открыть");
                EXPECT_NE(GetDlgItem(box, IDC_FD_PREVIEW), nullptr);
                EXPECT_EQ(shown, 1);
                EXPECT_EQ(closed, 0);
                host.AdvanceClock(1000);
              },
              [&](HWND) {
                EXPECT_EQ(ticks, 1);  // the size line keeps counting meanwhile
                host.AdvanceClock(1000);
              },
              [&](HWND box) {
                EXPECT_EQ(ticks, 2);
                // The second type lists *.jpeg; pick its one file in the list.
                HWND types = GetDlgItem(box, IDC_FD_TYPE);
                SendMessage(types, CB_SETCURSEL, 1, 0);
                SendMessage(box, WM_COMMAND, MAKEWPARAM(IDC_FD_TYPE, CBN_SELCHANGE),
                            LPARAM(reinterpret_cast<std::uintptr_t>(types)));
                HWND list = GetDlgItem(box, IDC_FD_LIST);
                ASSERT_EQ(SendMessage(list, LVM_GETITEMCOUNT), 2);  // Папка, b.jpeg
                TRect r{};
                r.Left = LVIR_BOUNDS;
                SendMessage(list, LVM_GETITEMRECT, 1, LPARAM(reinterpret_cast<std::uintptr_t>(&r)));
                TPoint p{r.Left + 10, (r.Top + r.Bottom) / 2};
                ClientToScreen(list, &p);
                host.DoubleClick(p.X, p.Y);
              }});
  ASSERT_TRUE(ok);
  EXPECT_EQ(d.FileName(), (dir / "b.jpeg").string());
  EXPECT_EQ(d.FilterIndex(), 2);
  EXPECT_EQ(closed, 1);
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_EQ(GetActiveWindow(), form->Handle());
}

TEST_F(FileDialogsTest, CancelChangesNothing) {
  TOpenDialog d(form);
  d.SetFilter("Все|*.*");
  d.SetFileName((dir / "a.jpg").string());
  d.SetFilterIndex(7);  // no such type: the dialog shows the first, the property stays
  d.SetTitle("Выбор снимка");
  bool ok =
      Run(d, {[&](HWND box) {
            EXPECT_EQ(GetWindowText(box), "Выбор снимка");
            EXPECT_EQ(GetWindowText(GetDlgItem(box, IDC_FD_NAME)), "a.jpg");  // in its folder
            EXPECT_EQ(GetDlgItem(box, IDC_FD_PREVIEW), nullptr);  // the plain dialog has no preview
            TypeName(box, "b.jpeg");
            host.Key(VK_ESCAPE);
          }});
  EXPECT_FALSE(ok);
  EXPECT_EQ(d.FileName(), (dir / "a.jpg").string());
  EXPECT_EQ(d.FilterIndex(), 7);
}

TEST_F(FileDialogsTest, SaveAppendsTheDefaultExtensionToATypedNameAndReplacesWithoutAsking) {
  TSavePictureDialog d(form);
  d.SetFilter("JPEG Image File (*.jpg)|*.jpg");
  d.SetInitialDir(dir.string());
  d.SetDefaultExt("jpg");
  ASSERT_TRUE(Run(d, {Typed("снимок")}));
  EXPECT_EQ(d.FileName(), (dir / "снимок.jpg").string());
  EXPECT_FALSE(d.Options() & ofExtensionDifferent);
  // A name with an extension of its own keeps it, and says it differs.
  ASSERT_TRUE(Run(d, {Typed("other.jpeg")}));
  EXPECT_EQ(d.FileName(), (dir / "other.jpeg").string());
  EXPECT_TRUE(d.Options() & ofExtensionDifferent);
  // An existing file is taken at once: no question.
  ASSERT_TRUE(Run(d, {Typed("a")}));
  EXPECT_EQ(d.FileName(), (dir / "a.jpg").string());
  EXPECT_FALSE(d.Options() & ofExtensionDifferent);
}

TEST_F(FileDialogsTest, OverwritePromptAsksAndNoKeepsTheDialogOpen) {
  TSaveDialog d(form);
  d.SetFilter("JPEG Image File (*.jpg)|*.jpg");
  d.SetInitialDir(dir.string());
  d.SetOptions(d.Options() | ofOverwritePrompt);
  bool ok = Run(d, {Typed("a.jpg"),
                    [&](HWND box) {
                      ASSERT_FALSE(IsFileDialog(box));  // the question, over the dialog
                      EXPECT_NE(GetWindowText(GetDlgItem(box, IDC_MSGBOX_TEXT)).find("a.jpg"),
                                std::string::npos);
                      host.Key(VK_RETURN);  // the default answer is No
                    },
                    [&](HWND box) {
                      ASSERT_TRUE(IsFileDialog(box));  // still choosing
                      TypeName(box, "a.jpg");
                      host.Key(VK_RETURN);
                    },
                    [&](HWND box) {
                      ASSERT_FALSE(IsFileDialog(box));
                      SendMessage(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
                    }});
  ASSERT_TRUE(ok);
  EXPECT_EQ(d.FileName(), (dir / "a.jpg").string());
  // A new name is not asked about.
  ASSERT_TRUE(Run(d, {Typed("new.jpg")}));
  EXPECT_EQ(d.FileName(), (dir / "new.jpg").string());
}

TEST_F(FileDialogsTest, ExistenceChecksFollowTheOptions) {
  TOpenDialog d(form);
  d.SetInitialDir(dir.string());
  // By default a missing file is told in the dialog and not returned.
  bool ok = Run(d, {Typed("missing.jpg"), [&](HWND box) {
                      EXPECT_EQ(GetWindowText(GetDlgItem(box, IDC_FD_MESSAGE)),
                                "Файл не найден: missing.jpg");
                      host.Key(VK_ESCAPE);
                    }});
  EXPECT_FALSE(ok);
  // Without ofFileMustExist the name is the caller's to check.
  d.SetOptions(d.Options() & ~ofFileMustExist);
  ASSERT_TRUE(Run(d, {Typed("missing.jpg")}));
  EXPECT_EQ(d.FileName(), (dir / "missing.jpg").string());
  // Without ofPathMustExist a name in a folder that does not exist passes too.
  TSaveDialog s(form);
  s.SetInitialDir(dir.string());
  ok = Run(s, {Typed("нет/x.jpg"), [&](HWND box) {
                 EXPECT_EQ(GetWindowText(GetDlgItem(box, IDC_FD_MESSAGE)),
                           "Папка не найдена: " + (dir / "нет").string());
                 host.Key(VK_ESCAPE);
               }});
  EXPECT_FALSE(ok);
  s.SetOptions(s.Options() & ~ofPathMustExist);
  ASSERT_TRUE(Run(s, {Typed("нет/x.jpg")}));
  EXPECT_EQ(s.FileName(), (dir / "нет" / "x.jpg").string());
}

TEST_F(FileDialogsTest, EventsFollowTheUserAndOnCanCloseMayKeepTheDialogOpen) {
  TOpenPictureDialog d(form);
  d.SetFilter("JPEG|*.jpg|JPEG|*.jpeg");
  d.SetInitialDir(dir.string());
  std::vector<std::string> seen;
  d.OnFolderChange = [&](TComponent*) { seen.push_back("folder"); };
  d.OnSelectionChange = [&](TComponent*) { seen.push_back("select " + d.FileName()); };
  d.OnTypeChange = [&](TComponent*) { seen.push_back("type " + std::to_string(d.FilterIndex())); };
  int asked = 0;
  d.OnCanClose = [&](TComponent*, bool& can) {
    ++asked;
    seen.push_back("close? " + d.FileName());
    if (asked == 1) throw std::runtime_error("Нельзя");  // reported; the dialog stays
    can = asked > 2;
  };
  std::string reported;
  app->OnException = [&](TComponent*, const std::exception& e) { reported = e.what(); };
  auto clickFirstFile = [&](HWND box) {
    HWND list = GetDlgItem(box, IDC_FD_LIST);
    TRect r{};
    r.Left = LVIR_BOUNDS;
    SendMessage(list, LVM_GETITEMRECT, 1, LPARAM(reinterpret_cast<std::uintptr_t>(&r)));
    TPoint p{r.Left + 10, (r.Top + r.Bottom) / 2};
    ClientToScreen(list, &p);
    host.AdvanceClock(1000);  // a single click, not the second of a double click
    host.Click(p.X, p.Y);
  };
  const std::string a = (dir / "a.jpg").string(), b = (dir / "b.jpeg").string();
  bool ok = Run(d, {clickFirstFile, [&](HWND box) { SendMessage(box, WM_COMMAND, IDOK, 0); },
                    [&](HWND box) {
                      EXPECT_EQ(reported, "Нельзя");
                      SendMessage(box, WM_COMMAND, IDOK, 0);  // refused by the handler
                    },
                    [&](HWND box) {
                      HWND types = GetDlgItem(box, IDC_FD_TYPE);
                      SendMessage(types, CB_SETCURSEL, 1, 0);
                      SendMessage(box, WM_COMMAND, MAKEWPARAM(IDC_FD_TYPE, CBN_SELCHANGE),
                                  LPARAM(reinterpret_cast<std::uintptr_t>(types)));
                      clickFirstFile(box);
                    },
                    [&](HWND box) { SendMessage(box, WM_COMMAND, IDOK, 0); }});
  ASSERT_TRUE(ok);
  EXPECT_EQ(d.FileName(), b);
  EXPECT_EQ(d.FilterIndex(), 2);
  EXPECT_EQ(seen, (std::vector<std::string>{"folder", "select " + a, "close? " + a, "close? " + a,
                                            "type 2", "select " + b, "close? " + b}));

  // Cancelling puts back what the events had shown meanwhile.
  seen.clear();
  d.OnCanClose = nullptr;
  ok = Run(d, {[&](HWND box) {
                 HWND types = GetDlgItem(box, IDC_FD_TYPE);
                 SendMessage(types, CB_SETCURSEL, 0, 0);
                 SendMessage(box, WM_COMMAND, MAKEWPARAM(IDC_FD_TYPE, CBN_SELCHANGE),
                             LPARAM(reinterpret_cast<std::uintptr_t>(types)));
                 clickFirstFile(box);
               },
               [&](HWND box) {
                 EXPECT_EQ(d.FileName(), a);
                 TypeName(box, "Папка");
                 host.Key(VK_RETURN);
               },
               [&](HWND) { host.Key(VK_ESCAPE); }});
  EXPECT_FALSE(ok);
  EXPECT_EQ(d.FileName(), b);
  EXPECT_EQ(d.FilterIndex(), 2);
  EXPECT_EQ(seen, (std::vector<std::string>{"folder", "type 1", "select " + a, "folder"}));
}

TEST_F(FileDialogsTest, EnableSizingLetsTheListGrowAndNeverShrinksBelowTheFirstSize) {
  TOpenPictureDialog d(form);
  d.SetInitialDir(dir.string());
  TRect listBefore, listAfter, okBefore, okAfter, previewBefore, previewAfter;
  bool ok =
      Run(d, {[&](HWND box) {
            EXPECT_TRUE(GetWindowLongPtr(box, GWL_STYLE) & WS_THICKFRAME);
            GetWindowRect(GetDlgItem(box, IDC_FD_LIST), &listBefore);
            GetWindowRect(GetDlgItem(box, IDOK), &okBefore);
            GetWindowRect(GetDlgItem(box, IDC_FD_PREVIEW), &previewBefore);
            TRect wr;
            GetWindowRect(box, &wr);
            // Drag the bottom-right corner 80 right and 60 down.
            host.Drag({wr.Right - 2, wr.Bottom - 2}, {wr.Right + 78, wr.Bottom + 58});
            Pump();
            TRect grown;
            GetWindowRect(box, &grown);
            EXPECT_EQ(grown.Width(), wr.Width() + 80);
            EXPECT_EQ(grown.Height(), wr.Height() + 60);
            GetWindowRect(GetDlgItem(box, IDC_FD_LIST), &listAfter);
            GetWindowRect(GetDlgItem(box, IDOK), &okAfter);
            GetWindowRect(GetDlgItem(box, IDC_FD_PREVIEW), &previewAfter);
            // Smaller than at first is refused.
            host.Drag({grown.Right - 2, grown.Bottom - 2}, {grown.Right - 300, grown.Bottom - 300});
            Pump();
            TRect shrunk;
            GetWindowRect(box, &shrunk);
            EXPECT_EQ(shrunk.Width(), wr.Width());
            EXPECT_EQ(shrunk.Height(), wr.Height());
            host.Key(VK_ESCAPE);
          }});
  EXPECT_FALSE(ok);
  EXPECT_EQ(listAfter.Width(), listBefore.Width() + 80);
  EXPECT_EQ(listAfter.Height(), listBefore.Height() + 60);
  EXPECT_EQ(okAfter.Left - okBefore.Left, 80);
  EXPECT_EQ(okAfter.Top - okBefore.Top, 60);
  EXPECT_EQ(okAfter.Width(), okBefore.Width());
  EXPECT_EQ(previewAfter.Left - previewBefore.Left, 80);
  EXPECT_EQ(previewAfter.Top, previewBefore.Top);

  // Without the option the dialog keeps its size.
  d.SetOptions(d.Options() & ~ofEnableSizing);
  ok = Run(d, {[&](HWND box) {
             EXPECT_FALSE(GetWindowLongPtr(box, GWL_STYLE) & WS_THICKFRAME);
             host.Key(VK_ESCAPE);
           }});
  EXPECT_FALSE(ok);
}

}  // namespace
}  // namespace vm::test
