#include "toolkit/SavePictureDialog.h"

#include "toolkit/Picture.h"

namespace vm {

TSavePictureDialog::TSavePictureDialog(TComponent* owner) : TSaveDialog(owner) {
  filter_ = tk::TPicture::GraphicFilter();
}

}  // namespace vm
