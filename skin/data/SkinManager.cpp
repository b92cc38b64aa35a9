#include "skin/data/SkinManager.h"

#include <unistd.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "platform/fs/PlatformPath.h"
#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/JpegCodec.h"
#include "platform/gfx/SysColors.h"
#include "skin/data/MemIniFile.h"
#include "skin/data/SkinCommands.h"
#include "skin/data/SkinConvertor.h"
#include "skin/data/SkinDescription.h"
#include "skin/data/SkinLimits.h"
#include "skin/paint/pixels/Colors.h"

namespace vm {

namespace fs = std::filesystem;

// --- process-wide state ----------------------------------------------------

namespace {

TsSkinAnnouncer* announcer = nullptr;
TsSkinManager* defaultManager = nullptr;
bool skinChanging = false;
bool switchingOff = false;
std::vector<TComponent*> skinnedForms;
std::string programFolderOverride;

constexpr const char* DefaultSkinDirectory = "c:\\Skins";
constexpr const char* OptionsFileName = "Options.dat";

bool FileExists(const std::string& hostPath) {
  std::error_code ec;
  return fs::is_regular_file(hostPath, ec);
}

bool DirExists(const std::string& hostPath) {
  std::error_code ec;
  return fs::is_directory(hostPath, ec);
}

// Reads a whole file in large pieces. A file longer than `limit` is refused
// from its size before anything is read; for a bitmap (`bitmap`) the picture
// size its header declares is checked against the skin limits first, so a
// huge picture costs one small read.
bool ReadFileBytes(const std::string& hostPath, std::vector<std::uint8_t>& bytes,
                   std::uint64_t limit, bool bitmap = false) {
  const int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const std::string name = fs::path(hostPath).filename().string();
  if (bitmap) {
    std::uint8_t head[26];
    std::int64_t w = 0, h = 0;
    if (pread(fd, head, sizeof head, 0) == ssize_t(sizeof head) && PeekBmpSize(head, w, h) &&
        !SkinPictureSizeFits(w, h))
      ThrowPictureTooLarge(name, w, h);
  }
  if (std::uint64_t(st.st_size) > limit) ThrowFileTooLarge(name, std::uint64_t(st.st_size), limit);
  bytes.resize(std::size_t(st.st_size));
  std::size_t have = 0;
  while (have < bytes.size()) {
    const ssize_t n = read(fd, bytes.data() + have, bytes.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the file shrank while read: keep what is there
    have += std::size_t(n);
  }
  bytes.resize(have);
  return true;
}

// A description's text into its reader, with the skin's section limit.
void ReadDescription(TMemIniFile& ini, std::span<const std::uint8_t> bytes) {
  try {
    ini.SetCp1251Text({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, MaxSkinSections);
  } catch (const ETooManySections&) {
    throw ESkinLimitError("в описании скина больше " + std::to_string(MaxSkinSections) +
                          " разделов, а для скина допустимо не более этого");
  }
}

// Clears the skin-changing flag however a load ends.
struct ChangingFlag {
  ChangingFlag() { skinChanging = true; }
  ~ChangingFlag() { skinChanging = false; }
};

// Applies a colour function to every pixel that is neither magenta nor grey.
template <typename F>
void ShiftPixels(TBitmap& bmp, F&& shift) {
  if (bmp.Empty()) return;
  const int bpp = bmp.BytesPerPixel();
  for (int y = 0; y < bmp.Height(); ++y) {
    std::uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x, p += bpp) {
      std::uint8_t b = p[0], g = p[1], r = p[2];
      if (r == g && g == b) continue;
      if (r == 255 && g == 0 && b == 255) continue;
      TColor c = shift(RGB(r, g, b));
      p[0] = std::uint8_t(GetBValue(c));
      p[1] = std::uint8_t(GetGValue(c));
      p[2] = std::uint8_t(GetRValue(c));
    }
  }
}

std::string FormatVersion(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : "0";
}

}  // namespace

void SetSkinAnnouncer(TsSkinAnnouncer* a) {
  announcer = a;
}
TsSkinAnnouncer* SkinAnnouncer() {
  return announcer;
}
TsSkinManager* DefaultManager() {
  return defaultManager;
}
bool IsSkinChanging() {
  return skinChanging;
}
bool IsSkinSwitchingOff() {
  return switchingOff;
}

namespace {

// Takes a form out of the registry when it is freed without being
// unregistered, so that a command sent to the registry never reaches freed
// memory.
class TRegistryWatch : public TComponent {
 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove) UnregisterSkinnedForm(component);
  }
};

TRegistryWatch& RegistryWatch() {
  static TRegistryWatch watch;
  return watch;
}

}  // namespace

void RegisterSkinnedForm(TComponent* form) {
  if (form && std::find(skinnedForms.begin(), skinnedForms.end(), form) == skinnedForms.end()) {
    skinnedForms.push_back(form);
    RegistryWatch().FreeNotification(form);
  }
}

void UnregisterSkinnedForm(TComponent* form) {
  auto it = std::find(skinnedForms.begin(), skinnedForms.end(), form);
  if (it == skinnedForms.end()) return;
  *it = skinnedForms.back();
  skinnedForms.pop_back();
  RegistryWatch().RemoveFreeNotification(form);
}

const std::vector<TComponent*>& SkinnedForms() {
  return skinnedForms;
}

std::string ProgramFolder() {
  if (!programFolderOverride.empty()) return programFolderOverride;
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "./";
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

void SetProgramFolder(const std::string& folder) {
  programFolderOverride = folder;
}

std::string AddTrailingSeparator(const std::string& name) {
  if (name.empty()) return name;
  if (name.back() == '\\') return name;
  if (name.back() == '/') return name.substr(0, name.size() - 1) + "\\";
  if (name.size() == 1) return name + ":\\";
  return name + "\\";
}

std::string NormalizeDir(const std::string& name, const std::string& programFolder) {
  if (name.empty()) return name;
  std::string s;
  if (name.rfind("..", 0) == 0) {
    // The program's parent folder, then the name without its "..\".
    std::string folder = programFolder;
    if (!folder.empty()) folder.pop_back();
    while (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder.pop_back();
    s = folder + (name.size() > 3 ? name.substr(3) : std::string());
  } else if (name.rfind(".\\", 0) == 0 || name.rfind("./", 0) == 0) {
    s = programFolder + name.substr(2);
  } else if (name.find(':') == std::string::npos && name.find("\\\\") == std::string::npos &&
             name.front() != '/') {
    // Relative: under the program's folder. (A name starting with "/" is an
    // absolute path on this host.)
    s = programFolder + name;
  } else {
    s = name;
  }
  return AddTrailingSeparator(s);
}

std::string HostPath(const std::string& path) {
  return PlatformToHostPath(path);
}

// --- the manager -----------------------------------------------------------

TsSkinManager::TsSkinManager(TComponent* owner) : TComponent(owner) {
  skinDirectory_ = DefaultSkinDirectory;
  if (!defaultManager) defaultManager = this;
  UpdateClassLists(false);
  UpdateIndexes();
}

void TsSkinManager::BeforeDestruction() {
  // The controls are told that their manager goes while they still know it
  // as theirs: the removal announced next clears their links to it.
  Destroying();
  if (active_ || SkinData.Active) {
    active_ = false;
    SwitchOff();
  }
  TComponent::BeforeDestruction();
}

TsSkinManager::~TsSkinManager() {
  Destroying();
  // Destroyed in place (no delete): switched off here.
  if (active_ || SkinData.Active) {
    active_ = false;
    SwitchOff();
  }
  if (defaultManager == this) defaultManager = nullptr;
  ReadBackClassLists(classLists_, thirdParty_);
}

void TsSkinManager::SetActive(bool value) {
  if (value == active_) return;
  if (value) {
    active_ = true;
    ChooseAndLoad();
  } else {
    active_ = false;
    SwitchOff();
  }
}

void TsSkinManager::SetSkinName(const std::string& value) {
  skinName_ = value;
  storedOnly_ = false;
  if (!active_) return;
  ChooseAndLoad();
}

void TsSkinManager::SetSkinDirectory(const std::string& value) {
  if (value == skinDirectory_) return;
  skinDirectory_ = value;
  storedOnly_ = false;
  SkinData.SkinPath = NormalizedDirectory();
}

std::string TsSkinManager::NormalizedDirectory() const {
  return NormalizeDir(skinDirectory_, ProgramFolder());
}

std::string TsSkinManager::SkinInfo() const {
  return SkinData.Active ? FormatVersion(SkinData.Version) : "N/A";
}

void TsSkinManager::SetHueOffset(int value) {
  if (value == hueOffset_) return;
  hueOffset_ = value;
  if (SkinData.Active) ReloadSkin();
}

void TsSkinManager::SetSaturation(int value) {
  if (value == saturation_) return;
  saturation_ = value;
  if (SkinData.Active) ReloadSkin();
}

bool TsSkinManager::IsDefault() const {
  return defaultManager == this;
}

void TsSkinManager::SetIsDefault(bool value) {
  if (!value || defaultManager == this) return;
  defaultManager = this;
  animEffects_.Buttons.SetEvents(animEffects_.Buttons.Events());
  if (!announcer) return;
  if (SkinData.Active) {
    announcer->SendCommand(*this, CmdNewSkin);
    Refresh();
  } else {
    announcer->SendCommand(*this, CmdRemoveSkin);
  }
}

void TsSkinManager::SetSkinnedPopups(bool value) {
  if (value == skinnedPopups_) return;
  skinnedPopups_ = value;
  if (announcer && !IsLoading()) announcer->SkinnedPopupsChanged(*this);
}

void TsSkinManager::SetCommonSections(const std::vector<std::string>& lines) {
  commonSections_.clear();
  for (const std::string& line : lines) {
    if (line.empty() || line.front() == ';') {
      commonSections_.push_back(line);
      continue;
    }
    std::string compact;
    for (char c : line)
      if (c != ' ') compact += c;
    commonSections_.push_back(compact);
  }
  if (SkinData.Active) ReloadSkin();
}

void TsSkinManager::UpdateClassLists(bool reset) {
  FillClassLists(thirdParty_, classLists_, reset);
}

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  if (skinDirectory_.empty()) skinDirectory_ = DefaultSkinDirectory;
  if (menuSupport_.IcoLineSkin.empty()) menuSupport_.IcoLineSkin = "ICOLINE";
  UpdateClassLists(false);
  if (active_ && !skinName_.empty()) AnnounceNewSkin();
}

// --- choosing and loading ----------------------------------------------------

void TsSkinManager::ChooseAndLoad() {
  if (OnBeforeChange) OnBeforeChange(this);
  {
    ChangingFlag changing;
    SkinData.Active = false;
    LoadCurrentOrSwitchOff();
    if (!active_)
      SwitchOff();
    else
      AnnounceNewSkin();
  }
  if (OnAfterChange) OnAfterChange(this);
}

void TsSkinManager::ReloadSkin() {
  ChangingFlag changing;
  LoadCurrentOrSwitchOff();
  if (!active_) {
    SwitchOff();
    return;
  }
  UpdateIndexes();
  if (!IsLoading()) Refresh();
}

void TsSkinManager::LoadCurrentOrSwitchOff() {
  try {
    LoadCurrent();
  } catch (...) {
    // A load that fails half-way leaves a model the windows were never told
    // about, with their indexes pointing into it. They are told to drop the
    // skin and show their plain look; the error still reaches the caller, and
    // the next successful load announces itself as usual.
    SwitchOff();
    throw;
  }
}

void TsSkinManager::LoadStoredSkin() {
  if (internalSkins_.Count() == 0) return;
  skinName_ = internalSkins_.Items(0).Name;
  storedOnly_ = true;
  if (active_) ChooseAndLoad();
}

void TsSkinManager::LoadCurrent() {
  loadingFile_.clear();
  // After a skin that failed to load, the stored skin is used whatever the
  // directory holds.
  if (storedOnly_) return LoadFolderOrStored(NormalizedDirectory());
  PrepareSkinDirectory();
  const std::string directory = NormalizedDirectory();
  std::string packedFile = AddTrailingSeparator(skinDirectory_) + skinName_ + ".nxz";
  if (FileExists(HostPath(packedFile))) return LoadPackedFile(packedFile, directory);
  // The shipped skins come after the user's: only a name the skin directory
  // has neither packed nor as a folder is looked for there.
  const std::string system = NormalizeDir(systemSkinDirectory_, ProgramFolder());
  if (!system.empty() && !skinName_.empty() &&
      !FileExists(HostPath(directory + skinName_ + "\\" + OptionsFileName))) {
    const std::string shipped = system + skinName_ + ".nxz";
    if (FileExists(HostPath(shipped))) return LoadPackedFile(shipped, system);
    if (FileExists(HostPath(system + skinName_ + "\\" + OptionsFileName)))
      return LoadFolderOrStored(system);
  }
  LoadFolderOrStored(directory);
}

void TsSkinManager::PrepareSkinDirectory() const {
  const std::string directory = NormalizedDirectory();
  if (!IsDrivePath(directory)) return;
  const std::string host = HostPath(directory);
  if (DirExists(host)) return;
  std::string why;
  if (EnsureDataFolder(host, &why) || unusableDirectory_ == host) return;
  unusableDirectory_ = host;
  std::cerr << "velmora: не удалось создать папку скинов " << host << " (" << why
            << "); скины из неё недоступны\n";
}

void TsSkinManager::LoadPackedFile(const std::string& fileName, const std::string& directory) {
  std::unique_ptr<TnxSkinConvertor> convertor;
  loadingFile_ = HostPath(fileName);
  bool ok = ExtractPackedData(HostPath(fileName), convertor, true);
  // A rejected container, or one without a description, loads as an empty
  // skin rather than leaving the previous one half in place.
  TMemIniFile ini;
  if (ok && convertor && convertor->Options())
    ReadDescription(ini,
                    {convertor->Options()->Memory(), std::size_t(convertor->Options()->Size())});
  packed_ = true;
  SkinData.SkinPath = directory;
  ini_ = &ini;
  convertor_ = ok ? convertor.get() : nullptr;
  storedSkin_ = nullptr;
  struct Reset {
    TsSkinManager* m;
    ~Reset() { m->ini_ = nullptr, m->convertor_ = nullptr; }
  } reset{this};
  RunPasses();
}

void TsSkinManager::LoadFolderOrStored(const std::string& directory) {
  std::string folder = directory + skinName_ + "\\";
  std::string options = folder + OptionsFileName;
  TMemIniFile ini;
  std::unique_ptr<TnxSkinConvertor> convertor;
  std::unique_ptr<TMemoryStream> dataView;
  storedSkin_ = nullptr;
  if (!storedOnly_ && FileExists(HostPath(options))) {
    packed_ = false;
    loadingFile_ = HostPath(options);
    std::vector<std::uint8_t> text;
    if (!ReadFileBytes(loadingFile_, text, MaxSkinDescriptionBytes))
      throw std::runtime_error("Cannot read file \"" + loadingFile_ + "\"");
    ReadDescription(ini, text);
    SkinData.SkinPath = folder;
  } else {
    SkinData.SkinPath.clear();
    int index = internalSkins_.IndexOf(skinName_);
    if (index < 0) {
      if (internalSkins_.Count() == 0) {
        active_ = false;
        return;
      }
      index = 0;
      skinName_ = internalSkins_.Items(0).Name;
    }
    const TsStoredSkin& stored = internalSkins_.Items(index);
    if (!stored.Data.empty()) {
      packed_ = true;
      // The stored skin keeps owning its bytes; the convertor only borrows them.
      dataView = std::make_unique<TMemoryStream>(
          TMemoryStream::View(stored.Data.data(), stored.Data.size()));
      convertor = std::make_unique<TnxSkinConvertor>();
      convertor->SetBorrowedSource(dataView.get());
      bool ok = convertor->Parse();
      convertor->ReleaseSource();
      if (ok && convertor->Options())
        ReadDescription(
            ini, {convertor->Options()->Memory(), std::size_t(convertor->Options()->Size())});
      if (!ok) convertor.reset();
    } else {
      packed_ = false;
      storedSkin_ = &stored;
    }
  }
  ini_ = storedSkin_ ? nullptr : &ini;
  convertor_ = convertor.get();
  struct Reset {
    TsSkinManager* m;
    ~Reset() { m->ini_ = nullptr, m->convertor_ = nullptr, m->storedSkin_ = nullptr; }
  } reset{this};
  RunPasses();
}

void TsSkinManager::RunPasses() {
  MaskPass();
  PatternPass();
  SectionPass();
}

bool TsSkinManager::FindImageBytes(const std::string& name, std::vector<std::uint8_t>& storage,
                                   std::span<const std::uint8_t>& bytes, bool bitmap) const {
  if (packed_) {
    // Images of a packed skin come from its container only, read where the
    // container's entry holds them.
    if (!convertor_) return false;
    TnxSkinConvertor::Image* image = convertor_->FindImage(name);
    if (!image) return false;
    bytes = {image->Data.Memory(), std::size_t(image->Data.Size())};
    return true;
  }
  std::string path = (name.find(':') != std::string::npos || (!name.empty() && name[0] == '/'))
                         ? name
                         : SkinData.SkinPath + name;
  std::string host = HostPath(path);
  if (!FileExists(host)) return false;
  const std::string description = loadingFile_;
  loadingFile_ = host;
  if (!ReadFileBytes(host, storage, MaxSkinPictureBytes, bitmap)) return false;
  loadingFile_ = description;
  bytes = storage;
  return true;
}

std::shared_ptr<TBitmap> TsSkinManager::LoadBitmapImage(const std::string& name,
                                                        bool keepFormat) const {
  std::vector<std::uint8_t> storage;
  std::span<const std::uint8_t> bytes;
  if (name.empty() || !FindImageBytes(name, storage, bytes, true)) return nullptr;
  std::int64_t w = 0, h = 0;
  if (PeekBmpSize(bytes, w, h) && !SkinPictureSizeFits(w, h)) ThrowPictureTooLarge(name, w, h);
  try {
    auto bmp = std::make_shared<TBitmap>(ReadBmp(bytes, TBmpRowOrder::AsFile, nullptr, keepFormat));
    if (bmp->Width() <= 0) return nullptr;
    if (!keepFormat && bmp->PixelFormat() != TPixelFormat::pf24bit)
      bmp->SetPixelFormat(TPixelFormat::pf24bit);
    return bmp;
  } catch (const std::exception&) {
    // An unreadable image counts as a missing one: its masks are left out
    // and the painters fall back.
    return nullptr;
  }
}

void TsSkinManager::MaskPass() {
  while (!ma.empty()) ma.pop_back();
  MasterBitmap.reset();
  if (storedSkin_) {
    StoredMaskPass(*storedSkin_);
    CommonMaskPass();
    return;
  }
  const TMemIniFile& ini = *ini_;
  std::string master = ini.ReadString("GLOBALINFO", "MASTERBITMAP", "");
  if (!master.empty()) MasterBitmap = LoadBitmapImage(master);

  for (const TMemIniFile::Section& section : ini.Sections()) {
    for (const TMemIniFile::Key& key : section.Keys) {
      // The master bitmap's name and the free texts of the skin are never
      // masks: a "#" in the author or description must not read as one (its
      // number fields would not parse and the whole load would fail).
      if (section.Name == "GLOBALINFO" &&
          (key.Name == "MASTERBITMAP" || key.Name == "AUTHOR" || key.Name == "DESCRIPTION"))
        continue;
      TsMaskForm form = MaskFormOf(key.Value);
      if (form == TsMaskForm::None) continue;
      TsParsedMask parsed;
      try {
        parsed = ParseMaskValue(key.Name, key.Value);
      } catch (const EConvertError& e) {
        throw ESkinValueError(section.Name, key.Name, key.Value, e.what());
      }
      TsMaskData& m = parsed.Mask;
      m.SectionName = section.Name;
      m.Manager = this;
      if (form == TsMaskForm::OwnImage || form == TsMaskForm::BitmapFile) {
        if (UpperCaseAscii(parsed.FileName).find(".BMP") == std::string::npos) continue;
        // Own textures of "!" masks keep their pixels as stored (a 32-bit
        // one keeps its alpha); every other image becomes 24-bit.
        bool keep = form == TsMaskForm::OwnImage && m.ImgType == itisaTexture;
        m.Image = LoadBitmapImage(parsed.FileName, keep);
        if (!m.Image) continue;
        m.R = {0, 0, m.Image->Width(), m.Image->Height()};
        DeriveBorderWidths(m);
      }
      if (form == TsMaskForm::BitmapFile || form == TsMaskForm::Hash) {
        m.SectionName = UpperCaseAscii(m.SectionName);
        m.PropertyName = UpperCaseAscii(m.PropertyName);
      }
      ma.push_back(std::move(m));
    }
  }
  CommonMaskPass();
}

void TsSkinManager::PatternPass() {
  pa.clear();
  if (storedSkin_) {
    StoredPatternPass(*storedSkin_);
    return;
  }
  for (const TMemIniFile::Section& section : ini_->Sections()) {
    for (const TMemIniFile::Key& key : section.Keys) {
      if (!IsPatternValue(key.Value)) continue;
      std::vector<std::uint8_t> storage;
      std::span<const std::uint8_t> bytes;
      if (!FindImageBytes(key.Value, storage, bytes, false)) continue;
      std::shared_ptr<TBitmap> image;
      try {
        const TJpegInfo info = ReadJpegInfo(bytes);
        if (!SkinPictureSizeFits(info.Width, info.Height))
          ThrowPictureTooLarge(key.Value, info.Width, info.Height);
        TJpegLimits limits;
        limits.MaxPixels = MaxSkinPicturePixels;
        image = std::make_shared<TBitmap>(DecodeJpeg(bytes, limits));
      } catch (const ESkinLimitError&) {
        throw;
      } catch (const std::exception&) {
        continue;  // a pattern that does not decode is skipped
      }
      if (image->Width() <= 0) continue;
      std::string sectionName = UpperCaseAscii(section.Name);
      std::string propertyName = UpperCaseAscii(key.Name);
      if (std::int64_t(image->Width()) * image->Height() >= MinPatternPixels) {
        pa.push_back({image, sectionName, propertyName});
      } else {
        // Small pictures are cheaper to tile as texture masks.
        TsMaskData m;
        m.Image = image;
        m.SectionName = sectionName;
        m.PropertyName = propertyName;
        m.R = {0, 0, image->Width(), image->Height()};
        m.ImageCount = 1;
        m.MaskType = 0;
        m.ImgType = itisaTexture;
        m.Manager = this;
        ma.push_back(std::move(m));
      }
    }
  }
}

void TsSkinManager::SectionPass() {
  gd.clear();
  SkinData.ResetGlobals();
  if (storedSkin_) {
    StoredSectionPass(*storedSkin_);
  } else {
    ReadGlobalInfo(*ini_, SkinData);
    // Every section's keys are indexed once for all the inherited reads.
    const TsSectionKeyIndex keys(*ini_);
    gd.reserve(ini_->Sections().size());
    for (std::size_t i = 0; i < ini_->Sections().size(); ++i) gd.push_back(keys.Read(i));
  }
  MergeCommonSections();
  ApplyColourShifts();
}

// --- stored-collection form ----------------------------------------------------

void TsSkinManager::StoredMaskPass(const TsStoredSkin& skin) {
  if (!skin.MasterBitmap.Empty()) {
    auto master = std::make_shared<TBitmap>(skin.MasterBitmap);
    if (master->PixelFormat() != TPixelFormat::pf24bit)
      master->SetPixelFormat(TPixelFormat::pf24bit);
    MasterBitmap = master;
  }
  for (const TsSkinImage& item : skin.Images) {
    TsMaskData m;
    m.SectionName = UpperCaseAscii(item.SectionName);
    m.PropertyName = UpperCaseAscii(item.PropertyName);
    m.Manager = this;
    if (!item.Name.empty()) {
      // A copy: colour shifts must not change the stored picture.
      if (item.Image && !item.Image->Empty()) {
        m.Image = std::make_shared<TBitmap>(*item.Image);
        // Painters read own images as 24-bit pixels, as for every other skin.
        if (m.Image->PixelFormat() != TPixelFormat::pf24bit)
          m.Image->SetPixelFormat(TPixelFormat::pf24bit);
      }
      int w = m.Image ? m.Image->Width() : 0, h = m.Image ? m.Image->Height() : 0;
      m.R = {0, 0, w, h};
    } else {
      m.R = {item.Left, item.Top, item.Right, item.Bottom};
    }
    m.ImageCount = item.ImageCount;
    m.MaskType = item.MaskType;
    if (m.ImageCount == 0) {
      m.ImageCount = 3;
      m.MaskType = 1;
    }
    m.BorderWidth = item.BorderWidth;
    if (m.PropertyName == "PATTERN" || m.PropertyName == "HOTPATTERN") {
      m.ImgType = itisaTexture;
      m.StretchMode = item.ImgType == itisaTexture ? item.StretchMode : 0;
    } else {
      m.StretchMode = item.StretchMode;
      m.ImgType = item.ImgType;
    }
    m.WL = item.WL;
    m.WT = item.WT;
    m.WR = item.WR;
    m.WB = item.WB;
    DeriveBorderWidths(m);
    ma.push_back(std::move(m));
  }
}

void TsSkinManager::StoredPatternPass(const TsStoredSkin& skin) {
  for (const TsSkinPattern& item : skin.Patterns) {
    std::shared_ptr<TBitmap> image = item.Image;
    if (!image || image->Empty()) {
      image.reset();
      for (const TsSkinPattern& other : skin.Patterns)
        if (&other != &item && other.Name == item.Name && other.Image && !other.Image->Empty()) {
          image = other.Image;
          break;
        }
    }
    TsPatternData p;
    if (image) p.Image = std::make_shared<TBitmap>(*image);
    p.SectionName = UpperCaseAscii(item.SectionName);
    p.PropertyName = UpperCaseAscii(item.PropertyName);
    pa.push_back(std::move(p));
  }
}

void TsSkinManager::StoredSectionPass(const TsStoredSkin& skin) {
  SkinData.Version = skin.Version;
  SkinData.Author = skin.Author;
  SkinData.Description = skin.Description;
  SkinData.Shadow1Color = skin.Shadow1Color;
  SkinData.Shadow1Offset = skin.Shadow1Offset;
  SkinData.Shadow1Blur = skin.Shadow1Blur;
  SkinData.Shadow1Transparency = skin.Shadow1Transparency;
  SkinData.BorderColor = skin.BorderColor;
  for (const TsSkinGeneral& g : skin.GeneralData) {
    TsGeneralData d;
    d.SectionName = g.SectionName;
    d.ParentClass = g.ParentClass;
    d.Color = ColorToRGB(g.Color);
    d.Bevel = g.Bevel;
    d.ShadowBlur = g.ShadowBlur;
    d.ShadowColor = g.ShadowColor;
    d.ShadowEnabled = g.ShadowEnabled;
    d.ReservedBoolean = g.ReservedBoolean;
    d.ShadowOffset = g.ShadowOffset;
    d.ShadowTransparency = g.ShadowTransparency;
    d.FontColor = ParseStoredFontColors(g.FontColor);
    d.HotFontColor = ParseStoredFontColors(g.HotFontColor);
    d.Transparency = g.Transparency;
    d.GradientPercent = g.GradientPercent;
    d.GradientData = g.GradientData;
    ParseGradient(d.GradientData, d.GradientArray);
    d.ImagePercent = g.ImagePercent;
    d.ShowFocus = g.ShowFocus;
    d.FadingEnabled = g.FadingEnabled;
    d.FadingIntervalIn = g.FadingIntervalIn;
    d.FadingIntervalOut = g.FadingIntervalOut;
    d.FadingIterations = g.FadingIterations;
    d.HotColor = g.HotColor;
    d.HotTransparency = g.HotTransparency;
    d.HotBevel = g.HotBevel;
    d.HotGradientPercent = g.HotGradientPercent;
    d.HotGradientData = g.HotGradientData;
    ParseGradient(d.HotGradientData, d.HotGradientArray);
    d.HotImagePercent = g.HotImagePercent;
    d.BorderColor1 = g.BorderColor1;
    d.BorderColor2 = g.BorderColor2;
    gd.push_back(std::move(d));
  }
}

// --- common sections -------------------------------------------------------------

namespace {

// Overrides the fields of `d` whose keys the common section names.
void ApplyPresentKeys(const TMemIniFile& ini, const std::string& s, TsGeneralData& d) {
  auto has = [&](const char* key) { return ini.ValueExists(s, key); };
  auto integer = [&](const char* key, std::int32_t& field) {
    if (has(key)) field = ini.ReadInteger(s, key, field);
  };
  auto colour = [&](const char* key, TColor& field) {
    if (has(key)) field = TColor(ini.ReadInteger(s, key, int(field)));
  };
  auto boolean = [&](const char* key, bool& field) {
    if (has(key)) field = UpperCaseAscii(ini.ReadString(s, key, "")) == "TRUE";
  };
  auto bevel = [&](const char* key, TsControlBevel& field) {
    if (has(key))
      field =
          TsControlBevel(std::clamp(ini.ReadInteger(s, key, int(field)), 0, int(cbLoweredHard)));
  };
  if (has("PARENTCLASS")) d.ParentClass = ini.ReadString(s, "PARENTCLASS", "");
  if (has("COLOR")) d.Color = ColorToRGB(TColor(ini.ReadInteger(s, "COLOR", int(d.Color))));
  colour("HOTCOLOR", d.HotColor);
  integer("TRANSPARENCY", d.Transparency);
  integer("HOTTRANSPARENCY", d.HotTransparency);
  integer("GRADIENTPERCENT", d.GradientPercent);
  integer("HOTGRADIENTPERCENT", d.HotGradientPercent);
  d.GradientPercent = std::min(d.GradientPercent, 100);
  d.HotGradientPercent = std::min(d.HotGradientPercent, 100);
  if (has("GRADIENTDATA")) {
    d.GradientData = ini.ReadString(s, "GRADIENTDATA", "");
    ParseGradient(d.GradientData, d.GradientArray);
  }
  if (has("HOTGRADIENTDATA")) {
    d.HotGradientData = ini.ReadString(s, "HOTGRADIENTDATA", "");
    ParseGradient(d.HotGradientData, d.HotGradientArray);
  }
  integer("IMAGEPERCENT", d.ImagePercent);
  integer("HOTIMAGEPERCENT", d.HotImagePercent);
  bevel("BEVEL", d.Bevel);
  bevel("HOTBEVEL", d.HotBevel);
  const char* font[5] = {"FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"};
  const char* hotFont[5] = {"HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"};
  for (int i = 0; i < 5; ++i) {
    colour(font[i], d.FontColor[std::size_t(i)]);
    colour(hotFont[i], d.HotFontColor[std::size_t(i)]);
  }
  boolean("SHADOWENABLED", d.ShadowEnabled);
  colour("SHADOWCOLOR", d.ShadowColor);
  integer("SHADOWOFFSET", d.ShadowOffset);
  integer("SHADOWBLUR", d.ShadowBlur);
  integer("SHADOWTRANSPARENCY", d.ShadowTransparency);
  boolean("SHOWFOCUS", d.ShowFocus);
  boolean("FADINGENABLED", d.FadingEnabled);
  integer("FADINGINTERVALIN", d.FadingIntervalIn);
  integer("FADINGINTERVALOUT", d.FadingIntervalOut);
  integer("FADINGITERATIONS", d.FadingIterations);
  boolean("RESERVEDBOOLEAN", d.ReservedBoolean);
  colour("BORDERCOLOR1", d.BorderColor1);
  colour("BORDERCOLOR2", d.BorderColor2);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

}  // namespace

void TsSkinManager::CommonMaskPass() {
  if (commonSections_.empty()) return;
  TMemIniFile common(JoinLines(commonSections_), true);
  for (const TMemIniFile::Section& section : common.Sections()) {
    if (section.Name == "GLOBALINFO") continue;
    for (const TMemIniFile::Key& key : section.Keys) {
      const std::string& value = key.Value;
      bool hasHash = value.find('#') != std::string::npos;
      if ((!MasterBitmap || !hasHash) && UpperCaseAscii(value).find(".BMP") != std::string::npos) {
        std::string host = HostPath(SkinData.SkinPath + value);
        std::vector<std::uint8_t> bytes;
        if (!FileExists(host) || !ReadFileBytes(host, bytes, MaxSkinPictureBytes, true)) continue;
        std::shared_ptr<TBitmap> image;
        try {
          image = std::make_shared<TBitmap>(ReadBmp(bytes));
        } catch (const std::exception&) {
          continue;
        }
        if (image->Width() < 1) continue;
        TsMaskData m;
        m.Image = image;
        m.SectionName = UpperCaseAscii(section.Name);
        m.PropertyName = UpperCaseAscii(key.Name);
        m.R = {0, 0, image->Width(), image->Height()};
        m.ImageCount = 3;
        m.MaskType = 1;
        m.Manager = this;
        DeriveBorderWidths(m);
        ma.push_back(std::move(m));
      } else if (hasHash && value != "#") {
        TsParsedMask parsed = ParseMaskValue(key.Name, value);
        parsed.Mask.SectionName = UpperCaseAscii(section.Name);
        parsed.Mask.PropertyName = UpperCaseAscii(key.Name);
        parsed.Mask.Manager = this;
        ma.push_back(std::move(parsed.Mask));
      }
    }
  }
}

void TsSkinManager::MergeCommonSections() {
  if (commonSections_.empty()) return;
  TMemIniFile common(JoinLines(commonSections_), true);
  for (const TMemIniFile::Section& section : common.Sections()) {
    int index = FindSectionIndex(section.Name);
    if (index >= 0) {
      ApplyPresentKeys(common, section.Name, gd[std::size_t(index)]);
      continue;
    }
    TsGeneralData d;
    std::string parent = UpperCaseAscii(common.ReadString(section.Name, "PARENTCLASS", ""));
    int parentIndex = parent.empty() ? -1 : FindSectionIndex(parent);
    if (parentIndex >= 0) d = gd[std::size_t(parentIndex)];
    d.SectionName = section.Name;
    d.ParentClass = parentIndex >= 0 ? parent : std::string();
    ApplyPresentKeys(common, section.Name, d);
    gd.push_back(std::move(d));
  }
}

// --- colour shifts -------------------------------------------------------------------

void TsSkinManager::ApplyColourShifts() {
  auto shiftAll = [this](auto&& shift) {
    if (MasterBitmap) ShiftPixels(*MasterBitmap, shift);
    for (TsMaskData& m : ma) {
      if (!m.Image) continue;
      if (m.Image->PixelFormat() != TPixelFormat::pf24bit)
        m.Image->SetPixelFormat(TPixelFormat::pf24bit);
      ShiftPixels(*m.Image, shift);
    }
    for (TsGeneralData& d : gd) {
      d.Color = shift(d.Color);
      d.HotColor = shift(d.HotColor);
      for (TColor& c : d.FontColor)
        if (c != clNoContour) c = shift(c);
      for (TColor& c : d.HotFontColor)
        if (c != clNoContour) c = shift(c);
      for (GradientItem& g : d.GradientArray) {
        g.Color1 = std::int32_t(shift(TColor(g.Color1)));
        g.Color2 = std::int32_t(shift(TColor(g.Color2)));
      }
      for (GradientItem& g : d.HotGradientArray) {
        g.Color1 = std::int32_t(shift(TColor(g.Color1)));
        g.Color2 = std::int32_t(shift(TColor(g.Color2)));
      }
    }
    SkinData.Shadow1Color = shift(SkinData.Shadow1Color);
    SkinData.BorderColor = shift(SkinData.BorderColor);
  };
  if (hueOffset_ != 0) {
    const int degrees = hueOffset_;
    shiftAll([degrees](TColor c) { return ChangeHue(degrees, c); });
  }
  if (saturation_ != 0) {
    const int amount = (-saturation_) % 101;
    shiftAll([amount](TColor c) { return ChangeSaturation(c, amount); });
  }
}

// --- announcing ------------------------------------------------------------------------

void TsSkinManager::AnnounceNewSkin() {
  if (announcer && !IsLoading()) announcer->SetFormsRedraw(*this, false);
  if (announcer) announcer->ResetMenuPainter(*this);
  SkinData.Active = false;
  UpdateIndexes();
  if (announcer) announcer->SendCommand(*this, CmdNewSkin);
  SkinData.Active = true;
  if (IsDefault() && announcer && !hookInstalled_) {
    announcer->InstallHook(*this);
    hookInstalled_ = true;
  }
  Refresh();
}

void TsSkinManager::Refresh() {
  if (!announcer) return;
  announcer->SendCommand(*this, CmdUpdate);
  if (!IsLoading()) announcer->SetFormsRedraw(*this, false);
  announcer->SendCommand(*this, CmdRefresh);
  if (!IsLoading()) announcer->RefreshForms(*this);
}

void TsSkinManager::SwitchOff() {
  switchingOff = true;
  if (announcer && hookInstalled_) announcer->RemoveHook(*this);
  hookInstalled_ = false;
  SkinData.Active = false;
  // Sent also while this manager is being destroyed: controls then forget it.
  if (announcer) announcer->SendCommand(*this, CmdRemoveSkin);
  ClearModel();
  switchingOff = false;
  UpdateIndexes();
}

// --- listing -----------------------------------------------------------------------------

std::vector<std::string> TsSkinManager::GetSkinNames(TsSkinListKind kind,
                                                     std::string* firstName) const {
  std::vector<std::string> names;
  for (int i = 0; i < internalSkins_.Count(); ++i) names.push_back(internalSkins_.Items(i).Name);
  PrepareSkinDirectory();
  ListFolder(NormalizedDirectory(), kind, false, names);
  ListFolder(NormalizeDir(systemSkinDirectory_, ProgramFolder()), kind, true, names);
  if (firstName) *firstName = names.empty() ? std::string() : names.front();
  std::sort(names.begin(), names.end());
  return names;
}

void TsSkinManager::ListFolder(const std::string& directory, TsSkinListKind kind, bool skipKnown,
                               std::vector<std::string>& names) const {
  const std::size_t known = names.size();
  auto add = [&](const std::string& name) {
    // A shipped skin is not listed again when the user has one of its name.
    if (skipKnown && std::find(names.begin(), names.begin() + std::ptrdiff_t(known), name) !=
                         names.begin() + std::ptrdiff_t(known))
      return;
    names.push_back(name);
  };
  std::string dir = HostPath(directory);
  if (!dir.empty() && DirExists(dir)) {
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
      entries.push_back(*it);
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      return a.path().filename() < b.path().filename();
    });
    for (const fs::directory_entry& e : entries) {
      std::string name = e.path().filename().string();
      if (name.empty() || name[0] == '.') continue;
      std::error_code ec2;
      if (kind != slPacked && e.is_directory(ec2)) {
        if (FileExists((e.path() / OptionsFileName).string())) add(name);
      } else if (kind != slUnpacked && e.is_regular_file(ec2)) {
        if (e.path().extension().string() == ".nxz") add(name.substr(0, name.find('.')));
      }
    }
  }
}

}  // namespace vm
