#include "skin/controls/Edit.h"

#include <algorithm>

#include "platform/controls/Controls.h"
#include "skin/controls/BoundLabel.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Colors.h"

namespace vm {

namespace {

constexpr int EditType = 3;

void AnswerWith(TMessage& m, LRESULT value) {
  m.Result = value;
  m.LParam = value;
}

}  // namespace

TsEdit::TsEdit(TComponent* owner) : TEdit(owner) {
  skinData_ = std::make_unique<TsCommonData>(this, true);
  skinData_->ControlType = EditType;
  boundLabel_ = std::make_unique<TsBoundLabel>(skinData_.get());
  skinData_->ResolveSection();
}

TsEdit::~TsEdit() {
  boundLabel_.reset();
}

void TsEdit::Loaded() {
  TEdit::Loaded();
  skinData_->Loaded();
}

void TsEdit::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  skinData_->Repaint();
}

void TsEdit::SetPasswordChar(char value) {
  if (value == passwordChar_) return;
  passwordChar_ = value;
  if (HandleAllocated()) {
    SendMessage(Handle(), EM_SETPASSWORDCHAR, WPARAM(static_cast<unsigned char>(value)), 0);
    Invalidate();
  }
  skinData_->CacheInvalid = true;
}

void TsEdit::CreateParams(TCreateParams& params) {
  TEdit::CreateParams(params);
  if (passwordChar_) params.Style |= ES_PASSWORD;
}

void TsEdit::CreateHandle() {
  TEdit::CreateHandle();
  if (HandleAllocated() && passwordChar_)
    SendMessage(Handle(), EM_SETPASSWORDCHAR, WPARAM(static_cast<unsigned char>(passwordChar_)), 0);
  skinData_->CacheInvalid = true;
}

bool TsEdit::Skinned() const {
  return skinData_->IsSkinned();
}

int TsEdit::FrameWidth() const {
  return BorderStyle() == bsSingle ? 2 : 0;
}

void ApplyEditColours(TWinControl& control, TsCommonData& data) {
  if (!data.IsSkinned() || data.IsPaintSuspended()) return;
  const TsGeneralData& gd = data.GetSkinManager()->gd[std::size_t(data.SectionIndex)];
  const bool hot = data.IsHot();
  const TColor colour = hot ? ColorToRGB(gd.HotColor) : ColorToRGB(gd.Color);
  const TColor font = hot ? gd.HotFontColor[0] : gd.FontColor[0];
  if (!data.CustomColor() && control.Color() != colour) control.SetColor(colour);
  if (!data.CustomFont() && control.Font()->Color() != font) control.Font()->SetColor(font);
}

void RepaintEditFrame(TWinControl& control) {
  if (!control.HandleAllocated() || control.IsLoading() || !IsWindowVisible(control.Handle()))
    return;
  RedrawWindow(control.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE);
}

void TsEdit::ApplySectionColours() {
  ApplyEditColours(*this, *skinData_);
}

void TsEdit::PrepareCache() {
  TsCommonData& data = *skinData_;
  data.PrepareCache();
  TBitmap& cache = *data.CacheBmp;
  if (cache.Empty() || !Skinned()) return;
  TsSkinManager* m = data.GetSkinManager();
  const int state = data.IsHot() ? 1 : 0;
  const TPoint position{Left(), Top()};
  const TRect all{0, 0, cache.Width(), cache.Height()};
  const BackgroundInfo background = data.GetParentBackground();
  KeyFillColor = KeyColor;
  vm::ParentColor = KeyColor;
  PaintControlBackground(data, background, state, cache, position, all);
  if (!Enabled()) {
    // The text as the skin writes it, then dimmed toward the parent.
    TDC canvas(cache);
    canvas.SelectFont(Font()->PlatformFont());
    const int b = FrameWidth();
    std::string text = GetText();
    if (passwordChar_) {
      std::size_t count = 0;
      for (unsigned char c : text) count += (c & 0xC0) != 0x80;  // characters, not bytes
      text.assign(count, passwordChar_);
    }
    WriteControlText(data, canvas, text, true, false, state, DT_SINGLELINE | DT_NOPREFIX,
                     TRect{b + 1, b + 1, cache.Width() - b, cache.Height() - b});
    ShadeDisabled(cache, disabledKind_, ColorToRGB(Color()), position, background);
  }
  if (m->IsValidMaskIndex(data.BorderMaskIndex))
    PaintSectionBorder(data.BorderMaskIndex, m, cache, position, all, state, false, true,
                       background);
  KeyFillColor = KeyColor;
  vm::ParentColor = KeyColor;
  data.CacheInvalid = false;
}

void TsEdit::PaintFrame() {
  TsCommonData& data = *skinData_;
  if (!HandleAllocated() || data.IsPaintSuspended()) return;
  const int f = FrameWidth();
  if (f <= 0) return;
  if (data.CacheInvalid || !data.CacheBmp || data.CacheBmp->Width() != Width() ||
      data.CacheBmp->Height() != Height())
    PrepareCache();
  const TBitmap& cache = *data.CacheBmp;
  const int w = cache.Width(), h = cache.Height();
  if (w <= 0 || h <= 0) return;
  TScopedDC scoped(Handle(), true);
  HDC dc = scoped.Dc();
  if (!dc) return;
  dc->BitBlt(0, 0, w, f, cache, 0, 0, SRCCOPY);
  dc->BitBlt(0, h - f, w, f, cache, 0, h - f, SRCCOPY);
  dc->BitBlt(0, f, f, h - 2 * f, cache, 0, f, SRCCOPY);
  dc->BitBlt(w - f, f, f, h - 2 * f, cache, w - f, f, SRCCOPY);
}

void TsEdit::PaintDisabled(HDC) {
  PrepareCache();
  const TBitmap& cache = *skinData_->CacheBmp;
  if (cache.Empty()) return;
  TScopedDC scoped(Handle(), true);
  if (HDC dc = scoped.Dc()) dc->BitBlt(0, 0, cache.Width(), cache.Height(), cache, 0, 0, SRCCOPY);
}

void TsEdit::RepaintFrame() {
  RepaintEditFrame(*this);
}

void TsEdit::WndProc(TMessage& m) {
  TsCommonData& data = *skinData_;
  TControlRef self(this);
  if (m.Msg == SM_NIRVEXCMD) {
    const int command = CommandOf(m.WParam);
    const bool own = m.LParam == reinterpret_cast<LPARAM>(data.GetSkinManager());
    switch (command) {
      case CmdNewSkin:
      case CmdRemoveSkin:
        if (!own) break;
        data.HandleMessage(m);
        if (self && command == CmdRemoveSkin) RepaintFrame();
        return;
      case CmdRefresh:
        if (!own) break;
        data.HandleMessage(m);
        if (!self) return;
        ApplySectionColours();
        Invalidate();
        RepaintFrame();
        return;
      case CmdQueryHandled:
        AnswerWith(m, 1);
        return;
      case CmdQuerySeeThrough:
        AnswerWith(m, 0);
        return;
      case CmdParentPainted:
        TEdit::WndProc(m);
        if (self && data.PaintSuspended) {
          data.PaintSuspended = false;
          Invalidate();
          RepaintFrame();
        }
        return;
      case CmdSetSeeThrough:
        data.HandleMessage(m);
        data.CacheInvalid = true;
        return;
      default:
        break;
    }
    if (data.HandleMessage(m)) return;
    TEdit::WndProc(m);
    return;
  }
  const bool skinned = Skinned();
  switch (m.Msg) {
    case WM_PAINT:
      if (!skinned) break;
      if (data.IsPaintSuspended()) {
        ValidateRect(Handle(), nullptr);
        m.Result = 0;
        return;
      }
      ApplySectionColours();
      if (!self) return;
      if (Enabled()) break;
      {
        TPaintDC paint(Handle());
        PaintDisabled(paint.Dc());
      }
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      if (!skinned) break;
      if (data.IsPaintSuspended() || !Enabled()) {
        m.Result = 1;
        return;
      }
      break;
    case WM_NCPAINT:
      if (!skinned) break;
      PaintFrame();
      m.Result = 0;
      return;
    case CM_COLORCHANGED:
      if (data.CustomColor()) data.CacheInvalid = true;
      break;
    default:
      break;
  }
  if (data.HandleMessage(m)) return;
  if (!self) return;
  TEdit::WndProc(m);
  if (!self) return;
  switch (m.Msg) {
    case WM_SIZE:
      RepaintFrame();
      break;
    case WM_SETFOCUS:
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      // The hot colours follow the focus and the mouse.
      if (skinned &&
          (m.Msg == WM_SETFOCUS || m.LParam == 0 || m.LParam == reinterpret_cast<LPARAM>(this))) {
        data.CacheInvalid = true;
        Invalidate();
        RepaintFrame();
      }
      break;
    case WM_KILLFOCUS:
    case CM_EXIT:
      data.Focused = false;
      data.MouseAbove = false;
      data.CacheInvalid = true;
      if (skinned && Visible()) {
        Invalidate();
        RepaintFrame();
      }
      break;
    case WM_SETTEXT:
    case CM_FONTCHANGED:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      if (!IsLoading()) {
        data.CacheInvalid = true;
        if (skinned) RepaintFrame();
      }
      break;
    default:
      break;
  }
  if (self && boundLabel_) FollowBoundControl(*boundLabel_, m.Msg);
}

}  // namespace vm
