// velmora-shot's work: the photo program started on the headless host, a
// picture opened through its own open dialog, one of its windows, dialogs or
// menus brought up as a user brings it up, and a picture of the screen taken
// while it is up. The program runs exactly as it runs on a display; only the
// host differs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Types.h"

namespace vm::shot {

// What to show when the picture is taken.
enum class TShowKind {
  Main,      // the main window alone
  Open,      // the open-picture dialog
  Save,      // the save-picture dialog (needs a picture)
  Resize,    // the size dialog (needs a picture)
  Compress,  // the quality dialog (needs a picture)
  Info,      // the about box
  Menu,      // a drop-down menu of the main window's menu bar
  SkinMenu,  // the main window's system menu with its skin chooser open
};

struct TShotOptions {
  std::string Open;  // a JPEG to open first (empty: none)
  std::string Skin;  // a skin the chooser offers, chosen first (empty: the stored skin)
  TShowKind Show = TShowKind::Main;
  std::string Menu;  // for TShowKind::Menu: the bar item's caption ("Файл") or 1-based number
  TSize Screen{1024, 768};
  bool Crop = false;  // cut the picture to the program's visible windows
  std::string Output;
  // Where the pixels that the active window's region leaves out go (empty:
  // nowhere), for comparing with the shape a desktop gives the window.
  std::string Holes;
};

// Parses the command line (argv[0] is skipped). Throws std::invalid_argument
// with a message for the user on anything it does not understand.
// "--help" gives nothing (the caller prints the usage).
std::optional<TShotOptions> ParseShotArgs(const std::vector<std::string>& args);
const char* ShotUsage();

struct TShotResult {
  TBitmap Picture;
  // Texts of the message boxes the program showed on the way (an open that
  // failed, a picture it could not read); each was answered with Enter.
  std::vector<std::string> Messages;
  // The window active when the picture was taken: its size and the
  // rectangles of its shape (window coordinates; none when it has no region).
  TSize ActiveSize;
  std::vector<TRect> ActiveShape;
};

// The "WIDTHxHEIGHT" line, then one "X Y" line per pixel of the window that
// the shape leaves out, row by row; "unshaped" alone without a shape.
std::string HolesText(TSize size, const std::vector<TRect>& shape);

// Runs the program on a headless host of the options' screen size with its
// working folder in a scratch folder (removed afterwards), brings up what
// the options ask for and takes the picture. Throws std::runtime_error when
// the thing to show cannot be brought up (a disabled command, no such menu).
TShotResult TakeShot(const TShotOptions& options);

}  // namespace vm::shot
