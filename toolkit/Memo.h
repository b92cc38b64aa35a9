// TMemo: a multi-line text field over the platform's "Edit" class. Lines is
// the text as a list of lines, kept in step with the window both ways.
// Alignment centres or right-aligns every line, WordWrap breaks long lines at
// the field's width, ScrollBars gives the field its own scroll bars.
#pragma once

#include <memory>

#include "toolkit/Edit.h"
#include "toolkit/StringList.h"

namespace vm {

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TCustomEdit {
 public:
  explicit TMemo(TComponent* owner);
  std::string ClassName() const override { return "TMemo"; }

  TStringList* Lines() const { return lines_.get(); }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void Change() override;

 private:
  void LinesChanged();

  std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
  TAlignment alignment_ = taLeftJustify;
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  bool wantReturns_ = true;
  bool syncing_ = false;
};

}  // namespace vm
