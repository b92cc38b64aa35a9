#include "skin/controls/Memo.h"

#include "platform/controls/Controls.h"
#include "skin/controls/BoundLabel.h"
#include "skin/controls/Edit.h"
#include "skin/data/SkinManager.h"
#include "skin/state/CommonData.h"
#include "skin/state/ScrollPainter.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Colors.h"

namespace vm {

namespace {

constexpr int MemoType = 7;

}  // namespace

TsMemo::TsMemo(TComponent* owner) : TMemo(owner) {
  skinData_ = std::make_unique<TsCommonData>(this, true);
  skinData_->ControlType = MemoType;
  boundLabel_ = std::make_unique<TsBoundLabel>(skinData_.get());
  controlStyle_ &= ~csOpaque;
  skinData_->ResolveSection();
}

TsMemo::~TsMemo() {
  painter_.reset();
  boundLabel_.reset();
}

void TsMemo::Loaded() {
  TMemo::Loaded();
  skinData_->Loaded();
  AttachPainter();
}

void TsMemo::SetDisabledKind(TsDisabledKind value) {
  if (value == disabledKind_) return;
  disabledKind_ = value;
  skinData_->Repaint();
}

void TsMemo::CreateWnd() {
  TMemo::CreateWnd();
  skinData_->CacheInvalid = true;
  AttachPainter();
}

void TsMemo::DestroyWnd() {
  painter_.reset();
  TMemo::DestroyWnd();
}

bool TsMemo::Skinned() const {
  return skinData_->IsSkinned();
}

void TsMemo::AttachPainter() {
  if (IsLoading() || !HandleAllocated() || !Skinned()) return;
  if (painter_ && painter_->Attached()) return;
  painter_ = MakeScrollPainter(Handle(), *skinData_);
}

void TsMemo::RepaintFrame() {
  RepaintEditFrame(*this);
}

void TsMemo::ApplySectionColours() {
  ApplyEditColours(*this, *skinData_);
}

void TsMemo::WndProc(TMessage& m) {
  TsCommonData& data = *skinData_;
  TControlRef self(this);
  if (m.Msg == SM_NIRVEXCMD) {
    const int command = CommandOf(m.WParam);
    const bool own = m.LParam == reinterpret_cast<LPARAM>(data.GetSkinManager());
    switch (command) {
      case CmdNewSkin:
        if (!own) break;
        data.HandleMessage(m);
        return;
      case CmdRemoveSkin:
        if (!own) break;
        painter_.reset();
        data.HandleMessage(m);
        if (self && HandleAllocated()) RecreateWnd();
        return;
      case CmdRefresh:
        if (!own) break;
        data.HandleMessage(m);
        if (!self) return;
        AttachPainter();
        ApplySectionColours();
        if (HandleAllocated()) {
          RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        }
        return;
      case CmdQueryHandled:
        m.Result = m.LParam = 1;
        return;
      default:
        break;
    }
    if (data.HandleMessage(m)) return;
    TMemo::WndProc(m);
    if (self && command == CmdSetSeeThrough) RepaintFrame();
    return;
  }
  switch (m.Msg) {
    case WM_PAINT:
      if (!Skinned()) break;
      if (data.IsPaintSuspended()) {
        ValidateRect(Handle(), nullptr);
        m.Result = 0;
        return;
      }
      ApplySectionColours();
      if (!self) return;
      break;
    default:
      break;
  }
  if (data.HandleMessage(m)) return;
  if (!self) return;
  TMemo::WndProc(m);
  if (!self) return;
  switch (m.Msg) {
    case CM_FONTCHANGED:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
      data.CacheInvalid = true;
      break;
    case EM_SCROLLCARET:
      if (OnScrollCaret) OnScrollCaret(this);
      break;
    case WM_VSCROLL:
      if (OnVScroll) OnVScroll(this);
      break;
    case CM_TEXTCHANGED:
    case WM_SETTEXT:
      if (painter_) painter_->Update();
      break;
    case CM_SHOWINGCHANGED:
      AttachPainter();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      // The hot colours and frame follow the focus and the mouse.
      if (Skinned() && (m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS || m.LParam == 0 ||
                        m.LParam == reinterpret_cast<LPARAM>(this))) {
        Invalidate();
        RepaintFrame();
      }
      break;
    default:
      break;
  }
  if (self && boundLabel_) FollowBoundControl(*boundLabel_, m.Msg);
}

}  // namespace vm
