// TMenuItem: one entry of a main menu or a pop-up menu, and the list of the
// entries below it.
//
// Every item stands for one platform menu item: its caption ("&" marks the
// mnemonic, "-" alone makes a separator), the text of its ShortCut after a
// Tab, its enabled, checked and default states. An item with items of its
// own is a sub-menu: Handle is the platform menu that shows them, made on
// first use and rebuilt whenever the list or an entry changes. Items hidden
// with Visible are left out of the platform menu; their shortcuts keep
// working, as the program may rely on a hidden item for a key.
//
// Choosing an item (mouse, keyboard, its shortcut) runs Click, which fires
// OnClick. Before a sub-menu opens, and before a shortcut of one of its items
// runs, the sub-menu's own OnClick fires, so the program can enable and check
// the entries it is about to show.
//
// Glyphs: an item shows its own Bitmap (its bottom-left pixel's colour is
// transparent) or else the image ImageIndex of its menu's Images in the
// column left of the caption (on a bar entry, before the caption).
//
// Owner drawing: an item with OnMeasureItem or OnAdvancedDrawItem, every
// item of a menu whose OwnerDraw is set or that has Images, and the items
// beside one with a Bitmap become owner-drawn platform items (the platform's
// own items show no pictures; drawn alike, the captions line up after one
// picture column).
// The form the menu belongs to passes WM_MEASUREITEM and WM_DRAWITEM on to the
// item; without a handler the item measures and draws its plain look itself.
#pragma once

#include <cstdint>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/WinApi.h"
#include "toolkit/Canvas.h"
#include "toolkit/Component.h"
#include "toolkit/Control.h"
#include "toolkit/ShortCut.h"

namespace vm::tk {

class TBitmap;
class TMenu;

// The state an owner-drawn item is drawn in (a flag set, the platform's ODS_ bits).
using TOwnerDrawState = unsigned;
inline constexpr TOwnerDrawState odSelected = ODS_SELECTED;
inline constexpr TOwnerDrawState odGrayed = ODS_GRAYED;
inline constexpr TOwnerDrawState odDisabled = ODS_DISABLED;
inline constexpr TOwnerDrawState odChecked = ODS_CHECKED;
inline constexpr TOwnerDrawState odFocused = ODS_FOCUS;
inline constexpr TOwnerDrawState odDefault = ODS_DEFAULT;
inline constexpr TOwnerDrawState odHotLight = ODS_HOTLIGHT;
inline constexpr TOwnerDrawState odInactive = ODS_INACTIVE;
inline constexpr TOwnerDrawState odNoAccel = ODS_NOACCEL;
inline constexpr TOwnerDrawState odNoFocusRect = ODS_NOFOCUSRECT;

// Where an item starts a new column of its menu: mbBreak without, mbBarBreak
// with a dividing line.
enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

using TMenuMeasureItemEvent =
    std::function<void(TComponent* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TAdvancedMenuDrawItemEvent = std::function<void(TComponent* Sender, TCanvas* ACanvas,
                                                      const TRect& ARect, TOwnerDrawState State)>;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  // Frees the items below it as well.
  ~TMenuItem() override;

  std::string ClassName() const override { return "TMenuItem"; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Checked() const { return checked_; }
  // Checking a RadioItem unchecks the radio items of its GroupIndex beside it.
  void SetChecked(bool v);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  // Click toggles Checked (a radio item is only checked).
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool v) { autoCheck_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  // The item starts a new column of its menu.
  TMenuBreak Break() const { return break_; }
  void SetBreak(TMenuBreak v);
  // The default item of its menu is shown in bold.
  bool Default() const { return default_; }
  void SetDefault(bool v);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v) { hint_ = v; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  // The item's own glyph (made empty on first use); SetBitmap copies a picture
  // (nullptr or an empty one removes the glyph).
  TBitmap* Bitmap();
  void SetBitmap(const TBitmap* bitmap);
  // The size of the glyph the item shows ({0, 0} without one).
  TSize GlyphSize() const;
  // A separator line ("-").
  bool IsLine() const { return caption_ == "-"; }

  // ---- The items below ----
  int Count() const { return int(items_.size()); }
  // nullptr when out of range.
  TMenuItem* Items(int index) const;
  // Takes item out of its current parent first.
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Frees the item at index.
  void Delete(int index);
  // Takes item out of this list without freeing it.
  void Remove(TMenuItem* item);
  // Frees every item below.
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  // The item whose caption equals caption, "&" and ASCII case ignored; nullptr if none.
  TMenuItem* Find(std::string_view caption) const;

  TMenuItem* Parent() const { return parent_; }
  // The position in the parent's list (-1 without a parent); setting it moves the item.
  int MenuIndex() const;
  void SetMenuIndex(int index);
  // The menu the item belongs to (through its parents), or nullptr.
  TMenu* GetParentMenu() const;

  // The platform menu showing the items below (made on first use).
  HMENU Handle();
  // The platform command number that stands for this item in WM_COMMAND.
  UINT Command() const { return command_; }
  bool IsOwnerDrawn() const;
  // An entry of a menu bar (shown without its shortcut text, in a row).
  bool IsBarEntry() const;

  // Fires OnClick (when enabled), after AutoCheck.
  virtual void Click();

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

  // ---- Called by the menus ----
  // The size of an owner-drawn item (the plain look's size unless OnMeasureItem changes it).
  void MeasureItem(TCanvas* canvas, int& width, int& height);
  // Draws an owner-drawn item; topLevel: an entry of a menu bar.
  void AdvancedDrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state, bool topLevel);
  // The item with that command or sub-menu handle, among the items alive; nullptr if none.
  static TMenuItem* FromCommand(UINT command);
  static TMenuItem* FromHandle(HMENU handle);
  // Whether item is this one or below it.
  bool Contains(const TMenuItem* item) const;

 protected:
  // Draws the item's glyph with its top-left at (x, y).
  void DrawGlyph(TCanvas* canvas, int x, int y, bool enabled);
  // The plain look of an owner-drawn item without a handler.
  virtual void DrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state, bool topLevel);

 private:
  friend class TMenu;
  // The folded letter a caption's "&" marks (0 when none), and a typed key folded alike.
  static char32_t MnemonicKey(const std::string& caption);
  static char32_t FoldKey(char32_t c);
  // The text of the platform item: the caption, and the shortcut after a Tab.
  std::string PlatformText() const;
  // Fills the platform item's description.
  MENUITEMINFO PlatformInfo();
  // This item's look changed: its platform entry is brought up to date in place.
  void Changed();
  // The list below changed: the platform menu is filled again.
  void RebuildHandle();
  void FillHandle();
  bool HandleAlive() const;
  void TurnSiblingsOff();
  // Every item beside this one (and this one) is described again.
  void SiblingsChanged();
  // The widest picture among the visible items beside this one (and this one).
  int SiblingGlyphWidth() const;
  // The widest caption among the visible items beside this one, in canvas's font.
  int SiblingCaptionWidth(TCanvas* canvas) const;
  // The root item of a menu knows its menu.
  void SetMenu(TMenu* menu) { menu_ = menu; }

  std::string caption_;
  TShortCut shortCut_ = scNone;
  bool enabled_ = true;
  bool checked_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
  bool autoCheck_ = false;
  bool visible_ = true;
  TMenuBreak break_ = mbNone;
  bool default_ = false;
  std::string hint_;
  int imageIndex_ = -1;
  std::unique_ptr<TBitmap> bitmap_;

  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item of a menu
  HMENU handle_ = nullptr;
  UINT command_ = 0;
  bool freeing_ = false;
};

// Counts every change of an item the platform's menus were told of (a
// caption, a state, a picture, items rebuilt): a painting kept of a menu is
// stale once the count moved on.
std::uint64_t MenuItemChanges();

}  // namespace vm::tk
