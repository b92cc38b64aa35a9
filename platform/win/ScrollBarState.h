// The scroll-bar engine's state: the values of every window's bars and the
// one bar the mouse is working at the moment. Part of the window system's
// state; only platform/win includes it.
//
// Tracking is state, not a nested loop (like caption drags): the raw pointer
// events of the held button come here before they would become messages, so
// a headless test drives a press, a drag and the auto-repeat step by step.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "platform/host/Host.h"
#include "platform/win/WinApi.h"

namespace vm {

struct TWnd;

// What one bar holds.
struct TScrollBarData {
  int Min = 0;
  int Max = 100;
  int Page = 0;
  int Pos = 0;
  UINT Disabled = ESB_ENABLE_BOTH;  // ESB_* arrows disabled
};

// The parts of a bar, in order along it.
enum class TScrollPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

// A bar laid out along its axis, offsets from the bar's start.
struct TScrollLayout {
  TRect Bar;  // where it is painted (window coordinates for SB_HORZ/SB_VERT, client for SB_CTL)
  bool Vertical = true;
  int Length = 0;      // along the axis
  int Arrow = 0;       // length of each arrow button
  int ThumbStart = 0;  // offset of the thumb
  int ThumbSize = 0;   // 0: no thumb (nothing to scroll, disabled or no room)
};

class TScrollBars {
 public:
  struct TTrack {
    HWND Hwnd = nullptr;
    int Bar = SB_VERT;
    TScrollPart Part = TScrollPart::None;
    bool Over = false;   // the pointer is over the pressed arrow or page part
    int GrabOffset = 0;  // thumb: where along the thumb the pointer holds it
    int StartPos = 0;    // thumb: the position when the drag began
    int TrackPos = 0;    // thumb: the position the thumb is dragged to
    bool Repeating = false;
    TPoint Pointer;  // last pointer position, screen coordinates
  };

  // The bar's values, created with the defaults on first use.
  TScrollBarData& Get(HWND h, int bar);
  const TScrollBarData* Find(HWND h, int bar) const;
  // Drops a destroyed window's bars and any tracking on it.
  void Forget(HWND h);
  void Clear();

  // Raw pointer events while a bar is tracked; true when consumed.
  bool TrackEvent(const THostEvent& ev);
  const TTrack& Tracking() const { return track_; }
  // Ends tracking without sending anything more (capture lost, window gone).
  void Abandon();

  // Begins tracking a press at a screen point; false when the point is on no
  // usable part of the bar.
  bool BeginTrack(HWND h, int bar, TPoint screen);

 private:
  static void RepeatTick(HWND h, UINT msg, UINT_PTR id, DWORD time);
  void Finish();
  void DragThumb();
  void UpdateOver();
  void SendCode(int code);

  struct TPerWindow {
    TScrollBarData Bars[3];
    bool Used[3] = {};
  };
  std::unordered_map<HWND, TPerWindow> windows_;
  TTrack track_;
};

// Painting and geometry shared by the frame painter and the control.
TScrollLayout ScrollLayout(HWND h, int bar);
TScrollPart ScrollHitPart(const TScrollLayout& l, TPoint p);  // p in the layout's coordinates
void PaintWindowScrollBars(const TWnd* w, TDC& dc);           // window coordinates
void RedrawScrollBar(HWND h, int bar);

}  // namespace vm
