// TsCommonData: the skin state every skinned control (and every skinned form,
// through its frame component) owns.
//
// It binds its owner to a skin manager and a section of the manager's skin,
// keeps the owner's cache bitmap (its fully painted look, from which the
// screen is refreshed), tracks the few state bits that decide how the owner
// is painted and answers the skin commands. A skinned control calls
// HandleMessage from its WindowProc before its own handling.
#pragma once

#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/win/WinApi.h"
#include "skin/paint/pixels/BackgroundInfo.h"
#include "toolkit/Component.h"
#include "toolkit/ComponentLink.h"
#include "toolkit/Control.h"
#include "toolkit/Messages.h"

namespace vm {

class TsSkinManager;
class TCustomForm;
class TWinControl;

// What a form-frame component offers to the skin state it owns and to the
// manager's announcement. The frame library implements it; this layer reaches
// the frame only through it. A form with a frame answers command 4
// (CmdGetFormFrame) with its TsFrameOwner*.
class TsFrameOwner {
 public:
  virtual ~TsFrameOwner() = default;
  // The form the frame paints.
  virtual TCustomForm* FrameForm() const = 0;
  // The manager the frame follows (resolved: never none while one exists).
  virtual TsSkinManager* FrameManager() const = 0;
  // Frees the frame's own cached pictures after a change of section.
  virtual void FreeFrameCache() = 0;
  // Lets the frame apply command 2 or 3 through its form's refresh.
  virtual void FrameCommand(int command, TsSkinManager* manager) = 0;
  // The end of a skin change: the frame rebuilds what it keeps of the old skin.
  virtual void RefreshFrame() {}
  // Plays the skin-change animation of the form over `time` milliseconds.
  virtual void PlaySkinChangeAnimation(int time) { (void)time; }
};

// Default sections by control-type code; empty for a code without one.
const char* DefaultSectionOf(int controlType);
// Whether a control of the code shows a hot look while the mouse is over it.
bool HasHotLook(int controlType);
// What lies behind a plain window (not a toolkit control): its parent
// window's answer to command 5, not ready when there is none.
BackgroundInfo GetWindowBackground(HWND window);

// The code of a text-edit owner for which Loaded applies the section colours.
inline constexpr int ctEditType = 97;

class TsCommonData {
 public:
  // owner: a control or a form-frame component. withCache: make the (empty)
  // cache bitmap at once.
  TsCommonData(TComponent* owner, bool withCache);
  ~TsCommonData();
  TsCommonData(const TsCommonData&) = delete;
  TsCommonData& operator=(const TsCommonData&) = delete;

  // ---- published properties ----
  const std::string& SkinSection() const { return skinSection_; }
  void SetSkinSection(const std::string& value);
  // The stored manager: nullptr means the program's default manager.
  TsSkinManager* SkinManager() const;
  void SetSkinManager(TsSkinManager* value);
  bool CustomColor() const { return customColor_; }
  void SetCustomColor(bool value);
  bool CustomFont() const { return customFont_; }
  void SetCustomFont(bool value);

  // ---- state ----
  bool PaintSuspended = false;
  int BorderMaskIndex = -1;
  int SectionIndex = -1;
  int TextureIndex = -1;
  int HotTextureIndex = -1;
  // The child whose fade is being drawn through this (parent's) state.
  TControl* AnimatingChild() const { return animatingChild_.Get(); }
  void SetAnimatingChild(TControl* c) { animatingChild_.Set(c); }
  bool ForcedSeeThrough = false;
  bool CacheInvalid = true;
  bool Mark = true;
  TControl* OwnerControl() const { return ownerControl_; }
  TComponent* OwnerObject() const { return ownerObject_; }
  std::unique_ptr<TBitmap> CacheBmp;
  int ControlType = 0;
  bool Focused = false;
  bool MouseAbove = false;

  // ---- operations ----
  // The manager to use: the stored one or the default manager.
  TsSkinManager* GetSkinManager() const;
  // What lies behind the owner control: its parent's cache (command 5).
  BackgroundInfo GetParentBackground() const;
  // Resolves the section and applies the section colours to an edit owner.
  void Loaded();
  // The stored section or, when it is empty, the default one of ControlType.
  void ResolveSection();
  void UpdateIndexes();
  // Marks the cache stale and asks the owner to repaint when it can.
  void Repaint();
  void BeginUpdate();
  void EndUpdate();
  bool IsSkinned(bool requireActive = false) const;
  bool IsPaintSuspended() const;
  bool IsSeeThrough() const;
  bool IsHot() const;
  bool HasTransparency() const;
  // Sizes the cache bitmap to the owner (made when missing, 24-bit).
  void PrepareCache();
  // The skin commands and the platform messages the state follows. True when
  // the message is answered and the owner should not handle it further.
  bool HandleMessage(TMessage& message);

 private:
  bool HandleCommand(TMessage& message);
  bool IsOwnManager(LPARAM value) const;
  bool OwnerBusy() const;  // loading, reading or being destroyed
  TsFrameOwner* FrameOwner() const;
  bool EditOwner() const;
  void ApplyEditColors(bool skinned);
  bool QuerySeeThrough();
  TColor OwnColour() const;
  // The colour this state shows its children (command 21).
  TColor ColourAnswer() const;

  std::string skinSection_;
  bool customColor_ = false;
  bool customFont_ = false;
  TComponent* ownerObject_ = nullptr;
  TControl* ownerControl_ = nullptr;
  // The owner as a windowed control (nullptr for a windowless one), looked
  // up once: every message of the owner asks.
  TWinControl* ownerWindowed_ = nullptr;
  TControlRef animatingChild_;
  std::unique_ptr<TComponentLink<TsSkinManager>> manager_;
};

}  // namespace vm
