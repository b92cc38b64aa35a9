// TsSkinableMenus: the skin manager's menu painter.
//
// It makes the platform menus of a form owner-drawn by giving their items its
// own measure and draw handlers, and paints every item from the skin: the
// items of the menu line (into the form frame's cache, on the "MENULINE"
// look), and the pop-up menus: their window's background and border from
// "MAINMENU" with the border's transparent corners cut out of the window, an
// icon band behind the glyph column, an optional vertical extra-line band at
// the left, and the items from "MENUITEM" (separators from "DIVIDERV" or the
// track bar's channel, title items from "TOOLBAR").
//
// A pop-up menu is measured and painted item by item, so what belongs to the
// whole menu (its background picture, the extra line, the glyph column, the
// corner rectangles) is kept in one process-wide cache keyed by the menu's
// first item: only one pop-up menu is painted at a time. The cache is dropped
// when another menu is measured or painted and when the menu window goes.
//
// The painter is made for a skin manager (InstallSkinnedMenus) and registers
// itself as that manager's TsMenuPainter, through which the form frame and the
// window announcer reach it.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"
#include "platform/win/WinApi.h"
#include "skin/state/MenuPainter.h"
#include "toolkit/Component.h"
#include "toolkit/Control.h"

namespace vm {

class TsSkinManager;
class TsWindowAnnouncer;
namespace tk {
class TCanvas;
}

// What an item is drawn as; the kind OnDrawItem is told.
enum TsMenuItemKind { smCaption = 0, smDivider = 1, smNormal = 2, smTopLine = 3 };

// Called after an item is painted, before it reaches the screen: the item,
// a canvas on the item's picture, its kind, its ODS_ state bits and the
// item's rectangle in that picture.
using TsMenuDrawItemEvent =
    std::function<void(tk::TMenuItem* item, tk::TCanvas* canvas, TsMenuItemKind kind,
                       unsigned state, const TRect& rect)>;

class TsSkinableMenus : public TComponent, public TsMenuPainter {
 public:
  // manager owns the painter (it goes with the manager).
  explicit TsSkinableMenus(TsSkinManager* manager);
  ~TsSkinableMenus() override;
  std::string ClassName() const override { return "TsSkinableMenus"; }

  // ---- published properties ----
  int Margin = 2;       // inner margin of items
  int Spacing = 6;      // gap between the glyph column and the caption
  int BorderWidth = 3;  // the pop-up menu's border, in pixels
  int BevelWidth = 0;   // kept for the description; not used in painting
  TAlignment Alignment = taLeftJustify;
  // Font of title items (the platform's default font until set).
  TFontDesc CaptionFont;
  // The border width the skin gives pop-up menus: set it to fix it, or to a
  // negative value to read it from the skin again ("MAINMENU"'s
  // "BORDERSMASK": its border width, 3 when that is 0 or less, 0 without the
  // image).
  int SkinBorderWidth();
  void SetSkinBorderWidth(int value) { skinBorderWidth_ = value; }
  TsMenuDrawItemEvent OnDrawItem;

  TsSkinManager* Manager() const { return manager_; }

  // ---- TsMenuPainter ----
  bool OwnsBarItem(const tk::TMenuItem* item) const override;
  TSize MeasureBarItem(tk::TMenuItem* item) override;
  void DrawBarItem(tk::TMenuItem* item, TBitmap& cache, const TRect& rect, unsigned state) override;
  void DrawBarItems(TCustomForm* form, TBitmap& cache) override;
  bool DrawsBarItemsByHandler() const override { return bool(OnDrawItem); }
  void HookMenu(tk::TMenu* menu, bool on) override;
  void HookForm(TCustomForm* form, bool on) override;
  void Rehook() override;
  void ResetBorderWidth() override { skinBorderWidth_ = -1; }

  // Hooks one item (and the items below it) on or off; the menu is not
  // described to the platform again (HookMenu does that).
  void HookItem(tk::TMenuItem* item, bool on);

  // ---- measuring (public for the form frame and the tests) ----
  // The size of a pop-up item (width includes the extra line for the first column).
  TSize MeasurePopupItem(tk::TMenuItem* item);
  // The size of the pop-up menu below parent, from its items' measures, used
  // when its window cannot be found.
  TSize PopupMenuSize(tk::TMenuItem* parent);
  // The width of the extra-line band of the menu being painted (0 when none).
  int ExtraLineWidth() const;
  // Whether an item starts a new column of its menu, and whether it lies in
  // the first column (the one beside the extra line).
  static bool StartsColumn(tk::TMenuItem* item);
  static bool InFirstColumn(tk::TMenuItem* item);
  // Item kinds by caption.
  static TsMenuItemKind KindOf(const tk::TMenuItem* item);
  // The glyph size of an item: its bitmap's, else its menu's image list's, else 16 x 16.
  static TSize GlyphSizeOf(tk::TMenuItem* item);
  // The extra-line text when no handler says otherwise.
  static constexpr const char* DefaultExtraLineText = "Don`t forget OnGetExtraLineData event...";

  // ---- the pop-up cache (process-wide; read by the tests) ----
  struct TPopupCache {
    tk::TMenuItem* FirstItem = nullptr;  // the key (compared, never followed when stale)
    UINT FirstCommand = 0;               // the key's command, to tell a freed item
    // Extra line of the menu.
    std::string ExtraSection;
    bool ExtraShown = false;
    std::unique_ptr<TBitmap> ExtraGlyph;
    std::string ExtraText;
    int GlyphWidth = 0;   // the first item's glyph width
    int GlyphColumn = 0;  // Margin + GlyphWidth + Spacing
    std::unique_ptr<TBitmap> Background;
    std::vector<TRect> Corners;  // window coordinates, cut out of the window
    HWND Window = nullptr;       // the menu window the background was made for
  };
  static TPopupCache& PopupCache();
  // Drops the cache (another menu comes, or the menu window went).
  static void DropPopupCache();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend struct TsMenuHandlers;
  friend class TsMenuWindow;
  bool OwnsPopupItem(const tk::TMenuItem* item) const;
  // Makes sure the cache belongs to item's menu, reading its extra line once.
  void EnterMenu(tk::TMenuItem* item);
  // The menu font of an item (bold for the default item) and its text height.
  std::shared_ptr<const TFont> ItemFont(const tk::TMenuItem* item) const;
  int TextRowHeight(const tk::TMenuItem* item) const;

  // Bar items.
  void BarMeasure(tk::TMenuItem* item, int& width, int& height);
  bool SkinActive() const;
  void PaintPlainItem(tk::TMenuItem* item, TDC& dc, const TRect& r, unsigned state, bool bar);
  void BarDraw(tk::TMenuItem* item, tk::TCanvas* canvas, const TRect& rect, unsigned state);
  // Pop-up items.
  void PopupMeasure(tk::TMenuItem* item, int& width, int& height);
  void PopupDraw(tk::TMenuItem* item, tk::TCanvas* canvas, const TRect& rect, unsigned state);
  void MakeBackground(tk::TMenuItem* item, HWND window);
  void PaintExtraLine(TBitmap& bg, int e, int sb);
  void CopyBorderStrips(tk::TMenuItem* item, HWND window, const TRect& r, int e);
  void PaintSeparator(TDC& dc, const TRect& r, int e);
  void PaintTitle(tk::TMenuItem* item, TDC& dc, const TRect& r, int e, unsigned state);
  void PaintNormal(tk::TMenuItem* item, TDC& dc, const TRect& r, int e, unsigned state,
                   HWND window);
  void DrawGlyph(tk::TMenuItem* item, TBitmap& target, int x, int y, bool enabled);
  void CallOnDrawItem(tk::TMenuItem* item, TBitmap& picture, TsMenuItemKind kind, unsigned state,
                      const TRect& rect);

  TsSkinManager* manager_ = nullptr;
  int skinBorderWidth_ = -1;
  std::set<tk::TMenu*> hooked_;
};

// Makes the menu painter of manager (once) and joins the announcer's hook: a
// pop-up menu window ("#32768") created while the manager skins pop-ups gets
// a skinned menu window. Handlers already set on the announcer keep running
// first. Returns the painter.
TsSkinableMenus* InstallSkinnedMenus(TsSkinManager& manager, TsWindowAnnouncer* announcer);

}  // namespace vm
