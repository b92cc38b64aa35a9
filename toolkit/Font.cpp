#include "toolkit/Font.h"

#include <cmath>

#include "platform/win/WinApi.h"

namespace vm::tk {

namespace {

// a * b / c rounded half away from zero, as the platform's MulDiv.
int MulDiv(int a, int b, int c) {
  long long p = static_cast<long long>(a) * b;
  long long q = p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c);
  return static_cast<int>(q);
}

}  // namespace

TFont::~TFont() {
  if (handle_) DeleteObject(handle_);
}

HFONT TFont::Handle() const {
  if (!handle_) handle_ = CreateFontIndirect(Desc());
  return handle_;
}

void TFont::SetHandle(HFONT font) {
  vm::TFontDesc d;
  if (!GetFontDesc(font, &d)) return;
  TFontStyles style = (d.Bold ? fsBold : 0u) | (d.Italic ? fsItalic : 0u) |
                      (d.Underline ? fsUnderline : 0u) | (d.StrikeOut ? fsStrikeOut : 0u);
  if (d.Family == name_ && d.Height == height_ && style == style_) return;
  name_ = d.Family;
  height_ = d.Height;
  style_ = style;
  Changed();
}

void TFont::SetName(const std::string& name) {
  if (name == name_ || name.empty()) return;
  name_ = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

int TFont::Size() const {
  return -MulDiv(height_, 72, ScreenPixelsPerInch);
}

void TFont::SetSize(int points) {
  SetHeight(-MulDiv(points, ScreenPixelsPerInch, 72));
}

void TFont::SetStyle(TFontStyles style) {
  style &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  // The colour is not part of the face: keep the cached face.
  if (OnChange) OnChange();
}

void TFont::SetCharset(TFontCharset charset) {
  if (charset == charset_) return;
  charset_ = charset;
  if (OnChange) OnChange();
}

void TFont::Assign(const TFont& source) {
  if (&source == this) return;
  bool differs = name_ != source.name_ || height_ != source.height_ || style_ != source.style_ ||
                 color_ != source.color_ || charset_ != source.charset_;
  if (!differs) return;
  bool faceDiffers = name_ != source.name_ || height_ != source.height_ || style_ != source.style_;
  name_ = source.name_;
  height_ = source.height_;
  style_ = source.style_;
  color_ = source.color_;
  charset_ = source.charset_;
  if (faceDiffers) {
    face_ = source.face_;
    DropHandle();
  }
  if (OnChange) OnChange();
}

vm::TFontDesc TFont::Desc() const {
  vm::TFontDesc d;
  d.Family = name_;
  d.Height = height_;
  d.Bold = (style_ & fsBold) != 0;
  d.Italic = (style_ & fsItalic) != 0;
  d.Underline = (style_ & fsUnderline) != 0;
  d.StrikeOut = (style_ & fsStrikeOut) != 0;
  return d;
}

std::shared_ptr<const vm::TFont> TFont::PlatformFont() const {
  if (!face_) face_ = vm::TFont::Get(Desc());
  return face_;
}

void TFont::DropHandle() {
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
}

void TFont::Changed() {
  face_.reset();
  DropHandle();
  if (OnChange) OnChange();
}

}  // namespace vm::tk
