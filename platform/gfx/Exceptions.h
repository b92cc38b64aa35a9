// The program's exception base and its conversion error, in the lowest layer
// so that every library (skin model, painting, toolkit) raises and catches
// the same classes. An error is a C++ exception whose message is the text the
// application's error report shows.
#pragma once

#include <stdexcept>
#include <string>

namespace vm {

// The base of the program's own errors; Message() is the text shown to the user.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A value that cannot be converted: text to a number, one kind of object to
// another (assigning a picture to an object that cannot take it).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace vm
