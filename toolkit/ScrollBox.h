// TScrollBox: a windowed container that scrolls its children.
//
// When the children reach beyond the client area, the window's own scroll
// bars appear (the platform's non-client bars) and scroll the children by
// moving them; HorzScrollBar and VertScrollBar hold the positions. The mouse
// wheel scrolls vertically (horizontally when only that bar can scroll).
#pragma once

#include "toolkit/Form.h"
#include "toolkit/WinControl.h"

namespace vm {

class TScrollingWinControl;

class TControlScrollBar {
 public:
  TControlScrollBar(TScrollingWinControl& control, int kind) : control_(control), kind_(kind) {}
  TControlScrollBar(const TControlScrollBar&) = delete;
  TControlScrollBar& operator=(const TControlScrollBar&) = delete;

  int Kind() const { return kind_; }  // SB_HORZ or SB_VERT
  // The scrolled distance, 0 .. Range - the client size.
  int Position() const { return position_; }
  void SetPosition(int v);
  // The extent of the content; 0 (the default) measures it from the children.
  int Range() const;
  void SetRange(int v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  // Pixels per arrow click (the wheel scrolls three of these per notch).
  int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v < 1 ? 1 : v; }
  // Whether the bar is showing now (the content is larger than the client area).
  bool IsScrollBarVisible() const;
  int ScrollPos() const { return IsScrollBarVisible() ? position_ : 0; }

 private:
  friend class TScrollingWinControl;
  TScrollingWinControl& control_;
  int kind_;
  int position_ = 0;
  int range_ = 0;
  int calcRange_ = 0;
  bool visible_ = true;
  int increment_ = 8;
  bool shown_ = false;
};

class TScrollingWinControl : public TWinControl {
 public:
  explicit TScrollingWinControl(TComponent* owner);
  std::string ClassName() const override { return "TScrollingWinControl"; }

  TControlScrollBar* HorzScrollBar() { return &horz_; }
  TControlScrollBar* VertScrollBar() { return &vert_; }
  // Moves the children by (dx, dy) pixels.
  void ScrollBy(int dx, int dy);
  // Scrolls so that the control (a descendant) is in view.
  void ScrollInView(TControl* c);
  // Measures the content again and shows or hides the bars.
  void UpdateScrollBars();

  void WndProc(TMessage& message) override;

 protected:
  void CreateHandle() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void ChildBoundsChanged(TControl* child) override;

 private:
  friend class TControlScrollBar;
  void ScrollMessage(TControlScrollBar& bar, WPARAM w);
  void MoveTo(TControlScrollBar& bar, int position);
  int PageOf(const TControlScrollBar& bar) const;

  TControlScrollBar horz_{*this, SB_HORZ};
  TControlScrollBar vert_{*this, SB_VERT};
  bool updating_ = false;
  int wheelRest_ = 0;
};

class TScrollBox : public TScrollingWinControl {
 public:
  explicit TScrollBox(TComponent* owner);
  std::string ClassName() const override { return "TScrollBox"; }

  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TBorderStyle borderStyle_ = bsSingle;
};

}  // namespace vm
