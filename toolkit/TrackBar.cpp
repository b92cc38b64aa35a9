#include "toolkit/TrackBar.h"

#include <algorithm>

#include "platform/controls/Controls.h"

namespace vm {

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
  width_ = 150;
  height_ = 45;
  tabStop_ = true;
  controlStyle_ &= ~csClickEvents;
}

void TTrackBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, TRACKBAR_CLASS);
  p.Style |= TBS_FIXEDLENGTH;
  if (orientation_ == trVertical) p.Style |= TBS_VERT;
  switch (tickStyle_) {
    case tsNone:
      p.Style |= TBS_NOTICKS;
      break;
    case tsAuto:
      p.Style |= TBS_AUTOTICKS;
      break;
    case tsManual:
      break;
  }
  if (tickMarks_ == tmTopLeft) p.Style |= TBS_TOP;
  if (tickMarks_ == tmBoth) p.Style |= TBS_BOTH;
  if (!sliderVisible_) p.Style |= TBS_NOTHUMB;
}

void TTrackBar::CreateHandle() {
  TWinControl::CreateHandle();
  if (!HandleAllocated()) return;
  HWND h = Handle();
  SendMessage(h, TBM_SETTHUMBLENGTH, WPARAM(thumbLength_), 0);
  SendMessage(h, TBM_SETLINESIZE, 0, lineSize_);
  SendMessage(h, TBM_SETPAGESIZE, 0, pageSize_);
  SendMessage(h, TBM_SETRANGEMIN, 0, min_);
  SendMessage(h, TBM_SETRANGEMAX, 0, max_);
  SendMessage(h, TBM_SETTICFREQ, WPARAM(frequency_), 0);
  for (int t : ticks_) SendMessage(h, TBM_SETTIC, 0, t);
  SendMessage(h, TBM_SETPOS, 1, position_);
}

void TTrackBar::Send(UINT msg, WPARAM w, LPARAM l) {
  if (HandleAllocated()) SendMessage(Handle(), msg, w, l);
}

void TTrackBar::SetParams(int position, int min, int max) {
  if (max < min) return;
  position = std::clamp(position, min, max);
  const bool rangeChanged = min != min_ || max != max_;
  const bool moved = position != position_;
  min_ = min;
  max_ = max;
  position_ = position;
  if (HandleAllocated() && rangeChanged) {
    SendMessage(Handle(), TBM_SETRANGEMIN, 0, min_);
    SendMessage(Handle(), TBM_SETRANGEMAX, 1, max_);
  }
  if (HandleAllocated() && (moved || rangeChanged)) SendMessage(Handle(), TBM_SETPOS, 1, position_);
  if (moved) Changed();
}

void TTrackBar::SetMin(int v) {
  SetParams(position_, v, max_);
}

void TTrackBar::SetMax(int v) {
  SetParams(position_, min_, v);
}

void TTrackBar::SetPosition(int v) {
  SetParams(v, min_, max_);
}

void TTrackBar::Changed() {
  if (OnChange) OnChange(this);
}

void TTrackBar::SetOrientation(TTrackBarOrientation v) {
  if (v == orientation_) return;
  orientation_ = v;
  if (!IsLoading()) SetBounds(left_, top_, height_, width_);
  RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle v) {
  if (v == tickStyle_) return;
  tickStyle_ = v;
  RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark v) {
  if (v == tickMarks_) return;
  tickMarks_ = v;
  RecreateWnd();
}

void TTrackBar::SetSliderVisible(bool v) {
  if (v == sliderVisible_) return;
  sliderVisible_ = v;
  RecreateWnd();
}

void TTrackBar::SetFrequency(int v) {
  v = std::max(v, 1);
  if (v == frequency_) return;
  frequency_ = v;
  Send(TBM_SETTICFREQ, WPARAM(v), 0);
}

void TTrackBar::SetLineSize(int v) {
  if (v == lineSize_) return;
  lineSize_ = v;
  Send(TBM_SETLINESIZE, 0, v);
}

void TTrackBar::SetPageSize(int v) {
  if (v == pageSize_) return;
  pageSize_ = v;
  Send(TBM_SETPAGESIZE, 0, v);
}

void TTrackBar::SetThumbLength(int v) {
  v = std::max(v, 1);
  if (v == thumbLength_) return;
  thumbLength_ = v;
  Send(TBM_SETTHUMBLENGTH, WPARAM(v), 0);
}

void TTrackBar::SetTick(int value) {
  if (std::find(ticks_.begin(), ticks_.end(), value) == ticks_.end()) ticks_.push_back(value);
  Send(TBM_SETTIC, 0, value);
}

void TTrackBar::WndProc(TMessage& m) {
  if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
    // The window moved its thumb: take its position.
    if (HandleAllocated()) SetPosition(int(SendMessage(Handle(), TBM_GETPOS, 0, 0)));
    m.Result = 0;
    return;
  }
  TWinControl::WndProc(m);
}

}  // namespace vm
