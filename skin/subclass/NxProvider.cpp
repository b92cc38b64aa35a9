#include "skin/subclass/NxProvider.h"

#include <algorithm>

#include "platform/controls/DialogDefs.h"
#include "platform/controls/MessageBox.h"
#include "skin/data/SkinManager.h"
#include "skin/frame/FrameHook.h"
#include "skin/frame/SkinProvider.h"
#include "skin/state/SkinCommand.h"
#include "skin/state/WindowAnnouncer.h"
#include "skin/subclass/MainWnd.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/WinControl.h"

namespace vm {

// ---- The child-window table ----

std::string LowerClassName(std::string_view name) {
  std::string s(name);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

namespace {

// Bit 14 of the extended style: the platform's scroll bar on the left, the
// mark of a right-to-left dialog.
constexpr LONG_PTR LeftScrollBarStyle = 0x4000;

// The size of the one tab control that leaves its whole dialog alone.
constexpr int AbandonTabWidth = 470;
constexpr int AbandonTabHeight = 349;

TnxChildChoice Choice(TnxKind kind, const char* section, bool dialogMode = false) {
  TnxChildChoice c;
  c.Skinned = true;
  c.Kind = kind;
  c.Section = section;
  c.DialogMode = dialogMode;
  return c;
}

bool AllSet(DWORD style, DWORD bits) {
  return (style & bits) == bits;
}

}  // namespace

TnxChildChoice ChooseChildKind(std::string_view cls, DWORD style, int width, int height) {
  if (cls == "static") {
    // Icons and bitmaps (types 3 and 14, and the other types with these bits).
    if (AllSet(style, 0x3) || AllSet(style, 0xE)) return Choice(nkIcon, "CHECKBOX");
    // Owner-drawn statics (type 13 and its kin), grey and white rectangles
    // and the etched-frame type keep their own look.
    const DWORD type = style & 0x1F;
    if (AllSet(style, 0xD) || type == 5 || type == 6 || type == 11) return {};
    return Choice(nkStaticText, "CHECKBOX");
  }
  if (cls == "#32770") return Choice(nkTransparentPanel, "CHECKBOX");
  if (cls == "tpanel" || cls == "tsilentpaintpanel") return Choice(nkDialogPanel, "PANEL");
  if (cls == "button") {
    if ((style & 0xF) == 7) return Choice(nkGroupBox, "GROUPBOX");
    // Check boxes and three-state boxes.
    if (AllSet(style, 0x3) || (style & 0x2) || AllSet(style, 0x5))
      return Choice(nkCheckBox, "CHECKBOX");
    // Radio buttons.
    if (AllSet(style, 0x9) || (style & 0x4)) return Choice(nkCheckBox, "CHECKBOX");
    return Choice(nkPushButton, "BUTTON");
  }
  if (cls == "combobox") return Choice(nkComboBox, "COMBOBOX", true);
  if (cls == "combolbox") return Choice(nkEdit, "COMBOBOX");
  if (cls == "comboboxex32") return Choice(nkComboBox, "COMBOBOX");
  if (cls == "scrollbar") return Choice(nkSizeGrip, "CHECKBOX");
  if (cls == "systabcontrol32") {
    TnxChildChoice c;
    c.Abandon = width == AbandonTabWidth && height == AbandonTabHeight;
    return c;
  }
  if (cls == "syslistview32") return Choice(nkListView, "EDIT", true);
  if (cls == "msctls_updown32") return Choice(nkSpinButtons, "SPEEDBUTTON_SMALL");
  if (cls == "listbox") return Choice(nkEdit, "EDIT", true);
  if (cls == "link window" || cls == "syslink") return Choice(nkLink, "CHECKBOX");
  if (cls == "toolbarwindow32")
    return (style & 0x200) ? Choice(nkToolBar, "BAR") : Choice(nkToolBar, "CHECKBOX");
  if (cls == "edit") return Choice(nkEdit, "EDIT", true);
  if (cls == "systreeview32") return Choice(nkTreeView, "EDIT", true);
  if (cls.find("shbrowseforfolder") != std::string_view::npos)
    return Choice(nkTransparentPanel, "CHECKBOX");
  return {};
}

// ---- The process-wide list ----

namespace {

std::vector<TnxProvider*>& Providers() {
  static std::vector<TnxProvider*> list;
  return list;
}

void Forget(TnxProvider* p) {
  auto& list = Providers();
  list.erase(std::remove(list.begin(), list.end(), p), list.end());
}

TnxMessageBoxPos& BoxPos() {
  static TnxMessageBoxPos pos;
  return pos;
}

// Sets the process-wide dialog-mode flag for one subclass creation.
struct TDialogModeScope {
  bool Was = SkinningDialogChildren;
  TDialogModeScope() { SkinningDialogChildren = true; }
  ~TDialogModeScope() { SkinningDialogChildren = Was; }
};

}  // namespace

const std::vector<TnxProvider*>& DialogProviders() {
  return Providers();
}

TnxProvider* DialogProviderOf(HWND window) {
  if (!window) return nullptr;
  for (TnxProvider* p : Providers())
    if (p->DialogWnd() == window) return p;
  return nullptr;
}

// ---- TnxProvider ----

// What the procedure watching the dialog reaches; cleared when the provider goes.
struct TnxProvider::TWatchLink {
  TnxProvider* Owner = nullptr;
  WNDPROC Previous;
};

TnxProvider::TnxProvider(TComponent* owner, HWND dialog) : TComponent(owner), dialog_(dialog) {}

TnxProvider::~TnxProvider() {
  *alive_ = false;
  Forget(this);
  if (watchLink_) watchLink_->Owner = nullptr;
  // Each window gets its own procedure back now (the frame's first, which
  // sits in front of the watcher); an object whose handler is still running
  // is freed once it has returned.
  FreeSubclassLater(std::move(frame_));
  for (auto it = children_.rbegin(); it != children_.rend(); ++it)
    FreeSubclassLater(std::move(*it));
  children_.clear();
  // The watcher may still be running (a child made during a walk); from here
  // it only passes messages on.
  if (watch_) RemoveWindowProc(dialog_, watch_, watchPrevious_);
}

TsSkinProvider* TnxProvider::FormFrame() const {
  return formFrame_ ? formFrame_->Get() : nullptr;
}

bool TnxProvider::Attach() {
  TsSkinManager* manager = DefaultManager();
  if (!manager || !manager->SkinData.Active) {
    // Nothing is skinned without an active skin; a frame made before goes.
    FreeSubclassLater(std::move(frame_));
    return false;
  }
  if (walked_ || frame_ || formFrame_) return !abandoned_;
  if (!IsWindow(dialog_)) return false;
  rightToLeft_ = (GetWindowLongPtr(dialog_, GWL_EXSTYLE) & LeftScrollBarStyle) != 0;
  const std::string cls = GetClassName(dialog_);
  if (cls != WC_DIALOG && cls != "TMessageForm") return true;  // no dialog: left alone

  // A message form of the program is a form: the frame layer gives it its
  // run-time frame, and its adapter skins its controls.
  if (auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(dialog_))) {
    walked_ = true;
    AttachRuntimeProvider(*manager, form);
    for (TsSkinProvider* p : RuntimeProviders())
      if (p->FrameForm() == form) {
        p->MakeSkinMenu = false;
        formFrame_ = std::make_unique<TComponentLink<TsSkinProvider>>(p);
      }
    return true;
  }

  std::shared_ptr<bool> alive = alive_;
  // The watcher goes on first, so the frame subclass sits in front of it.
  // Windows the frame subclass makes for itself are not the dialog's
  // children to walk: children made are followed from the walk on.
  WatchDialog();
  // There are no flat scroll bars on this platform to switch off first.
  try {
    frame_ = MakeSubclass(nkDialogFrame, dialog_, "DIALOG", manager);
  } catch (const std::exception&) {
    frame_.reset();  // the dialog keeps its own frame
  }
  if (!*alive || !IsWindow(dialog_)) return false;

  // The engine's message box may ask for a place of its own; the request is
  // its box's alone, so the first dialog attached takes it.
  if (const TnxMessageBoxPos pos = BoxPos(); pos.Requested()) {
    BoxPos() = {};
    SetWindowPos(dialog_, nullptr, pos.X, pos.Y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
  }

  walked_ = true;
  const bool complete = WalkChildren(dialog_, alive);
  if (!*alive) return false;
  if (!complete) {
    // The dialog keeps the platform's look from the child that ended the
    // walk on. The provider stays listed, so that the dialog is not walked
    // again at its next activation and what was attached is still freed
    // with the dialog or when skinning stops.
    abandoned_ = true;
    return false;
  }
  if (!IsWindow(dialog_)) return false;
  SendCommandToWindow(dialog_, CmdNewSkin, reinterpret_cast<LPARAM>(manager));
  if (!*alive || !IsWindow(dialog_)) return false;
  RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return true;
}

bool TnxProvider::WalkChildren(HWND parent, const std::shared_ptr<bool>& alive) {
  // The children as they stand now, top child first: one destroyed or
  // moved elsewhere while its elder siblings are attached is passed over.
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    children.push_back(c);
  for (HWND child : children) {
    if (!*alive || !IsWindow(dialog_)) return false;
    if (!IsWindow(child) || GetAncestor(child, GA_PARENT) != parent) continue;
    if (!WalkChildren(child, alive)) return false;
    if (!IsWindow(child)) continue;
    if ((GetWindowLongPtr(child, GWL_STYLE) & WS_CHILD) && !AttachChild(child, alive)) return false;
  }
  return *alive;
}

bool TnxProvider::AttachChild(HWND child, const std::shared_ptr<bool>& alive) {
  // A child that skins itself, or was attached before, says so.
  if (QueryWindow(child, CmdQueryHandled)) return true;
  if (!*alive || !IsWindow(child)) return *alive;
  TRect r;
  GetWindowRect(child, &r);
  const TnxChildChoice choice =
      ChooseChildKind(LowerClassName(GetClassName(child)),
                      DWORD(GetWindowLongPtr(child, GWL_STYLE)), r.Width(), r.Height());
  if (choice.Abandon) return false;
  if (!choice.Skinned) return true;
  std::unique_ptr<TnxMainWnd> object;
  try {
    TDialogModeScope dialogMode;
    object = MakeSubclass(choice.Kind, child, choice.Section, DefaultManager());
  } catch (const std::exception&) {
    return *alive;  // this child keeps its own look; the others go on
  }
  if (!*alive) {
    FreeSubclassLater(std::move(object));
    return false;
  }
  if (object) children_.push_back(std::move(object));
  return true;
}

void TnxProvider::WatchDialog() {
  auto link = std::make_shared<TWatchLink>();
  link->Owner = this;
  watchLink_ = link;
  watch_ = WNDPROC::FromClosure([link](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    const LRESULT r =
        link->Previous ? CallWindowProc(link->Previous, h, msg, w, l) : DefWindowProc(h, msg, w, l);
    // A window made inside the dialog after the walk is skinned as the
    // walk would have skinned it.
    if (msg == WM_PARENTNOTIFY && LOWORD(w) == WM_CREATE && link->Owner)
      link->Owner->ChildCreated(reinterpret_cast<HWND>(l));
    return r;
  });
  watchPrevious_ = SetWindowProc(dialog_, watch_);
  link->Previous = watchPrevious_;
}

void TnxProvider::ChildCreated(HWND child) {
  if (!walked_ || abandoned_ || formFrame_ || !IsWindow(child) || !IsChild(dialog_, child)) return;
  TsSkinManager* manager = DefaultManager();
  if (!manager || !manager->SkinData.Active) return;
  std::shared_ptr<bool> alive = alive_;
  if (!WalkChildren(child, alive) || !IsWindow(child)) return;
  if (GetWindowLongPtr(child, GWL_STYLE) & WS_CHILD) AttachChild(child, alive);
}

void TnxProvider::DropDeadChildren() {
  for (auto it = children_.begin(); it != children_.end();) {
    if ((*it)->Detached() && !IsWindow((*it)->Handle())) {
      FreeSubclassLater(std::move(*it));
      it = children_.erase(it);
    } else {
      ++it;
    }
  }
}

void TnxProvider::Relay(int command, LPARAM value) {
  if (!walked_ || formFrame_ || !IsWindow(dialog_)) return;
  std::shared_ptr<bool> alive = alive_;
  DropDeadChildren();
  SendCommandToWindow(dialog_, command, value);
  // The list may change while the windows are told (a child made or a
  // provider freed): each entry is looked up again right before it is told.
  for (std::size_t i = 0; *alive && i < children_.size(); ++i) {
    TnxMainWnd* o = children_[i].get();
    if (o && !o->Detached() && IsWindow(o->Handle()))
      SendCommandToWindow(o->Handle(), command, value);
  }
  if (*alive && command == CmdRefresh && IsWindow(dialog_))
    RedrawWindow(dialog_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// ---- The hook's side ----

TnxProvider* HandleDialog(TsSkinManager& manager, HWND window) {
  if (!IsWindow(window) || DialogProviderOf(window)) return nullptr;
  if (!manager.SkinData.Active || !DefaultManager() || !DefaultManager()->SkinData.Active)
    return nullptr;
  const std::string cls = GetClassName(window);
  if (cls == "TApplication" || cls == "TQRStandardPreview") return nullptr;
  // A window that answers command 7 skins itself (or has a frame already).
  if (QueryWindow(window, CmdQueryHandled)) return nullptr;
  // Listed before it is attached: an activation during the walk finds it.
  auto* provider = new TnxProvider(Application, window);
  Providers().push_back(provider);
  TComponentLink<TnxProvider> alive(provider);
  provider->Attach();
  return alive.Get();
}

void FreeDialogProvider(HWND window) {
  if (TnxProvider* p = DialogProviderOf(window)) delete p;
}

void FreeDialogProviders() {
  // Each provider leaves the list as it goes.
  while (!Providers().empty()) delete Providers().back();
}

namespace {

// The announcer's handlers, each wrapping the one set before it.
struct TDialogActivated {
  std::function<void(TsSkinManager&, TCustomForm*)> Previous;
  void operator()(TsSkinManager& manager, TCustomForm* form) const {
    // A message form is a standard dialog of the program: its provider
    // holds its frame. The frame layer then finds it framed already.
    if (form && form->ClassName() == "TMessageForm" && form->HandleAllocated())
      HandleDialog(manager, form->Handle());
    if (Previous) Previous(manager, form);
  }
};

struct TDialogWindowEvent {
  std::function<void(TsSkinManager&, int, WPARAM, LPARAM)> Previous;
  void operator()(TsSkinManager& manager, int code, WPARAM w, LPARAM l) const {
    if (Previous) Previous(manager, code, w, l);
    HWND h = reinterpret_cast<HWND>(w);
    if (code == HCBT_ACTIVATE)
      HandleDialog(manager, h);
    else if (code == HCBT_DESTROYWND)
      FreeDialogProvider(h);
  }
};

}  // namespace

void InstallDialogLayer(TsWindowAnnouncer& announcer) {
  if (!announcer.OnFormActivated.target<TDialogActivated>())
    announcer.OnFormActivated = TDialogActivated{announcer.OnFormActivated};
  // Standard dialogs reach the frame layer's window event only while the
  // rules cover them; the destruction of any window comes through it too.
  // The event is process-wide: it is set once, whatever the announcer.
  if (!FrameLayerWindowEvent.target<TDialogWindowEvent>())
    FrameLayerWindowEvent = TDialogWindowEvent{FrameLayerWindowEvent};
  auto removed = announcer.OnHookRemoved;
  announcer.OnHookRemoved = [removed](TsSkinManager& manager) {
    FreeDialogProviders();
    if (removed) removed(manager);
  };
  auto sent = announcer.OnCommandSent;
  announcer.OnCommandSent = [sent](TsSkinManager& manager, int command) {
    if (sent) sent(manager, command);
    // A copy: providers may go while their windows are told.
    const std::vector<TnxProvider*> providers = Providers();
    for (TnxProvider* p : providers)
      if (std::find(Providers().begin(), Providers().end(), p) != Providers().end())
        p->Relay(command, reinterpret_cast<LPARAM>(&manager));
  };
}

// ---- The engine's own message box ----

const TnxMessageBoxPos& MessageBoxPosition() {
  return BoxPos();
}

int SkinMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type, int x,
                   int y) {
  // The request holds while this box runs (a box shown from inside it asks
  // for nothing unless it says so).
  struct TScope {
    TnxMessageBoxPos Was = BoxPos();
    TScope(int x, int y) { BoxPos() = {x, y}; }
    ~TScope() { BoxPos() = Was; }
  } scope(x, y);
  return MessageBox(owner, text, caption, type);
}

}  // namespace vm
