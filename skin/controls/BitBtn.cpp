#include "skin/controls/BitBtn.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "platform/controls/ControlDefs.h"
#include "platform/gfx/Region.h"
#include "skin/controls/GlyphData.h"
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

namespace vm {

namespace {

// Shows the pressed look for a repaint the mouse release makes while a press
// fade was still running (process-wide, the user-interface thread only).
bool ShowPressed = false;

}  // namespace

TsBitBtn::TsBitBtn(TComponent* owner) : TBitBtn(owner) {
  // The parent shows through the border's transparent pixels.
  controlStyle_ &= ~csOpaque;
  skinData_ = std::make_unique<TsCommonData>(this, true);
  skinData_->ControlType = 94;
  skinData_->ResolveSection();
  regionChanged_ = true;
}

TsBitBtn::~TsBitBtn() {
  StopFadeTimer();
  skinData_.reset();
}

bool TsBitBtn::Skinned() const {
  return skinData_ && skinData_->IsSkinned();
}

void TsBitBtn::Loaded() {
  TBitBtn::Loaded();
  skinData_->Loaded();
}

void TsBitBtn::Invalidate() {
  // Every toolkit-side change (layout, margin, spacing, glyph, caption)
  // changes the picture: the cache is rebuilt at the next painting.
  if (skinData_) skinData_->CacheInvalid = true;
  TBitBtn::Invalidate();
}

void TsBitBtn::Changed() {
  if (!skinData_) return;
  skinData_->Repaint();
  if (!Skinned()) TBitBtn::Invalidate();
}

// ---------------------------------------------------------------- properties

void TsBitBtn::SetGlyph(const tk::TBitmap* b) {
  TBitBtn::SetGlyph(b);
  numGlyphs_ = TBitBtn::NumGlyphs();
  Changed();
}

void TsBitBtn::SetNumGlyphs(int n) {
  if (n == numGlyphs_) return;
  numGlyphs_ = n;
  TBitBtn::SetNumGlyphs(EffectiveGlyphCount(n, Glyph() ? Glyph()->Width() : 0));
  Changed();
}

void TsBitBtn::LoadGlyphData(std::span<const std::uint8_t> data) {
  tk::TBitmap strip;
  strip.TakeImage(ReadGlyphData(data));
  const int n = numGlyphs_;
  SetGlyph(&strip);
  // The stored count stays; the strip's shape does not decide it.
  numGlyphs_ = n;
  TBitBtn::SetNumGlyphs(EffectiveGlyphCount(n, Glyph()->Width()));
}

void TsBitBtn::SetAlignment(TAlignment v) {
  if (v == look_.Alignment) return;
  look_.Alignment = v;
  Changed();
}

void TsBitBtn::SetBlend(int v) {
  v = std::clamp(v, 0, 100);
  if (v == look_.Blend) return;
  look_.Blend = v;
  Changed();
}

void TsBitBtn::SetDisabledGlyphKind(TsDisabledGlyphKind v) {
  if (v == look_.DisabledGlyphKind) return;
  look_.DisabledGlyphKind = v;
  RebuildStripFromImages();
  Changed();
}

void TsBitBtn::SetDisabledKind(TsDisabledKind v) {
  if (v == look_.DisabledKind) return;
  look_.DisabledKind = v;
  Changed();
}

void TsBitBtn::SetDown(bool v) {
  if (v == down_) return;
  down_ = v;
  regionChanged_ = true;
  skinData_->CacheInvalid = true;
  if (Skinned() && HandleAllocated() && Showing())
    TBitBtn::Repaint();
  else
    TBitBtn::Invalidate();
}

void TsBitBtn::SetGrayed(bool v) {
  if (v == look_.Grayed) return;
  look_.Grayed = v;
  Changed();
}

void TsBitBtn::SetImageIndex(int v) {
  if (v == look_.ImageIndex) return;
  look_.ImageIndex = v;
  RebuildStripFromImages();
  Changed();
}

void TsBitBtn::SetImages(tk::TImageList* v) {
  if (v == images_.Get()) return;
  images_.Set(v);
  RebuildStripFromImages();
  Changed();
}

void TsBitBtn::SetShowCaption(bool v) {
  if (v == look_.ShowCaption) return;
  look_.ShowCaption = v;
  Changed();
}

void TsBitBtn::SetShowFocus(bool v) {
  if (v == showFocus_) return;
  showFocus_ = v;
  Changed();
}

void TsBitBtn::SetDrawOverBorder(bool v) {
  if (v == look_.DrawOverBorder) return;
  look_.DrawOverBorder = v;
  Changed();
}

void TsBitBtn::SetTextOffset(int v) {
  if (v == look_.TextOffset) return;
  look_.TextOffset = v;
  Changed();
}

void TsBitBtn::SetTextAlignment(TAlignment v) {
  if (v == look_.TextAlignment) return;
  look_.TextAlignment = v;
  Changed();
}

void TsBitBtn::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  Changed();
}

void TsBitBtn::RebuildStripFromImages() {
  // The plain look draws only strips: without a skin an image of the list
  // becomes a two-cell strip (image, disabled image).
  tk::TImageList* images = images_.Get();
  if (Skinned() || !images || IsLoading()) return;
  tk::TBitmap strip;
  if (!GlyphStripFromImages(strip, *images, look_.ImageIndex, look_.DisabledGlyphKind)) return;
  TBitBtn::SetGlyph(&strip);
  TBitBtn::SetNumGlyphs(2);
  numGlyphs_ = 2;
}

// ---------------------------------------------------------------- state and layout

int TsBitBtn::StateIndex() const {
  if (down_) return 2;
  const bool pushed = forcedPushed_ >= 0
                          ? forcedPushed_ == 1
                          : HandleAllocated() && (SendMessage(const_cast<TsBitBtn*>(this)->Handle(),
                                                              BM_GETSTATE, 0, 0) &
                                                  BST_PUSHED);
  // A press by the space key shows pressed wherever the mouse is.
  if ((pushed || ShowPressed) &&
      (skinData_->MouseAbove || forcedPushed_ == 1 || !(GetKeyState(VK_LBUTTON) & 0x8000)))
    return 2;
  bool defaultLook = false;
  if (Default()) {
    // The form's active default button: no other button holds the focus.
    TWinControl* focus = TWinControl::FindControl(GetFocus());
    defaultLook = !dynamic_cast<TButton*>(focus) || focus == this;
  }
  if (defaultLook || skinData_->IsHot()) return 1;
  return 0;
}

std::uint32_t TsBitBtn::TextFlags() const {
  return CaptionAlignFlags(look_.TextAlignment) | DT_EXPANDTABS |
         (wordWrap_ ? std::uint32_t(DT_WORDBREAK) : 0u);
}

TSize TsBitBtn::MeasureText(TDC& canvas, TSize glyph) {
  if (!look_.ShowCaption || Caption().empty()) return {};
  int width = Width() - 2 * Margin();
  if (glyph.cx > 0 && (Layout() == blGlyphLeft || Layout() == blGlyphRight))
    width -= glyph.cx + Spacing();
  return MeasureCaption(canvas, *this, Caption(), width, TextFlags());
}

namespace {

TGlyphLayoutInput LayoutInput(TsBitBtn& b, TDC& canvas, TSize glyph, TSize text, int state) {
  (void)canvas;
  TGlyphLayoutInput in;
  in.Width = b.Width();
  in.Height = b.Height();
  in.Glyph = glyph;
  in.Text = text;
  in.Margin = b.Margin();
  in.Spacing = b.Spacing();
  in.CaptionShown = b.ShowCaption() && !b.Caption().empty();
  in.Alignment = b.Alignment();
  in.Layout = b.Layout();
  in.Pressed = state == 2;
  return in;
}

}  // namespace

TRect TsBitBtn::GlyphRect() {
  TBitmap scratch(1, 1);
  TDC canvas(scratch);
  const int n = EffectiveGlyphCount(numGlyphs_, Glyph() ? Glyph()->Width() : 0);
  const TSize glyph = GlyphCellSize(Glyph(), n, images_.Get(), look_.ImageIndex);
  return BitBtnGlyphRect(
      LayoutInput(*this, canvas, glyph, MeasureText(canvas, glyph), StateIndex()));
}

TRect TsBitBtn::CaptionRect() {
  TBitmap scratch(1, 1);
  TDC canvas(scratch);
  const int n = EffectiveGlyphCount(numGlyphs_, Glyph() ? Glyph()->Width() : 0);
  const TSize glyph = GlyphCellSize(Glyph(), n, images_.Get(), look_.ImageIndex);
  return BitBtnCaptionRect(
      LayoutInput(*this, canvas, glyph, MeasureText(canvas, glyph), StateIndex()));
}

// ---------------------------------------------------------------- painting

void TsBitBtn::PaintBorder(TBitmap& cache, int state, BackgroundInfo background, bool cutRegion) {
  TsSkinManager* m = skinData_->GetSkinManager();
  if (!m || !m->IsValidMaskIndex(skinData_->BorderMaskIndex)) return;
  const TsMaskData& mask = m->ma[std::size_t(skinData_->BorderMaskIndex)];
  const int frames = std::max(int(mask.ImageCount), 1);
  // The centre piece too: a button's face is part of its border image.
  PaintNinePart(cache, TRect{0, 0, cache.Width(), cache.Height()}, true, true,
                std::min(state, frames - 1), mask, background);
  if (cutRegion && pendingRegion_) {
    // The corners' transparent pixels are not part of the window.
    std::vector<TRect> runs;
    CollectKeyRuns(runs, cache.Width(), mask, false, 0);
    CollectKeyRuns(runs, cache.Width(), mask, true, cache.Height() - mask.WB);
    for (const TRect& r : runs) pendingRegion_->Subtract(r);
  }
}

void TsBitBtn::PaintCaptionAndGlyph(TBitmap& cache, int state) {
  TDC canvas(cache);
  const int n = EffectiveGlyphCount(numGlyphs_, Glyph() ? Glyph()->Width() : 0);
  const TSize glyph = GlyphCellSize(Glyph(), n, images_.Get(), look_.ImageIndex);
  const TGlyphLayoutInput in = LayoutInput(*this, canvas, glyph, MeasureText(canvas, glyph), state);
  if (look_.ShowCaption && !Caption().empty()) {
    TsSkinManager* m = skinData_->GetSkinManager();
    const bool sectionFocus = m && m->IsValidSectionIndex(skinData_->SectionIndex) &&
                              m->gd[std::size_t(skinData_->SectionIndex)].ShowFocus;
    const bool focused = HandleAllocated() && Focused();
    const int focus = Enabled() && focused && sectionFocus && showFocus_ ? focusMargin_ : -1;
    PaintButtonCaption(*skinData_, cache, Caption(), BitBtnCaptionRect(in), state, Enabled(),
                       TextFlags(), focus);
  }
  TsGlyphPaint p;
  p.Rect = BitBtnGlyphRect(in);
  p.Down = down_;
  p.State = state;
  p.Enabled = Enabled();
  p.Active = skinData_->IsHot();
  try {
    PaintButtonGlyph(cache, p, look_, Glyph(), n, images_.Get());
  } catch (const std::exception&) {
    // A glyph that cannot be blended leaves the button without it.
  }
}

void TsBitBtn::PrepareCache() {
  DropKeptLooks();
  BuildPicture();
}

int TsBitBtn::LookIndex() const {
  return StateIndex() * 2 + (skinData_->IsHot() ? 1 : 0);
}

void TsBitBtn::DropKeptLooks() {
  keyValid_ = false;
  keptLooks_ = 0;
}

namespace {

// Calls fn(row, bytes) for each row of the part of b's picture under the
// rectangle r (the background's coordinates), clipped to the picture.
template <typename Fn>
void ForEachBehindRow(const BackgroundInfo& b, TRect r, Fn&& fn) {
  if (!b.Ready || !b.Bitmap) return;
  r = r.Intersect(Rect(0, 0, b.Bitmap->Width(), b.Bitmap->Height()));
  if (r.IsEmpty()) return;
  const std::size_t bpp = std::size_t(b.Bitmap->BytesPerPixel());
  for (int y = r.Top; y < r.Bottom; ++y)
    fn(b.Bitmap->ScanLine(y) + std::size_t(r.Left) * bpp, std::size_t(r.Width()) * bpp);
}

}  // namespace

TsBitBtn::TKeptKey TsBitBtn::KeyNow(BackgroundInfo& background) const {
  background = skinData_->GetParentBackground();
  TKeptKey k;
  k.Width = Width();
  k.Height = Height();
  k.Left = Left();
  k.Top = Top();
  k.Enabled = Enabled();
  k.Focused = const_cast<TsBitBtn*>(this)->HandleAllocated() && Focused();
  k.BehindReady = background.Ready != 0;
  if (k.BehindReady) {
    k.Behind = background.Bitmap;
    k.BehindX = background.OffsetX;
    k.BehindY = background.OffsetY;
  } else {
    k.ParentColour = Parent() ? AskParentColour(Parent()) : ColorToRGB(Color());
  }
  return k;
}

void TsBitBtn::SwitchLook() {
  TsCommonData& data = *skinData_;
  const int look = LookIndex();
  BackgroundInfo background;
  const TKeptKey key = KeyNow(background);
  const TRect under = Bounds(key.Left + key.BehindX, key.Top + key.BehindY, key.Width, key.Height);
  bool same = !OnPaint && keyValid_ && key == keptKey_;
  if (same) {
    // The parent's pixels behind the button are those the pictures were
    // blended with.
    std::size_t at = 0;
    ForEachBehindRow(background, under, [&](const std::uint8_t* row, std::size_t n) {
      same = same && at + n <= behind_.size() && std::memcmp(row, behind_.data() + at, n) == 0;
      at += n;
    });
    same = same && at == behind_.size();
  }
  if (!same) {
    DropKeptLooks();
    if (!OnPaint) {
      behind_.clear();
      ForEachBehindRow(background, under, [&](const std::uint8_t* row, std::size_t n) {
        behind_.insert(behind_.end(), row, row + n);
      });
      keptKey_ = key;
      keyValid_ = true;
    }
    BuildPicture();
    return;
  }
  if (look == lastLook_) {
    // The hover changed nothing the picture shows.
    data.CacheInvalid = false;
    return;
  }
  // The picture shown so far is kept for its look.
  if (lastLook_ >= 0 && lastLook_ < kLooks && lastLook_ != look && data.CacheBmp) {
    std::swap(kept_[lastLook_], *data.CacheBmp);
    keptLooks_ |= 1u << lastLook_;
  }
  if (look >= 0 && look < kLooks && (keptLooks_ & (1u << look))) {
    std::swap(kept_[look], *data.CacheBmp);
    keptLooks_ &= ~(1u << look);
    lastState_ = look / 2;
    lastLook_ = look;
    lastLayout_ = Layout();
    lastSpacing_ = Spacing();
    data.CacheInvalid = false;
    return;
  }
  BuildPicture();
}

void TsBitBtn::BuildPicture() {
  TsCommonData& data = *skinData_;
  TsEngineColours colours;
  data.PrepareCache();
  TBitmap& cache = *data.CacheBmp;
  const int w = cache.Width(), h = cache.Height();
  if (w <= 0 || h <= 0) return;
  // 1. What lies behind; the parent's colour where it keeps no picture.
  const BackgroundInfo background = data.GetParentBackground();
  // The colour the parent shows its children (a skinned form's face), or
  // its own colour when it does not say.
  const TColor parentColour = Parent() ? AskParentColour(Parent()) : ColorToRGB(Color());
  TsEngineColours::Reset();
  if (!background.Ready) vm::ParentColor = parentColour;
  const int state = StateIndex();
  const TPoint position{Left(), Top()};
  // 2. The section's background for the state.
  PaintControlBackground(data, background, state, cache, position, TRect{0, 0, w, h});
  TsEngineColours::Reset();
  if (!background.Ready) vm::ParentColor = parentColour;
  // 3. A fresh region when it has to be built again.
  if (regionChanged_) pendingRegion_ = std::make_unique<TRegion>(TRect{0, 0, w, h});
  // 4. Border, caption and glyph in the chosen order.
  if (look_.DrawOverBorder) {
    PaintBorder(cache, state, background, true);
    PaintCaptionAndGlyph(cache, state);
  } else {
    PaintCaptionAndGlyph(cache, state);
    PaintBorder(cache, state, background, true);
  }
  // 5. The disabled look over the whole picture.
  if (!Enabled()) {
    try {
      ShadeDisabled(cache, look_.DisabledKind, parentColour, position, background);
    } catch (const std::exception&) {
    }
  }
  lastLayout_ = Layout();
  lastSpacing_ = Spacing();
  lastState_ = state;
  lastLook_ = state * 2 + (data.IsHot() ? 1 : 0);
  data.CacheInvalid = false;
  // 6.
  if (OnPaint) OnPaint(this, cache);
}

void TsBitBtn::ApplyRegion() {
  if (!HandleAllocated()) return;
  if (pendingRegion_) {
    // A region of another shape (the first one, a new skin's corners, a new
    // size) uncovers pixels only the parent paints and covers pixels the
    // button has not painted yet: both are drawn again. The same shape
    // changes nothing visible.
    TRegion current;
    const bool same = GetWindowRgn(Handle(), &current) != RGN_ERROR && current == *pendingRegion_;
    SetWindowRgn(Handle(), pendingRegion_.get(), !same);
  }
  pendingRegion_.reset();
  regionChanged_ = false;
}

void TsBitBtn::PaintTo(HDC given) {
  TsCommonData& data = *skinData_;
  const bool drawing = Width() > 0 && Height() > 0 && !data.IsPaintSuspended();
  const bool fading = fadeTimer_ && fadeTimer_->FadeDirection() != 0;
  // The picture and the region are made before the painting begins: the
  // painting is clipped to the region in place when it begins, so a region
  // set later would keep the pixels it adds from this painting.
  if (drawing && !fading) {
    bool outside = false;
    if (TWinControl* p = Parent())
      outside = Left() < 0 || Top() < 0 || Left() + Width() > p->ClientWidth() ||
                Top() + Height() > p->ClientHeight();
    // The platform changes the pushed state itself (a space key, the mouse
    // leaving while held): a picture of another state is made again.
    // A hover alone changes the look only: the picture of the new look may
    // be one made before. Anything else makes it anew.
    const bool hoverOnly = hoverOnly_;
    hoverOnly_ = false;
    if ((data.CacheInvalid && !hoverOnly) || outside || Spacing() != lastSpacing_ ||
        Layout() != lastLayout_ || regionChanged_ || !data.CacheBmp || data.CacheBmp->Empty())
      PrepareCache();
    else if (data.CacheInvalid || LookIndex() != lastLook_)
      SwitchLook();
    if (regionChanged_) {
      RefillAllCorners(data, StateIndex());
      ApplyRegion();
    }
  }
  PAINTSTRUCT ps;
  const bool own = given == nullptr;
  if (own) given = BeginPaint(Handle(), &ps);
  if (given && drawing) {
    // A fade shows its last frame: the cache already holds where it ends.
    const TBitmap* picture = data.CacheBmp.get();
    if (fading) {
      if (!fadeTimer_->LastFrame().Empty())
        picture = &fadeTimer_->LastFrame();
      else if (fadeTimer_->StartPicture && !fadeTimer_->StartPicture->Empty())
        picture = fadeTimer_->StartPicture.get();
    }
    if (picture && !picture->Empty()) {
      TDCSaver saver(*given);
      given->BitBlt(0, 0, picture->Width(), picture->Height(), *picture, 0, 0, SRCCOPY);
    }
    paintedOnce_ = true;
  }
  if (own) EndPaint(Handle(), &ps);
}

// ---------------------------------------------------------------- messages

void TsBitBtn::SkinCommand(TMessage& m) {
  TsCommonData& data = *skinData_;
  const bool own = FromOwnManager(data, m);
  switch (CommandOf(m.WParam)) {
    case CmdNewSkin:
      if (!own) break;
      regionChanged_ = true;
      StopFadeTimer();
      if (images_.Get() && images_.Get()->Count() > 0 && Glyph() && !Glyph()->Empty())
        TBitBtn::SetGlyph(nullptr);
      data.HandleMessage(m);
      return;
    case CmdRemoveSkin:
      if (!own || IsDestroying()) break;
      StopFadeTimer();
      data.HandleMessage(m);
      RebuildStripFromImages();
      pendingRegion_.reset();
      if (HandleAllocated()) SetWindowRgn(Handle(), nullptr, true);
      regionChanged_ = true;
      TBitBtn::Invalidate();
      return;
    case CmdRefresh:
      if (!own) break;
      StopFadeTimer();
      data.HandleMessage(m);
      regionChanged_ = true;
      data.CacheInvalid = true;
      if (HandleAllocated()) TBitBtn::Invalidate();
      return;
    case CmdUpdate:
      StopFadeTimer();
      data.HandleMessage(m);
      return;
    case CmdFadePrepare:
      PrepareCache();
      return;
    case CmdFadeFrame:
      pendingRegion_.reset();
      data.HandleMessage(m);
      return;
    case CmdSetSeeThrough:
      if (Skinned() && data.CacheInvalid) PrepareCache();
      data.HandleMessage(m);
      return;
    default:
      break;
  }
  if (HandleCommonCommand(data, m, [this] {
        if (Skinned()) skinData_->Repaint();
      }))
    return;
  data.HandleMessage(m);
}

void TsBitBtn::MouseEnter(TMessage& m) {
  TsCommonData& data = *skinData_;
  if (!IsOwnMouseMessage(*this, m)) return;
  if (!Enabled() || IsDesigning() || data.MouseAbove || GetTrackedMenu()) return;
  const std::uint64_t me = Serial();
  if (OnMouseEnter) OnMouseEnter(this);
  if (!ControlAlive(this, me)) return;
  data.MouseAbove = true;
  hoverOnly_ = !data.CacheInvalid;
  RepaintWithFade(fadeTimer_, data, false, 1, AnimatesOn(look_.AnimatEvents, aeMouseEnter));
  // A repaint put off till later is a full one.
  if (ControlAlive(this, me)) hoverOnly_ = false;
}

void TsBitBtn::MouseLeave(TMessage& m) {
  TsCommonData& data = *skinData_;
  if (!IsOwnMouseMessage(*this, m)) return;
  if (!Enabled() || IsDesigning()) return;
  const std::uint64_t me = Serial();
  if (OnMouseLeave) OnMouseLeave(this);
  if (!ControlAlive(this, me)) return;
  data.MouseAbove = false;
  hoverOnly_ = !data.CacheInvalid;
  RepaintWithFade(fadeTimer_, data, false, 2, AnimatesOn(look_.AnimatEvents, aeMouseLeave));
  // A repaint put off till later is a full one.
  if (ControlAlive(this, me)) hoverOnly_ = false;
}

void TsBitBtn::PlainMessage(TMessage& m) {
  // Without a skin only the mouse events are raised beside the plain look.
  if (!FollowPlainMouse(*this, *skinData_, m, OnMouseEnter, OnMouseLeave)) return;
  TBitBtn::WndProc(m);
}

bool TsBitBtn::SkinnedMessage(TMessage& m) {
  TsCommonData& data = *skinData_;
  const HWND h = HandleAllocated() ? Handle() : nullptr;
  switch (m.Msg) {
    case WM_PAINT:
      if (!h) return false;
      PaintTo(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return true;
    case WM_PRINTCLIENT:
    case WM_PRINT:
      if (!h) return false;
      PaintTo(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return true;
    case WM_ERASEBKGND:
    case CN_DRAWITEM:
      m.Result = 1;
      return true;
    case CM_MOUSEENTER:
      MouseEnter(m);
      return true;
    case CM_MOUSELEAVE:
      MouseLeave(m);
      return true;
    case WM_MOVE: {
      TsSkinManager* mgr = data.GetSkinManager();
      const TsGeneralData& gd = mgr->gd[std::size_t(data.SectionIndex)];
      if (gd.Transparency > 0 || (gd.HotTransparency > 0 && data.IsHot())) {
        data.CacheInvalid = true;
        TBitBtn::Invalidate();
      }
      return false;
    }
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      regionChanged_ = true;
      TBitBtn::WndProc(m);
      data.CacheInvalid = true;
      return true;
    case WM_SETTEXT:
      if (!h) return false;
      SendMessage(h, WM_SETREDRAW, 0, 0);
      TBitBtn::WndProc(m);
      if (!IsWindow(h)) return true;
      SendMessage(h, WM_SETREDRAW, 1, 0);
      data.CacheInvalid = true;
      TBitBtn::Invalidate();
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      if (!Enabled() || IsDesigning()) return false;
      const std::uint64_t me = Serial();
      data.PaintSuspended = false;
      TsHintsOff hints;
      pressedByMouse_ = true;
      const bool left = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
      if (left && !down_) {
        regionChanged_ = true;
        data.CacheInvalid = false;
        forcedPushed_ = 1;
        RepaintWithFade(fadeTimer_, data, true, 1, AnimatesOn(look_.AnimatEvents, aeMouseDown));
        if (!ControlAlive(this, me)) return true;
        forcedPushed_ = -1;
      }
      TBitBtn::WndProc(m);
      return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (!pressedByMouse_ || IsDestroying()) return false;
      pressedByMouse_ = false;
      const std::uint64_t me = Serial();
      if (m.Msg == WM_LBUTTONUP && Enabled()) {
        try {
          if (fadeTimer_ && fadeTimer_->FadeDirection() != 0 &&
              fadeTimer_->Step < fadeTimer_->StepCount) {
            // The press fade is cut short: the pressed look is shown once.
            StopFadeTimer();
            data.CacheInvalid = true;
            ShowPressed = true;
            forcedPushed_ = 1;
            TBitBtn::Repaint();
            ShowPressed = false;
            // Long enough for the pressed look to be seen.
            Sleep(30);
            if (!ControlAlive(this, me)) return true;
          }
          data.PaintSuspended = false;
          regionChanged_ = true;
          forcedPushed_ = 0;
          RepaintWithFade(fadeTimer_, data, true, 2, AnimatesOn(look_.AnimatEvents, aeMouseUp));
        } catch (const std::exception&) {
          // The release paints without its fade.
        }
        ShowPressed = false;
        if (!ControlAlive(this, me)) return true;
        forcedPushed_ = -1;
      }
      TBitBtn::WndProc(m);
      return true;
    }
    case WM_KEYUP:
      if (m.WParam != VK_SPACE) return false;
      TBitBtn::WndProc(m);
      regionChanged_ = true;
      data.CacheInvalid = true;
      if (HandleAllocated()) TBitBtn::Repaint();
      return true;
    case WM_SETFOCUS:
      if (IsDestroying() || ShowPressed || !h) return false;
      SendMessage(h, WM_SETREDRAW, 0, 0);
      data.HandleMessage(m);
      TBitBtn::WndProc(m);
      if (!IsWindow(h)) return true;
      SendMessage(h, WM_SETREDRAW, 1, 0);
      if (!(fadeTimer_ && fadeTimer_->FadeDirection() != 0)) {
        data.CacheInvalid = true;
        TBitBtn::Invalidate();
      }
      return true;
    case WM_KILLFOCUS:
      if (!h) return false;
      StopFadeTimer();
      SendMessage(h, WM_SETREDRAW, 0, 0);
      TBitBtn::WndProc(m);
      if (!IsWindow(h)) return true;
      SendMessage(h, WM_SETREDRAW, 1, 0);
      data.Focused = false;
      regionChanged_ = true;
      data.CacheInvalid = true;
      TBitBtn::Invalidate();
      return true;
    default:
      return false;
  }
}

void TsBitBtn::WndProc(TMessage& m) {
  if (m.Msg == SM_NIRVEXCMD) {
    SkinCommand(m);
    return;
  }
  if (!Skinned()) {
    PlainMessage(m);
    return;
  }
  if (m.Msg != WM_SETFOCUS && m.Msg != CM_MOUSEENTER && m.Msg != CM_MOUSELEAVE &&
      skinData_->HandleMessage(m))
    return;
  if (SkinnedMessage(m)) return;
  const UINT msg = m.Msg;
  TBitBtn::WndProc(m);
  switch (msg) {
    case CM_FONTCHANGED:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      if (skinData_) {
        skinData_->CacheInvalid = true;
        if (HandleAllocated()) TBitBtn::Invalidate();
      }
      break;
    default:
      break;
  }
}

}  // namespace vm
