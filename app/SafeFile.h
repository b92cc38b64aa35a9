// Replacing a file without ever leaving it half written or emptied.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vm::app {

// Writes `data` to a temporary file in the target's folder, flushes it to the
// disk and renames it over `path`. On any failure the old file is untouched,
// the temporary file is removed and an Exception names the file and the cause.
// A new file gets the usual permissions (0666 less the umask); a replaced one
// keeps its own.
void WriteFileSafely(const std::string& path, std::span<const std::uint8_t> data);

}  // namespace vm::app
