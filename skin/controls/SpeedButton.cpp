#include "skin/controls/SpeedButton.h"

#include <algorithm>
#include <exception>

#include "skin/controls/GlyphLayout.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Application.h"
#include "toolkit/Colors.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

// One drop-down menu at a time, process-wide.
bool DropDownOpen = false;

LPARAM Self(const TControl* c) {
  return reinterpret_cast<LPARAM>(c);
}

}  // namespace

TsSpeedButton::TsSpeedButton(TComponent* owner) : TSpeedButton(owner) {
  skinData_ = std::make_unique<TsCommonData>(this, true);
  skinData_->ControlType = 92;
  skinData_->ResolveSection();
  if (Skinned()) controlStyle_ |= csOpaque;
}

TsSpeedButton::~TsSpeedButton() {
  StopAnimation();
  skinData_.reset();
}

bool TsSpeedButton::Skinned() const {
  return skinData_ && skinData_->IsSkinned();
}

void TsSpeedButton::Loaded() {
  TSpeedButton::Loaded();
  skinData_->Loaded();
  if (Skinned()) controlStyle_ |= csOpaque;
}

void TsSpeedButton::Invalidate() {
  // A change made by the toolkit (state, layout, glyph, caption) changes the
  // picture, except while a mouse message is handled: the fade that follows
  // it rebuilds the picture itself.
  if (skinData_ && !quietInvalidate_ && !IsLoading() && !IsDestroying())
    skinData_->CacheInvalid = true;
  TSpeedButton::Invalidate();
}

void TsSpeedButton::Changed() {
  if (!skinData_) return;
  skinData_->CacheInvalid = true;
  if (Skinned())
    RepaintThroughParent();
  else
    TSpeedButton::Invalidate();
}

// ---------------------------------------------------------------- properties

void TsSpeedButton::SetAlignment(TAlignment v) {
  if (v == look_.Alignment) return;
  look_.Alignment = v;
  Changed();
}

void TsSpeedButton::SetBlend(int v) {
  v = std::clamp(v, 0, 100);
  if (v == look_.Blend) return;
  look_.Blend = v;
  Changed();
}

void TsSpeedButton::SetButtonStyle(TsButtonStyle v) {
  if (v == buttonStyle_) return;
  buttonStyle_ = v;
  if (v != tbsCheck) checked_ = false;
  Changed();
}

void TsSpeedButton::SetDisabledGlyphKind(TsDisabledGlyphKind v) {
  if (v == look_.DisabledGlyphKind) return;
  look_.DisabledGlyphKind = v;
  Changed();
}

void TsSpeedButton::SetDisabledKind(TsDisabledKind v) {
  if (v == look_.DisabledKind) return;
  look_.DisabledKind = v;
  Changed();
}

void TsSpeedButton::SetGrayed(bool v) {
  if (v == look_.Grayed) return;
  look_.Grayed = v;
  Changed();
}

void TsSpeedButton::SetImageIndex(int v) {
  if (v == look_.ImageIndex) return;
  look_.ImageIndex = v;
  Changed();
}

void TsSpeedButton::SetImages(tk::TImageList* v) {
  if (v == images_.Get()) return;
  images_.Set(v);
  Changed();
}

void TsSpeedButton::SetShowCaption(bool v) {
  if (v == look_.ShowCaption) return;
  look_.ShowCaption = v;
  Changed();
}

void TsSpeedButton::SetDrawOverBorder(bool v) {
  if (v == look_.DrawOverBorder) return;
  look_.DrawOverBorder = v;
  Changed();
}

void TsSpeedButton::SetTextOffset(int v) {
  if (v == look_.TextOffset) return;
  look_.TextOffset = v;
  Changed();
}

void TsSpeedButton::SetTextAlignment(TAlignment v) {
  if (v == look_.TextAlignment) return;
  look_.TextAlignment = v;
  Changed();
}

void TsSpeedButton::SetNumGlyphs(int n) {
  if (n == numGlyphs_) return;
  numGlyphs_ = n;
  TSpeedButton::SetNumGlyphs(EffectiveGlyphCount(n, Glyph() ? Glyph()->Width() : 0));
  Changed();
}

// ---------------------------------------------------------------- state and layout

bool TsSpeedButton::IsDown() const {
  return Down() || checked_;
}

int TsSpeedButton::StateIndex() const {
  if (State() == bsDown || State() == bsExclusive || checked_ || menuShowing_) return 2;
  if (skinData_->IsHot()) return 1;
  return 0;
}

void TsSpeedButton::LayoutRects(TRect& glyph, TRect& caption) {
  const int n = EffectiveGlyphCount(numGlyphs_, Glyph() ? Glyph()->Width() : 0);
  TGlyphLayoutInput in;
  in.Width = Width();
  in.Height = Height();
  in.Glyph = buttonStyle_ == tbsTextButton
                 ? TSize{}
                 : GlyphCellSize(Glyph(), n, images_.Get(), look_.ImageIndex);
  in.CaptionShown = look_.ShowCaption && !Caption().empty();
  if (in.CaptionShown) {
    TBitmap scratch(1, 1);
    TDC canvas(scratch);
    int width = Width() - DropWidth() - 2 * Margin();
    if (in.Glyph.cx > 0 && (Layout() == blGlyphLeft || Layout() == blGlyphRight))
      width -= in.Glyph.cx + Spacing();
    in.Text = MeasureCaption(canvas, *this, Caption(), width,
                             CaptionAlignFlags(look_.TextAlignment) | DT_EXPANDTABS | DT_WORDBREAK);
  }
  in.Margin = Margin();
  in.Spacing = Spacing();
  in.Alignment = look_.Alignment;
  in.Layout = Layout();
  in.Pressed = StateIndex() == 2;
  SpeedButtonRects(in, DropWidth(), look_.TextOffset, glyph, caption);
}

// ---------------------------------------------------------------- painting

void TsSpeedButton::PaintCaptionAndGlyph(TBitmap& cache, int state) {
  TRect glyphRect, captionRect;
  LayoutRects(glyphRect, captionRect);
  if (look_.ShowCaption && !Caption().empty())
    PaintButtonCaption(*skinData_, cache, Caption(), captionRect, state, Enabled(),
                       CaptionAlignFlags(look_.TextAlignment) | DT_EXPANDTABS | DT_WORDBREAK, -1);
  if (buttonStyle_ == tbsTextButton) return;
  TsGlyphPaint p;
  p.Rect = glyphRect;
  p.Down = State() == bsDown || State() == bsExclusive || checked_;
  p.State = state;
  p.Enabled = Enabled();
  p.Active = skinData_->IsHot();
  p.KeyFromBottom = true;
  const int n = EffectiveGlyphCount(numGlyphs_, Glyph() ? Glyph()->Width() : 0);
  try {
    PaintButtonGlyph(cache, p, look_, Glyph(), n, images_.Get());
  } catch (const std::exception&) {
  }
}

void TsSpeedButton::PaintFace(TBitmap& cache, int state, BackgroundInfo background) {
  TsCommonData& data = *skinData_;
  TsSkinManager* m = data.GetSkinManager();
  const TPoint position{Left(), Top()};
  const TRect all{0, 0, cache.Width(), cache.Height()};
  // A text button shows its face only while hot or pressed.
  if (buttonStyle_ == tbsTextButton && state == 0) {
    PaintControlBackground(data, background, 0, cache, position, all);
    ResetColours();
    if (background.Ready && background.Bitmap)
      TDC(cache).BitBlt(0, 0, cache.Width(), cache.Height(), *background.Bitmap,
                        position.X + background.OffsetX, position.Y + background.OffsetY);
    PaintCaptionAndGlyph(cache, state);
    return;
  }
  if (look_.DrawOverBorder) {
    PaintControlItem(data, background, true, true, &cache, position, all, state);
    RefillAllCorners(data, state);
    ResetColours();
    PaintCaptionAndGlyph(cache, state);
  } else {
    PaintControlBackground(data, background, state, cache, position, all);
    ResetColours();
    PaintCaptionAndGlyph(cache, state);
    if (m->IsValidMaskIndex(data.BorderMaskIndex)) {
      const TsMaskData& mask = m->ma[std::size_t(data.BorderMaskIndex)];
      PaintNinePart(cache, all, true, true, std::min(state, std::max(int(mask.ImageCount), 1) - 1),
                    mask, background);
    }
  }
}

void TsSpeedButton::PaintDropDown(TBitmap& cache, BackgroundInfo background) {
  TsCommonData& data = *skinData_;
  const int w = cache.Width(), h = cache.Height();
  if (w <= DropDownWidth) return;
  const bool down = menuShowing_ || IsDown() || State() == bsDown || State() == bsExclusive;
  const int state = down ? 2 : (data.IsHot() ? 1 : 0);
  PaintControlItem(data, background, true, true, &cache, TPoint{Left() + w - DropDownWidth, Top()},
                   TRect{w - DropDownWidth, 0, w, h}, state);
  ResetColours();
  // The skin's down arrow: the combo box's glyph.
  TsSkinManager* m = data.GetSkinManager();
  const int combo = m->FindSectionIndex("COMBOBOX");
  const int arrow = combo >= 0 ? m->FindMaskIndex(combo, "COMBOBOX", "GLYPHMASK") : -1;
  if (!m->IsValidMaskIndex(arrow)) return;
  const TsMaskData& mask = m->ma[std::size_t(arrow)];
  const TMaskFrame f = TMaskFrame::Of(mask);
  if (!f.Valid) return;
  PaintStateImage(cache, TPoint{w - DropDownWidth + (DropDownWidth - f.W) / 2 + 1, (h - f.H) / 2},
                  0, mask);
}

void TsSpeedButton::ResetColours() const {
  KeyFillColor = vm::ParentColor = PaintingParentColour();
}

void TsSpeedButton::PrepareCache() {
  TsCommonData& data = *skinData_;
  // The engine's parent colours hold the button's own choice while it
  // paints, and are unset once it is done.
  struct TUnset {
    ~TUnset() { TsEngineColours::Reset(); }
  } unsetAfter;
  ResetColours();
  data.PrepareCache();
  TBitmap& cache = *data.CacheBmp;
  if (cache.Width() <= 0 || cache.Height() <= 0) return;
  const BackgroundInfo background = data.GetParentBackground();
  const TColor parentColour = Parent() ? AskParentColour(Parent()) : ColorToRGB(Color());
  ResetColours();
  const TPoint position{Left(), Top()};
  const int state = StateIndex();
  if (buttonStyle_ == tbsSeparator || buttonStyle_ == tbsDivider) {
    // Only what lies behind, and for a divider the skin's divider line.
    if (background.Ready && background.Bitmap)
      TDC(cache).BitBlt(0, 0, cache.Width(), cache.Height(), *background.Bitmap,
                        position.X + background.OffsetX, position.Y + background.OffsetY);
    else
      cache.Fill(parentColour);
    TsSkinManager* m = data.GetSkinManager();
    const int divider = m->FindSectionIndex("DIVIDER");
    const int mask = divider >= 0 ? m->FindMaskIndex(divider, "DIVIDER", "BORDERSMASK") : -1;
    if (buttonStyle_ == tbsDivider && m->IsValidMaskIndex(mask)) {
      const TMaskFrame f = TMaskFrame::Of(m->ma[std::size_t(mask)]);
      const int w = cache.Width();
      PaintNinePart(cache, TRect{(w - f.W) / 2, 0, (w + f.W) / 2, cache.Height()}, true, true, 0,
                    m->ma[std::size_t(mask)], BackgroundInfo{&cache, 0, 0, 1});
    }
  } else {
    PaintFace(cache, state, background);
    if (buttonStyle_ == tbsDropDown) PaintDropDown(cache, background);
    PaintOver(cache, state);
  }
  if (!Enabled()) {
    try {
      ShadeDisabled(cache, look_.DisabledKind, parentColour, position, background);
    } catch (const std::exception&) {
    }
  }
  lastLayout_ = Layout();
  data.CacheInvalid = false;
  if (OnPaint) OnPaint(this, cache);
}

void TsSpeedButton::Paint() {
  if (!Skinned()) {
    TSpeedButton::Paint();
    return;
  }
  TsCommonData& data = *skinData_;
  HDC dc = PaintDC();
  if (!dc || Width() <= 0 || Height() <= 0) return;
  data.PaintSuspended = data.IsPaintSuspended();
  if (data.PaintSuspended) return;
  const bool animating = animTimer_ && animTimer_->Enabled();
  if (!animating &&
      (data.CacheInvalid || Layout() != lastLayout_ || !data.CacheBmp || data.CacheBmp->Empty()))
    PrepareCache();
  const TBitmap* picture = data.CacheBmp.get();
  // A fade shows its frame, or before the first one the picture it starts from.
  if (animating && animTimer_->FramePicture && !animTimer_->FramePicture->Empty())
    picture = animTimer_->FramePicture.get();
  else if (animating && animTimer_->StartPicture && !animTimer_->StartPicture->Empty())
    picture = animTimer_->StartPicture.get();
  if (picture && !picture->Empty())
    dc->BitBlt(0, 0, picture->Width(), picture->Height(), *picture, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------- fades

void TsSpeedButton::StopAnimation() {
  if (!animTimer_) return;
  animTimer_->SetEnabled(false);
  animTimer_.reset();
}

void TsSpeedButton::RepaintThroughParent() {
  TWinControl* parent = Parent();
  if (IsDestroying() || IsLoading() || !parent || !Visible() || !parent->HandleAllocated()) return;
  TControlRef self(this);
  SendCommand(parent, CmdSetAnimatingChild, Self(this));
  if (!self) return;
  TSpeedButton::Repaint();
  if (!self) return;
  SendCommand(parent, CmdSetAnimatingChild, 0);
}

void TsSpeedButton::FadeTo(bool halfSteps, TnxAnimatEvent event) {
  TsCommonData& data = *skinData_;
  if (!Skinned()) return;
  TsSkinManager* m = data.GetSkinManager();
  const TsGeneralData& gd = m->gd[std::size_t(data.SectionIndex)];
  const bool ready = data.CacheBmp && !data.CacheBmp->Empty() && !data.CacheInvalid;
  if (!AnimatesOn(look_.AnimatEvents, event) || AnimationsOff || !gd.FadingEnabled ||
      IsFadingSuspended() || !ready || gd.FadingIterations <= 0) {
    data.CacheInvalid = true;
    StopAnimation();
    RepaintThroughParent();
    return;
  }
  // The picture on the screen now is where the fade starts: the running
  // frame when a fade is cut short, so it goes on from the level it reached.
  auto start = std::make_unique<TBitmap>(animTimer_ && animTimer_->FramePicture &&
                                                 !animTimer_->FramePicture->Empty()
                                             ? *animTimer_->FramePicture
                                             : *data.CacheBmp);
  PrepareCache();
  if (!animTimer_) animTimer_ = std::make_unique<TsAnimTimer>(nullptr);
  animTimer_->SetEnabled(false);
  animTimer_->PrepareAnimation(data);
  if (halfSteps) animTimer_->StepCount = std::max(animTimer_->StepCount / 2, 1);
  animTimer_->Step = 1;
  animTimer_->StartPicture = std::move(start);
  animTimer_->FramePicture.reset();
  animTimer_->SetEnabled(true);
}

// ---------------------------------------------------------------- mouse

void TsSpeedButton::DoMouseEnter(TMessage& m) {
  if (!IsOwnMouseMessage(*this, m)) return;
  TsCommonData& data = *skinData_;
  const std::uint64_t me = Serial();
  if (OnMouseEnter) OnMouseEnter(this);
  if (!ControlAlive(this, me) || data.MouseAbove || !Enabled() || IsDesigning()) return;
  data.MouseAbove = true;
  FadeTo(false, aeMouseEnter);
}

void TsSpeedButton::DoMouseLeave(TMessage& m) {
  if (!IsOwnMouseMessage(*this, m)) return;
  TsCommonData& data = *skinData_;
  const std::uint64_t me = Serial();
  if (OnMouseLeave) OnMouseLeave(this);
  if (!ControlAlive(this, me)) return;
  data.MouseAbove = false;
  // A press the mouse took away goes back up.
  if (State() == bsDown && !Down()) {
    quietInvalidate_ = true;
    SetState(bsUp);
    quietInvalidate_ = false;
  }
  FadeTo(false, aeMouseLeave);
}

bool TsSpeedButton::DropDown(int x) {
  tk::TPopupMenu* menu = dropdownMenu_.Get();
  if (buttonStyle_ != tbsDropDown || !menu || !Enabled()) return false;
  if (OnClick && x < Width() - DropDownWidth) return false;
  if (DropDownOpen) return true;  // one menu at a time
  StopAnimation();
  DropDownOpen = true;
  const std::uint64_t me = Serial();
  menuShowing_ = true;
  skinData_->CacheInvalid = true;
  const bool noClick = !OnClick;
  if (noClick) {
    quietInvalidate_ = true;
    SetState(bsDown);
    quietInvalidate_ = false;
  }
  RepaintThroughParent();
  menu->SetPopupComponent(this);
  const TPoint at = ClientToScreen(TPoint{0, Height() + 1});
  try {
    menu->Popup(at.X, at.Y);
  } catch (...) {
    DropDownOpen = false;
    if (ControlAlive(this, me)) menuShowing_ = false;
    throw;
  }
  DropDownOpen = false;
  if (!ControlAlive(this, me)) return true;
  menuShowing_ = false;
  skinData_->CacheInvalid = true;
  TPoint cursor;
  GetCursorPos(&cursor);
  const TPoint origin = ClientToScreen(TPoint{0, 0});
  if (!Bounds(origin.X, origin.Y, Width(), Height()).Contains(cursor)) {
    TMessage leave{CM_MOUSELEAVE, 0, Self(this), 0};
    DoMouseLeave(leave);
    if (!ControlAlive(this, me)) return true;
  }
  if (noClick) SetState(bsUp);
  RepaintThroughParent();
  return true;
}

void TsSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  // A check button stays down after a click until the next one.
  const bool click = button == mbLeft && buttonStyle_ == tbsCheck && Enabled() &&
                     GroupIndex() == 0 && ClientRect().Contains({x, y}) && State() == bsDown;
  if (click) checked_ = !checked_;
  TSpeedButton::MouseUp(button, shift, x, y);
}

// ---------------------------------------------------------------- messages

void TsSpeedButton::SkinCommand(TMessage& m) {
  TsCommonData& data = *skinData_;
  const bool own = FromOwnManager(data, m);
  switch (CommandOf(m.WParam)) {
    case CmdNewSkin:
      if (!own) break;
      StopAnimation();
      if (images_.Get() && images_.Get()->Count() > 0 && Glyph() && !Glyph()->Empty())
        TSpeedButton::SetGlyph(nullptr);
      data.HandleMessage(m);
      if (Skinned()) controlStyle_ |= csOpaque;
      return;
    case CmdRemoveSkin:
      if (!own || IsDestroying()) break;
      StopAnimation();
      data.HandleMessage(m);
      controlStyle_ &= ~csOpaque;
      TSpeedButton::Invalidate();
      return;
    case CmdRefresh:
      if (!own) break;
      StopAnimation();
      data.HandleMessage(m);
      data.CacheInvalid = true;
      if (Skinned()) controlStyle_ |= csOpaque;
      if (Visible()) RepaintThroughParent();
      return;
    default:
      break;
  }
  if (HandleCommonCommand(data, m, [this] { RepaintThroughParent(); })) return;
  if (Skinned()) {
    switch (CommandOf(m.WParam)) {
      case CmdSetSeeThrough:
        if (data.CacheInvalid) PrepareCache();
        break;
      case CmdQueryStale:
        AnswerCommand(m, data.CacheInvalid || data.PaintSuspended ? 1 : 0);
        return;
      case CmdRepaintSection:
        if (data.SkinSection() != CurrentSectionName) {
          data.CacheInvalid = true;
          RepaintThroughParent();
        }
        return;
      case CmdUpdate:
        StopAnimation();
        RepaintThroughParent();
        return;
      default:
        break;
    }
  }
  data.HandleMessage(m);
}

void TsSpeedButton::WndProc(TMessage& m) {
  if (m.Msg == SM_NIRVEXCMD) {
    SkinCommand(m);
    return;
  }
  const bool skinned = Skinned();
  if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) {
    if (!skinned) {
      if (!FollowPlainMouse(*this, *skinData_, m, OnMouseEnter, OnMouseLeave)) return;
      TSpeedButton::WndProc(m);
      return;
    }
    // The toolkit's own flat-look handling repaints too: quietly.
    quietInvalidate_ = true;
    TSpeedButton::WndProc(m);
    quietInvalidate_ = false;
    if (m.Msg == CM_MOUSEENTER)
      DoMouseEnter(m);
    else
      DoMouseLeave(m);
    return;
  }
  if (!skinned) {
    TSpeedButton::WndProc(m);
    return;
  }
  const std::uint64_t me = Serial();
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      TsHintsOff hints;
      if (m.Msg != WM_RBUTTONDOWN && m.Msg != WM_MBUTTONDOWN && DropDown(GET_X_LPARAM(m.LParam)))
        return;
      if (!ControlAlive(this, me)) return;
      const bool left = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
      quietInvalidate_ = left;
      TSpeedButton::WndProc(m);
      if (!ControlAlive(this, me)) return;
      quietInvalidate_ = false;
      if (left && Enabled()) FadeTo(true, aeMouseDown);
      return;
    }
    case WM_LBUTTONUP: {
      if (buttonStyle_ == tbsDropDown) menuShowing_ = false;
      // A release while the press fade still runs ends it at once.
      if (animTimer_ && animTimer_->Enabled() && animTimer_->StartPicture &&
          animTimer_->StartPicture->Width() == Width()) {
        StopAnimation();
        PrepareCache();
        RepaintThroughParent();
        if (!ControlAlive(this, me)) return;
      }
      quietInvalidate_ = true;
      TSpeedButton::WndProc(m);
      if (!ControlAlive(this, me)) return;
      quietInvalidate_ = false;
      if (!IsDestroying() && !IsDesigning()) FadeTo(true, aeMouseUp);
      return;
    }
    case WM_SIZE:
    case WM_MOVE:
      if (Visible()) skinData_->CacheInvalid = true;
      break;
    case CM_VISIBLECHANGED: {
      TSpeedButton::WndProc(m);
      if (!ControlAlive(this, me)) return;
      TMessage leave{CM_MOUSELEAVE, 0, Self(this), 0};
      if (skinData_->MouseAbove) DoMouseLeave(leave);
      return;
    }
    case CM_ENABLEDCHANGED:
      skinData_->HandleMessage(m);
      TSpeedButton::WndProc(m);
      if (!ControlAlive(this, me)) return;
      if (Visible()) {
        skinData_->CacheInvalid = true;
        RepaintThroughParent();
      }
      return;
    case CM_TEXTCHANGED:
      if (look_.ShowCaption) skinData_->CacheInvalid = true;
      break;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    default:
      break;
  }
  if (skinData_->HandleMessage(m)) return;
  TSpeedButton::WndProc(m);
}

}  // namespace vm
