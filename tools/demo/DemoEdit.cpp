#include "tools/demo/DemoEdit.h"

#include <algorithm>
#include <cstdlib>

#include "platform/gfx/SysColors.h"
#include "tools/demo/DemoPaint.h"
#include "tools/demo/DemoWindowObject.h"

namespace vm::demo {

namespace {

constexpr UINT_PTR BlinkTimer = 1;
constexpr UINT BlinkMs = 530;
constexpr int Padding = 4;  // between the sunken edge and the text

std::shared_ptr<const TFont> FieldFont() {
  static const std::shared_ptr<const TFont> font = TFont::Get({"Tahoma", -13});
  return font;
}

int TextWidth(HDC dc, std::u32string_view text) {
  TSize size;
  GetTextExtentPoint32(dc, Utf8FromCodePoints(text), &size);
  return size.cx;
}

}  // namespace

void TDemoEdit::Register() {
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &TDemoEdit::Proc;
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.hbrBackground = clNone;  // painted whole in WM_PAINT
  wc.lpszClassName = ClassName;
  wc.cbWndExtra = WindowObjectBytes;
  RegisterClass(wc);
}

HWND TDemoEdit::Create(HWND parent, int id, const TRect& b) {
  return CreateWindowEx(0, ClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, b.Left, b.Top,
                        b.Width(), b.Height(), parent, id);
}

TDemoEdit* TDemoEdit::Of(HWND hwnd) {
  if (GetClassName(hwnd) != ClassName) return nullptr;
  return reinterpret_cast<TDemoEdit*>(GetWindowLongPtr(hwnd, 0));
}

std::string TDemoEdit::Text(HWND edit) {
  TDemoEdit* e = Of(edit);
  return e ? Utf8FromCodePoints(e->text_) : std::string();
}

void TDemoEdit::Clear(HWND edit) {
  TDemoEdit* e = Of(edit);
  if (!e || e->text_.empty()) return;
  e->text_.clear();
  e->caret_ = 0;
  e->Changed(edit, true);
}

void TDemoEdit::Changed(HWND hwnd, bool notify) {
  caretOn_ = focused_;
  RestartBlink(hwnd);
  InvalidateRect(hwnd, nullptr, false);
  if (notify) NotifyParent(hwnd, NotifyChange);
}

void TDemoEdit::RestartBlink(HWND hwnd) {
  // The caret stays solid while the user types and blinks once idle.
  if (focused_) SetTimer(hwnd, BlinkTimer, BlinkMs);
}

void TDemoEdit::Insert(HWND hwnd, char32_t c) {
  text_.insert(text_.begin() + std::ptrdiff_t(caret_), c);
  ++caret_;
  Changed(hwnd, true);
}

int TDemoEdit::CaretFromX(HWND hwnd, int x) {
  HDC dc = GetDC(hwnd);
  if (!dc) return int(caret_);
  dc->SelectFont(FieldFont());
  const int target = x - (2 + Padding) + scroll_;
  // The caret goes to the gap nearest to the click.
  int best = 0, bestDistance = std::abs(target);
  for (std::size_t i = 1; i <= text_.size(); ++i) {
    int d = std::abs(TextWidth(dc, std::u32string_view(text_).substr(0, i)) - target);
    if (d < bestDistance) best = int(i), bestDistance = d;
  }
  ReleaseDC(hwnd, dc);
  return best;
}

void TDemoEdit::Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  TRect client;
  GetClientRect(hwnd, &client);
  const bool enabled = IsWindowEnabled(hwnd);
  TRect inner{client.Left + 2, client.Top + 2, client.Right - 2, client.Bottom - 2};
  FillRect(dc, &inner, Sys(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
  DrawSunkenEdge(dc, client);

  dc->SelectFont(FieldFont());
  TTextMetric tm;
  GetTextMetrics(dc, &tm);
  const int caretX = TextWidth(dc, std::u32string_view(text_).substr(0, caret_));
  const int room = std::max(1, inner.Width() - 2 * Padding);
  // Scroll just enough to keep the caret in view.
  if (caretX - scroll_ > room - 1) scroll_ = caretX - room + 1;
  if (caretX < scroll_) scroll_ = std::max(0, caretX - room / 3);

  SaveDC(dc);
  IntersectClipRect(dc, inner.Left + 1, inner.Top, inner.Right - 1, inner.Bottom);
  const int textTop = inner.Top + (inner.Height() - tm.Height) / 2;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Sys(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  TextOut(dc, inner.Left + Padding - scroll_, textTop, Utf8FromCodePoints(text_));
  if (focused_ && caretOn_) {
    const int x = inner.Left + Padding - scroll_ + caretX;
    TRect caret{x, textTop, x + 1, textTop + tm.Height};
    FillRect(dc, &caret, Sys(COLOR_WINDOWTEXT));
  }
  RestoreDC(dc, -1);
  EndPaint(hwnd, &ps);
}

LRESULT TDemoEdit::Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  TDemoEdit* self = WindowObject<TDemoEdit>(hwnd, msg, [] { return new TDemoEdit; });
  if (!self) return DefWindowProc(hwnd, msg, w, l);

  switch (msg) {
    case WM_PAINT:
      self->Paint(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_SETFOCUS:
      self->focused_ = true;
      self->caretOn_ = true;
      self->RestartBlink(hwnd);
      InvalidateRect(hwnd, nullptr, false);
      NotifyParent(hwnd, NotifySetFocus);
      return 0;
    case WM_KILLFOCUS:
      self->focused_ = false;
      KillTimer(hwnd, BlinkTimer);
      InvalidateRect(hwnd, nullptr, false);
      NotifyParent(hwnd, NotifyKillFocus);
      return 0;
    case WM_TIMER:
      if (w == BlinkTimer && self->focused_) {
        self->caretOn_ = !self->caretOn_;
        InvalidateRect(hwnd, nullptr, false);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != hwnd) SetFocus(hwnd);
      self->caret_ = std::size_t(self->CaretFromX(hwnd, GET_X_LPARAM(l)));
      if (msg == WM_LBUTTONDBLCLK) self->caret_ = self->text_.size();
      self->Changed(hwnd, false);
      return 0;
    case WM_KEYDOWN: {
      std::size_t before = self->caret_;
      switch (int(w)) {
        case VK_LEFT:
          if (self->caret_ > 0) --self->caret_;
          break;
        case VK_RIGHT:
          if (self->caret_ < self->text_.size()) ++self->caret_;
          break;
        case VK_HOME:
          self->caret_ = 0;
          break;
        case VK_END:
          self->caret_ = self->text_.size();
          break;
        case VK_DELETE:
          if (self->caret_ < self->text_.size()) {
            self->text_.erase(self->caret_, 1);
            self->Changed(hwnd, true);
          }
          return 0;
        default:
          return DefWindowProc(hwnd, msg, w, l);
      }
      if (self->caret_ != before) self->Changed(hwnd, false);
      return 0;
    }
    case WM_CHAR: {
      const auto c = char32_t(w);
      if (c == U'\b') {
        if (self->caret_ > 0) {
          self->text_.erase(--self->caret_, 1);
          self->Changed(hwnd, true);
        }
      } else if (c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) &&
                 !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF) {
        // Printable characters only: control characters from Ctrl+letter
        // shortcuts, Enter, Tab and Escape are not text in a single line.
        self->Insert(hwnd, c);
      }
      return 0;
    }
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    default:
      return DefWindowProc(hwnd, msg, w, l);
  }
}

}  // namespace vm::demo
