#include "skin/paint/SkinText.h"

#include "skin/data/SkinManager.h"
#include "skin/data/SkinTypes.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/Colors.h"

namespace vm {

namespace {

// Length of the UTF-8 text without its last code point.
std::size_t DropLastCodePoint(std::string_view s) {
  std::size_t n = s.size();
  if (n == 0) return 0;
  --n;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return n;
}

}  // namespace

TsTextColors SectionTextColors(TsSkinManager* manager, int sectionIndex, bool enabled, bool hot) {
  TsTextColors c{{clNoContour, clNoContour, clNoContour, clNoContour}, clNoContour};
  TsSkinManager* m = PaintManager(manager);
  if (!m || !m->IsValidSectionIndex(sectionIndex)) return c;
  const TsGeneralData& gd = m->gd[std::size_t(sectionIndex)];
  const TsFontColors& set = hot ? gd.HotFontColor : gd.FontColor;
  if (!enabled) {
    // Disabled text sits between the font colour and the section's background.
    c.Main = MixColors(ResolveColor(gd.FontColor[0]), ResolveColor(gd.Color), DisabledTextFraction);
    return c;
  }
  for (int i = 0; i < 4; ++i) c.Contour[i] = set[std::size_t(i) + 1];
  c.Main = set[0];
  return c;
}

void DrawContouredText(TDC& canvas, std::string_view text, const TsTextColors& colors,
                       std::uint32_t format, const TRect& rect) {
  static constexpr TPoint shifts[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
  for (int i = 0; i < 4; ++i) {
    if (colors.Contour[i] == clNoContour) continue;
    canvas.SetTextColor(ResolveColor(colors.Contour[i]));
    TRect r = rect.Offset(shifts[i].X, shifts[i].Y);
    canvas.DrawText(text, r, format);
  }
  if (colors.Main != clNoContour) canvas.SetTextColor(ResolveColor(colors.Main));
  TRect r = rect;
  canvas.DrawText(text, r, format);
}

void WriteSectionText(TDC& canvas, std::string_view text, bool enabled, TsSkinManager* manager,
                      bool hot, int sectionIndex, std::uint32_t format, TRect rect) {
  TsSkinManager* m = PaintManager(manager);
  if (!m || !m->IsValidSectionIndex(sectionIndex) || text.empty()) return;
  canvas.SetBkMode(TRANSPARENT);
  DrawContouredText(canvas, text, SectionTextColors(m, sectionIndex, enabled, hot), format, rect);
}

std::string FitText(TDC& canvas, std::string_view text, int maxWidth) {
  if (maxWidth <= 0) return {};
  if (TextWidth(canvas, text) <= maxWidth) return std::string(text);
  std::string_view prefix = text;
  while (!prefix.empty()) {
    prefix = prefix.substr(0, DropLastCodePoint(prefix));
    if (prefix.empty()) break;
    std::string candidate(prefix);
    candidate += "...";
    if (TextWidth(canvas, candidate) <= maxWidth) return candidate;
  }
  return {};
}

std::uint32_t TextAlignFlags(int alignment, bool rightToLeft) {
  std::uint32_t h = alignment == alignRight    ? DT_RIGHT
                    : alignment == alignCentre ? DT_CENTER
                                               : DT_LEFT;
  if (rightToLeft) {
    if (h == DT_RIGHT) {
      h = DT_LEFT;
    } else if (h == DT_LEFT) {
      h = DT_RIGHT;
    }
    h |= DT_RTLREADING;
  }
  return h | DT_VCENTER | DT_EXPANDTABS;
}

int TextWidth(TDC& canvas, std::string_view text) {
  return canvas.GetTextExtent(text).cx;
}

TSize TextExtent(TDC& canvas, std::string_view text) {
  return canvas.GetTextExtent(text);
}

int DrawTextIn(TDC& canvas, std::string_view text, TRect rect, std::uint32_t format) {
  return canvas.DrawText(text, rect, format);
}

}  // namespace vm
