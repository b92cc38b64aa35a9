// TOpenDialog: the dialog in which the user picks a file to open, as a
// component. Set Filter, FilterIndex, InitialDir, FileName, DefaultExt,
// Title and Options, call Execute; it returns true when a file was chosen
// and then FileName holds its full path and FilterIndex the file type the
// user had chosen. A cancelled dialog changes nothing.
//
// The dialog is modal for the program's active form (the main form when no
// form is active): that form is disabled until it closes, and timers keep
// firing meanwhile. TSaveDialog and the picture dialogs derive from it.
#pragma once

#include <functional>
#include <string>

#include "toolkit/Component.h"
#include "toolkit/Control.h"

namespace vm {

// Options: a flag set.
using TOpenOptions = unsigned;
// Save dialogs: asks before an existing file is replaced ("No" keeps the
// dialog open). Without it an existing file is chosen without a question.
inline constexpr TOpenOptions ofOverwritePrompt = 1u << 0;
// The dialog has no read-only check box in any case; the flag is kept for
// callers that ask for it to be hidden.
inline constexpr TOpenOptions ofHideReadOnly = 1u << 1;
// Set by Execute when the chosen name's extension is not DefaultExt.
inline constexpr TOpenOptions ofExtensionDifferent = 1u << 2;
// A name whose folder does not exist is refused with a note in the dialog.
inline constexpr TOpenOptions ofPathMustExist = 1u << 3;
// Open dialogs: a name that does not exist is refused with a note in the dialog.
inline constexpr TOpenOptions ofFileMustExist = 1u << 4;
// The user may resize the dialog.
inline constexpr TOpenOptions ofEnableSizing = 1u << 5;
// Keeps the process's current folder. Without it, a dialog that closes with
// a file makes that file's folder current, and a dialog without InitialDir
// or a folder in FileName opens in the current folder: the next dialog
// starts where the last file was chosen.
inline constexpr TOpenOptions ofNoChangeDir = 1u << 6;

class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* owner);
  std::string ClassName() const override { return "TOpenDialog"; }

  // "description|pattern|description|pattern", several patterns of one
  // type separated by ";" ("JPEG Image File (*.jpg)|*.jpg").
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& v) { filter_ = v; }
  // 1-based; a number outside the filter chooses the first type.
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int v) { filterIndex_ = v; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& v) { fileName_ = v; }
  // Empty: the folder of FileName, else the current folder.
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& v) { initialDir_ = v; }
  // Without the dot (a leading dot is dropped). Added to a name typed
  // without an extension: always in a save dialog, in an open dialog when a
  // file of that name exists.
  const std::string& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const std::string& v);
  // Empty: "Открыть" or "Сохранить как".
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v) { title_ = v; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions v) { options_ = v; }

  // Runs the dialog; true when the user chose a file.
  virtual bool Execute();

  // Just before the dialog appears and just after it has gone.
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
  // While the dialog runs: a new folder is listed (also the first one);
  // a file is selected in the list (FileName is that file meanwhile); the
  // file type changes (FilterIndex is the new one meanwhile).
  TNotifyEvent OnFolderChange;
  TNotifyEvent OnSelectionChange;
  TNotifyEvent OnTypeChange;
  // Asked before the dialog closes with FileName chosen; CanClose false
  // keeps it open. An exception from any of these is reported and, in
  // OnCanClose, keeps the dialog open.
  std::function<void(TComponent* Sender, bool& CanClose)> OnCanClose;

 protected:
  virtual bool IsSaveDialog() const { return false; }
  virtual bool HasPreview() const { return false; }
  // Runs an event handler; an exception goes to the application's report.
  // Returns false when it threw.
  bool Fire(const std::function<void()>& handler);

  std::string filter_;
  TOpenOptions options_ = ofHideReadOnly | ofPathMustExist | ofFileMustExist | ofEnableSizing;

 private:
  int filterIndex_ = 1;
  std::string fileName_;
  std::string initialDir_;
  std::string defaultExt_;
  std::string title_;
};

}  // namespace vm
