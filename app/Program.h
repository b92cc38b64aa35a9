// The program block of Velmora: what runs from the start of the process to
// its end.
//
//   PrepareProcess()   process-wide preparations, before any window exists
//   CreateProgram()    the application object, its title and the four forms,
//                      created hidden in the order main window, about box,
//                      size dialog, quality dialog
//   app->Run()         shows the main window and runs the message loop until
//                      the exit command or the main window's close button
//   FinishProcess()    after the application (and with it every form) is gone
//
// VelmoraMain runs all of it on the current host. Tests and velmora-shot run
// the same steps on the headless host and drive the forms in between.
#pragma once

#include <memory>

#include "toolkit/Application.h"
#include "toolkit/Icon.h"

namespace vm::app {

inline constexpr const char* ProgramTitle = "Velmora v8.0";

// The version record of the platform, as the skin engine asks for it.
struct TOSVersionInfo {
  std::uint32_t dwOSVersionInfoSize = 0;  // set to 148 before the query
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
static_assert(sizeof(TOSVersionInfo) == 148);
inline constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;

// Fills the record (its size field must be 148); false for any other size.
bool GetVersionEx(TOSVersionInfo& info);

// Registers the "jpg" and "jpeg" picture extensions, records whether the
// platform is of the NT family, creates the skin engine's shared pixel
// accessors and its window announcer with the frame layer plugged into the
// manager's hook (every form gets its skinned frame when first activated),
// and takes the program's icons. Calling it again changes nothing.
void PrepareProcess();

// The program's icon (32 x 32 and 16 x 16), taken by PrepareProcess; empty
// before.
tk::TIcon& ProgramIcon();

// Steps 2 to 6 of the start on the current host (which must be set): the
// application object titled "Velmora v8.0" and the four forms, hidden, with
// frmMain, frmInfo, frmResize and frmCompress set. The caller owns the
// application; destroying it destroys the forms and clears the references.
std::unique_ptr<TApplication> CreateProgram();

// Releases what PrepareProcess took.
void FinishProcess();

// The whole run on the current host; returns the process's exit status.
int VelmoraMain();

}  // namespace vm::app
