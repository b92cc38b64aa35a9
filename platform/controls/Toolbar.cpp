// The "ToolbarWindow32" control: a row of buttons with images from an image
// list and optional texts, separators, check buttons and check groups,
// docked at the top (or bottom) of its parent. A click is a press and a
// release over the same enabled button and reaches the parent as WM_COMMAND.
// TBSTYLE_FLAT buttons show their edge only under the pointer; with
// TBSTYLE_TOOLTIPS each button has a hint, its text asked of the parent.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ListText.h"
#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/ImageList.h"
#include "platform/gfx/SysColors.h"

namespace vm {

namespace {

constexpr int DefaultSeparator = 8;
constexpr int Divider = 2;  // the etched line along the top

LPARAM LP(HWND h) {
  return LPARAM(reinterpret_cast<std::uintptr_t>(h));
}

struct TButton {
  TBBUTTON B;
  std::string Text;
  TRect Rect;  // client coordinates; empty when hidden
  bool Sep() const { return (B.fsStyle & TBSTYLE_SEP) != 0; }
};

class TToolbar {
 public:
  explicit TToolbar(HWND h) : h_(h) {}
  LRESULT Proc(UINT msg, WPARAM w, LPARAM l);
  int Depth = 0;
  bool Dead = false;

 private:
  DWORD Style() const { return DWORD(GetWindowLongPtr(h_, GWL_STYLE)); }
  bool Flat() const { return (Style() & TBSTYLE_FLAT) != 0; }
  int Count() const { return int(buttons_.size()); }
  bool Valid(int i) const { return i >= 0 && i < Count(); }
  int IndexOf(int id) const;
  std::shared_ptr<const TFont> Font() const;
  int TextWidth(const std::string& s) const;
  TSize ButtonSize();
  int Top() const { return (Style() & CCS_NODIVIDER) ? 0 : Divider; }
  void Layout();
  void AutoSize();
  int HitButton(TPoint p) const;  // an enabled, visible, non-separator button, or -1
  void Redraw(int i);
  void SetHot(int i);
  void Click(int i);
  // Lets go of the checked buttons of the group around button i.
  void ReleaseGroup(int i);
  void Insert(int at, const TBBUTTON& b);
  void SyncTools();
  void Paint();
  void DrawButton(TDC& dc, int i);

  HWND h_;
  std::vector<TButton> buttons_;
  std::vector<std::string> strings_;
  HIMAGELIST images_ = nullptr;
  TSize bitmap_{16, 15};
  TSize forcedButton_{0, 0};
  HFONT font_ = nullptr;
  HWND tips_ = nullptr;
  int pressed_ = -1;  // the button the mouse holds down
  bool pressedOver_ = false;
  int hot_ = -1;
  bool tracking_ = false;
};

std::shared_ptr<const TFont> TToolbar::Font() const {
  if (font_)
    if (auto f = GetFontObject(font_)) return f;
  return TFont::Default();
}

int TToolbar::TextWidth(const std::string& s) const {
  std::u32string u;
  for (std::size_t k = 0; k < s.size();) u.push_back(ctl::DecodeAt(s, k));
  return Font()->TextWidth(u);
}

int TToolbar::IndexOf(int id) const {
  for (int i = 0; i < Count(); ++i)
    if (!buttons_[std::size_t(i)].Sep() && buttons_[std::size_t(i)].B.idCommand == id) return i;
  return -1;
}

TSize TToolbar::ButtonSize() {
  TSize img = images_ ? TSize{images_->Width(), images_->Height()} : bitmap_;
  bool anyText = false;
  int widest = 0;
  for (const TButton& b : buttons_)
    if (!b.Text.empty()) {
      anyText = true;
      widest = std::max(widest, TextWidth(b.Text));
    }
  int th = Font()->Metrics().Height;
  TSize s{img.cx + 7, img.cy + 7};
  if (anyText) {
    if (Style() & TBSTYLE_LIST) {
      s.cy = std::max(s.cy, th + 7);
    } else {
      // Text under the image: every button as wide as the widest text.
      s.cx = std::max(s.cx, widest + 8);
      s.cy += th + 1;
    }
  }
  if (forcedButton_.cx > 0) s.cx = std::max(s.cx, forcedButton_.cx);
  if (forcedButton_.cy > 0) s.cy = std::max(s.cy, forcedButton_.cy);
  return s;
}

void TToolbar::Layout() {
  TSize s = ButtonSize();
  TRect c;
  GetClientRect(h_, &c);
  int x = 0, y = Top();
  bool wrap = (Style() & TBSTYLE_WRAPABLE) != 0;
  TSize img = images_ ? TSize{images_->Width(), images_->Height()} : bitmap_;
  for (TButton& b : buttons_) {
    if (b.B.fsState & TBSTATE_HIDDEN) {
      b.Rect = {};
      continue;
    }
    int width = b.Sep() ? (b.B.iBitmap > 0 ? b.B.iBitmap : DefaultSeparator)
                : (Style() & TBSTYLE_LIST) && !b.Text.empty()
                    ? img.cx + 7 + 4 + TextWidth(b.Text) + 4
                    : s.cx;
    if (wrap && x > 0 && x + width > c.Right) {
      x = 0;
      y += s.cy;
    }
    b.Rect = Bounds(x, y, width, s.cy);
    x += width;
  }
  SyncTools();
}

void TToolbar::AutoSize() {
  Layout();
  DWORD style = Style();
  HWND parent = GetParent(h_);
  if (!parent) return;
  int bottom = Top();
  for (const TButton& b : buttons_) bottom = std::max(bottom, b.Rect.Bottom);
  int height = std::max(bottom, Top() + ButtonSize().cy) + 2;
  TRect pc;
  GetClientRect(parent, &pc);
  TRect wr;
  GetWindowRect(h_, &wr);
  int frame = wr.Height();
  TRect cr;
  GetClientRect(h_, &cr);
  height += frame - cr.Height();
  if (style & CCS_NORESIZE) return;
  if (style & CCS_NOPARENTALIGN) {
    SetWindowPos(h_, nullptr, 0, 0, wr.Width(), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  int y = (style & CCS_BOTTOM) == CCS_BOTTOM ? pc.Bottom - height : 0;
  SetWindowPos(h_, nullptr, 0, y, pc.Width(), height, SWP_NOZORDER | SWP_NOACTIVATE);
  Layout();
}

void TToolbar::SyncTools() {
  if (!tips_ || !IsWindow(tips_)) return;
  for (const TButton& b : buttons_) {
    if (b.Sep()) continue;
    TOOLINFO ti;
    ti.hwnd = h_;
    ti.uId = UINT_PTR(b.B.idCommand);
    ti.rect = b.Rect;
    ti.lpszText = LPSTR_TEXTCALLBACK;
    if (!SendMessage(tips_, TTM_ADDTOOL, 0, LPARAM(&ti)))
      SendMessage(tips_, TTM_NEWTOOLRECT, 0, LPARAM(&ti));
  }
}

int TToolbar::HitButton(TPoint p) const {
  for (int i = 0; i < Count(); ++i) {
    const TButton& b = buttons_[std::size_t(i)];
    if (!b.Sep() && b.Rect.Contains(p) && (b.B.fsState & TBSTATE_ENABLED)) return i;
  }
  return -1;
}

void TToolbar::Redraw(int i) {
  if (!Valid(i)) return;
  TRect r = buttons_[std::size_t(i)].Rect;
  InvalidateRect(h_, &r, true);
}

void TToolbar::SetHot(int i) {
  if (i == hot_) return;
  Redraw(hot_);
  hot_ = i;
  Redraw(hot_);
}

void TToolbar::ReleaseGroup(int i) {
  // The group: the buttons with TBSTYLE_GROUP next to each other, up to a
  // separator or a button without it.
  auto inGroup = [&](int k) {
    return Valid(k) && !buttons_[std::size_t(k)].Sep() &&
           (buttons_[std::size_t(k)].B.fsStyle & TBSTYLE_GROUP);
  };
  for (int k = i - 1; inGroup(k); --k) buttons_[std::size_t(k)].B.fsState &= ~TBSTATE_CHECKED;
  for (int k = i + 1; inGroup(k); ++k) buttons_[std::size_t(k)].B.fsState &= ~TBSTATE_CHECKED;
}

void TToolbar::Click(int i) {
  TButton& b = buttons_[std::size_t(i)];
  if (b.B.fsStyle & TBSTYLE_CHECK) {
    if ((b.B.fsStyle & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP) {
      // One of a group: it checks, its neighbours in the group let go.
      if (!(b.B.fsState & TBSTATE_CHECKED)) {
        ReleaseGroup(i);
        b.B.fsState |= TBSTATE_CHECKED;
        InvalidateRect(h_, nullptr, true);
      }
    } else {
      b.B.fsState ^= TBSTATE_CHECKED;
      Redraw(i);
    }
  }
  if (HWND parent = GetParent(h_))
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(b.B.idCommand, 0 /* BN_CLICKED */), LP(h_));
}

void TToolbar::Insert(int at, const TBBUTTON& tb) {
  TButton b;
  b.B = tb;
  if (!b.Sep()) {
    if (tb.iString >= 0 && tb.iString < std::intptr_t(strings_.size()))
      b.Text = strings_[std::size_t(tb.iString)];
    else if (tb.iString > 0xFFFF)  // a pointer, not an index
      b.Text = reinterpret_cast<const char*>(tb.iString);
  }
  at = std::clamp(at, 0, Count());
  buttons_.insert(buttons_.begin() + at, std::move(b));
  if (pressed_ >= at) ++pressed_;
  if (hot_ >= at) ++hot_;
  Layout();
  InvalidateRect(h_, nullptr, true);
}

// ---------------------------------------------------------------- painting

void TToolbar::DrawButton(TDC& dc, int i) {
  const TButton& b = buttons_[std::size_t(i)];
  TRect r = b.Rect;
  if (r.IsEmpty()) return;
  if (b.Sep()) {
    if (Flat()) {
      int x = r.Left + r.Width() / 2 - 1;
      dc.FillRect({x, r.Top + 1, x + 1, r.Bottom - 1}, GetSysColor(COLOR_BTNSHADOW));
      dc.FillRect({x + 1, r.Top + 1, x + 2, r.Bottom - 1}, GetSysColor(COLOR_BTNHIGHLIGHT));
    }
    return;
  }
  bool enabled = (b.B.fsState & TBSTATE_ENABLED) != 0;
  bool down = (b.B.fsState & TBSTATE_PRESSED) || (i == pressed_ && pressedOver_);
  bool checked = (b.B.fsState & TBSTATE_CHECKED) != 0;
  bool hot = Flat() && i == hot_ && enabled;
  TRect edge = r;
  if (checked && !down && !hot) {
    // A checked button is sunken on a light checkerboard.
    dc.FillRect(r, GetSysColor(COLOR_BTNFACE));
    // The light pixels are those whose x + y is even.
    dc.FillPattern({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, CheckerPattern, {0, 0},
                   GetSysColor(COLOR_BTNHIGHLIGHT));
  }
  if (down || checked)
    DrawEdge(&dc, &edge, Flat() ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
  else if (hot)
    DrawEdge(&dc, &edge, BDR_RAISEDINNER, BF_RECT);
  else if (!Flat())
    DrawEdge(&dc, &edge, EDGE_RAISED, BF_RECT);
  int shift = down || checked ? 1 : 0;
  TSize img = images_ ? TSize{images_->Width(), images_->Height()} : bitmap_;
  bool list = (Style() & TBSTYLE_LIST) != 0;
  int ix = list ? r.Left + 4 : r.Left + (r.Width() - img.cx) / 2;
  int iy = list || b.Text.empty() ? r.Top + (r.Height() - img.cy) / 2 : r.Top + 3;
  ix += shift;
  iy += shift;
  if (images_ && b.B.iBitmap >= 0 && b.B.iBitmap < images_->Count()) {
    if (enabled) {
      images_->Draw(dc, ix, iy, b.B.iBitmap);
    } else {
      // Disabled: the image's shape embossed, light below right, shadow on
      // top; light parts of the image stay flat.
      const std::vector<std::uint8_t> shape = images_->Shape(b.B.iBitmap, [](TColor px) {
        return (GetRValue(px) * 3 + GetGValue(px) * 6 + GetBValue(px)) / 10 <= 192;
      });
      dc.FillMasked(ix + 1, iy + 1, img.cx, img.cy, shape.data(), img.cx,
                    GetSysColor(COLOR_BTNHIGHLIGHT));
      dc.FillMasked(ix, iy, img.cx, img.cy, shape.data(), img.cx, GetSysColor(COLOR_BTNSHADOW));
    }
  }
  if (b.Text.empty()) return;
  TRect tr =
      list ? TRect{ix + img.cx + 4, r.Top + shift, r.Right - 2, r.Bottom + shift}
           : TRect{r.Left + 2 + shift, iy + img.cy + 1, r.Right - 2 + shift, r.Bottom - 2 + shift};
  std::uint32_t flags = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS |
                        (list ? DT_LEFT | DT_VCENTER : DT_CENTER | DT_TOP);
  if (enabled) {
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    dc.DrawText(b.Text, tr, flags);
  } else {
    ctl::GrayText(dc, b.Text, tr, flags);
  }
}

void TToolbar::Paint() {
  TPaintDC paint(h_);
  HDC dc = paint.Dc();
  if (!dc) return;
  TRect c;
  GetClientRect(h_, &c);
  dc->FillRect(c, GetSysColor(COLOR_BTNFACE));
  if (!(Style() & CCS_NODIVIDER)) {
    dc->FillRect({0, 0, c.Right, 1}, GetSysColor(COLOR_BTNSHADOW));
    dc->FillRect({0, 1, c.Right, 2}, GetSysColor(COLOR_BTNHIGHLIGHT));
  }
  dc->SelectFont(Font());
  dc->SetBkMode(TRANSPARENT);
  for (int i = 0; i < Count(); ++i) DrawButton(*dc, i);
}

// ---------------------------------------------------------------- messages

LRESULT TToolbar::Proc(UINT msg, WPARAM w, LPARAM l) {
  // The hints hear of every mouse message.
  if (tips_ && msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && IsWindow(tips_)) {
    MSG m;
    m.hwnd = h_;
    m.message = msg;
    m.wParam = w;
    m.lParam = l;
    SendMessage(tips_, TTM_RELAYEVENT, 0, LPARAM(&m));
  }
  switch (msg) {
    case WM_CREATE:
      if (Style() & TBSTYLE_TOOLTIPS) {
        HWND top = GetAncestor(h_, GA_ROOT);
        tips_ = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WC_TOOLTIPS, "",
                               WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, top ? top : h_);
      }
      AutoSize();
      return 0;
    case WM_DESTROY:
      if (tips_ && IsWindow(tips_)) DestroyWindow(tips_);
      tips_ = nullptr;
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      Layout();
      InvalidateRect(h_, nullptr, false);
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(w);
      AutoSize();
      if (LOWORD(l)) InvalidateRect(h_, nullptr, true);
      return 0;
    case WM_GETFONT:
      return LRESULT(reinterpret_cast<std::uintptr_t>(font_));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      int i = HitButton({GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      if (i < 0) return 0;
      pressed_ = i;
      pressedOver_ = true;
      SetCapture(h_);
      Redraw(i);
      return 0;
    }
    case WM_MOUSEMOVE: {
      TPoint p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      if (pressed_ >= 0) {
        bool over = Valid(pressed_) && buttons_[std::size_t(pressed_)].Rect.Contains(p);
        if (over != pressedOver_) {
          pressedOver_ = over;
          Redraw(pressed_);
        }
        return 0;
      }
      if (Flat()) {
        SetHot(HitButton(p));
        if (!tracking_) {
          TRACKMOUSEEVENT tme;
          tme.dwFlags = TME_LEAVE;
          tme.hwndTrack = h_;
          tracking_ = TrackMouseEvent(&tme);
        }
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      tracking_ = false;
      SetHot(-1);
      return 0;
    case WM_LBUTTONUP: {
      if (pressed_ < 0) return 0;
      int i = pressed_;
      bool over = pressedOver_;
      pressed_ = -1;
      pressedOver_ = false;
      ReleaseCapture();
      Redraw(i);
      if (over && Valid(i) && (buttons_[std::size_t(i)].B.fsState & TBSTATE_ENABLED)) Click(i);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(l) != h_ && pressed_ >= 0) {
        Redraw(pressed_);
        pressed_ = -1;
        pressedOver_ = false;
      }
      return 0;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(l);
      if (!hdr || hdr->hwndFrom != tips_ || hdr->code != TTN_GETDISPINFO) break;
      // The parent names the button; without an answer its text is the hint.
      auto* di = reinterpret_cast<NMTTDISPINFO*>(l);
      HWND parent = GetParent(h_);
      if (parent) SendMessage(parent, WM_NOTIFY, hdr->idFrom, l);
      if ((!di->lpszText || !*di->lpszText) && !di->szText[0]) {
        int i = IndexOf(int(hdr->idFrom));
        if (Valid(i)) {
          const std::string& t = buttons_[std::size_t(i)].Text;
          std::size_t n = std::min(t.size(), sizeof di->szText - 1);
          std::memcpy(di->szText, t.data(), n);
          di->szText[n] = '\0';
          di->lpszText = nullptr;
        }
      }
      return 0;
    }

    case TB_BUTTONSTRUCTSIZE:
      return 0;
    case TB_SETIMAGELIST: {
      HIMAGELIST old = images_;
      images_ = reinterpret_cast<HIMAGELIST>(l);
      AutoSize();
      InvalidateRect(h_, nullptr, true);
      return LRESULT(reinterpret_cast<std::uintptr_t>(old));
    }
    case TB_GETIMAGELIST:
      return LRESULT(reinterpret_cast<std::uintptr_t>(images_));
    case TB_ADDSTRING: {
      const char* s = reinterpret_cast<const char*>(l);
      if (!s || w) return -1;
      int first = int(strings_.size());
      // NUL-separated texts, ended by an empty one.
      for (int n = 0; *s && n < 4096; ++n) {
        strings_.emplace_back(s);
        s += strings_.back().size() + 1;
      }
      return first;
    }
    case TB_ADDBUTTONS:
    case TB_INSERTBUTTON: {
      auto* b = reinterpret_cast<const TBBUTTON*>(l);
      if (!b) return 0;
      if (msg == TB_INSERTBUTTON) {
        Insert(int(w), *b);
      } else {
        for (UINT k = 0; k < std::min<UINT>(UINT(w), 1024); ++k) Insert(Count(), b[k]);
      }
      AutoSize();
      return 1;
    }
    case TB_DELETEBUTTON:
      if (!Valid(int(w))) return 0;
      buttons_.erase(buttons_.begin() + int(w));
      if (pressed_ == int(w)) pressed_ = -1;
      if (hot_ == int(w)) hot_ = -1;
      if (pressed_ > int(w)) --pressed_;
      if (hot_ > int(w)) --hot_;
      Layout();
      InvalidateRect(h_, nullptr, true);
      return 1;
    case TB_BUTTONCOUNT:
      return Count();
    case TB_GETBUTTON: {
      auto* b = reinterpret_cast<TBBUTTON*>(l);
      if (!b || !Valid(int(w))) return 0;
      *b = buttons_[w].B;
      return 1;
    }
    case TB_COMMANDTOINDEX:
      return IndexOf(int(w));
    case TB_GETBUTTONTEXT: {
      int i = IndexOf(int(w));
      if (!Valid(i)) return -1;
      const std::string& t = buttons_[std::size_t(i)].Text;
      if (auto* buf = reinterpret_cast<char*>(l)) {
        std::memcpy(buf, t.data(), t.size());
        buf[t.size()] = '\0';
      }
      return LRESULT(t.size());
    }
    case TB_GETITEMRECT: {
      auto* r = reinterpret_cast<TRect*>(l);
      if (!r || !Valid(int(w))) return 0;
      *r = buttons_[w].Rect;
      return 1;
    }
    case TB_ENABLEBUTTON:
    case TB_CHECKBUTTON:
    case TB_PRESSBUTTON:
    case TB_HIDEBUTTON: {
      int i = IndexOf(int(w));
      if (!Valid(i)) return 0;
      std::uint8_t bit = msg == TB_ENABLEBUTTON  ? TBSTATE_ENABLED
                         : msg == TB_CHECKBUTTON ? TBSTATE_CHECKED
                         : msg == TB_PRESSBUTTON ? TBSTATE_PRESSED
                                                 : TBSTATE_HIDDEN;
      std::uint8_t& st = buttons_[std::size_t(i)].B.fsState;
      std::uint8_t before = st;
      // Checking one of a group releases the one checked before.
      if (msg == TB_CHECKBUTTON && LOWORD(l) &&
          (buttons_[std::size_t(i)].B.fsStyle & TBSTYLE_GROUP) && !(st & TBSTATE_CHECKED)) {
        ReleaseGroup(i);
        InvalidateRect(h_, nullptr, true);
      }
      st = LOWORD(l) ? std::uint8_t(st | bit) : std::uint8_t(st & ~bit);
      if (msg == TB_ENABLEBUTTON && !LOWORD(l) && pressed_ == i) {
        pressed_ = -1;
        if (GetCapture() == h_) ReleaseCapture();
      }
      if (msg == TB_HIDEBUTTON && st != before) {
        Layout();
        InvalidateRect(h_, nullptr, true);
      } else {
        Redraw(i);
      }
      return 1;
    }
    case TB_ISBUTTONENABLED:
    case TB_ISBUTTONCHECKED:
    case TB_ISBUTTONPRESSED: {
      // A button that is not there answers -1, neither yes nor no.
      int i = IndexOf(int(w));
      if (!Valid(i)) return -1;
      std::uint8_t bit = msg == TB_ISBUTTONENABLED   ? TBSTATE_ENABLED
                         : msg == TB_ISBUTTONCHECKED ? TBSTATE_CHECKED
                                                     : TBSTATE_PRESSED;
      return (buttons_[std::size_t(i)].B.fsState & bit) ? 1 : 0;
    }
    case TB_GETSTATE: {
      int i = IndexOf(int(w));
      return Valid(i) ? buttons_[std::size_t(i)].B.fsState : -1;
    }
    case TB_SETSTATE: {
      int i = IndexOf(int(w));
      if (!Valid(i)) return 0;
      buttons_[std::size_t(i)].B.fsState = std::uint8_t(LOWORD(l));
      Layout();
      InvalidateRect(h_, nullptr, true);
      return 1;
    }
    case TB_SETBUTTONSIZE:
      forcedButton_ = {std::clamp(int(LOWORD(l)), 0, 512), std::clamp(int(HIWORD(l)), 0, 512)};
      AutoSize();
      return 1;
    case TB_SETBITMAPSIZE:
      bitmap_ = {std::clamp(int(LOWORD(l)), 1, 256), std::clamp(int(HIWORD(l)), 1, 256)};
      AutoSize();
      return 1;
    case TB_GETBUTTONSIZE: {
      TSize s = ButtonSize();
      return MAKELONG(s.cx, s.cy);
    }
    case TB_AUTOSIZE:
      AutoSize();
      return 0;
    case TB_GETTOOLTIPS:
      return LRESULT(reinterpret_cast<std::uintptr_t>(tips_));
    case TB_SETTOOLTIPS:
      tips_ = reinterpret_cast<HWND>(w);
      SyncTools();
      return 0;
    case TB_HITTEST: {
      auto* p = reinterpret_cast<const TPoint*>(l);
      if (!p) return -1;
      for (int i = 0; i < Count(); ++i)
        if (buttons_[std::size_t(i)].Rect.Contains(*p))
          return buttons_[std::size_t(i)].Sep() ? -i - 1 : i;
      return -1 - Count();
    }
    case TB_GETHOTITEM:
      return hot_;
  }
  return DefWindowProc(h_, msg, w, l);
}

LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return ctl::DispatchToObject<TToolbar>(h, msg, w, l);
}

}  // namespace

void RegisterToolbarClass() {
  ctl::RegisterControlClass(WC_TOOLBAR, &Proc, CS_DBLCLKS, clNone);
}

}  // namespace vm
