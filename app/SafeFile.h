// Replacing a file without ever leaving it half written or emptied.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vm::app {

// Writes `data` to a new file in the target's folder, flushes it to the disk
// and renames it over `path`, so the target holds either its old or its whole
// new content whatever happens. On any failure the old file is untouched, no
// temporary file is left and an Exception names the file and the cause.
//
// - A target the user may not write (mode 0444, say) is refused with the
//   access-denied message a plain write would give, although its folder would
//   let a rename replace it.
// - A symbolic link is written through: its final target is replaced (in the
//   target's own folder) and the link stays as it was.
// - A file with several hard links is replaced under the name given; its
//   other names keep the previous content. Rewriting the shared file in place
//   would keep the link but could leave it half written; the save stays
//   atomic instead.
// - The content is written into an unnamed file (O_TMPFILE) where the file
//   system offers one and named only once complete and synced; elsewhere it
//   goes into a hidden temporary of fixed short length, so a 255-byte target
//   name never makes the temporary's name too long. Temporaries are named
//   ".velmora-<pid>-XXXXXX"; RemoveStaleTemporaries clears those of
//   processes that have ended.
// A new file gets the usual permissions (0666 less the umask); a replaced one
// keeps its own.
void WriteFileSafely(const std::string& path, std::span<const std::uint8_t> data);

// Removes the temporaries WriteFileSafely left in `folder` (which ends in a
// separator) when its process was killed between writing and renaming. Only
// names of our own pattern whose process no longer runs are removed.
void RemoveStaleTemporaries(const std::string& folder);

}  // namespace vm::app
