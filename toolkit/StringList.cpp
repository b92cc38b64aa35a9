#include "toolkit/StringList.h"

#include <algorithm>
#include <stdexcept>

namespace vm {

void TStringList::CheckIndex(int index, bool allowEnd) const {
  if (index < 0 || index > Count() || (!allowEnd && index == Count()))
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TStringList::Strings(int index) const {
  CheckIndex(index, false);
  return items_[std::size_t(index)];
}

void TStringList::SetStrings(int index, const std::string& s) {
  CheckIndex(index, false);
  if (items_[std::size_t(index)] == s) return;
  items_[std::size_t(index)] = s;
  Changed();
}

int TStringList::Add(const std::string& s) {
  items_.push_back(s);
  Changed();
  return Count() - 1;
}

void TStringList::Insert(int index, const std::string& s) {
  CheckIndex(index, true);
  items_.insert(items_.begin() + index, s);
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index, false);
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TStringList::IndexOf(const std::string& s) const {
  auto it = std::find(items_.begin(), items_.end(), s);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

void TStringList::Assign(const TStringList& source) {
  if (&source == this) return;
  items_ = source.items_;
  Changed();
}

std::string TStringList::Text() const {
  std::string out;
  for (const std::string& s : items_) out += s + "\r\n";
  return out;
}

void TStringList::SetText(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  items_ = std::move(lines);
  Changed();
}

void TStringList::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0 && pending_) {
    pending_ = false;
    if (OnChange) OnChange();
  }
}

void TStringList::Changed() {
  if (updating_ > 0) {
    pending_ = true;
    return;
  }
  if (OnChange) OnChange();
}

}  // namespace vm
