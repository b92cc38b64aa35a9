#include "tools/demo/DemoMainWindow.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "platform/controls/Controls.h"
#include "platform/controls/FileDialog.h"
#include "platform/gfx/PngCodec.h"
#include "platform/gfx/SysColors.h"
#include "tools/demo/DemoButton.h"
#include "tools/demo/DemoEdit.h"
#include "tools/demo/DemoPaint.h"
#include "tools/demo/DemoWindowObject.h"

namespace vm::demo {

namespace {

constexpr int Margin = 12;
constexpr int LabelHeight = 16;
constexpr int EditHeight = 24;
constexpr int ButtonWidth = 88;
constexpr int ButtonHeight = 26;
constexpr int LineGap = 6;
constexpr int ClientWidth = 432;
// Label, field, the row of the count and Clear, the picture line.
constexpr int ClientHeight =
    Margin + LabelHeight + 4 + EditHeight + 12 + ButtonHeight + LineGap + LabelHeight + Margin;

TDemoOptions* pendingOptions = nullptr;  // handed to WM_NCCREATE by Create

// Writes text to path through a temporary file and a rename.
void ReplaceFile(const std::string& path, const std::string& text) {
  const std::string temp = path + ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
      std::fprintf(stderr, "velmora-demo: cannot write %s\n", temp.c_str());
      return;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0)
    std::fprintf(stderr, "velmora-demo: cannot replace %s\n", path.c_str());
}

// The centre of the area of hwnd's frame that hit-tests as code, searched in
// the top band of the window (window coordinates); (-1, -1) when none.
TPoint FindHit(HWND hwnd, LRESULT code) {
  TRect w;
  GetWindowRect(hwnd, &w);
  TRect found{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int y = 0; y < std::min(48, w.Height()); ++y) {
    for (int x = 0; x < w.Width(); ++x) {
      if (SendMessage(hwnd, WM_NCHITTEST, 0, MAKELPARAM(w.Left + x, w.Top + y)) != code) continue;
      found = {std::min(found.Left, x), std::min(found.Top, y), std::max(found.Right, x + 1),
               std::max(found.Bottom, y + 1)};
    }
  }
  if (found.IsEmpty()) return {-1, -1};
  return {(found.Left + found.Right) / 2, (found.Top + found.Bottom) / 2};
}

}  // namespace

TBitmap MakeDemoIcon() {
  constexpr int Size = 32;
  TBitmap icon(Size, Size, TPixelFormat::pf32bit);
  for (int y = 0; y < Size; ++y) {
    for (int x = 0; x < Size; ++x) {
      // Rounded corners of radius 5: pixels outside the arc are transparent.
      auto outside = [&](int cx, int cy) {
        const int dx = x - cx, dy = y - cy;
        return dx * dx + dy * dy > 25;
      };
      if ((x < 5 && y < 5 && outside(5, 5)) || (x > 26 && y < 5 && outside(26, 5)) ||
          (x < 5 && y > 26 && outside(5, 26)) || (x > 26 && y > 26 && outside(26, 26))) {
        icon.SetAlpha(x, y, 0);
        continue;
      }
      // Sky from light to deeper blue, a sun, and two hills in front.
      TColor c = RGB(120 + y * 2, 170 + y * 2, 240);
      const int sx = x - 22, sy = y - 9;
      if (sx * sx + sy * sy <= 16) c = RGB(255, 214, 64);
      if (y > 30 - (x * 2 / 3)) c = RGB(70, 140, 60);
      if (y > 18 + std::abs(x - 10) / 2 + 4 && x < 22) c = RGB(40, 110, 45);
      const bool edge = x == 0 || y == 0 || x == Size - 1 || y == Size - 1;
      if (edge) c = RGB(30, 60, 120);
      icon.SetPixel(x, y, c);
      icon.SetAlpha(x, y, 255);
    }
  }
  return icon;
}

void TDemoMainWindow::Register() {
  // The platform's own classes: menus open in "#32768" windows, and the
  // open-picture dialog is made of buttons, lists and edits.
  RegisterStandardControls();
  TDemoEdit::Register();
  TDemoButton::Register();
  WNDCLASS wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &TDemoMainWindow::Proc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = 0xFF000000u | COLOR_BTNFACE;
  static const HICON icon = CreateIconFromBitmap(MakeDemoIcon());
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.lpszClassName = ClassName;
  wc.cbWndExtra = WindowObjectBytes;
  RegisterClass(wc);
}

HWND TDemoMainWindow::Create(const TDemoOptions& options) {
  HMENU file = CreatePopupMenu();
  AppendMenu(file, MF_STRING, IdOpen, "&Открыть…\tCtrl+O");
  AppendMenu(file, MF_SEPARATOR, 0);
  AppendMenu(file, MF_STRING, IdExit, "В&ыход");
  HMENU bar = CreateMenu();
  AppendMenu(bar, MF_POPUP, UINT_PTR(file), "&Файл");

  TDemoOptions copy = options;
  pendingOptions = &copy;
  HWND hwnd = CreateWindowEx(0, ClassName, Title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                             ClientWidth, ClientHeight, nullptr, LONG_PTR(bar));
  pendingOptions = nullptr;
  if (!hwnd) {
    DestroyMenu(bar);
    throw std::runtime_error("Cannot create the demo window");
  }
  // The frame, caption and menu bar come on top of the client area the
  // controls need; the window is then centred as a whole.
  TRect window, client;
  GetWindowRect(hwnd, &window);
  GetClientRect(hwnd, &client);
  const int width = ClientWidth + window.Width() - client.Width();
  const int height = ClientHeight + window.Height() - client.Height();
  const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  MoveWindow(hwnd, x, y, width, height, false);
  return hwnd;
}

HACCEL TDemoMainWindow::Accelerators() {
  static const HACCEL table = [] {
    const ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'O', IdOpen}};
    return CreateAcceleratorTable(keys, 1);
  }();
  return table;
}

TRect TDemoMainWindow::StatusRect(HWND hwnd) const {
  TRect c;
  GetClientRect(hwnd, &c);
  const int top = Margin + LabelHeight + 4 + EditHeight + 12;
  return {Margin, top, c.Right - Margin - ButtonWidth - 8, top + ButtonHeight};
}

TRect TDemoMainWindow::PictureRect(HWND hwnd) const {
  TRect c;
  GetClientRect(hwnd, &c);
  const int top = StatusRect(hwnd).Bottom + LineGap;
  return {Margin, top, c.Right - Margin, top + LabelHeight};
}

void TDemoMainWindow::Layout(HWND hwnd) {
  TRect c;
  GetClientRect(hwnd, &c);
  const int editTop = Margin + LabelHeight + 4;
  const int width = std::max(40, c.Width() - 2 * Margin);
  MoveWindow(edit_, Margin, editTop, width, EditHeight, true);
  MoveWindow(clear_, std::max(Margin, c.Right - Margin - ButtonWidth), editTop + EditHeight + 12,
             ButtonWidth, ButtonHeight, true);
}

void TDemoMainWindow::Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  dc->SelectFont(TFont::Default());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Sys(COLOR_BTNTEXT));
  TRect label{Margin, Margin, Margin + 300, Margin + LabelHeight};
  DrawText(dc, "&Type here:", &label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  TRect status = StatusRect(hwnd);
  FillRect(dc, &status, Sys(COLOR_BTNFACE));
  std::string count = TDemoEdit::Text(edit_);
  int chars = 0;
  for (unsigned char b : count)
    if ((b & 0xC0) != 0x80) ++chars;
  DrawText(dc, "Characters: " + std::to_string(chars), &status,
           DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  TRect picture = PictureRect(hwnd);
  FillRect(dc, &picture, Sys(COLOR_BTNFACE));
  DrawText(dc, "Picture: " + (picture_.empty() ? std::string("none") : picture_), &picture,
           DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  EndPaint(hwnd, &ps);
}

void TDemoMainWindow::Record(HWND) {
  if (!options_.RecordFile.empty()) ReplaceFile(options_.RecordFile, TDemoEdit::Text(edit_));
}

void TDemoMainWindow::RecordFocus() {
  if (options_.RecordFile.empty()) return;
  HWND f = GetFocus();
  ReplaceFile(options_.RecordFile + ".focus", f && f == edit_    ? "edit"
                                              : f && f == clear_ ? "clear"
                                                                 : "none");
}

void TDemoMainWindow::RecordMenu(const char* state) {
  if (!options_.RecordFile.empty()) ReplaceFile(options_.RecordFile + ".menu", state);
}

// Asks for a picture with the platform's open-picture dialog; the chosen
// path is shown in the window and in its title. Cancelling changes nothing.
void TDemoMainWindow::OpenPicture(HWND hwnd) {
  TFileDialogParams params;
  params.Owner = hwnd;
  params.Filter = "Изображения JPEG (*.jpg, *.jpeg)|*.jpg;*.jpeg|Все файлы (*.*)|*.*";
  if (!picture_.empty()) params.FileName = picture_;
  std::optional<TFileDialogResult> chosen = RunFileDialog(params);
  if (!chosen || !IsWindow(hwnd)) return;
  picture_ = chosen->Path;
  SetWindowText(hwnd, std::string(Title) + " — " + picture_);
  TRect r = PictureRect(hwnd);
  InvalidateRect(hwnd, &r, true);
}

void TDemoMainWindow::WriteLayout(HWND hwnd) {
  if (options_.RecordFile.empty()) return;
  TRect window;
  GetWindowRect(hwnd, &window);
  std::string text;
  auto line = [&](const char* name, HWND child) {
    TRect r;
    GetWindowRect(child, &r);
    r = r.Offset(-window.Left, -window.Top);
    text += std::string(name) + " " + std::to_string(r.Left) + " " + std::to_string(r.Top) + " " +
            std::to_string(r.Right) + " " + std::to_string(r.Bottom) + "\n";
  };
  line("edit", edit_);
  line("clear", clear_);
  TPoint close = FindHit(hwnd, HTCLOSE);
  TPoint caption = FindHit(hwnd, HTCAPTION);
  text += "close " + std::to_string(close.X) + " " + std::to_string(close.Y) + "\n";
  text += "caption " + std::to_string(caption.X) + " " + std::to_string(caption.Y) + "\n";
  ReplaceFile(options_.RecordFile + ".layout", text);
}

LRESULT TDemoMainWindow::Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  // Without options (a window not made by Create) creation is refused.
  if (msg == WM_NCCREATE && !pendingOptions) return 0;
  auto* self =
      WindowObject<TDemoMainWindow>(hwnd, msg, [] { return new TDemoMainWindow(*pendingOptions); });
  if (!self) return DefWindowProc(hwnd, msg, w, l);

  switch (msg) {
    case WM_CREATE:
      self->edit_ = TDemoEdit::Create(hwnd, IdEdit, {});
      self->clear_ = TDemoButton::Create(hwnd, IdClear, "&Clear", {});
      self->lastFocus_ = self->edit_;
      self->Layout(hwnd);
      self->WriteLayout(hwnd);
      self->Record(hwnd);
      self->RecordFocus();
      self->RecordMenu("none");
      return 0;
    case WM_SIZE:
      if (self->edit_) {
        self->Layout(hwnd);
        self->WriteLayout(hwnd);
      }
      return 0;
    case WM_PAINT:
      self->Paint(hwnd);
      return 0;
    case WM_ACTIVATE:
      // Keep the focus where the user left it when the window comes back.
      if (LOWORD(w) == WA_INACTIVE) {
        HWND f = GetFocus();
        if (f && IsChild(hwnd, f)) self->lastFocus_ = f;
      } else {
        SetFocus(IsWindow(self->lastFocus_) ? self->lastFocus_ : self->edit_);
      }
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(w), code = HIWORD(w);
      if (id == IdOpen && code <= 1) {  // the menu item (0) or Ctrl+O (1)
        self->OpenPicture(hwnd);
      } else if (id == IdExit && code == 0) {
        SendMessage(hwnd, WM_CLOSE, 0, 0);
      } else if (id == IdClear && code == NotifyClicked) {
        TDemoEdit::Clear(self->edit_);
        SetFocus(self->edit_);
      } else if (code == NotifySetFocus || code == NotifyKillFocus) {
        self->RecordFocus();
      } else if (id == IdEdit && code == NotifyChange) {
        self->Record(hwnd);
        TRect status = self->StatusRect(hwnd);
        InvalidateRect(hwnd, &status, true);
      }
      return 0;
    }
    case WM_ENTERMENULOOP:
      self->inMenuLoop_ = true;
      self->RecordMenu("bar");
      return 0;
    case WM_INITMENUPOPUP:
      // Also sent when Ctrl+O is pressed, with no menu on the screen.
      if (self->inMenuLoop_) self->RecordMenu("popup");
      return 0;
    case WM_EXITMENULOOP:
      self->inMenuLoop_ = false;
      self->RecordMenu("none");
      return 0;
    case WM_ENTERSIZEMOVE:
      if (!self->options_.RecordFile.empty())
        ReplaceFile(self->options_.RecordFile + ".moves", std::to_string(++self->moves_));
      return 0;
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(l);
      // Room for every line of the client area below the caption and menu bar.
      TRect window, client;
      GetWindowRect(hwnd, &window);
      GetClientRect(hwnd, &client);
      mmi->ptMinTrackSize = {300, ClientHeight + window.Height() - client.Height()};
      return 0;
    }
    case WM_CLOSE:
      if (!self->options_.ShotFile.empty()) {
        UpdateWindow(hwnd);
        if (const TBitmap* store = GetWindowStore(hwnd)) {
          try {
            SavePngFile(self->options_.ShotFile, *store);
          } catch (const std::exception& e) {
            std::fprintf(stderr, "velmora-demo: %s\n", e.what());
          }
        }
      }
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProc(hwnd, msg, w, l);
  }
}

}  // namespace vm::demo
