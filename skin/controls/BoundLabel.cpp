#include "skin/controls/BoundLabel.h"

#include <algorithm>

#include "skin/controls/EditLabel.h"
#include "skin/state/CommonData.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

TAlignment AlignmentOf(TsCaptionLayout layout) {
  switch (layout) {
    case sclLeft:
    case sclTopRight:
      return taRightJustify;
    case sclTopCenter:
      return taCenter;
    case sclTopLeft:
      break;
  }
  return taLeftJustify;
}

}  // namespace

TsBoundLabel::TsBoundLabel(TsCommonData* commonData)
    : commonData_(commonData), font_(std::make_unique<tk::TFont>()) {}

TsBoundLabel::~TsBoundLabel() {
  FreeLabel();
}

TControl* TsBoundLabel::Control() const {
  return commonData_ ? commonData_->OwnerControl() : nullptr;
}

void TsBoundLabel::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (value)
    MakeLabel();
  else
    FreeLabel();
}

void TsBoundLabel::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  if (!active_) return;
  if (label_) label_->SetCaption(caption_);
  AlignLabel();
}

void TsBoundLabel::SetIndent(int value) {
  if (value == indent_) return;
  indent_ = value;
  if (active_) AlignLabel();
}

void TsBoundLabel::SetLayout(TsCaptionLayout value) {
  if (value == layout_) return;
  layout_ = value;
  if (!active_) return;
  if (label_) label_->SetAlignment(AlignmentOf(layout_));
  AlignLabel();
}

void TsBoundLabel::SetMaxWidth(int value) {
  if (value == maxWidth_) return;
  maxWidth_ = value;
  if (active_) AlignLabel();
}

tk::TFont* TsBoundLabel::Font() const {
  return label_ ? label_->Font() : font_.get();
}

void TsBoundLabel::SetFont(const tk::TFont& value) {
  if (label_) {
    label_->Font()->Assign(value);
    label_->SetParentFont(false);
    AlignLabel();
    return;
  }
  font_->Assign(value);
  ownFont_ = true;
}

bool TsBoundLabel::UseSkinColor() const {
  return label_ ? label_->UseSkinColor() : true;
}

void TsBoundLabel::SetUseSkinColor(bool value) {
  if (label_) label_->SetUseSkinColor(value);
}

void TsBoundLabel::MakeLabel() {
  TControl* control = Control();
  if (!control || label_) return;
  auto* label = Create<TsEditLabel>(control, this);
  label_ = label;
  label->SetVisible(false);
  label->SetParent(control->Parent());
  label->SetFocusControl(dynamic_cast<TWinControl*>(control));
  label->SetAlignment(AlignmentOf(layout_));
  // A second label of the same name on the owner is left unnamed rather than
  // failing the activation.
  if (!control->Name().empty() && !control->FindComponent(control->Name() + "Label"))
    label->SetName(control->Name() + "Label");
  if (caption_.empty()) caption_ = control->Name();
  label->SetCaption(caption_);
  if (ownFont_) {
    label->Font()->Assign(*font_);
    label->SetParentFont(false);
  }
  label->SetEnabled(control->Enabled());
  label->SetVisible(control->Visible());
  AlignLabel();
}

void TsBoundLabel::FreeLabel() {
  TsEditLabel* label = label_;
  label_ = nullptr;
  if (!label) return;
  label->boundLabel_ = nullptr;
  delete label;
}

void TsBoundLabel::AlignLabel() {
  TControl* control = Control();
  TsEditLabel* label = label_;
  if (!label || !control || !label->Visible()) return;
  // The label's size first, so that every layout places the label's final
  // bounds: a wrapped label keeps its right edge beside its control too.
  if (maxWidth_ != 0) {
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetWidth(maxWidth_);
    // The height the wrapped text needs, at least the control's height.
    label->SetAutoSize(true);
    label->FitToText();
    const int textHeight = label->Height();
    label->SetAutoSize(false);
    label->SetBounds(label->Left(), label->Top(), maxWidth_,
                     std::max(textHeight, control->Height()));
  } else {
    label->SetWordWrap(false);
    label->SetAutoSize(true);
    label->FitToText();
  }
  const int w = label->Width(), h = label->Height();
  int left = control->Left(), top = control->Top() - h - indent_;
  switch (layout_) {
    case sclLeft:
      left = control->Left() - w - indent_ - 4;
      top = control->Top() + (control->Height() - h) / 2 - 1;
      break;
    case sclTopLeft:
      break;
    case sclTopCenter:
      left = control->Left() + (control->Width() - w) / 2;
      break;
    case sclTopRight:
      left = control->Left() + control->Width() - w;
      break;
  }
  label->SetAlignment(AlignmentOf(layout_));
  label->SetBounds(left, top, w, h);
}

void FollowBoundControl(TsBoundLabel& bound, unsigned msg) {
  TsEditLabel* label = bound.Label();
  TControl* control = bound.Control();
  if (!label || !control || control->IsDestroying()) return;
  switch (msg) {
    case WM_SIZE:
    case WM_MOVE:
      break;
    case CM_VISIBLECHANGED:
      label->SetVisible(control->Visible());
      break;
    case CM_ENABLEDCHANGED:
      label->SetEnabled(control->Enabled());
      break;
    default:
      return;
  }
  bound.AlignLabel();
}

}  // namespace vm
