// Fonts: fontconfig finds the file, FreeType renders grey anti-aliased glyphs.
//
// A font is described by family, height, bold, italic, underline and strike
// out, as on the platform the program imitates: a negative height is the
// character (em) height in pixels at 96 pixels per inch, a positive height is
// the cell height (ascent + descent). Families that are not installed fall
// back: "Tahoma" -> "Liberation Sans" -> "DejaVu Sans"; "Times New Roman" ->
// "Liberation Serif" -> "DejaVu Serif"; anything else -> "Liberation Sans" ->
// "DejaVu Sans". The folder /usr/share/wine/fonts (which holds Tahoma) is added
// to fontconfig's set of fonts.
//
// Fonts are immutable and shared: TFont::Get returns the same object for the
// same description. Each font keeps a cache of rendered glyphs.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gfx/Types.h"

namespace vm {

struct TFontDesc {
  std::string Family = "Tahoma";
  int Height = -11;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  friend bool operator==(const TFontDesc&, const TFontDesc&) = default;
};

// A rendered glyph: 8-bit coverage, Width x Height, row after row.
struct TGlyph {
  int Width = 0;
  int Height = 0;
  int Left = 0;     // from the pen position to the first column
  int Top = 0;      // from the baseline up to the first row
  int Advance = 0;  // whole pixels to the next pen position
  std::vector<std::uint8_t> Coverage;
};

// Font metrics in pixels (the platform's TEXTMETRIC subset the program uses).
struct TTextMetric {
  int Height = 0;  // cell height: Ascent + Descent
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;  // Height minus the em height
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  int Weight = 400;
  bool Italic = false;
  bool Underlined = false;
  bool StruckOut = false;
};

class TFont {
 public:
  // The shared font for a description. Never fails: a family that cannot be
  // found falls back as described above; throws std::runtime_error only when
  // not even the last fallback can be loaded.
  static std::shared_ptr<const TFont> Get(const TFontDesc& desc);
  // The program's default user-interface font: Tahoma, height -11.
  static std::shared_ptr<const TFont> Default();

  ~TFont();
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  const TFontDesc& Desc() const { return desc_; }
  // The family actually used and the file it came from.
  const std::string& FaceFamily() const { return faceFamily_; }
  const std::string& FaceFile() const { return faceFile_; }
  // Every metric. The average character width is measured on the first
  // call (that renders 27 glyphs of a font that may show none of them), so
  // callers that want only the line's measures use LineMetrics.
  const TTextMetric& Metrics() const;
  // The metrics without the average character width (AveCharWidth is 0).
  const TTextMetric& LineMetrics() const { return line_; }

  // The glyph of a code point, rendered on first use and cached. Code points
  // missing from the face give the face's missing-glyph box.
  const TGlyph& Glyph(char32_t cp) const;
  // Pen advance of a code point in pixels.
  int Advance(char32_t cp) const { return Glyph(cp).Advance; }
  // Width in pixels of a run of code points: the sum of the advances. Text is
  // laid out without kerning, as the platform's text output does.
  int TextWidth(std::u32string_view text) const;
  // Kerning between two code points in whole pixels, for callers that want it.
  int Kerning(char32_t left, char32_t right) const;

  // Underline and strike-out position (rows below/above the baseline) and thickness.
  int UnderlinePosition() const { return underlinePos_; }
  int StrikeOutPosition() const { return strikePos_; }
  int LineThickness() const { return lineThickness_; }

 private:
  struct TFace;
  explicit TFont(const TFontDesc& desc);

  TFontDesc desc_;
  std::string faceFamily_;
  std::string faceFile_;
  TTextMetric line_;
  mutable TTextMetric metrics_;  // line_ and the average width, made by Metrics
  mutable std::once_flag averaged_;
  int underlinePos_ = 1;
  int strikePos_ = 3;
  int lineThickness_ = 1;
  std::unique_ptr<TFace> face_;
  mutable std::mutex mutex_;
  mutable std::unordered_map<char32_t, TGlyph> glyphs_;
};

// Restricts font look-up to a fixed set of folders (the wine, Liberation and
// DejaVu folders when dirs is empty) and forgets every loaded font, so that
// tests draw the same pixels on every machine that has those packages.
void PinFontConfiguration(const std::vector<std::string>& dirs = {});

}  // namespace vm
