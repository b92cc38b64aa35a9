// The open and save picture dialogs.
#include "platform/controls/FileDialog.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/gfx/PictureFormats.h"
#include "platform/base/AsciiCase.h"
#include "platform/base/FileBytes.h"
#include "platform/base/Utf8.h"
#include "platform/controls/ControlDefs.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/MessageBox.h"
#include "platform/fs/PlatformPath.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/ImageList.h"

namespace vm {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- folder logic

namespace {

// The characters of a name, folded; invalid bytes stay as themselves
// (above the Unicode range, so they never equal a character).
std::vector<std::uint32_t> FoldedChars(std::string_view s) {
  std::vector<std::uint32_t> out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const char32_t c = NextUtf8(s, i);
    out.push_back(IsInvalidUtf8(c) ? c : FoldCase(c));
  }
  return out;
}

std::string Trim(std::string_view s) {
  std::size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string_view::npos) return {};
  std::size_t b = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(a, b - a + 1));
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home == '/' ? std::string(home) : std::string("/");
}

std::string LowerExtension(const std::string& name) {
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return {};
  return FoldCase(std::string_view(name).substr(dot + 1));
}

}  // namespace

std::string FoldCase(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t at = i;
    const char32_t c = NextUtf8(s, i);
    if (IsInvalidUtf8(c))
      out += s[at];
    else
      AppendUtf8(out, FoldCase(c));
  }
  return out;
}

std::string ValidUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t at = i;
    if (IsInvalidUtf8(NextUtf8(s, i)))
      out += "\xEF\xBF\xBD";
    else
      out.append(s.substr(at, i - at));
  }
  return out;
}

std::vector<TFileFilter> ParseFileFilter(std::string_view filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t bar = filter.find('|', start);
    parts.emplace_back(filter.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  std::vector<TFileFilter> out;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    TFileFilter f;
    f.Description = parts[i];
    if (i + 1 < parts.size()) {
      std::string_view pats = parts[i + 1];
      std::size_t s = 0;
      for (;;) {
        std::size_t semi = pats.find(';', s);
        std::string p = Trim(pats.substr(s, semi == std::string_view::npos ? semi : semi - s));
        if (!p.empty()) f.Patterns.push_back(p);
        if (semi == std::string_view::npos) break;
        s = semi + 1;
      }
    }
    if (f.Description.empty() && f.Patterns.empty()) continue;
    if (f.Patterns.empty()) f.Patterns.push_back("*");
    out.push_back(std::move(f));
  }
  return out;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  const std::vector<std::uint32_t> n = FoldedChars(name), p = FoldedChars(pattern);
  // Iterative glob match with one back-tracking point per star.
  std::size_t ni = 0, pi = 0, starP = std::string::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++ni;
      ++pi;
    } else if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starN = ni;
    } else if (starP != std::string::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

bool MatchesAny(std::string_view name, const std::vector<std::string>& patterns) {
  return std::any_of(patterns.begin(), patterns.end(),
                     [&](const std::string& p) { return MatchesPattern(name, p); });
}

TFolderListing ListFolder(const std::string& folder, const std::vector<std::string>& patterns) {
  TFolderListing out;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder), fs::directory_options::none, ec);
  if (ec) {
    out.Error = "Папка недоступна: " + ValidUtf8(folder) + " (" + ec.message() + ")";
    return out;
  }
  std::vector<std::pair<std::string, TFolderEntry>> keyed;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;  // an entry that vanished mid-listing ends the walk with what was read
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code se;
    // A link is taken as what it points at; a broken one as a file.
    bool folder = it->is_directory(se);
    if (!folder && !MatchesAny(name, patterns)) continue;
    TFolderEntry e;
    e.Display = ValidUtf8(name);
    e.Name = std::move(name);
    e.Folder = folder;
    keyed.emplace_back(FoldCase(e.Display), std::move(e));
  }
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    if (a.second.Folder != b.second.Folder) return a.second.Folder;
    if (a.first != b.first) return a.first < b.first;
    return a.second.Name < b.second.Name;
  });
  out.Entries.reserve(keyed.size());
  for (auto& k : keyed) out.Entries.push_back(std::move(k.second));
  return out;
}

std::string ResolvePath(const std::string& base, std::string_view typed) {
  std::string t(typed);
  std::string joined;
  if (IsDrivePath(t))
    // A name of the platform's, such as "c:\Photos": the program's data folder.
    joined = PlatformToHostPath(t);
  else if (!t.empty() && t[0] == '~' && (t.size() == 1 || t[1] == '/'))
    joined = HomeFolder() + t.substr(1);
  else if (!t.empty() && t[0] == '/')
    joined = t;
  else
    joined = base + "/" + t;
  // Normalise: no empty parts, ".", or ".." (never above the root).
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i <= joined.size()) {
    std::size_t slash = joined.find('/', i);
    if (slash == std::string::npos) slash = joined.size();
    std::string part = joined.substr(i, slash - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = slash + 1;
  }
  std::string out;
  for (const std::string& p : parts) out += "/" + p;
  return out.empty() ? "/" : out;
}

std::vector<std::string> FolderChain(const std::string& folder) {
  std::vector<std::string> chain{"/"};
  std::string path = ResolvePath("/", folder);
  std::size_t i = 1;
  while (i < path.size()) {
    std::size_t slash = path.find('/', i);
    if (slash == std::string::npos) slash = path.size();
    chain.push_back(path.substr(0, slash));
    i = slash + 1;
  }
  return chain;
}

// ---------------------------------------------------------------- the dialog

namespace {

// Layout of the dialog's client area (pixels).
constexpr int ClientWidthWithPreview = 604;
constexpr int ClientWidthPlain = 474;
constexpr int ClientHeight = 336;
constexpr int ListLeft = 10, ListTop = 40, ListRight = 464, ListBottom = 246;
constexpr int PreviewLeft = 474, PreviewTop = 40, PreviewWidth = 120, PreviewHeight = 150;
// Files larger than this are not read for a preview.
constexpr std::uintmax_t MaxPreviewFileBytes = 256u << 20;

// 16 × 16 icons of the list, drawn once: a folder and a picture file.
TImageList* ListIcons() {
  static std::unique_ptr<TImageList> icons;
  if (icons) return icons.get();
  icons = std::make_unique<TImageList>(16, 16);
  const TColor key = RGB(255, 0, 255);
  TBitmap strip(32, 16);
  TDC dc(strip);
  dc.FillRect(Rect(0, 0, 32, 16), key);
  // Folder: a tab and a body in amber with a darker outline.
  const TColor edge = RGB(176, 128, 24), body = RGB(248, 208, 96), light = RGB(255, 236, 160);
  dc.FillRect(Rect(1, 3, 7, 5), edge);
  dc.FillRect(Rect(2, 4, 6, 5), body);
  dc.FillRect(Rect(1, 5, 15, 14), edge);
  dc.FillRect(Rect(2, 6, 14, 13), body);
  dc.FillRect(Rect(2, 6, 14, 7), light);
  // File: a page with a folded corner and a small landscape.
  const TColor line = RGB(96, 96, 96), page = RGB(255, 255, 255);
  dc.FillRect(Rect(19, 1, 28, 15), line);
  dc.FillRect(Rect(20, 2, 27, 14), page);
  dc.FillRect(Rect(28, 4, 30, 15), line);
  dc.FillRect(Rect(27, 5, 29, 14), page);
  for (int k = 0; k < 3; ++k) dc.SetPixel(27 + k, 1 + k, line);
  dc.FillRect(Rect(21, 8, 28, 13), RGB(120, 180, 240));  // sky
  dc.FillRect(Rect(21, 11, 28, 13), RGB(80, 160, 80));   // meadow
  dc.SetPixel(26, 9, RGB(255, 200, 0));                  // sun
  icons->AddMasked(strip, key);
  return icons.get();
}

class TFileDialog {
 public:
  explicit TFileDialog(const TFileDialogParams& p) : params_(p) {
    filters_ = ParseFileFilter(p.Filter);
    if (filters_.empty()) filters_.push_back({"Все файлы", {"*"}});
    filterIndex_ =
        (p.FilterIndex >= 1 && p.FilterIndex <= int(filters_.size())) ? p.FilterIndex : 1;
    patterns_ = filters_[std::size_t(filterIndex_ - 1)].Patterns;
    std::string start = p.InitialDir;
    std::string name = p.FileName;
    if (!name.empty() && name.find('/') != std::string::npos) {
      std::string full = ResolvePath(start.empty() ? CurrentFolder() : start, name);
      std::size_t slash = full.rfind('/');
      if (start.empty()) start = slash == 0 ? "/" : full.substr(0, slash);
      name = full.substr(slash + 1);
    }
    if (start.empty()) start = CurrentFolder();
    folder_ = ResolvePath(CurrentFolder(), start);
    initialName_ = name;
  }

  std::optional<TFileDialogResult> Run() {
    RegisterStandardControls();
    const int width = params_.Preview ? ClientWidthWithPreview : ClientWidthPlain;
    std::string title =
        params_.Title.empty() ? (params_.Save ? "Сохранить как" : "Открыть") : params_.Title;
    dlg_ = CreateDialogWindow(
        params_.Owner, title, width, ClientHeight,
        [this](HWND h, UINT m, WPARAM w, LPARAM l) { return Proc(h, m, w, l); },
        params_.Sizeable ? WS_THICKFRAME : 0);
    if (!dlg_) return std::nullopt;
    Build();
    if (params_.Sizeable) RememberLayout();
    INT_PTR r = RunModalDialog(dlg_);
    if (r != IDOK || result_.Path.empty()) return std::nullopt;
    return result_;
  }

 private:
  static std::string CurrentFolder() {
    std::error_code ec;
    fs::path p = fs::current_path(ec);
    return ec ? HomeFolder() : p.string();
  }

  HWND Child(const char* cls, std::string_view text, DWORD style, int x, int y, int w, int h,
             int id, DWORD ex = 0) {
    HWND c = CreateWindowEx(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, dlg_, id);
    if (c)
      SendMessage(c, WM_SETFONT,
                  WPARAM(reinterpret_cast<std::uintptr_t>(GetStockFont(DEFAULT_GUI_FONT))), 0);
    return c;
  }
  HWND Item(int id) const { return GetDlgItem(dlg_, id); }

  void Build() {
    Child(WC_STATIC, "Папка:", SS_LEFT, 10, 14, 52, 14, IDC_FD_FOLDER_LABEL);
    Child(WC_COMBOBOX, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 64, 10, 330, 240,
          IDC_FD_FOLDER);
    Child(WC_BUTTON, "Вверх", BS_PUSHBUTTON | WS_TABSTOP, 400, 10, 64, 22, IDC_FD_UP);
    HWND list =
        Child(WC_LISTVIEW, "", LVS_LIST | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP,
              ListLeft, ListTop, ListRight - ListLeft, ListBottom - ListTop, IDC_FD_LIST,
              WS_EX_CLIENTEDGE);
    SendMessage(list, LVM_SETIMAGELIST, LVSIL_SMALL,
                LPARAM(reinterpret_cast<std::uintptr_t>(ListIcons())));
    Child(WC_STATIC, "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 10, 252, 454, 14, IDC_FD_MESSAGE);
    Child(WC_STATIC, "&Имя файла:", SS_LEFT, 10, 279, 80, 14, IDC_FD_NAME_LABEL);
    Child(WC_EDIT, initialName_, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, 94, 275, 290, 21,
          IDC_FD_NAME, WS_EX_CLIENTEDGE);
    Child(WC_BUTTON, params_.Save ? "Сохранить" : "Открыть",
          BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 390, 274, 75, 23, IDOK);
    Child(WC_STATIC, "&Тип файлов:", SS_LEFT, 10, 309, 80, 14, IDC_FD_TYPE_LABEL);
    HWND types = Child(WC_COMBOBOX, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 94,
                       305, 290, 160, IDC_FD_TYPE);
    for (const TFileFilter& f : filters_)
      SendMessage(types, CB_ADDSTRING, 0,
                  LPARAM(reinterpret_cast<std::uintptr_t>(f.Description.c_str())));
    SendMessage(types, CB_SETCURSEL, WPARAM(filterIndex_ - 1), 0);
    Child(WC_BUTTON, "Отмена", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 390, 304, 75, 23, IDCANCEL);
    if (params_.Preview) {
      Child(WC_STATIC, "", SS_BITMAP | SS_CENTERIMAGE | SS_SUNKEN, PreviewLeft, PreviewTop,
            PreviewWidth, PreviewHeight, IDC_FD_PREVIEW);
      Child(WC_STATIC, "", SS_CENTER | SS_NOPREFIX, PreviewLeft, PreviewTop + PreviewHeight + 6,
            PreviewWidth, 14, IDC_FD_PREVIEW_SIZE);
    }
    EnterFolder(folder_);
  }

  // ---- Resizing: each child keeps its distance to the edges it is tied to ----
  enum : unsigned { MoveX = 1, MoveY = 2, GrowX = 4, GrowY = 8 };
  struct TAnchored {
    int Id;
    unsigned How;
    TRect Rect;  // at the dialog's first size
  };
  void RememberLayout() {
    const std::pair<int, unsigned> ties[] = {
        {IDC_FD_FOLDER, GrowX},          {IDC_FD_UP, MoveX},         {IDC_FD_LIST, GrowX | GrowY},
        {IDC_FD_MESSAGE, MoveY | GrowX}, {IDC_FD_NAME_LABEL, MoveY}, {IDC_FD_NAME, MoveY | GrowX},
        {IDOK, MoveX | MoveY},           {IDC_FD_TYPE_LABEL, MoveY}, {IDC_FD_TYPE, MoveY | GrowX},
        {IDCANCEL, MoveX | MoveY},       {IDC_FD_PREVIEW, MoveX},    {IDC_FD_PREVIEW_SIZE, MoveX},
    };
    TPoint origin{0, 0};
    ClientToScreen(dlg_, &origin);
    for (auto [id, how] : ties) {
      HWND c = Item(id);
      if (!c) continue;
      TRect r;
      GetWindowRect(c, &r);
      anchored_.push_back({id, how, r.Offset(-origin.X, -origin.Y)});
    }
    TRect wr, cr;
    GetWindowRect(dlg_, &wr);
    GetClientRect(dlg_, &cr);
    firstWindow_ = {wr.Width(), wr.Height()};
    firstClient_ = {cr.Width(), cr.Height()};
  }
  void Relayout(int width, int height) {
    int dx = std::max(0, width - firstClient_.cx), dy = std::max(0, height - firstClient_.cy);
    for (const TAnchored& a : anchored_) {
      HWND c = Item(a.Id);
      if (!c) continue;
      TRect r = a.Rect;
      if (a.How & MoveX) r = r.Offset(dx, 0);
      if (a.How & MoveY) r = r.Offset(0, dy);
      if (a.How & GrowX) r.Right += dx;
      if (a.How & GrowY) r.Bottom += dy;
      MoveWindow(c, r.Left, r.Top, r.Width(), r.Height(), true);
    }
    InvalidateRect(dlg_, nullptr, true);
  }

  INT_PTR Proc(HWND, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
      case WM_SIZE:
        if (!anchored_.empty()) Relayout(LOWORD(lp), HIWORD(lp));
        return 0;
      case WM_GETMINMAXINFO:
        // Never smaller than it opened.
        if (!anchored_.empty() && lp) {
          auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
          mmi->ptMinTrackSize = {firstWindow_.cx, firstWindow_.cy};
          return 1;
        }
        return 0;
      case WM_INITDIALOG: {
        // The keyboard starts in the name field, its text selected.
        HWND name = Item(IDC_FD_NAME);
        SendMessage(dlg_, WM_NEXTDLGCTL, WPARAM(reinterpret_cast<std::uintptr_t>(name)), 1);
        SendMessage(name, EM_SETSEL, 0, -1);
        return 0;
      }
      case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return 1;
      case WM_NOTIFY:
        OnNotify(reinterpret_cast<const NMHDR*>(lp));
        return 1;
    }
    return 0;
  }

  void OnCommand(int id, int code) {
    switch (id) {
      case IDOK:
        Act();
        break;
      case IDCANCEL:
        EndDialog(dlg_, IDCANCEL);
        break;
      case IDC_FD_UP:
        if (code == BN_CLICKED && folder_ != "/") EnterFolder(ResolvePath(folder_, ".."));
        break;
      case IDC_FD_FOLDER:
        if (code == CBN_SELCHANGE) {
          int sel = int(SendMessage(Item(IDC_FD_FOLDER), CB_GETCURSEL));
          if (sel >= 0 && sel < int(chain_.size())) EnterFolder(chain_[std::size_t(sel)]);
        }
        break;
      case IDC_FD_TYPE:
        if (code == CBN_SELCHANGE) {
          int sel = int(SendMessage(Item(IDC_FD_TYPE), CB_GETCURSEL));
          if (sel >= 0 && sel < int(filters_.size())) {
            filterIndex_ = sel + 1;
            patterns_ = filters_[std::size_t(sel)].Patterns;
            Refill();
            if (params_.OnTypeChange) params_.OnTypeChange(filterIndex_);
          }
        }
        break;
    }
  }

  void OnNotify(const NMHDR* n) {
    if (!n || n->idFrom != UINT_PTR(IDC_FD_LIST)) return;
    if (n->code == LVN_ITEMCHANGED) {
      const auto* lv = reinterpret_cast<const NMLISTVIEW*>(n);
      if ((lv->uChanged & LVIF_STATE) && (lv->uNewState & LVIS_SELECTED) &&
          !(lv->uOldState & LVIS_SELECTED))
        Selected(lv->iItem);
    } else if (n->code == NM_DBLCLK || n->code == NM_RETURN) {
      int i = int(SendMessage(Item(IDC_FD_LIST), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
      if (i >= 0 && i < int(listing_.Entries.size())) Activate(listing_.Entries[std::size_t(i)]);
    }
  }

  void ShowMessage(const std::string& text) { SetWindowText(Item(IDC_FD_MESSAGE), text); }

  void EnterFolder(const std::string& folder) {
    TFolderListing listing = ListFolder(folder, patterns_);
    if (!listing.Error.empty()) {
      // The folder stays where it was; the list shows what it showed.
      ShowMessage(listing.Error);
      if (folder_ != folder || !filled_) {
        if (!filled_) Fill(folder_, std::move(listing));
        return;
      }
    }
    Fill(folder, std::move(listing));
  }

  void Refill() { EnterFolder(folder_); }

  void Fill(const std::string& folder, TFolderListing listing) {
    filled_ = true;
    folder_ = folder;
    if (folder_ != announced_) {
      announced_ = folder_;
      if (params_.OnFolderChange) params_.OnFolderChange(folder_);
      if (!IsWindow(dlg_)) return;
    }
    if (listing.Error.empty()) ShowMessage("");
    listing_ = std::move(listing);
    HWND list = Item(IDC_FD_LIST);
    SendMessage(list, WM_SETREDRAW, 0, 0);
    SendMessage(list, LVM_DELETEALLITEMS);
    for (std::size_t i = 0; i < listing_.Entries.size(); ++i) {
      const TFolderEntry& e = listing_.Entries[i];
      LVITEM item;
      item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
      item.iItem = int(i);
      item.pszText = const_cast<char*>(e.Display.c_str());
      item.iImage = e.Folder ? 0 : 1;
      item.lParam = LPARAM(i);
      SendMessage(list, LVM_INSERTITEM, 0, LPARAM(reinterpret_cast<std::uintptr_t>(&item)));
    }
    SendMessage(list, WM_SETREDRAW, 1, 0);
    InvalidateRect(list, nullptr, true);
    // The folder combo: the chain from the root down to here.
    HWND combo = Item(IDC_FD_FOLDER);
    chain_ = FolderChain(folder_);
    SendMessage(combo, CB_RESETCONTENT);
    for (std::size_t i = 0; i < chain_.size(); ++i) {
      std::string label = i == 0 ? std::string("/") : chain_[i].substr(chain_[i].rfind('/') + 1);
      label = std::string(2 * std::min<std::size_t>(i, 12), ' ') + ValidUtf8(label);
      SendMessage(combo, CB_ADDSTRING, 0, LPARAM(reinterpret_cast<std::uintptr_t>(label.c_str())));
    }
    SendMessage(combo, CB_SETCURSEL, WPARAM(chain_.size() - 1), 0);
    EnableWindow(Item(IDC_FD_UP), folder_ != "/");
    ClearPreview();
  }

  void Selected(int index) {
    if (index < 0 || index >= int(listing_.Entries.size())) return;
    const TFolderEntry& e = listing_.Entries[std::size_t(index)];
    if (e.Folder) {
      ClearPreview();
      return;
    }
    std::string path = folder_ == "/" ? "/" + e.Name : folder_ + "/" + e.Name;
    SetWindowText(Item(IDC_FD_NAME), e.Display);
    ShowPreview(path);
    if (params_.OnSelectionChange) params_.OnSelectionChange(path);
  }

  void Activate(const TFolderEntry& e) {
    std::string path = folder_ == "/" ? "/" + e.Name : folder_ + "/" + e.Name;
    if (e.Folder) {
      SetWindowText(Item(IDC_FD_NAME), "");
      EnterFolder(path);
      return;
    }
    Choose(path);
  }

  // Enter or the Open/Save button: the typed text decides.
  void Act() {
    std::string typed = Trim(GetWindowText(Item(IDC_FD_NAME)));
    if (typed.empty()) {
      int i = int(SendMessage(Item(IDC_FD_LIST), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
      if (i >= 0 && i < int(listing_.Entries.size()) && listing_.Entries[std::size_t(i)].Folder)
        Activate(listing_.Entries[std::size_t(i)]);
      return;
    }
    // A selected entry whose shown name is in the field stands for itself, so
    // that a name that is not valid UTF-8 is chosen by its real bytes.
    int sel = int(SendMessage(Item(IDC_FD_LIST), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (sel >= 0 && sel < int(listing_.Entries.size()) &&
        listing_.Entries[std::size_t(sel)].Display == typed) {
      Activate(listing_.Entries[std::size_t(sel)]);
      return;
    }
    std::string path = ResolvePath(folder_, typed);
    std::size_t slash = path.rfind('/');
    std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    std::string last = path.substr(slash + 1);
    if (typed.find_first_of("*?") != std::string::npos) {
      // A pattern filters the list (in its folder).
      patterns_.clear();
      std::string pats = last;
      std::size_t s = 0;
      for (;;) {
        std::size_t semi = pats.find(';', s);
        std::string p =
            Trim(std::string_view(pats).substr(s, semi == std::string::npos ? semi : semi - s));
        if (!p.empty()) patterns_.push_back(p);
        if (semi == std::string::npos) break;
        s = semi + 1;
      }
      if (patterns_.empty()) patterns_.push_back("*");
      EnterFolder(parent);
      return;
    }
    std::error_code ec;
    if (fs::is_directory(fs::path(path), ec)) {
      SetWindowText(Item(IDC_FD_NAME), "");
      EnterFolder(path);
      return;
    }
    if (params_.PathMustExist && !fs::is_directory(fs::path(parent), ec)) {
      ShowMessage("Папка не найдена: " + ValidUtf8(parent));
      return;
    }
    if (!params_.DefaultExt.empty() && last.find('.') == std::string::npos) {
      std::string withExt = path + "." + params_.DefaultExt;
      if (params_.Save || fs::exists(fs::path(withExt), ec)) path = withExt;
    }
    Choose(path);
  }

  void Choose(const std::string& path) {
    std::error_code ec;
    if (!params_.Save) {
      fs::file_status st = fs::status(fs::path(path), ec);
      if (ec || !fs::exists(st)) {
        if (params_.FileMustExist) {
          // Gone since the list was made (or never there): say so and show the folder as it is now.
          std::string name = ValidUtf8(path.substr(path.rfind('/') + 1));
          Refill();
          ShowMessage("Файл не найден: " + name);
          return;
        }
      } else if (fs::is_directory(st)) {
        EnterFolder(path);
        return;
      }
    } else if (fs::is_directory(fs::path(path), ec)) {
      EnterFolder(path);
      return;
    } else if (params_.OverwritePrompt && fs::exists(fs::path(path), ec)) {
      // Replacing is the user's choice; "No" keeps the dialog open for another name.
      std::string name = ValidUtf8(path.substr(path.rfind('/') + 1));
      int answer = MessageBox(dlg_, "Файл «" + name + "» уже существует.\nЗаменить его?",
                              GetWindowText(dlg_), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
      if (answer != IDYES) {
        if (IsWindow(dlg_)) SetFocus(Item(IDC_FD_NAME));
        return;
      }
    }
    if (params_.CanClose && !params_.CanClose(path)) return;
    result_.Path = path;
    result_.FilterIndex = filterIndex_;
    EndDialog(dlg_, IDOK);
  }

  void ClearPreview() {
    if (!params_.Preview) return;
    SendMessage(Item(IDC_FD_PREVIEW), STM_SETIMAGE, IMAGE_BITMAP, 0);
    SetWindowText(Item(IDC_FD_PREVIEW_SIZE), "");
  }

  // The picture scaled to fit the pane (never enlarged) with its size below.
  // JPEG files decode at a reduced scale straight away; anything unreadable,
  // corrupt or too large leaves the pane empty.
  void ShowPreview(const std::string& path) {
    if (!params_.Preview) return;
    ClearPreview();
    const TPictureFormat* format = PictureFormatByExtension(LowerExtension(path));
    if (!format || !format->Preview) return;
    const int boxW = PreviewWidth - 4, boxH = PreviewHeight - 4;
    try {
      const std::vector<std::uint8_t> bytes = ReadWholeFile(path, MaxPreviewFileBytes);
      // A file whose content is not what its name says shows no preview, as
      // the program would not open it either.
      if (SniffPicture(bytes) != format->Kind) return;
      int fullW = 0, fullH = 0;
      TBitmap picture = DecodePicturePreview(bytes, format->Kind, boxW, boxH, fullW, fullH);
      if (picture.Empty()) return;
      // Fit, keeping the proportions and never enlarging.
      double scale = std::min({1.0, double(boxW) / fullW, double(boxH) / fullH});
      int w = std::max(1, int(fullW * scale + 0.5)), h = std::max(1, int(fullH * scale + 0.5));
      TBitmap fitted(w, h);
      TDC dc(fitted);
      dc.SetStretchBltMode(HALFTONE);
      dc.StretchBlt(0, 0, w, h, picture, 0, 0, picture.Width(), picture.Height());
      SendMessage(Item(IDC_FD_PREVIEW), STM_SETIMAGE, IMAGE_BITMAP,
                  LPARAM(reinterpret_cast<std::uintptr_t>(&fitted)));
      SetWindowText(Item(IDC_FD_PREVIEW_SIZE),
                    std::to_string(fullW) + " × " + std::to_string(fullH));
    } catch (const std::exception&) {
      ClearPreview();
    }
  }

  TFileDialogParams params_;
  std::vector<TFileFilter> filters_;
  int filterIndex_ = 1;
  std::vector<std::string> patterns_;
  std::string folder_;
  std::string initialName_;
  std::vector<std::string> chain_;
  TFolderListing listing_;
  bool filled_ = false;
  HWND dlg_ = nullptr;
  std::string announced_;  // the folder OnFolderChange last heard of
  TFileDialogResult result_;
  std::vector<TAnchored> anchored_;
  TSize firstWindow_{0, 0}, firstClient_{0, 0};
};

}  // namespace

std::optional<TFileDialogResult> RunFileDialog(const TFileDialogParams& params) {
  TFileDialog d(params);
  std::optional<TFileDialogResult> r = d.Run();
  // The chosen file's folder becomes the process's current folder, as on the
  // platform, so the next dialog without a folder of its own opens there. A
  // folder that cannot be entered leaves the current one as it was.
  if (r && !params.NoChangeDir) {
    std::error_code ec;
    fs::path folder = fs::path(r->Path).parent_path();
    if (!folder.empty()) fs::current_path(folder, ec);
  }
  return r;
}

}  // namespace vm
