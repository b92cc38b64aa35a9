// The toolkit's exception classes, beside the program-wide Exception and
// EConvertError (platform/base/Exceptions.h). Every error the toolkit raises is
// one of these: a C++ exception carrying the message the application's error report
// shows. Library errors (libjpeg, the BMP reader, file I/O) are caught at the
// toolkit's boundary and raised again as one of these with their message.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/base/Exceptions.h"

namespace vm {

// An operation that the object's current state does not allow.
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// A picture that cannot be read: unknown file extension, damaged or
// unsupported data.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// An operation a picture does not support (resizing a JPEG picture, a scan
// line outside the bitmap, saving an empty picture).
class EInvalidGraphicOperation : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be opened for reading, or created for writing.
class EFOpenError : public Exception {
 public:
  using Exception::Exception;
};
class EFCreateError : public Exception {
 public:
  using Exception::Exception;
};

// A stream that cannot be written completely.
class EWriteError : public Exception {
 public:
  using Exception::Exception;
};

// A decimal whole number that fits a signed 32-bit integer (surrounding
// blanks and a leading plus sign allowed), or nothing.
std::optional<std::int32_t> ParseInt32(const std::string& text);

}  // namespace vm
