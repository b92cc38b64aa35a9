// The pictures of pop-up menus: the menu's background with border, icon band
// and extra line (made once per menu), and its items painted over it.
//
// Coordinates: an item's rectangle is in the menu window's client area, which
// lies 3 pixels inside the window (the platform's dialog frame), while the
// background picture has the whole window's size; so an item reads the
// background 3 pixels right and down of its own place.
#include <algorithm>

#include "platform/gfx/SysColors.h"
#include "skin/controls/MenuWindow.h"
#include "skin/controls/SkinableMenus.h"
#include "skin/data/SkinCommands.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/SkinText.h"
#include "skin/paint/pixels/CanvasOps.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/PixelOps.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Canvas.h"
#include "toolkit/Menu.h"
#include "toolkit/MenuItem.h"
#include "toolkit/ShortCut.h"

namespace vm {

namespace {

// The client area of a menu window lies this far inside the window.
constexpr int ClientInset = 3;
constexpr TColor Magenta = 0xFF00FF;

bool IsMenuWindow(HWND h) {
  return h && IsWindow(h) && GetClassName(h) == "#32768";
}

// The visible items of a menu in order (the platform's positions).
std::vector<tk::TMenuItem*> VisibleItems(tk::TMenuItem* parent) {
  std::vector<tk::TMenuItem*> v;
  if (parent)
    for (int k = 0; k < parent->Count(); ++k)
      if (parent->Items(k)->Visible()) v.push_back(parent->Items(k));
  return v;
}

UINT TypeAt(tk::TMenuItem* parent, std::size_t pos) {
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE;
  if (!GetMenuItemInfo(parent->Handle(), UINT(pos), true, &info)) return 0;
  return info.fType;
}

bool BreaksAt(tk::TMenuItem* parent, std::size_t pos) {
  return pos > 0 && (TypeAt(parent, pos) & (MFT_MENUBREAK | MFT_MENUBARBREAK));
}

// Copies a piece of the background into a window's context (window coordinates).
void CopyToWindow(HWND window, const TBitmap& bg, const TRect& r) {
  if (r.IsEmpty()) return;
  TScopedDC dc(window, true);
  if (dc.Dc()) dc.Dc()->BitBlt(r.Left, r.Top, r.Width(), r.Height(), bg, r.Left, r.Top, SRCCOPY);
}

// The text of a title item: the first part of its caption between "-"
// characters ("-Вид-" shows "Вид").
std::string TitleText(const std::string& caption) {
  std::size_t from = caption.find_first_not_of('-');
  if (from == std::string::npos) return {};
  std::size_t to = caption.find('-', from);
  return caption.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

}  // namespace

TsSkinableMenus::TPopupCache& TsSkinableMenus::PopupCache() {
  static TPopupCache cache;
  return cache;
}

void TsSkinableMenus::DropPopupCache() {
  PopupCache() = TPopupCache{};
}

// ---------------------------------------------------------------- without skin

bool TsSkinableMenus::SkinActive() const {
  TsSkinManager* m = PaintManager(manager_);
  return m && m->SkinData.Active;
}

void TsSkinableMenus::PaintPlainItem(tk::TMenuItem* item, TDC& dc, const TRect& r, unsigned state,
                                     bool bar) {
  // A hooked menu shown while no skin is active keeps a usable plain look.
  TDCSaver save(dc);
  const bool selected = (state & ODS_SELECTED) != 0;
  const bool disabled = !item->Enabled() || (state & (ODS_GRAYED | ODS_DISABLED));
  dc.FillRect(r, GetSysColor(selected && !bar ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (KindOf(item) == smDivider) {
    const int y = r.Top + r.Height() / 2 - 1;
    dc.FillRect(TRect{r.Left + 1, y, r.Right - 1, y + 1}, GetSysColor(COLOR_BTNSHADOW));
    dc.FillRect(TRect{r.Left + 1, y + 1, r.Right - 1, y + 2}, GetSysColor(COLOR_BTNHIGHLIGHT));
    return;
  }
  dc.SelectFont(ItemFont(item));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(disabled           ? GetSysColor(COLOR_GRAYTEXT)
                  : selected && !bar ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                     : GetSysColor(COLOR_MENUTEXT));
  const std::uint32_t format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS |
                               ((state & ODS_NOACCEL) ? std::uint32_t(DT_HIDEPREFIX) : 0u);
  if (bar) {
    TRect t = r;
    dc.DrawText(item->Caption(), t, format | DT_CENTER);
    return;
  }
  const int gw = GlyphSizeOf(item).cx;
  TRect t{r.Left + gw + 2 * Margin + Spacing, r.Top, r.Right, r.Bottom};
  dc.DrawText(KindOf(item) == smCaption ? TitleText(item->Caption()) : item->Caption(), t,
              format | DT_LEFT);
  const std::string shortcut = ShortCutToText(item->ShortCut());
  TRect sr{r.Left, r.Top, r.Right - 8, r.Bottom};
  if (!shortcut.empty()) dc.DrawText(shortcut, sr, format | DT_RIGHT | DT_NOPREFIX);
}

// ---------------------------------------------------------------- background

void TsSkinableMenus::PaintExtraLine(TBitmap& bg, int e, int sb) {
  TsSkinManager* m = PaintManager(manager_);
  TPopupCache& c = PopupCache();
  const int section = m->FindSectionIndex(c.ExtraSection);
  const int bandHeight = bg.Height() - 2 * sb;
  if (!m->IsValidSectionIndex(section) || e <= 0 || bandHeight <= 0) return;
  TBitmap band(e, bandHeight);
  PaintSectionItem(section, c.ExtraSection, BackgroundInfo{}, -1, -1, m, band, TPoint{0, 0},
                   TRect{0, 0, e, bandHeight}, 0, true);
  int textStart = 12;
  if (c.ExtraGlyph) {
    const TBitmap& g = *c.ExtraGlyph;
    CopyBitmapWithKey(band, g, (e - g.Width()) / 2, bandHeight - 12 - g.Height(),
                      g.GetPixel(0, g.Height() - 1));
    textStart = g.Height() + 20;
  }
  if (!c.ExtraText.empty()) {
    // The text reads upward from near the band's bottom: it is written across
    // the band turned a quarter clockwise, which is then turned back.
    TBitmap across(bandHeight, e);
    TurnClockwise(band, across);
    {
      TDC dc(across);
      const TnxFontSpec& f = manager_->MenuSupport().ExtraLineFont;
      dc.SelectFont(
          TFont::Get(TFontDesc{f.Name, f.Height, false, f.Italic, f.Underline, f.StrikeOut}));
      WriteSectionText(dc, c.ExtraText, true, m, false, section,
                       DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_NOCLIP,
                       TRect{textStart, 0, bandHeight, e});
    }
    TurnCounterClockwise(across, band);
  }
  TDC dc(bg);
  dc.BitBlt(sb, sb, e, bandHeight, band, 0, 0, SRCCOPY);
}

void TsSkinableMenus::MakeBackground(tk::TMenuItem* item, HWND window) {
  TsSkinManager* m = PaintManager(manager_);
  TPopupCache& c = PopupCache();
  TSize size;
  TRect wr;
  if (window && GetWindowRect(window, &wr))
    size = {wr.Width(), wr.Height()};
  else
    size = PopupMenuSize(item->Parent());
  size.cx = std::max(size.cx, 1);
  size.cy = std::max(size.cy, 1);
  c.Background = std::make_unique<TBitmap>(size.cx, size.cy);
  c.Window = window;
  c.Corners.clear();
  // The glyph column is the first item's.
  tk::TMenuItem* first = item->Parent() ? item->Parent()->Items(0) : item;
  c.GlyphWidth = GlyphSizeOf(first).cx;
  c.GlyphColumn = Margin + c.GlyphWidth + Spacing;
  TBitmap& bg = *c.Background;
  const int mainMenu = m ? m->FindSectionIndex("MAINMENU") : -1;
  if (!m || !m->IsValidSectionIndex(mainMenu)) {
    // No skin for menus: a plain face, so the items have something behind them.
    TDC dc(bg);
    dc.FillRect(TRect{0, 0, size.cx, size.cy}, GetSysColor(COLOR_MENU));
    return;
  }
  PaintSectionItem(mainMenu, "MAINMENU", BackgroundInfo{}, -1, -1, m, bg, TPoint{0, 0},
                   TRect{0, 0, size.cx, size.cy}, 0, true);
  const int sb = SkinBorderWidth();
  const int e = ExtraLineWidth();
  if (e > 0) PaintExtraLine(bg, e, sb);
  const std::string& icoLine = manager_->MenuSupport().IcoLineSkin;
  const int icoSection = icoLine.empty() ? -1 : m->FindSectionIndex(icoLine);
  const int bandHeight = size.cy - 2 * sb;
  if (m->IsValidSectionIndex(icoSection) && c.GlyphColumn > 0 && bandHeight > 0) {
    TBitmap band(c.GlyphColumn, bandHeight);
    PaintSectionItem(icoSection, icoLine, BackgroundInfo{}, -1, -1, m, band, TPoint{0, 0},
                     TRect{0, 0, c.GlyphColumn, bandHeight}, 0, true);
    TDC dc(bg);
    dc.BitBlt(e + sb, sb, c.GlyphColumn, bandHeight, band, 0, 0, SRCCOPY);
  }
  const int border = m->FindMaskIndex(mainMenu, "MAINMENU", "BORDERSMASK");
  if (m->IsValidMaskIndex(border)) {
    const TsMaskData& mask = m->ma[std::size_t(border)];
    CollectKeyRuns(c.Corners, size.cx, mask, false, 0);
    CollectKeyRuns(c.Corners, size.cx, mask, true, size.cy - m->MaskBorderBottom(border));
  }
  if (!window) return;
  TsMenuWindow::Attach(window);
  // A window skinned by another layer (it answers command 8) keeps its shape.
  if (SendMessage(window, SM_NIRVEXCMD, MakeSkinCommand(CmdSetPaintSuspended), 0) != 0) return;
  SendMessage(window, SM_NIRVEXCMD, MakeSkinCommand(14), 0);
  if (c.Corners.empty()) return;
  TRegion region(TRect{0, 0, size.cx, size.cy});
  for (const TRect& r : c.Corners) region.Subtract(r);
  SetWindowRgn(window, &region, false);
}

// ---------------------------------------------------------------- items

void TsSkinableMenus::CopyBorderStrips(tk::TMenuItem* item, HWND window, const TRect& r, int e) {
  const TBitmap& bg = *PopupCache().Background;
  const int w = bg.Width(), h = bg.Height();
  std::vector<tk::TMenuItem*> items = VisibleItems(item->Parent());
  if (!items.empty() && items.front() == item) CopyToWindow(window, bg, {0, 0, w, BorderWidth});
  if (!items.empty() && items.back() == item) CopyToWindow(window, bg, {0, h - BorderWidth, w, h});
  const int top = r.Top + ClientInset, bottom = r.Bottom + ClientInset;
  const int left = e + std::max(BorderWidth, SkinBorderWidth());
  CopyToWindow(window, bg, {0, top, left, bottom});
  CopyToWindow(window, bg, {w - BorderWidth, top, w, bottom});
}

void TsSkinableMenus::PaintSeparator(TDC& dc, const TRect& r, int e) {
  TsSkinManager* m = PaintManager(manager_);
  const TPopupCache& c = PopupCache();
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  TBitmap picture(w, h);
  {
    TDC pd(picture);
    pd.BitBlt(0, 0, w, h, *c.Background, r.Left + ClientInset, r.Top + ClientInset, SRCCOPY);
  }
  int mask = m ? m->FindMaskIndex(m->FindSectionIndex("DIVIDERV"), "DIVIDERV", "BORDERSMASK") : -1;
  if (m && !m->IsValidMaskIndex(mask))
    mask = m->FindMaskIndex(m->FindSectionIndex("TRACKBAR"), "TRACKBAR", "SLIDERCHANNEL");
  if (m && m->IsValidMaskIndex(mask)) {
    const int x0 = std::max(e + Margin + Spacing, e + c.GlyphColumn + 2);
    const int x1 = w - (e + 2 * Margin + Spacing);
    if (x1 > x0)
      PaintNinePart(
          picture, TRect{x0, 0, x1, h}, true, true, 0, m->ma[std::size_t(mask)],
          BackgroundInfo{c.Background.get(), r.Left + ClientInset + x0, r.Top + ClientInset, 1});
  } else {
    TDC pd(picture);
    TRect frame{0, 0, w, h};
    int width = 1;
    Paint3DFrame(pd, frame, RGB(128, 128, 128), RGB(255, 255, 255), width);
  }
  dc.BitBlt(r.Left, r.Top, w, h, picture, 0, 0, SRCCOPY);
}

void TsSkinableMenus::PaintTitle(tk::TMenuItem* item, TDC& dc, const TRect& r, int e,
                                 unsigned state) {
  TsSkinManager* m = PaintManager(manager_);
  const TPopupCache& c = PopupCache();
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  TBitmap picture(w, h);
  {
    TDC pd(picture);
    pd.BitBlt(0, 0, w, h, *c.Background, r.Left + ClientInset, r.Top + ClientInset, SRCCOPY);
  }
  const int toolbar = m ? m->FindSectionIndex("TOOLBAR") : -1;
  if (m && w - 1 > e + 1 && h > 2)
    PaintSectionItem(
        toolbar, "TOOLBAR",
        BackgroundInfo{c.Background.get(), r.Left + ClientInset, r.Top + ClientInset, 1}, -1, -1, m,
        picture, TPoint{0, 0}, TRect{e + 1, 1, w - 1, h - 1}, 0, true);
  {
    TDC pd(picture);
    pd.SelectFont(TFont::Get(CaptionFont));
    WriteSectionText(pd, TitleText(item->Caption()), true, m, false, toolbar,
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, TRect{e, 0, w, h});
  }
  CallOnDrawItem(item, picture, smCaption, state, TRect{0, 0, w, h});
  dc.BitBlt(r.Left, r.Top, w, h, picture, 0, 0, SRCCOPY);
}

void TsSkinableMenus::PaintNormal(tk::TMenuItem* item, TDC& dc, const TRect& r, int e,
                                  unsigned state, HWND window) {
  TsSkinManager* m = PaintManager(manager_);
  const TPopupCache& c = PopupCache();
  const TBitmap& bg = *c.Background;
  const int w = r.Width() - e, h = r.Height();
  if (w <= 0 || h <= 0) return;
  const bool enabled = item->Enabled() && !(state & (ODS_GRAYED | ODS_DISABLED));
  const bool selected = (state & ODS_SELECTED) && enabled;
  const bool hot = enabled && (state & (ODS_SELECTED | ODS_HOTLIGHT));
  // The background under the item's picture.
  const int bx = r.Left + e + ClientInset, by = r.Top + ClientInset;

  // a. The rest of a column below its last item, and the divider left of a
  //    column's first item, come from the background.
  std::vector<tk::TMenuItem*> items = VisibleItems(item->Parent());
  const auto at = std::find(items.begin(), items.end(), item);
  const std::size_t pos = std::size_t(at - items.begin());
  const bool nextBreaks = pos + 1 < items.size() && BreaksAt(item->Parent(), pos + 1);
  const bool last = pos + 1 == items.size();
  const int columnBottom = bg.Height() - 2 * ClientInset;
  if ((nextBreaks || (last && r.Bottom < columnBottom - 6)) && r.Bottom < columnBottom)
    dc.BitBlt(r.Left, r.Bottom, r.Width(), columnBottom - r.Bottom, bg, r.Left + ClientInset,
              r.Bottom + ClientInset, SRCCOPY);
  // The divider runs the menu's whole height: nothing else paints the gap
  // beside a shorter column (the window's erasing is suppressed).
  if (BreaksAt(item->Parent(), pos) && r.Left >= 4)
    dc.BitBlt(r.Left - 4, 0, 4, columnBottom, bg, r.Left - 4 + ClientInset, ClientInset, SRCCOPY);

  TBitmap picture(w, h);
  {
    TDC pd(picture);
    pd.BitBlt(0, 0, w, h, bg, bx, by, SRCCOPY);
  }
  // b. The item's face.
  const int section = m ? m->FindSectionIndex("MENUITEM") : -1;
  if (m)
    PaintSectionItem(section, "MENUITEM", BackgroundInfo{&bg, bx, by, 1}, -1, -1, m, picture,
                     TPoint{0, 0}, TRect{0, 0, w, h}, selected ? 1 : 0, true);
  // c. The check mark.
  if (item->Checked() && m) {
    const int global = m->FindSectionIndex("GLOBALINFO");
    int mask = -1;
    if (item->RadioItem()) {
      mask = m->FindMaskIndex(global, "GLOBALINFO", "RADIOCHECKED");
    } else {
      mask = m->FindMaskIndex(global, "GLOBALINFO", "CHECK");
      if (!m->IsValidMaskIndex(mask)) mask = m->FindMaskIndex(global, "GLOBALINFO", "BOXCHECKED");
    }
    if (m->IsValidMaskIndex(mask)) {
      const TSize ms = m->MaskStateSize(mask);
      PaintStateImage(picture, TPoint{Margin, (h - ms.cy) / 2}, selected ? 1 : 0,
                      m->ma[std::size_t(mask)]);
    }
  }
  // d. The item's own glyph.
  tk::TMenu* menu = item->GetParentMenu();
  const bool hasGlyph = (item->Bitmap() && !item->Bitmap()->Empty()) ||
                        (menu && menu->Images() && item->ImageIndex() >= 0);
  if (hasGlyph) {
    const TSize g = GlyphSizeOf(item);
    DrawGlyph(item, picture, (h - g.cy) / 2, (h - g.cy) / 2, enabled);
  }
  // e, f. Caption and shortcut in the item's colours.
  {
    TDC pd(picture);
    pd.SelectFont(ItemFont(item));
    std::string caption = item->Caption();
    int align = Alignment == taRightJustify ? alignRight
                : Alignment == taCenter     ? alignCentre
                                            : alignLeft;
    if (!caption.empty() && caption.front() == '\b') {
      caption = caption.substr(1) + "      ";
      align = alignRight;
    }
    std::uint32_t format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOCLIP |
                           (align == alignRight    ? DT_RIGHT
                            : align == alignCentre ? DT_CENTER
                                                   : DT_LEFT);
    if (state & ODS_NOACCEL) format |= DT_HIDEPREFIX;
    const int textLeft = c.GlyphWidth + 2 * Margin + Spacing;
    const TRect text{textLeft, 0, std::max(textLeft, w - c.GlyphWidth - Margin), h};
    WriteSectionText(pd, caption, true, m, hot, section, format, text);
    const std::string shortcut = ShortCutToText(item->ShortCut());
    if (!shortcut.empty())
      WriteSectionText(pd, shortcut, true, m, hot, section,
                       DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP,
                       TRect{0, 0, w - 8, h});
  }
  // g. The program's own additions.
  CallOnDrawItem(item, picture, smNormal, state, TRect{0, 0, w, h});
  // h. A disabled item fades toward the menu's background.
  if (!enabled)
    BlendBitmapRect(picture, 0, 0, Magenta, 0.4, TRect{bx, by, bx + w - 1, by + h - 1}, bg);
  // i.
  dc.BitBlt(r.Left + e, r.Top, w, h, picture, 0, 0, SRCCOPY);
  // j. The extra line beside the first item.
  if (e > 0 && window && pos == 0) {
    const int sb = SkinBorderWidth();
    CopyToWindow(window, bg, {sb, sb, sb + e, bg.Height() - sb});
  }
}

void TsSkinableMenus::PopupDraw(tk::TMenuItem* item, tk::TCanvas* canvas, const TRect& rect,
                                unsigned state) {
  HDC dc = canvas ? canvas->Handle() : nullptr;
  if (!dc || !item->Parent()) return;
  if (!SkinActive()) return PaintPlainItem(item, *dc, rect, state, false);
  HWND window = WindowFromDC(dc);
  if (!IsMenuWindow(window)) window = nullptr;
  EnterMenu(item);
  TPopupCache& c = PopupCache();
  if (!c.Background || (window && c.Window != window)) MakeBackground(item, window);
  if (!c.Background) return;
  const int e = InFirstColumn(item) ? ExtraLineWidth() : 0;
  if (window) CopyBorderStrips(item, window, rect, e);
  {
    TDCSaver save(*dc);
    switch (KindOf(item)) {
      case smDivider:
        PaintSeparator(*dc, rect, e);
        return;
      case smCaption:
        PaintTitle(item, *dc, rect, e, state);
        return;
      default:
        PaintNormal(item, *dc, rect, e, state, window);
        break;
    }
  }
  // The menu draws an item's sub-menu arrow in the text colour left in the
  // DC: leave the item's own, so the arrow matches its caption.
  TsSkinManager* m = PaintManager(manager_);
  const bool enabled = item->Enabled() && !(state & (ODS_GRAYED | ODS_DISABLED));
  const bool hot = enabled && (state & (ODS_SELECTED | ODS_HOTLIGHT));
  const TColor ink = SectionTextColors(m, m->FindSectionIndex("MENUITEM"), enabled, hot).Main;
  if (ink != clNoContour) dc->SetTextColor(ink);
}

}  // namespace vm
