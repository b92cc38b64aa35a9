// Variables shared by the photo program's windows, the working folder and the
// two working files in it, and the size line of the main window.
//
// The dialogs only record requests here; the main window reads them when it
// becomes active again and every second for its size line. Paths are joined
// as plain text. Some joins put a doubled separator between the folder and the
// file name; the file system reads it as one, so they name the same files.
#pragma once

#include <cstdint>
#include <string>

namespace vm::app {

extern std::string WorkDir;           // the working folder, see ChooseWorkFolder
extern std::int32_t Quality;          // 1..100
extern std::int32_t RequestedLength;  // pixels, for pictures taller than wide
extern std::int32_t RequestedWidth;   // pixels, for the others
extern bool PendingQuality;
extern bool PendingResize;
extern bool Modified;  // the shown picture differs from the backup

// The folder of the running executable, ending in a separator.
std::string ExecutableFolder();

// The working folder: "Temp/" beside the program when this user may write
// there (the build, a per-user install), else the user's
// own "$XDG_CACHE_HOME/velmora/Temp/" ("~/.cache/velmora/Temp/" when that
// variable is unset or relative), made with mode 0700. An installed program
// in a system folder so works for every user. Ends in a separator.
std::string ChooseWorkFolder(const std::string& exeFolder);
std::string UserWorkFolder();

// What the main window's creation sets: the working folder for `exeFolder`
// (which ends in a separator), with stale temporaries of killed saves
// removed from it, and the defaults. `Modified` is left alone.
void SetCreationDefaults(const std::string& exeFolder);

// Open and undo bring the editing state back to "as opened".
void ResetEditingState();

// The working files, joined exactly as each use does.
std::string BackupPath();         // WorkDir + "beckup.jpg": open writes, undo reads
std::string BackupMeasurePath();  // WorkDir + "/beckup.jpg": the size line measures
std::string WorkCopyPath();       // WorkDir + "/tmp.jpg": recompression writes, edits reload
std::string ResizeWritePath();    // WorkDir + "tmp.jpg": resize writes

// The size of whatever directory entry `path` names, found by a look-up that
// opens nothing; -1 when there is none. Sizes beyond the 32-bit range are
// held at its maximum instead of wrapping to a negative count.
std::int32_t EntrySize(const std::string& path);

// Whole kilobytes of a byte count, truncated toward zero (-1 gives 0).
std::int32_t Kilobytes(std::int32_t bytes);

// "Размер изображения: N Кб" for the work copy while Modified, else the backup.
std::string SizeLineText();

}  // namespace vm::app
