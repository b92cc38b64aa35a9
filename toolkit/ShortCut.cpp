#include "toolkit/ShortCut.h"
#include "platform/base/AsciiCase.h"

#include <array>
#include <utility>

namespace vm {

namespace {

// Names of the keys that are not a letter or a digit, in the order the text
// of a shortcut is searched.
constexpr std::array<std::pair<int, std::string_view>, 32> KeyNames{{
    {VK_BACK, "BkSp"},      {VK_TAB, "Tab"},        {VK_ESCAPE, "Esc"},   {VK_RETURN, "Enter"},
    {VK_SPACE, "Space"},    {VK_PRIOR, "PgUp"},     {VK_NEXT, "PgDn"},    {VK_END, "End"},
    {VK_HOME, "Home"},      {VK_LEFT, "Left"},      {VK_UP, "Up"},        {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},      {VK_INSERT, "Ins"},     {VK_DELETE, "Del"},   {VK_ADD, "Num +"},
    {VK_SUBTRACT, "Num -"}, {VK_MULTIPLY, "Num *"}, {VK_DIVIDE, "Num /"}, {VK_OEM_PLUS, "="},
    {VK_OEM_MINUS, "-"},    {VK_OEM_COMMA, ","},    {VK_OEM_PERIOD, "."}, {VK_OEM_2, "/"},
    {VK_OEM_1, ";"},        {VK_OEM_3, "`"},        {VK_OEM_4, "["},      {VK_OEM_5, "\\"},
    {VK_OEM_6, "]"},        {VK_OEM_7, "'"},        {VK_PAUSE, "Pause"},  {VK_APPS, "Apps"},
}};

std::string KeyName(int key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
  // Appended rather than "F" + ...: GCC 12 at -O3 warns falsely (-Wrestrict)
  // about the prepend, which breaks release builds with -Werror.
  if (key >= VK_F1 && key <= VK_F1 + 23)
    return std::string("F").append(std::to_string(key - VK_F1 + 1));
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + std::to_string(key - VK_NUMPAD0);
  for (const auto& [vk, name] : KeyNames)
    if (vk == key) return std::string(name);
  return {};
}

// Strips a leading modifier name ("Ctrl+") from text; true when one was there.
bool TakePrefix(std::string_view& text, std::string_view prefix) {
  if (text.size() <= prefix.size() || !SameTextAscii(text.substr(0, prefix.size()), prefix))
    return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

TShortCut ShortCut(int key, TShiftState shift) {
  if (key <= 0 || key > 0xFF) return scNone;
  TShortCut s = TShortCut(key);
  if (shift & ssShift) s |= scShift;
  if (shift & ssCtrl) s |= scCtrl;
  if (shift & ssAlt) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut shortCut, int& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = 0;
  if (shortCut & scShift) shift |= ssShift;
  if (shortCut & scCtrl) shift |= ssCtrl;
  if (shortCut & scAlt) shift |= ssAlt;
}

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyName(shortCut & 0xFF);
  if (name.empty()) return {};
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + name;
}

TShortCut TextToShortCut(std::string_view text) {
  TShortCut mods = 0;
  for (bool more = true; more;) {
    more = false;
    if (TakePrefix(text, "Shift+")) mods |= scShift, more = true;
    if (TakePrefix(text, "Ctrl+")) mods |= scCtrl, more = true;
    if (TakePrefix(text, "Alt+")) mods |= scAlt, more = true;
  }
  if (text.empty()) return scNone;
  for (int key = 1; key <= 0xFF; ++key) {
    std::string name = KeyName(key);
    if (!name.empty() && SameTextAscii(name, text)) return TShortCut(key | mods);
  }
  return scNone;
}

}  // namespace vm
