// The "ListBox" control: a column of items (texts, owner-drawn items, item
// data) with single, multiple or extended selection, chosen by mouse and
// keyboard, scrolled by its own scroll bar and the wheel.
#include "platform/controls/ListBox.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/ControlSupport.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ListText.h"
#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/SysColors.h"

namespace vm {

namespace {

constexpr UINT_PTR DragScrollTimer = 1;
constexpr UINT DragScrollInterval = 50;

HWND AsHwnd(LPARAM l) {
  return reinterpret_cast<HWND>(l);
}
LPARAM LP(HWND h) {
  return LPARAM(reinterpret_cast<std::uintptr_t>(h));
}

struct TItem {
  std::string Text;
  std::uintptr_t Data = 0;
  bool Selected = false;  // multiple and extended selection
  int Height = 0;         // LBS_OWNERDRAWVARIABLE
};

class TListBox {
 public:
  explicit TListBox(HWND h) : h_(h) {}

  LRESULT Proc(UINT msg, WPARAM w, LPARAM l);
  void AttachCombo(HWND combo) { combo_ = combo; }

  // A handler may destroy the window while the object is still at work:
  // then the object goes when the outermost call returns.
  int Depth = 0;
  bool Dead = false;

 private:
  // ---- style ----
  DWORD Style() const { return DWORD(GetWindowLongPtr(h_, GWL_STYLE)); }
  bool Single() const { return !(Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)); }
  bool Extended() const { return (Style() & LBS_EXTENDEDSEL) != 0; }
  bool OwnerDraw() const { return (Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
  bool Variable() const { return (Style() & LBS_OWNERDRAWVARIABLE) != 0; }
  bool HasStrings() const { return !OwnerDraw() || (Style() & LBS_HASSTRINGS); }
  bool NoSel() const { return (Style() & LBS_NOSEL) != 0; }
  int Count() const { return int(items_.size()); }
  bool Valid(int i) const { return i >= 0 && i < Count(); }

  // ---- talking out ----
  HWND NotifyTarget() const { return combo_ ? combo_ : GetParent(h_); }
  void Notify(UINT code);
  HWND OwnerTarget() const { return combo_ ? GetParent(combo_) : GetParent(h_); }
  UINT OwnerType() const { return combo_ ? ODT_COMBOBOX : ODT_LISTBOX; }
  UINT OwnerId() const { return UINT(GetDlgCtrlID(combo_ ? combo_ : h_)); }
  HWND OwnerItem() const { return combo_ ? combo_ : h_; }
  int Measure(int index, std::uintptr_t data);
  void DeleteNotice(int index);
  bool Less(const TItem& a, const TItem& b);

  // ---- geometry ----
  int ClientHeight() const;
  int ClientWidth() const;
  int HeightOf(int i) const {
    return Variable() && Valid(i) ? items_[std::size_t(i)].Height : itemHeight_;
  }
  int ItemTop(int i) const;
  TRect ItemRect(int i) const { return {0, ItemTop(i), ClientWidth(), ItemTop(i) + HeightOf(i)}; }
  // The item at a client y, -1 below the last one (or above the first shown).
  int ItemAtY(int y) const;
  int FullyVisible() const;  // items that fit from the top, at least 1
  int MaxTop() const;
  void SetTop(int top);
  void EnsureVisible(int i);
  void UpdateScrollBar();
  void FitIntegralHeight(WINDOWPOS* pos);

  // ---- selection ----
  bool IsSelected(int i) const {
    if (!Valid(i)) return false;
    return Single() ? i == curSel_ : items_[std::size_t(i)].Selected;
  }
  void Redraw(int i);
  void RedrawAll() { InvalidateRect(h_, nullptr, true); }
  bool SelectOnly(int i);  // single or extended; true when anything changed
  bool SelectRange(int a, int b, bool only, const std::vector<bool>* keep);
  void SetCaret(int i);
  void MouseChoose(int i, bool first);
  void KeyMove(int target);

  // ---- items ----
  int Insert(int index, const char* textOrData);
  int Delete(int index);
  void Reset();
  int Find(int start, const char* text, bool exact) const;

  // ---- painting ----
  void Paint();
  void DrawItem(TDC& dc, int i, const TRect& r, TColor back, TColor text);
  std::shared_ptr<const TFont> Font() const;

  // ---- input ----
  void LButtonDown(LPARAM l, bool dbl);
  void MouseMove(LPARAM l);
  void EndDrag();
  void KeyDown(WPARAM vk);
  void Char(WPARAM ch);
  void Wheel(int delta);
  void VScroll(int code);

  HWND h_;
  HWND combo_ = nullptr;
  std::vector<TItem> items_;
  int top_ = 0;
  int caret_ = 0;
  int anchor_ = -1;  // where Shift ranges start; none until a click, key or LB_SETSEL
  int curSel_ = -1;
  int itemHeight_ = 13;
  HFONT font_ = nullptr;
  bool focused_ = false;
  bool dragging_ = false;
  bool dragCtrl_ = false;
  std::vector<bool> dragKeep_;  // extended selection: what Ctrl+drag keeps
  int dragY_ = 0;
  int wheelRest_ = 0;
  int hExtent_ = 0;
  bool wantsVScroll_ = false;
  bool updatingBar_ = false;
};

// ---------------------------------------------------------------- talking out

void TListBox::Notify(UINT code) {
  bool always = code == LBN_SETFOCUS || code == LBN_KILLFOCUS || code == LBN_ERRSPACE;
  if (!always && !(Style() & LBS_NOTIFY) && !combo_) return;
  HWND to = NotifyTarget();
  if (to) SendMessage(to, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h_), int(code)), LP(h_));
}

int TListBox::Measure(int index, std::uintptr_t data) {
  MEASUREITEMSTRUCT mis;
  mis.CtlType = OwnerType();
  mis.CtlID = OwnerId();
  mis.itemID = UINT(index);
  mis.itemWidth = UINT(ClientWidth());
  mis.itemHeight = UINT(itemHeight_);
  mis.itemData = data;
  if (HWND to = OwnerTarget()) SendMessage(to, WM_MEASUREITEM, mis.CtlID, LPARAM(&mis));
  // Heights the platform cannot hold in its byte are cut down to it.
  return std::clamp(int(mis.itemHeight), 1, 255);
}

void TListBox::DeleteNotice(int index) {
  if (!OwnerDraw() || !Valid(index)) return;
  DELETEITEMSTRUCT dis;
  dis.CtlType = OwnerType();
  dis.CtlID = OwnerId();
  dis.itemID = UINT(index);
  dis.hwndItem = OwnerItem();
  dis.itemData = items_[std::size_t(index)].Data;
  if (HWND to = OwnerTarget()) SendMessage(to, WM_DELETEITEM, dis.CtlID, LPARAM(&dis));
}

bool TListBox::Less(const TItem& a, const TItem& b) {
  if (HasStrings()) return ctl::CompareNoCase(a.Text, b.Text) < 0;
  // Items without text: the owner decides their order.
  COMPAREITEMSTRUCT cis;
  cis.CtlType = OwnerType();
  cis.CtlID = OwnerId();
  cis.hwndItem = OwnerItem();
  cis.itemID1 = UINT(-1);
  cis.itemData1 = a.Data;
  cis.itemID2 = UINT(-1);
  cis.itemData2 = b.Data;
  HWND to = OwnerTarget();
  return to && SendMessage(to, WM_COMPAREITEM, cis.CtlID, LPARAM(&cis)) < 0;
}

// ---------------------------------------------------------------- geometry

int TListBox::ClientHeight() const {
  TRect r;
  GetClientRect(h_, &r);
  return r.Height();
}

int TListBox::ClientWidth() const {
  TRect r;
  GetClientRect(h_, &r);
  return r.Width();
}

int TListBox::ItemTop(int i) const {
  if (!Variable()) return (i - top_) * itemHeight_;
  int y = 0;
  if (i >= top_)
    for (int k = top_; k < i; ++k) y += HeightOf(k);
  else
    for (int k = i; k < top_; ++k) y -= HeightOf(k);
  return y;
}

int TListBox::ItemAtY(int y) const {
  if (y < 0) return -1;
  if (!Variable()) {
    int i = top_ + y / std::max(itemHeight_, 1);
    return Valid(i) ? i : -1;
  }
  int at = 0;
  for (int k = top_; k < Count(); ++k) {
    at += HeightOf(k);
    if (y < at) return k;
  }
  return -1;
}

int TListBox::FullyVisible() const {
  int h = ClientHeight();
  if (!Variable()) return std::max(1, h / std::max(itemHeight_, 1));
  int n = 0, used = 0;
  for (int k = top_; k < Count(); ++k) {
    used += HeightOf(k);
    if (used > h) break;
    ++n;
  }
  return std::max(1, n);
}

int TListBox::MaxTop() const {
  int h = ClientHeight();
  if (!Variable()) return std::max(0, Count() - std::max(1, h / std::max(itemHeight_, 1)));
  int used = 0, k = Count();
  while (k > 0 && used + HeightOf(k - 1) <= h) used += HeightOf(--k);
  return std::min(k, std::max(0, Count() - 1));
}

void TListBox::SetTop(int top) {
  top = std::clamp(top, 0, MaxTop());
  if (top == top_) return;
  int dy = ItemTop(top_) - ItemTop(top);
  top_ = top;
  // The items still in view move; only the part that comes into view is painted.
  ScrollWindowEx(h_, 0, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
  UpdateScrollBar();
}

void TListBox::EnsureVisible(int i) {
  if (!Valid(i)) return;
  if (i < top_) {
    SetTop(i);
    return;
  }
  int h = ClientHeight();
  if (ItemTop(i) + HeightOf(i) <= h) return;
  if (!Variable()) {
    SetTop(i - std::max(1, h / std::max(itemHeight_, 1)) + 1);
    return;
  }
  int used = HeightOf(i), t = i;
  while (t > 0 && used + HeightOf(t - 1) <= h) used += HeightOf(--t);
  SetTop(t);
}

void TListBox::UpdateScrollBar() {
  if (!wantsVScroll_ || updatingBar_) return;
  updatingBar_ = true;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (Style() & LBS_DISABLENOSCROLL) si.fMask |= SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = std::max(Count() - 1, 0);
  si.nPage = UINT(Count() > 0 ? FullyVisible() : 1);
  si.nPos = top_;
  SetScrollInfo(h_, SB_VERT, &si, true);
  updatingBar_ = false;
  // The bar coming or going changes the width, and the top may now be too far down.
  if (top_ > MaxTop()) SetTop(MaxTop());
}

void TListBox::FitIntegralHeight(WINDOWPOS* pos) {
  if ((Style() & LBS_NOINTEGRALHEIGHT) || Variable() || !pos || (pos->flags & SWP_NOSIZE)) return;
  TRect wr, cr;
  GetWindowRect(h_, &wr);
  GetClientRect(h_, &cr);
  int frame = wr.Height() - cr.Height();
  int inside = pos->cy - frame;
  // A list shows whole items: it is as tall as the items that fit.
  if (inside > itemHeight_) pos->cy = frame + inside / itemHeight_ * itemHeight_;
}

// ---------------------------------------------------------------- selection

void TListBox::Redraw(int i) {
  if (!Valid(i)) return;
  TRect r = ItemRect(i);
  InvalidateRect(h_, &r, true);
}

bool TListBox::SelectOnly(int i) {
  if (NoSel()) return false;
  if (Single()) {
    if (curSel_ == i) return false;
    Redraw(curSel_);
    curSel_ = Valid(i) ? i : -1;
    Redraw(curSel_);
    return true;
  }
  bool changed = false;
  for (int k = 0; k < Count(); ++k) {
    bool want = k == i;
    if (items_[std::size_t(k)].Selected != want) {
      items_[std::size_t(k)].Selected = want;
      Redraw(k);
      changed = true;
    }
  }
  return changed;
}

bool TListBox::SelectRange(int a, int b, bool only, const std::vector<bool>* keep) {
  if (NoSel() || Single()) return false;
  if (a > b) std::swap(a, b);
  bool changed = false;
  for (int k = 0; k < Count(); ++k) {
    bool inside = k >= a && k <= b;
    bool want = inside || (!only && items_[std::size_t(k)].Selected) ||
                (keep && std::size_t(k) < keep->size() && (*keep)[std::size_t(k)]);
    if (items_[std::size_t(k)].Selected != want) {
      items_[std::size_t(k)].Selected = want;
      Redraw(k);
      changed = true;
    }
  }
  return changed;
}

void TListBox::SetCaret(int i) {
  if (!Valid(i) || i == caret_) {
    if (Valid(i)) caret_ = i;
    return;
  }
  Redraw(caret_);
  caret_ = i;
  Redraw(caret_);
}

void TListBox::MouseChoose(int i, bool first) {
  if (!Valid(i)) return;
  bool changed = false;
  if (Single()) {
    changed = SelectOnly(i);
    if (first) anchor_ = i;
  } else if (Style() & LBS_MULTIPLESEL) {
    // A click toggles the item and becomes the anchor; dragging over others
    // leaves them be.
    if (first) anchor_ = i;
    if (first && !NoSel()) {
      items_[std::size_t(i)].Selected = !items_[std::size_t(i)].Selected;
      Redraw(i);
      changed = true;
    }
  } else if (first) {
    bool shift = ctl::KeyDown(VK_SHIFT), ctrl = ctl::KeyDown(VK_CONTROL);
    dragCtrl_ = ctrl;
    dragKeep_.clear();
    if (ctrl)
      for (const TItem& it : items_) dragKeep_.push_back(it.Selected);
    // Shift with no anchor yet starts the range at the item itself.
    if (shift && anchor_ < 0) anchor_ = i;
    if (shift) {
      changed = SelectRange(anchor_, i, !ctrl, ctrl ? &dragKeep_ : nullptr);
    } else if (ctrl) {
      items_[std::size_t(i)].Selected = !items_[std::size_t(i)].Selected;
      Redraw(i);
      changed = true;
      anchor_ = i;
    } else {
      changed = SelectOnly(i);
      anchor_ = i;
    }
  } else {
    changed = SelectRange(anchor_, i, true, dragCtrl_ ? &dragKeep_ : nullptr);
  }
  SetCaret(i);
  EnsureVisible(i);
  if (changed) Notify(LBN_SELCHANGE);
}

void TListBox::KeyMove(int target) {
  if (Count() == 0) return;
  target = std::clamp(target, 0, Count() - 1);
  bool changed = false;
  // A key moves the anchor with the caret unless it extends a range (Shift)
  // or only moves the caret (multiple selection, Ctrl in extended).
  if (Single()) {
    changed = SelectOnly(target);
    anchor_ = target;
  } else if (Extended()) {
    if (ctl::KeyDown(VK_SHIFT) && anchor_ < 0) anchor_ = caret_;
    if (ctl::KeyDown(VK_SHIFT))
      changed = SelectRange(anchor_, target, !ctl::KeyDown(VK_CONTROL), nullptr);
    else if (!ctl::KeyDown(VK_CONTROL)) {
      changed = SelectOnly(target);
      anchor_ = target;
    }
  }
  SetCaret(target);
  EnsureVisible(target);
  if (changed) Notify(LBN_SELCHANGE);
}

// ---------------------------------------------------------------- items

int TListBox::Insert(int index, const char* textOrData) {
  TItem item;
  if (HasStrings())
    item.Text = textOrData ? textOrData : "";
  else
    item.Data = reinterpret_cast<std::uintptr_t>(textOrData);
  if (index < 0) index = Count();
  if (index > Count()) return LB_ERR;
  if (Variable()) item.Height = Measure(index, item.Data);
  items_.insert(items_.begin() + index, std::move(item));
  // Everything at or after the new item moves one down.
  if (curSel_ >= index) ++curSel_;
  if (caret_ >= index && Count() > 1) ++caret_;
  if (anchor_ >= index) ++anchor_;
  if (index < top_) ++top_;
  if (!(Style() & LBS_NOREDRAW)) {
    if (index < top_ + FullyVisible() + 1) RedrawAll();
  }
  UpdateScrollBar();
  return index;
}

int TListBox::Delete(int index) {
  if (!Valid(index)) return LB_ERR;
  DeleteNotice(index);
  if (!Valid(index)) return LB_ERR;  // the owner changed the list meanwhile
  items_.erase(items_.begin() + index);
  if (curSel_ == index)
    curSel_ = -1;
  else if (curSel_ > index)
    --curSel_;
  if (caret_ > index || caret_ >= Count()) caret_ = std::max(caret_ - 1, 0);
  if (anchor_ > index || anchor_ >= Count()) anchor_ = Count() ? std::max(anchor_ - 1, 0) : -1;
  if (top_ > index) --top_;
  top_ = std::clamp(top_, 0, MaxTop());
  RedrawAll();
  UpdateScrollBar();
  return Count();
}

void TListBox::Reset() {
  for (int i = Count() - 1; i >= 0 && OwnerDraw(); --i) DeleteNotice(i);
  items_.clear();
  top_ = caret_ = 0;
  curSel_ = anchor_ = -1;
  RedrawAll();
  UpdateScrollBar();
}

int TListBox::Find(int start, const char* text, bool exact) const {
  int n = Count();
  if (n == 0) return LB_ERR;
  if (start < -1 || start >= n) start = -1;
  for (int k = 1; k <= n; ++k) {
    int i = (start + k) % n;
    const TItem& it = items_[std::size_t(i)];
    if (!HasStrings()) {
      if (it.Data == reinterpret_cast<std::uintptr_t>(text)) return i;
      continue;
    }
    std::string_view want = text ? text : "";
    if (exact ? ctl::CompareNoCase(it.Text, want) == 0 : ctl::StartsWithNoCase(it.Text, want))
      return i;
  }
  return LB_ERR;
}

// ---------------------------------------------------------------- painting

std::shared_ptr<const TFont> TListBox::Font() const {
  if (font_)
    if (auto f = GetFontObject(font_)) return f;
  return TFont::Default();
}

void TListBox::DrawItem(TDC& dc, int i, const TRect& r, TColor back, TColor text) {
  bool selected = IsSelected(i);
  bool focus = focused_ && i == caret_ && !combo_;
  bool enabled = IsWindowEnabled(h_);
  if (OwnerDraw()) {
    DRAWITEMSTRUCT dis;
    dis.CtlType = OwnerType();
    dis.CtlID = OwnerId();
    dis.itemID = UINT(i);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState =
        (selected ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
    dis.hwndItem = OwnerItem();
    dis.hDC = &dc;
    dis.rcItem = r;
    dis.itemData = items_[std::size_t(i)].Data;
    TDCSaver save(dc);
    dc.IntersectClipRect(r);
    if (HWND to = OwnerTarget()) SendMessage(to, WM_DRAWITEM, dis.CtlID, LPARAM(&dis));
    return;
  }
  bool highlight = selected && enabled;
  dc.FillRect(r, highlight ? GetSysColor(COLOR_HIGHLIGHT) : back);
  TDCSaver save(dc);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(highlight ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                  : enabled ? text
                            : GetSysColor(COLOR_GRAYTEXT));
  TRect tr{r.Left + 2, r.Top, r.Right - 1, r.Bottom};
  std::uint32_t flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (Style() & LBS_USETABSTOPS) flags |= DT_EXPANDTABS;
  dc.DrawText(items_[std::size_t(i)].Text, tr, flags);
  if (focus) DrawFocusRect(&dc, &r);
}

void TListBox::Paint() {
  TPaintDC paint(h_);
  HDC dc = paint.Dc();
  if (!dc) return;
  dc->SelectFont(Font());
  TColor text = GetSysColor(COLOR_WINDOWTEXT), back = GetSysColor(COLOR_WINDOW);
  dc->SetTextColor(text);
  if (HWND parent = GetParent(combo_ ? combo_ : h_)) {
    std::uint32_t answer = 0;
    LRESULT r = SendMessage(parent, WM_CTLCOLORLISTBOX,
                            WPARAM(reinterpret_cast<std::uintptr_t>(dc)), LP(h_));
    if (CtlColorFromResult(r, &answer)) {
      back = answer;
      text = dc->TextColor();
    }
  }
  TRect client;
  GetClientRect(h_, &client);
  TRect box = paint.Paint().rcPaint;
  int y = ItemTop(top_);
  for (int i = top_; i < Count() && y < client.Bottom; ++i) {
    TRect r{0, y, client.Right, y + HeightOf(i)};
    if (r.Bottom > box.Top && r.Top < box.Bottom) DrawItem(*dc, i, r, back, text);
    y = r.Bottom;
  }
  if (y < client.Bottom) dc->FillRect({0, y, client.Right, client.Bottom}, back);
  // An empty list with the focus still shows where the focus is.
  if (Count() == 0 && focused_ && !combo_ && !OwnerDraw()) {
    TRect r{0, 0, client.Right, itemHeight_};
    DrawFocusRect(dc, &r);
  }
}

// ---------------------------------------------------------------- input

void TListBox::LButtonDown(LPARAM l, bool dbl) {
  if (!combo_ && GetFocus() != h_) {
    SetFocus(h_);
    if (!IsWindow(h_)) return;
  }
  int y = GET_Y_LPARAM(l);
  int i = ItemAtY(y);
  if (combo_ && !TRect{0, 0, ClientWidth(), ClientHeight()}.Contains({GET_X_LPARAM(l), y})) {
    // The drop-down's own scroll bar works while the list holds the mouse.
    TPoint s{GET_X_LPARAM(l), y};
    ClientToScreen(h_, &s);
    LRESULT hit = SendMessage(h_, WM_NCHITTEST, 0, MAKELPARAM(s.X, s.Y));
    if (hit == HTVSCROLL) {
      TrackScrollBar(h_, SB_VERT, s);
      return;
    }
    // A click outside an open drop-down closes it without a choice.
    SendMessage(combo_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h_), int(ctl::ComboListCancelled)),
                LP(h_));
    return;
  }
  if (!Valid(i)) return;
  dragging_ = true;
  dragY_ = y;
  SetCapture(h_);
  MouseChoose(i, true);
  if (dbl && IsWindow(h_)) Notify(LBN_DBLCLK);
}

void TListBox::MouseMove(LPARAM l) {
  int y = GET_Y_LPARAM(l);
  dragY_ = y;
  if (!dragging_ && !combo_) return;
  if (combo_ && !dragging_) {
    // An open drop-down follows the pointer while it is over the items.
    TPoint p{GET_X_LPARAM(l), y};
    if (!TRect{0, 0, ClientWidth(), ClientHeight()}.Contains(p)) return;
    int i = ItemAtY(y);
    if (Valid(i) && i != curSel_) {
      SelectOnly(i);
      SetCaret(i);
    }
    return;
  }
  int h = ClientHeight();
  if (y < 0 || y >= h) {
    // Outside the list the selection walks on, one item per timer tick.
    SetTimer(h_, DragScrollTimer, DragScrollInterval);
    int i = y < 0 ? std::max(top_ - 1, 0) : std::min(top_ + FullyVisible(), Count() - 1);
    MouseChoose(i, false);
    return;
  }
  KillTimer(h_, DragScrollTimer);
  int i = ItemAtY(y);
  if (!Valid(i)) i = Count() - 1;
  MouseChoose(i, false);
}

void TListBox::EndDrag() {
  if (!dragging_) return;
  dragging_ = false;
  KillTimer(h_, DragScrollTimer);
  if (GetCapture() == h_) ReleaseCapture();
}

void TListBox::KeyDown(WPARAM vk) {
  if (Style() & LBS_WANTKEYBOARDINPUT) {
    HWND to = NotifyTarget();
    LRESULT r =
        to ? SendMessage(to, WM_VKEYTOITEM, MAKEWPARAM(int(vk), caret_), LP(h_)) : LRESULT(-1);
    if (r == -2 || !IsWindow(h_)) return;
    if (r >= 0) {
      KeyMove(int(r));
      return;
    }
  }
  if (combo_ && (vk == VK_RETURN || vk == VK_ESCAPE)) {
    UINT code = vk == VK_RETURN ? ctl::ComboListChosen : ctl::ComboListCancelled;
    SendMessage(combo_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h_), int(code)), LP(h_));
    return;
  }
  int n = Count();
  if (n == 0) return;
  int page = std::max(FullyVisible() - 1, 1);
  int target;
  switch (int(vk)) {
    case VK_UP:
    case VK_LEFT:
      target = caret_ - 1;
      break;
    case VK_DOWN:
    case VK_RIGHT:
      target = caret_ + 1;
      break;
    case VK_PRIOR:
      target = caret_ - page;
      break;
    case VK_NEXT:
      target = caret_ + page;
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = n - 1;
      break;
    case VK_SPACE:
      if (Single() || NoSel()) return;
      if (Extended() && !ctl::KeyDown(VK_CONTROL)) {
        if (SelectOnly(caret_)) Notify(LBN_SELCHANGE);
        anchor_ = caret_;
        return;
      }
      // Space toggles the caret's item; it anchors a range only in extended
      // selection (multiple selection moves the anchor by clicks alone).
      items_[std::size_t(caret_)].Selected = !items_[std::size_t(caret_)].Selected;
      if (Extended()) anchor_ = caret_;
      Redraw(caret_);
      Notify(LBN_SELCHANGE);
      return;
    default:
      return;
  }
  // With no item chosen yet, the first key chooses the caret's item itself.
  if (Single() && curSel_ < 0 && vk != VK_HOME && vk != VK_END) target = caret_;
  KeyMove(target);
}

void TListBox::Char(WPARAM ch) {
  if (ch < 0x20 || ch == 0x7F || Count() == 0) return;
  if (ch == ' ' && !Single()) return;  // space toggles, handled with the key
  if (!HasStrings()) {
    if (!(Style() & LBS_WANTKEYBOARDINPUT)) return;
    HWND to = NotifyTarget();
    LRESULT r = to ? SendMessage(to, WM_CHARTOITEM, MAKEWPARAM(int(ch), caret_), LP(h_)) : -1;
    if (r >= 0 && IsWindow(h_)) KeyMove(int(r));
    return;
  }
  // Type-ahead: the next item after the caret that starts with the letter, round the end.
  char32_t want = ctl::FoldCase(char32_t(ch));
  int n = Count();
  for (int k = 1; k <= n; ++k) {
    int i = (caret_ + k) % n;
    if (ctl::FirstFolded(items_[std::size_t(i)].Text) == want) {
      KeyMove(i);
      return;
    }
  }
}

void TListBox::Wheel(int delta) {
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  wheelRest_ += delta;
  int notches = wheelRest_ / WHEEL_DELTA;
  wheelRest_ -= notches * WHEEL_DELTA;
  if (notches) SetTop(top_ - notches * int(lines));
}

void TListBox::VScroll(int code) {
  int page = std::max(FullyVisible() - 1, 1);
  switch (code) {
    case SB_LINEUP:
      SetTop(top_ - 1);
      break;
    case SB_LINEDOWN:
      SetTop(top_ + 1);
      break;
    case SB_PAGEUP:
      SetTop(top_ - page);
      break;
    case SB_PAGEDOWN:
      SetTop(top_ + page);
      break;
    case SB_TOP:
      SetTop(0);
      break;
    case SB_BOTTOM:
      SetTop(MaxTop());
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The 16-bit position in wParam may be cut short: the bar has the whole one.
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(h_, SB_VERT, &si);
      SetTop(si.nTrackPos);
      break;
    }
  }
}

// ---------------------------------------------------------------- messages

LRESULT TListBox::Proc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CREATE: {
      wantsVScroll_ = (Style() & WS_VSCROLL) != 0;
      itemHeight_ = std::max(Font()->Metrics().Height, 1);
      if (Style() & LBS_OWNERDRAWFIXED) itemHeight_ = Measure(0, 0);
      TRect wr;
      GetWindowRect(h_, &wr);
      WINDOWPOS pos;
      pos.cx = wr.Width();
      pos.cy = wr.Height();
      FitIntegralHeight(&pos);
      if (pos.cy != wr.Height())
        SetWindowPos(h_, nullptr, 0, 0, pos.cx, pos.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
      UpdateScrollBar();
      return 0;
    }
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // every pixel is painted by WM_PAINT
    case WM_SIZE:
      UpdateScrollBar();
      if (top_ > MaxTop()) SetTop(MaxTop());
      InvalidateRect(h_, nullptr, false);
      return 0;
    case WM_WINDOWPOSCHANGING:
      FitIntegralHeight(reinterpret_cast<WINDOWPOS*>(l));
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(w);
      if (!OwnerDraw()) itemHeight_ = std::max(Font()->Metrics().Height, 1);
      UpdateScrollBar();
      if (LOWORD(l)) InvalidateRect(h_, nullptr, true);
      return 0;
    case WM_GETFONT:
      return LRESULT(reinterpret_cast<std::uintptr_t>(font_));
    case WM_SETFOCUS:
      focused_ = true;
      Redraw(caret_);
      if (Count() == 0) InvalidateRect(h_, nullptr, false);
      Notify(LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      focused_ = false;
      EndDrag();
      Redraw(caret_);
      if (Count() == 0) InvalidateRect(h_, nullptr, false);
      Notify(LBN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      InvalidateRect(h_, nullptr, true);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_MOUSEACTIVATE:
      // A drop-down never takes the activation from the window of its combo box.
      if (combo_) return MA_NOACTIVATE;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      LButtonDown(l, msg == WM_LBUTTONDBLCLK);
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(l);
      return 0;
    case WM_LBUTTONUP: {
      bool wasDragging = dragging_;
      EndDrag();
      if (combo_ && IsWindow(h_)) {
        TPoint p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        bool inside = TRect{0, 0, ClientWidth(), ClientHeight()}.Contains(p);
        // Releasing over an item of an open drop-down chooses it.
        if (inside || wasDragging)
          SendMessage(combo_, WM_COMMAND,
                      MAKEWPARAM(GetDlgCtrlID(h_),
                                 int(inside ? ctl::ComboListChosen : ctl::ComboListCancelled)),
                      LP(h_));
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (AsHwnd(l) != h_) {
        dragging_ = false;
        KillTimer(h_, DragScrollTimer);
      }
      if (combo_ && IsWindowVisible(h_)) {
        // An open drop-down keeps the mouse after its scroll bar let go of it;
        // taken by another window, the choice is over.
        if (!l)
          SetCapture(h_);
        else if (AsHwnd(l) != h_)
          SendMessage(combo_, WM_COMMAND,
                      MAKEWPARAM(GetDlgCtrlID(h_), int(ctl::ComboListCancelled)), LP(h_));
      }
      return 0;
    case WM_TIMER:
      if (w == DragScrollTimer && dragging_) {
        MouseMove(MAKELPARAM(0, dragY_));
        return 0;
      }
      break;
    case WM_KEYDOWN:
      KeyDown(w);
      return 0;
    case WM_CHAR:
      Char(w);
      return 0;
    case WM_MOUSEWHEEL:
      Wheel(GET_WHEEL_DELTA_WPARAM(w));
      return 0;
    case WM_VSCROLL:
      if (!l) VScroll(LOWORD(w));
      return 0;

    case LB_ADDSTRING: {
      const char* s = reinterpret_cast<const char*>(l);
      int index = Count();
      if (Style() & LBS_SORT) {
        TItem probe;
        if (HasStrings())
          probe.Text = s ? s : "";
        else
          probe.Data = reinterpret_cast<std::uintptr_t>(s);
        // After the items equal to it, so that equal items keep their order of arrival.
        int lo = 0, hi = Count();
        while (lo < hi) {
          int mid = (lo + hi) / 2;
          if (Less(probe, items_[std::size_t(mid)]))
            hi = mid;
          else
            lo = mid + 1;
        }
        index = lo;
      }
      return Insert(index, s);
    }
    case LB_INSERTSTRING:
      return Insert(int(w), reinterpret_cast<const char*>(l));
    case LB_DELETESTRING:
      return Delete(int(w));
    case LB_RESETCONTENT:
      Reset();
      return 0;
    case LB_INITSTORAGE:
      if (w) items_.reserve(items_.size() + std::min<WPARAM>(w, 1 << 20));
      return Count();
    case LB_GETCOUNT:
      return Count();
    case LB_GETTEXTLEN:
      if (!Valid(int(w))) return LB_ERR;
      return HasStrings() ? LRESULT(items_[w].Text.size()) : LRESULT(sizeof(std::uintptr_t));
    case LB_GETTEXT: {
      if (!Valid(int(w))) return LB_ERR;
      char* buf = reinterpret_cast<char*>(l);
      if (!HasStrings()) {
        if (buf) std::memcpy(buf, &items_[w].Data, sizeof(std::uintptr_t));
        return sizeof(std::uintptr_t);
      }
      const std::string& t = items_[w].Text;
      if (buf) {
        std::memcpy(buf, t.data(), t.size());
        buf[t.size()] = '\0';
      }
      return LRESULT(t.size());
    }
    case LB_GETITEMDATA:
      if (!Valid(int(w))) return LB_ERR;
      return LRESULT(items_[w].Data);
    case LB_SETITEMDATA:
      if (!Valid(int(w))) return LB_ERR;
      items_[w].Data = std::uintptr_t(l);
      return 1;  // TRUE
    case LB_GETCURSEL:
      if (Single()) return curSel_;
      return Count() ? caret_ : LB_ERR;
    case LB_SETCURSEL: {
      if (!Single()) return LB_ERR;
      int i = int(w);
      SelectOnly(Valid(i) ? i : -1);
      if (!Valid(i)) return LB_ERR;
      SetCaret(i);
      EnsureVisible(i);
      return i;
    }
    case LB_GETSEL:
      if (!Valid(int(w))) return LB_ERR;
      return IsSelected(int(w)) ? 1 : 0;
    case LB_SETSEL: {
      if (Single() || NoSel()) return LB_ERR;
      int i = int(l);
      if (i == -1) {
        for (int k = 0; k < Count(); ++k) items_[std::size_t(k)].Selected = w != 0;
        RedrawAll();
        if (w) anchor_ = -1;
        return LB_OKAY;
      }
      if (!Valid(i)) return LB_ERR;
      items_[std::size_t(i)].Selected = w != 0;
      Redraw(i);
      // Selecting an item makes it the anchor and the caret.
      if (w) {
        anchor_ = i;
        SetCaret(i);
      }
      return LB_OKAY;
    }
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX: {
      if (Single() || NoSel() || Count() == 0) return LB_ERR;
      int a = msg == LB_SELITEMRANGE ? LOWORD(l) : int(w);
      int b = msg == LB_SELITEMRANGE ? HIWORD(l) : int(l);
      bool on = msg == LB_SELITEMRANGE ? w != 0 : a <= b;
      if (a > b) std::swap(a, b);
      a = std::max(a, 0);
      b = std::min(b, Count() - 1);
      for (int k = a; k <= b; ++k) items_[std::size_t(k)].Selected = on;
      RedrawAll();
      return LB_OKAY;
    }
    case LB_GETSELCOUNT: {
      if (Single()) return LB_ERR;
      int n = 0;
      for (const TItem& it : items_) n += it.Selected;
      return n;
    }
    case LB_GETSELITEMS: {
      if (Single()) return LB_ERR;
      int* out = reinterpret_cast<int*>(l);
      int n = 0;
      for (int k = 0; k < Count() && out && n < int(w); ++k)
        if (items_[std::size_t(k)].Selected) out[n++] = k;
      return n;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
      return Find(int(w), reinterpret_cast<const char*>(l), msg == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING: {
      int i = Find(int(w), reinterpret_cast<const char*>(l), false);
      if (i < 0) return LB_ERR;
      if (Single()) {
        SelectOnly(i);
      } else {
        items_[std::size_t(i)].Selected = true;
        Redraw(i);
      }
      SetCaret(i);
      EnsureVisible(i);
      return i;
    }
    case LB_GETTOPINDEX:
      return top_;
    case LB_SETTOPINDEX:
      if (!Valid(int(w)) && !(w == 0 && Count() == 0)) return LB_ERR;
      SetTop(int(w));
      return LB_OKAY;
    case LB_GETITEMRECT: {
      auto* r = reinterpret_cast<TRect*>(l);
      if (!Valid(int(w)) && !(w == 0 && Count() == 0)) return LB_ERR;
      if (r) *r = ItemRect(int(w));
      return LB_OKAY;
    }
    case LB_GETITEMHEIGHT:
      if (Variable()) return Valid(int(w)) ? HeightOf(int(w)) : LB_ERR;
      return itemHeight_;
    case LB_SETITEMHEIGHT: {
      int hgt = LOWORD(l);
      if (hgt <= 0 || hgt > 255) return LB_ERR;
      if (Variable()) {
        if (!Valid(int(w))) return LB_ERR;
        items_[w].Height = hgt;
      } else {
        itemHeight_ = hgt;
      }
      UpdateScrollBar();
      RedrawAll();
      return LB_OKAY;
    }
    case LB_ITEMFROMPOINT: {
      int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
      if (Count() == 0) return MAKELONG(0, 1);
      bool outside = !TRect{0, 0, ClientWidth(), ClientHeight()}.Contains({x, y});
      int i = ItemAtY(y);
      if (!Valid(i)) {
        i = y < 0 ? top_ : Count() - 1;
        outside = true;
      }
      return MAKELONG(i, outside ? 1 : 0);
    }
    case LB_GETCARETINDEX:
      return caret_;
    case LB_SETCARETINDEX:
      if (!Valid(int(w))) return LB_ERR;
      SetCaret(int(w));
      if (!LOWORD(l)) EnsureVisible(int(w));
      return LB_OKAY;
    case LB_GETANCHORINDEX:
      return anchor_;
    case LB_SETANCHORINDEX:
      if (!Valid(int(w))) return LB_ERR;
      anchor_ = int(w);
      return LB_OKAY;
    case LB_SETTABSTOPS:
      return (Style() & LBS_USETABSTOPS) ? 1 : 0;
    case LB_GETHORIZONTALEXTENT:
      return hExtent_;
    case LB_SETHORIZONTALEXTENT:
      hExtent_ = int(w);
      return 0;
    case LB_SETCOLUMNWIDTH:
      return 0;
  }
  return DefWindowProc(h_, msg, w, l);
}

LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return ctl::ListBoxProc(h, msg, w, l);
}

}  // namespace

namespace ctl {

LRESULT ListBoxProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  return DispatchToObject<TListBox>(h, msg, w, l, [&](TListBox* box) {
    // A combo box creates its list with itself as the creation parameter.
    auto* cs = reinterpret_cast<const CREATESTRUCT*>(l);
    if (cs && (cs->style & LBS_COMBOBOX) && cs->lpCreateParams)
      box->AttachCombo(static_cast<HWND>(cs->lpCreateParams));
  });
}

void AttachListToCombo(HWND list, HWND combo) {
  if (auto* box = ctl::Object<TListBox>(list)) box->AttachCombo(combo);
}

}  // namespace ctl

void RegisterListBoxClass() {
  ctl::RegisterControlClass(WC_LISTBOX, &Proc, CS_DBLCLKS, clNone);
}

}  // namespace vm
