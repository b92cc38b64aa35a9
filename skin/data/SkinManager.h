// TsSkinManager: the non-visual component that owns the current skin.
//
// It decides where a skin comes from (a folder in the skin directory, a packed
// ".nxz" file there, or a skin stored in the program), loads it into its skin
// model (it is a TsSkinModel), applies hue and saturation shifts, and tells
// every skinned window about each change.
//
// Telling the windows needs the window layer, which this library does not
// link: the manager goes through the process-wide TsSkinAnnouncer. Without one
// (no windows, tests) the announcement steps only update the manager's own
// state, which is complete on its own: model, flags, Active, SkinName.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "skin/data/AnimEffects.h"
#include "skin/data/MenuSupport.h"
#include "skin/data/SkinModel.h"
#include "skin/data/StoredSkins.h"
#include "skin/data/ThirdPartyList.h"
#include "toolkit/Component.h"

namespace vm {

class TMemIniFile;
class TnxSkinConvertor;
class TsSkinManager;

using TNotifyEvent = std::function<void(TComponent* sender)>;
// Asked once per opened pop-up menu for the extra line: section name, whether
// it is shown, a glyph and a text; the handler may change all four.
using TGetExtraLineData =
    std::function<void(TComponent* firstItem, std::string& sectionName, std::string& text,
                       TBitmap*& glyph, bool& lineVisible)>;

// Which windows the window-level skinning covers.
enum TsSkinningRule : unsigned {
  srStdForms = 1u << 0,
  srStdDialogs = 1u << 1,
  srThirdParty = 1u << 2,
};
using TsSkinningRules = unsigned;
constexpr TsSkinningRules AllSkinningRules = srStdForms | srStdDialogs | srThirdParty;

// Kinds of skins for GetSkinNames.
enum TsSkinListKind : int { slUnpacked = 0, slPacked = 1, slBoth = 2 };

// The window side of a skin change. The window layer installs one; every step
// is a no-op without it. Commands are SM_NIRVEXCMD numbers (SkinCommands.h).
class TsSkinAnnouncer {
 public:
  virtual ~TsSkinAnnouncer() = default;
  // Sends the command, with the manager as value, synchronously to every form
  // and through the forms' adapters to their controls.
  virtual void SendCommand(TsSkinManager& manager, int command) = 0;
  // Switches redrawing of the manager's visible skinned top-level forms off
  // (or back on).
  virtual void SetFormsRedraw(TsSkinManager& manager, bool on) = 0;
  // Plays the skin-change animation if enabled, then lets each of the
  // manager's forms refresh its frame and redraws it with its children.
  virtual void RefreshForms(TsSkinManager& manager) = 0;
  // Installs / removes the thread hook of the default manager.
  virtual void InstallHook(TsSkinManager& manager) = 0;
  virtual void RemoveHook(TsSkinManager& manager) = 0;
  // Resets the menu painter's cached border width.
  virtual void ResetMenuPainter(TsSkinManager& /*manager*/) {}
  // SkinnedPopups changed: the skinned menus are hooked again.
  virtual void SkinnedPopupsChanged(TsSkinManager& /*manager*/) {}
};

// Installs the announcer (nullptr removes it). Not owned.
void SetSkinAnnouncer(TsSkinAnnouncer* announcer);
TsSkinAnnouncer* SkinAnnouncer();

// Process-wide state of the skin engine.
TsSkinManager* DefaultManager();
bool IsSkinChanging();      // from the start of a load to the end of its announcement
bool IsSkinSwitchingOff();  // while skinning is being removed

// The registry of skinned top-level forms (kept by the form frame). Removing
// moves the last entry into the freed place.
void RegisterSkinnedForm(TComponent* form);
void UnregisterSkinnedForm(TComponent* form);
const std::vector<TComponent*>& SkinnedForms();

// The folder of the running program, with its trailing separator. Tests may
// replace it; an empty text restores the real one.
std::string ProgramFolder();
void SetProgramFolder(const std::string& folder);

// Folder-name normalisation of the skin directory. `programFolder` ends with a
// separator. The result ends with a backslash (an empty name stays empty).
std::string NormalizeDir(const std::string& name, const std::string& programFolder);
// Step 4 of it alone: only the trailing separator.
std::string AddTrailingSeparator(const std::string& name);
// Turns a skin path (backslashes, perhaps a drive letter) into a path of this
// host: the platform layer's one rule (PlatformToHostPath).
std::string HostPath(const std::string& path);

class TsSkinManager : public TComponent, public TsSkinModel {
 public:
  explicit TsSkinManager(TComponent* owner = nullptr);
  ~TsSkinManager() override;
  void BeforeDestruction() override;

  std::string ClassName() const override { return "TsSkinManager"; }

  // --- published properties ---
  bool Active() const { return active_; }
  void SetActive(bool value);
  const std::string& SkinName() const { return skinName_; }
  void SetSkinName(const std::string& value);
  const std::string& SkinDirectory() const { return skinDirectory_; }
  void SetSkinDirectory(const std::string& value);
  // The folder of the skins shipped with the program, a path of this host
  // (empty: none). Listed and searched after the skin directory, so that a
  // user's skin of the same name wins; stored skins come last.
  const std::string& SystemSkinDirectory() const { return systemSkinDirectory_; }
  void SetSystemSkinDirectory(const std::string& value) { systemSkinDirectory_ = value; }
  TsStoredSkins& InternalSkins() { return internalSkins_; }
  void SetInternalSkins(const TsStoredSkins& value) { internalSkins_.Assign(value); }
  // The loaded skin's version with a point as decimal separator, or "N/A".
  std::string SkinInfo() const;
  void SetSkinInfo(const std::string&) {}
  std::string Version() const { return "5.52"; }
  void SetVersion(const std::string&) {}
  int HueOffset() const { return hueOffset_; }
  void SetHueOffset(int value);
  int Saturation() const { return saturation_; }
  void SetSaturation(int value);
  bool IsDefault() const;
  void SetIsDefault(bool value);
  bool SkinnedPopups() const { return skinnedPopups_; }
  void SetSkinnedPopups(bool value);
  const std::vector<std::string>& CommonSections() const { return commonSections_; }
  void SetCommonSections(const std::vector<std::string>& lines);
  TsSkinningRules SkinningRules() const { return skinningRules_; }
  void SetSkinningRules(TsSkinningRules value) { skinningRules_ = value; }
  ThirdPartyList& ThirdParty() { return thirdParty_; }
  TnxMenuSupport& MenuSupport() { return menuSupport_; }
  TnxAnimEffects& AnimEffects() { return animEffects_; }

  TNotifyEvent OnBeforeChange;
  TNotifyEvent OnAfterChange;
  TGetExtraLineData OnGetMenuExtraLineData;

  // --- operations ---
  // Lists the stored skins and then, in the normalised skin directory and
  // after it in the system skin directory, the folders holding "Options.dat"
  // (kinds 0, 2) and the ".nxz" files (kinds 1, 2); sorted. A name the skin
  // directory has is not listed again for the system directory. `firstName`
  // is the first name found, before sorting.
  std::vector<std::string> GetSkinNames(TsSkinListKind kind,
                                        std::string* firstName = nullptr) const;
  // Reloads the current skin with the current colour shifts (and announces a
  // refresh unless the form is loading).
  void ReloadSkin();
  // Fills the 17 class lists from ThirdParty (reset: from the defaults).
  void UpdateClassLists(bool reset);
  const TsClassLists& ClassLists() const { return classLists_; }
  // Whether the skin being loaded, or last loaded, came from a container.
  bool IsPacked() const { return packed_; }
  // The file the last load was reading when it ended (the container, the
  // description or a picture of a folder skin); empty for a stored skin. A
  // caller reporting a failed load names it.
  const std::string& LoadingFile() const { return loadingFile_; }
  // Loads the first stored skin whatever the skin directory holds, as the
  // way back after a skin from the directory failed to load. Naming a skin
  // or a directory afterwards looks in the directory again.
  void LoadStoredSkin();

 protected:
  void Loaded() override;

 private:
  void ChooseAndLoad();
  void LoadPackedFile(const std::string& fileName, const std::string& directory);
  // `directory` is the normalised folder the skin's folder is looked for in.
  void LoadFolderOrStored(const std::string& directory);
  // A skin directory on a drive names a folder of the user's data folder: it
  // is made on first use. When it cannot be, the reason is reported once and
  // the stored skin stays in use.
  void PrepareSkinDirectory() const;
  // Adds the skins of one folder (normalised) to the list.
  void ListFolder(const std::string& directory, TsSkinListKind kind, bool skipKnown,
                  std::vector<std::string>& names) const;
  void RunPasses();
  void MaskPass();
  void PatternPass();
  void SectionPass();
  void StoredMaskPass(const TsStoredSkin& skin);
  void StoredPatternPass(const TsStoredSkin& skin);
  void StoredSectionPass(const TsStoredSkin& skin);
  void CommonMaskPass();
  void MergeCommonSections();
  void LoadCurrent();
  void LoadCurrentOrSwitchOff();
  void ApplyColourShifts();
  void AnnounceNewSkin();
  void Refresh();
  void SwitchOff();
  // An image named in the description: from the container when packed, else
  // from SkinPath + name (or the name alone when it holds a drive colon).
  // Packed images are not copied: `bytes` then points into the container's
  // entry; a folder's file is read into `storage`. Pictures beyond the skin
  // limits throw ESkinLimitError.
  bool FindImageBytes(const std::string& name, std::vector<std::uint8_t>& storage,
                      std::span<const std::uint8_t>& bytes, bool bitmap) const;
  // A bitmap image, converted to 24 bits unless keepFormat (a 32-bit file
  // then keeps its alpha); nullptr when missing or unreadable.
  std::shared_ptr<TBitmap> LoadBitmapImage(const std::string& name, bool keepFormat = false) const;
  std::string NormalizedDirectory() const;

  bool active_ = true;
  bool storedOnly_ = false;
  mutable std::string loadingFile_;
  std::string skinName_;
  std::string skinDirectory_;
  std::string systemSkinDirectory_;
  mutable std::string unusableDirectory_;  // the folder whose failure was reported
  TsStoredSkins internalSkins_;
  int hueOffset_ = 0;
  int saturation_ = 0;
  bool skinnedPopups_ = true;
  std::vector<std::string> commonSections_;
  TsSkinningRules skinningRules_ = AllSkinningRules;
  ThirdPartyList thirdParty_;
  TnxMenuSupport menuSupport_;
  TnxAnimEffects animEffects_{this};
  TsClassLists classLists_;

  // State of one load.
  bool packed_ = false;
  TMemIniFile* ini_ = nullptr;                // the description being read
  TnxSkinConvertor* convertor_ = nullptr;     // the container being read
  const TsStoredSkin* storedSkin_ = nullptr;  // a stored skin without data
  bool hookInstalled_ = false;
};

}  // namespace vm
