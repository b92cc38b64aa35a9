// TsBaseSpinEdit: a skinned edit with a pair of arrow buttons (a
// TsSpinButton) inside its right edge. The text never runs under the arrows.
// The arrows, the up and down arrow keys and the owner's handlers share two
// actions, UpClick and DownClick; typed characters pass IsValidChar or are
// refused with a beep. The arrows are drawn after the edit, over its skinned
// picture, and follow its skin, its font colour and its enabled state.
#pragma once

#include <string>

#include "skin/controls/Edit.h"

namespace vm {

class TsSpinButton;

class TsBaseSpinEdit : public TsEdit {
 public:
  explicit TsBaseSpinEdit(TComponent* owner);
  ~TsBaseSpinEdit() override;
  std::string ClassName() const override { return "TsBaseSpinEdit"; }

  TsSpinButton* Button() const { return button_; }
  // Typing allowed (true); false refuses every printable character and
  // backspace, the arrows still step.
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool value) { editorEnabled_ = value; }

  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

  // The up and down actions of the arrows and the arrow keys.
  virtual void UpClick(TComponent* sender);
  virtual void DownClick(TComponent* sender);
  // Whether a typed character is taken.
  virtual bool IsValidChar(char32_t key) const;

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  bool DoKeyDown(int& key, TShiftState shift) override;
  bool DoKeyPress(char32_t& key) override;

 private:
  void SetEditRect();
  void PlaceButton();
  void RepaintArrows();

  TsSpinButton* button_ = nullptr;
  bool editorEnabled_ = true;
};

}  // namespace vm
