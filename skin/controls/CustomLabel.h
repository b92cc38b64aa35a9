// TsCustomLabel: a windowless label that follows the skin.
//
// While the default skin manager has an active skin the text takes the
// skin's global font colour, a SkinSection (when set and present in the
// skin) paints that section behind the text and gives its font colour, and a
// disabled label dims its text toward the colour of what lies behind it.
// Without a skin it looks and behaves like the toolkit's TLabel. It is
// transparent from the start.
#pragma once

#include <string>

#include "toolkit/Label.h"

namespace vm {

// Where a text too long for the label is shortened with "...".
enum TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };

class TsCustomLabel : public TLabel {
 public:
  explicit TsCustomLabel(TComponent* owner);
  std::string ClassName() const override { return "TsCustomLabel"; }

  // The section painted behind the text; empty for none.
  const std::string& SkinSection() const { return skinSection_; }
  void SetSkinSection(const std::string& value);
  TEllipsisPosition EllipsisPosition() const { return ellipsisPosition_; }
  void SetEllipsisPosition(TEllipsisPosition value);

  // The colour the text is painted in now: the font's, or the skin's global
  // font colour where the label follows it.
  TColor CurrentFontColor() const;
  // The index of SkinSection in the active default skin, or -1 when the
  // label paints no section.
  int PaintedSectionIndex() const;

  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;
  void FontChanged() override;
  // Whether the text follows the skin's global font colour.
  virtual bool FollowsSkinColor() const { return true; }
  // Command 2 from the default manager: back to the window-text colour.
  // Returns whether the command is consumed.
  virtual bool SkinRemoved();
  // Sets the font colour without ending the use of the parent's font and
  // without the font-change handling.
  void SetFontColorQuietly(TColor colour);

 private:
  void DrawLabelText(TDC& dc, TRect rect, std::uint32_t flags);

  std::string skinSection_;
  TEllipsisPosition ellipsisPosition_ = epNone;
};

}  // namespace vm
