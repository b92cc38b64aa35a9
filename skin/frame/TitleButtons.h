// The user's own buttons in a skinned caption (TsTitleButtons, a collection of
// TsTitleButton owned by the form's frame), the record every caption button
// keeps of its look and place (TsTitleButtonRecord), and the caption's icon
// settings (TsTitleIcon).
//
// The frame lays the buttons out, draws them and routes the mouse to them;
// this file holds their data. A change of a button's look (glyph, enabled,
// skin use) is reported through the collection's OnChange so that the frame
// can repaint its caption.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"
#include "skin/data/SkinModel.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Control.h"

namespace vm {

// State of one caption button: -1 not defined yet, 0 normal, 1 hot, 2
// pressed; its skin image (-1 none) and its rectangle in window coordinates,
// set at every painting of the caption.
struct TsTitleButtonRecord {
  int State = -1;
  int MaskIndex = -1;
  TRect Rect{};
};

class TsTitleButton;
class TsTitleButtons;

using TsTitleButtonMouseEvent = std::function<void(TsTitleButton* Sender, TMouseButton Button,
                                                   TShiftState Shift, int X, int Y)>;

class TsTitleButton {
 public:
  explicit TsTitleButton(TsTitleButtons* collection);
  TsTitleButton(const TsTitleButton&) = delete;
  TsTitleButton& operator=(const TsTitleButton&) = delete;

  std::string ClassName() const { return "TsTitleButton"; }

  // The name shown for the button; the class name until one is given.
  const std::string& Name() const { return name_; }
  void SetName(const std::string& value) { name_ = value; }
  // Picture drawn centred on the button; its bottom-left pixel's colour is
  // transparent.
  const tk::TBitmap& Glyph() const { return glyph_; }
  void SetGlyph(const tk::TBitmap& value);
  // A disabled button answers like the bare caption.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // Draw the skin's "TITLEBUTTON" image behind the glyph.
  bool UseSkinData() const { return useSkinData_; }
  void SetUseSkinData(bool value);

  TsTitleButtonMouseEvent OnMouseDown;
  TsTitleButtonMouseEvent OnMouseUp;

  // The button's place and look, kept by the frame.
  TsTitleButtonRecord Data;

  // Position in the collection (hit code 1000 + Index()).
  int Index() const;
  TsTitleButtons* Collection() const { return collection_; }

  // Width in the caption: the glyph's width + 2, at least the cell width of
  // the "TITLEBUTTON" image (titleButtonMask, 21 without one).
  int ButtonWidth(const TsSkinModel* skin, int titleButtonMask) const;
  // Draws the glyph centred in Data.Rect, one pixel right and down when
  // pressed, leaving its transparent pixels out. Nothing without a glyph.
  void DrawGlyph(TBitmap& cache, bool pressed) const;

 private:
  void Changed();

  TsTitleButtons* collection_;
  std::string name_ = "TsTitleButton";
  tk::TBitmap glyph_;
  bool enabled_ = true;
  bool useSkinData_ = true;
};

// The collection owns its buttons; Items keep their place until deleted.
class TsTitleButtons {
 public:
  TsTitleButtons() = default;
  TsTitleButtons(const TsTitleButtons&) = delete;
  TsTitleButtons& operator=(const TsTitleButtons&) = delete;

  TsTitleButton* Add();
  int Count() const { return int(items_.size()); }
  // nullptr when out of range.
  TsTitleButton* Items(int index) const;
  // Frees the button at index (nothing when out of range).
  void Delete(int index);
  void Clear();
  int IndexOf(const TsTitleButton* button) const;

  // Gives every button the skin's "TITLEBUTTON" image when it uses skin data,
  // else -1 (after a skin is applied and when the form is loaded).
  void UpdateMasks(int titleButtonMask);

  // Raised after a button was added, deleted or changed its look (with the
  // button; nullptr for additions, deletions and Clear).
  std::function<void(TsTitleButton*)> OnChange;

 private:
  friend class TsTitleButton;
  void Notify(TsTitleButton* button) {
    if (OnChange) OnChange(button);
  }
  std::vector<std::unique_ptr<TsTitleButton>> items_;
};

// The caption icon's replacement: an empty Glyph keeps the form's icon;
// Width and Height 0 mean the size follows the caption. Changing them does
// not repaint the caption.
struct TsTitleIcon {
  tk::TBitmap Glyph;
  int Width = 0;
  int Height = 0;
};

}  // namespace vm
