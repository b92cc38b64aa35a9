#include "skin/subclass/MainWnd.h"

#include <algorithm>
#include <vector>

#include "platform/gfx/SysColors.h"
#include "skin/data/SkinManager.h"
#include "skin/paint/pixels/CanvasOps.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/state/CommonData.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/SkinCommand.h"
#include "skin/subclass/HotWindow.h"
#include "toolkit/Application.h"
#include "toolkit/Colors.h"
#include "toolkit/Form.h"
#include "toolkit/WinControl.h"

namespace vm {

bool SkinningDialogChildren = false;

TnxMainWnd* SubclassOf(HWND window) {
  return reinterpret_cast<TnxMainWnd*>(GetProp(window, SubclassPropName));
}

namespace {

// How many subclass message handlers are running (nested), and the objects
// waiting until none is.
int DispatchDepth = 0;

std::vector<std::unique_ptr<TnxMainWnd>>& FreedLater() {
  static std::vector<std::unique_ptr<TnxMainWnd>> list;
  return list;
}

}  // namespace

void FreeSubclassLater(std::unique_ptr<TnxMainWnd> object) {
  if (!object) return;
  if (DispatchDepth == 0) {
    object.reset();
    return;
  }
  // It gives its window back now; only the memory waits.
  object->Detach();
  FreedLater().push_back(std::move(object));
}

// What the installed window procedure or control hook reaches. The object
// clears Owner when it detaches, so a closure or hook that outlives it (a
// later subclass still chains to it) only passes messages on.
struct TnxMainWnd::TLink {
  TnxMainWnd* Owner = nullptr;
  TWndMethod Previous;  // the hooked control's own method
};

// The hook that sits in a control's WindowProc.
struct TnxMainWnd::TMethodHook {
  std::shared_ptr<TLink> Link;
  void operator()(TMessage& m) const {
    // A local copy: detaching replaces the control's WindowProc, and with it
    // this hook, while the call is still running.
    std::shared_ptr<TLink> link = Link;
    if (link->Owner)
      link->Owner->Dispatch(m);
    else if (link->Previous)
      link->Previous(m);
  }
};

namespace {

void Answer(TMessage& m, LRESULT value) {
  m.Result = value;
  m.LParam = value;
}

LPARAM AsValue(const void* p) {
  return reinterpret_cast<LPARAM>(p);
}

}  // namespace

TnxMainWnd::TnxMainWnd(HWND window, bool repaint, const std::string& section,
                       TsSkinManager* manager, TsCommonData* commonData)
    : handle_(window) {
  if (!commonData) {
    ownSkinData_ = std::make_unique<TsCommonData>(nullptr, true);
    commonData = ownSkinData_.get();
  }
  skinData_ = commonData;
  if (skinData_->SkinSection().empty() && !section.empty()) skinData_->SetSkinSection(section);
  if (ownSkinData_ && manager)
    skinData_->SetSkinManager(manager);
  else if (manager && manager != skinData_->GetSkinManager())
    manager_ = std::make_unique<TComponentLink<TsSkinManager>>(manager);
  skinData_->UpdateIndexes();
  dlgMode_ = SkinningDialogChildren;
  wndText_ = GetWindowText(handle_);
  Install(repaint);
}

TnxMainWnd::~TnxMainWnd() {
  Detach();
}

TsSkinManager* TnxMainWnd::SkinManager() const {
  if (manager_) return manager_->Get();
  return skinData_ ? skinData_->GetSkinManager() : nullptr;
}

TControl* TnxMainWnd::HookedOwner() const {
  return hooked_ ? hookedControl_.Get() : nullptr;
}

void TnxMainWnd::Install(bool repaint) {
  if (!IsWindow(handle_)) {
    detached_ = true;  // nothing to take over
    return;
  }
  // There is no theming library on this platform: nothing to switch off.
  SetProp(handle_, SubclassPropName, AsValue(this));
  link_ = std::make_shared<TLink>();
  link_->Owner = this;
  TControl* control = skinData_->OwnerControl();
  if (!control) {
    if (auto* frame = dynamic_cast<TsFrameOwner*>(skinData_->OwnerObject()))
      control = static_cast<TControl*>(frame->FrameForm());
  }
  if (control) {
    hooked_ = true;
    hookedControl_.Set(control);
    link_->Previous = control->WindowProc;
    control->WindowProc = TMethodHook{link_};
  } else {
    std::shared_ptr<TLink> link = link_;
    procInstance_ = WNDPROC::FromClosure([link](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
      if (!link->Owner) return DefWindowProc(h, msg, w, l);  // never reached once removed
      TMessage m{msg, w, l, 0};
      link->Owner->Dispatch(m);
      return m.Result;
    });
    prevProc_ = SetWindowProc(handle_, procInstance_);
  }
  if (repaint) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TnxMainWnd::Detach() {
  if (detached_) return;
  detached_ = true;
  if (link_) link_->Owner = nullptr;
  if (hooked_) {
    TControl* control = hookedControl_.Get();
    // Only while our hook is still the control's method: a hook installed
    // after ours keeps calling it, and it now passes straight on.
    if (control) {
      const TMethodHook* mine = control->WindowProc.target<TMethodHook>();
      if (mine && mine->Link == link_) control->WindowProc = link_->Previous;
    }
  } else if (procInstance_) {
    RemoveWindowProc(handle_, procInstance_, prevProc_);
  }
  if (IsWindow(handle_) && GetProp(handle_, SubclassPropName) == AsValue(this))
    RemoveProp(handle_, SubclassPropName);
  CleanUp();
}

void TnxMainWnd::Dispatch(TMessage& m) {
  // Freeing objects waits while any handler runs; the last one out frees
  // them (this one possibly among them: nothing of it is used after).
  struct TDepth {
    TDepth() { ++DispatchDepth; }
    ~TDepth() {
      if (--DispatchDepth == 0 && !FreedLater().empty()) {
        std::vector<std::unique_ptr<TnxMainWnd>> freed;
        freed.swap(FreedLater());
      }
    }
  } depth;
  if (detached_) {
    CallPrevious(m);
    return;
  }
  WndProc(m);
}

void TnxMainWnd::CallPrevious(TMessage& m) {
  if (hooked_) {
    // The link outlives a detachment that happens inside the call.
    std::shared_ptr<TLink> link = link_;
    if (link && link->Previous) link->Previous(m);
    return;
  }
  if (prevProc_)
    m.Result = CallWindowProc(prevProc_, handle_, m.Msg, m.WParam, m.LParam);
  else
    m.Result = DefWindowProc(handle_, m.Msg, m.WParam, m.LParam);
}

bool TnxMainWnd::SkinActive() const {
  TsSkinManager* m = SkinManager();
  return skinData_ && m && !m->IsDestroying() && m->SkinData.Active && !skinRemoved_;
}

void TnxMainWnd::SendPaint() {
  if (IsWindow(handle_)) SendMessage(handle_, WM_PAINT, 0, 0);
}

bool TnxMainWnd::IsHotWindow() const {
  return HotWindow(SkinManager()) == handle_ && handle_;
}

void TnxMainWnd::MakeHot(bool hot) {
  TsSkinManager* m = SkinManager();
  if (!m) return;
  if (hot) {
    if (!IsHotWindow()) SetHotWindow(m, handle_);
  } else if (IsHotWindow()) {
    SetHotWindow(m, nullptr);
  }
}

void TnxMainWnd::UpdateGeometry() {
  GetWindowRect(handle_, &wndRect_);
  parentWnd_ = GetParent(handle_);
  wndSize_ = {wndRect_.Width(), wndRect_.Height()};
  wndPos_ = {0, 0};
  if (!parentWnd_ || !(GetWindowLongPtr(handle_, GWL_STYLE) & WS_CHILD)) return;
  TRect parentRect;
  GetWindowRect(parentWnd_, &parentRect);
  wndPos_ = {wndRect_.Left - parentRect.Left, wndRect_.Top - parentRect.Top};
  // A skinned frame tells where its client area starts inside the window.
  const LRESULT offset = SendCommandToWindow(parentWnd_, CmdGetClientOffset);
  if (offset != 0) {
    wndPos_.X -= int(offset & 0xFFFF);
    wndPos_.Y -= int((std::uintptr_t(offset) >> 16) & 0xFFFF);
  }
}

void TnxMainWnd::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      Detach();
      CallPrevious(m);
      return;
    case WM_UPDATEUISTATE:
      return;  // dropped: the platform would repaint focus cues over the skin
    case WM_SIZE:
      if (skinData_) skinData_->CacheInvalid = true;
      break;
    case WM_SETTEXT:
      CallPrevious(m);
      wndText_ = GetWindowText(handle_);
      return;
    case WM_MOUSEMOVE: {
      TsSkinManager* mgr = SkinManager();
      if (mgr && !mgr->IsDesigning() && IsWindowEnabled(handle_)) MakeHot(true);
      break;
    }
    case WM_PRINTCLIENT:
      m.Result = SendMessage(handle_, WM_PAINT, m.WParam, 0);
      return;
    default:
      break;
  }
  if (m.Msg == SM_NIRVEXCMD && skinData_ && SkinManager()) {
    // The manager's own commands are followed whatever the skin's state: a
    // removed skin waits for the next new skin or refresh.
    const int command = CommandOf(m.WParam);
    if (command == CmdNewSkin || command == CmdRemoveSkin || command == CmdRefresh ||
        SkinActive()) {
      AnswerCommand(m);
      return;
    }
  }
  CallPrevious(m);
}

void TnxMainWnd::AnswerCommand(TMessage& m) {
  const int command = CommandOf(m.WParam);
  const bool own = m.LParam != 0 && m.LParam == AsValue(SkinManager());
  switch (command) {
    case CmdNewSkin:
      if (own) {
        skinRemoved_ = false;
        skinData_->UpdateIndexes();
        skinData_->CacheInvalid = true;
      }
      break;
    case CmdRemoveSkin:
      if (own) CleanUp();
      break;
    case CmdRefresh:
      if (!own) break;
      skinRemoved_ = false;
      skinData_->UpdateIndexes();
      skinData_->CacheInvalid = true;
      SendPaint();
      return;
    case CmdGetBackground:
      if (skinData_->CacheBmp)
        BackgroundAnswer = BackgroundInfo{skinData_->CacheBmp.get(), 0, 0, 1};
      Answer(m, 1);
      return;
    case CmdParentPainted:
      if (skinData_->PaintSuspended) {
        skinData_->PaintSuspended = false;
        RedrawWindow(handle_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      }
      return;
    case CmdQueryHandled:
      Answer(m, 1);
      return;
    case CmdQueryStale:
      Answer(m, (skinData_->CacheInvalid || skinData_->PaintSuspended) ? 1 : 0);
      return;
    case CmdQuerySeeThrough:
    case CmdGetColour:
      if (skinData_->OwnerControl()) {
        TMessage q = m;
        if (skinData_->HandleMessage(q)) Answer(m, q.Result);
        return;
      }
      break;
    case CmdFadePrepare:
      PlainFrame = ArgumentOf(m.WParam) == 1;
      PrepareCache();
      PlainFrame = false;
      Answer(m, 1);
      return;
    case CmdGetApplication:
      Answer(m, AsValue(Application));
      return;
    default:
      break;
  }
  CallPrevious(m);
}

void TnxMainWnd::CleanUp() {
  if (!skinData_) return;
  skinRemoved_ = true;
  skinData_->CacheInvalid = true;
  if (skinData_->CacheBmp) skinData_->CacheBmp->SetSize(0, 0);
  // The mouse may still be over it, but it is no skinned window any more.
  if (IsHotWindow()) SetHotWindow(SkinManager(), nullptr);
  // The window shows its own look again.
  if (IsWindow(handle_) && !detached_)
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TnxMainWnd::PrepareCache() {
  if (!skinData_ || !skinData_->CacheInvalid) return;
  UpdateGeometry();
  if (!skinData_->CacheBmp) skinData_->CacheBmp = std::make_unique<TBitmap>(0, 0);
  TBitmap& cache = *skinData_->CacheBmp;
  if (cache.PixelFormat() != TPixelFormat::pf24bit) cache.SetPixelFormat(TPixelFormat::pf24bit);
  const int w = std::max(wndSize_.cx, 0), h = std::max(wndSize_.cy, 0);
  cache.SetSize(w, h);
  const BackgroundInfo background =
      skinData_->OwnerControl() ? skinData_->GetParentBackground() : GetWindowBackground(handle_);
  TsSkinManager* m = SkinManager();
  const TColor border = m ? m->SkinData.BorderColor : KeyColor;
  if (border != KeyColor && PlainFrame && w > 0 && h > 0) {
    TDC dc(cache);
    FillRectSolid(dc, TRect{0, 0, w, h}, ColorToRGB(clWindow));
    TRect r{0, 0, w, h};
    int width = 1;
    Paint3DFrame(dc, r, ColorToRGB(border), ColorToRGB(border), width);
  } else if (parentWnd_ && m && m->IsValidSectionIndex(skinData_->SectionIndex)) {
    PaintControlItem(*skinData_, background, false, true, &cache, wndPos_, TRect{0, 0, w, h}, 0);
  }
  TControl* owner = skinData_->OwnerControl();
  if (owner && !owner->Enabled()) {
    const TsDisabledKind kind = TsDisabledKind(SendCommandToWindow(handle_, CmdGetDisabledKind));
    ShadeDisabled(cache, kind, ColorToRGB(owner->Color()), wndPos_, background);
  }
  skinData_->CacheInvalid = false;
}

}  // namespace vm
