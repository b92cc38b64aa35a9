#include "skin/controls/EditLabel.h"

#include "skin/controls/BoundLabel.h"

namespace vm {

TsEditLabel::TsEditLabel(TComponent* owner, TsBoundLabel* boundLabel)
    : TsLabel(owner), boundLabel_(boundLabel) {}

TsEditLabel::~TsEditLabel() {
  if (boundLabel_ && boundLabel_->label_ == this) boundLabel_->label_ = nullptr;
}

}  // namespace vm
