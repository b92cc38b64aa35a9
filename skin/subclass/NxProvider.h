// TnxProvider: skins a platform dialog the engine did not create (the open
// and save picture dialogs, message boxes). The skin manager's hook hands it
// every standard dialog that is activated while the manager's rules cover
// standard dialogs; the provider puts the dialog-frame subclass on the window
// and walks its children depth first, giving each the subclass kind and skin
// section the child-window table below picks from its class and style.
//
// Subclass objects are made only through the kind registry (SubclassKinds.h):
// a kind nobody registered leaves its window with the platform's look.
//
// Providers live in one process-wide list, so a window is handled once. A
// provider goes when its dialog is destroyed or when skinning stops, and
// takes every subclass object it made with it: each window gets its own
// procedure back. While it lives it passes the manager's skin commands on to
// the dialog and its children (the manager itself only reaches forms).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/WinApi.h"
#include "skin/subclass/SubclassKinds.h"
#include "toolkit/Component.h"
#include "toolkit/ComponentLink.h"

namespace vm {

class TnxMainWnd;
class TsSkinManager;
class TsSkinProvider;
class TsWindowAnnouncer;

// What the child-window table says about one child window.
struct TnxChildChoice {
  bool Skinned = false;  // a subclass kind was chosen
  TnxKind Kind = nkKindCount;
  std::string Section;      // its skin section
  bool DialogMode = false;  // the kind is one that paints differently inside a dialog
  bool Abandon = false;     // the whole dialog is left alone from this child on
};

// The table: class name in lower case and window style to choice. Rows are
// tested in order, so a button style that matches an earlier row never
// reaches a later one. width × height matter only to a tab control.
TnxChildChoice ChooseChildKind(std::string_view lowerClassName, DWORD style, int width = 0,
                               int height = 0);

// Lower-cases the ASCII letters of a class name.
std::string LowerClassName(std::string_view name);

class TnxProvider : public TComponent {
 public:
  // Made for one window; nothing is attached until Attach.
  TnxProvider(TComponent* owner, HWND dialog);
  ~TnxProvider() override;
  std::string ClassName() const override { return "TnxProvider"; }

  // Attaches the frame subclass and the children's when the default manager
  // is active and no frame subclass exists yet. Returns false when the walk
  // was abandoned (or the provider went away during it).
  bool Attach();

  HWND DialogWnd() const { return dialog_; }
  // The subclass object on the dialog window itself, or nullptr.
  TnxMainWnd* FrameWnd() const { return frame_.get(); }
  // The subclass objects made for the dialog's children, in the order made.
  const std::vector<std::unique_ptr<TnxMainWnd>>& SkinnedChildren() const { return children_; }
  // Bit 14 of the dialog's extended style (scroll bar on the left).
  bool RightToLeft() const { return rightToLeft_; }
  // A form of the program handed to the provider (a message form): its
  // run-time frame. Such a provider holds no subclass objects.
  TsSkinProvider* FormFrame() const;
  // The walk met a child that leaves the dialog alone.
  bool Abandoned() const { return abandoned_; }

  // Passes a skin command on to the dialog window and the skinned children.
  void Relay(int command, LPARAM value);
  // A window of the dialog was created after the walk: it is walked as the
  // children were (its own children first).
  void ChildCreated(HWND child);

 private:
  // Walks the children of parent; false when the walk is to end.
  bool WalkChildren(HWND parent, const std::shared_ptr<bool>& alive);
  // Attaches one child; false when the walk is to end.
  bool AttachChild(HWND child, const std::shared_ptr<bool>& alive);
  void WatchDialog();
  // Frees the subclass objects of windows that are gone.
  void DropDeadChildren();

  HWND dialog_ = nullptr;
  std::unique_ptr<TnxMainWnd> frame_;
  std::vector<std::unique_ptr<TnxMainWnd>> children_;
  bool rightToLeft_ = false;
  bool abandoned_ = false;
  bool walked_ = false;
  std::unique_ptr<TComponentLink<TsSkinProvider>> formFrame_;
  struct TWatchLink;
  std::shared_ptr<TWatchLink> watchLink_;
  // The procedure the provider puts on the dialog to hear of children made
  // and destroyed after the walk, and the one it replaced.
  WNDPROC watch_;
  WNDPROC watchPrevious_;
  // Cleared when the provider goes; a walk that outlives it stops.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// ---- The hook's side ----

// The providers alive now, oldest first.
const std::vector<TnxProvider*>& DialogProviders();
// The provider of a window, or nullptr.
TnxProvider* DialogProviderOf(HWND window);
// What the hook does with an activated standard dialog: makes its provider
// (once per window) and attaches it. Returns the provider, or nullptr when
// the window was not taken (not a window, already handled, the manager not
// active, a window that skins itself).
TnxProvider* HandleDialog(TsSkinManager& manager, HWND window);
// Frees the provider of a window (the window is being destroyed).
void FreeDialogProvider(HWND window);
// Frees every provider (skinning stops).
void FreeDialogProviders();

// Plugs the dialog layer into the announcer: activated standard dialogs and
// message forms get providers, destroyed dialogs lose them, the removal of
// the hook frees them all, and the manager's commands reach them.
void InstallDialogLayer(TsWindowAnnouncer& announcer);

// ---- The engine's own message box ----

// The place the engine's message box asks for (screen coordinates of its
// top-left corner); -1, -1 leaves the box where the platform puts it.
struct TnxMessageBoxPos {
  int X = -1;
  int Y = -1;
  bool Requested() const { return X != -1 || Y != -1; }
};
// The request of the message box being shown now.
const TnxMessageBoxPos& MessageBoxPosition();

// The platform's message box, placed at (x, y) when the dialog provider takes
// it over; -1, -1 leaves it centred on its owner.
int SkinMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type,
                   int x = -1, int y = -1);

}  // namespace vm
