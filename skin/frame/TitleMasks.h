// Which skin images draw the caption's buttons of a form, and the size of one
// button cell.
//
// The skin's global section ("GLOBALINFO") normally carries the button
// images: big ones ("BICON...") for forms with a normal caption and small ones
// ("SICON...") for dialogs and tool windows. An older kind of skin keeps them
// in the form's own section instead; LookUpTitleMasks hides that difference.
// Every field is a mask index of the model, -1 when the skin has no image for
// that button (the button is then left out of the caption).
#pragma once

#include "platform/gfx/Types.h"
#include "skin/data/SkinModel.h"
#include "toolkit/Form.h"

namespace vm {

struct TsTitleMasks {
  // The form's own buttons (Restore is the shape the maximise button takes on
  // a maximised form and the minimise button on a minimised one).
  int Close = -1;
  int Maximize = -1;
  int Minimize = -1;
  int Help = -1;
  int Restore = -1;
  // The buttons of a maximised child window, drawn on its parent's menu line.
  int ChildClose = -1;
  int ChildMaximize = -1;
  int ChildMinimize = -1;
  int ChildRestore = -1;
  // The background of every user title button ("TITLEBUTTON").
  int TitleButton = -1;
};

// Looks the button images up for a form whose skin section is
// formSectionIndex (its parent chain is followed) and whose border style is
// style. A model without the sections gives all -1; never throws.
TsTitleMasks LookUpTitleMasks(const TsSkinModel& skin, int formSectionIndex,
                              TFormBorderStyle style);

// Size of one state cell of a button image: the image's width divided by its
// number of states and its height divided by its number of rows (an image
// with a picture of its own: that picture's height halved). fallback when the
// index is not a valid mask or the cell would be empty; callers pass 21 x 21
// for the form's and the user's buttons and 16 x 16 for a child's buttons.
TSize TitleMaskCell(const TsSkinModel& skin, int maskIndex, TSize fallback);

// The fallback cell sizes.
inline constexpr TSize TitleButtonFallback{21, 21};
inline constexpr TSize ChildButtonFallback{16, 16};

}  // namespace vm
