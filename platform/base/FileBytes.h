// Reading a whole file into memory, the one way every layer does it: the
// size is checked before a byte is read, so a huge file (or a device, a pipe,
// a folder) is refused at once instead of filling memory, and every failure
// is an EFileReadError whose message names the file and the reason in the
// user's words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/Exceptions.h"

namespace vm {

enum class TFileReadFault {
  Open,      // the file cannot be opened (missing, no permission, ...)
  NotAFile,  // a folder, device or pipe
  TooLarge,  // larger than the caller's limit
  Read,      // an error while reading
};

class EFileReadError : public Exception {
 public:
  EFileReadError(const std::string& message, TFileReadFault fault, int error)
      : Exception(message), Fault(fault), Error(error) {}
  TFileReadFault Fault;
  int Error;  // errno, 0 when the fault is not the system's
};

// Reads the regular file at path in one piece; a file larger than maxBytes is
// refused from its size, before anything is allocated for it. A file that
// grows while it is read is cut at maxBytes + 1 and refused the same way.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path,
                                        std::uint64_t maxBytes = std::uint64_t(1) << 30);

}  // namespace vm
