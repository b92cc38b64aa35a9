#include "skin/controls/SpinButton.h"

#include <algorithm>

#include "platform/gfx/SysColors.h"
#include "skin/controls/Edit.h"
#include "skin/controls/TimerSpeedButton.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/CommonData.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"

namespace vm {

namespace {

// A colour no arrow is drawn in: the glyph's transparent background (the
// speed button takes the bottom-left pixel's colour as transparent).
constexpr TColor GlyphBackground = RGB(255, 0, 255);

void DrawArrow(tk::TBitmap& glyph, bool up, TColor outline) {
  glyph.SetPixelFormat(tk::pf24bit);
  glyph.SetSize(9, 5);
  tk::TCanvas& c = glyph.Canvas();
  c.Brush().SetColor(GlyphBackground);
  c.FillRect(TRect{0, 0, 9, 5});
  c.Brush().SetColor(clBlack);
  c.Pen().SetColor(outline);
  const TPoint upArrow[] = {{1, 4}, {7, 4}, {4, 1}};
  const TPoint downArrow[] = {{1, 1}, {7, 1}, {4, 4}};
  c.Polygon(up ? upArrow : downArrow, 3);
}

}  // namespace

TsSpinButton::TsSpinButton(TComponent* owner) : TWinControl(owner) {
  controlStyle_ &= ~(csCaptureMouse | csClickEvents | csDoubleClicks);
  tabStop_ = false;
  width_ = 18;
  height_ = 20;
  upGlyph_ = std::make_unique<tk::TBitmap>();
  downGlyph_ = std::make_unique<tk::TBitmap>();
  auto make = [this](const char* name) {
    auto* b = new TsTimerSpeedButton(this);
    b->SetName(name);
    b->SetParent(this);
    b->OnClick = [this](TComponent* s) { ArrowClick(s); };
    b->OnPress = [this](TComponent* s, TMouseButton button, TShiftState, int, int) {
      ArrowPress(s, button);
    };
    return b;
  };
  upButton_ = make("UpButton");
  downButton_ = make("DownButton");
  focusedButton_ = upButton_;
  UpdateDefaultGlyphs();
  AdjustArrows();
}

TsSpinButton::~TsSpinButton() = default;

void TsSpinButton::Loaded() {
  TWinControl::Loaded();
  UpdateDefaultGlyphs();
  AdjustArrows();
}

void TsSpinButton::SetUpGlyph(const tk::TBitmap* value) {
  if (value && !value->Empty())
    upGlyph_->Assign(*value);
  else
    upGlyph_ = std::make_unique<tk::TBitmap>();
  UpdateDefaultGlyphs();
}

void TsSpinButton::SetDownGlyph(const tk::TBitmap* value) {
  if (value && !value->Empty())
    downGlyph_->Assign(*value);
  else
    downGlyph_ = std::make_unique<tk::TBitmap>();
  UpdateDefaultGlyphs();
}

void TsSpinButton::SetFocusControl(TWinControl* value) {
  focusControl_.Set(value);
  UpdateDefaultGlyphs();
}

void TsSpinButton::UpdateDefaultGlyphs() {
  TWinControl* edit = FocusControl();
  const TColor outline = edit ? ColorToRGB(edit->Font()->Color()) : TColor(clBlack);
  // The program's glyphs stay; the drawn ones follow the font colour.
  tk::TBitmap up, down;
  DrawArrow(up, true, outline);
  DrawArrow(down, false, outline);
  upButton_->SetGlyph(upGlyph_->Empty() ? &up : upGlyph_.get());
  downButton_->SetGlyph(downGlyph_->Empty() ? &down : downGlyph_.get());
}

void TsSpinButton::SetBounds(int left, int top, int width, int height) {
  TWinControl::SetBounds(left, top, width, height);
  AdjustArrows();
}

void TsSpinButton::AdjustArrows() {
  if (IsLoading() || !upButton_ || !downButton_ || Height() == 0) return;
  if (Width() < 15) {
    TWinControl::SetBounds(Left(), Top(), 15, Height());
    return;  // the bounds change comes back here
  }
  const int w = Width(), half = Height() / 2;
  upButton_->SetBounds(0, 0, w, half);
  downButton_->SetBounds(0, half, w, Height() - half);
}

void TsSpinButton::ArrowClick(TComponent* sender) {
  if (sender == upButton_ && OnUpClick) OnUpClick(this);
  if (sender == downButton_ && OnDownClick) OnDownClick(this);
}

void TsSpinButton::SetFocusedButton(TsTimerSpeedButton* button) {
  if (button == focusedButton_) return;
  const bool shown = focusedButton_ && (focusedButton_->TimeBtnState() & tbFocusRect);
  if (shown) ShowFocusFrame(false);
  focusedButton_ = button;
  if (shown) ShowFocusFrame(true);
}

void TsSpinButton::ArrowPress(TComponent* sender, TMouseButton button) {
  if (button != mbLeft) return;
  if (CanFocus()) SetFocusedButton(static_cast<TsTimerSpeedButton*>(sender));
  TWinControl* edit = FocusControl();
  if (edit && edit->TabStop() && edit->CanFocus() &&
      (!edit->HandleAllocated() || GetFocus() != edit->Handle()))
    edit->SetFocus();
  else if (TabStop() && GetFocus() != Handle() && CanFocus())
    SetFocus();
}

void TsSpinButton::ShowFocusFrame(bool show) {
  if (!focusedButton_) return;
  const TnxTimeBtnStates s = focusedButton_->TimeBtnState();
  focusedButton_->SetTimeBtnState(show ? (s | tbFocusRect) : (s & ~tbFocusRect));
}

void TsSpinButton::WndProc(TMessage& m) {
  TControlRef self(this);
  if (m.Msg == SM_NIRVEXCMD) {
    auto* edit = dynamic_cast<TsEdit*>(FocusControl());
    switch (CommandOf(m.WParam)) {
      case CmdGetBackground: {
        // What lies behind the arrows is the edit's picture, less its frame.
        TBitmap* cache = edit ? edit->SkinData()->CacheBmp.get() : nullptr;
        BackgroundAnswer = BackgroundInfo{cache, Left() + 2, Top() + 2,
                                          std::uint8_t(cache && !cache->Empty() ? 1 : 0)};
        m.Result = m.LParam = 1;
        return;
      }
      case CmdQueryStale:
        m.Result = m.LParam = edit && edit->SkinData()->IsPaintSuspended() ? 1 : 0;
        return;
      case CmdQueryHandled:
      case CmdQuerySeeThrough:
        // The arrows see through to the field's picture.
        m.Result = m.LParam = 1;
        return;
      case CmdGetColour:
        vm::ParentColor = ColorToRGB(edit ? edit->Color() : TColor(clWindow));
        m.Result = m.LParam = 1;
        return;
      default:
        break;
    }
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS;
      return;
    case CM_ENABLEDCHANGED:
      TWinControl::WndProc(m);
      if (!self) return;
      upButton_->SetEnabled(Enabled());
      downButton_->SetEnabled(Enabled());
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TWinControl::WndProc(m);
      if (self) ShowFocusFrame(m.Msg == WM_SETFOCUS);
      return;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

}  // namespace vm
