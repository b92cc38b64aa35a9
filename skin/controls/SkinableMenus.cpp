// Hooking of menu items, measuring, the bar items of the menu line, and the
// menu painter's installation. The pop-up menus' pictures are painted in
// SkinableMenusPopup.cpp.
#include "skin/controls/SkinableMenus.h"

#include <algorithm>
#include <cmath>

#include "skin/controls/MenuWindow.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/SkinText.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/WindowAnnouncer.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Canvas.h"
#include "toolkit/Form.h"
#include "toolkit/ImageList.h"
#include "toolkit/MainMenu.h"
#include "toolkit/MenuItem.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/ShortCut.h"

namespace vm {

// The painter's handlers. Each is a type of its own, so that an item's
// handler can be recognised as the painter's (std::function::target) and
// handlers the program gave an item are never taken away.
struct TsMenuHandlers {
  static tk::TMenuItem* Item(TComponent* sender) { return dynamic_cast<tk::TMenuItem*>(sender); }
  struct BarMeasure {
    TsSkinableMenus* Painter;
    void operator()(TComponent* s, tk::TCanvas*, int& w, int& h) const {
      if (tk::TMenuItem* i = Item(s)) Painter->BarMeasure(i, w, h);
    }
  };
  struct BarDraw {
    TsSkinableMenus* Painter;
    void operator()(TComponent* s, tk::TCanvas* c, const TRect& r, tk::TOwnerDrawState st) const {
      if (tk::TMenuItem* i = Item(s)) Painter->BarDraw(i, c, r, st);
    }
  };
  struct PopupMeasure {
    TsSkinableMenus* Painter;
    void operator()(TComponent* s, tk::TCanvas*, int& w, int& h) const {
      if (tk::TMenuItem* i = Item(s)) Painter->PopupMeasure(i, w, h);
    }
  };
  struct PopupDraw {
    TsSkinableMenus* Painter;
    void operator()(TComponent* s, tk::TCanvas* c, const TRect& r, tk::TOwnerDrawState st) const {
      if (tk::TMenuItem* i = Item(s)) Painter->PopupDraw(i, c, r, st);
    }
  };

  template <class H, class F>
  static bool Is(const F& f, const TsSkinableMenus* painter) {
    const H* h = f.template target<H>();
    return h && h->Painter == painter;
  }
};

namespace {

using H = TsMenuHandlers;

std::string StripAmpersands(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      if (i + 1 < s.size() && s[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += s[i];
  }
  return out;
}

// Width of a single line of text with tabs expanded ("&" marks a mnemonic).
int LineWidth(TDC& dc, const std::string& text) {
  if (text.empty()) return 0;
  TRect r{0, 0, 0, 0};
  dc.DrawText(text, r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
  return r.Width();
}

}  // namespace

// ---------------------------------------------------------------- life

TsSkinableMenus::TsSkinableMenus(TsSkinManager* manager) : TComponent(manager), manager_(manager) {
  NONCLIENTMETRICS ncm;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0);
  CaptionFont = ncm.lfMessageFont;
  if (manager_) SetMenuPainter(manager_, this);
}

TsSkinableMenus::~TsSkinableMenus() {
  Destroying();
  if (manager_ && MenuPainter(manager_) == this) SetMenuPainter(manager_, nullptr);
  // No item may keep a handler that calls a freed painter.
  for (tk::TMenu* m : std::set<tk::TMenu*>(hooked_)) HookMenu(m, false);
  DropPopupCache();
}

void TsSkinableMenus::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  // Any component may be reported: compare addresses, never cast.
  for (auto it = hooked_.begin(); it != hooked_.end(); ++it)
    if (static_cast<TComponent*>(*it) == component) {
      hooked_.erase(it);
      break;
    }
}

int TsSkinableMenus::SkinBorderWidth() {
  if (skinBorderWidth_ < 0) {
    TsSkinManager* m = PaintManager(manager_);
    int section = m ? m->FindSectionIndex("MAINMENU") : -1;
    int mask = m && section >= 0 ? m->FindMaskIndex(section, "MAINMENU", "BORDERSMASK") : -1;
    if (!m || !m->IsValidMaskIndex(mask)) return 0;  // read again once the skin has it
    skinBorderWidth_ = m->MaskBorderLeft(mask);
    if (skinBorderWidth_ <= 0) skinBorderWidth_ = 3;
  }
  return skinBorderWidth_;
}

// ---------------------------------------------------------------- hooking

bool TsSkinableMenus::OwnsBarItem(const tk::TMenuItem* item) const {
  return item && H::Is<H::BarDraw>(item->OnAdvancedDrawItem, this);
}

bool TsSkinableMenus::OwnsPopupItem(const tk::TMenuItem* item) const {
  return item && H::Is<H::PopupDraw>(item->OnAdvancedDrawItem, this);
}

void TsSkinableMenus::HookItem(tk::TMenuItem* item, bool on) {
  if (!item) return;
  if (tk::TMenu* menu = item->GetParentMenu(); menu && on && !hooked_.count(menu)) {
    hooked_.insert(menu);
    FreeNotification(menu);
  }
  auto mine = [this](const tk::TMenuItem* i) {
    return H::Is<H::BarMeasure>(i->OnMeasureItem, this) ||
           H::Is<H::PopupMeasure>(i->OnMeasureItem, this) ||
           H::Is<H::BarDraw>(i->OnAdvancedDrawItem, this) ||
           H::Is<H::PopupDraw>(i->OnAdvancedDrawItem, this);
  };
  std::vector<tk::TMenuItem*> stack{item};
  while (!stack.empty()) {
    tk::TMenuItem* i = stack.back();
    stack.pop_back();
    for (int k = 0; k < i->Count(); ++k) stack.push_back(i->Items(k));
    if (!i->Parent()) continue;  // the root stands for the menu itself
    // Take the painter's handlers away first, so that switching between bar
    // and pop-up handlers (or SkinnedPopups) starts from the item's own state.
    if (mine(i)) {
      if (H::Is<H::BarMeasure>(i->OnMeasureItem, this) ||
          H::Is<H::PopupMeasure>(i->OnMeasureItem, this))
        i->OnMeasureItem = nullptr;
      if (H::Is<H::BarDraw>(i->OnAdvancedDrawItem, this) ||
          H::Is<H::PopupDraw>(i->OnAdvancedDrawItem, this))
        i->OnAdvancedDrawItem = nullptr;
    }
    if (!on) continue;
    // Handlers the program gave an item stay: it draws that item itself.
    if (i->OnMeasureItem || i->OnAdvancedDrawItem) continue;
    if (i->IsBarEntry()) {
      i->OnMeasureItem = H::BarMeasure{this};
      i->OnAdvancedDrawItem = H::BarDraw{this};
    } else if (manager_ && manager_->SkinnedPopups()) {
      i->OnMeasureItem = H::PopupMeasure{this};
      i->OnAdvancedDrawItem = H::PopupDraw{this};
    }
  }
}

void TsSkinableMenus::HookMenu(tk::TMenu* menu, bool on) {
  if (!menu) return;
  HookItem(menu->Items(), on);
  if (!on && hooked_.erase(menu)) RemoveFreeNotification(menu);
  // The items change their kind (owner-drawn or not) on the platform.
  menu->Rebuild();
}

void TsSkinableMenus::HookForm(TCustomForm* form, bool on) {
  if (!form) return;
  if (form->Menu()) HookMenu(form->Menu(), on);
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* p = dynamic_cast<tk::TPopupMenu*>(form->Components(i))) HookMenu(p, on);
}

void TsSkinableMenus::Rehook() {
  DropPopupCache();
  for (tk::TMenu* m : std::set<tk::TMenu*>(hooked_)) HookMenu(m, true);
}

// ---------------------------------------------------------------- measuring

TsMenuItemKind TsSkinableMenus::KindOf(const tk::TMenuItem* item) {
  const std::string& c = item->Caption();
  if (c == "-") return smDivider;
  if (c.size() > 1 && c.front() == '-' && c.back() == '-') return smCaption;
  return smNormal;
}

TSize TsSkinableMenus::GlyphSizeOf(tk::TMenuItem* item) {
  if (tk::TBitmap* b = item->Bitmap(); b && !b->Empty()) return {b->Width(), b->Height()};
  if (tk::TMenu* m = item->GetParentMenu(); m && m->Images())
    return {m->Images()->Width(), m->Images()->Height()};
  return {16, 16};
}

std::shared_ptr<const TFont> TsSkinableMenus::ItemFont(const tk::TMenuItem* item) const {
  NONCLIENTMETRICS ncm;
  SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0);
  TFontDesc d = ncm.lfMenuFont;
  if (item && item->Default()) d.Bold = true;
  return TFont::Get(d);
}

int TsSkinableMenus::TextRowHeight(const tk::TMenuItem* item) const {
  TBitmap scratch(1, 1);
  TDC dc(scratch);
  dc.SelectFont(ItemFont(item));
  // 1.25 rows of "W", to the nearest pixel (halves to even).
  return int(std::nearbyint(1.25 * dc.GetTextExtent("W").cy));
}

int TsSkinableMenus::ExtraLineWidth() const {
  if (!manager_ || !manager_->MenuSupport().UseExtraLine || !PopupCache().ExtraShown) return 0;
  return std::max(0, manager_->MenuSupport().ExtraLineWidth);
}

void TsSkinableMenus::EnterMenu(tk::TMenuItem* item) {
  tk::TMenuItem* parent = item ? item->Parent() : nullptr;
  tk::TMenuItem* first = parent ? parent->Items(0) : nullptr;
  if (!first) return;
  TPopupCache& c = PopupCache();
  if (c.FirstItem == first && tk::TMenuItem::FromCommand(c.FirstCommand) == first) return;
  DropPopupCache();
  c.FirstItem = first;
  c.FirstCommand = first->Command();
  // A skin chooser menu (first item "SkinSelectItem") never has an extra line.
  if (first->Name() == "SkinSelectItem") return;
  c.ExtraSection = "EXTRALINE";
  c.ExtraShown = true;
  c.ExtraText = DefaultExtraLineText;
  TBitmap* glyph = nullptr;
  if (manager_ && manager_->OnGetMenuExtraLineData)
    manager_->OnGetMenuExtraLineData(first, c.ExtraSection, c.ExtraText, glyph, c.ExtraShown);
  c.ExtraText.erase(std::remove(c.ExtraText.begin(), c.ExtraText.end(), '&'), c.ExtraText.end());
  if (c.ExtraShown && glyph && !glyph->Empty()) c.ExtraGlyph = std::make_unique<TBitmap>(*glyph);
}

namespace {

// The platform's type bits of an item (column breaks).
UINT PlatformType(tk::TMenuItem* item) {
  tk::TMenuItem* parent = item->Parent();
  if (!parent) return 0;
  UINT pos = 0;
  for (int k = 0; k < parent->Count(); ++k) {
    tk::TMenuItem* s = parent->Items(k);
    if (s == item) break;
    if (s->Visible()) ++pos;
  }
  MENUITEMINFO info;
  info.fMask = MIIM_FTYPE;
  if (!GetMenuItemInfo(parent->Handle(), pos, true, &info)) return 0;
  return info.fType;
}

}  // namespace

bool TsSkinableMenus::StartsColumn(tk::TMenuItem* item) {
  return item->MenuIndex() > 0 && (PlatformType(item) & (MFT_MENUBREAK | MFT_MENUBARBREAK));
}

bool TsSkinableMenus::InFirstColumn(tk::TMenuItem* item) {
  tk::TMenuItem* parent = item->Parent();
  if (!parent) return true;
  for (int k = 0; k < parent->Count(); ++k) {
    tk::TMenuItem* s = parent->Items(k);
    if (s->Visible() && StartsColumn(s)) return false;
    if (s == item) break;
  }
  return true;
}

TSize TsSkinableMenus::MeasurePopupItem(tk::TMenuItem* item) {
  EnterMenu(item);
  const TsMenuItemKind kind = KindOf(item);
  const TSize glyph = GlyphSizeOf(item);
  std::string text;
  if (kind == smCaption)
    text = "-" + item->Caption() + "-";
  else if (kind == smNormal)
    text = item->Caption() + ShortCutToText(item->ShortCut());
  TBitmap scratch(1, 1);
  TDC dc(scratch);
  dc.SelectFont(ItemFont(item));
  const int tw = LineWidth(dc, text);
  int width = 2 * glyph.cx + tw + 3 * Margin + Spacing;
  if (InFirstColumn(item)) width += ExtraLineWidth();
  int height;
  if (kind == smDivider) {
    height = 2;
  } else {
    const int t = int(std::nearbyint(1.25 * dc.GetTextExtent("W").cy));
    height = (kind == smCaption ? t : std::max(t, glyph.cy)) + 2 * Margin;
  }
  return {width, height};
}

TSize TsSkinableMenus::PopupMenuSize(tk::TMenuItem* parent) {
  if (!parent) return {0, 0};
  int width = 0, height = 0, columnWidth = 0, columnHeight = 0;
  bool any = false;
  for (int k = 0; k < parent->Count(); ++k) {
    tk::TMenuItem* i = parent->Items(k);
    if (!i->Visible()) continue;
    if (any && StartsColumn(i)) {
      width += columnWidth + 12 + 4;
      height = std::max(height, columnHeight);
      columnWidth = columnHeight = 0;
    }
    any = true;
    TSize s = MeasurePopupItem(i);
    columnWidth = std::max(columnWidth, s.cx);
    columnHeight += s.cy;
  }
  if (any) width += columnWidth + 12;
  height = std::max(height, columnHeight);
  return {width + 2 * BorderWidth, height + 2 * BorderWidth};
}

void TsSkinableMenus::PopupMeasure(tk::TMenuItem* item, int& width, int& height) {
  TSize s = MeasurePopupItem(item);
  width = s.cx;
  height = s.cy;
}

// ---------------------------------------------------------------- bar items

TSize TsSkinableMenus::MeasureBarItem(tk::TMenuItem* item) {
  if (!item) return {0, 0};
  TBitmap scratch(1, 1);
  TDC dc(scratch);
  dc.SelectFont(ItemFont(item));
  int width = dc.GetTextExtent(StripAmpersands(item->Caption())).cx;
  tk::TMenu* menu = item->GetParentMenu();
  if (menu && menu->Images() && item->ImageIndex() >= 0) width += menu->Images()->Width() + 6;
  // The platform puts no room of its own around owner-drawn bar items: two
  // average characters keep the captions apart, as on the plain menu line.
  width += 2 * dc.GetTextMetrics().AveCharWidth;
  return {width, GetSystemMetrics(SM_CYMENU) - 1};
}

void TsSkinableMenus::BarMeasure(tk::TMenuItem* item, int& width, int& height) {
  TSize s = MeasureBarItem(item);
  width = s.cx;
  height = s.cy;
}

void TsSkinableMenus::DrawBarItem(tk::TMenuItem* item, TBitmap& cache, const TRect& rect,
                                  unsigned state) {
  if (!item || !RectInsideBitmap(cache, rect)) return;
  TsSkinManager* m = PaintManager(manager_);
  if (!m) return;
  const int w = rect.Width(), h = rect.Height();
  const bool enabled = !(state & (ODS_GRAYED | ODS_DISABLED));
  const bool hot = (state & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
  TBitmap picture(w, h);
  {
    TDC pd(picture);
    pd.BitBlt(0, 0, w, h, cache, rect.Left, rect.Top, SRCCOPY);
  }
  const int itemSection = m->FindSectionIndex("MENUITEM");
  PaintSectionItem(itemSection, "MENUITEM", BackgroundInfo{&cache, 0, 0, 1}, -1, -1, m, picture,
                   TPoint{rect.Left, rect.Top}, TRect{0, 0, w, h}, hot ? 1 : 0, true);
  // The glyph, 3 pixels from the left, vertically centred.
  int glyphWidth = 0;
  tk::TMenu* menu = item->GetParentMenu();
  const bool ownBitmap = item->Bitmap() && !item->Bitmap()->Empty();
  if (ownBitmap || (menu && menu->Images() && item->ImageIndex() >= 0)) {
    TSize g = GlyphSizeOf(item);
    glyphWidth = g.cx;
    DrawGlyph(item, picture, 3, (h - g.cy) / 2, enabled);
  }
  {
    TDC pd(picture);
    pd.SelectFont(ItemFont(item));
    TRect text{Margin + glyphWidth, 0, w - Margin + glyphWidth, h};
    std::uint32_t format = DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOCLIP |
                           ((state & ODS_NOACCEL) ? std::uint32_t(DT_HIDEPREFIX) : 0u);
    WriteSectionText(pd, item->Caption(), true, m, enabled && hot, m->FindSectionIndex("MENULINE"),
                     format, text);
  }
  CallOnDrawItem(item, picture, smTopLine, state, TRect{0, 0, w, h});
  // A disabled item shows through to the menu line.
  if (!enabled) MixBitmapRect(picture, cache, 102, TPoint{0, 0}, rect);
  TDC cd(cache);
  cd.BitBlt(rect.Left, rect.Top, w, h, picture, 0, 0, SRCCOPY);
}

void TsSkinableMenus::DrawBarItems(TCustomForm* form, TBitmap& cache) {
  if (!form || !form->Menu() || !form->HandleAllocated()) return;
  HWND window = form->Handle();
  HMENU bar = GetMenu(window);
  tk::TMenuItem* root = form->Menu()->Items();
  if (!bar || !root) return;
  TRect wr;
  if (!GetWindowRect(window, &wr)) return;
  // Mnemonics are underlined while the keyboard works the menus (or always,
  // when the desktop says so).
  bool cues = false;
  SystemParametersInfo(SPI_GETKEYBOARDCUES, 0, &cues, 0);
  cues = cues || GetTrackedMenu() != nullptr;
  UINT pos = 0;
  for (int k = 0; k < root->Count(); ++k) {
    tk::TMenuItem* item = root->Items(k);
    if (!item->Visible()) continue;
    const UINT here = pos++;
    if (!OwnsBarItem(item)) continue;
    TRect r;
    if (!GetMenuItemRect(window, bar, here, &r)) continue;
    r = r.Offset(-wr.Left, -wr.Top);
    const UINT s = GetMenuState(bar, here, MF_BYPOSITION);
    if (s == UINT(-1)) continue;
    unsigned state = 0;
    if (s & MF_HILITE) state |= ODS_SELECTED;
    if (s & MF_GRAYED) state |= ODS_GRAYED;
    if (s & MF_DISABLED) state |= ODS_DISABLED;
    if (s & MF_DEFAULT) state |= ODS_DEFAULT;
    if (!cues) state |= ODS_NOACCEL;
    DrawBarItem(item, cache, r, state);
  }
}

void TsSkinableMenus::BarDraw(tk::TMenuItem* item, tk::TCanvas* canvas, const TRect& rect,
                              unsigned state) {
  // Reached when the platform paints the bar itself (no skinned frame took
  // the menu line): the item is painted over what the platform laid there.
  HDC dc = canvas ? canvas->Handle() : nullptr;
  if (!dc || rect.IsEmpty()) return;
  if (!SkinActive()) return PaintPlainItem(item, *dc, rect, state, true);
  const TRect at = dc->LogicalToBitmap(rect);
  TBitmap picture(rect.Width(), rect.Height());
  {
    TDC pd(picture);
    pd.BitBlt(0, 0, rect.Width(), rect.Height(), dc->Bitmap(), at.Left, at.Top, SRCCOPY);
  }
  DrawBarItem(item, picture, TRect{0, 0, rect.Width(), rect.Height()}, state);
  dc->BitBlt(rect.Left, rect.Top, rect.Width(), rect.Height(), picture, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------- shared

void TsSkinableMenus::DrawGlyph(tk::TMenuItem* item, TBitmap& target, int x, int y, bool enabled) {
  TDC dc(target);
  tk::TCanvas canvas;
  canvas.SetHandle(&dc);
  struct TReset {
    tk::TCanvas& C;
    ~TReset() { C.SetHandle(nullptr); }
  } reset{canvas};
  if (tk::TBitmap* b = item->Bitmap(); b && !b->Empty()) {
    canvas.Draw(x, y, b);
    return;
  }
  tk::TMenu* menu = item->GetParentMenu();
  if (menu && menu->Images() && item->ImageIndex() >= 0 &&
      item->ImageIndex() < menu->Images()->Count())
    menu->Images()->Draw(canvas, x, y, item->ImageIndex(), enabled);
}

void TsSkinableMenus::CallOnDrawItem(tk::TMenuItem* item, TBitmap& picture, TsMenuItemKind kind,
                                     unsigned state, const TRect& rect) {
  if (!OnDrawItem) return;
  TDC dc(picture);
  tk::TCanvas canvas;
  canvas.SetHandle(&dc);
  struct TReset {
    tk::TCanvas& C;
    ~TReset() { C.SetHandle(nullptr); }
  } reset{canvas};
  OnDrawItem(item, &canvas, kind, state, rect);
}

// ---------------------------------------------------------------- installing

namespace {

// The menu layer's part of the hook: a pop-up menu window made while the
// manager skins pop-ups is held at once (the handlers set before run first).
struct TMenuWindowEvent {
  std::function<void(TsSkinManager&, int, WPARAM, LPARAM)> Previous;
  void operator()(TsSkinManager& m, int code, WPARAM w, LPARAM l) const {
    if (Previous) Previous(m, code, w, l);
    if (code != HCBT_CREATEWND || !m.SkinnedPopups() || !m.SkinData.Active) return;
    HWND h = reinterpret_cast<HWND>(w);
    if (IsWindow(h) && GetClassName(h) == "#32768") TsMenuWindow::Attach(h);
  }
};

struct TMenuHookRemoved {
  std::function<void(TsSkinManager&)> Previous;
  void operator()(TsSkinManager& m) const {
    if (Previous) Previous(m);
    TsMenuWindow::DetachAll();
  }
};

}  // namespace

TsSkinableMenus* InstallSkinnedMenus(TsSkinManager& manager, TsWindowAnnouncer* announcer) {
  auto* painter = dynamic_cast<TsSkinableMenus*>(MenuPainter(&manager));
  if (!painter) painter = Create<TsSkinableMenus>(&manager);
  // Joined once: a second manager (or a second call) finds the handlers there.
  if (announcer && !announcer->OnWindowEvent.target<TMenuWindowEvent>())
    announcer->OnWindowEvent = TMenuWindowEvent{announcer->OnWindowEvent};
  if (announcer && !announcer->OnHookRemoved.target<TMenuHookRemoved>())
    announcer->OnHookRemoved = TMenuHookRemoved{announcer->OnHookRemoved};
  return painter;
}

}  // namespace vm
