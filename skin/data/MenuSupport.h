// TnxMenuSupport: the skin manager's options for skinned pop-up menus.
#pragma once

#include <string>

namespace vm {

// The font of the menus' vertical extra line, by description (the menu
// painter creates the real font from it).
struct TnxFontSpec {
  std::string Name = "Tahoma";
  int Height = -11;  // negative: character height in pixels
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  friend bool operator==(const TnxFontSpec&, const TnxFontSpec&) = default;
};

class TnxMenuSupport {
 public:
  std::string IcoLineSkin;  // section painted behind the glyph column of pop-up menus
  bool UseExtraLine = false;
  int ExtraLineWidth = 32;
  TnxFontSpec ExtraLineFont;
};

}  // namespace vm
