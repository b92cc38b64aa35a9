#include "toolkit/OpenPictureDialog.h"

#include "toolkit/Picture.h"

namespace vm {

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) {
  filter_ = tk::TPicture::GraphicFilter();
}

}  // namespace vm
