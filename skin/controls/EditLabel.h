// TsEditLabel: the caption label a bound label creates beside its control.
// It knows the bound label that made it, and freeing the label (with its
// owner control or on its own) clears that bound label's reference to it.
#pragma once

#include "skin/controls/Label.h"

namespace vm {

class TsBoundLabel;

class TsEditLabel : public TsLabel {
 public:
  TsEditLabel(TComponent* owner, TsBoundLabel* boundLabel);
  ~TsEditLabel() override;
  std::string ClassName() const override { return "TsEditLabel"; }

  TsBoundLabel* BoundLabel() const { return boundLabel_; }
  // Fits the bounds to the text now (while AutoSize is on).
  void FitToText() { AdjustBounds(); }

 private:
  friend class TsBoundLabel;
  TsBoundLabel* boundLabel_;
};

}  // namespace vm
