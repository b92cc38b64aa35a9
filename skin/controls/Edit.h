// TsEdit: the skinned one-line text field. The platform's edit keeps the
// editing, the caret, the selection and the scrolling; while a skin is active
// its colours come from the section ("EDIT" by default: the hot colours
// while it is focused or under the mouse), its frame is painted from the
// section's border image, and while disabled the whole field (frame, face
// and text) is painted from the skin and dimmed toward what lies behind it.
// Without a skin it is the platform's edit.
#pragma once

#include <memory>
#include <string>

#include "skin/paint/pixels/PixelOps.h"
#include "toolkit/Edit.h"

namespace vm {

class TsCommonData;
class TsBoundLabel;

// What the skinned text fields (TsEdit, TsMemo) do alike: the section's
// colours (hot or normal) written into the control's Color and font, unless
// the control keeps its own; and the window's frame painted again.
void ApplyEditColours(TWinControl& control, TsCommonData& data);
void RepaintEditFrame(TWinControl& control);

class TsEdit : public TEdit {
 public:
  explicit TsEdit(TComponent* owner);
  ~TsEdit() override;
  std::string ClassName() const override { return "TsEdit"; }

  TsCommonData* SkinData() const { return skinData_.get(); }
  TsBoundLabel* BoundLabel() const { return boundLabel_.get(); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  // Shown instead of each character of the text; 0 shows the text.
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char value);

  // The width of the frame the skin paints around the text area.
  int FrameWidth() const;
  // Builds the cache: the section's face in the current state, with the
  // text and the disabled shading while disabled, and the border image.
  void PrepareCache();

  void WndProc(TMessage& message) override;
  void Loaded() override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  bool Skinned() const;
  // Writes the section's colours (hot or normal) into Color and the font.
  void ApplySectionColours();
  // The frame strips of the cache to the whole window.
  void PaintFrame();

  std::unique_ptr<TsCommonData> skinData_;

 private:
  void PaintDisabled(HDC dc);
  void RepaintFrame();

  std::unique_ptr<TsBoundLabel> boundLabel_;
  TsDisabledKind disabledKind_ = dkBlended;
  char passwordChar_ = 0;
  bool cacheBuilt_ = false;
};

}  // namespace vm
