// The open and save picture dialogs: a "#32770" dialog made of standard
// controls (folder combo, up button, file list, name edit, type combo, a
// preview of the chosen picture, Open/Save and Cancel), plus the window-free
// folder logic behind it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/WinApi.h"

namespace vm {

// Control ids of the dialog's children, so that each can be found.
inline constexpr int IDC_FD_TYPE_LABEL = 0x0441;
inline constexpr int IDC_FD_NAME_LABEL = 0x0442;
inline constexpr int IDC_FD_FOLDER_LABEL = 0x0443;
inline constexpr int IDC_FD_LIST = 0x0460;
inline constexpr int IDC_FD_TYPE = 0x0470;
inline constexpr int IDC_FD_FOLDER = 0x0471;
inline constexpr int IDC_FD_NAME = 0x0480;
inline constexpr int IDC_FD_UP = 0x04A0;
inline constexpr int IDC_FD_PREVIEW = 0x04A1;
inline constexpr int IDC_FD_PREVIEW_SIZE = 0x04A2;
inline constexpr int IDC_FD_MESSAGE = 0x04A3;

struct TFileDialogParams {
  HWND Owner = nullptr;
  bool Save = false;
  std::string Title;       // empty: "Открыть" or "Сохранить как"
  std::string Filter;      // "description|pattern;pattern|description|pattern"
  int FilterIndex = 1;     // 1-based; out of range means the first
  std::string InitialDir;  // empty: the folder of FileName, else the current folder
  std::string FileName;    // the name shown at first (may include a folder)
  std::string DefaultExt;  // without the dot: added to a typed name without extension
  bool Preview = true;     // the picture preview pane
  // Checks before a name is accepted. The defaults are the dialog's own
  // behaviour: an open dialog takes only files that exist, every dialog only
  // names in folders that exist, and the save dialog replaces without asking.
  bool FileMustExist = true;     // open: a missing file is told in the dialog
  bool PathMustExist = true;     // a missing folder is told in the dialog
  bool OverwritePrompt = false;  // save: asks before an existing file is replaced
  // The user may resize the dialog (the list and the fields grow with it).
  bool Sizeable = false;
  // Keeps the process's current folder. Without it, the folder of the chosen
  // file becomes the current folder when the dialog closes with a choice.
  bool NoChangeDir = false;
  // Told while the dialog runs (each may be empty): the folder now listed
  // (once at the start too), a file selected in the list (its full path),
  // the 1-based file type chosen. CanClose is asked about the path that is
  // about to be returned; false keeps the dialog open.
  std::function<void(const std::string&)> OnFolderChange;
  std::function<void(const std::string&)> OnSelectionChange;
  std::function<void(int)> OnTypeChange;
  std::function<bool(const std::string&)> CanClose;
};

struct TFileDialogResult {
  std::string Path;     // absolute
  int FilterIndex = 1;  // the type chosen when the dialog closed
};

// Runs the dialog modally for its owner (timers keep firing). Returns the
// chosen path, or nothing when cancelled. The save dialog does not ask before
// replacing an existing file unless OverwritePrompt is set.
std::optional<TFileDialogResult> RunFileDialog(const TFileDialogParams& params);

// ---- The folder logic (no windows) ----

struct TFileFilter {
  std::string Description;
  std::vector<std::string> Patterns;  // "*.jpg", "*.*"
};
// "JPEG|*.jpg;*.jpeg|Все файлы|*.*" → two filters. A description without a
// pattern gets "*".
std::vector<TFileFilter> ParseFileFilter(std::string_view filter);

// Whether a name matches a pattern with "*" and "?" ("?" is one character),
// ignoring the case of Latin and Cyrillic letters. "*.*" matches every name.
bool MatchesPattern(std::string_view name, std::string_view pattern);
bool MatchesAny(std::string_view name, const std::vector<std::string>& patterns);

struct TFolderEntry {
  std::string Name;     // as stored on disk (may be invalid UTF-8)
  std::string Display;  // valid UTF-8 for showing
  bool Folder = false;
};
struct TFolderListing {
  std::vector<TFolderEntry>
      Entries;        // folders first, then files; each sorted by name, case ignored
  std::string Error;  // non-empty when the folder could not be read
};
// Lists a folder: sub-folders and the files matching one of the patterns.
// Hidden entries (names starting with ".") are left out.
TFolderListing ListFolder(const std::string& folder, const std::vector<std::string>& patterns);

// Lower-cases Latin and Cyrillic letters of UTF-8 text (for comparing names).
std::string FoldCase(std::string_view s);
// Replaces bytes that are not valid UTF-8 with U+FFFD.
std::string ValidUtf8(std::string_view s);
// "/a/b/../c/." → "/a/c"; relative paths are taken from base; "~" is the home folder.
std::string ResolvePath(const std::string& base, std::string_view typed);
// "/", "/home", "/home/user" for "/home/user".
std::vector<std::string> FolderChain(const std::string& folder);

}  // namespace vm
