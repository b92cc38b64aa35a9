// The "SysListView32" control: items with a small icon and a label, shown as
// a report (rows under a "SysHeader32" of columns with sub-item texts), a
// list (columns filled top to bottom) or small icons (rows filled left to
// right). Single or multiple selection by mouse and keyboard, reported
// through WM_NOTIFY; scrolled by its own bars and the wheel. Only what is in
// view is measured and painted, so thousands of items cost nothing extra.
#include <algorithm>
#include <cstring>
#include <memory>
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

constexpr int HeaderId = 0;

struct TItem {
  std::vector<std::string> Texts;  // label, then sub-items
  int Image = -1;
  LPARAM Param = 0;
  UINT State = 0;
  int LabelWidth = -1;  // measured on first need
};

struct TCol {
  int Width = 50;
  int Format = LVCFMT_LEFT;
  int SubItem = 0;
};

class TListView {
 public:
  explicit TListView(HWND h) : h_(h) {}
  LRESULT Proc(UINT msg, WPARAM w, LPARAM l);
  int Depth = 0;
  bool Dead = false;

 private:
  DWORD Style() const { return DWORD(GetWindowLongPtr(h_, GWL_STYLE)); }
  DWORD View() const { return Style() & LVS_TYPEMASK; }
  bool Report() const { return View() == LVS_REPORT; }
  bool ListMode() const { return View() == LVS_LIST; }
  bool Single() const { return (Style() & LVS_SINGLESEL) != 0; }
  int Count() const { return int(items_.size()); }
  bool Valid(int i) const { return i >= 0 && i < Count(); }

  // ---- geometry ----
  std::shared_ptr<const TFont> Font() const;
  int IconW() const { return small_ ? small_->Width() : 0; }
  int IconH() const { return small_ ? small_->Height() : 0; }
  int RowH() const { return std::max(Font()->Metrics().Height + 4, IconH() + 2); }
  int LabelWidth(int i);
  int CellW();         // list and small-icon cells
  TRect Area() const;  // the client below the header
  int PerColumn() const { return std::max(1, Area().Height() / RowH()); }  // list mode
  int PerRow();                                                            // small icons
  int FullRows() const { return std::max(1, Area().Height() / RowH()); }
  int TotalColumnsWidth() const;
  TRect ItemBounds(int i);  // client coordinates
  TRect LabelRect(int i);
  int ItemAt(TPoint p);
  void EnsureVisible(int i);
  void UpdateScrollBars();
  void LayoutHeader();
  void SetTopRow(int row);
  void SetScrollX(int x);

  // ---- state ----
  bool SetState(int i, UINT state, UINT mask);  // with the notifications; false when refused
  void SelectOnly(int i);
  void SelectRange(int a, int b, bool keepOthers);
  void Focus(int i);
  void RedrawItem(int i);
  LRESULT NotifyItem(UINT code, int i, UINT newState, UINT oldState, UINT changed, TPoint pt = {});
  LRESULT NotifySimple(UINT code);

  // ---- items ----
  int Insert(const LVITEM& it);
  bool Delete(int i);
  void DeleteAll();
  bool SetItem(const LVITEM& it);
  bool GetItem(LVITEM* it) const;

  void Paint();
  void LButtonDown(LPARAM l, bool dbl);
  void KeyDown(WPARAM vk);
  void Char(WPARAM ch);
  void Scroll(bool vertical, int code);

  HWND h_;
  HWND header_ = nullptr;
  std::vector<TItem> items_;
  std::vector<TCol> cols_;
  HIMAGELIST small_ = nullptr;
  HIMAGELIST normal_ = nullptr;
  HFONT font_ = nullptr;
  TColor back_ = 0xFF000000u | COLOR_WINDOW;
  DWORD exStyle_ = 0;
  int topRow_ = 0;   // report and small icons: first row shown
  int scrollX_ = 0;  // report: pixels; list: columns
  int focus_ = -1;
  int mark_ = -1;     // selection mark (the anchor of Shift ranges)
  int cellW_ = -1;    // list and small-icon cell width, -1 until measured
  int listColW_ = 0;  // LVM_SETCOLUMNWIDTH in list mode (0: measured)
  bool focused_ = false;
  bool updatingBars_ = false;
  int wheelRest_ = 0;
};

// ---------------------------------------------------------------- geometry

std::shared_ptr<const TFont> TListView::Font() const {
  if (font_)
    if (auto f = GetFontObject(font_)) return f;
  return TFont::Default();
}

int TextWidthOf(const TFont& font, const std::string& t) {
  std::u32string u;
  for (std::size_t k = 0; k < t.size();) u.push_back(ctl::DecodeAt(t, k));
  return font.TextWidth(u);
}

int TListView::LabelWidth(int i) {
  TItem& it = items_[std::size_t(i)];
  if (it.LabelWidth < 0) it.LabelWidth = it.Texts.empty() ? 0 : TextWidthOf(*Font(), it.Texts[0]);
  return it.LabelWidth;
}

int TListView::CellW() {
  if (listColW_ > 0 && ListMode()) return listColW_;
  if (cellW_ < 0) {
    int widest = 0;
    for (int i = 0; i < Count(); ++i) widest = std::max(widest, LabelWidth(i));
    cellW_ = std::min(widest, 400) + IconW() + 14;
  }
  return cellW_;
}

TRect TListView::Area() const {
  TRect c;
  GetClientRect(h_, &c);
  if (header_ && IsWindowVisible(header_)) {
    TRect hr;
    GetWindowRect(header_, &hr);
    c.Top = std::min(c.Bottom, hr.Height());
  }
  return c;
}

int TListView::PerRow() {
  return std::max(1, Area().Width() / std::max(CellW(), 1));
}

int TListView::TotalColumnsWidth() const {
  int w = 0;
  for (const TCol& c : cols_) w += c.Width;
  return w;
}

TRect TListView::ItemBounds(int i) {
  TRect a = Area();
  int rh = RowH();
  if (Report()) {
    int y = a.Top + (i - topRow_) * rh;
    int width = std::max(TotalColumnsWidth(), cols_.empty() ? a.Width() : 0);
    return {-scrollX_, y, -scrollX_ + width, y + rh};
  }
  int cw = CellW();
  if (ListMode()) {
    int per = PerColumn();
    int col = i / per - scrollX_, row = i % per;
    return Bounds(col * cw, a.Top + row * rh, cw, rh);
  }
  int per = PerRow();
  int row = i / per - topRow_, col = i % per;
  return Bounds(col * cw, a.Top + row * rh, cw, rh);
}

TRect TListView::LabelRect(int i) {
  TRect b = ItemBounds(i);
  int left = b.Left + 2 + (IconW() ? IconW() + 2 : 0);
  int right = Report() && !cols_.empty() ? b.Left + cols_[0].Width : b.Right;
  if (!Report() || !(exStyle_ & LVS_EX_FULLROWSELECT))
    right = std::min(right, left + LabelWidth(i) + 4);
  return {left, b.Top, std::max(right, left), b.Bottom};
}

int TListView::ItemAt(TPoint p) {
  TRect a = Area();
  if (!a.Contains(p) || Count() == 0) return -1;
  int rh = RowH();
  int i;
  if (Report()) {
    i = topRow_ + (p.Y - a.Top) / rh;
    if (!Valid(i)) return -1;
    // Outside the first column's label only a full-row list takes the click.
    if (!(exStyle_ & LVS_EX_FULLROWSELECT)) {
      TRect lr = LabelRect(i);
      if (p.X >= lr.Right || p.X < ItemBounds(i).Left) return -1;
    }
    return i;
  }
  int cw = CellW();
  if (ListMode()) {
    int row = (p.Y - a.Top) / rh;
    if (row >= PerColumn()) return -1;
    i = (p.X / cw + scrollX_) * PerColumn() + row;
  } else {
    int col = p.X / cw;
    if (col >= PerRow()) return -1;
    i = ((p.Y - a.Top) / rh + topRow_) * PerRow() + col;
  }
  if (!Valid(i)) return -1;
  TRect lr = LabelRect(i);
  return p.X < lr.Right ? i : -1;
}

void TListView::SetTopRow(int row) {
  int rows = Report() ? Count() : View() == LVS_LIST ? 0 : (Count() + PerRow() - 1) / PerRow();
  row = std::clamp(row, 0, std::max(0, rows - FullRows()));
  if (row == topRow_) return;
  int dy = (topRow_ - row) * RowH();
  topRow_ = row;
  TRect a = Area();
  ScrollWindowEx(h_, 0, dy, &a, &a, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
  UpdateScrollBars();
}

void TListView::SetScrollX(int x) {
  int limit;
  if (Report())
    limit = std::max(0, TotalColumnsWidth() - Area().Width());
  else
    limit = std::max(0, (Count() + PerColumn() - 1) / PerColumn() - Area().Width() / CellW());
  x = std::clamp(x, 0, limit);
  if (x == scrollX_) return;
  int dx = Report() ? scrollX_ - x : (scrollX_ - x) * CellW();
  scrollX_ = x;
  TRect a = Area();
  ScrollWindowEx(h_, dx, 0, &a, &a, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
  LayoutHeader();
  UpdateScrollBars();
}

void TListView::EnsureVisible(int i) {
  if (!Valid(i)) return;
  if (Report()) {
    if (i < topRow_)
      SetTopRow(i);
    else if (i >= topRow_ + FullRows())
      SetTopRow(i - FullRows() + 1);
    return;
  }
  if (ListMode()) {
    int col = i / PerColumn();
    int shown = std::max(1, Area().Width() / CellW());
    if (col < scrollX_)
      SetScrollX(col);
    else if (col >= scrollX_ + shown)
      SetScrollX(col - shown + 1);
    return;
  }
  int row = i / PerRow();
  if (row < topRow_)
    SetTopRow(row);
  else if (row >= topRow_ + FullRows())
    SetTopRow(row - FullRows() + 1);
}

void TListView::LayoutHeader() {
  if (!header_) return;
  bool show = Report() && !(Style() & LVS_NOCOLUMNHEADER);
  TRect c;
  GetClientRect(h_, &c);
  if (!show) {
    if (IsWindowVisible(header_)) ShowWindow(header_, SW_HIDE);
    return;
  }
  TRect r{-scrollX_, 0, std::max(c.Right, TotalColumnsWidth() - scrollX_), c.Bottom};
  WINDOWPOS pos;
  HDLAYOUT lay{&r, &pos};
  SendMessage(header_, HDM_LAYOUT, 0, LPARAM(&lay));
  SetWindowPos(header_, nullptr, pos.x, pos.y, pos.cx, pos.cy,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TListView::UpdateScrollBars() {
  if (updatingBars_ || (Style() & LVS_NOSCROLL)) return;
  updatingBars_ = true;
  // Twice: one bar appearing may leave too little room and call for the other.
  for (int pass = 0; pass < 2; ++pass) {
    SCROLLINFO v, hz;
    v.fMask = hz.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (Report()) {
      v.nMax = std::max(Count() - 1, 0);
      v.nPage = UINT(FullRows());
      v.nPos = topRow_;
      hz.nMax = std::max(TotalColumnsWidth() - 1, 0);
      hz.nPage = UINT(std::max(Area().Width(), 1));
      hz.nPos = scrollX_;
    } else if (ListMode()) {
      int cols = (Count() + PerColumn() - 1) / PerColumn();
      v.nMax = 0;
      v.nPage = 1;
      hz.nMax = std::max(cols - 1, 0);
      hz.nPage = UINT(std::max(1, Area().Width() / std::max(CellW(), 1)));
      hz.nPos = scrollX_;
    } else {
      int rows = (Count() + PerRow() - 1) / PerRow();
      v.nMax = std::max(rows - 1, 0);
      v.nPage = UINT(FullRows());
      v.nPos = topRow_;
      hz.nMax = 0;
      hz.nPage = 1;
    }
    SetScrollInfo(h_, SB_VERT, &v, true);
    SetScrollInfo(h_, SB_HORZ, &hz, true);
  }
  updatingBars_ = false;
}

// ---------------------------------------------------------------- notifications and state

LRESULT TListView::NotifyItem(UINT code, int i, UINT newState, UINT oldState, UINT changed,
                              TPoint pt) {
  NMLISTVIEW nm;
  nm.iItem = i;
  nm.uNewState = newState;
  nm.uOldState = oldState;
  nm.uChanged = changed;
  nm.ptAction = pt;
  nm.lParam = Valid(i) ? items_[std::size_t(i)].Param : 0;
  return ctl::NotifyParent(h_, &nm.hdr, code);
}

LRESULT TListView::NotifySimple(UINT code) {
  NMHDR hdr;
  return ctl::NotifyParent(h_, &hdr, code);
}

void TListView::RedrawItem(int i) {
  if (!Valid(i)) return;
  TRect r = ItemBounds(i);
  if (Report()) {
    TRect c;
    GetClientRect(h_, &c);
    r.Left = 0;
    r.Right = c.Right;
  }
  InvalidateRect(h_, &r, true);
}

bool TListView::SetState(int i, UINT state, UINT mask) {
  if (!Valid(i)) return false;
  UINT old = items_[std::size_t(i)].State;
  UINT now = (old & ~mask) | (state & mask);
  if (now == old) return true;
  if (NotifyItem(LVN_ITEMCHANGING, i, now, old, LVIF_STATE)) return false;
  if (!IsWindow(h_) || !Valid(i)) return false;
  items_[std::size_t(i)].State = now;
  if ((now & LVIS_FOCUSED) && !(old & LVIS_FOCUSED)) {
    // One item has the focus: it leaves the one that had it.
    int before = focus_;
    focus_ = i;
    if (Valid(before) && before != i) SetState(before, 0, LVIS_FOCUSED);
  } else if (!(now & LVIS_FOCUSED) && (old & LVIS_FOCUSED) && focus_ == i) {
    focus_ = -1;
  }
  if (Single() && (now & LVIS_SELECTED) && !(old & LVIS_SELECTED))
    for (int k = 0; k < Count(); ++k)
      if (k != i && (items_[std::size_t(k)].State & LVIS_SELECTED)) SetState(k, 0, LVIS_SELECTED);
  RedrawItem(i);
  NotifyItem(LVN_ITEMCHANGED, i, now, old, LVIF_STATE);
  return true;
}

void TListView::SelectOnly(int i) {
  for (int k = 0; k < Count(); ++k)
    if (k != i && (items_[std::size_t(k)].State & LVIS_SELECTED)) SetState(k, 0, LVIS_SELECTED);
  if (Valid(i)) SetState(i, LVIS_SELECTED, LVIS_SELECTED);
}

void TListView::SelectRange(int a, int b, bool keepOthers) {
  if (a > b) std::swap(a, b);
  for (int k = 0; k < Count(); ++k) {
    bool inside = k >= a && k <= b;
    if (inside)
      SetState(k, LVIS_SELECTED, LVIS_SELECTED);
    else if (!keepOthers && (items_[std::size_t(k)].State & LVIS_SELECTED))
      SetState(k, 0, LVIS_SELECTED);
  }
}

void TListView::Focus(int i) {
  if (!Valid(i)) return;
  SetState(i, LVIS_FOCUSED, LVIS_FOCUSED);
  EnsureVisible(i);
}

// ---------------------------------------------------------------- items

int TListView::Insert(const LVITEM& it) {
  TItem item;
  item.Texts.resize(std::max<std::size_t>(cols_.size(), 1));
  if (it.mask & LVIF_TEXT) item.Texts[0] = it.pszText ? it.pszText : "";
  if (it.mask & LVIF_IMAGE) item.Image = it.iImage;
  if (it.mask & LVIF_PARAM) item.Param = it.lParam;
  int at = std::clamp(it.iItem, 0, Count());
  DWORD style = Style();
  if (style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) {
    bool down = (style & LVS_SORTDESCENDING) != 0;
    auto before = [&](const TItem& a, const TItem& b) {
      int c = ctl::CompareNoCase(a.Texts[0], b.Texts[0]);
      return down ? c > 0 : c < 0;
    };
    at = int(std::upper_bound(items_.begin(), items_.end(), item, before) - items_.begin());
  }
  items_.insert(items_.begin() + at, std::move(item));
  if (focus_ >= at) ++focus_;
  if (mark_ >= at) ++mark_;
  // The cells only ever grow with a new item: no need to measure the others again.
  if (cellW_ >= 0) cellW_ = std::max(cellW_, std::min(LabelWidth(at), 400) + IconW() + 14);
  UpdateScrollBars();
  InvalidateRect(h_, nullptr, true);
  NotifyItem(LVN_INSERTITEM, at, 0, 0, 0);
  if ((it.mask & LVIF_STATE) && it.stateMask && IsWindow(h_))
    SetState(at, it.state, it.stateMask & (LVIS_SELECTED | LVIS_FOCUSED | LVIS_CUT));
  return at;
}

bool TListView::Delete(int i) {
  if (!Valid(i)) return false;
  NotifyItem(LVN_DELETEITEM, i, 0, 0, 0);
  if (!IsWindow(h_) || !Valid(i)) return false;
  items_.erase(items_.begin() + i);
  if (focus_ == i)
    focus_ = -1;
  else if (focus_ > i)
    --focus_;
  if (mark_ >= i) mark_ = mark_ == i ? -1 : mark_ - 1;
  cellW_ = -1;
  topRow_ = std::min(topRow_, std::max(0, Count() - 1));
  UpdateScrollBars();
  InvalidateRect(h_, nullptr, true);
  return true;
}

void TListView::DeleteAll() {
  // The parent may decline the item-by-item notices by answering TRUE.
  bool each = NotifyItem(LVN_DELETEALLITEMS, -1, 0, 0, 0) == 0;
  if (!IsWindow(h_)) return;
  if (each)
    for (int i = Count() - 1; i >= 0 && IsWindow(h_); --i) NotifyItem(LVN_DELETEITEM, i, 0, 0, 0);
  if (!IsWindow(h_)) return;
  items_.clear();
  focus_ = mark_ = -1;
  topRow_ = scrollX_ = 0;
  cellW_ = -1;
  UpdateScrollBars();
  LayoutHeader();
  InvalidateRect(h_, nullptr, true);
}

bool TListView::SetItem(const LVITEM& it) {
  if (!Valid(it.iItem) || it.iSubItem < 0 || it.iSubItem > 255) return false;
  TItem& item = items_[std::size_t(it.iItem)];
  if (it.mask & LVIF_TEXT) {
    if (std::size_t(it.iSubItem) >= item.Texts.size())
      item.Texts.resize(std::size_t(it.iSubItem) + 1);
    item.Texts[std::size_t(it.iSubItem)] = it.pszText ? it.pszText : "";
    if (it.iSubItem == 0) {
      item.LabelWidth = -1;
      cellW_ = -1;
    }
  }
  if (it.iSubItem == 0) {
    if (it.mask & LVIF_IMAGE) item.Image = it.iImage;
    if (it.mask & LVIF_PARAM) item.Param = it.lParam;
  }
  RedrawItem(it.iItem);
  if ((it.mask & LVIF_STATE) && it.iSubItem == 0) return SetState(it.iItem, it.state, it.stateMask);
  return true;
}

bool TListView::GetItem(LVITEM* it) const {
  if (!it || !Valid(it->iItem) || it->iSubItem < 0) return false;
  const TItem& item = items_[std::size_t(it->iItem)];
  if ((it->mask & LVIF_TEXT) && it->pszText && it->cchTextMax > 0) {
    const std::string empty;
    const std::string& t = std::size_t(it->iSubItem) < item.Texts.size()
                               ? item.Texts[std::size_t(it->iSubItem)]
                               : empty;
    std::size_t n = std::min(t.size(), std::size_t(it->cchTextMax - 1));
    while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
    std::memcpy(it->pszText, t.data(), n);
    it->pszText[n] = '\0';
  }
  if (it->mask & LVIF_IMAGE) it->iImage = item.Image;
  if (it->mask & LVIF_PARAM) it->lParam = item.Param;
  if (it->mask & LVIF_STATE) it->state = item.State & it->stateMask;
  return true;
}

// ---------------------------------------------------------------- painting

void TListView::Paint() {
  TPaintDC paint(h_);
  HDC dc = paint.Dc();
  if (!dc) return;
  TRect c;
  GetClientRect(h_, &c);
  TRect box = paint.Paint().rcPaint;
  dc->SelectFont(Font());
  dc->FillRect(box, back_);
  dc->SetBkMode(TRANSPARENT);
  TRect a = Area();
  TDCSaver save(*dc);
  dc->IntersectClipRect(a);
  int rh = RowH();
  // Only the items whose rows or columns lie in the painted part.
  int first = 0, last = Count() - 1;
  if (Report()) {
    first = topRow_ + std::max(0, (box.Top - a.Top) / rh);
    last = std::min(last, topRow_ + (box.Bottom - a.Top + rh - 1) / rh);
  } else if (ListMode()) {
    int per = PerColumn(), cw = CellW();
    first = (scrollX_ + std::max(0, box.Left) / cw) * per;
    last = std::min(last, (scrollX_ + (box.Right + cw - 1) / cw + 1) * per - 1);
  } else {
    int per = PerRow();
    first = (topRow_ + std::max(0, (box.Top - a.Top) / rh)) * per;
    last = std::min(last, (topRow_ + (box.Bottom - a.Top + rh - 1) / rh + 1) * per - 1);
  }
  bool enabled = IsWindowEnabled(h_);
  bool showSel = focused_ || (Style() & LVS_SHOWSELALWAYS);
  for (int i = std::max(first, 0); i <= last; ++i) {
    const TItem& it = items_[std::size_t(i)];
    TRect b = ItemBounds(i);
    bool selected = (it.State & LVIS_SELECTED) && showSel;
    TColor selBack = GetSysColor(focused_ ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    TColor selText = GetSysColor(focused_ ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
    TColor text = GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    if (small_ && it.Image >= 0 && it.Image < small_->Count())
      small_->Draw(*dc, b.Left + 2, b.Top + (rh - IconH()) / 2, it.Image);
    TRect lr = LabelRect(i);
    if (selected) dc->FillRect(lr, selBack);
    dc->SetTextColor(selected ? selText : text);
    TRect tr{lr.Left + 2, lr.Top, lr.Right - 2, lr.Bottom};
    dc->DrawText(it.Texts.empty() ? std::string() : it.Texts[0], tr,
                 DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (Report()) {
      int x = b.Left + (cols_.empty() ? 0 : cols_[0].Width);
      bool fullRow = (exStyle_ & LVS_EX_FULLROWSELECT) && selected;
      for (std::size_t k = 1; k < cols_.size(); ++k) {
        TRect cell{x, b.Top, x + cols_[k].Width, b.Bottom};
        x = cell.Right;
        if (fullRow) dc->FillRect(cell, selBack);
        std::size_t sub = std::size_t(cols_[k].SubItem);
        if (sub >= it.Texts.size() || it.Texts[sub].empty()) continue;
        dc->SetTextColor(fullRow ? selText : text);
        std::uint32_t align = cols_[k].Format == LVCFMT_RIGHT    ? DT_RIGHT
                              : cols_[k].Format == LVCFMT_CENTER ? DT_CENTER
                                                                 : DT_LEFT;
        TRect ct{cell.Left + 6, cell.Top, cell.Right - 6, cell.Bottom};
        dc->DrawText(it.Texts[sub], ct,
                     align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
      }
      if (exStyle_ & LVS_EX_GRIDLINES)
        dc->FillRect({0, b.Bottom - 1, c.Right, b.Bottom}, GetSysColor(COLOR_BTNFACE));
    }
    if (focused_ && i == focus_) {
      TRect fr = lr;
      if (Report() && (exStyle_ & LVS_EX_FULLROWSELECT)) fr.Right = b.Left + TotalColumnsWidth();
      DrawFocusRect(dc, &fr);
    }
  }
}

// ---------------------------------------------------------------- input

void TListView::LButtonDown(LPARAM l, bool dbl) {
  if (GetFocus() != h_) {
    SetFocus(h_);
    if (!IsWindow(h_)) return;
  }
  TPoint p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  int i = ItemAt(p);
  bool ctrl = ctl::KeyDown(VK_CONTROL), shift = ctl::KeyDown(VK_SHIFT);
  if (!Valid(i)) {
    // A click on empty space lets go of the selection (Ctrl keeps it).
    if (!ctrl) SelectOnly(-1);
  } else if (Single() || (!ctrl && !shift)) {
    SelectOnly(i);
    mark_ = i;
  } else if (shift) {
    SelectRange(Valid(mark_) ? mark_ : i, i, ctrl);
  } else {
    bool on = (items_[std::size_t(i)].State & LVIS_SELECTED) != 0;
    SetState(i, on ? 0 : LVIS_SELECTED, LVIS_SELECTED);
    mark_ = i;
  }
  if (!IsWindow(h_)) return;
  if (Valid(i)) Focus(i);
  if (!IsWindow(h_)) return;
  NMITEMACTIVATE nm;
  nm.iItem = Valid(i) ? i : -1;
  nm.ptAction = p;
  nm.uKeyFlags = (ctrl ? 0x1u : 0u) | (shift ? 0x2u : 0u);
  ctl::NotifyParent(h_, &nm.hdr, dbl ? NM_DBLCLK : NM_CLICK);
  if (dbl && Valid(i) && IsWindow(h_)) {
    NMITEMACTIVATE act = nm;
    ctl::NotifyParent(h_, &act.hdr, LVN_ITEMACTIVATE);
  }
}

void TListView::KeyDown(WPARAM vk) {
  NMLVKEYDOWN kd;
  kd.wVKey = std::uint16_t(vk);
  ctl::NotifyParent(h_, &kd.hdr, LVN_KEYDOWN);
  if (!IsWindow(h_)) return;
  if (vk == VK_RETURN) {
    NotifySimple(NM_RETURN);
    if (IsWindow(h_) && Valid(focus_)) {
      NMITEMACTIVATE act;
      act.iItem = focus_;
      ctl::NotifyParent(h_, &act.hdr, LVN_ITEMACTIVATE);
    }
    return;
  }
  int n = Count();
  if (n == 0) return;
  int cur = Valid(focus_) ? focus_ : -1;
  int target = cur;
  int page = Report()     ? std::max(FullRows() - 1, 1)
             : ListMode() ? PerColumn()
                          : FullRows() * PerRow();
  int across = ListMode() ? PerColumn() : View() == LVS_REPORT ? 1 : 1;
  int down = ListMode() ? 1 : Report() ? 1 : PerRow();
  switch (int(vk)) {
    case VK_UP:
      target = cur - down;
      break;
    case VK_DOWN:
      target = cur + down;
      break;
    case VK_LEFT:
      if (Report()) {
        SetScrollX(scrollX_ - 20);
        return;
      }
      target = cur - across;
      break;
    case VK_RIGHT:
      if (Report()) {
        SetScrollX(scrollX_ + 20);
        return;
      }
      target = cur + across;
      break;
    case VK_PRIOR:
      target = cur - page;
      break;
    case VK_NEXT:
      target = cur + page;
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = n - 1;
      break;
    case VK_SPACE:
      if (!Valid(cur)) return;
      if (ctl::KeyDown(VK_CONTROL) && !Single()) {
        bool on = (items_[std::size_t(cur)].State & LVIS_SELECTED) != 0;
        SetState(cur, on ? 0 : LVIS_SELECTED, LVIS_SELECTED);
      } else {
        SetState(cur, LVIS_SELECTED, LVIS_SELECTED);
      }
      mark_ = cur;
      return;
    default:
      return;
  }
  // Nothing had the focus: a step takes the first item.
  if (cur < 0 && vk != VK_END && vk != VK_HOME) target = 0;
  // Moves off either end stop at it.
  if (target < 0) target = ListMode() && vk == VK_LEFT ? cur % PerColumn() : 0;
  if (target >= n) target = n - 1;
  if (!Single() && ctl::KeyDown(VK_SHIFT)) {
    SelectRange(Valid(mark_) ? mark_ : target, target, ctl::KeyDown(VK_CONTROL));
  } else if (Single() || !ctl::KeyDown(VK_CONTROL)) {
    SelectOnly(target);
    mark_ = target;
  }
  if (IsWindow(h_)) Focus(target);
}

void TListView::Char(WPARAM ch) {
  if (ch <= 0x20 || ch == 0x7F || Count() == 0) return;
  char32_t want = ctl::FoldCase(char32_t(ch));
  int n = Count();
  int from = Valid(focus_) ? focus_ : -1;
  for (int k = 1; k <= n; ++k) {
    int i = (from + k + n) % n;
    if (!items_[std::size_t(i)].Texts.empty() &&
        ctl::FirstFolded(items_[std::size_t(i)].Texts[0]) == want) {
      SelectOnly(i);
      mark_ = i;
      if (IsWindow(h_)) Focus(i);
      return;
    }
  }
}

void TListView::Scroll(bool vertical, int code) {
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(h_, vertical ? SB_VERT : SB_HORZ, &si);
  int pos = vertical ? topRow_ : scrollX_;
  int line = vertical || !Report() ? 1 : 20;
  int page = std::max(int(si.nPage) - (vertical ? 1 : 0), 1);
  switch (code) {
    case SB_LINEUP:
      pos -= line;
      break;
    case SB_LINEDOWN:
      pos += line;
      break;
    case SB_PAGEUP:
      pos -= page;
      break;
    case SB_PAGEDOWN:
      pos += page;
      break;
    case SB_TOP:
      pos = 0;
      break;
    case SB_BOTTOM:
      pos = si.nMax;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = si.nTrackPos;
      break;
    default:
      return;
  }
  if (vertical)
    SetTopRow(pos);
  else
    SetScrollX(pos);
}

// ---------------------------------------------------------------- messages

LRESULT TListView::Proc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CREATE:
      header_ = CreateWindowEx(0, WC_HEADER, "", WS_CHILD | HDS_HORZ | HDS_BUTTONS, 0, 0, 0, 0, h_,
                               HeaderId);
      LayoutHeader();
      UpdateScrollBars();
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      LayoutHeader();
      UpdateScrollBars();
      InvalidateRect(h_, nullptr, false);
      return 0;
    case WM_STYLECHANGED:
      topRow_ = scrollX_ = 0;
      LayoutHeader();
      UpdateScrollBars();
      InvalidateRect(h_, nullptr, true);
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(w);
      if (header_) SendMessage(header_, WM_SETFONT, w, 0);
      for (TItem& it : items_) it.LabelWidth = -1;
      cellW_ = -1;
      LayoutHeader();
      UpdateScrollBars();
      if (LOWORD(l)) InvalidateRect(h_, nullptr, true);
      return 0;
    case WM_GETFONT:
      return LRESULT(reinterpret_cast<std::uintptr_t>(font_));
    case WM_SETFOCUS:
      focused_ = true;
      InvalidateRect(h_, nullptr, false);
      NotifySimple(NM_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      focused_ = false;
      InvalidateRect(h_, nullptr, false);
      NotifySimple(NM_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      InvalidateRect(h_, nullptr, true);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      LButtonDown(l, msg == WM_LBUTTONDBLCLK);
      return 0;
    case WM_RBUTTONDOWN: {
      if (GetFocus() != h_) SetFocus(h_);
      if (!IsWindow(h_)) return 0;
      int i = ItemAt({GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      if (Valid(i) && !(items_[std::size_t(i)].State & LVIS_SELECTED)) SelectOnly(i);
      if (Valid(i) && IsWindow(h_)) Focus(i);
      NMITEMACTIVATE nm;
      nm.iItem = i;
      nm.ptAction = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      if (IsWindow(h_)) ctl::NotifyParent(h_, &nm.hdr, NM_RCLICK);
      return 0;
    }
    case WM_KEYDOWN:
      KeyDown(w);
      return 0;
    case WM_CHAR:
      Char(w);
      return 0;
    case WM_MOUSEWHEEL: {
      wheelRest_ += GET_WHEEL_DELTA_WPARAM(w);
      int notches = wheelRest_ / WHEEL_DELTA;
      wheelRest_ -= notches * WHEEL_DELTA;
      if (ListMode())
        SetScrollX(scrollX_ - notches);
      else
        SetTopRow(topRow_ - notches * 3);
      return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (!l) Scroll(msg == WM_VSCROLL, LOWORD(w));
      return 0;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(l);
      if (!hdr || hdr->hwndFrom != header_ || !header_) break;
      auto* nh = reinterpret_cast<NMHEADER*>(l);
      if (hdr->code == HDN_ITEMCHANGED && nh->pitem && (nh->pitem->mask & HDI_WIDTH) &&
          nh->iItem >= 0 && nh->iItem < int(cols_.size())) {
        cols_[std::size_t(nh->iItem)].Width = nh->pitem->cxy;
        UpdateScrollBars();
        LayoutHeader();
        InvalidateRect(h_, nullptr, true);
      } else if (hdr->code == HDN_ITEMCLICK && !(Style() & LVS_NOSORTHEADER)) {
        NMLISTVIEW nm;
        nm.iSubItem = nh->iItem;
        ctl::NotifyParent(h_, &nm.hdr, LVN_COLUMNCLICK);
      }
      return 0;
    }

    case LVM_SETIMAGELIST: {
      HIMAGELIST old = int(w) == LVSIL_SMALL ? small_ : normal_;
      (int(w) == LVSIL_SMALL ? small_ : normal_) = reinterpret_cast<HIMAGELIST>(l);
      cellW_ = -1;
      UpdateScrollBars();
      InvalidateRect(h_, nullptr, true);
      return LRESULT(reinterpret_cast<std::uintptr_t>(old));
    }
    case LVM_GETIMAGELIST:
      return LRESULT(reinterpret_cast<std::uintptr_t>(int(w) == LVSIL_SMALL ? small_ : normal_));
    case LVM_SETBKCOLOR:
      back_ = TColor(l);
      InvalidateRect(h_, nullptr, true);
      return 1;
    case LVM_GETBKCOLOR:
      return LRESULT(back_);
    case LVM_GETITEMCOUNT:
      return Count();
    case LVM_INSERTITEM: {
      auto* it = reinterpret_cast<const LVITEM*>(l);
      if (!it || it->iItem < 0) return -1;
      return Insert(*it);
    }
    case LVM_SETITEM: {
      auto* it = reinterpret_cast<const LVITEM*>(l);
      return it && SetItem(*it) ? 1 : 0;
    }
    case LVM_GETITEM:
      return GetItem(reinterpret_cast<LVITEM*>(l)) ? 1 : 0;
    case LVM_SETITEMTEXT: {
      auto* it = reinterpret_cast<const LVITEM*>(l);
      if (!it) return 0;
      LVITEM copy = *it;
      copy.iItem = int(w);
      copy.mask = LVIF_TEXT;
      return SetItem(copy) ? 1 : 0;
    }
    case LVM_GETITEMTEXT: {
      auto* it = reinterpret_cast<LVITEM*>(l);
      if (!it) return 0;
      it->iItem = int(w);
      UINT mask = it->mask;
      it->mask = LVIF_TEXT;
      bool ok = GetItem(it);
      it->mask = mask;
      return ok && it->pszText ? LRESULT(std::strlen(it->pszText)) : 0;
    }
    case LVM_SETITEMSTATE: {
      auto* it = reinterpret_cast<const LVITEM*>(l);
      if (!it) return 0;
      if (int(w) == -1) {
        for (int k = 0; k < Count() && IsWindow(h_); ++k) SetState(k, it->state, it->stateMask);
        return 1;
      }
      return SetState(int(w), it->state, it->stateMask) ? 1 : 0;
    }
    case LVM_GETITEMSTATE:
      return Valid(int(w)) ? LRESULT(items_[w].State & UINT(l)) : 0;
    case LVM_DELETEITEM:
      return Delete(int(w)) ? 1 : 0;
    case LVM_DELETEALLITEMS:
      DeleteAll();
      return 1;
    case LVM_GETNEXTITEM: {
      int start = int(w);
      UINT flags = UINT(l);
      UINT want = flags & (LVNI_SELECTED | LVNI_FOCUSED);
      if (flags & (LVNI_ABOVE | LVNI_BELOW | LVNI_TOLEFT | LVNI_TORIGHT)) {
        if (!Valid(start)) return -1;
        int step = (flags & LVNI_BELOW)     ? (ListMode() ? 1
                                               : Report() ? 1
                                                          : PerRow())
                   : (flags & LVNI_ABOVE)   ? -(ListMode() ? 1
                                                : Report() ? 1
                                                           : PerRow())
                   : (flags & LVNI_TORIGHT) ? (ListMode() ? PerColumn()
                                               : Report() ? 0
                                                          : 1)
                                            : -(ListMode() ? PerColumn()
                                                : Report() ? 0
                                                           : 1);
        if (step == 0) return -1;
        for (int i = start + step; Valid(i); i += step)
          if ((items_[std::size_t(i)].State & want) == want) return i;
        return -1;
      }
      for (int i = std::max(start + 1, 0); i < Count(); ++i)
        if ((items_[std::size_t(i)].State & want) == want) return i;
      return -1;
    }
    case LVM_GETSELECTEDCOUNT: {
      int n = 0;
      for (const TItem& it : items_) n += (it.State & LVIS_SELECTED) != 0;
      return n;
    }
    case LVM_GETSELECTIONMARK:
      return mark_;
    case LVM_SETSELECTIONMARK: {
      int old = mark_;
      mark_ = Valid(int(l)) ? int(l) : -1;
      return old;
    }
    case LVM_ENSUREVISIBLE:
      if (!Valid(int(w))) return 0;
      EnsureVisible(int(w));
      return 1;
    case LVM_SCROLL:
      if (Report()) {
        SetScrollX(scrollX_ + int(w));
        SetTopRow(topRow_ + int(l) / RowH());
      } else if (ListMode()) {
        SetScrollX(scrollX_ + int(w) / std::max(CellW(), 1));
      } else {
        SetTopRow(topRow_ + int(l) / RowH());
      }
      return 1;
    case LVM_REDRAWITEMS:
      for (int i = std::max(int(w), 0); i <= std::min(int(l), Count() - 1); ++i) RedrawItem(i);
      return 1;
    case LVM_GETTOPINDEX:
      if (Report()) return topRow_;
      if (ListMode()) return scrollX_ * PerColumn();
      return topRow_ * PerRow();
    case LVM_GETCOUNTPERPAGE:
      if (Report()) return FullRows();
      if (ListMode()) return PerColumn() * std::max(1, Area().Width() / std::max(CellW(), 1));
      return FullRows() * PerRow();
    case LVM_GETITEMRECT: {
      auto* r = reinterpret_cast<TRect*>(l);
      if (!r || !Valid(int(w))) return 0;
      int code = r->Left;
      TRect b = ItemBounds(int(w));
      if (code == LVIR_LABEL)
        *r = LabelRect(int(w));
      else if (code == LVIR_ICON)
        *r = {b.Left, b.Top, b.Left + IconW() + 4, b.Bottom};
      else if (code == LVIR_SELECTBOUNDS)
        *r = {b.Left, b.Top, LabelRect(int(w)).Right, b.Bottom};
      else
        *r = b;
      return 1;
    }
    case LVM_HITTEST: {
      auto* ht = reinterpret_cast<LVHITTESTINFO*>(l);
      if (!ht) return -1;
      ht->iItem = ItemAt(ht->pt);
      ht->flags = ht->iItem >= 0
                      ? (ht->pt.X < LabelRect(ht->iItem).Left ? LVHT_ONITEMICON : LVHT_ONITEMLABEL)
                      : LVHT_NOWHERE;
      return ht->iItem;
    }
    case LVM_FINDITEM: {
      auto* fi = reinterpret_cast<const LVFINDINFO*>(l);
      if (!fi) return -1;
      int n = Count();
      int start = int(w);
      for (int k = 1; k <= n; ++k) {
        int i = start + k;
        if (i >= n) {
          if (!(fi->flags & LVFI_WRAP)) break;
          i %= n;
        }
        const TItem& it = items_[std::size_t(i)];
        if (fi->flags & LVFI_PARAM) {
          if (it.Param == fi->lParam) return i;
          continue;
        }
        std::string_view want = fi->psz ? fi->psz : "";
        const std::string& t = it.Texts[0];
        if ((fi->flags & LVFI_PARTIAL) ? ctl::StartsWithNoCase(t, want)
                                       : ctl::CompareNoCase(t, want) == 0)
          return i;
      }
      return -1;
    }
    case LVM_INSERTCOLUMN: {
      auto* lc = reinterpret_cast<const LVCOLUMN*>(l);
      if (!lc) return -1;
      int at = std::clamp(int(w), 0, int(cols_.size()));
      TCol col;
      if (lc->mask & LVCF_WIDTH) col.Width = std::max(lc->cx, 0);
      if (lc->mask & LVCF_FMT) col.Format = lc->fmt & 3;
      col.SubItem =
          (lc->mask & LVCF_SUBITEM) ? std::clamp(lc->iSubItem, 0, 255) : int(cols_.size());
      cols_.insert(cols_.begin() + at, col);
      for (TItem& it : items_)
        if (it.Texts.size() < cols_.size()) it.Texts.resize(cols_.size());
      HDITEM hdi;
      hdi.mask = HDI_WIDTH | HDI_FORMAT | ((lc->mask & LVCF_TEXT) ? HDI_TEXT : 0);
      hdi.cxy = col.Width;
      hdi.fmt = HDF_STRING | (col.Format == LVCFMT_RIGHT    ? HDF_RIGHT
                              : col.Format == LVCFMT_CENTER ? HDF_CENTER
                                                            : HDF_LEFT);
      hdi.pszText = lc->pszText;
      if (header_) SendMessage(header_, HDM_INSERTITEM, WPARAM(at), LPARAM(&hdi));
      LayoutHeader();
      UpdateScrollBars();
      InvalidateRect(h_, nullptr, true);
      return at;
    }
    case LVM_DELETECOLUMN:
      if (int(w) < 0 || int(w) >= int(cols_.size())) return 0;
      cols_.erase(cols_.begin() + int(w));
      if (header_) SendMessage(header_, HDM_DELETEITEM, w, 0);
      LayoutHeader();
      UpdateScrollBars();
      InvalidateRect(h_, nullptr, true);
      return 1;
    case LVM_GETCOLUMN: {
      auto* lc = reinterpret_cast<LVCOLUMN*>(l);
      if (!lc || int(w) < 0 || int(w) >= int(cols_.size())) return 0;
      const TCol& col = cols_[w];
      if (lc->mask & LVCF_WIDTH) lc->cx = col.Width;
      if (lc->mask & LVCF_FMT) lc->fmt = col.Format;
      if (lc->mask & LVCF_SUBITEM) lc->iSubItem = col.SubItem;
      if ((lc->mask & LVCF_TEXT) && header_) {
        HDITEM hdi;
        hdi.mask = HDI_TEXT;
        hdi.pszText = lc->pszText;
        hdi.cchTextMax = lc->cchTextMax;
        SendMessage(header_, HDM_GETITEM, w, LPARAM(&hdi));
      }
      return 1;
    }
    case LVM_SETCOLUMN: {
      auto* lc = reinterpret_cast<const LVCOLUMN*>(l);
      if (!lc || int(w) < 0 || int(w) >= int(cols_.size())) return 0;
      TCol& col = cols_[w];
      HDITEM hdi;
      if (lc->mask & LVCF_WIDTH) {
        col.Width = std::max(lc->cx, 0);
        hdi.mask |= HDI_WIDTH;
        hdi.cxy = col.Width;
      }
      if (lc->mask & LVCF_FMT) col.Format = lc->fmt & 3;
      if (lc->mask & LVCF_TEXT) {
        hdi.mask |= HDI_TEXT;
        hdi.pszText = lc->pszText;
      }
      if (header_) SendMessage(header_, HDM_SETITEM, w, LPARAM(&hdi));
      LayoutHeader();
      UpdateScrollBars();
      InvalidateRect(h_, nullptr, true);
      return 1;
    }
    case LVM_GETCOLUMNWIDTH:
      if (ListMode()) return CellW();
      if (int(w) < 0 || int(w) >= int(cols_.size())) return 0;
      return cols_[w].Width;
    case LVM_SETCOLUMNWIDTH: {
      int width = GET_X_LPARAM(l);
      if (ListMode()) {
        listColW_ = std::max(width, 0);
      } else {
        if (int(w) < 0 || int(w) >= int(cols_.size())) return 0;
        if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
          // As wide as the widest text of the column.
          int widest = 0;
          std::size_t sub = std::size_t(cols_[w].SubItem);
          for (int i = 0; i < Count(); ++i) {
            if (sub == 0) {
              widest = std::max(widest, LabelWidth(i) + IconW() + 8);
            } else if (sub < items_[std::size_t(i)].Texts.size()) {
              widest =
                  std::max(widest, TextWidthOf(*Font(), items_[std::size_t(i)].Texts[sub]) + 12);
            }
          }
          width = widest;
        }
        cols_[w].Width = std::max(width, 0);
        HDITEM hdi;
        hdi.mask = HDI_WIDTH;
        hdi.cxy = cols_[w].Width;
        if (header_) SendMessage(header_, HDM_SETITEM, w, LPARAM(&hdi));
      }
      LayoutHeader();
      UpdateScrollBars();
      InvalidateRect(h_, nullptr, true);
      return 1;
    }
    case LVM_GETHEADER:
      return LRESULT(reinterpret_cast<std::uintptr_t>(header_));
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      DWORD old = exStyle_;
      DWORD mask = w ? DWORD(w) : ~DWORD(0);
      exStyle_ = (exStyle_ & ~mask) | (DWORD(l) & mask);
      InvalidateRect(h_, nullptr, true);
      return LRESULT(old);
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
      return LRESULT(exStyle_);
  }
  return DefWindowProc(h_, msg, w, l);
}

LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return ctl::DispatchToObject<TListView>(h, msg, w, l);
}

}  // namespace

void RegisterListViewClass() {
  ctl::RegisterControlClass(WC_LISTVIEW, &Proc, CS_DBLCLKS, clNone);
}

}  // namespace vm
