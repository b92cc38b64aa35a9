// The demo's main window: a framed, captioned top-level window with a menu
// bar ("Файл": open a picture, quit), a text field, a button that clears it,
// a line counting the characters typed and a line naming the picture chosen
// in the open-picture dialog (its path also goes into the title).
//
// For end-to-end tests it can mirror the field's text into a file after
// every change (written whole and renamed into place, so a reader never
// sees half of it), describe where its parts are in a second file named
// like the first with ".layout" appended, say which control has the keyboard
// focus (".focus": edit, clear or none), how many caption drags or border
// sizings have begun (".moves") and where the menu loop is (".menu": bar
// while the menu bar is entered, popup while a drop-down is open, none), so
// that a test can wait for these states instead of sleeping, and save a PNG
// of itself when it closes.
#pragma once

#include <string>

#include "platform/win/WinApi.h"

namespace vm::demo {

struct TDemoOptions {
  std::string RecordFile;  // empty: do not mirror the text
  std::string ShotFile;    // empty: no picture on close
};

class TDemoMainWindow {
 public:
  static constexpr const char* ClassName = "VelmoraDemo";
  static constexpr const char* Title = "Velmora Demo";
  enum : int { IdEdit = 101, IdClear = 102, IdOpen = 201, IdExit = 202 };

  static void Register();
  // Creates the window with its menu bar, centred on the screen, hidden.
  static HWND Create(const TDemoOptions& options);
  // The keyboard shortcuts of the menu's commands (Ctrl+O), for the loop's
  // TranslateAccelerator; made once, lives as long as the program.
  static HACCEL Accelerators();

 private:
  explicit TDemoMainWindow(const TDemoOptions& options) : options_(options) {}
  static LRESULT Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  void Layout(HWND hwnd);
  void Paint(HWND hwnd);
  void Record(HWND hwnd);
  void WriteLayout(HWND hwnd);
  void RecordFocus();
  void RecordMenu(const char* state);
  void OpenPicture(HWND hwnd);
  TRect StatusRect(HWND hwnd) const;
  TRect PictureRect(HWND hwnd) const;

  TDemoOptions options_;
  HWND edit_ = nullptr;
  HWND clear_ = nullptr;
  HWND lastFocus_ = nullptr;
  int moves_ = 0;        // WM_ENTERSIZEMOVE seen
  std::string picture_;  // the path chosen last in the open-picture dialog
  bool inMenuLoop_ = false;
};

// A 32 x 32 picture for the window's icon: a small landscape photograph.
TBitmap MakeDemoIcon();

}  // namespace vm::demo
