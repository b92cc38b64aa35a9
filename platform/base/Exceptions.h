// The program's exception base and its conversion error, in the lowest layer
// so that every library (skin model, painting, toolkit) raises and catches
// the same classes. An error is a C++ exception whose message is the text the
// application's error report shows.
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
