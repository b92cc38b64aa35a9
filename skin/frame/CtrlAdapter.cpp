#include "skin/frame/CtrlAdapter.h"

#include <array>
#include <exception>

#include "skin/data/SkinManager.h"
#include "skin/state/CommonData.h"
#include "skin/state/SkinCommand.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/WinControl.h"

namespace vm {

namespace {

// The marker of the engine's own forms and controls: never adapted.

std::array<TnxSubclassFactory, ThirdPartyListCount>& Factories() {
  static std::array<TnxSubclassFactory, ThirdPartyListCount> factories;
  return factories;
}

// Whether a control skins itself: it answers command 7 with 1.
bool SkinsItself(TControl* control) {
  try {
    return QueryControl(control, CmdQueryHandled);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

void RegisterAdapterSubclass(TThirdPartyKind kind, TnxSubclassFactory factory) {
  if (kind < 0 || kind >= ThirdPartyListCount) return;
  Factories()[std::size_t(kind)] = std::move(factory);
}

bool HasAdapterSubclass(TThirdPartyKind kind) {
  return kind >= 0 && kind < ThirdPartyListCount && bool(Factories()[std::size_t(kind)]);
}

int FindThirdPartyKind(const TsClassLists& lists, const std::string& className) {
  for (int kind = 0; kind < ThirdPartyListCount; ++kind)
    for (const std::string& name : lists[std::size_t(kind)])
      if (name == className) return kind;
  return -1;
}

std::string SectionForKind(int kind, const std::string& itemSection) {
  switch (kind) {
    case tpButton:
    case tpBitBtn:
      return "BUTTON";
    case tpCheckBox:
      return "CHECKBOX";
    case tpGroupBox:
      return "GROUPBOX";
    case tpPanel:
      return "PANEL";
    case tpPageControl:
    case tpTabControl:
      return "PAGECONTROL";
    case tpToolBar:
      return "TOOLBAR";
    case tpStatusBar:
      return "STATUSBAR";
    default:
      return itemSection;
  }
}

// ---------------------------------------------------------------- item

TnxAdapterItem::TnxAdapterItem(TnxCtrlAdapter* adapter, TWinControl* control)
    : adapter_(adapter), control_(control) {
  skinData_ = std::make_unique<TsCommonData>(control, true);
  skinData_->ControlType = ctAdapterItem;
  if (adapter_->Manager() != DefaultManager()) skinData_->SetSkinManager(adapter_->Manager());
}

TnxAdapterItem::~TnxAdapterItem() {
  subclass_.reset();
  skinData_.reset();
}

TWinControl* TnxAdapterItem::Ctrl() const {
  return static_cast<TWinControl*>(control_.Get());
}

bool TnxAdapterItem::Stale() const {
  return !subclass_ || subclass_->Detached() || !Ctrl();
}

void TnxAdapterItem::DropSubclass() {
  subclass_.reset();
}

bool TnxAdapterItem::Attach() {
  TWinControl* c = Ctrl();
  TsSkinManager* m = adapter_->Manager();
  if (!c || !m || c->TabOrder() == int(EngineTag) || !c->HandleAllocated() || SkinsItself(c))
    return false;
  const int kind = FindThirdPartyKind(m->ClassLists(), c->ClassName());
  if (kind < 0) return false;
  const TnxSubclassFactory& factory = Factories()[std::size_t(kind)];
  if (!factory) return false;  // a kind the program paints no subclass for
  skinData_->SetSkinSection(SectionForKind(kind, skinData_->SkinSection()));
  subclass_ = factory(c->Handle(), *skinData_);
  return subclass_ != nullptr;
}

// ---------------------------------------------------------------- adapter

TnxCtrlAdapter::TnxCtrlAdapter(TCustomForm* form, TsSkinManager* manager)
    : form_(form), managerLink_(std::make_unique<TComponentLink<TsSkinManager>>(manager)) {}

TnxCtrlAdapter::~TnxCtrlAdapter() {
  RemoveAllItems();
}

TCustomForm* TnxCtrlAdapter::Form() const {
  return static_cast<TCustomForm*>(form_.Get());
}

TsSkinManager* TnxCtrlAdapter::Manager() const {
  TsSkinManager* m = managerLink_->Get();
  return m ? m : DefaultManager();
}

TnxAdapterItem* TnxCtrlAdapter::Items(int index) const {
  if (index < 0 || index >= ItemCount()) return nullptr;
  return items_[std::size_t(index)].get();
}

TnxAdapterItem* TnxCtrlAdapter::ItemOf(const TControl* control) const {
  if (!control) return nullptr;
  for (const auto& item : items_)
    if (item->Ctrl() == control) return item.get();
  return nullptr;
}

bool TnxCtrlAdapter::IsPlatformLabel(TControl* control, bool byClassName) const {
  // The one rule for the engine's own labels: they derive from the
  // platform's label but answer command 7 (they skin themselves), so neither
  // scan ever recolours them. The children scan also asks for the plain
  // class itself.
  if (!dynamic_cast<TLabel*>(control) || SkinsItself(control)) return false;
  return !byClassName || control->ClassName() == "TLabel";
}

bool TnxCtrlAdapter::IsControlSupported(TControl* control) {
  if (!control || control->Tag() == EngineTag || control->IsDestroying()) return false;
  if (auto* wc = dynamic_cast<TWinControl*>(control)) {
    if (!wc->HandleAllocated() || SkinsItself(wc)) return false;
    TsSkinManager* m = Manager();
    return m && FindThirdPartyKind(m->ClassLists(), wc->ClassName()) >= 0;
  }
  if (!IsPlatformLabel(control, false)) return false;  // other graphic controls never
  bool canBeAdded = true;
  std::string section;
  if (OnSkinItem) OnSkinItem(control, canBeAdded, section);
  return canBeAdded;
}

void TnxCtrlAdapter::Visit(TControl* control, bool byClassName) {
  if (!control || control->IsDestroying()) return;
  TControlRef alive(control);
  if (IsControlSupported(control) && alive) {
    if (auto* wc = dynamic_cast<TWinControl*>(control)) {
      AddNewItem(wc, "EDIT");
    } else if (IsPlatformLabel(control, byClassName)) {
      auto* label = static_cast<TLabel*>(control);
      label->SetTransparent(true);
      if (TsSkinManager* m = Manager()) label->Font()->SetColor(m->GlobalFontColor());
    }
  }
  if (!alive) return;
  if (auto* wc = dynamic_cast<TWinControl*>(control); wc && wc->HandleAllocated() && wc->Parent()) {
    ScanOwned(wc);
    if (alive) ScanChildren(wc);
  }
}

void TnxCtrlAdapter::ScanOwned(TComponent* owner) {
  // By index after every visit: a handler may free components.
  for (int i = 0; i < owner->ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TControl*>(owner->Components(i))) Visit(c, false);
}

void TnxCtrlAdapter::ScanChildren(TWinControl* control) {
  TControlRef self(control);
  for (int i = 0; self && i < control->ControlCount(); ++i) Visit(control->Controls(i), true);
}

void TnxCtrlAdapter::AddAllItems(TWinControl* control) {
  TCustomForm* form = Form();
  if (!control) control = form;
  if (!control) return;
  // 1. Whether a direct child of the form paints with its parent's background.
  if (form) {
    ChildUsesParentBackground = false;
    for (int i = 0; i < form->ControlCount(); ++i)
      if (TControl* c = form->Controls(i); c && (c->ControlStyle() & csParentBackground))
        ChildUsesParentBackground = true;
  }
  // 2. Never inside another scan, and only when the skin takes other controls.
  TsSkinManager* m = Manager();
  if (scanning_ || !m || !(m->SkinningRules() & srThirdParty)) return;
  scanning_ = true;
  struct TEnd {
    bool& Flag;
    ~TEnd() { Flag = false; }
  } end{scanning_};
  TControlRef alive(control);
  // 3. Items whose window went.
  CleanItems();
  // 4. The components the control owns, then 5. its children.
  ScanOwned(control);
  if (alive) ScanChildren(control);
}

void TnxCtrlAdapter::AddNewItem(TWinControl* control, const std::string& sectionName) {
  // 1. Controls that are not for the adapter.
  if (!control || control->IsDestroying() || control->Tag() == EngineTag || !control->Parent() ||
      SkinsItself(control))
    return;
  // 2. The form frame's say.
  std::string section = sectionName.empty() ? DefaultSection : sectionName;
  bool canBeAdded = true;
  TControlRef alive(control);
  if (OnSkinItem) OnSkinItem(control, canBeAdded, section);
  if (!canBeAdded || !alive) return;
  // 3. The control's item, or a new one.
  TnxAdapterItem* item = ItemOf(control);
  const bool existing = item != nullptr;
  if (!item) {
    items_.push_back(std::make_unique<TnxAdapterItem>(this, control));
    item = items_.back().get();
  }
  // 4. A kind with a section of its own keeps it: a control attached as a
  // button stays a "BUTTON" when the controls are added again for a new skin.
  const int kind =
      Manager() ? FindThirdPartyKind(Manager()->ClassLists(), control->ClassName()) : -1;
  item->SkinData()->SetSkinSection(kind >= 0 ? SectionForKind(kind, section) : section);
  // 5. A detached object is dropped and the control attached anew.
  if (existing) {
    if (item->Subclass() && item->Subclass()->Detached()) {
      item->DropSubclass();
      item->Attach();
    }
  } else if (control->Parent()) {
    item->Attach();
  }
  // 7. Nothing attached: no item.
  if (!item->Subclass()) {
    for (int i = 0; i < ItemCount(); ++i)
      if (items_[std::size_t(i)].get() == item) {
        Remove(i);
        break;
      }
  }
}

void TnxCtrlAdapter::SendCommand(WPARAM w, LPARAM l) {
  // By index: a command may make items go (a window destroyed on removal).
  for (int i = 0; i < ItemCount(); ++i) {
    TnxAdapterItem* item = items_[std::size_t(i)].get();
    TWinControl* c = item->Ctrl();
    if (!item->Subclass() || item->Subclass()->Detached() || !c || !c->Parent() ||
        !c->HandleAllocated())
      continue;
    try {
      SendMessage(c->Handle(), SM_NIRVEXCMD, w, l);
    } catch (const std::exception&) {
      // A control failing one command keeps the others from none.
    }
  }
}

void TnxCtrlAdapter::Remove(int index) {
  if (index < 0 || index >= ItemCount()) return;
  std::unique_ptr<TnxAdapterItem> gone = std::move(items_[std::size_t(index)]);
  if (index != ItemCount() - 1) items_[std::size_t(index)] = std::move(items_.back());
  items_.pop_back();
  gone.reset();
}

void TnxCtrlAdapter::RemoveAllItems() {
  if (removing_) return;
  removing_ = true;
  while (!items_.empty()) {
    std::unique_ptr<TnxAdapterItem> gone = std::move(items_.back());
    items_.pop_back();
    gone.reset();
  }
  removing_ = false;
}

void TnxCtrlAdapter::CleanItems() {
  for (int i = ItemCount() - 1; i >= 0; --i)
    if (i < ItemCount() && items_[std::size_t(i)]->Stale()) Remove(i);
}

}  // namespace vm
