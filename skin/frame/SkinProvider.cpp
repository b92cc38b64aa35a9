#include "skin/frame/SkinProvider.h"

#include <algorithm>
#include <cstdint>

#include "platform/base/AsciiCase.h"
#include "platform/base/Exceptions.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Region.h"
#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"
#include "skin/frame/CaptionIcon.h"
#include "skin/frame/CtrlAdapter.h"
#include "skin/frame/FrameHook.h"
#include "skin/frame/SystemMenu.h"
#include "skin/paint/MaskPaint.h"
#include "skin/paint/SectionPaint.h"
#include "skin/paint/SkinText.h"
#include "skin/paint/pixels/Colors.h"
#include "skin/paint/pixels/EngineColors.h"
#include "skin/state/CacheCopy.h"
#include "skin/state/ControlPaint.h"
#include "skin/state/MenuPainter.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Application.h"
#include "toolkit/Colors.h"
#include "toolkit/Form.h"
#include "toolkit/MainMenu.h"
#include "toolkit/MenuItem.h"
#include "toolkit/SpeedButton.h"

namespace vm {

// The procedure the form runs while it has a provider.
struct TProviderProc {
  std::shared_ptr<TsSkinProvider::THook> Hook;
  void operator()(TMessage& m) const;
};

namespace {

void Answer(TMessage& m, LRESULT value) {
  m.Result = value;
  m.LParam = value;
}

// The query asking a form whether its window region waits for its first
// complete frame painting, and the answer that says it does.
constexpr UINT kRegionQuery = 48205;
constexpr WPARAM kRegionQueryCode = 16802;

bool OwnStyleVisible(HWND h) {
  return h && IsWindow(h) && (GetWindowLongPtr(h, GWL_STYLE) & WS_VISIBLE);
}

}  // namespace

void TProviderProc::operator()(TMessage& m) const {
  std::shared_ptr<TsSkinProvider::THook> keep = Hook;  // the provider may go during the call
  if (keep->Provider)
    keep->Provider->WndProc(m);
  else if (keep->Previous)
    keep->Previous(m);
}

TsSkinProvider::TsSkinProvider(TComponent* owner)
    : TComponent(owner),
      SkinData(this, true),
      painter_(SkinData, [this] { return FrameWindow(); }) {
  form_ = dynamic_cast<TCustomForm*>(owner);
  if (!form_)
    throw Exception(
        "TsSkinProvider component must be used with forms only!\r\nFor frames skinning may be "
        "used TsFrameAdapter component.");
  SkinData.ControlType = 224;
  SkinData.SetSkinSection("FORM");
  // At run time a second provider on the same form stays inactive.
  for (int i = 0; i < form_->ComponentCount(); ++i) {
    auto* other = dynamic_cast<TsSkinProvider*>(form_->Components(i));
    if (other && other != this && !other->inactive_) {
      inactive_ = true;
      return;
    }
  }
  painter_.Buttons.UserButtons = &TitleButtons;
  painter_.Buttons.OnClick = [this](int code) { ButtonClicked(code); };
  TitleButtons.OnChange = [this](TsTitleButton*) {
    LookUpMasks();
    RepaintFrame();
  };
  hook_ = std::make_shared<THook>();
  hook_->Provider = this;
  hook_->Previous = form_->WindowProc;
  form_->WindowProc = TProviderProc{hook_};
  RegisterSkinnedForm(form_);
  plainColor_ = form_->Color();
  if (form_->HandleAllocated()) formActive_ = GetActiveWindow() == form_->Handle();
  if (form_->ControlState() != 0) updating_ = true;
  if (TsSkinManager* m = FrameManager(); m && m->SkinData.Active) {
    PrepareSkin();
    // A form that is already on the screen changes its look at once. Its
    // skinned controls built their pictures over the plain form: they are
    // made again over the skinned one.
    if (HWND h = FormHandle(); h && IsWindowVisible(h)) {
      TMessage invalidate{SM_NIRVEXCMD, WPARAM(MakeSkinCommand(CmdInvalidate)), 0, 0};
      BroadcastToControls(form_, invalidate);
      RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
  }
}

TsSkinProvider::~TsSkinProvider() {
  painter_.Buttons.StopFade();
  ForgetRuntimeProvider(this);
  if (inactive_ || !hook_) return;
  hook_->Provider = nullptr;
  UnregisterSkinnedForm(form_);
  // While the form itself is being destroyed its window and controls are
  // going or gone: nothing is given back to them.
  if (form_->IsDestroying()) return;
  if (auto* mine = form_->WindowProc.target<TProviderProc>(); mine && mine->Hook == hook_)
    form_->WindowProc = hook_->Previous;
  try {
    RemoveSkin();
  } catch (const std::exception&) {
    // The form keeps whatever of its plain look could be given back.
  }
}

HWND TsSkinProvider::FormHandle() const {
  if (!form_ || form_->IsDestroying() || !form_->HandleAllocated()) return nullptr;
  HWND h = form_->Handle();
  return IsWindow(h) ? h : nullptr;
}

bool TsSkinProvider::Skinned() const {
  return !inactive_ && form_ && !form_->IsDestroying() && SkinData.IsSkinned(true);
}

const TBitmap& TsSkinProvider::FrameCache() const {
  return SkinData.CacheBmp ? *SkinData.CacheBmp : empty_;
}

TsFrameMetrics TsSkinProvider::Metrics() const {
  return MeasureFrame(*form_, showAppIcon_, TitleIcon.Width, TitleIcon.Height);
}

TsFrameWindow TsSkinProvider::FrameWindow() {
  TsFrameWindow w;
  w.Handle = FormHandle();
  w.Metrics = Metrics();
  w.Availability = Availability();
  w.SystemMenuPresent = SystemMenuPresent();
  w.Active = formActive_;
  w.Caption = form_->Caption();
  w.Font = form_->Font()->Desc();
  w.CaptionAlignment = captionAlignment_;
  w.Grip = gripMode_;
  w.CustomColor = SkinData.CustomColor();
  w.Color = form_->Color();
  w.PaintIcon = [this](TBitmap& cache, const TsFrameMetrics& fm) {
    PaintCaptionIcon(cache, *form_, TitleIcon, fm.IconRect, fm.CaptionHeight, fm.TopAreaHeight);
  };
  w.MenuShown = HasVisibleMenu();
  w.MenuRows = [this] { return MenuRows(); };
  w.DrawMenuItems = [this](TBitmap& cache) {
    TsMenuPainter* painter = MenuPainter(FrameManager());
    if (!painter) return false;
    painter->DrawBarItems(form_, cache);
    return true;
  };
  return w;
}

TsFormAvailability TsSkinProvider::Availability() const {
  return FormAvailability(*form_, SystemMenuPresent());
}

// ---------------------------------------------------------------- properties

void TsSkinProvider::SetCaptionAlignment(TAlignment value) {
  if (value == captionAlignment_) return;
  captionAlignment_ = value;
  RepaintFrame();
}

void TsSkinProvider::SetGripMode(TsGripMode value) {
  if (value == gripMode_) return;
  gripMode_ = value;
  RepaintFrame();
}

void TsSkinProvider::SetMenuLineSkin(const std::string& value) {
  if (value == painter_.MenuLineSkin) return;
  painter_.MenuLineSkin = AsciiUpperCopy(value);
  RepaintFrame();
}

void TsSkinProvider::SetShowAppIcon(bool value) {
  if (value == showAppIcon_) return;
  showAppIcon_ = value;
  RepaintFrame();
}

void TsSkinProvider::SetTitleSkin(const std::string& value) {
  if (value == painter_.TitleSkin) return;
  painter_.TitleSkin = AsciiUpperCopy(value);
  RepaintFrame();
}

void TsSkinProvider::SetUseGlobalColor(bool value) {
  if (value == useGlobalColor_) return;
  useGlobalColor_ = value;
  if (Skinned()) ApplyGlobalColor();
}

void TsSkinProvider::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component && component == systemMenu_) {
    systemMenu_ = nullptr;
    OnSystemMenu = nullptr;
  }
  if (operation == TOperation::opInsert && component) TakeUpInserted(component);
}

void TsSkinProvider::TakeUpInserted(TComponent* component) {
  if (inactive_ || IsDestroying() || !form_ || form_->IsDestroying() || component == this) return;
  // A skin manager put on the form is followed when none was chosen (the
  // frame follows the program's manager until then). A manager that goes
  // is forgotten by the link SkinData keeps.
  if (auto* manager = dynamic_cast<TsSkinManager*>(component)) {
    if (!SkinData.SkinManager()) SkinData.SetSkinManager(manager);
    return;
  }
  // A windowed control handed to the form while it is skinned (one made
  // elsewhere and given to the form, already placed) is offered to the adapter.
  auto* control = dynamic_cast<TWinControl*>(component);
  if (!control || !adapter_ || form_->IsLoading()) return;
  try {
    if (adapter_->IsControlSupported(control)) adapter_->AddNewItem(control);
  } catch (const std::exception&) {
    // A control the adapter cannot take keeps the platform's look.
  }
}

// ---------------------------------------------------------------- TsFrameOwner

void TsSkinProvider::FreeFrameCache() {
  MarkChanged();
  painter_.DropCaptionCopy();
  if (SkinData.CacheBmp) SkinData.CacheBmp->SetSize(0, 0);
}

void TsSkinProvider::FrameCommand(int command, TsSkinManager* manager) {
  if (inactive_ || !form_ || form_->IsDestroying()) return;
  TMessage m;
  m.Msg = SM_NIRVEXCMD;
  m.WParam = MakeSkinCommand(command);
  m.LParam = reinterpret_cast<LPARAM>(manager);
  if (HWND h = FormHandle())
    SendMessage(h, m.Msg, m.WParam, m.LParam);
  else
    HandleSkinCommand(m);
}

void TsSkinProvider::RefreshFrame() {
  if (!Skinned()) return;
  MarkChanged();
  painter_.RegionChanged = true;
  PaintNonClient();
}

// ---------------------------------------------------------------- skin state

void TsSkinProvider::PrepareSkin() {
  if (inactive_) return;
  // A new skin (or a skinned menu) may measure the bar's items differently.
  menuRows_ = -1;
  SkinData.ResolveSection();
  LookUpMasks();
  if (SkinData.IsSkinned()) {
    RemoveSystemMenuStyle();
    ApplyGlobalColor();
    if (TsMenuPainter* painter = MenuPainter(FrameManager()); painter && form_->Menu())
      painter->HookForm(form_, true);
  }
  UpdateAdapter();
  // The skinned system menu opens from the caption; one set by the program stays.
  if (!systemMenu_ && !OnSystemMenu && SkinData.IsSkinned()) systemMenu_ = AttachSystemMenu(*this);
  if (systemMenu_) {
    try {
      systemMenu_->UpdateItems(SystemMenuPresent());
    } catch (const std::exception&) {
      // The menu keeps its items as they were.
    }
  }
  MarkChanged();
  painter_.RegionChanged = true;
  skinPrepared_ = true;
}

void TsSkinProvider::ApplyGlobalColor() {
  if (!form_ || form_->IsDestroying()) return;
  TsSkinManager* m = FrameManager();
  if (!useGlobalColor_ || SkinData.CustomColor() || !m) return;
  if (!colorTaken_) {
    plainColor_ = form_->Color();
    colorTaken_ = true;
  }
  form_->SetColor(m->GlobalColor());
}

void TsSkinProvider::RemoveSystemMenuStyle() {
  HWND h = FormHandle();
  if (!h) return;
  LONG_PTR style = GetWindowLongPtr(h, GWL_STYLE);
  if (!(style & WS_SYSMENU)) return;
  SetWindowLongPtr(h, GWL_STYLE, style & ~LONG_PTR(WS_SYSMENU));
  systemMenuRemoved_ = true;
}

void TsSkinProvider::RestoreSystemMenuStyle() {
  if (!systemMenuRemoved_) return;
  systemMenuRemoved_ = false;
  HWND h = FormHandle();
  if (!h) return;
  SetWindowLongPtr(h, GWL_STYLE, GetWindowLongPtr(h, GWL_STYLE) | LONG_PTR(WS_SYSMENU));
}

void TsSkinProvider::RemoveSkin() {
  painter_.Buttons.StopFade();
  menuRows_ = -1;
  adapter_.reset();
  if (painter_.Buttons.Capturing() && FormHandle() && GetCapture() == FormHandle())
    ReleaseCapture();
  painter_.Buttons.Clear();
  RestoreSystemMenuStyle();
  RemoveRegion();
  if (TsMenuPainter* painter = MenuPainter(FrameManager());
      painter && form_ && !form_->IsDestroying() && form_->Menu())
    painter->HookForm(form_, false);
  if (colorTaken_ && form_ && !form_->IsDestroying()) {
    colorTaken_ = false;
    form_->SetColor(plainColor_);
  }
  painter_.Reset();
  MarkChanged();
  skinPrepared_ = false;
  if (HWND h = FormHandle(); h && IsWindowVisible(h))
    RedrawWindow(h, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TsSkinProvider::UpdateAdapter() {
  if (!form_ || form_->IsDestroying() || form_->IsLoading()) return;
  try {
    if (!adapter_) {
      adapter_ = std::make_unique<TnxCtrlAdapter>(form_, SkinData.SkinManager());
      adapter_->OnSkinItem = [this](TComponent* item, bool& canBeAdded, std::string& section) {
        if (OnSkinItem) OnSkinItem(item, canBeAdded, section);
      };
    }
    adapter_->AddAllItems();
  } catch (const std::exception&) {
    // Controls the adapter cannot take keep the platform's look.
  }
}

void TsSkinProvider::RelayToAdapter(const TMessage& m) {
  if (!adapter_) return;
  try {
    adapter_->SendCommand(m.WParam, m.LParam);
  } catch (const std::exception&) {
    // One control failing a command leaves the frame as it is.
  }
}

// ---------------------------------------------------------------- region

void TsSkinProvider::UpdateRegion() {
  painter_.UpdateRegion(FrameWindow());
}

void TsSkinProvider::RemoveRegion() {
  painter_.RemoveRegion(FormHandle());
}

// ---------------------------------------------------------------- painting

bool TsSkinProvider::HasVisibleMenu() const {
  tk::TMainMenu* menu = form_->Menu();
  if (!menu) return false;
  for (int i = 0; i < menu->Items()->Count(); ++i)
    if (menu->Items()->Items(i)->Visible()) return true;
  return false;
}

// The bar's items are laid from the left border on, each as wide as the
// skinned menu painter measures it (the platform's own width for an item the
// painter does not own), and a row ends where the next item would pass the
// width inside the borders. The platform lays its bar the same way, so the
// rows counted here are the rows it made room for.
int TsSkinProvider::MenuRows() {
  if (menuRows_ >= 0) return menuRows_;
  HWND h = FormHandle();
  tk::TMainMenu* menu = form_ ? form_->Menu() : nullptr;
  HMENU bar = h ? GetMenu(h) : nullptr;
  if (!menu || !bar) return menuRows_ = 0;
  const TsFrameMetrics fm = Metrics();
  const int avail = fm.FrameWidth - 2 * fm.BorderWidth;
  TsMenuPainter* painter = MenuPainter(FrameManager());
  int rows = 0, x = 0;
  UINT pos = 0;  // the platform's bar holds the visible items only
  for (int i = 0; i < menu->Items()->Count(); ++i) {
    tk::TMenuItem* item = menu->Items()->Items(i);
    if (!item->Visible()) continue;
    int w = 0;
    if (painter && painter->OwnsBarItem(item)) {
      w = painter->MeasureBarItem(item).cx;
    } else if (TRect r; GetMenuItemRect(h, bar, pos, &r)) {
      w = r.Width();
    }
    ++pos;
    if (rows == 0 || (x > 0 && (x + w > avail || item->Break() != tk::mbNone))) {
      ++rows;
      x = 0;
    }
    x += w;
  }
  return menuRows_ = rows;
}

void TsSkinProvider::PaintFrame() {
  if (!Skinned() || form_->IsLoading()) return;
  ResizeMode = rmStandard;  // border drags exist only before platform version 6
  const TsFrameWindow w = FrameWindow();
  const TsFrameMetrics& fm = w.Metrics;
  if (fm.FrameWidth <= 0 || fm.WindowHeight <= 0) {
    SkinData.CacheBmp->SetSize(0, 0);
    SkinData.CacheInvalid = false;
    return;
  }
  TBitmap& cache = *SkinData.CacheBmp;
  painter_.Paint(w);

  // The form's own painting goes into the client part of the picture, so its
  // controls see it behind them. The handler may do anything, even free the
  // form: the link tells whether this provider is still there afterwards.
  std::shared_ptr<THook> keep = hook_;
  if (form_->OnPaint && fm.ClientWidth > 0 && fm.ClientHeight > 0 && !fm.Minimized) {
    TDC dc(cache);
    dc.SetViewportOrg({fm.ClientLeft, fm.ClientTop});
    dc.IntersectClipRect(Rect(0, 0, fm.ClientWidth, fm.ClientHeight));
    tk::TCanvas* canvas = form_->Canvas();
    struct TReset {
      tk::TCanvas* Canvas;
      ~TReset() { Canvas->SetHandle(nullptr); }
    } reset{canvas};
    canvas->SetHandle(&dc);
    canvas->Font().Assign(*form_->Font());
    canvas->Brush().SetColor(form_->Color());
    form_->OnPaint(form_);
    if (keep->Provider != this) return;
  }
  paintedOnce_ = true;
  SkinData.CacheInvalid = false;
}

void TsSkinProvider::PaintNonClient() {
  if (!Skinned() || form_->IsLoading() || !form_->Showing()) return;
  HWND h = FormHandle();
  if (!h || !IsWindowVisible(h)) return;
  const TsFrameMetrics fm = Metrics();
  const TBitmap& cache = *SkinData.CacheBmp;
  std::shared_ptr<THook> keep = hook_;
  const bool beforeFirstPainting = !paintedOnce_;
  if (SkinData.CacheInvalid || cache.Width() != fm.FrameWidth ||
      cache.Height() != fm.WindowHeight) {
    PaintFrame();
    // The frame drew the items as they are now.
    if (keep->Provider == this) SameBarLook(fm);
  } else {
    RedrawMenuLineItems(fm);
  }
  if (keep->Provider != this || FormHandle() != h) return;
  if (painter_.RegionChanged && (fm.HasBorder || fm.Minimized)) {
    // A form may ask to keep its whole rectangle until its frame has been
    // painted completely once (it answers the query with its own code).
    const bool deferred = beforeFirstPainting &&
                          SendMessage(h, kRegionQuery, kRegionQueryCode, 0) == kRegionQueryCode;
    if (keep->Provider != this || FormHandle() != h) return;
    if (!deferred) UpdateRegion();
  }
  if (!cache.Empty()) {
    TScopedDC dc(h, true);
    if (dc.Dc()) painter_.CopyPieces(*dc.Dc(), fm);
  }
  // A region kept back for the first complete painting is set once the
  // frame is on the screen.
  if (painter_.RegionChanged && paintedOnce_ && beforeFirstPainting &&
      (fm.HasBorder || fm.Minimized))
    UpdateRegion();
}

// The menu line's items change their look (highlighted, opened) while the
// frame stays as it is: the line is laid again from its copy and the skinned
// menu painter draws the items over it in their present states.
void TsSkinProvider::RedrawMenuLineItems(const TsFrameMetrics& fm) {
  TsMenuPainter* painter = MenuPainter(FrameManager());
  if (!painter || !HasVisibleMenu()) return;
  // A repaint that changes nothing on the line (the whole window invalidated,
  // a caption button's hover) leaves the items drawn as they are. A handler
  // that draws items itself may draw anything: its items are drawn again.
  if (SameBarLook(fm) && !painter->DrawsBarItemsByHandler()) return;
  if (painter_.RestoreMenuLine(fm)) painter->DrawBarItems(form_, *SkinData.CacheBmp);
}

bool TsSkinProvider::SameBarLook(const TsFrameMetrics& fm) {
  barLookNow_.clear();
  HWND h = FormHandle();
  tk::TMainMenu* menu = form_ ? form_->Menu() : nullptr;
  HMENU bar = h ? GetMenu(h) : nullptr;
  if (menu && bar) {
    UINT pos = 0;  // the platform's bar holds the visible items only
    for (int i = 0; i < menu->Items()->Count(); ++i) {
      tk::TMenuItem* item = menu->Items()->Items(i);
      if (!item->Visible()) continue;
      barLookNow_.push_back({item, GetMenuState(bar, pos++, MF_BYPOSITION)});
    }
  }
  bool cues = false;
  SystemParametersInfo(SPI_GETKEYBOARDCUES, 0, &cues, 0);
  cues = cues || GetTrackedMenu() != nullptr;
  const std::uint64_t changes = tk::MenuItemChanges();
  const bool same = barLookValid_ && barLook_ == barLookNow_ && barChanges_ == changes &&
                    barCues_ == cues && barWidth_ == fm.FrameWidth;
  barLook_.swap(barLookNow_);
  barChanges_ = changes;
  barCues_ = cues;
  barWidth_ = fm.FrameWidth;
  barLookValid_ = true;
  return same;
}

void TsSkinProvider::RepaintFrame() {
  if (!Skinned()) return;
  MarkChanged();
  painter_.DropCaptionCopy();
  PaintNonClient();
}

void TsSkinProvider::PaintClient(TDC& dc, const TRect& clip) {
  const TsFrameMetrics fm = Metrics();
  TBitmap& cache = *SkinData.CacheBmp;
  if (SkinData.CacheInvalid || cache.Width() != fm.FrameWidth ||
      cache.Height() != fm.WindowHeight) {
    std::shared_ptr<THook> keep = hook_;
    HWND h = FormHandle();
    PaintFrame();
    // The form's own painting may have taken the window (or the provider) away.
    if (keep->Provider != this || !h || FormHandle() != h) return;
  }
  if (cache.Empty() || fm.ClientWidth <= 0 || fm.ClientHeight <= 0) return;
  // A control in the middle of a fade asked for this painting: only its
  // rectangle is painted, over the frame cache behind it, so the rest of the
  // form is not painted again for every frame of the fade. A painting that
  // has more to do than that control (other parts were invalidated since)
  // paints everything as usual.
  if (TControl* child = SkinData.AnimatingChild()) {
    SkinData.SetAnimatingChild(nullptr);
    if (child->Parent() == form_ && !dynamic_cast<TWinControl*>(child) &&
        (clip.IsEmpty() || child->BoundsRect().Intersect(clip) == clip)) {
      PaintAnimatingChild(dc, child, fm);
      return;
    }
  }
  const TRect client = Rect(0, 0, fm.ClientWidth, fm.ClientHeight);
  const TRect dest = clip.IsEmpty() ? client : clip.Intersect(client);
  if (dest.IsEmpty()) return;
  CopyCacheToDC(form_, SkinData, dest.Offset(fm.ClientLeft, fm.ClientTop), 0, 0, false, dc, dest);
  // The copy leaves the windowless controls' rectangles out: they are painted
  // over the frame cache behind them off screen, never over what the window
  // showed before (a bevel's inside, a label's old text).
  PaintGraphicChildren(dc, form_, {0, 0});
}

void TsSkinProvider::PaintAnimatingChild(TDC& dc, TControl* child, const TsFrameMetrics& fm) {
  const TRect r = child->BoundsRect().Intersect(Rect(0, 0, fm.ClientWidth, fm.ClientHeight));
  if (r.IsEmpty() || !child->Visible()) return;
  const TBitmap& cache = *SkinData.CacheBmp;
  TBitmap buffer(r.Width(), r.Height());
  TDC bufferDC(buffer);
  if (child->ControlStyle() & csOpaque)
    bufferDC.FillRect(Rect(0, 0, r.Width(), r.Height()), ColorToRGB(child->Color()));
  else
    bufferDC.BitBlt(0, 0, r.Width(), r.Height(), cache, r.Left + fm.ClientLeft,
                    r.Top + fm.ClientTop);
  TControlRef ref(child);
  {
    TDCSaver saver(bufferDC);
    bufferDC.OffsetViewportOrg(child->Left() - r.Left, child->Top() - r.Top);
    bufferDC.IntersectClipRect(Rect(0, 0, child->Width(), child->Height()));
    child->Perform(WM_PAINT, WPARAM(reinterpret_cast<std::uintptr_t>(&bufferDC)), 0);
  }
  if (!ref.Get()) return;
  dc.BitBlt(r.Left, r.Top, r.Width(), r.Height(), buffer, 0, 0);
}

// The pointer came to the form or to a control on it: every speed button
// other than the one entered that still shows the pointer over it (it missed
// its leave, e.g. while a menu or a drag held the mouse) is told it left.
void TsSkinProvider::ReleaseStaleSpeedButtons(const TControl* entered) {
  // Nothing to look for while no speed button shows the pointer, or only the
  // one just entered does (the common case: every pointer move between
  // controls comes here).
  const int inside = TSpeedButton::CountMouseInControl();
  if (inside == 0) return;
  if (inside == 1) {
    for (const TControl* c : {entered, static_cast<const TControl*>(MouseControl())})
      if (const auto* b = dynamic_cast<const TSpeedButton*>(c); b && b->MouseInControl()) return;
  }
  std::vector<TControlRef> stale;
  std::vector<TWinControl*> containers{form_};
  while (!containers.empty()) {
    TWinControl* c = containers.back();
    containers.pop_back();
    for (int i = 0; i < c->ControlCount(); ++i) {
      TControl* child = c->Controls(i);
      if (auto* w = dynamic_cast<TWinControl*>(child)) containers.push_back(w);
      auto* b = dynamic_cast<TSpeedButton*>(child);
      if (b && b->MouseInControl() && b != entered && b != MouseControl()) stale.emplace_back(b);
    }
  }
  for (TControlRef& ref : stale)
    if (TControl* b = ref.Get()) b->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(b));
}

// ---------------------------------------------------------------- screen snap

void TsSkinProvider::Snap(TRect& r) {
  MONITORINFO mi;
  if (!GetMonitorInfo(MonitorFromWindow(FormHandle(), MONITOR_DEFAULTTONEAREST), &mi)) return;
  const TRect work = mi.rcWork, screen = mi.rcMonitor;
  const int w = r.Width(), h = r.Height();
  if (std::abs(work.Right - r.Right) < SnapBuffer) r.Left = work.Right - w;
  if (std::abs(work.Bottom - r.Bottom) < SnapBuffer) r.Top = work.Bottom - h;
  if (std::abs(r.Left - screen.Left) < SnapBuffer) r.Left = screen.Left;
  if (std::abs(r.Top - screen.Top) < SnapBuffer) r.Top = screen.Top;
  r.Right = r.Left + w;
  r.Bottom = r.Top + h;
}

// ---------------------------------------------------------------- messages

void TsSkinProvider::CallPrevious(TMessage& m) {
  std::shared_ptr<THook> keep = hook_;
  if (keep && keep->Previous) keep->Previous(m);
}

bool TsSkinProvider::HandleSkinCommand(TMessage& m) {
  const int command = CommandOf(m.WParam);
  const int argument = ArgumentOf(m.WParam);
  TsSkinManager* manager = FrameManager();
  const bool own = m.LParam != 0 && m.LParam == reinterpret_cast<LPARAM>(manager);
  switch (command) {
    case CmdGetFormFrame:
      Answer(m, reinterpret_cast<LRESULT>(static_cast<TsFrameOwner*>(this)));
      return true;
    case CmdQueryHandled:
      Answer(m, 1);
      return true;
    case CmdNewSkin:
      if (!own) return false;
      SkinData.HandleMessage(m);
      PrepareSkin();
      return false;
    case CmdRemoveSkin:
      if (!own) return false;
      SkinData.HandleMessage(m);
      RelayToAdapter(m);
      RemoveSkin();
      return false;
    case CmdRefresh:
      if (!own) return false;
      SkinData.HandleMessage(m);
      PrepareSkin();
      painter_.DropCaptionCopy();
      updating_ = false;
      RelayToAdapter(m);
      if (HWND h = FormHandle(); h && Skinned() && IsWindowVisible(h))
        RedrawWindow(h, nullptr, nullptr,
                     RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      return false;
    case CmdGetBackground: {
      if (!Skinned()) return false;
      const TsFrameMetrics fm = Metrics();
      const TBitmap& cache = *SkinData.CacheBmp;
      if (SkinData.CacheInvalid || cache.Width() != fm.FrameWidth ||
          cache.Height() != fm.WindowHeight)
        PaintFrame();
      BackgroundAnswer = BackgroundInfo{SkinData.CacheBmp.get(), fm.ClientLeft, fm.ClientTop, 1};
      Answer(m, 1);
      return true;
    }
    case CmdSetPaintSuspended:
      updating_ = argument == 1;
      SkinData.PaintSuspended = updating_;
      if (updating_) MarkChanged();
      return true;
    case CmdQueryStale:
      Answer(m, updating_ ? 1 : 0);
      return true;
    case CmdQuerySeeThrough: {
      if (!Skinned()) return false;
      const TsGeneralData& gd = manager->gd[std::size_t(SkinData.SectionIndex)];
      Answer(m, gd.GradientPercent + gd.ImagePercent > 0 ? 1 : 0);
      return true;
    }
    case CmdGetColour:
      ParentColor = Skinned() && !SkinData.CustomColor()
                        ? ColorToRGB(manager->gd[std::size_t(SkinData.SectionIndex)].HotColor)
                        : ColorToRGB(form_->Color());
      m.Result = 1;
      return true;
    case CmdControlSkinned:
      if (adapter_ && !form_->IsDestroying() && !form_->IsLoading()) {
        try {
          adapter_->AddAllItems(dynamic_cast<TWinControl*>(reinterpret_cast<TControl*>(m.LParam)));
        } catch (const std::exception&) {
        }
      }
      return true;
    case CmdGetApplication:
      Answer(m, reinterpret_cast<LRESULT>(Application));
      return true;
    case 61: {
      const TsFrameMetrics fm = Metrics();
      Answer(m, LRESULT(MAKELONG(fm.ClientLeft, fm.ClientTop)));
      return true;
    }
    case 51:
    case 52:
      if (HalfVisible) {
        if (HWND h = FormHandle()) {
          SendMessage(h, WM_SETREDRAW, command == 52 ? 1 : 0, 0);
          if (command == 52)
            RedrawWindow(h, nullptr, nullptr,
                         RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
      }
      return true;
    default:
      return SkinData.HandleMessage(m);
  }
}

void TsSkinProvider::WndProc(TMessage& m) {
  if (inactive_ || !form_ || form_->IsDestroying()) {
    CallPrevious(m);
    return;
  }
  if (m.Msg == SM_NIRVEXCMD) {
    if (!HandleSkinCommand(m)) CallPrevious(m);
    return;
  }
  if (!Skinned()) {
    CallPrevious(m);
    return;
  }
  // Everything below may free the form or the provider (a close command,
  // an event handler): the hook tells whether this provider is still there.
  std::shared_ptr<THook> keep = hook_;
  auto alive = [&] { return keep->Provider == this; };
  switch (m.Msg) {
    case WM_CREATE:
      // The window exists now: the preparations that need it are made.
      painter_.DropCaptionCopy();
      CallPrevious(m);
      if (alive()) PrepareSkin();
      return;
    case WM_NCPAINT:
      PaintNonClient();
      m.Result = 0;
      return;
    case WM_NCACTIVATE: {
      const bool active = m.WParam != 0;
      if (active != formActive_) MarkChanged();
      formActive_ = active;
      menuRows_ = -1;
      // The platform would paint its own caption here: redrawing is off
      // around its handling, and the skinned frame is painted after it.
      HWND h = FormHandle();
      const bool visible = OwnStyleVisible(h);
      if (visible) SendMessage(h, WM_SETREDRAW, 0, 0);
      CallPrevious(m);
      if (!alive()) return;
      if (visible && (h = FormHandle())) SendMessage(h, WM_SETREDRAW, 1, 0);
      if (!alive()) return;
      PaintNonClient();
      return;
    }
    case WM_ACTIVATE: {
      CallPrevious(m);
      if (!alive()) return;
      const bool active = LOWORD(m.WParam) != WA_INACTIVE;
      if (active != formActive_) {
        formActive_ = active;
        RepaintFrame();
      }
      return;
    }
    case WM_SYSCOLORCHANGE:
      // The menus are described to the platform again, in the new colours.
      CallPrevious(m);
      if (alive() && form_->Menu()) form_->Menu()->Rebuild();
      return;
    case CM_MOUSEENTER:
      // The pointer came to the form or to anything on it (LParam).
      CallPrevious(m);
      if (alive()) ReleaseStaleSpeedButtons(reinterpret_cast<TControl*>(m.LParam));
      return;
    case WM_SETICON:
      // The caption's icon is part of the caption strip's copy.
      painter_.DropCaptionCopy();
      CallPrevious(m);
      if (alive()) RepaintFrame();
      return;
    case WM_SETTEXT:
    case WM_SETTINGCHANGE:
      MarkChanged();
      painter_.DropCaptionCopy();
      CallPrevious(m);
      if (alive() && m.Msg == WM_SETTEXT) PaintNonClient();
      return;
    case WM_SIZE: {
      MarkChanged();
      painter_.RegionChanged = true;
      menuRows_ = -1;
      CallPrevious(m);
      if (!alive()) return;
      if (m.WParam == SIZE_MINIMIZED || m.WParam == SIZE_RESTORED) painter_.Buttons.StopFade();
      TsSkinManager* mgr = FrameManager();
      if (form_->Showing() && mgr->gd[std::size_t(SkinData.SectionIndex)].GradientPercent > 0)
        SendCommandToChildren(form_, CmdRefreshBackground, 0, 1);
      return;
    }
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
      if (ScreenSnap && pos && !(pos->flags & SWP_NOMOVE) && FormHandle() &&
          !IsZoomed(FormHandle())) {
        TRect r = Bounds(pos->x, pos->y, pos->cx, pos->cy);
        if (pos->flags & SWP_NOSIZE) {
          TRect cur;
          GetWindowRect(FormHandle(), &cur);
          r = Bounds(pos->x, pos->y, cur.Width(), cur.Height());
        }
        Snap(r);
        pos->x = r.Left;
        pos->y = r.Top;
      }
      CallPrevious(m);
      return;
    }
    case WM_WINDOWPOSCHANGED: {
      // A new size, or a frame change (the platform's answer to a menu bar
      // whose items changed), may change the bar's rows.
      menuRows_ = -1;
      CallPrevious(m);
      if (!alive()) return;
      const TsFrameMetrics fm = Metrics();
      const TBitmap& cache = *SkinData.CacheBmp;
      if (form_->Showing() &&
          (cache.Width() != fm.FrameWidth || cache.Height() != fm.WindowHeight)) {
        MarkChanged();
        painter_.RegionChanged = true;
        PaintNonClient();
      }
      return;
    }
    case WM_SIZING: {
      CallPrevious(m);
      if (!alive()) return;
      // The picture is made anew once the size it was made for is gone.
      const TsFrameMetrics fm = Metrics();
      if (SkinData.CacheBmp->Width() != fm.FrameWidth ||
          SkinData.CacheBmp->Height() != fm.WindowHeight)
        MarkChanged();
      return;
    }
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_PAINT: {
      if (!form_->Showing()) break;
      PAINTSTRUCT ps;
      HWND h = FormHandle();
      HDC dc = BeginPaint(h, &ps);
      try {
        if (dc) PaintClient(*dc, ps.rcPaint);
      } catch (...) {
        EndPaint(h, &ps);
        throw;
      }
      EndPaint(h, &ps);
      m.Result = 0;
      return;
    }
    case WM_PRINT: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (!dc) break;
      const TsFrameMetrics fm = Metrics();
      if (m.LParam & PRF_NONCLIENT) {
        if (SkinData.CacheInvalid) PaintFrame();
        if (!alive()) return;
        if (!SkinData.CacheBmp->Empty()) painter_.CopyPieces(*dc, fm);
      }
      if (m.LParam & PRF_CLIENT) {
        TDCSaver saver(*dc);
        dc->OffsetViewportOrg(fm.ClientLeft, fm.ClientTop);
        dc->IntersectClipRect(Rect(0, 0, fm.ClientWidth, fm.ClientHeight));
        PaintClient(*dc, TRect{});
      }
      if (!alive()) return;
      // The children are printed by the platform, over what is painted here.
      TMessage rest = m;
      rest.LParam &= ~LPARAM(PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
      CallPrevious(rest);
      m.Result = 0;
      return;
    }
    case WM_SHOWWINDOW:
      CallPrevious(m);
      if (alive() && !m.WParam) {
        painter_.Buttons.StopFade();
        SkinData.CacheBmp->SetSize(0, 0);
        MarkChanged();
      }
      return;
    case CM_ENABLEDCHANGED:
      CallPrevious(m);
      if (alive()) RepaintFrame();
      return;
    case CM_COLORCHANGED:
      // The caption is laid over the form's colour: its copy goes with it.
      if (SkinData.CustomColor()) {
        MarkChanged();
        painter_.DropCaptionCopy();
      }
      break;
    case WM_PARENTNOTIFY:
    case CM_CONTROLCHANGE:
      CallPrevious(m);
      // A control made or inserted since is offered to the adapter.
      if (alive() && adapter_ &&
          (m.Msg == CM_CONTROLCHANGE ? m.LParam != 0 : LOWORD(m.WParam) == WM_CREATE))
        UpdateAdapter();
      return;
    case WM_ENTERIDLE:
      m.Result = 0;
      return;
    case WM_NCHITTEST: {
      CallPrevious(m);
      if (!alive()) return;
      TRect window;
      GetWindowRect(FormHandle(), &window);
      const TPoint p{GET_X_LPARAM(m.LParam) - window.Left, GET_Y_LPARAM(m.LParam) - window.Top};
      const int code = CaptionHitTest(p);
      if (code == -1 || (code != 0 && code != htCaption)) m.Result = code;
      return;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMOUSEMOVE:
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE:
      if (HandleNcMouse(m)) return;
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (painter_.Buttons.Capturing() && painter_.Buttons.HandleCapturedMouse(m)) return;
      break;
    case WM_SYSCOMMAND:
      if (HandleSysCommand(m)) return;
      break;
    default:
      break;
  }
  CallPrevious(m);
}

}  // namespace vm
