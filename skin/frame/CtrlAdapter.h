// TnxCtrlAdapter: finds the standard controls of a skinned form that know
// nothing of skins and lets the skin take them over.
//
// Which controls are taken is data: a control whose exact class name stands
// in one of the skin manager's seventeen class lists gets a TnxAdapterItem,
// a TsCommonData plus a subclass object of that list's kind that paints the
// control's window with the skin. Labels of the platform are only made
// transparent and take the skin's font colour.
//
// The subclass objects live in the subclassing layer above this one; it
// registers a factory per list kind (RegisterAdapterSubclass). A kind without
// a factory leaves its controls as the platform paints them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/WinApi.h"
#include "skin/data/ThirdPartyList.h"
#include "toolkit/ComponentLink.h"
#include "toolkit/Control.h"

namespace vm {

class TCustomForm;
class TWinControl;
class TsCommonData;
class TsSkinManager;
class TnxCtrlAdapter;

// What the adapter keeps of a subclass object: freeing it gives the window
// its own message procedure back.
class TnxAdapterSubclass {
 public:
  virtual ~TnxAdapterSubclass() = default;
  // The window was destroyed (or given back) under the object.
  virtual bool Detached() const = 0;
};

// Makes the subclass object of one list kind for a control's window, with
// the item's skin state (whose section is already set).
using TnxSubclassFactory =
    std::function<std::unique_ptr<TnxAdapterSubclass>(HWND window, TsCommonData& data)>;
// Registers the factory of a list kind (nullptr removes it).
void RegisterAdapterSubclass(TThirdPartyKind kind, TnxSubclassFactory factory);
bool HasAdapterSubclass(TThirdPartyKind kind);

// The kind of the first list (in list order) that holds the class name
// exactly, or -1.
int FindThirdPartyKind(const TsClassLists& lists, const std::string& className);
// The section a kind attaches with: fixed for some kinds, else the item's.
std::string SectionForKind(int kind, const std::string& itemSection);

// The control-type code of an adapter item's skin state.
inline constexpr int ctAdapterItem = 227;

class TnxAdapterItem {
 public:
  TnxAdapterItem(TnxCtrlAdapter* adapter, TWinControl* control);
  // Frees the subclass object first (the window gets its procedure back),
  // then the skin state.
  ~TnxAdapterItem();
  TnxAdapterItem(const TnxAdapterItem&) = delete;
  TnxAdapterItem& operator=(const TnxAdapterItem&) = delete;

  TnxCtrlAdapter* Adapter() const { return adapter_; }
  // The control, or nullptr once it is freed.
  TWinControl* Ctrl() const;
  TsCommonData* SkinData() const { return skinData_.get(); }
  TnxAdapterSubclass* Subclass() const { return subclass_.get(); }
  // No subclass object, a detached one, or the control gone.
  bool Stale() const;
  // Looks the control's class up in the manager's lists and attaches the
  // subclass object of the kind that matched; false when nothing was attached.
  bool Attach();
  // Frees a detached subclass object so that Attach can start anew.
  void DropSubclass();

 private:
  TnxCtrlAdapter* adapter_;
  TControlRef control_;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TnxAdapterSubclass> subclass_;
};

class TnxCtrlAdapter {
 public:
  // The form whose controls are adapted, and the manager to follow (nullptr:
  // the program's default manager).
  explicit TnxCtrlAdapter(TCustomForm* form, TsSkinManager* manager = nullptr);
  ~TnxCtrlAdapter();
  TnxCtrlAdapter(const TnxCtrlAdapter&) = delete;
  TnxCtrlAdapter& operator=(const TnxCtrlAdapter&) = delete;

  TCustomForm* Form() const;
  TsSkinManager* Manager() const;

  // Asked for each control the adapter may take (the form frame's event):
  // it may refuse (canBeAdded = false) or change the section.
  std::function<void(TComponent* item, bool& canBeAdded, std::string& section)> OnSkinItem;
  // The section a control added on its own gets (AddNewItem without one).
  std::string DefaultSection;
  // Noted by every full scan: a direct child of the form paints with its
  // parent's background.
  bool ChildUsesParentBackground = false;

  int ItemCount() const { return int(items_.size()); }
  TnxAdapterItem* Items(int index) const;
  // The item of a control, or nullptr.
  TnxAdapterItem* ItemOf(const TControl* control) const;

  // Whether the control is a candidate for an item (or a label to recolour).
  bool IsControlSupported(TControl* control);
  // Scans the controls of `control` (the whole form for nullptr): stale items
  // go, supported windowed controls get items, platform labels are recoloured.
  // Does nothing inside another scan or without srThirdParty in the
  // manager's skinning rules.
  void AddAllItems(TWinControl* control = nullptr);
  // Adds one control with the section (DefaultSection for an empty one).
  void AddNewItem(TWinControl* control, const std::string& section = "");
  // Sends a skin command, as it reached the form, to every item's window.
  void SendCommand(WPARAM w, LPARAM l);
  // Frees item i and moves the last item into its place.
  void Remove(int index);
  void RemoveAllItems();
  void CleanItems();

 private:
  void ScanOwned(TComponent* owner);
  void ScanChildren(TWinControl* control);
  void Visit(TControl* control, bool byClassName);
  bool IsPlatformLabel(TControl* control, bool byClassName) const;

  TControlRef form_;
  std::unique_ptr<TComponentLink<TsSkinManager>> managerLink_;
  std::vector<std::unique_ptr<TnxAdapterItem>> items_;
  bool scanning_ = false;
  bool removing_ = false;
};

}  // namespace vm
