// TsCaptionButtons: the buttons of a skinned caption. The system buttons
// (close, maximise or restore, minimise, help, and the three buttons of a
// maximised child window) and the user's title buttons are laid out right to
// left from the skin's masks, drawn into the frame cache, hit-tested, and
// follow the mouse: hover, press with capture, release over the button (a
// click, told to the owner), each change repainting that one button from the
// strip kept behind the buttons, and fading through the shared fade timer
// when the caption's section fades.
//
// The buttons belong to a TsFramePainter and read the window through it.
#pragma once

#include <array>
#include <functional>
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "skin/frame/TitleButtons.h"
#include "skin/frame/TitleMasks.h"
#include "skin/state/FadeTimer.h"
#include "toolkit/Form.h"
#include "toolkit/Messages.h"

namespace vm {

class TsFramePainter;
struct TsFrameWindow;
struct TsFrameMetrics;

// The platform's hit codes of the caption, and the engine's own.
inline constexpr int htCaption = 2;
inline constexpr int htSysMenu = 3;
inline constexpr int htMinButton = 8;
inline constexpr int htMaxButton = 9;
inline constexpr int htBottomRight = 17;
inline constexpr int htClose = 20;
inline constexpr int htHelp = 21;
inline constexpr int htChildClose = 101;
inline constexpr int htChildRestore = 102;
inline constexpr int htChildMinimize = 103;
inline constexpr int htUserButton = 1000;  // + the button's index

class TsCaptionButtons : private TsFadeTarget {
 public:
  enum { bClose = 0, bMax, bMin, bHelp, bChildClose, bChildRestore, bChildMin, ButtonCount };

  explicit TsCaptionButtons(TsFramePainter& frame);
  ~TsCaptionButtons() override;
  TsCaptionButtons(const TsCaptionButtons&) = delete;
  TsCaptionButtons& operator=(const TsCaptionButtons&) = delete;

  // The user's title buttons, laid out after the system buttons (none when null).
  TsTitleButtons* UserButtons = nullptr;
  // A click: the button pressed was released over itself (its state is
  // normal again and repainted). The owner carries the command out; it may
  // free the frame, so nothing runs after it.
  std::function<void(int code)> OnClick;

  // Looks the masks up for the frame's section and the window's border style.
  void LookUpMasks(TFormBorderStyle style);
  // Forgets the masks, states, places and the strip behind the buttons.
  void Clear();

  const TsTitleButtonRecord& Button(int which) const { return buttons_[std::size_t(which)]; }
  TsTitleButtonRecord* ButtonOf(int code);
  const TsTitleMasks& Masks() const { return masks_; }
  // The buttons' total width (each with one spacing) as last laid out.
  int Width() const { return width_; }
  static bool IsButtonCode(int code);

  // Lays the buttons out for the window (and draws them into the cache).
  void Layout(TBitmap& cache, const TsFrameWindow& w, bool draw);
  // Keeps the strip of the cache behind the buttons (before they are drawn).
  void TakeBackground(const TBitmap& cache, const TsFrameMetrics& fm, int bottom);
  // The code of the caption element at p inside the button band (the icon,
  // a button), 0 elsewhere in the band, -1 outside the band.
  int BandHitTest(const TsFrameWindow& w, TPoint p);

  // ---- the mouse ----
  int HoverCode() const { return hoverCode_; }
  bool Pressed() const { return pressed_; }
  bool Capturing() const { return capturing_; }
  // Makes code the hot element (the previous one goes back to normal).
  void SetHoverCode(int code);
  // Repaints the element in its normal look as if the mouse had just left
  // it (a button that changed its shape) and clears the hover element.
  void Unhover(int code) {
    hoverCode_ = code;
    SetHoverCode(0);
  }
  // Presses the element (state 2) and captures the mouse for the window.
  void Press(int code);
  // The left button released over the caption at the element code: a click
  // when that element was pressed. True when it was (and OnClick ran).
  bool Release(int code);
  // Captured mouse messages while a button is pressed (moves show it pressed
  // or not, the release clicks when over it). True when handled.
  bool HandleCapturedMouse(TMessage& m);
  // The mouse moved over the frame: its leaving is to be told.
  void TrackLeave();
  // Repaints one element in the cache and on the window (fading when the
  // caption's section fades).
  void Repaint(int code);
  void StopFade();

 private:
  // TsFadeTarget
  const TBitmap* FadeTargetPicture() override;
  bool ShowFadeFrame(const TBitmap& frame) override;

  void Draw(TBitmap& cache, const TsFrameWindow& w, int which, bool single);
  void DrawUser(TBitmap& cache, const TsFrameWindow& w, int index, bool single);
  bool Shown(const TsFrameWindow& w, int which) const;
  TSize CellOf(int maskIndex, TSize fallback) const;
  void ClickOn(int code);

  TsFramePainter& frame_;
  std::array<TsTitleButtonRecord, ButtonCount> buttons_{};
  int width_ = 0;
  TsTitleMasks masks_;
  TBitmap back_;  // the caption strip behind the buttons
  TRect backRect_{};
  int hoverCode_ = 0;
  bool pressed_ = false;
  bool capturing_ = false;
  // The fade of one button: its rectangle, and the target picture taken
  // from the cache for each frame.
  std::unique_ptr<TsFadeTimer> fade_;
  TRect fadeRect_{};
  TBitmap fadePicture_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vm
