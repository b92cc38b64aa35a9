// TSavePictureDialog: the save dialog with a preview of the selected picture
// beside the file list. Its Filter starts as every picture format registered
// when it is made (TPicture's registry).
#pragma once

#include "toolkit/SaveDialog.h"

namespace vm {

class TSavePictureDialog : public TSaveDialog {
 public:
  explicit TSavePictureDialog(TComponent* owner);
  std::string ClassName() const override { return "TSavePictureDialog"; }

 protected:
  bool HasPreview() const override { return true; }
};

}  // namespace vm
