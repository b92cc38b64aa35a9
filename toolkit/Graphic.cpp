#include "toolkit/Graphic.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <vector>

#include "platform/base/FileBytes.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

void TGraphic::Changed() {
  modified_ = true;
  if (OnChange) OnChange(this);
}

void TGraphic::AssignError(const TGraphic& source) const {
  throw EConvertError("Нельзя присвоить " + source.ClassName() + " объекту " + ClassName());
}

void TGraphic::Assign(const TGraphic& source) {
  AssignError(source);
}

// No picture the readers accept comes near 1 GiB, so a larger file, or
// anything that is not a regular file (a folder named like a picture), is
// refused before its bytes are read.
std::vector<std::uint8_t> TGraphic::ReadFileBytes(const std::string& fileName) {
  try {
    return ReadWholeFile(fileName);
  } catch (const EFileReadError& e) {
    throw EFOpenError(e.Message());
  }
}

std::vector<std::uint8_t> TGraphic::ReadStreamBytes(std::istream& stream) {
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(stream),
                                   std::istreambuf_iterator<char>());
}

void TGraphic::WriteStreamBytes(std::ostream& stream, const std::uint8_t* data, std::size_t size) {
  if (size > 0 && !stream.write(reinterpret_cast<const char*>(data), std::streamsize(size)))
    throw EWriteError("Ошибка записи в поток");
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  std::vector<std::uint8_t> bytes = ReadFileBytes(fileName);
  std::istringstream in(std::string(bytes.begin(), bytes.end()), std::ios::binary);
  bytes.clear();
  bytes.shrink_to_fit();
  LoadFromStream(in);
}

void TGraphic::SaveToFile(const std::string& fileName) {
  // Encoded into memory first, so that a picture that cannot be written
  // (an empty JPEG picture, a failing encode) leaves an existing file intact.
  std::ostringstream buffer(std::ios::binary);
  SaveToStream(buffer);
  const std::string bytes = std::move(buffer).str();
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out)
    throw EFCreateError("Не удалось создать файл \"" + fileName + "\": " + SystemErrorText(errno));
  if (!out.write(bytes.data(), std::streamsize(bytes.size())) || !out.flush())
    throw EWriteError("Не удалось записать файл \"" + fileName + "\"");
}

}  // namespace vm::tk
