// TStringList: a list of texts with change notification. List controls keep
// their items in one (Items, Lines) and pass every change on to their window.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vm {

class TStringList {
 public:
  TStringList() = default;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;

  std::string ClassName() const { return "TStringList"; }

  int Count() const { return int(items_.size()); }
  // The text at an index; throws std::out_of_range for a bad index ("List index out of bounds").
  const std::string& Strings(int index) const;
  void SetStrings(int index, const std::string& s);
  // Appends and returns the new index.
  int Add(const std::string& s);
  void Insert(int index, const std::string& s);
  void Delete(int index);
  void Clear();
  // First index of s (exact match), or -1.
  int IndexOf(const std::string& s) const;
  void Assign(const TStringList& source);
  // The texts joined with "\r\n" after each; setting splits at CR LF, LF or CR.
  std::string Text() const;
  void SetText(const std::string& text);
  const std::vector<std::string>& Items() const { return items_; }

  // Groups several changes into one OnChange.
  void BeginUpdate() { ++updating_; }
  void EndUpdate();

  std::function<void()> OnChange;

 private:
  void Changed();
  void CheckIndex(int index, bool allowEnd) const;

  std::vector<std::string> items_;
  int updating_ = 0;
  bool pending_ = false;
};

using TStrings = TStringList;

}  // namespace vm
