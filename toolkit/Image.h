// TImage: a windowless control that shows a picture.
//
// The picture is drawn at its own pixel size from the top-left corner;
// Center puts it in the middle instead, Stretch scales it to the bounds.
// AutoSize fits the bounds to the picture whenever the picture changes.
// Transparent makes the picture's transparent colour (a bitmap's bottom-left
// pixel, the glyph convention) leave what is behind the image visible. A
// picture that cannot be drawn (a damaged JPEG) leaves the area blank and is
// reported once, not on every repaint.
#pragma once

#include <memory>

#include "toolkit/GraphicControl.h"
#include "toolkit/Picture.h"

namespace vm {

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  std::string ClassName() const override { return "TImage"; }

  tk::TPicture* Picture() const { return picture_.get(); }
  void SetPicture(const tk::TPicture& p) { picture_->Assign(p); }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  bool Center() const { return center_; }
  void SetCenter(bool v);
  // Given to every picture the image shows (a picture transparent by itself stays so).
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);

 protected:
  void Paint() override;

 private:
  void PictureChanged();
  // Where the picture goes in the control's coordinates.
  TRect DestRect() const;

  std::unique_ptr<tk::TPicture> picture_;
  bool autoSize_ = false;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
  bool drawFailed_ = false;  // reported; nothing is drawn until the picture changes
};

}  // namespace vm
