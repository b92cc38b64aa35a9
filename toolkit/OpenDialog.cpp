#include "toolkit/OpenDialog.h"

#include <cctype>

#include "platform/base/AsciiCase.h"
#include "platform/controls/FileDialog.h"
#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"

namespace vm {

namespace {

// The extension of the last path component, without the dot.
std::string ExtensionOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot + 1);
}

}  // namespace

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

void TOpenDialog::SetDefaultExt(const std::string& v) {
  std::size_t start = v.find_first_not_of('.');
  defaultExt_ = start == std::string::npos ? std::string() : v.substr(start);
}

bool TOpenDialog::Fire(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
    return false;
  }
}

bool TOpenDialog::Execute() {
  TFileDialogParams p;
  p.Owner = MessageBoxOwner();
  p.Save = IsSaveDialog();
  p.Title = title_;
  p.Filter = filter_;
  p.FilterIndex = filterIndex_;
  p.InitialDir = initialDir_;
  p.FileName = fileName_;
  p.DefaultExt = defaultExt_;
  p.Preview = HasPreview();
  p.FileMustExist = !p.Save && (options_ & ofFileMustExist);
  p.PathMustExist = (options_ & ofPathMustExist) != 0;
  p.OverwritePrompt = p.Save && (options_ & ofOverwritePrompt);
  p.Sizeable = (options_ & ofEnableSizing) != 0;
  p.NoChangeDir = (options_ & ofNoChangeDir) != 0;
  options_ &= ~ofExtensionDifferent;
  // The events see the dialog's present choice; a cancel puts these back.
  const std::string fileName = fileName_;
  const int filterIndex = filterIndex_;
  if (OnFolderChange)
    p.OnFolderChange = [this](const std::string&) { Fire([this] { OnFolderChange(this); }); };
  if (OnSelectionChange)
    p.OnSelectionChange = [this](const std::string& path) {
      fileName_ = path;
      Fire([this] { OnSelectionChange(this); });
    };
  if (OnTypeChange)
    p.OnTypeChange = [this](int index) {
      filterIndex_ = index;
      Fire([this] { OnTypeChange(this); });
    };
  if (OnCanClose)
    p.CanClose = [this](const std::string& path) {
      fileName_ = path;
      bool can = true;
      return Fire([this, &can] { OnCanClose(this, can); }) && can;
    };

  if (OnShow) OnShow(this);
  std::optional<TFileDialogResult> r = RunFileDialog(p);
  if (OnClose) OnClose(this);
  if (!r) {
    fileName_ = fileName;
    filterIndex_ = filterIndex;
    return false;
  }
  fileName_ = r->Path;
  filterIndex_ = r->FilterIndex;
  if (!defaultExt_.empty() && AsciiLowerCopy(ExtensionOf(fileName_)) != AsciiLowerCopy(defaultExt_))
    options_ |= ofExtensionDifferent;
  return true;
}

}  // namespace vm
