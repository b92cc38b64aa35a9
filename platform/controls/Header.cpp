// The "SysHeader32" control: a row of column buttons with captions. A click
// on a button tells the parent (HDN_ITEMCLICK), dragging the line between two
// buttons changes a column's width (HDN_BEGINTRACK, HDN_TRACK, HDN_ENDTRACK,
// HDN_ITEMCHANGED). The list view shows its columns with one.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"
#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/SysColors.h"

namespace vm {

namespace {

// Within this distance of a divider the pointer takes the divider.
constexpr int DividerGrip = 4;

struct TColumn {
  std::string Text;
  int Width = 50;
  int Format = HDF_LEFT | HDF_STRING;
  LPARAM Param = 0;
};

class THeader {
 public:
  explicit THeader(HWND h) : h_(h) {}
  LRESULT Proc(UINT msg, WPARAM w, LPARAM l);
  int Depth = 0;
  bool Dead = false;

 private:
  int Count() const { return int(cols_.size()); }
  TRect ItemRect(int i) const;
  int ItemAt(int x) const;
  int DividerAt(int x) const;  // the column whose right edge is under x, -1 when none
  LRESULT Notify(UINT code, int item, HDITEM* item_ = nullptr);
  void Paint();
  std::shared_ptr<const TFont> Font() const;

  HWND h_;
  std::vector<TColumn> cols_;
  HFONT font_ = nullptr;
  int pressed_ = -1;  // the button held down
  bool pressedShown_ = false;
  int tracking_ = -1;  // the column being resized
  int trackStart_ = 0;
  int trackWidth_ = 0;
};

std::shared_ptr<const TFont> THeader::Font() const {
  if (font_)
    if (auto f = GetFontObject(font_)) return f;
  return TFont::Default();
}

TRect THeader::ItemRect(int i) const {
  TRect c;
  GetClientRect(h_, &c);
  int x = 0;
  for (int k = 0; k < i; ++k) x += cols_[std::size_t(k)].Width;
  return {x, 0, x + cols_[std::size_t(i)].Width, c.Bottom};
}

int THeader::ItemAt(int x) const {
  int left = 0;
  for (int k = 0; k < Count(); ++k) {
    int right = left + cols_[std::size_t(k)].Width;
    if (x >= left && x < right) return k;
    left = right;
  }
  return -1;
}

int THeader::DividerAt(int x) const {
  int right = 0, found = -1;
  for (int k = 0; k < Count(); ++k) {
    right += cols_[std::size_t(k)].Width;
    // Of two dividers close together the later one wins, so a column of
    // width 0 can still be pulled open.
    if (std::abs(x - right) <= DividerGrip) found = k;
  }
  return found;
}

LRESULT THeader::Notify(UINT code, int item, HDITEM* hdi) {
  NMHEADER nm;
  nm.iItem = item;
  nm.iButton = 0;
  nm.pitem = hdi;
  return ctl::NotifyParent(h_, &nm.hdr, code);
}

void THeader::Paint() {
  TPaintDC paint(h_);
  HDC dc = paint.Dc();
  if (!dc) return;
  TRect c;
  GetClientRect(h_, &c);
  dc->SelectFont(Font());
  dc->SetBkMode(TRANSPARENT);
  int x = 0;
  for (int k = 0; k < Count(); ++k) {
    const TColumn& col = cols_[std::size_t(k)];
    TRect r{x, 0, x + col.Width, c.Bottom};
    x = r.Right;
    if (r.IsEmpty()) continue;
    bool down = k == pressed_ && pressedShown_;
    TRect b = r;
    if (down) {
      dc->FillRect(b, GetSysColor(COLOR_BTNFACE));
      dc->FrameRect(b, GetSysColor(COLOR_BTNSHADOW));
    } else {
      DrawEdge(dc, &b, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    TRect t{r.Left + 6 + (down ? 1 : 0), r.Top + (down ? 1 : 0), r.Right - 6, r.Bottom};
    std::uint32_t align = (col.Format & HDF_JUSTIFYMASK) == HDF_RIGHT    ? DT_RIGHT
                          : (col.Format & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER
                                                                         : DT_LEFT;
    dc->SetTextColor(GetSysColor(IsWindowEnabled(h_) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    TDCSaver save(*dc);
    dc->IntersectClipRect({r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2});
    dc->DrawText(col.Text, t, align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  // Past the last column the header goes on as one empty button.
  if (x < c.Right) {
    TRect rest{x, 0, c.Right, c.Bottom};
    DrawEdge(dc, &rest, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
}

LRESULT THeader::Proc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(w);
      if (LOWORD(l)) InvalidateRect(h_, nullptr, true);
      return 0;
    case WM_GETFONT:
      return LRESULT(reinterpret_cast<std::uintptr_t>(font_));
    case WM_SETCURSOR:
      if (LOWORD(l) == HTCLIENT) {
        TPoint p;
        GetCursorPos(&p);
        ScreenToClient(h_, &p);
        if (tracking_ >= 0 || DividerAt(p.X) >= 0) {
          SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
          return 1;
        }
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      int x = GET_X_LPARAM(l);
      int d = DividerAt(x);
      if (d >= 0) {
        if (msg == WM_LBUTTONDBLCLK) {
          Notify(HDN_DIVIDERDBLCLICK, d);
          return 0;
        }
        HDITEM hdi;
        hdi.mask = HDI_WIDTH;
        hdi.cxy = cols_[std::size_t(d)].Width;
        if (Notify(HDN_BEGINTRACK, d, &hdi)) return 0;  // the parent refused
        if (!IsWindow(h_)) return 0;
        tracking_ = d;
        trackStart_ = x;
        trackWidth_ = cols_[std::size_t(d)].Width;
        SetCapture(h_);
        return 0;
      }
      int i = ItemAt(x);
      if (i < 0 || !(GetWindowLongPtr(h_, GWL_STYLE) & HDS_BUTTONS)) return 0;
      pressed_ = i;
      pressedShown_ = true;
      SetCapture(h_);
      TRect r = ItemRect(i);
      InvalidateRect(h_, &r, false);
      return 0;
    }
    case WM_MOUSEMOVE: {
      int x = GET_X_LPARAM(l);
      if (tracking_ >= 0 && tracking_ < Count()) {
        int width = std::max(trackWidth_ + x - trackStart_, 0);
        HDITEM hdi;
        hdi.mask = HDI_WIDTH;
        hdi.cxy = width;
        if (Notify(HDN_TRACK, tracking_, &hdi) || !IsWindow(h_) || tracking_ >= Count()) return 0;
        if (cols_[std::size_t(tracking_)].Width != width) {
          cols_[std::size_t(tracking_)].Width = width;
          InvalidateRect(h_, nullptr, false);
          // Every move resizes at once: the list follows while the button is held.
          Notify(HDN_ITEMCHANGED, tracking_, &hdi);
        }
        return 0;
      }
      if (pressed_ >= 0) {
        bool over = ItemRect(pressed_).Contains({x, GET_Y_LPARAM(l)});
        if (over != pressedShown_) {
          pressedShown_ = over;
          TRect r = ItemRect(pressed_);
          InvalidateRect(h_, &r, false);
        }
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      if (tracking_ >= 0) {
        int col = tracking_;
        tracking_ = -1;
        ReleaseCapture();
        if (col < Count()) {
          HDITEM hdi;
          hdi.mask = HDI_WIDTH;
          hdi.cxy = cols_[std::size_t(col)].Width;
          Notify(HDN_ENDTRACK, col, &hdi);
        }
        return 0;
      }
      if (pressed_ >= 0) {
        int i = pressed_;
        bool click = pressedShown_;
        pressed_ = -1;
        pressedShown_ = false;
        ReleaseCapture();
        InvalidateRect(h_, nullptr, false);
        if (click) Notify(HDN_ITEMCLICK, i);
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(l) != h_) {
        tracking_ = -1;
        if (pressed_ >= 0) InvalidateRect(h_, nullptr, false);
        pressed_ = -1;
      }
      return 0;

    case HDM_GETITEMCOUNT:
      return Count();
    case HDM_INSERTITEM: {
      auto* hdi = reinterpret_cast<const HDITEM*>(l);
      if (!hdi) return -1;
      int at = std::clamp(int(w), 0, Count());
      TColumn col;
      if (hdi->mask & HDI_TEXT) col.Text = hdi->pszText ? hdi->pszText : "";
      if (hdi->mask & HDI_WIDTH) col.Width = std::max(hdi->cxy, 0);
      if (hdi->mask & HDI_FORMAT) col.Format = hdi->fmt;
      if (hdi->mask & HDI_LPARAM) col.Param = hdi->lParam;
      cols_.insert(cols_.begin() + at, std::move(col));
      InvalidateRect(h_, nullptr, false);
      return at;
    }
    case HDM_DELETEITEM:
      if (int(w) < 0 || int(w) >= Count()) return 0;
      cols_.erase(cols_.begin() + int(w));
      InvalidateRect(h_, nullptr, false);
      return 1;
    case HDM_GETITEM: {
      auto* hdi = reinterpret_cast<HDITEM*>(l);
      if (!hdi || int(w) < 0 || int(w) >= Count()) return 0;
      const TColumn& col = cols_[w];
      if (hdi->mask & HDI_WIDTH) hdi->cxy = col.Width;
      if (hdi->mask & HDI_FORMAT) hdi->fmt = col.Format;
      if (hdi->mask & HDI_LPARAM) hdi->lParam = col.Param;
      if ((hdi->mask & HDI_TEXT) && hdi->pszText && hdi->cchTextMax > 0) {
        std::size_t n = std::min(col.Text.size(), std::size_t(hdi->cchTextMax - 1));
        std::memcpy(hdi->pszText, col.Text.data(), n);
        hdi->pszText[n] = '\0';
      }
      return 1;
    }
    case HDM_SETITEM: {
      auto* hdi = reinterpret_cast<const HDITEM*>(l);
      if (!hdi || int(w) < 0 || int(w) >= Count()) return 0;
      TColumn& col = cols_[w];
      if (hdi->mask & HDI_TEXT) col.Text = hdi->pszText ? hdi->pszText : "";
      if (hdi->mask & HDI_WIDTH) col.Width = std::max(hdi->cxy, 0);
      if (hdi->mask & HDI_FORMAT) col.Format = hdi->fmt;
      if (hdi->mask & HDI_LPARAM) col.Param = hdi->lParam;
      InvalidateRect(h_, nullptr, false);
      return 1;
    }
    case HDM_GETITEMRECT: {
      auto* r = reinterpret_cast<TRect*>(l);
      if (!r || int(w) < 0 || int(w) >= Count()) return 0;
      *r = ItemRect(int(w));
      return 1;
    }
    case HDM_LAYOUT: {
      auto* lay = reinterpret_cast<HDLAYOUT*>(l);
      if (!lay || !lay->prc) return 0;
      int height =
          (GetWindowLongPtr(h_, GWL_STYLE) & HDS_HIDDEN) ? 0 : Font()->Metrics().Height + 6;
      TRect& r = *lay->prc;
      if (lay->pwpos) {
        lay->pwpos->hwnd = h_;
        lay->pwpos->x = r.Left;
        lay->pwpos->y = r.Top;
        lay->pwpos->cx = r.Width();
        lay->pwpos->cy = height;
      }
      r.Top += height;
      return 1;
    }
  }
  return DefWindowProc(h_, msg, w, l);
}

LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return ctl::DispatchToObject<THeader>(h, msg, w, l);
}

}  // namespace

void RegisterHeaderClass() {
  ctl::RegisterControlClass(WC_HEADER, &Proc, CS_DBLCLKS, clNone);
}

}  // namespace vm
