// The "msctls_statusbar32" control: a strip of parts along the bottom of its
// parent, each with a text (left, and after tabs centred and right-aligned)
// in a thin sunken, raised or no frame, or drawn by the parent
// (SBT_OWNERDRAW, WM_DRAWITEM); a simple mode that shows one text of its own
// over the whole bar; a size grip in the bottom-right corner that resizes the
// top-level window when dragged.
//
// Docking: unless CCS_NORESIZE is set, the bar takes the height its font
// needs and, on WM_SIZE (which the parent passes on from its own), moves to
// the bottom (CCS_TOP: the top) of the parent's client area at full width.
// Child windows placed on the bar paint above it; the bar only paints its
// own client area.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"

namespace vm {

namespace {

using namespace ctl;

constexpr int HorzBorder = 0;  // left of the first part
constexpr int VertBorder = 2;  // above the parts
constexpr int Gap = 2;         // between two parts
// Frame (1) and padding (1) above and below a part's text.
constexpr int TextMargin = 2;
constexpr std::size_t MaxText = 0xFFFF;  // lengths travel in a 16-bit word

struct TPart {
  int Right = -1;  // as SB_SETPARTS gave it; -1 reaches the right edge
  std::string Text;
  WPARAM Flags = 0;  // SBT_*
  LPARAM Data = 0;   // SBT_OWNERDRAW: what the parent gets back as itemData
};

// Cuts a text to what a 16-bit length can say, at a character boundary, and
// turns the control characters in it into spaces (tabs stay: they place the
// centred and right-aligned texts), as the platform keeps them.
std::string Capped(const char* s) {
  if (!s) return {};
  std::string t;
  for (std::size_t i = 0; s[i]; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const auto next = static_cast<unsigned char>(s[i + 1]);
    if ((c < 0x20 && c != '\t') || c == 0x7F) {
      t += ' ';
    } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080..U+009F
      t += ' ';
      ++i;
    } else {
      t += char(c);
    }
  }
  if (t.size() > MaxText) {
    std::size_t n = MaxText;
    while (n > 0 && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
    t.resize(n);
  }
  return t;
}

class TStatusBar {
 public:
  explicit TStatusBar(HWND h) : h_(h) { parts_.resize(1); }
  LRESULT Proc(UINT msg, WPARAM w, LPARAM l);
  int Depth = 0;
  bool Dead = false;

 private:
  DWORD Style() const { return DWORD(GetWindowLongPtr(h_, GWL_STYLE)); }
  std::shared_ptr<const TFont> Font() const;
  TRect Client() const {
    TRect c;
    GetClientRect(h_, &c);
    return c;
  }
  // The part rectangles for the bar's present width.
  TRect PartRect(int i) const;
  TRect SimpleRect() const;
  bool GripShown() const;
  TRect GripRect() const;
  int IdealHeight() const;
  // Puts the bar where its CCS_* style wants it.
  void Dock();
  void InvalidatePart(int index);
  TPart& TextPart() { return simple_ ? simpleText_ : parts_[0]; }
  LRESULT SetText(int index, WPARAM flags, LPARAM l);
  LRESULT CopyOut(const TPart& p, char* buf) const;
  void Paint(HDC dc);
  void DrawPart(HDC dc, const TPart& p, TRect r, int index);
  // NM_CLICK and friends for a button event at a client point.
  void MouseNotify(UINT code, LPARAM l);

  HWND h_;
  std::vector<TPart> parts_;
  TPart simpleText_;
  bool simple_ = false;
  HFONT font_ = nullptr;
  TColor back_ = CLR_NONE;  // the button face
  int minHeight_ = 0;
  bool docking_ = false;
};

std::shared_ptr<const TFont> TStatusBar::Font() const {
  if (font_)
    if (auto f = GetFontObject(font_)) return f;
  if (auto f = GetFontObject(GetStockFont(DEFAULT_GUI_FONT))) return f;
  return TFont::Default();
}

TRect TStatusBar::PartRect(int i) const {
  TRect c = Client();
  int left = HorzBorder;
  TRect r;
  for (int k = 0; k <= i; ++k) {
    int right = parts_[std::size_t(k)].Right;
    if (right < 0 || right > c.Right) right = c.Right;
    right = std::max(right, left);
    r = {left, VertBorder, right, std::max(c.Bottom, VertBorder)};
    left = right + Gap;
  }
  return r;
}

TRect TStatusBar::SimpleRect() const {
  TRect c = Client();
  return {HorzBorder, VertBorder, std::max(c.Right, HorzBorder), std::max(c.Bottom, VertBorder)};
}

bool TStatusBar::GripShown() const {
  if (!(Style() & SBARS_SIZEGRIP)) return false;
  // Only a window that can be resized, and not while it fills the screen.
  HWND root = GetAncestor(h_, GA_ROOT);
  if (!root || root == h_) return false;
  return (GetWindowLongPtr(root, GWL_STYLE) & WS_THICKFRAME) && !IsZoomed(root);
}

TRect TStatusBar::GripRect() const {
  TRect c = Client();
  int size = GetSystemMetrics(SM_CXVSCROLL);
  return {std::max(0, c.Right - size), std::min(VertBorder, c.Bottom), c.Right, c.Bottom};
}

int TStatusBar::IdealHeight() const {
  // SB_SETMINHEIGHT's height is the parts' own (their frame included); the
  // border above them comes on top, as on the platform.
  int text = Font()->Metrics().Height;
  return VertBorder + std::max(text + 2 * TextMargin, minHeight_);
}

void TStatusBar::MouseNotify(UINT code, LPARAM l) {
  NMMOUSE nm;
  nm.pt = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  nm.dwItemSpec = UINT_PTR(-1);
  if (simple_) {
    nm.dwItemSpec = SB_SIMPLEID;
  } else {
    for (int i = 0; i < int(parts_.size()); ++i)
      if (PartRect(i).Contains(nm.pt)) {
        nm.dwItemSpec = UINT_PTR(i);
        break;
      }
  }
  NotifyParent(h_, &nm.hdr, code);
}

void TStatusBar::Dock() {
  DWORD style = Style();
  if (style & CCS_NORESIZE) return;
  HWND parent = GetParent(h_);
  TRect wr;
  GetWindowRect(h_, &wr);
  TRect cr = Client();
  int height = IdealHeight() + (wr.Height() - cr.Height());  // borders of the window itself
  if ((style & CCS_NOPARENTALIGN) || !parent) {
    SetWindowPos(h_, nullptr, 0, 0, wr.Width(), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  TRect pc;
  GetClientRect(parent, &pc);
  bool top = (style & CCS_BOTTOM) == CCS_TOP;
  int y = top ? 0 : pc.Bottom - height;
  if (style & CCS_NOMOVEY) {
    TPoint o{wr.Left, wr.Top};
    ScreenToClient(parent, &o);
    y = o.Y;
  }
  SetWindowPos(h_, nullptr, 0, y, pc.Width(), height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TStatusBar::InvalidatePart(int index) {
  TRect r = index == int(SB_SIMPLEID) ? SimpleRect() : PartRect(index);
  InvalidateRect(h_, &r, true);
}

LRESULT TStatusBar::SetText(int index, WPARAM flags, LPARAM l) {
  bool simpleText = index == int(SB_SIMPLEID);
  if (!simpleText && (index < 0 || index >= int(parts_.size()))) return 0;
  TPart& p = simpleText ? simpleText_ : parts_[std::size_t(index)];
  p.Flags = flags & 0xFF00;
  if (p.Flags & SBT_OWNERDRAW) {
    p.Data = l;
    p.Text.clear();
  } else {
    p.Data = 0;
    p.Text = Capped(reinterpret_cast<const char*>(l));
  }
  // Only what is on show needs painting again; it is painted now, so the
  // owner of an owner-drawn part draws it before SB_SETTEXT returns.
  if (simpleText == simple_) {
    InvalidatePart(index);
    UpdateWindow(h_);
  }
  return 1;
}

LRESULT TStatusBar::CopyOut(const TPart& p, char* buf) const {
  if (p.Flags & SBT_OWNERDRAW) return p.Data;
  if (buf) {
    std::memcpy(buf, p.Text.data(), p.Text.size());
    buf[p.Text.size()] = '\0';
  }
  return MAKELONG(int(p.Text.size()), int(p.Flags));
}

// ---------------------------------------------------------------- painting

void TStatusBar::DrawPart(HDC dc, const TPart& p, TRect r, int index) {
  if (r.IsEmpty()) return;
  if (!(p.Flags & SBT_NOBORDERS)) {
    TRect edge = r;
    DrawEdge(dc, &edge, (p.Flags & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
  }
  TRect inside{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  if (inside.IsEmpty()) return;
  if (p.Flags & SBT_OWNERDRAW) {
    HWND parent = GetParent(h_);
    if (!parent) return;
    DRAWITEMSTRUCT dis;
    dis.CtlID = UINT(GetDlgCtrlID(h_));
    dis.itemID = UINT(index);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = IsWindowEnabled(h_) ? 0 : ODS_DISABLED;
    dis.hwndItem = h_;
    dis.hDC = dc;
    dis.rcItem = inside;
    dis.itemData = std::uintptr_t(p.Data);
    // The owner paints within the part, whatever it tries.
    TDCSaver save(*dc);
    dc->IntersectClipRect(inside);
    SendMessage(parent, WM_DRAWITEM, WPARAM(dis.CtlID),
                LPARAM(reinterpret_cast<std::uintptr_t>(&dis)));
    return;
  }
  if (p.Text.empty()) return;
  // Text, then after a tab centred text, then after a second tab right-aligned text.
  std::string_view segments[3];
  if (p.Flags & SBT_NOTABPARSING) {
    segments[0] = p.Text;
  } else {
    std::string_view rest = p.Text;
    for (int k = 0; k < 3; ++k) {
      std::size_t tab = k < 2 ? rest.find('\t') : std::string_view::npos;
      segments[k] = rest.substr(0, tab);
      if (tab == std::string_view::npos) break;
      rest.remove_prefix(tab + 1);
    }
  }
  TRect tr{inside.Left + 2, inside.Top, inside.Right - 2, inside.Bottom};
  if (tr.IsEmpty()) return;
  TDCSaver save(*dc);
  dc->IntersectClipRect(inside);
  bool enabled = IsWindowEnabled(h_);
  const std::uint32_t align[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  for (int k = 0; k < 3; ++k) {
    if (segments[k].empty()) continue;
    std::uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | align[k];
    if (p.Flags & SBT_RTLREADING) flags |= DT_RTLREADING;
    if (k == 0) flags |= DT_END_ELLIPSIS;
    if (enabled) {
      dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
      dc->DrawText(segments[k], tr, flags);
    } else {
      GrayText(*dc, segments[k], tr, flags);
    }
  }
}

void TStatusBar::Paint(HDC dc) {
  TRect c = Client();
  dc->FillRect(c, back_ == CLR_NONE ? GetSysColor(COLOR_BTNFACE) : back_);
  dc->SelectFont(Font());
  dc->SetBkMode(TRANSPARENT);
  bool grip = GripShown();
  TRect g = grip ? GripRect() : TRect{};
  // Parts stop short of the grip.
  auto clipped = [&](TRect r) {
    if (grip && r.Right > g.Left) r.Right = std::max(r.Left, g.Left);
    return r;
  };
  if (simple_) {
    DrawPart(dc, simpleText_, clipped(SimpleRect()), int(SB_SIMPLEID));
  } else {
    TRect box = dc->ClipBox();
    for (int i = 0; i < int(parts_.size()); ++i) {
      TRect r = clipped(PartRect(i));
      if (!r.Intersect(box).IsEmpty()) DrawPart(dc, parts_[std::size_t(i)], r, i);
    }
  }
  if (grip) DrawFrameControl(dc, &g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

// ---------------------------------------------------------------- messages

LRESULT TStatusBar::Proc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<const CREATESTRUCT*>(l);
      if (cs && cs->lpszName) parts_[0].Text = Capped(cs->lpszName);
      docking_ = true;
      Dock();
      docking_ = false;
      return 0;
    }
    case WM_SIZE:
      // From the parent (it passes its own on) or from our own move: dock
      // again, once, and lay the parts out for the new width.
      if (!docking_) {
        docking_ = true;
        Dock();
        docking_ = false;
      }
      InvalidateRect(h_, nullptr, true);
      return 0;
    case WM_PAINT: {
      TPaintDC paint(h_);
      if (HDC dc = paint.Dc()) Paint(dc);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (w) Paint(reinterpret_cast<HDC>(w));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(w);
      if (!docking_) {
        docking_ = true;
        Dock();
        docking_ = false;
      }
      if (LOWORD(l)) InvalidateRect(h_, nullptr, true);
      return 0;
    case WM_GETFONT:
      return LRESULT(reinterpret_cast<std::uintptr_t>(font_));
    case WM_SETTEXT:
      SetText(simple_ ? int(SB_SIMPLEID) : 0, 0, l);
      DefWindowProc(h_, msg, w, l);
      return 1;
    case WM_GETTEXT: {
      const TPart& p = TextPart();
      auto* buf = reinterpret_cast<char*>(l);
      if (!buf || w == 0 || (p.Flags & SBT_OWNERDRAW)) return 0;
      std::size_t n = std::min(p.Text.size(), std::size_t(w) - 1);
      if (n < p.Text.size())
        while (n > 0 && (static_cast<unsigned char>(p.Text[n]) & 0xC0) == 0x80) --n;
      std::memcpy(buf, p.Text.data(), n);
      buf[n] = '\0';
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: {
      const TPart& p = TextPart();
      return (p.Flags & SBT_OWNERDRAW) ? 0 : LRESULT(p.Text.size());
    }
    case WM_NCHITTEST:
      // The grip takes the bar's whole height and one pixel more than its
      // picture's width, as on the platform.
      if (GripShown()) {
        TPoint p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        ScreenToClient(h_, &p);
        if (p.X >= Client().Right - GetSystemMetrics(SM_CXVSCROLL) - 1) return HTBOTTOMRIGHT;
      }
      break;
    case WM_LBUTTONUP:
      MouseNotify(NM_CLICK, l);
      return 0;
    case WM_LBUTTONDBLCLK:
      MouseNotify(NM_DBLCLK, l);
      return 0;
    case WM_RBUTTONUP:
      MouseNotify(NM_RCLICK, l);
      if (Dead) return 0;
      break;  // a right click still becomes WM_CONTEXTMENU
    case WM_RBUTTONDBLCLK:
      MouseNotify(NM_RDBLCLK, l);
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(w) == h_ && LRESULT(std::int16_t(LOWORD(l))) == HTBOTTOMRIGHT) {
        SetCursor(LoadCursor(nullptr, IDC_SIZENWSE));
        return 1;
      }
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      // The grip drags the bottom-right corner of the top-level window.
      if (w == WPARAM(HTBOTTOMRIGHT) && GripShown()) {
        HWND root = GetAncestor(h_, GA_ROOT);
        if (root && root != h_) SendMessage(root, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, l);
        return 0;
      }
      break;

    case SB_SETPARTS: {
      const int* rights = reinterpret_cast<const int*>(l);
      int n = int(w);
      if (!rights || n <= 0 || n > SB_MAXPARTS) return 0;
      parts_.resize(std::size_t(n));
      for (int i = 0; i < n; ++i) parts_[std::size_t(i)].Right = rights[i] < 0 ? -1 : rights[i];
      if (!simple_) InvalidateRect(h_, nullptr, true);
      return 1;
    }
    case SB_GETPARTS: {
      int* rights = reinterpret_cast<int*>(l);
      if (rights)
        for (int i = 0; i < std::min(int(w), int(parts_.size())); ++i)
          rights[i] = parts_[std::size_t(i)].Right;
      return LRESULT(parts_.size());
    }
    case SB_SETTEXT:
      return SetText(int(w & 0xFF), w, l);
    case SB_GETTEXT:
    case SB_GETTEXTLENGTH: {
      int index = int(w & 0xFF);
      if (index != int(SB_SIMPLEID) && index >= int(parts_.size())) return 0;
      const TPart& p = index == int(SB_SIMPLEID) ? simpleText_ : parts_[std::size_t(index)];
      if (msg == SB_GETTEXTLENGTH)
        return (p.Flags & SBT_OWNERDRAW) ? MAKELONG(0, int(p.Flags))
                                         : MAKELONG(int(p.Text.size()), int(p.Flags));
      return CopyOut(p, reinterpret_cast<char*>(l));
    }
    case SB_GETRECT: {
      auto* r = reinterpret_cast<TRect*>(l);
      int index = int(w);
      if (!r) return 0;
      if (simple_ || index == int(SB_SIMPLEID)) {
        *r = SimpleRect();
        return 1;
      }
      if (index < 0 || index >= int(parts_.size())) return 0;
      *r = PartRect(index);
      return 1;
    }
    case SB_GETBORDERS: {
      auto* b = reinterpret_cast<int*>(l);
      if (!b) return 0;
      b[0] = HorzBorder;
      b[1] = VertBorder;
      b[2] = Gap;
      return 1;
    }
    case SB_SETMINHEIGHT:
      minHeight_ = std::clamp(int(w), 0, 4096);
      // Takes effect at the next WM_SIZE, as callers send one after this.
      return 1;
    case SB_SIMPLE: {
      bool simple = w != 0;
      if (simple == simple_) return 0;
      simple_ = simple;
      InvalidateRect(h_, nullptr, true);
      NMHDR n;
      NotifyParent(h_, &n, SBN_SIMPLEMODECHANGE);
      return 0;
    }
    case SB_ISSIMPLE:
      return simple_ ? 1 : 0;
    case SB_SETBKCOLOR: {
      TColor before = back_ == CLR_NONE ? CLR_DEFAULT : back_;
      TColor c = TColor(l);
      back_ = (c == CLR_DEFAULT || c == CLR_NONE) ? CLR_NONE : c;
      InvalidateRect(h_, nullptr, true);
      return LRESULT(before);
    }
  }
  return DefWindowProc(h_, msg, w, l);
}

LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return ctl::DispatchToObject<TStatusBar>(h, msg, w, l);
}

}  // namespace

void RegisterStatusBarClass() {
  ctl::RegisterControlClass(STATUSCLASSNAME, &Proc, CS_DBLCLKS, clNone);
}

}  // namespace vm
