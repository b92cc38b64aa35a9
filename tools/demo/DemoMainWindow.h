// The demo's main window: a framed, captioned top-level window with a text
// field, a button that clears it and a line counting the characters typed.
//
// For end-to-end tests it can mirror the field's text into a file after
// every change (written whole and renamed into place, so a reader never
// sees half of it), describe where its parts are in a second file named
// like the first with ".layout" appended, say which control has the keyboard
// focus (".focus": edit, clear or none) and how many caption drags or border
// sizings have begun (".moves"), so that a test can wait for these states
// instead of sleeping, and save a PNG of itself when it closes.
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
  enum : int { IdEdit = 101, IdClear = 102 };

  static void Register();
  // Creates the window centred on the screen, hidden.
  static HWND Create(const TDemoOptions& options);

 private:
  explicit TDemoMainWindow(const TDemoOptions& options) : options_(options) {}
  static LRESULT Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  void Layout(HWND hwnd);
  void Paint(HWND hwnd);
  void Record(HWND hwnd);
  void WriteLayout(HWND hwnd);
  void RecordFocus();
  TRect StatusRect(HWND hwnd) const;

  TDemoOptions options_;
  HWND edit_ = nullptr;
  HWND clear_ = nullptr;
  HWND lastFocus_ = nullptr;
  int moves_ = 0;  // WM_ENTERSIZEMOVE seen
};

// A 32 x 32 picture for the window's icon: a small landscape photograph.
TBitmap MakeDemoIcon();

}  // namespace vm::demo
