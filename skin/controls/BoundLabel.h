// TsBoundLabel: the caption of a skinned edit control. While Active it keeps
// a TsEditLabel on the control's parent, placed beside or above the control
// by Layout and Indent (and wrapped to MaxWidth when that is set), enabled
// and shown like the control. It reaches its control through the control's
// skin state.
#pragma once

#include <memory>
#include <string>

#include "toolkit/Font.h"

namespace vm {

class TsCommonData;
class TsEditLabel;
class TControl;

enum TsCaptionLayout { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

class TsBoundLabel {
 public:
  explicit TsBoundLabel(TsCommonData* commonData);
  ~TsBoundLabel();
  TsBoundLabel(const TsBoundLabel&) = delete;
  TsBoundLabel& operator=(const TsBoundLabel&) = delete;

  bool Active() const { return active_; }
  void SetActive(bool value);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  int Indent() const { return indent_; }
  void SetIndent(int value);
  TsCaptionLayout Layout() const { return layout_; }
  void SetLayout(TsCaptionLayout value);
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int value);
  // The label's font while there is a label, else the bound label's own.
  tk::TFont* Font() const;
  void SetFont(const tk::TFont& value);
  // The label's setting; true while there is no label. Writing changes only
  // an existing label.
  bool UseSkinColor() const;
  void SetUseSkinColor(bool value);

  // The label made while active, or nullptr.
  TsEditLabel* Label() const { return label_; }
  TControl* Control() const;

  // Places the label beside its control (nothing while it is missing or hidden).
  void AlignLabel();

 private:
  friend class TsEditLabel;
  void MakeLabel();
  void FreeLabel();

  TsCommonData* commonData_;
  bool active_ = false;
  std::string caption_;
  int indent_ = 0;
  TsCaptionLayout layout_ = sclLeft;
  int maxWidth_ = 0;
  std::unique_ptr<tk::TFont> font_;
  bool ownFont_ = false;  // font_ was written: the label takes it
  TsEditLabel* label_ = nullptr;
};

// The upkeep of a bound label as its control changes: a size or position
// change re-places it, a visibility or enabled change makes the label follow
// the control (and re-places it). Nothing while the label is inactive.
void FollowBoundControl(TsBoundLabel& label, unsigned msg);

}  // namespace vm
