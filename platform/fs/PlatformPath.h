// Paths of the platform the program is written for, on this host.
//
// The program names folders the platform's way: "c:\Skins", "..\Skins",
// "Skins\Small\". This host has no drives, so a name that starts with a drive
// letter names a folder inside the user's data folder for this program,
// $XDG_DATA_HOME/velmora/ (~/.local/share/velmora/ when the variable is unset,
// empty or not absolute): drive C is that folder itself and every other drive
// is the folder of its letter inside it ("d:\x" is velmora/D/x). Paths already
// absolute on this host stay as they are, and relative ones stay relative;
// only their backslashes become slashes. Every place that hands a platform
// name to the host's file functions goes through PlatformToHostPath.
#pragma once

#include <string>
#include <string_view>

namespace vm {

// The user's data folder for this program, with a trailing slash. Read from
// the environment on every call, so that a changed XDG_DATA_HOME holds at once.
std::string UserDataFolder();

// Whether the name starts with a drive letter and a colon ("c:", "C:\x",
// "d:/x"). Either case and either slash.
bool IsDrivePath(std::string_view name);

// The host path of a platform name (see the top of this file). A drive path
// never leaves its drive's folder: "." and ".." parts are resolved the way the
// platform resolves them at a drive's root, where ".." stays put. A trailing
// separator is kept as a trailing slash.
std::string PlatformToHostPath(std::string_view name);

// Makes sure the folder of a drive path exists: the data folder and every
// missing folder down to `hostFolder` are made with mode 0700 (readable by the
// user alone, as the data folder should be). `hostFolder` must lie inside
// UserDataFolder(); anything else is refused. On failure `why` gets the
// folder that could not be made and the system's reason.
bool EnsureDataFolder(const std::string& hostFolder, std::string* why = nullptr);

}  // namespace vm
