// TsSkinProvider: the skin's look of a whole form outside and behind its
// controls.
//
// The provider sits in front of its form's window procedure. Its frame
// painter (FramePainter.h) composes the whole window once into the frame
// cache (a 24-bit picture of the window's outer size: border, caption strip
// with icon, text and title buttons, the menu line and the client background);
// the provider answers the platform's painting of the non-client area, and of
// the client background, by copying pieces of that picture, and keeps the
// rules that belong to forms: messages, skin commands, the control adapter,
// the system menu, the window-state commands. The platform keeps measuring the non-client area
// itself, so a skinned form has exactly the geometry of a plain one. The window region cuts away
// the skin's transparent corner pixels.
//
// A form gets one either as an owned component or, at run time, from the
// frame layer's hook when the form is first activated (FrameHook.h). Freeing
// the provider gives the form back its own window procedure and its plain
// frame exactly as it was.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "skin/frame/FormAvailability.h"
#include "skin/frame/FrameMetrics.h"
#include "skin/frame/FramePainter.h"
#include "skin/frame/TitleButtons.h"
#include "skin/frame/TitleMasks.h"
#include "skin/state/CommonData.h"
#include "skin/state/FadeTimer.h"
#include "toolkit/Component.h"
#include "toolkit/Control.h"
#include "toolkit/Messages.h"

namespace vm {

class TCustomForm;
class TsSkinManager;
class TnxCtrlAdapter;
class TsSystemMenu;

enum TsResizeMode { rmStandard, rmBorder };

class TsSkinProvider : public TComponent, public TsFrameOwner {
 public:
  // owner must be a form; a second provider on one form stays inactive.
  explicit TsSkinProvider(TComponent* owner);
  ~TsSkinProvider() override;
  std::string ClassName() const override { return "TsSkinProvider"; }

  // ---- published properties ----
  TsCommonData SkinData;
  TAlignment CaptionAlignment() const { return captionAlignment_; }
  void SetCaptionAlignment(TAlignment value);
  TsGripMode GripMode() const { return gripMode_; }
  void SetGripMode(TsGripMode value);
  bool MakeSkinMenu = false;
  const std::string& MenuLineSkin() const { return painter_.MenuLineSkin; }
  void SetMenuLineSkin(const std::string& value);
  // Only the platform's own moving and sizing exist from version 6 on: rmBorder
  // falls back to rmStandard at the first frame painting.
  TsResizeMode ResizeMode = rmStandard;
  bool ScreenSnap = false;
  int SnapBuffer = 10;
  bool ShowAppIcon() const { return showAppIcon_; }
  void SetShowAppIcon(bool value);
  const std::string& TitleSkin() const { return painter_.TitleSkin; }
  void SetTitleSkin(const std::string& value);
  bool UseGlobalColor() const { return useGlobalColor_; }
  void SetUseGlobalColor(bool value);
  // The caption icon in place of the form's icon (setting it does not repaint).
  TsTitleIcon TitleIcon;
  // User buttons of the caption, laid out right to left after the system
  // buttons, in collection order; a change of one repaints the caption.
  TsTitleButtons TitleButtons;
  // Asked by the control adapter for each control it may attach.
  std::function<void(TComponent* item, bool& canBeAdded, std::string& section)> OnSkinItem;
  // Opens the system menu at a screen point (the skinned system menu sets it);
  // without one the platform's own window menu opens there.
  std::function<void(TsSkinProvider&, TPoint screen)> OnSystemMenu;

  // ---- TsFrameOwner ----
  TCustomForm* FrameForm() const override { return form_; }
  TsSkinManager* FrameManager() const override { return SkinData.GetSkinManager(); }
  void FreeFrameCache() override;
  void FrameCommand(int command, TsSkinManager* manager) override;
  void RefreshFrame() override;

  // ---- state the tests and the other layers read ----
  // Whether the provider paints its form now (skin active, section valid).
  bool Skinned() const;
  bool Inactive() const { return inactive_; }
  bool FormActive() const { return formActive_; }
  const TBitmap& FrameCache() const;
  TsFrameMetrics Metrics() const;
  // The transparent corner runs cut out of the window, window coordinates.
  const std::vector<TRect>& RegionRects() const { return painter_.RegionRects(); }
  // Whether the provider has set a window region that is still on the window.
  bool RegionSet() const { return painter_.RegionSet(); }
  int HoverCode() const { return painter_.Buttons.HoverCode(); }
  // The system buttons: close, maximise, minimise, help, and the three child
  // buttons of a multi-document parent's menu line.
  enum {
    bClose = TsCaptionButtons::bClose,
    bMax = TsCaptionButtons::bMax,
    bMin = TsCaptionButtons::bMin,
    bHelp = TsCaptionButtons::bHelp,
    bChildClose = TsCaptionButtons::bChildClose,
    bChildRestore = TsCaptionButtons::bChildRestore,
    bChildMin = TsCaptionButtons::bChildMin,
    ButtonCount = TsCaptionButtons::ButtonCount
  };
  const TsTitleButtonRecord& Button(int which) const { return painter_.Buttons.Button(which); }
  // The buttons' total width (each with one spacing) as last laid out.
  int ButtonsWidth() const { return painter_.Buttons.Width(); }
  // The system-menu style the provider took off the window while skinned.
  bool SystemMenuRemoved() const { return systemMenuRemoved_; }
  // The control adapter that skins the form's standard controls (made when
  // the skin is applied, freed when it is removed).
  TnxCtrlAdapter* Adapter() const { return adapter_.get(); }
  // The skinned system menu (made with the skin's preparation, owned by the provider).
  TsSystemMenu* SystemMenu() const { return systemMenu_; }

  // Paints the frame cache now (when its background is marked changed).
  void PaintFrame();
  // Paints the cache when needed and copies the non-client pieces to the window.
  void PaintNonClient();
  // The number of rows the main menu's bar takes (0 without a visible item),
  // counted once and kept until the menu, the skin or the window's size changes.
  int MenuRows();
  // Whether the next frame painting may lay the caption strip from its copy.
  bool CaptionCopyValid() const { return painter_.CaptionCopyValid(); }
  // Forgets the caption strip's copy: the next painting paints it from the skin.
  void DropCaptionCopy() { painter_.DropCaptionCopy(); }
  // Forgets the counted rows: the next use counts them again.
  void InvalidateMenuRows() { menuRows_ = -1; }
  // The caption hit test (window coordinates); 0 when no caption element is there.
  int CaptionHitTest(TPoint p);
  // The skinned form half visible (an animation runs): commands 51 / 52 then
  // switch its redrawing off and on.
  bool HalfVisible = false;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // The link between the form's window procedure and its provider. The form
  // holds it inside its WindowProc; a provider that goes while someone else
  // has hooked the form after it leaves the link forwarding to the procedure
  // it had replaced.
  struct THook {
    TsSkinProvider* Provider = nullptr;
    TWndMethod Previous;
  };
  friend struct TProviderProc;
  void WndProc(TMessage& m);
  void CallPrevious(TMessage& m);
  bool HandleSkinCommand(TMessage& m);
  void PrepareSkin();
  void RemoveSkin();
  void LookUpMasks();
  void UpdateAdapter();
  void RelayToAdapter(const TMessage& m);
  // A component inserted into the form: a skin manager or a windowed control.
  void TakeUpInserted(TComponent* component);
  void ApplyGlobalColor();
  void RemoveSystemMenuStyle();
  void RestoreSystemMenuStyle();
  void UpdateRegion();
  void RemoveRegion();
  void MarkChanged() { SkinData.CacheInvalid = true; }
  void RepaintFrame();
  void PaintClient(TDC& dc, const TRect& clip);
  void PaintAnimatingChild(TDC& dc, TControl* child, const TsFrameMetrics& fm);
  void ReleaseStaleSpeedButtons(const TControl* entered);
  void RedrawMenuLineItems(const TsFrameMetrics& fm);
  // Whether the menu line's items look as they did when last drawn into the
  // frame cache; takes their look now as the one drawn.
  bool SameBarLook(const TsFrameMetrics& fm);
  void Snap(TRect& r);
  bool HasVisibleMenu() const;
  HWND FormHandle() const;
  // The form as its frame painter sees it now.
  TsFrameWindow FrameWindow();

  // The caption's mouse and the window-state commands (ProviderCaption.cpp).
  bool HandleNcMouse(TMessage& m);
  bool HandleSysCommand(TMessage& m);
  void OpenSystemMenu(TPoint screen);
  // A caption button clicked (pressed and released over itself).
  void ButtonClicked(int code);
  TsFormAvailability Availability() const;
  bool MaximizeAvailable() const { return Availability().MaximizeEnabled; }
  bool MinimizeAvailable() const { return Availability().MinimizeEnabled; }
  bool RestoreAvailable() const { return Availability().RestoreEnabled; }
  bool SystemMenuPresent() const { return systemMenuRemoved_; }

  TCustomForm* form_ = nullptr;
  std::shared_ptr<THook> hook_;
  std::unique_ptr<TnxCtrlAdapter> adapter_;
  TsSystemMenu* systemMenu_ = nullptr;
  TAlignment captionAlignment_ = taLeftJustify;
  TsGripMode gripMode_ = gmNone;
  bool showAppIcon_ = true;
  bool useGlobalColor_ = true;

  bool inactive_ = false;
  bool formActive_ = true;
  bool paintedOnce_ = false;
  bool systemMenuRemoved_ = false;
  bool updating_ = false;  // the update mark (command 8)
  bool skinPrepared_ = false;
  int menuRows_ = -1;  // -1: not counted since the last change
  // The menu line's items as last drawn into the frame cache: each item and
  // its platform state, the menus' change count, the mnemonics' showing and
  // the width they were laid in.
  struct TBarItemLook {
    const void* Item = nullptr;
    unsigned State = 0;
    bool operator==(const TBarItemLook&) const = default;
  };
  std::vector<TBarItemLook> barLook_, barLookNow_;
  std::uint64_t barChanges_ = 0;
  bool barCues_ = false;
  int barWidth_ = 0;
  bool barLookValid_ = false;
  TBitmap empty_;
  TColor plainColor_ = 0;
  bool colorTaken_ = false;
  // The frame's painting: cache, caption strip and its copy, buttons, menu
  // line, region.
  TsFramePainter painter_;
};

}  // namespace vm
