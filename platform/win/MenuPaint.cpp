// Measuring and painting menus in the plain classic look: the menu bar in a
// window's non-client area and the items of a pop-up menu window.
#include <algorithm>

#include "platform/gfx/ClassicDraw.h"
#include "platform/gfx/SysColors.h"
#include "platform/win/MenuState.h"
#include "platform/win/MenuTracker.h"
#include "platform/win/WindowSystem.h"

namespace vm {

namespace {

// Pop-up item geometry, in pixels.
constexpr int TextLeft = 20;     // the check column is left of it
constexpr int TabGap = 24;       // between the widest label and the shortcut column
constexpr int RightMargin = 20;  // room for the sub-menu arrow
constexpr int BarItemPad = 6;    // each side of a bar item's text
constexpr int ColumnGap = 4;     // between the columns of a menu with breaks

std::shared_ptr<const TFont> MenuFont(bool bold) {
  NONCLIENTMETRICS ncm;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0);
  TFontDesc d = ncm.lfMenuFont;
  d.Bold = bold;
  return TFont::Get(d);
}

int LabelWidth(const std::shared_ptr<const TFont>& font, const std::string& label) {
  TBitmap scratch(1, 1, TPixelFormat::pf24bit);
  TDC dc(scratch);
  dc.SelectFont(font);
  TRect r{0, 0, 0, 0};
  dc.DrawText(label, r, DT_SINGLELINE | DT_CALCRECT);
  return r.Width();
}

int PopupItemHeight(const std::shared_ptr<const TFont>& font) {
  return std::max(font->Metrics().Height + 4, GetSystemMetrics(SM_CYMENU) - 1);
}

// Owner-drawn items are measured by their window.
TSize MeasureOwnerDrawn(HWND owner, const TMenuItem& it, TSize fallback) {
  MEASUREITEMSTRUCT mis;
  mis.CtlType = ODT_MENU;
  mis.itemID = it.Id;
  mis.itemWidth = UINT(fallback.cx);
  mis.itemHeight = UINT(fallback.cy);
  mis.itemData = it.Data;
  if (owner) SendMessage(owner, WM_MEASUREITEM, 0, LPARAM(&mis));
  return {int(std::min<UINT>(mis.itemWidth, 4096)), int(std::min<UINT>(mis.itemHeight, 4096))};
}

UINT OwnerDrawState(const TMenuItem& it) {
  UINT s = 0;
  if (it.State & MFS_HILITE) s |= ODS_SELECTED;
  if (it.State & MF_GRAYED) s |= ODS_GRAYED;
  if (it.State & MF_DISABLED) s |= ODS_DISABLED;
  if (it.State & MFS_CHECKED) s |= ODS_CHECKED;
  if (it.State & MFS_DEFAULT) s |= ODS_DEFAULT;
  if (!TMenuTracker::ShowCues()) s |= ODS_NOACCEL;
  return s;
}

// Hands an item to its owner to draw; what the owner changes in the DC stays
// until the caller restores it.
void DrawOwnerDrawn(HWND owner, HMENU menu, const TMenuItem& it, TDC& dc) {
  DRAWITEMSTRUCT dis;
  dis.CtlType = ODT_MENU;
  dis.itemID = it.Id;
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = OwnerDrawState(it);
  dis.hwndItem = reinterpret_cast<HWND>(menu);
  dis.hDC = &dc;
  dis.rcItem = it.Rect;
  dis.itemData = it.Data;
  if (owner) SendMessage(owner, WM_DRAWITEM, 0, LPARAM(&dis));
}

void Line(TDC& dc, int x0, int x1, int y, TColor c) {
  if (x1 > x0) dc.FillRect({x0, y, x1, y + 1}, c);
}

// Text in the classic states: normal, selected, and disabled (embossed when
// not selected, plain grey on the selection).
void MenuText(TDC& dc, const std::string& text, TRect r, UINT format, bool selected, bool disabled,
              TColor normal) {
  dc.SetBkMode(TRANSPARENT);
  if (!TMenuTracker::ShowCues()) format |= DT_HIDEPREFIX;
  if (disabled && !selected) {
    TRect shadow = r.Offset(1, 1);
    dc.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    dc.DrawText(text, shadow, format);
    dc.SetTextColor(GetSysColor(COLOR_BTNSHADOW));
    dc.DrawText(text, r, format);
    return;
  }
  dc.SetTextColor(disabled   ? GetSysColor(COLOR_GRAYTEXT)
                  : selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                             : normal);
  dc.DrawText(text, r, format);
}

// A check mark 7 pixels wide, three rows thick, centred on (cx, cy).
void CheckMark(TDC& dc, int cx, int cy, TColor c) {
  int x = cx - 3, y = cy - 1;
  for (int i = 0; i < 7; ++i) {
    int dy = i < 3 ? i : 4 - i;  // down two, then up four
    dc.FillRect({x + i, y + dy, x + i + 1, y + dy + 3}, c);
  }
}

// A round bullet 6 pixels across.
void Bullet(TDC& dc, int cx, int cy, TColor c) {
  static constexpr int span[6][2] = {{2, 4}, {1, 5}, {0, 6}, {0, 6}, {1, 5}, {2, 4}};
  for (int row = 0; row < 6; ++row)
    dc.FillRect({cx - 3 + span[row][0], cy - 3 + row, cx - 3 + span[row][1], cy - 2 + row}, c);
}

// A solid triangle pointing right, 4 wide and 7 high, its tip at (x + 3, cy).
void Arrow(TDC& dc, int x, int cy, TColor c) {
  for (int i = 0; i < 4; ++i) dc.FillRect({x + i, cy - 3 + i, x + i + 1, cy + 4 - i}, c);
}

// The sub-menu arrow at an item's right edge; embossed like the text on a
// disabled item that is not selected.
void SubMenuArrow(TDC& dc, const TRect& r, TColor ink, bool embossed) {
  int cy = r.Top + r.Height() / 2;
  if (embossed) {
    Arrow(dc, r.Right - 12 + 1, cy + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    ink = GetSysColor(COLOR_BTNSHADOW);
  }
  Arrow(dc, r.Right - 12, cy, ink);
}

// The classic text colour of a pop-up item in its state.
TColor PopupItemInk(const TMenuItem& it) {
  if (it.State & MF_GRAYED) return GetSysColor(COLOR_GRAYTEXT);
  if (it.State & MFS_HILITE) return GetSysColor(COLOR_HIGHLIGHTTEXT);
  return GetSysColor(COLOR_MENUTEXT);
}

// An owner-drawn pop-up item. The owner gets the item's classic text colour
// in the DC; an item with a sub-menu then gets its arrow over what the owner
// drew, in the text colour the owner left in the DC and clipped by what the
// owner left of the clipping region, so an owner that draws an arrow of its
// own excludes that place and keeps it.
void DrawOwnerDrawnPopupItem(HWND owner, HMENU menu, const TMenuItem& it, TDC& dc) {
  TDCSaver save(dc);
  dc.SetTextColor(PopupItemInk(it));
  DrawOwnerDrawn(owner, menu, it, dc);
  if (it.SubMenu && !(it.Type & MFT_SEPARATOR)) SubMenuArrow(dc, it.Rect, dc.TextColor(), false);
}

}  // namespace

// ---------------------------------------------------------------- the bar

int LayoutMenuBar(TMenu* bar, HWND hwnd, const TRect& barRect) {
  int itemH = GetSystemMetrics(SM_CYMENU) - 1;
  if (!bar || bar->Items.empty()) return itemH + 1;
  auto font = MenuFont(false);
  int x = barRect.Left, y = barRect.Top;
  std::size_t rowStart = 0;
  auto justifyRow = [&](std::size_t from, std::size_t to) {
    // Items from the first right-justified one on go to the row's right end.
    for (std::size_t i = from; i < to; ++i) {
      if (!(bar->Items[i].Type & MFT_RIGHTJUSTIFY)) continue;
      int shift = barRect.Right - bar->Items[to - 1].Rect.Right;
      if (shift > 0)
        for (std::size_t k = i; k < to; ++k)
          bar->Items[k].Rect = bar->Items[k].Rect.Offset(shift, 0);
      break;
    }
  };
  for (std::size_t i = 0; i < bar->Items.size(); ++i) {
    TMenuItem& it = bar->Items[i];
    int w;
    int h = itemH;
    if (it.Type & MFT_SEPARATOR) {
      w = BarItemPad;
    } else if (it.Type & MFT_OWNERDRAW) {
      TSize s = MeasureOwnerDrawn(hwnd, it, {BarItemPad * 2, itemH});
      w = s.cx;
      h = std::max(s.cy, 1);
    } else {
      w = LabelWidth(font, MenuLabel(it.Text)) + 2 * BarItemPad;
    }
    bool wrap = x > barRect.Left &&
                (x + w > barRect.Right || (it.Type & (MFT_MENUBREAK | MFT_MENUBARBREAK)));
    if (wrap) {
      justifyRow(rowStart, i);
      rowStart = i;
      x = barRect.Left;
      y += itemH;
    }
    it.Rect = {x, y, std::min(x + w, std::max(barRect.Right, x + 1)), y + h};
    x += w;
  }
  justifyRow(rowStart, bar->Items.size());
  int bottom = y + itemH;
  for (const TMenuItem& it : bar->Items) bottom = std::max(bottom, it.Rect.Bottom);
  return bottom - barRect.Top + 1;  // a line below the last row
}

int MenuBarHeightFor(HMENU barHandle, HWND hwnd, int width) {
  TMenu* bar = TMenuSystem::Get().Find(barHandle);
  if (!bar) return 0;
  // Laid out where the bar lies, so the item rectangles stay right for hit testing.
  TFrameMetrics m = FrameMetrics(DWORD(GetWindowLongPtr(hwnd, GWL_STYLE)),
                                 DWORD(GetWindowLongPtr(hwnd, GWL_EXSTYLE)));
  int top = m.Border + m.Caption;
  return LayoutMenuBar(bar, hwnd, {m.Border, top, m.Border + std::max(width, 1), top});
}

TRect MenuBarRect(const TWnd* w) {
  if (!w || w->IsChild() || (w->Style & WS_CHILD)) return {};
  auto it = TMenuSystem::Get().Bars.find(w->Handle);
  if (it == TMenuSystem::Get().Bars.end()) return {};
  TFrameMetrics m = FrameMetrics(w->Style, w->ExStyle);
  int top = m.Border + m.Caption;
  int width = w->Width() - 2 * m.Border;
  int h = MenuBarHeightFor(it->second, w->Handle, width);
  return {m.Border, top, m.Border + std::max(width, 0), std::min(top + h, w->Height())};
}

void PaintMenuBar(const TWnd* w, TDC& dc) {
  TRect bar = MenuBarRect(w);
  if (bar.IsEmpty()) return;
  TMenu* menu = TMenuSystem::Get().Find(TMenuSystem::Get().Bars[w->Handle]);
  if (!menu) return;
  LayoutMenuBar(menu, w->Handle, bar);
  TDCSaver save(dc);
  dc.IntersectClipRect(bar);
  dc.FillRect(bar, GetSysColor(COLOR_MENU));
  dc.SelectFont(MenuFont(false));
  for (std::size_t i = 0; i < menu->Items.size(); ++i) {
    const TMenuItem& it = menu->Items[i];
    if (it.Type & MFT_SEPARATOR) continue;
    if (it.Type & MFT_OWNERDRAW) {
      TDCSaver saveItem(dc);
      DrawOwnerDrawn(w->Handle, menu->Handle, it, dc);
      continue;
    }
    bool hot = (it.State & MFS_HILITE) != 0;
    bool disabled = (it.State & MF_GRAYED) != 0;
    if (hot) {
      // Pressed while its drop-down shows, raised while only selected.
      if (MenuBarItemOpen(menu->Handle, int(i)))
        Draw3DRing(&dc, it.Rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
      else
        Draw3DRing(&dc, it.Rect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    }
    TRect tr = it.Rect;
    if (hot && MenuBarItemOpen(menu->Handle, int(i))) tr = tr.Offset(1, 1);
    dc.SelectFont(MenuFont((it.State & MFS_DEFAULT) != 0));
    MenuText(dc, MenuLabel(it.Text), tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE, false, disabled,
             GetSysColor(COLOR_MENUTEXT));
  }
}

// ---------------------------------------------------------------- pop-up menus

void LayoutPopupMenu(TMenu* menu, HWND owner) {
  if (!menu) return;
  auto font = MenuFont(false);
  auto bold = MenuFont(true);
  int itemH = PopupItemHeight(font);
  int sepH = GetSystemMetrics(SM_CYMENU) / 2;
  // Columns start at items that break the menu; each column has the width of
  // its widest item and its own shortcut column.
  std::size_t n = menu->Items.size();
  std::vector<std::size_t> starts{0};
  for (std::size_t i = 1; i < n; ++i)
    if (menu->Items[i].Type & (MFT_MENUBREAK | MFT_MENUBARBREAK)) starts.push_back(i);
  starts.push_back(n);
  int x = 0, height = 0;
  for (std::size_t c = 0; c + 1 < starts.size(); ++c) {
    int labelW = 0, shortcutW = 0, ownerW = 0;
    std::vector<int> heights;
    for (std::size_t i = starts[c]; i < starts[c + 1]; ++i) {
      TMenuItem& it = menu->Items[i];
      int h = itemH;
      if (it.Type & MFT_OWNERDRAW) {
        // Owner-drawn separators are measured by their owner too.
        TSize s = MeasureOwnerDrawn(owner, it, {0, (it.Type & MFT_SEPARATOR) ? sepH : itemH});
        ownerW = std::max(ownerW, s.cx);
        h = s.cy;
      } else if (it.Type & MFT_SEPARATOR) {
        h = sepH;
      } else {
        const auto& f = (it.State & MFS_DEFAULT) ? bold : font;
        labelW = std::max(labelW, LabelWidth(f, MenuLabel(it.Text)));
        std::string sc = MenuShortcut(it.Text);
        if (!sc.empty()) shortcutW = std::max(shortcutW, LabelWidth(f, sc));
      }
      heights.push_back(h);
    }
    int tab = TextLeft + labelW + (shortcutW ? TabGap : 0);
    int width = std::max(tab + shortcutW + RightMargin, ownerW);
    int y = 0;
    for (std::size_t i = starts[c]; i < starts[c + 1]; ++i) {
      int h = heights[i - starts[c]];
      menu->Items[i].Rect = {x, y, x + width, y + h};
      menu->Items[i].Tab = tab;
      y += h;
    }
    height = std::max(height, y);
    x += width + (c + 2 < starts.size() ? ColumnGap : 0);
  }
  menu->Size = {std::max(x, 1), std::max(height, 1)};
}

void PaintPopupMenuItems(TMenu* menu, HWND owner, TDC& dc) {
  if (!menu) return;
  auto font = MenuFont(false);
  for (std::size_t i = 0; i < menu->Items.size(); ++i) {
    const TMenuItem& it = menu->Items[i];
    const TRect& r = it.Rect;
    if (!dc.RectVisible(r)) continue;
    if ((it.Type & MFT_MENUBARBREAK) && i > 0 && !(it.Type & MFT_OWNERDRAW)) {
      // A column break with a bar: an etched vertical line in the gap.
      int x = r.Left - ColumnGap / 2 - 1;
      dc.FillRect({x, 0, x + 1, menu->Size.cy}, GetSysColor(COLOR_BTNSHADOW));
      dc.FillRect({x + 1, 0, x + 2, menu->Size.cy}, GetSysColor(COLOR_BTNHIGHLIGHT));
    }
    if (it.Type & MFT_OWNERDRAW) {
      DrawOwnerDrawnPopupItem(owner, menu->Handle, it, dc);
      continue;
    }
    dc.FillRect(r, GetSysColor(COLOR_MENU));
    if (it.Type & MFT_SEPARATOR) {
      int y = r.Top + r.Height() / 2 - 1;
      Line(dc, r.Left + 1, r.Right - 1, y, GetSysColor(COLOR_BTNSHADOW));
      Line(dc, r.Left + 1, r.Right - 1, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
      continue;
    }
    bool selected = (it.State & MFS_HILITE) != 0;
    bool disabled = (it.State & MF_GRAYED) != 0;
    if (selected) dc.FillRect(r, GetSysColor(COLOR_HIGHLIGHT));
    TColor ink = disabled   ? GetSysColor(COLOR_GRAYTEXT)
                 : selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                            : GetSysColor(COLOR_MENUTEXT);
    int cy = r.Top + r.Height() / 2;
    if (it.State & MFS_CHECKED) {
      int cx = r.Left + TextLeft / 2;
      if (disabled && !selected) {
        // Embossed like the text.
        if (it.Type & MFT_RADIOCHECK)
          Bullet(dc, cx + 1, cy + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        else
          CheckMark(dc, cx + 1, cy + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        ink = GetSysColor(COLOR_BTNSHADOW);
      }
      if (it.Type & MFT_RADIOCHECK)
        Bullet(dc, cx, cy, ink);
      else
        CheckMark(dc, cx, cy, ink);
    }
    if (it.SubMenu) SubMenuArrow(dc, r, ink, disabled && !selected);
    dc.SelectFont((it.State & MFS_DEFAULT) ? MenuFont(true) : font);
    UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    TRect label{r.Left + TextLeft, r.Top, r.Right, r.Bottom};
    MenuText(dc, MenuLabel(it.Text), label, format, selected, disabled,
             GetSysColor(COLOR_MENUTEXT));
    std::string sc = MenuShortcut(it.Text);
    if (!sc.empty()) {
      int tab = it.Tab;
      TRect sr{r.Left + tab, r.Top, r.Right, r.Bottom};
      MenuText(dc, sc, sr, format | DT_NOPREFIX, selected, disabled, GetSysColor(COLOR_MENUTEXT));
    }
  }
  // What the items leave uncovered (below a shorter column) is menu colour;
  // a menu with owner-drawn items leaves it to the window's background and
  // its owner, who may paint the whole menu.
  for (const TMenuItem& it : menu->Items)
    if (it.Type & MFT_OWNERDRAW) return;
  TRegion rest(Rect(0, 0, menu->Size.cx, menu->Size.cy));
  for (const TMenuItem& it : menu->Items) rest.Subtract(it.Rect);
  dc.FillRgn(rest, GetSysColor(COLOR_MENU));
}

}  // namespace vm

namespace vm {

bool PaintMenuItems(HMENU menu, HDC dc) {
  TMenu* m = TMenuSystem::Get().Find(menu);
  if (!m || !dc) return false;
  HWND owner = m->Window ? GetWindow(m->Window, GW_OWNER) : nullptr;
  PaintPopupMenuItems(m, owner, *dc);
  return true;
}

}  // namespace vm
