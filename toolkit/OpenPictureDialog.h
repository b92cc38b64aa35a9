// TOpenPictureDialog: the open dialog with a preview of the selected picture
// beside the file list. Its Filter starts as every picture format registered
// when it is made (TPicture's registry).
#pragma once

#include "toolkit/OpenDialog.h"

namespace vm {

class TOpenPictureDialog : public TOpenDialog {
 public:
  explicit TOpenPictureDialog(TComponent* owner);
  std::string ClassName() const override { return "TOpenPictureDialog"; }

 protected:
  bool HasPreview() const override { return true; }
};

}  // namespace vm
