// The picture file dialogs driven as a user drives them, and the folder
// logic behind them.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ControlTestSupport.h"
#include "platform/controls/ControlDefs.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/FileDialog.h"
#include "platform/gfx/JpegCodec.h"

namespace vm::test {
namespace {

namespace fs = std::filesystem;

TEST(FileDialogLogic, FiltersPatternsAndPaths) {
  auto f = ParseFileFilter("Рисунки JPEG|*.jpg;*.jpeg| Все файлы |*.*|Без шаблона");
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0].Description, "Рисунки JPEG");
  EXPECT_EQ(f[0].Patterns, (std::vector<std::string>{"*.jpg", "*.jpeg"}));
  EXPECT_EQ(f[1].Patterns, (std::vector<std::string>{"*.*"}));
  EXPECT_EQ(f[2].Patterns, (std::vector<std::string>{"*"}));
  EXPECT_TRUE(ParseFileFilter("").empty());

  EXPECT_TRUE(MatchesPattern("Photo.JPG", "*.jpg"));
  EXPECT_TRUE(MatchesPattern("ЁЛКА.jpeg", "ёлка.*"));
  EXPECT_TRUE(MatchesPattern("a.b.c", "*.c"));
  EXPECT_TRUE(MatchesPattern("abc", "a?c"));
  EXPECT_TRUE(MatchesPattern("я", "?"));  // one character, two bytes
  EXPECT_FALSE(MatchesPattern("photo.jpgx", "*.jpg"));
  EXPECT_FALSE(MatchesPattern("ac", "a?c"));
  EXPECT_TRUE(MatchesPattern("no-dot", "*.*"));
  EXPECT_TRUE(MatchesPattern(std::string("\xFF\xFE.jpg"), "*.jpg"));

  EXPECT_EQ(ResolvePath("/home/u", "pics/../a.jpg"), "/home/u/a.jpg");
  EXPECT_EQ(ResolvePath("/home/u", "/x//y/./z"), "/x/y/z");
  EXPECT_EQ(ResolvePath("/", "../../.."), "/");
  // A platform name with a drive is looked for in the program's data folder.
  const char* saved = getenv("XDG_DATA_HOME");
  const std::string was = saved ? saved : "";
  setenv("XDG_DATA_HOME", "/srv/data", 1);
  EXPECT_EQ(ResolvePath("/home/u", "C:\\Photos\\a.jpg"), "/srv/data/velmora/Photos/a.jpg");
  EXPECT_EQ(ResolvePath("/home/u", "d:/x/../y"), "/srv/data/velmora/D/y");
  if (saved)
    setenv("XDG_DATA_HOME", was.c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(FolderChain("/home/u/p"),
            (std::vector<std::string>{"/", "/home", "/home/u", "/home/u/p"}));
  EXPECT_EQ(FolderChain("/"), (std::vector<std::string>{"/"}));
  EXPECT_EQ(ValidUtf8(std::string("a\xC3(b\xE2\x82")), "a\xEF\xBF\xBD(b\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(ValidUtf8("Ёж"), "Ёж");
  EXPECT_EQ(FoldCase("ABC Ёж ЯБЛОКО"), "abc ёж яблоко");
}

class FileDialogTest : public TControlTest {
 protected:
  void SetUp() override {
    TControlTest::SetUp();
    dir = fs::temp_directory_path() / ("vm-filedialog-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "Папка");
    fs::create_directories(dir / "beta");
    TBitmap pic(64, 48);
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) pic.SetPixel(x, y, RGB(x * 4, y * 5, 128));
    std::vector<std::uint8_t> jpeg = EncodeJpeg(pic, 90);
    Write(dir / "b.JPEG", jpeg);
    Write(dir / "a.jpg", jpeg);
    Write(dir / "Ёлка.jpg", jpeg);
    Write(dir / "notes.txt", {'h', 'i'});
    Write(dir / ".hidden.jpg", jpeg);
    Write(dir / "broken.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'});
    Write(dir / "Папка" / "inner.jpg", jpeg);
  }
  void TearDown() override {
    host.SetIdleHandler(nullptr);
    // A dialog that chose a file made its folder current: the next test
    // starts where this one did.
    fs::current_path(cwd);
    fs::remove_all(dir);
    TControlTest::TearDown();
  }
  const fs::path cwd = fs::current_path();
  static void Write(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  static HWND Box() {
    HWND a = GetActiveWindow();
    return a && GetClassName(a) == WC_DIALOG ? a : nullptr;
  }
  // Runs the dialog; each idle wait plays the next step of the user's script.
  std::optional<TFileDialogResult> Run(TFileDialogParams p,
                                       std::vector<std::function<void(HWND)>> steps) {
    std::size_t next = 0;
    host.SetIdleHandler([&]() {
      HWND box = Box();
      if (!box || next >= steps.size()) return false;
      steps[next++](box);
      return true;
    });
    p.Owner = parent;
    auto r = RunFileDialog(p);
    host.SetIdleHandler(nullptr);
    EXPECT_EQ(next, steps.size()) << "the dialog ended before the script did";
    return r;
  }
  static std::vector<std::string> Names(HWND box) {
    HWND list = GetDlgItem(box, IDC_FD_LIST);
    std::vector<std::string> out;
    int n = int(SendMessage(list, LVM_GETITEMCOUNT));
    for (int i = 0; i < n; ++i) {
      char buf[256] = {};
      LVITEM item;
      item.iSubItem = 0;
      item.pszText = buf;
      item.cchTextMax = sizeof buf;
      SendMessage(list, LVM_GETITEMTEXT, WPARAM(i),
                  LPARAM(reinterpret_cast<std::uintptr_t>(&item)));
      out.emplace_back(buf);
    }
    return out;
  }
  void TypeName(HWND box, std::string_view text) {
    HWND edit = GetDlgItem(box, IDC_FD_NAME);
    EXPECT_EQ(GetFocus(), edit);
    SendMessage(edit, EM_SETSEL, 0, -1);
    host.Type(text);
  }
  TFileDialogParams Params() {
    TFileDialogParams p;
    p.Filter = "Рисунки JPEG|*.jpg;*.jpeg|Все файлы|*.*";
    p.InitialDir = dir.string();
    return p;
  }
  fs::path dir;
};

TEST_F(FileDialogTest, ListsFoldersFirstThenMatchingFilesAndTypingANameChoosesIt) {
  auto r = Run(Params(), {[&](HWND box) {
                 EXPECT_EQ(Names(box), (std::vector<std::string>{"beta", "Папка", "a.jpg", "b.JPEG",
                                                                 "broken.jpg", "Ёлка.jpg"}));
                 EXPECT_EQ(GetFocus(), GetDlgItem(box, IDC_FD_NAME));
                 EXPECT_EQ(GetWindowText(box), "Открыть");
                 TypeName(box, "a.jpg");
                 host.Key(VK_RETURN);
               }});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Path, (dir / "a.jpg").string());
  EXPECT_EQ(r->FilterIndex, 1);
}

TEST_F(FileDialogTest, FoldersPatternsAndTypesChangeWhatIsListed) {
  auto r =
      Run(Params(),
          {[&](HWND box) {
             TypeName(box, "*.txt");  // a pattern filters
             host.Key(VK_RETURN);
           },
           [&](HWND box) {
             EXPECT_EQ(Names(box), (std::vector<std::string>{"beta", "Папка", "notes.txt"}));
             TypeName(box, "Папка");  // a folder name enters it
             host.Key(VK_RETURN);
           },
           [&](HWND box) {
             EXPECT_EQ(Names(box), std::vector<std::string>{});  // still *.txt
             // The type combo brings back its own patterns.
             HWND types = GetDlgItem(box, IDC_FD_TYPE);
             SendMessage(types, CB_SETCURSEL, 1, 0);
             SendMessage(box, WM_COMMAND, MAKEWPARAM(IDC_FD_TYPE, CBN_SELCHANGE),
                         LPARAM(reinterpret_cast<std::uintptr_t>(types)));
             EXPECT_EQ(Names(box), std::vector<std::string>{"inner.jpg"});
             // The folder combo shows the chain down to here.
             HWND folders = GetDlgItem(box, IDC_FD_FOLDER);
             EXPECT_EQ(SendMessage(folders, CB_GETCURSEL), SendMessage(folders, CB_GETCOUNT) - 1);
             // Up one level.
             SendMessage(box, WM_COMMAND, MAKEWPARAM(IDC_FD_UP, BN_CLICKED),
                         LPARAM(reinterpret_cast<std::uintptr_t>(GetDlgItem(box, IDC_FD_UP))));
             EXPECT_EQ(Names(box).size(), 7u);  // two folders, five files
             host.Key(VK_ESCAPE);
           }});
  EXPECT_FALSE(r);
}

TEST_F(FileDialogTest, DoubleClickOpensFoldersAndChoosesFilesAndThePreviewShowsTheSize) {
  auto clickItem = [&](HWND box, int index, bool twice) {
    HWND list = GetDlgItem(box, IDC_FD_LIST);
    TRect r{};
    r.Left = LVIR_BOUNDS;
    SendMessage(list, LVM_GETITEMRECT, WPARAM(index), LPARAM(reinterpret_cast<std::uintptr_t>(&r)));
    TPoint p = Screen(list, r.Left + 20, (r.Top + r.Bottom) / 2);
    if (twice)
      host.DoubleClick(p.X, p.Y);
    else
      host.Click(p.X, p.Y);
  };
  auto r =
      Run(Params(), {[&](HWND box) { clickItem(box, 2, false); },  // a.jpg
                     [&](HWND box) {
                       EXPECT_EQ(GetWindowText(GetDlgItem(box, IDC_FD_NAME)), "a.jpg");
                       EXPECT_EQ(GetWindowText(GetDlgItem(box, IDC_FD_PREVIEW_SIZE)), "64 × 48");
                       clickItem(box, 4, false);  // broken.jpg: an empty preview, nothing more
                     },
                     [&](HWND box) {
                       EXPECT_EQ(GetWindowText(GetDlgItem(box, IDC_FD_PREVIEW_SIZE)), "");
                       clickItem(box, 1, true);  // into Папка
                     },
                     [&](HWND box) {
                       EXPECT_EQ(Names(box), std::vector<std::string>{"inner.jpg"});
                       clickItem(box, 0, true);
                     }});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Path, (dir / "Папка" / "inner.jpg").string());
}

TEST_F(FileDialogTest, MissingFilesAndFoldersAreToldInTheDialog) {
  auto r = Run(Params(), {[&](HWND box) {
                            TypeName(box, "nothing.jpg");
                            host.Key(VK_RETURN);
                          },
                          [&](HWND box) {
                            EXPECT_EQ(GetWindowText(GetDlgItem(box, IDC_FD_MESSAGE)),
                                      "Файл не найден: nothing.jpg");
                            TypeName(box, "/no/such/folder/x.jpg");
                            host.Key(VK_RETURN);
                          },
                          [&](HWND box) {
                            EXPECT_EQ(GetWindowText(GetDlgItem(box, IDC_FD_MESSAGE)),
                                      "Папка не найдена: /no/such/folder");
                            // A file that vanishes after it was listed.
                            fs::remove(dir / "b.JPEG");
                            TypeName(box, "b.JPEG");
                            host.Key(VK_RETURN);
                          },
                          [&](HWND box) {
                            EXPECT_EQ(GetWindowText(GetDlgItem(box, IDC_FD_MESSAGE)),
                                      "Файл не найден: b.JPEG");
                            EXPECT_EQ(Names(box).size(), 5u);  // listed anew without it
                            host.Key(VK_ESCAPE);
                          }});
  EXPECT_FALSE(r);
}

TEST_F(FileDialogTest, AnUnreadableStartFolderAndANameThatIsNotUtf8) {
  Write(dir / std::string("\xFF\xFE.jpg"), {1, 2, 3});
  TFileDialogParams p = Params();
  p.InitialDir = (dir / "missing").string();
  auto r =
      Run(p, {[&](HWND box) {
                EXPECT_NE(GetWindowText(GetDlgItem(box, IDC_FD_MESSAGE)).find("Папка недоступна"),
                          std::string::npos);
                EXPECT_TRUE(Names(box).empty());
                TypeName(box, dir.string());
                host.Key(VK_RETURN);
              },
              [&](HWND box) {
                auto names = Names(box);
                ASSERT_EQ(names.size(), 7u);
                // Shown with replacement marks, sorted by what is shown (last).
                EXPECT_EQ(names[6], "\xEF\xBF\xBD\xEF\xBF\xBD.jpg");
                SetFocus(GetDlgItem(box, IDC_FD_LIST));
                host.Key(VK_END);
                host.Key(VK_RETURN);
              }});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Path, (dir / std::string("\xFF\xFE.jpg")).string());  // the real bytes
}

TEST_F(FileDialogTest, SaveAddsTheDefaultExtensionAndDoesNotAskBeforeReplacing) {
  TFileDialogParams p = Params();
  p.Save = true;
  p.DefaultExt = "jpg";
  p.FileName = "a";
  auto r = Run(p, {[&](HWND box) {
                 EXPECT_EQ(GetWindowText(box), "Сохранить как");
                 EXPECT_EQ(GetWindowText(GetDlgItem(box, IDC_FD_NAME)), "a");
                 EXPECT_EQ(GetWindowText(GetDlgItem(box, IDOK)), "Сохранить");
                 host.Key(VK_RETURN);
               }});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Path, (dir / "a.jpg").string());  // exists already: no question
}

// Both dialogs tab in the order their controls are seen, the labels'
// mnemonics go on to the control after them, and the dialog, which places
// its focus before it is shown, has the desktop's keyboard focus once shown.
TEST_F(FileDialogTest, BothDialogsTabInTheOrderTheyAreSeen) {
  for (bool save : {false, true}) {
    TFileDialogParams p = Params();
    p.Save = save;
    std::vector<int> order;
    std::vector<std::function<void(HWND)>> steps;
    steps.push_back([&](HWND box) {
      EXPECT_EQ(host.FocusedWindow(), GetHostWindow(box));
      order.push_back(GetDlgCtrlID(GetFocus()));
      host.Key(VK_TAB);
    });
    for (int i = 0; i < 6; ++i)
      steps.push_back([&](HWND) {
        order.push_back(GetDlgCtrlID(GetFocus()));
        host.Key(VK_TAB);
      });
    steps.push_back([&](HWND box) {
      order.push_back(GetDlgCtrlID(GetFocus()));
      host.KeyDown(VK_SHIFT);
      host.Key(VK_TAB);
      host.KeyUp(VK_SHIFT);
      Pump();
      order.push_back(GetDlgCtrlID(GetFocus()));
      // Alt+Т: the type label hands the focus to the type combo.
      host.KeyDown(VK_MENU);
      host.KeyDown('N', U'т');
      host.KeyUp('N');
      host.KeyUp(VK_MENU);
      Pump();
      EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_FD_TYPE);
      EndDialog(box, IDCANCEL);
    });
    EXPECT_FALSE(Run(p, steps));
    EXPECT_EQ(order, (std::vector<int>{IDC_FD_NAME, IDOK, IDC_FD_TYPE, IDCANCEL, IDC_FD_FOLDER,
                                       IDC_FD_UP, IDC_FD_LIST, IDC_FD_NAME, IDC_FD_LIST}))
        << (save ? "save" : "open");
  }
}

// A dialog that closes with a file makes its folder the current one unless
// told to keep it; a dialog without a folder of its own opens there.
TEST_F(FileDialogTest, AChosenFilesFolderBecomesCurrentUnlessKept) {
  const fs::path inner = dir / "Папка";
  TFileDialogParams p = Params();
  p.InitialDir = inner.string();
  auto r = Run(p, {[&](HWND box) {
                 TypeName(box, "inner.jpg");
                 host.Key(VK_RETURN);
               }});
  ASSERT_TRUE(r);
  EXPECT_EQ(fs::current_path(), inner);
  // The save dialog, told no folder, lists the one the picture came from.
  TFileDialogParams save = Params();
  save.InitialDir.clear();
  save.Save = true;
  save.NoChangeDir = true;
  std::string listed;
  save.OnFolderChange = [&](const std::string& f) {
    if (listed.empty()) listed = f;
  };
  r = Run(save, {[&](HWND box) {
            EXPECT_EQ(Names(box), std::vector<std::string>{"inner.jpg"});
            TypeName(box, "../copy");
            host.Key(VK_RETURN);
          }});
  ASSERT_TRUE(r);
  EXPECT_EQ(listed, inner.string());
  EXPECT_EQ(r->Path, (dir / "copy").string());
  EXPECT_EQ(fs::current_path(), inner) << "NoChangeDir keeps the current folder";
  // A cancelled dialog changes nothing either.
  EXPECT_FALSE(Run(Params(), {[&](HWND) { host.Key(VK_ESCAPE); }}));
  EXPECT_EQ(fs::current_path(), inner);
}

TEST_F(FileDialogTest, GoldenPicture) {
  // A fixed folder so that the picture does not depend on the temporary name.
  const fs::path fixed = "/tmp/velmora-dialog-golden";
  fs::remove_all(fixed);
  fs::create_directories(fixed / "Отпуск");
  for (const char* n : {"a.jpg", "b.JPEG", "Ёлка.jpg"}) fs::copy_file(dir / n, fixed / n);
  TFileDialogParams p = Params();
  p.InitialDir = fixed.string();
  TBitmap shot;
  Run(p, {[&](HWND box) {
        HWND list = GetDlgItem(box, IDC_FD_LIST);
        LVITEM item;
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessage(list, LVM_SETITEMSTATE, 1, LPARAM(reinterpret_cast<std::uintptr_t>(&item)));
        Pump();
        shot = host.WindowShot(GetHostWindow(box));
        host.Key(VK_ESCAPE);
      }});
  fs::remove_all(fixed);
  Golden("file_dialog_open", shot);
}

}  // namespace
}  // namespace vm::test
