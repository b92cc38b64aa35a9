// The canvas's brush: how areas are filled (FillRect, the inside of
// Rectangle, the background of text).
#pragma once

#include <functional>
#include <string>

#include "platform/gfx/Types.h"

namespace vm::tk {

// bsClear leaves areas unfilled and draws text without a background.
enum TBrushStyle { bsSolid, bsClear };

class TBrush {
 public:
  TBrush() = default;
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;

  std::string ClassName() const { return "TBrush"; }

  TColor Color() const { return color_; }
  // Setting a colour makes a clear brush solid again, as users expect when
  // they pick a fill colour.
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);

  void Assign(const TBrush& source);

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }

  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

}  // namespace vm::tk
