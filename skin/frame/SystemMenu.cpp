#include "skin/frame/SystemMenu.h"

#include <vector>

#include "platform/win/WinApi.h"
#include "skin/data/SkinManager.h"
#include "skin/frame/FormAvailability.h"
#include "skin/frame/SkinProvider.h"
#include "skin/state/MenuPainter.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/ShortCut.h"

namespace vm {

namespace {

constexpr const char* ChooserName = "SkinSelectItem";
// The chooser starts a new column before every twentieth skin.
constexpr int SkinsPerColumn = 20;

// A skin name shown as a caption: an "&" in the name is doubled so that it
// shows as itself instead of marking a mnemonic.
std::string CaptionOf(const std::string& name) {
  std::string out;
  for (char c : name) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

// The skin name of a caption: mnemonic marks removed, a doubled "&" taken as
// one.
std::string NameOf(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      out += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      out += '&';
      ++i;
    }
  }
  return out;
}

}  // namespace

TsSystemMenuStrings& SystemMenuStrings() {
  static TsSystemMenuStrings strings;
  return strings;
}

TsSystemMenu::TsSystemMenu(TComponent* owner, TCustomForm* form)
    : tk::TPopupMenu(owner), form_(form) {
  if (form_) FreeNotification(form_);
  const TsSystemMenuStrings& s = SystemMenuStrings();
  ItemRestore = NewItem("ItemRestore", s.Restore, &TsSystemMenu::RestoreClick);
  ItemMove = NewItem("ItemMove", s.Move, &TsSystemMenu::MoveClick);
  ItemSize = NewItem("ItemSize", s.Size, &TsSystemMenu::SizeClick);
  ItemMinimize = NewItem("ItemMinimize", s.Minimize, &TsSystemMenu::MinimizeClick);
  ItemMaximize = NewItem("ItemMaximize", s.Maximize, &TsSystemMenu::MaximizeClick);
  ItemSeparator = NewItem("ItemSeparator", "-", nullptr);
  ItemClose = NewItem("ItemClose", s.Close, &TsSystemMenu::CloseClick);
  ItemClose->SetShortCut(ShortCut(VK_F4, ssAlt));
}

TsSystemMenu::~TsSystemMenu() {
  *alive_ = false;
}

tk::TMenuItem* TsSystemMenu::NewItem(const char* name, const std::string& caption,
                                     void (TsSystemMenu::*click)()) {
  auto* item = Create<tk::TMenuItem>(this);
  item->SetName(name);
  item->SetCaption(caption);
  if (click) item->OnClick = [this, click](TComponent*) { (this->*click)(); };
  Items()->Add(item);
  return item;
}

TsSkinManager* TsSystemMenu::Manager() const {
  return manager_ ? manager_ : DefaultManager();
}

void TsSystemMenu::SetManager(TsSkinManager* manager) {
  if (manager == manager_) return;
  if (manager_) RemoveFreeNotification(manager_);
  manager_ = manager;
  if (manager_) FreeNotification(manager_);
}

void TsSystemMenu::Notification(TComponent* component, TOperation operation) {
  tk::TPopupMenu::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == form_) form_ = nullptr;
  if (component == manager_) manager_ = nullptr;
}

void TsSystemMenu::UpdateItems(bool systemMenuPresent) {
  systemMenuPresent_ = systemMenuPresent;
  if (!form_) return;
  // A half-built or vanishing form must not break the caller's painting or
  // activation; the items then keep their previous state.
  try {
    const TsFormAvailability a = FormAvailability(*form_, systemMenuPresent);
    ItemRestore->SetVisible(a.RestoreItemShown);
    ItemRestore->SetEnabled(a.RestoreEnabled);
    ItemMove->SetVisible(true);
    ItemMove->SetEnabled(a.MoveEnabled);
    ItemSize->SetVisible(a.SizeItemShown);
    ItemSize->SetEnabled(a.SizeEnabled);
    ItemMinimize->SetVisible(a.MinimizeShown);
    ItemMinimize->SetEnabled(a.MinimizeEnabled);
    ItemMaximize->SetVisible(a.MaximizeShown);
    ItemMaximize->SetEnabled(a.MaximizeEnabled);
    ItemClose->SetVisible(a.CloseShown);
    ItemClose->SetEnabled(true);
    // The separator divides the window commands from Close.
    ItemSeparator->SetVisible(a.CloseShown);
  } catch (...) {
  }
}

void TsSystemMenu::Refresh() {
  UpdateItems(systemMenuPresent_);
}

tk::TMenuItem* TsSystemMenu::SkinItems() const {
  for (int i = 0; i < Items()->Count(); ++i)
    if (Items()->Items(i)->Name() == ChooserName) return Items()->Items(i);
  return nullptr;
}

void TsSystemMenu::MakeSkinItems() {
  // The earlier chooser and the separator below it go first.
  if (tk::TMenuItem* old = SkinItems()) {
    const int at = Items()->IndexOf(old);
    Items()->Delete(at);
    if (tk::TMenuItem* next = Items()->Items(at); next && next->IsLine() && next != ItemSeparator)
      Items()->Delete(at);
  }
  TsSkinManager* manager = Manager();
  if (!manager) return;
  const std::vector<std::string> names = manager->GetSkinNames(slBoth);
  if (names.empty()) return;

  auto* chooser = Create<tk::TMenuItem>(this);
  chooser->SetName(ChooserName);
  chooser->SetCaption(SystemMenuStrings().AvailableSkins);
  for (std::size_t i = 0; i < names.size(); ++i) {
    auto* item = Create<tk::TMenuItem>(this);
    item->SetName(ChooserName + std::to_string(i));
    item->SetCaption(CaptionOf(names[i]));
    item->SetRadioItem(true);
    item->SetChecked(names[i] == manager->SkinName());
    if (i > 0 && i % SkinsPerColumn == 0) item->SetBreak(tk::mbBreak);
    item->OnClick = [this](TComponent* sender) {
      SkinChosen(static_cast<tk::TMenuItem*>(sender)->Caption());
    };
    chooser->Add(item);
  }
  Items()->Insert(0, chooser);
  auto* line = Create<tk::TMenuItem>(this);
  line->SetCaption("-");
  Items()->Insert(1, line);
}

void TsSystemMenu::SkinChosen(const std::string& caption) {
  const std::string name = NameOf(caption);
  if (dispatching_) {
    pendingSkin_ = name;
    return;
  }
  if (TsSkinManager* manager = Manager()) manager->SetSkinName(name);
}

void TsSystemMenu::Popup(int X, int Y) {
  if (!form_ || !form_->HandleAllocated()) return;
  const std::shared_ptr<bool> alive = alive_;
  if (MakeSkinMenu) MakeSkinItems();
  TsSkinManager* manager = Manager();
  if (manager && manager->SkinnedPopups())
    if (TsMenuPainter* painter = MenuPainter(manager)) painter->HookMenu(this, true);
  if (OnPopup) {
    OnPopup(this);
    if (!*alive || !form_ || !form_->HandleAllocated()) return;
  }
  HWND owner = form_->Handle();
  RefreshEntries(Items());
  SetWindowHandle(owner);
  const int command =
      TrackPopupMenuEx(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON, X, Y, owner, nullptr);
  if (!*alive || command == 0) return;
  dispatching_ = true;
  DispatchCommand(UINT(command));
  // The command may have freed the form and with it this menu.
  if (!*alive) return;
  dispatching_ = false;
  if (pendingSkin_.empty()) return;
  const std::string name = std::move(pendingSkin_);
  pendingSkin_.clear();
  if (TsSkinManager* m = Manager()) m->SetSkinName(name);
}

bool TsSystemMenu::Command(unsigned command) {
  if (!form_ || !form_->HandleAllocated()) return false;
  const std::shared_ptr<bool> alive = alive_;
  SendMessage(form_->Handle(), WM_SYSCOMMAND, WPARAM(command), 0);
  return *alive;
}

void TsSystemMenu::RestoreClick() {
  if (Command(SC_RESTORE)) Refresh();
}

void TsSystemMenu::MoveClick() {
  Command(SC_MOVE);
}

// The platform sizes a window from the edge named in the command's low bits;
// the menu's Size drags the lower-right corner, where the frame has its grip.
void TsSystemMenu::SizeClick() {
  Command(unsigned(SC_SIZE | WMSZ_BOTTOMRIGHT));
}

void TsSystemMenu::MinimizeClick() {
  // The main form stands for the whole program: minimising it takes the
  // program off the screen (its other forms are owned by it).
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (main && main == form_) {
    if (Command(SC_MINIMIZE)) Refresh();
    return;
  }
  Command(SC_MINIMIZE);
}

void TsSystemMenu::MaximizeClick() {
  if (Command(SC_MAXIMIZE)) Refresh();
}

void TsSystemMenu::CloseClick() {
  Command(SC_CLOSE);
}

TsSystemMenu* AttachSystemMenu(TsSkinProvider& provider) {
  auto* menu = Create<TsSystemMenu>(&provider, provider.FrameForm());
  menu->SetManager(provider.FrameManager());
  menu->UpdateItems(provider.SystemMenuRemoved());
  provider.OnSystemMenu = [menu](TsSkinProvider& p, TPoint screen) {
    menu->MakeSkinMenu = p.MakeSkinMenu;
    menu->SetManager(p.FrameManager());
    menu->UpdateItems(p.SystemMenuRemoved());
    menu->Popup(screen.X, screen.Y);
  };
  return menu;
}

}  // namespace vm
