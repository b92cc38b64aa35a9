#include "toolkit/OpenDialog.h"

#include <cctype>

#include "platform/controls/FileDialog.h"
#include "toolkit/Dialogs.h"

namespace vm {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

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
  options_ &= ~ofExtensionDifferent;

  if (OnShow) OnShow(this);
  std::optional<TFileDialogResult> r = RunFileDialog(p);
  if (OnClose) OnClose(this);
  if (!r) return false;
  fileName_ = r->Path;
  filterIndex_ = r->FilterIndex;
  if (!defaultExt_.empty() && Lower(ExtensionOf(fileName_)) != Lower(defaultExt_))
    options_ |= ofExtensionDifferent;
  return true;
}

}  // namespace vm
