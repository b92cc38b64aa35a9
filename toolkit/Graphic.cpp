#include "toolkit/Graphic.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <vector>

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
  throw EConvertError("Cannot assign a " + source.ClassName() + " to a " + ClassName());
}

void TGraphic::Assign(const TGraphic& source) {
  AssignError(source);
}

std::vector<std::uint8_t> TGraphic::ReadFileBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0 || !in) throw EFOpenError("Cannot read file \"" + fileName + "\"");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
    throw EFOpenError("Cannot read file \"" + fileName + "\"");
  return bytes;
}

std::vector<std::uint8_t> TGraphic::ReadStreamBytes(std::istream& stream) {
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(stream),
                                   std::istreambuf_iterator<char>());
}

void TGraphic::WriteStreamBytes(std::ostream& stream, const std::uint8_t* data, std::size_t size) {
  if (size > 0 && !stream.write(reinterpret_cast<const char*>(data), std::streamsize(size)))
    throw EWriteError("Stream write error");
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
  if (!out) throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
  if (!out.write(bytes.data(), std::streamsize(bytes.size())) || !out.flush())
    throw EWriteError("Cannot write file \"" + fileName + "\"");
}

}  // namespace vm::tk
