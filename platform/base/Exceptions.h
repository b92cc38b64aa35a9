// The program's exception base and its conversion error, in the lowest layer
// so that every library can raise them. The classes whose message reaches
// the user as it stands (the toolkit's errors, conversions, file reads)
// derive from Exception and carry Russian text. The codecs (TBmpError,
// TJpegError, TPngError) and the skin container's stream errors keep their
// own types with technical English text; the layers above catch them and
// say what went wrong in the user's words.
#pragma once

#include <cerrno>
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

// Why a file operation failed, in the user's words, from the system's error
// number.
inline std::string SystemErrorText(int error) {
  switch (error) {
    case ENOENT:
      return "файл или папка не найдены";
    case ENOTDIR:
      return "в пути есть имя, которое не является папкой";
    case EISDIR:
      return "это папка, а не файл";
    case EACCES:
    case EPERM:
      return "доступ запрещён";
    case EROFS:
      return "диск доступен только для чтения";
    case ENOSPC:
      return "на диске нет места";
    case EDQUOT:
      return "превышена дисковая квота";
    case EFBIG:
      return "файл слишком велик";
    case ENAMETOOLONG:
      return "слишком длинное имя файла";
    case ELOOP:
      return "слишком много символических ссылок в пути";
    case EIO:
      return "ошибка ввода-вывода";
    case ENOMEM:
      return "недостаточно памяти";
    case EMFILE:
    case ENFILE:
      return "открыто слишком много файлов";
    case EBUSY:
    case ETXTBSY:
      return "файл занят";
    default:
      return "системная ошибка " + std::to_string(error);
  }
}

}  // namespace vm
