#include "tools/velmora-shot/Shot.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "app/Compress.h"
#include "app/Info.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/Resize.h"
#include "platform/controls/ControlDefs.h"
#include "platform/controls/DialogDefs.h"
#include "platform/controls/FileDialog.h"
#include "platform/host/headless/HeadlessHost.h"
#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"

namespace vm::shot {

namespace {

namespace fs = std::filesystem;

int ParseSide(std::string_view text, const char* what) {
  int v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < 200 || v > 8192)
    throw std::invalid_argument(std::string("the screen's ") + what +
                                " must be 200 to 8192, not '" + std::string(text) + "'");
  return v;
}

// "&Файл" -> "Файл": what the user reads on the bar.
std::string Plain(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    if (caption[i] == '\t') break;
    out += caption[i];
  }
  return out;
}

// The scratch program folder with the working folder inside, gone at the end.
class TScratchFolder {
 public:
  TScratchFolder() {
    std::string tmpl = (fs::temp_directory_path() / "velmora-shot-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot make a scratch folder");
    path_ = tmpl + "/";
    if (mkdir((path_ + "Temp").c_str(), 0755) != 0) {
      Remove();
      throw std::runtime_error("cannot make the working folder in " + path_);
    }
  }
  ~TScratchFolder() { Remove(); }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  void Remove() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string path_;
};

// The host, the program and a user who answers what comes up in its loops.
class TSession {
 public:
  explicit TSession(const TShotOptions& options) : options_(options), host_(options.Screen) {
    SetHost(&host_);
    SetProgramFolder(folder_.Path());
    host_.SetIdleHandler([this] { return Idle(); });
    try {
      app::PrepareProcess();
      app_ = app::CreateProgram();
    } catch (...) {
      Detach();
      throw;
    }
  }
  ~TSession() {
    host_.SetIdleHandler(nullptr);
    app_.reset();
    app::FinishProcess();
    Detach();
  }
  TSession(const TSession&) = delete;
  TSession& operator=(const TSession&) = delete;

  TShotResult Run() {
    app::frmMain->Show();
    Pump();
    if (!options_.Skin.empty()) ChooseSkin();
    if (!options_.Open.empty()) {
      openAnswer_ = fs::absolute(options_.Open).string();
      ClickButton(app::frmMain->sBitBtn1, "open");
      if (openAnswer_) throw std::runtime_error("the open dialog did not come up");
      // The save command comes alive with the first picture the program shows.
      if (!app::frmMain->sBitBtn2->Enabled()) {
        std::string why;
        for (const std::string& m : messages_) why += "\n  " + m;
        throw std::runtime_error("the program did not open " + options_.Open + why);
      }
      // One tick of the size line's timer, so that it shows the picture's size;
      // the pointer leaves the open button.
      host_.AdvanceClock(1000);
      host_.MouseMove(options_.Screen.cx - 1, options_.Screen.cy - 1);
      Pump();
    }
    switch (options_.Show) {
      case TShowKind::Main:
        break;
      case TShowKind::Open:
        ShootNextDialog(app::frmMain->sBitBtn1, "open");
        break;
      case TShowKind::Save:
        ShootNextDialog(app::frmMain->sBitBtn2, "save (open a picture first: --open)");
        break;
      case TShowKind::Resize:
        ClickButton(app::frmMain->sBitBtn10, "resize (open a picture first: --open)");
        break;
      case TShowKind::Compress:
        ClickButton(app::frmMain->sBitBtn9, "quality (open a picture first: --open)");
        break;
      case TShowKind::Info:
        ClickButton(app::frmMain->sBitBtn3, "about");
        break;
      case TShowKind::Menu:
        OpenMenu();
        break;
      case TShowKind::SkinMenu:
        OpenSkinChooser();
        break;
    }
    if (!shot_) Shoot();
    TShotResult result{std::move(*shot_), std::move(messages_), {}, {}};
    if (HWND active = GetActiveWindow()) {
      TRect r;
      GetWindowRect(active, &r);
      result.ActiveSize = {r.Width(), r.Height()};
      if (const THeadlessHost::TNative* n = host_.Native(GetHostWindow(active)))
        result.ActiveShape = n->Shape;
    }
    return result;
  }

 private:
  void Detach() {
    SetProgramFolder("");
    SetHost(nullptr);
  }
  void Pump() { Application->ProcessMessages(); }

  // A click on a button as a user makes it: a pause, then press and release
  // over its middle.
  void ClickButton(TControl* button, const char* what) {
    if (!button->Enabled() || !button->Visible())
      throw std::runtime_error(std::string("the command is not available: ") + what);
    host_.AdvanceClock(600);
    Pump();
    TPoint p = button->ClientToScreen({button->Width() / 2, button->Height() / 2});
    host_.Click(p.X, p.Y);
    Pump();
  }

  void ShootNextDialog(TControl* button, const char* what) {
    shootDialog_ = true;
    ClickButton(button, what);
    if (!shot_) throw std::runtime_error(std::string("no file dialog came up for ") + what);
  }

  // Clicks the bar item; the picture is taken while its menu is open.
  void OpenMenu() {
    HWND main = app::frmMain->Handle();
    HMENU bar = GetMenu(main);
    const int count = bar ? GetMenuItemCount(bar) : 0;
    int index = -1;
    int number = 0;
    auto [end, ec] =
        std::from_chars(options_.Menu.data(), options_.Menu.data() + options_.Menu.size(), number);
    if (ec == std::errc() && end == options_.Menu.data() + options_.Menu.size())
      index = number - 1;
    else
      for (int i = 0; i < count; ++i)
        if (Plain(GetMenuText(bar, UINT(i), MF_BYPOSITION)) == options_.Menu) index = i;
    if (index < 0 || index >= count) {
      std::string names;
      for (int i = 0; i < count; ++i) {
        if (i) names += ", ";
        names += Plain(GetMenuText(bar, UINT(i), MF_BYPOSITION));
      }
      throw std::runtime_error("no menu '" + options_.Menu + "' on the menu bar (" + names + ")");
    }
    TRect r;
    if (!GetMenuItemRect(main, bar, UINT(index), &r))
      throw std::runtime_error("the menu bar is not shown");
    shootMenu_ = true;
    host_.AdvanceClock(600);
    Pump();
    host_.Click((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    Pump();
    if (!shot_) throw std::runtime_error("the menu '" + options_.Menu + "' did not open");
  }

  // Chooses one of the skins the system menu's chooser offers.
  void ChooseSkin() {
    TsSkinManager* manager = app::frmMain->sSkinManager1;
    const std::vector<std::string> offered = manager->GetSkinNames(slBoth);
    if (std::find(offered.begin(), offered.end(), options_.Skin) == offered.end()) {
      std::string names;
      for (const std::string& n : offered) names += (names.empty() ? "" : ", ") + n;
      throw std::runtime_error("no skin '" + options_.Skin + "' to choose (" + names + ")");
    }
    manager->SetSkinName(options_.Skin);
    Pump();
  }

  // Alt+Space opens the system menu; the first item is the chooser, whose
  // list the arrow keys open.
  void OpenSkinChooser() {
    shootMenu_ = true;
    chooserKeys_ = true;
    host_.AdvanceClock(600);
    Pump();
    PostMessage(app::frmMain->Handle(), WM_SYSCOMMAND, SC_KEYMENU, LPARAM(' '));
    Pump();
    if (!shot_) throw std::runtime_error("the system menu did not open");
  }

  // The user in every pause of a loop.
  bool Idle() {
    if (chooserKeys_ && GetTrackedMenu()) {
      chooserKeys_ = false;
      host_.Key(VK_DOWN);
      host_.Key(VK_RIGHT);
      return true;
    }
    if (shootMenu_ && !shot_ && GetTrackedMenu()) {
      Shoot();
      EndMenu();
      return true;
    }
    HWND box = GetActiveWindow();
    if (!box || GetClassName(box) != WC_DIALOG) return false;
    if (HWND name = GetDlgItem(box, IDC_FD_NAME)) {
      if (openAnswer_) {
        SetFocus(name);
        SendMessage(name, EM_SETSEL, 0, -1);
        host_.Type(*openAnswer_);
        host_.Key(VK_RETURN);
        openAnswer_.reset();
        return true;
      }
      if (shootDialog_ && !shot_) {
        Shoot();
      } else {
        // The dialog did not take the answer: what it says goes to the user.
        std::string said = GetWindowText(GetDlgItem(box, IDC_FD_MESSAGE));
        if (!said.empty()) messages_.push_back(said);
      }
      host_.Key(VK_ESCAPE);
      return true;
    }
    if (HWND text = GetDlgItem(box, IDC_MSGBOX_TEXT)) {
      messages_.push_back(GetWindowText(text));
      host_.Key(VK_RETURN);
      return true;
    }
    return false;
  }

  // The screen as presented; the pointer is moved out of the way first so
  // that nothing shows the hover look of wherever the last click was.
  void Shoot() {
    if (!shootMenu_) host_.MouseMove(options_.Screen.cx - 1, options_.Screen.cy - 1);
    Pump();
    PresentWindows();
    TBitmap screen = host_.Screenshot();
    if (options_.Crop) screen = CropToWindows(screen);
    shot_ = std::move(screen);
  }

  static TBitmap CropToWindows(const TBitmap& screen) {
    TRect all{0, 0, 0, 0};
    EnumWindows([&](HWND h) {
      TRect r;
      if (IsWindowVisible(h) && GetWindowRect(h, &r) && !r.IsEmpty()) all = all.Union(r);
      return true;
    });
    all = {std::max(all.Left, 0), std::max(all.Top, 0), std::min(all.Right, screen.Width()),
           std::min(all.Bottom, screen.Height())};
    if (all.IsEmpty()) return screen;
    TBitmap out(all.Width(), all.Height(), screen.PixelFormat());
    const int bpp = screen.BytesPerPixel();
    for (int y = 0; y < all.Height(); ++y)
      std::memcpy(out.ScanLine(y), screen.ScanLine(all.Top + y) + std::size_t(all.Left) * bpp,
                  std::size_t(all.Width()) * bpp);
    return out;
  }

  const TShotOptions& options_;
  TScratchFolder folder_;
  THeadlessHost host_;
  std::unique_ptr<TApplication> app_;
  std::optional<std::string> openAnswer_;  // typed into the next file dialog
  bool shootDialog_ = false;
  bool shootMenu_ = false;
  bool chooserKeys_ = false;  // open the chooser's list once the menu is up
  std::optional<TBitmap> shot_;
  std::vector<std::string> messages_;
};

}  // namespace

const char* ShotUsage() {
  return "usage: velmora-shot [--skin NAME] [--open FILE.jpg] [--show WHAT] [--screen WxH] "
         "[--crop]\n"
         "                    [--holes FILE] -o OUT.png\n"
         "  --skin NAME   choose a skin the system menu offers first (a shipped or a user's skin)\n"
         "  --open FILE   open the picture through the program's open dialog first\n"
         "  --show WHAT   main (the default), open, save, resize, compress, info, skins\n"
         "                (the system menu's skin chooser), or menu:NAME (a menu of the\n"
         "                bar by its caption or number)\n"
         "  --screen WxH  the size of the virtual screen (default 1024x768)\n"
         "  --crop        cut the picture to the program's visible windows\n"
         "  -o OUT.png    where the PNG goes\n"
         "  --holes FILE  write the pixels the active window's region leaves out\n"
         "                (\"WxH\", then one \"X Y\" line each; \"unshaped\" without a region)\n";
}

std::optional<TShotOptions> ParseShotArgs(const std::vector<std::string>& args) {
  TShotOptions o;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
      return args[++i];
    };
    if (a == "--help" || a == "-h") return std::nullopt;
    if (a == "--skin") {
      o.Skin = value();
      if (o.Skin.empty()) throw std::invalid_argument("--skin needs a name");
    } else if (a == "--open") {
      o.Open = value();
      if (o.Open.empty()) throw std::invalid_argument("--open needs a file");
    } else if (a == "--show") {
      const std::string& v = value();
      static const std::pair<const char*, TShowKind> kinds[] = {
          {"main", TShowKind::Main},         {"open", TShowKind::Open},
          {"save", TShowKind::Save},         {"resize", TShowKind::Resize},
          {"compress", TShowKind::Compress}, {"info", TShowKind::Info},
          {"skins", TShowKind::SkinMenu}};
      bool known = false;
      for (const auto& [name, kind] : kinds)
        if (v == name) o.Show = kind, known = true;
      if (!known && v.rfind("menu:", 0) == 0 && v.size() > 5) {
        o.Show = TShowKind::Menu;
        o.Menu = v.substr(5);
        known = true;
      }
      if (!known) throw std::invalid_argument("nothing called '" + v + "' to show");
    } else if (a == "--screen") {
      const std::string& v = value();
      std::size_t x = v.find('x');
      if (x == std::string::npos)
        throw std::invalid_argument("--screen takes WIDTHxHEIGHT, not '" + v + "'");
      o.Screen = {ParseSide(std::string_view(v).substr(0, x), "width"),
                  ParseSide(std::string_view(v).substr(x + 1), "height")};
    } else if (a == "--crop") {
      o.Crop = true;
    } else if (a == "--holes") {
      o.Holes = value();
      if (o.Holes.empty()) throw std::invalid_argument("--holes needs a file");
    } else if (a == "-o" || a == "--output") {
      o.Output = value();
      if (o.Output.empty()) throw std::invalid_argument(a + " needs a file");
    } else {
      throw std::invalid_argument("unknown option '" + a + "'");
    }
  }
  if (o.Output.empty() && o.Holes.empty())
    throw std::invalid_argument("say where the picture goes: -o OUT.png");
  return o;
}

std::string HolesText(TSize size, const std::vector<TRect>& shape) {
  if (shape.empty()) return "unshaped\n";
  std::vector<unsigned char> in(std::size_t(std::max(size.cx, 0)) *
                                std::size_t(std::max(size.cy, 0)));
  for (const TRect& r : shape)
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, size.cy); ++y)
      for (int x = std::max(r.Left, 0); x < std::min(r.Right, size.cx); ++x)
        in[std::size_t(y) * std::size_t(size.cx) + std::size_t(x)] = 1;
  std::string out = std::to_string(size.cx) + "x" + std::to_string(size.cy) + "\n";
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      if (!in[std::size_t(y) * std::size_t(size.cx) + std::size_t(x)])
        out += std::to_string(x) + " " + std::to_string(y) + "\n";
  return out;
}

TShotResult TakeShot(const TShotOptions& options) {
  TSession session(options);
  return session.Run();
}

}  // namespace vm::shot
