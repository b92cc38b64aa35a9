// TsMenuPainter: the skinned menu painter as the layers below it see it.
//
// The painter (TsSkinableMenus in skin/controls) makes a form's menus owner-
// drawn and paints their items from the skin. The form frame sits below it
// but has to ask it two things: how wide each item of the menu line is (to
// count the menu rows) and to draw those items into the frame cache after
// the menu line's background. It reaches the painter of a skin manager
// through MenuPainter(); the painter registers itself when it is made and
// leaves when it is freed. A manager without a painter leaves menus plain.
#pragma once

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"

namespace vm {

class TCustomForm;
class TsSkinManager;
namespace tk {
class TMenu;
class TMenuItem;
}  // namespace tk

class TsMenuPainter {
 public:
  virtual ~TsMenuPainter() = default;

  // Whether item (a top-level item of a main menu) is measured and drawn by
  // the painter: its bar handlers are the painter's.
  virtual bool OwnsBarItem(const tk::TMenuItem* item) const = 0;
  // The size of a top-level item on the menu line.
  virtual TSize MeasureBarItem(tk::TMenuItem* item) = 0;
  // Draws one top-level item into the frame cache of its form. rect is the
  // item's place in window coordinates (the cache's), state its ODS_ bits
  // (ODS_SELECTED, ODS_HOTLIGHT, ODS_GRAYED, ODS_DEFAULT, ODS_NOACCEL). What
  // lies behind is read from the cache itself.
  virtual void DrawBarItem(tk::TMenuItem* item, TBitmap& cache, const TRect& rect,
                           unsigned state) = 0;
  // Draws every visible top-level item of the form's main menu that the
  // painter owns, at the place the platform laid it out and in the state the
  // platform keeps for it (highlighted while its drop-down is open), skipping
  // items of a group index already drawn. For the frame's menu line.
  virtual void DrawBarItems(TCustomForm* form, TBitmap& cache) = 0;
  // Whether a handler of the program draws over the items (what it draws
  // may change at any time: items are never taken as unchanged).
  virtual bool DrawsBarItemsByHandler() const { return false; }

  // Hooks (on) or unhooks the items of a menu: the painter's measure and draw
  // handlers are attached or taken away again, and the menu is described to
  // the platform again.
  virtual void HookMenu(tk::TMenu* menu, bool on) = 0;
  // The same for the form's main menu and the pop-up menus it owns.
  virtual void HookForm(TCustomForm* form, bool on) = 0;
  // Hooks every menu it has hooked again (the manager's SkinnedPopups
  // changed: pop-up items gain or lose the painter's handlers).
  virtual void Rehook() = 0;
  // Forgets the border width taken from the skin (a new skin is coming).
  virtual void ResetBorderWidth() = 0;
};

// The painter of manager (nullptr: of the default manager), or nullptr.
TsMenuPainter* MenuPainter(TsSkinManager* manager = nullptr);
// Registers the painter of a manager (nullptr removes it).
void SetMenuPainter(TsSkinManager* manager, TsMenuPainter* painter);

}  // namespace vm
