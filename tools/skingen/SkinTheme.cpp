#include "tools/skingen/SkinTheme.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vm {

namespace {

constexpr TColor Magenta = 0x00FF00FF;

struct THsl {
  float H = 0, S = 0, L = 0;  // degrees, 0..1, 0..1
};

THsl ToHsl(float r, float g, float b) {
  const float hi = std::max({r, g, b}), lo = std::min({r, g, b});
  THsl out;
  out.L = (hi + lo) / 2;
  const float d = hi - lo;
  if (d <= 0) return out;
  out.S = out.L > 0.5f ? d / (2 - hi - lo) : d / (hi + lo);
  if (hi == r)
    out.H = 60 * std::fmod((g - b) / d + 6, 6.0f);
  else if (hi == g)
    out.H = 60 * ((b - r) / d + 2);
  else
    out.H = 60 * ((r - g) / d + 4);
  return out;
}

float HueChannel(float p, float q, float t) {
  t = t - std::floor(t);
  if (t < 1.0f / 6) return p + (q - p) * 6 * t;
  if (t < 0.5f) return q;
  if (t < 2.0f / 3) return p + (q - p) * (2.0f / 3 - t) * 6;
  return p;
}

void FromHsl(const THsl& c, float& r, float& g, float& b) {
  if (c.S <= 0) {
    r = g = b = c.L;
    return;
  }
  const float q = c.L < 0.5f ? c.L * (1 + c.S) : c.L + c.S - c.L * c.S;
  const float p = 2 * c.L - q;
  const float h = c.H / 360;
  r = HueChannel(p, q, h + 1.0f / 3);
  g = HueChannel(p, q, h);
  b = HueChannel(p, q, h - 1.0f / 3);
}

int ToByte(float v) {
  return int(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
}

// Maps one colour given as channels 0..255.
void MapRgb(const TSkinTheme& t, int& r, int& g, int& b) {
  THsl c = ToHsl(r / 255.0f, g / 255.0f, b / 255.0f);
  if (c.S > 0.04f) {
    // The built-in skin's blues sit around 215 degrees, its ambers around 40;
    // each family turns as a whole, so the shades within it keep their steps.
    if (c.H >= 165 && c.H < 300) {
      c.H += t.CoolHue - 215;
      c.S = std::min(1.0f, c.S * t.CoolSaturation);
    } else if (c.H < 75 || c.H >= 300) {
      c.H += t.WarmHue - 40;
      c.S = std::min(1.0f, c.S * t.WarmSaturation);
    }
    c.H = std::fmod(c.H + 360, 360.0f);
  }
  c.L = std::pow(c.L, t.Lightness);
  float fr, fg, fb;
  FromHsl(c, fr, fg, fb);
  r = ToByte(fr), g = ToByte(fg), b = ToByte(fb);
  if (r == 255 && g == 0 && b == 255) r = 254;
}

bool IsColourKey(const std::string& key) {
  return key.find("COLOR") != std::string::npos || key == "TCLEFT" || key == "HOTTCBOTTOM";
}

bool IsGradientKey(const std::string& key) {
  return key.find("GRADIENTDATA") != std::string::npos;
}

// A decimal colour value; anything else (and -1, "none") is left as it is.
std::string MapValue(const TSkinTheme& t, const std::string& value) {
  if (value.empty()) return value;
  char* end = nullptr;
  const long v = std::strtol(value.c_str(), &end, 10);
  if (*end != '\0' || v < 0 || v > 0xFFFFFF) return value;
  return std::to_string(ThemeColor(t, TColor(v)));
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (true) {
    const std::size_t next = s.find(sep, at);
    out.push_back(s.substr(at, next - at));
    if (next == std::string::npos) return out;
    at = next + 1;
  }
}

}  // namespace

const std::vector<TSkinTheme>& ShippedThemes() {
  static const std::vector<TSkinTheme> themes{
      // Cool greys with a steel-blue hover; deeper middle tones, softer corners.
      {"Graphite", 215, 0.12f, 200, 0.55f, 1.35f, {1.3f, true}},
      // Green turned flat and square, coral where the pointer is.
      {"Malachite", 152, 0.75f, 22, 0.7f, 1.2f, {0.35f, false}},
      // Warm sand with a sea-green hover, round and glossy.
      {"Sandstone", 32, 0.55f, 172, 0.65f, 1.0f, {1.6f, true}},
  };
  return themes;
}

const TSkinTheme* FindTheme(const std::string& name) {
  for (const TSkinTheme& t : ShippedThemes())
    if (t.Name == name) return &t;
  return nullptr;
}

TColor ThemeColor(const TSkinTheme& theme, TColor color) {
  if (color == Magenta) return color;
  int r = int(color & 0xFF), g = int((color >> 8) & 0xFF), b = int((color >> 16) & 0xFF);
  MapRgb(theme, r, g, b);
  return TColor(r) | TColor(g) << 8 | TColor(b) << 16;
}

void Recolour(TRgbImage& image, const TSkinTheme& theme) {
  const std::size_t n = std::size_t(image.Width) * image.Height;
  for (std::size_t i = 0; i < n; ++i) {
    if (image.IsMask[i]) continue;
    std::uint8_t* p = &image.Rgb[3 * i];
    if (p[0] == 255 && p[1] == 0 && p[2] == 255) continue;
    int r = p[0], g = p[1], b = p[2];
    MapRgb(theme, r, g, b);
    p[0] = std::uint8_t(r), p[1] = std::uint8_t(g), p[2] = std::uint8_t(b);
  }
}

std::string ThemeDescription(const std::string& builtin, const TSkinTheme& theme) {
  std::string out;
  bool firstLine = true;
  for (std::string line : Split(builtin, '\n')) {
    if (!firstLine) out += '\n';
    firstLine = false;
    const bool cr = !line.empty() && line.back() == '\r';
    if (cr) line.pop_back();
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos && line[0] != '[') {
      const std::string key = line.substr(0, eq);
      std::string value = line.substr(eq + 1);
      // Mask values ("^...", "@...", "!...") are places, not colours: only the
      // keys below carry colours.
      if (key == "DESCRIPTION") {
        value = theme.Name;
      } else if (IsGradientKey(key)) {
        std::vector<std::string> fields = Split(value, ';');
        // Bands of five: colour, colour, share, mode, reserved.
        for (std::size_t i = 0; i < fields.size(); ++i)
          if (i % 5 < 2) fields[i] = MapValue(theme, fields[i]);
        value.clear();
        for (std::size_t i = 0; i < fields.size(); ++i) {
          if (i) value += ';';
          value += fields[i];
        }
      } else if (IsColourKey(key)) {
        // Font colours may be five numbers separated by blanks.
        std::vector<std::string> fields = Split(value, ' ');
        value.clear();
        for (std::size_t i = 0; i < fields.size(); ++i) {
          if (i) value += ' ';
          value += MapValue(theme, fields[i]);
        }
      }
      line = key + "=" + value;
    }
    out += line;
    if (cr) out += '\r';
  }
  return out;
}

}  // namespace vm
