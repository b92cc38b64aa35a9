// The skins shipped beside the built-in one. Each is the built-in skin made
// over: the same layout and description, its colours moved to another palette
// and its pictures painted with other corners and faces. A theme maps colours
// in two families: the cool colours of bodies, bars and text (the built-in
// skin's blues) and the warm colours of hot and pressed states (its ambers);
// greys and the transparent key keep their hue.
#pragma once

#include <string>
#include <vector>

#include "platform/gfx/Types.h"
#include "tools/skingen/SkinArt.h"
#include "tools/skingen/SkinBitmaps.h"

namespace vm {

struct TSkinTheme {
  std::string Name;          // the skin's name: its packed file is Name + ".nxz"
  float CoolHue = 215;       // hue, in degrees, the cool family turns to
  float CoolSaturation = 1;  // times the built-in saturation
  float WarmHue = 40;        // hue the warm family turns to
  float WarmSaturation = 1;
  float Lightness = 1;  // exponent on lightness: above 1 deepens the middle tones
  TSkinShape Shape;
};

// Graphite, Malachite and Sandstone, in that order.
const std::vector<TSkinTheme>& ShippedThemes();
// nullptr when there is no theme of that name.
const TSkinTheme* FindTheme(const std::string& name);

// One colour ($00BBGGRR) in the theme's palette. Magenta, the transparent key,
// stays itself, and no other colour becomes it.
TColor ThemeColor(const TSkinTheme& theme, TColor color);
// Every picture pixel of the image; mask rows and magenta are left alone.
void Recolour(TRgbImage& image, const TSkinTheme& theme);
// The built-in description with every colour value (colours, font and border
// colours, gradient data) in the theme's palette and the theme's name as its
// DESCRIPTION. Keys, masks and order are unchanged.
std::string ThemeDescription(const std::string& builtin, const TSkinTheme& theme);

}  // namespace vm
