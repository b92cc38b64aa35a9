// Whole-window transitions: when a window changes its look at once (a new
// skin, a skinned form shown), the change is played as a cross-fade. The old
// picture of the window is captured, a borderless output window is laid
// exactly over it, the window's new look is rendered off-screen, and mixed
// frames from old to new are drawn onto the output window before it goes.
//
// The capture reads the program's own backing store of the window (what the
// program has drawn there), never the screen, so other programs' windows
// never end up in it.
#pragma once

#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/win/WinApi.h"
#include "toolkit/CustomControl.h"

namespace vm {

// The borderless window the frames are drawn on. Created hidden, text
// "nxOutputWindow", colour $800080; without a parent window it is a pop-up
// owned by the application window, top-most when the window it covers is.
// It never erases or paints itself: it shows what was drawn on it.
class TOutputWindow : public TCustomControl {
 public:
  // owner: the control the transition covers.
  explicit TOutputWindow(TWinControl* owner);
  std::string ClassName() const override { return "TOutputWindow"; }
  void WndProc(TMessage& m) override;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TControlRef covered_;
};

// The device context of the off-screen rendering in progress, or nullptr.
// While it is set, controls do not repaint themselves on the screen in answer
// to command 3 (CmdRefresh): the refresh is being rendered into it.
extern HDC RenderingContext;

// The transition being prepared: the old picture and the output window
// (nullptr when none is prepared).
const TBitmap* TransitionSnapshot();
TOutputWindow* TransitionOutput();

// Prepares a transition of a windowed control: takes its current picture
// (only when none is taken yet: a second call keeps the first picture) and
// lays the output window over it, shown without activation.
void BeginTransition(TWinControl* control);

// Plays the transition over `time` milliseconds and ends it: the control's
// new look is rendered off-screen and time div 8 + 1 mixed frames go onto the
// output window, 8 ms apart, old-picture weights 255, 255 - s, 255 - 2s, ...
// (s = 255 div (time div 8)), then the new picture itself. A time of 7 or
// less shows the new picture at once. Prepares the transition first when
// BeginTransition was not called. The thread sleeps between frames and no
// messages are handled meanwhile.
void RunTransition(TWinControl* control, int time);

// Renders a control and its windowed descendants into the bitmap, the
// control's top-left (its window's, frame included) at (0, 0). Nothing for an
// invisible control. Skinned controls (they answer command 7) print
// themselves; the others are printed by the window system and painted by
// the toolkit.
void PaintControlTree(TBitmap& bitmap, TWinControl* control);

}  // namespace vm
