// TSaveDialog: the dialog in which the user names a file to save, as a
// component (see TOpenDialog for the properties). A name typed without an
// extension gets DefaultExt. An existing file is chosen without a question
// unless Options has ofOverwritePrompt.
#pragma once

#include "toolkit/OpenDialog.h"

namespace vm {

class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {
    options_ = ofHideReadOnly | ofPathMustExist | ofEnableSizing;
  }
  std::string ClassName() const override { return "TSaveDialog"; }

 protected:
  bool IsSaveDialog() const override { return true; }
};

}  // namespace vm
