// The toolkit's font, pen and brush live with the other picture classes in
// the namespace vm::tk, because the platform layer already has a vm::TFont
// (an immutable rendered face) and a vm::TBitmap (the pixel store).
//
// The naming rule for the whole picture side of the toolkit: vm::tk::TFont,
// vm::tk::TBitmap, vm::tk::TImageList are the toolkit's changeable objects
// with properties and OnChange; each one is built over, and hands out without
// copying, the platform object of the same name (TFont::PlatformFont(),
// TBitmap::Image(), TImageList::List()). Code that paints pixels (the skin
// engine) keeps using the platform classes; code written in terms of
// components and properties uses the tk ones.
//
// TFont: a font description that can change (Name, Height or Size, Style,
// Color, Charset), tells its owner through OnChange and hands out the
// platform's font handle (Handle) for it. Height < 0 is the
// character height in pixels, Size is in points at 96 pixels per inch.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/gfx/Font.h"
#include "platform/gfx/Types.h"
#include "platform/win/WinDefs.h"

namespace vm::tk {

// Font style flags; a set is their bitwise or.
enum TFontStyle : unsigned {
  fsBold = 1u << 0,
  fsItalic = 1u << 1,
  fsUnderline = 1u << 2,
  fsStrikeOut = 1u << 3
};
using TFontStyles = unsigned;

// Character sets as the platform numbers them. The program's texts are UTF-8,
// so the character set is kept and reported but does not change rendering.
using TFontCharset = std::uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset RUSSIAN_CHARSET = 204;

// Screen resolution the font sizes are measured at.
constexpr int ScreenPixelsPerInch = 96;

class TFont {
 public:
  TFont() = default;
  ~TFont();
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  std::string ClassName() const { return "TFont"; }

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  int Height() const { return height_; }
  void SetHeight(int height);
  // Points: -Height * 72 / 96 rounded; setting a size stores Height = -(size * 96 / 72) rounded.
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);

  // Copies every property and fires OnChange once if anything differed.
  void Assign(const TFont& source);

  // The platform's font handle for the current description (for WM_SETFONT
  // and SelectObject). Made on first use, owned by this font and deleted when
  // a property of the face changes or the font is destroyed: callers do not
  // delete it and ask again after an OnChange.
  HFONT Handle() const;
  // Takes the description of a platform font handle (the handle itself stays
  // the caller's); an unknown handle changes nothing.
  void SetHandle(HFONT font);

  // The platform face for the current description (shared, cached until a
  // property changes).
  std::shared_ptr<const vm::TFont> PlatformFont() const;
  vm::TFontDesc Desc() const;

  // Fired after any property took a new value.
  std::function<void()> OnChange;

 private:
  void Changed();
  void DropHandle();

  std::string name_ = "Tahoma";
  int height_ = -11;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  TFontCharset charset_ = DEFAULT_CHARSET;
  mutable std::shared_ptr<const vm::TFont> face_;
  mutable HFONT handle_ = nullptr;
};

}  // namespace vm::tk
