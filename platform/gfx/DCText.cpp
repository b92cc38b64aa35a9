// Text output of TDC: single runs (TextOut) and laid-out text (DrawText).
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/base/Utf8.h"
#include "platform/gfx/DC.h"
#include "platform/gfx/SysColors.h"

namespace vm {
namespace {

// One character of laid-out text; Mark is set for a character that followed a
// single "&" and gets the short underline.
struct TChar {
  char32_t C;
  bool Mark;
};
using TLine = std::vector<TChar>;

struct TRunStyle {
  bool ExpandTabs = false;
  int TabWidth = 8;
  bool DrawGlyphs = true;
  bool DrawMarks = false;
  bool Opaque = false;
};

int NextTabStop(int x, int tabWidth) {
  return (x / tabWidth + 1) * tabWidth;
}

int RunWidth(const TFont& font, const TLine& line, const TRunStyle& st) {
  int x = 0;
  for (const TChar& c : line)
    x = (c.C == U'\t' && st.ExpandTabs) ? NextTabStop(x, st.TabWidth) : x + font.Advance(c.C);
  return x;
}

// Blends one glyph's coverage in colour c onto the bitmap at (bx, by), bitmap
// coordinates of the glyph's top-left, within the clip.
void BlendGlyph(TBitmap& bmp, const TRegion& clip, const TGlyph& g, int bx, int by, TColor c) {
  if (g.Width == 0 || g.Height == 0) return;
  const int cr = GetRValue(c), cg = GetGValue(c), cb = GetBValue(c);
  const TRect box{bx, by, bx + g.Width, by + g.Height};
  const int bpp = bmp.BytesPerPixel();
  for (const TRect& r0 : clip.Rects()) {
    if (r0.Top >= box.Bottom) break;
    const TRect r = r0.Intersect(box);
    for (int y = r.Top; y < r.Bottom; ++y) {
      const std::uint8_t* a = g.Coverage.data() + std::size_t(y - by) * g.Width + (r.Left - bx);
      std::uint8_t* d = bmp.ScanLine(y) + std::size_t(r.Left) * bpp;
      for (int x = r.Left; x < r.Right; ++x, ++a, d += bpp) {
        const int k = *a;
        if (k == 0) continue;
        if (k == 255) {
          d[0] = std::uint8_t(cb);
          d[1] = std::uint8_t(cg);
          d[2] = std::uint8_t(cr);
          continue;
        }
        d[0] = std::uint8_t((d[0] * (255 - k) + cb * k + 127) / 255);
        d[1] = std::uint8_t((d[1] * (255 - k) + cg * k + 127) / 255);
        d[2] = std::uint8_t((d[2] * (255 - k) + cr * k + 127) / 255);
      }
    }
  }
}

// Draws one line of text with its cell's top-left at logical (x, y).
void DrawRun(TDC& dc, const TFont& font, int x, int y, const TLine& line, const TRunStyle& st) {
  const TTextMetric& tm = font.LineMetrics();
  const int width = RunWidth(font, line, st);
  const TColor color = ColorToRGB(dc.TextColor());
  if (st.Opaque && width > 0) dc.FillRect({x, y, x + width, y + tm.Height}, dc.BkColor());
  const int baseline = y + tm.Ascent;
  const TRegion& clip = dc.EffectiveClip();
  int pen = 0;
  for (const TChar& ch : line) {
    const int start = pen;
    if (ch.C == U'\t' && st.ExpandTabs) {
      pen = NextTabStop(pen, st.TabWidth);
    } else {
      const TGlyph& g = font.Glyph(ch.C);
      if (st.DrawGlyphs) {
        const TPoint b = dc.LogicalToBitmap(TPoint{x + pen + g.Left, baseline - g.Top});
        dc.NotePainted({b.X, b.Y, b.X + g.Width, b.Y + g.Height});
        BlendGlyph(dc.Bitmap(), clip, g, b.X, b.Y, color);
      }
      pen += g.Advance;
    }
    if (ch.Mark && st.DrawMarks && pen > start) {
      const int top = baseline + font.UnderlinePosition();
      dc.FillRect({x + start, top, x + pen, top + font.LineThickness()}, color);
    }
  }
  if (st.DrawGlyphs && width > 0) {
    if (font.Desc().Underline) {
      const int top = baseline + font.UnderlinePosition();
      dc.FillRect({x, top, x + width, top + font.LineThickness()}, color);
    }
    if (font.Desc().StrikeOut) {
      const int top = baseline - font.StrikeOutPosition();
      dc.FillRect({x, top, x + width, top + font.LineThickness()}, color);
    }
  }
}

// Buffers reused by every text call, so that laying out and drawing text
// allocates nothing once they have grown. Text calls never nest.
struct TTextScratch {
  std::u32string Text;
  TLine Chars;
  // Lines in use are the first Count (Paras: ParaCount); the others keep
  // their room for later calls.
  std::vector<TLine> Lines, Paras;
  std::size_t Count = 0, ParaCount = 0;
  std::vector<int> Pens;  // pen positions along a line being cut to fit

  static TLine& Next(std::vector<TLine>& list, std::size_t& count) {
    if (count == list.size()) list.emplace_back();
    TLine& line = list[count++];
    line.clear();
    return line;
  }
  TLine& NewLine() { return Next(Lines, Count); }
  TLine& NewParagraph() { return Next(Paras, ParaCount); }
};

TTextScratch& Scratch() {
  thread_local TTextScratch scratch;
  return scratch;
}

// Splits text into the scratch's paragraphs at CR LF, LF or CR.
void SplitParagraphs(const TLine& text, TTextScratch& scratch) {
  scratch.ParaCount = 0;
  TLine* line = &scratch.NewParagraph();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i].C;
    if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && i + 1 < text.size() && text[i + 1].C == U'\n') ++i;
      line = &scratch.NewParagraph();
    } else {
      line->push_back(text[i]);
    }
  }
}

// Pen position after one more character, tabs jumping to the next stop.
int Step(const TFont& font, int pen, char32_t c, const TRunStyle& st) {
  return (c == U'\t' && st.ExpandTabs) ? NextTabStop(pen, st.TabWidth) : pen + font.Advance(c);
}

// Greedy word wrap: lines break at spaces; a word wider than the line stays whole.
void WrapParagraph(const TFont& font, const TLine& para, int width, const TRunStyle& st,
                   TTextScratch& out) {
  const std::size_t n = para.size();
  if (n == 0) {
    out.NewLine();
    return;
  }
  std::size_t start = 0;
  while (start < n) {
    // Take words (each with the spaces before it) while they fit; the first
    // word of a line is taken even when it does not.
    std::size_t end = start;
    int pen = 0;
    bool any = false;
    while (end < n) {
      std::size_t e = end;
      int p = pen;
      while (e < n && para[e].C == U' ') p = Step(font, p, para[e++].C, st);
      while (e < n && para[e].C != U' ') p = Step(font, p, para[e++].C, st);
      if (p > width && any) break;
      end = e;
      pen = p;
      any = true;
      if (p > width) break;
    }
    TLine& line = out.NewLine();
    line.assign(para.begin() + std::ptrdiff_t(start), para.begin() + std::ptrdiff_t(end));
    while (!line.empty() && line.back().C == U' ') line.pop_back();
    start = end;
    while (start < n && para[start].C == U' ') ++start;
  }
}

// Cuts a line from the end until it and "..." fit the width; pen is room for
// the pen positions.
void AddEndEllipsis(const TFont& font, TLine& line, int width, const TRunStyle& st,
                    std::vector<int>& pen) {
  pen.assign(line.size() + 1, 0);
  for (std::size_t i = 0; i < line.size(); ++i) pen[i + 1] = Step(font, pen[i], line[i].C, st);
  if (pen.back() <= width) return;
  const int dots = 3 * font.Advance(U'.');
  std::size_t n = line.size();
  while (n > 0 && pen[n] + dots > width) --n;
  line.resize(n);
  for (int i = 0; i < 3; ++i) line.push_back({U'.', false});
}

}  // namespace

void TDC::TextOut(int x, int y, std::string_view text) {
  TTextScratch& scratch = Scratch();
  Utf8ToUtf32(text, scratch.Text);
  TLine& line = scratch.Chars;
  line.clear();
  for (char32_t c : scratch.Text) line.push_back({c, false});
  TRunStyle st;
  st.Opaque = state_.BkMode == OPAQUE;
  DrawRun(*this, CurrentFont(), x, y, line, st);
}

TSize TDC::GetTextExtent(std::string_view text) const {
  const TFont& font = CurrentFont();
  std::u32string& text32 = Scratch().Text;
  Utf8ToUtf32(text, text32);
  return {font.TextWidth(text32), font.LineMetrics().Height};
}

TTextMetric TDC::GetTextMetrics() const {
  return CurrentFont().Metrics();
}

int TDC::DrawText(std::string_view text, TRect& r, std::uint32_t flags) {
  const TFont& font = CurrentFont();
  const TTextMetric& tm = font.LineMetrics();
  TRunStyle st;
  st.ExpandTabs = flags & DT_EXPANDTABS;
  int tabChars = 8;
  if (flags & DT_TABSTOP) {
    // The second byte holds the tab size in characters instead of flags.
    tabChars = int((flags >> 8) & 0xFF);
    flags &= ~std::uint32_t(0xFF00);
    if (tabChars == 0) tabChars = 8;
  }
  // Tab stops are measured in average characters, which only tabs need.
  if (st.ExpandTabs && text.find('\t') != std::string_view::npos)
    st.TabWidth = std::max(1, tabChars * std::max(1, font.Metrics().AveCharWidth));

  // "&x" marks x, "&&" is a literal "&", a final lone "&" disappears.
  TTextScratch& scratch = Scratch();
  TLine& chars = scratch.Chars;
  chars.clear();
  std::u32string& text32 = scratch.Text;
  Utf8ToUtf32(text, text32);
  const bool prefixes = !(flags & DT_NOPREFIX);
  for (std::size_t i = 0; i < text32.size(); ++i) {
    if (prefixes && text32[i] == U'&') {
      if (i + 1 >= text32.size()) break;
      ++i;
      chars.push_back({text32[i], text32[i] != U'&'});
      continue;
    }
    chars.push_back({text32[i], false});
  }
  if (chars.empty()) {
    if (flags & DT_CALCRECT) r = {r.Left, r.Top, r.Left, r.Top};
    return 0;
  }

  const int width = int(std::clamp<std::int64_t>(std::int64_t(r.Right) - r.Left, 0, INT32_MAX));
  // The lines to draw: the text itself when it is one line, otherwise lines
  // of the reused list.
  std::span<TLine> lines(&chars, 1);
  if (!(flags & DT_SINGLELINE)) {
    scratch.Count = 0;
    SplitParagraphs(chars, scratch);
    for (std::size_t i = 0; i < scratch.ParaCount; ++i) {
      const TLine& para = scratch.Paras[i];
      if (flags & DT_WORDBREAK)
        WrapParagraph(font, para, width, st, scratch);
      else
        scratch.NewLine() = para;
    }
    lines = std::span<TLine>(scratch.Lines.data(), scratch.Count);
  }
  if (flags & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
    for (TLine& line : lines) AddEndEllipsis(font, line, width, st, scratch.Pens);

  const int lineHeight = tm.Height + ((flags & DT_EXTERNALLEADING) ? tm.ExternalLeading : 0);
  const int total = lineHeight * int(lines.size());
  int maxWidth = 0;
  for (const TLine& line : lines) maxWidth = std::max(maxWidth, RunWidth(font, line, st));

  if (flags & DT_CALCRECT) {
    r.Right = r.Left + maxWidth;
    r.Bottom = r.Top + total;
    return total;
  }

  int y = r.Top;
  if (flags & DT_SINGLELINE) {
    if (flags & DT_VCENTER)
      y = int((std::int64_t(r.Top) + r.Bottom - lineHeight) / 2);
    else if (flags & DT_BOTTOM)
      y = r.Bottom - lineHeight;
  }
  TDCSaver saver(*this);
  if (!(flags & DT_NOCLIP)) IntersectClipRect(r);
  st.Opaque = state_.BkMode == OPAQUE;
  st.DrawGlyphs = !(flags & DT_PREFIXONLY);
  st.DrawMarks = !(flags & DT_HIDEPREFIX);
  for (const TLine& line : lines) {
    const int w = RunWidth(font, line, st);
    int x = r.Left;
    if (flags & DT_CENTER)
      x = int((std::int64_t(r.Left) + r.Right - w) / 2);
    else if (flags & DT_RIGHT)
      x = r.Right - w;
    DrawRun(*this, font, x, y, line, st);
    y += lineHeight;
  }
  if ((flags & DT_SINGLELINE) && (flags & (DT_VCENTER | DT_BOTTOM))) return y - r.Top;
  return total;
}

}  // namespace vm
