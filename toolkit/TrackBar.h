// TTrackBar: a slider over the platform's "msctls_trackbar32" class.
//
// The control keeps the values (Min, Max, Position, the tick marks, the line,
// page and thumb sizes) and hands them to its window whenever one is made.
// Position is always within Min to Max: setting it clamps it, and a change of
// Min or Max that leaves it outside pulls it in. OnChange follows every change
// of the stored position, whether the user moved the thumb (the window's
// WM_HSCROLL / WM_VSCROLL, reflected to the control, updates Position) or the
// program set it. Min above Max (or Max below Min) is refused, as a range
// without values has no sensible position.
#pragma once

#include <vector>

#include "toolkit/WinControl.h"

namespace vm {

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickStyle { tsNone, tsAuto, tsManual };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };

class TTrackBar : public TWinControl {
 public:
  explicit TTrackBar(TComponent* owner);
  std::string ClassName() const override { return "TTrackBar"; }

  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Position() const { return position_; }
  void SetPosition(int v);
  // Sets all three at once, so that no intermediate range refuses a value.
  void SetParams(int position, int min, int max);

  TTrackBarOrientation Orientation() const { return orientation_; }
  // Turning the bar also turns its bounds (width and height exchanged).
  void SetOrientation(TTrackBarOrientation v);
  TTickStyle TickStyle() const { return tickStyle_; }
  void SetTickStyle(TTickStyle v);
  TTickMark TickMarks() const { return tickMarks_; }
  void SetTickMarks(TTickMark v);
  // Every how many values an automatic tick mark stands (tsAuto).
  int Frequency() const { return frequency_; }
  void SetFrequency(int v);
  int LineSize() const { return lineSize_; }
  void SetLineSize(int v);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int v);
  int ThumbLength() const { return thumbLength_; }
  void SetThumbLength(int v);
  bool SliderVisible() const { return sliderVisible_; }
  void SetSliderVisible(bool v);
  // A tick mark at a value (tsManual); kept for new windows too.
  void SetTick(int value);

  TNotifyEvent OnChange;

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  virtual void Changed();

 private:
  void Send(UINT msg, WPARAM w, LPARAM l);

  int min_ = 0, max_ = 10, position_ = 0;
  TTrackBarOrientation orientation_ = trHorizontal;
  TTickStyle tickStyle_ = tsAuto;
  TTickMark tickMarks_ = tmBottomRight;
  int frequency_ = 1;
  int lineSize_ = 1;
  int pageSize_ = 2;
  int thumbLength_ = 20;
  bool sliderVisible_ = true;
  std::vector<int> ticks_;
};

}  // namespace vm
