// TsLabel: the skinned label of the program's windows. UseSkinColor (on by
// default) decides whether the text follows the skin's global font colour;
// off, the label keeps its own font colour under every skin.
#pragma once

#include "skin/controls/CustomLabel.h"

namespace vm {

class TsLabel : public TsCustomLabel {
 public:
  explicit TsLabel(TComponent* owner) : TsCustomLabel(owner) {}
  std::string ClassName() const override { return "TsLabel"; }

  bool UseSkinColor() const { return useSkinColor_; }
  void SetUseSkinColor(bool value);

 protected:
  bool FollowsSkinColor() const override { return useSkinColor_; }
  bool SkinRemoved() override;

 private:
  bool useSkinColor_ = true;
};

}  // namespace vm
