#include "tools/demo/DemoPaint.h"

#include "platform/gfx/SysColors.h"

namespace vm::demo {

namespace {

// One-pixel frame with its own colour for the top-left and bottom-right sides.
void Edge(HDC dc, const TRect& r, TColor topLeft, TColor bottomRight) {
  if (r.IsEmpty()) return;
  TRect top{r.Left, r.Top, r.Right - 1, r.Top + 1};
  TRect left{r.Left, r.Top, r.Left + 1, r.Bottom - 1};
  TRect bottom{r.Left, r.Bottom - 1, r.Right, r.Bottom};
  TRect right{r.Right - 1, r.Top, r.Right, r.Bottom};
  FillRect(dc, &top, topLeft);
  FillRect(dc, &left, topLeft);
  FillRect(dc, &bottom, bottomRight);
  FillRect(dc, &right, bottomRight);
}

TRect Inset(const TRect& r) {
  return {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

}  // namespace

TColor Sys(int index) {
  return GetSysColor(index);
}

void DrawRaisedEdge(HDC dc, const TRect& r) {
  Edge(dc, r, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_3DDKSHADOW));
  Edge(dc, Inset(r), Sys(COLOR_3DLIGHT), Sys(COLOR_BTNSHADOW));
}

void DrawSunkenEdge(HDC dc, const TRect& r) {
  Edge(dc, r, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
  Edge(dc, Inset(r), Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT));
}

std::string Utf8FromCodePoints(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    auto cp = std::uint32_t(c);
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
      out += char(cp);
    } else if (cp < 0x800) {
      out += char(0xC0 | (cp >> 6));
      out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += char(0xE0 | (cp >> 12));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    } else {
      out += char(0xF0 | (cp >> 18));
      out += char(0x80 | ((cp >> 12) & 0x3F));
      out += char(0x80 | ((cp >> 6) & 0x3F));
      out += char(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace vm::demo
