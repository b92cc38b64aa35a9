// TsSkinProvider: the skin's look of a whole form outside and behind its
// controls.
//
// The provider sits in front of its form's window procedure. It composes the
// whole window once into its frame cache (a 24-bit picture of the window's
// outer size: border, caption strip with icon, text and title buttons, the
// menu line and the client background) and answers the platform's painting of
// the non-client area, and of the client background, by copying pieces of
// that picture. The platform keeps measuring the non-client area itself, so a
// skinned form has exactly the geometry of a plain one. The window region cuts
// away the skin's transparent corner pixels.
//
// A form gets one either as an owned component or, at run time, from the
// frame layer's hook when the form is first activated (FrameHook.h). Freeing
// the provider gives the form back its own window procedure and its plain
// frame exactly as it was.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DC.h"
#include "skin/frame/FormAvailability.h"
#include "skin/frame/FrameMetrics.h"
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

enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };

// The platform's hit codes of the caption, and the engine's own.
inline constexpr int htCaption = 2;
inline constexpr int htSysMenu = 3;
inline constexpr int htMinButton = 8;
inline constexpr int htMaxButton = 9;
inline constexpr int htBottomRight = 17;
inline constexpr int htClose = 20;
inline constexpr int htHelp = 21;
inline constexpr int htChildClose = 101;
inline constexpr int htChildRestore = 102;
inline constexpr int htChildMinimize = 103;
inline constexpr int htUserButton = 1000;  // + the button's index

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
  const std::string& MenuLineSkin() const { return menuLineSkin_; }
  void SetMenuLineSkin(const std::string& value);
  // Only the platform's own moving and sizing exist from version 6 on: rmBorder
  // falls back to rmStandard at the first frame painting.
  TsResizeMode ResizeMode = rmStandard;
  bool ScreenSnap = false;
  int SnapBuffer = 10;
  bool ShowAppIcon() const { return showAppIcon_; }
  void SetShowAppIcon(bool value);
  const std::string& TitleSkin() const { return titleSkin_; }
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
  const std::vector<TRect>& RegionRects() const { return regionRects_; }
  // Whether the provider has set a window region that is still on the window.
  bool RegionSet() const { return regionSet_; }
  int HoverCode() const { return hoverCode_; }
  // The system buttons: close, maximise, minimise, help, and the three child
  // buttons of a multi-document parent's menu line.
  enum { bClose = 0, bMax, bMin, bHelp, bChildClose, bChildRestore, bChildMin, ButtonCount };
  const TsTitleButtonRecord& Button(int which) const { return buttons_[std::size_t(which)]; }
  // The buttons' total width (each with one spacing) as last laid out.
  int ButtonsWidth() const { return buttonsWidth_; }
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
  bool CaptionCopyValid() const { return !captionCopy_.Empty(); }
  // Forgets the caption strip's copy: the next painting paints it from the skin.
  void DropCaptionCopy() { captionCopy_.SetSize(0, 0); }
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
  void PaintMenuLine(TBitmap& cache, const TsFrameMetrics& fm, int state);
  void RedrawMenuLineItems(const TsFrameMetrics& fm);
  void PaintCaptionText(TBitmap& cache, const TsFrameMetrics& fm, int state);
  void PaintCaptionStrip(TBitmap& cache, const TsFrameMetrics& fm, const TRect& strip, int state);
  // What the caption strip's copy was painted for.
  struct TCaptionKey {
    int Width = 0, Height = 0, BorderHeight = 0, CaptionHeight = 0, State = 0, ButtonsWidth = 0;
    int Title = -1, Section = -1;
    bool IconShown = false;
    TSize IconSize{};
    TRect IconRect{};
    bool SystemMenu = false;
    bool operator==(const TCaptionKey&) const = default;
  };
  TCaptionKey CaptionKeyOf(const TsFrameMetrics& fm, int state) const;
  bool CaptionCopyKept() const;
  bool CaptionCopyUsable(const TCaptionKey& key) const;
  void TakeCaptionCopy(const TBitmap& cache, const TRect& strip, const TCaptionKey& key);
  void PaintCaptionIcon(TBitmap& cache, const TsFrameMetrics& fm);
  void CopyPieces(TDC& dc, const TsFrameMetrics& fm);
  void Snap(TRect& r);
  int TitleIndex() const;
  int MenuLineIndex() const;
  bool HasVisibleMenu() const;
  HWND FormHandle() const;

  // Caption buttons (CaptionButtons.cpp).
  void LayoutButtons(TBitmap& cache, const TsFrameMetrics& fm, bool draw);
  void DrawButton(TBitmap& cache, int which, bool single);
  void DrawUserButton(TBitmap& cache, int index, bool single);
  void RepaintButton(int code);
  TsTitleButtonRecord* ButtonOf(int code);
  void SetHoverCode(int code);
  void SetPressed(int code);
  bool HandleNcMouse(TMessage& m);
  bool HandleCapturedMouse(TMessage& m);
  bool HandleSysCommand(TMessage& m);
  void OpenSystemMenu(TPoint screen);
  void ReleaseOn(int code);
  TsFormAvailability Availability() const;
  bool MaximizeAvailable() const { return Availability().MaximizeEnabled; }
  bool MinimizeAvailable() const { return Availability().MinimizeEnabled; }
  bool RestoreAvailable() const { return Availability().RestoreEnabled; }
  bool SystemMenuPresent() const { return systemMenuRemoved_; }
  bool ButtonShown(int which) const;
  TSize CellOf(int maskIndex, TSize fallback) const;
  void StartButtonFade(int code, int oldState);
  void FadeTick();
  void StopButtonFade();

  TCustomForm* form_ = nullptr;
  std::shared_ptr<THook> hook_;
  std::unique_ptr<TnxCtrlAdapter> adapter_;
  TsSystemMenu* systemMenu_ = nullptr;
  TAlignment captionAlignment_ = taLeftJustify;
  TsGripMode gripMode_ = gmNone;
  std::string menuLineSkin_;
  bool showAppIcon_ = true;
  std::string titleSkin_;
  bool useGlobalColor_ = true;

  bool inactive_ = false;
  bool formActive_ = true;
  bool firstPaint_ = true;
  bool paintedOnce_ = false;
  bool regionChanged_ = true;
  bool regionSet_ = false;
  bool systemMenuRemoved_ = false;
  bool updating_ = false;  // the update mark (command 8)
  bool skinPrepared_ = false;
  std::vector<TRect> regionRects_;
  int hoverCode_ = 0;
  bool pressed_ = false;
  bool capturing_ = false;
  std::array<TsTitleButtonRecord, ButtonCount> buttons_{};
  int buttonsWidth_ = 0;
  TsTitleMasks masks_;
  TBitmap buttonsBack_;  // the caption strip behind the buttons
  TRect buttonsBackRect_{};
  TBitmap captionCopy_;  // the caption strip without buttons and text
  TCaptionKey captionKey_;
  TBitmap menuLineCopy_;
  int menuRows_ = -1;  // -1: not counted since the last change
  TBitmap empty_;
  TColor plainColor_ = 0;
  bool colorTaken_ = false;

  // The fade of a caption button between two looks.
  struct TButtonFade {
    int Code = 0;
    TRect Rect{};
    TBitmap Start;  // the button's look before the change
    TBitmap Frame;
    int Step = 0;
    int StepCount = 0;
    UINT_PTR Timer = 0;
  } fade_;
};

}  // namespace vm
