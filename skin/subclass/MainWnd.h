// TnxMainWnd: the base of every subclass object, through which the skin
// engine takes over a window it does not own (a platform push button placed
// on a form, a child of a platform dialog) and paints it from a TsCommonData
// cache.
//
// The object puts itself in front of the window's message handling: it hooks
// the owner control's WindowProc when the skin state belongs to a control (or
// to a form frame), otherwise it replaces the window procedure. It answers
// the skin commands for the window, passes everything else on, and gives the
// window its own handling back exactly once: when the window is destroyed or
// when the object is freed.
#pragma once

#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"
#include "platform/win/WinApi.h"
#include "toolkit/ComponentLink.h"
#include "toolkit/Control.h"
#include "toolkit/Messages.h"

namespace vm {

class TsCommonData;
class TsSkinManager;

// Set while the engine skins the children of a platform dialog; every
// subclass object copies it when it is created.
extern bool SkinningDialogChildren;

// The window property that holds the subclass object of a window.
inline constexpr const char* SubclassPropName = "NXSBSC";
// The subclass object attached to a window, or nullptr.
class TnxMainWnd;
TnxMainWnd* SubclassOf(HWND window);

// Frees a subclass object: at once, or, while the message handler of any
// subclass object is running (a window destroyed from inside its own or a
// sibling's handler), as soon as the outermost handler has returned. Callers
// that free objects from a hook or a notification use it, so that no object
// is freed under a handler still running on it.
void FreeSubclassLater(std::unique_ptr<TnxMainWnd> object);

class TnxMainWnd {
 public:
  // window: the window to take over. repaint: redraw it once installed.
  // section: the section for a skin state that has none yet. manager: nullptr
  // for the skin state's manager. commonData: nullptr makes an own one.
  TnxMainWnd(HWND window, bool repaint, const std::string& section, TsSkinManager* manager,
             TsCommonData* commonData);
  virtual ~TnxMainWnd();
  TnxMainWnd(const TnxMainWnd&) = delete;
  TnxMainWnd& operator=(const TnxMainWnd&) = delete;

  // ---- fields ----
  HWND Handle() const { return handle_; }
  const std::string& WndText() const { return wndText_; }
  HWND ParentWnd() const { return parentWnd_; }
  // Screen coordinates, refreshed before each paint.
  const TRect& WndRect() const { return wndRect_; }
  const TSize& WndSize() const { return wndSize_; }
  // The top-left corner in the parent's window, less a skinned frame's client offset.
  const TPoint& WndPos() const { return wndPos_; }
  TsCommonData* SkinData() const { return skinData_; }
  bool OwnSkinData() const { return ownSkinData_ != nullptr; }
  TsSkinManager* SkinManager() const;
  bool DlgMode() const { return dlgMode_; }
  bool PaintedOnce() const { return paintedOnce_; }
  bool Detached() const { return detached_; }
  // Whether the object hooked a control's WindowProc (else the window procedure).
  bool HookedControl() const { return hooked_; }

  // Gives the window its own message handling back; only the first call acts.
  void Detach();

  // The message handler: the skin's answers, everything else passed on.
  virtual void WndProc(TMessage& message);
  // Passes a message to the window's own handling.
  void CallPrevious(TMessage& message);

 protected:
  // What a removed skin (command 2) and the detachment leave behind: the
  // cache goes, the window shows its own look until a skin comes back.
  virtual void CleanUp();
  // Command 23: the window's look in the cache (only while it is stale).
  virtual void PrepareCache();
  // Refreshes the window rectangle, parent, size and position.
  void UpdateGeometry();
  // Whether the skin paints the window now.
  bool SkinActive() const;
  // Sends the paint message to the window itself.
  void SendPaint();
  // Whether the window is the manager's hot window.
  bool IsHotWindow() const;
  void MakeHot(bool hot);
  // The control whose WindowProc is hooked, or nullptr.
  TControl* HookedOwner() const;
  void MarkPaintedOnce() { paintedOnce_ = true; }
  // Answers the paint messages of a window the object paints whole: paint
  // (nullptr) for WM_PAINT, paint(the given context) for WM_PRINTCLIENT, and
  // erasing skipped (the painting covers every pixel).
  template <class F>
  void AnswerPaintMessages(TMessage& m, F&& paint) {
    if (m.Msg == WM_PAINT) MarkPaintedOnce();
    if (m.Msg != WM_ERASEBKGND)
      paint(m.Msg == WM_PAINT ? nullptr : reinterpret_cast<HDC>(m.WParam));
    m.Result = m.Msg == WM_ERASEBKGND ? 1 : 0;
  }
  // A plain frame was asked for with command 23 (argument 1).
  bool PlainFrame = false;

 private:
  struct TLink;
  struct TMethodHook;
  void Install(bool repaint);
  void Dispatch(TMessage& message);
  void AnswerCommand(TMessage& message);

  HWND handle_ = nullptr;
  std::string wndText_;
  HWND parentWnd_ = nullptr;
  TRect wndRect_;
  TSize wndSize_;
  TPoint wndPos_;
  TsCommonData* skinData_ = nullptr;
  std::unique_ptr<TsCommonData> ownSkinData_;
  // A manager given at creation other than the skin state's (freed with it).
  std::unique_ptr<TComponentLink<TsSkinManager>> manager_;
  // The window procedure path: the one replaced and the one installed.
  WNDPROC prevProc_;
  WNDPROC procInstance_;
  // The control path: the hooked control (its previous method is in link_).
  TControlRef hookedControl_;
  bool hooked_ = false;
  // What the installed closure or hook reaches; cleared on detachment.
  std::shared_ptr<TLink> link_;
  bool dlgMode_ = false;
  bool paintedOnce_ = false;
  bool detached_ = false;
  bool skinRemoved_ = false;
};

}  // namespace vm
