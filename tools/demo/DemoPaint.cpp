#include "tools/demo/DemoPaint.h"

#include "platform/base/Utf8.h"
#include "platform/gfx/Font.h"

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
  return Utf32ToUtf8(text);
}

}  // namespace vm::demo
