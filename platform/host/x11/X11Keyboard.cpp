#include "platform/host/x11/X11Keyboard.h"

#include <X11/keysym.h>

#include <algorithm>

#include "platform/host/HostKeys.h"

namespace vm {

namespace {

constexpr int VK_OEM_102 = 0xE2;  // the extra key left of Z on 102-key keyboards

struct TKeyPair {
  unsigned long Keysym;
  int Vk;
};

// Keys outside the printable Latin range. Left and right modifiers report the
// generic code, as the platform does in WM_KEYDOWN.
constexpr TKeyPair SpecialKeys[] = {
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN},
    {XK_Pause, VK_PAUSE},
    {XK_Scroll_Lock, VK_SCROLL},
    {XK_Escape, VK_ESCAPE},
    {XK_Delete, VK_DELETE},
    {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_Print, VK_SNAPSHOT},
    {XK_Insert, VK_INSERT},
    {XK_Menu, VK_APPS},
    {XK_Help, VK_HELP},
    {XK_Num_Lock, VK_NUMLOCK},
    {XK_KP_Home, VK_HOME},
    {XK_KP_Left, VK_LEFT},
    {XK_KP_Up, VK_UP},
    {XK_KP_Right, VK_RIGHT},
    {XK_KP_Down, VK_DOWN},
    {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT},
    {XK_KP_End, VK_END},
    {XK_KP_Begin, VK_CLEAR},
    {XK_KP_Insert, VK_INSERT},
    {XK_KP_Delete, VK_DELETE},
    {XK_KP_Multiply, VK_MULTIPLY},
    {XK_KP_Add, VK_ADD},
    {XK_KP_Separator, VK_SEPARATOR},
    {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Decimal, VK_DECIMAL},
    {XK_KP_Divide, VK_DIVIDE},
    {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL},
    {XK_Caps_Lock, VK_CAPITAL},
    {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},
    {XK_Meta_L, VK_MENU},
    {XK_Meta_R, VK_MENU},
    {XK_ISO_Level3_Shift, VK_MENU},
    {XK_Super_L, VK_LWIN},
    {XK_Super_R, VK_RWIN},
    {XK_space, VK_SPACE},
    {XK_minus, VK_OEM_MINUS},
    {XK_equal, VK_OEM_PLUS},
    {XK_plus, VK_OEM_PLUS},
    {XK_bracketleft, VK_OEM_4},
    {XK_bracketright, VK_OEM_6},
    {XK_semicolon, VK_OEM_1},
    {XK_apostrophe, VK_OEM_7},
    {XK_grave, VK_OEM_3},
    {XK_backslash, VK_OEM_5},
    {XK_comma, VK_OEM_COMMA},
    {XK_period, VK_OEM_PERIOD},
    {XK_slash, VK_OEM_2},
    {XK_less, VK_OEM_102},
};

// Evdev codes of the keys the platform reports with an extended set-1 code.
struct TExtendedKey {
  unsigned Evdev;
  int Scan;
};
constexpr TExtendedKey ExtendedKeys[] = {
    {96, 0x1C},  {97, 0x1D},  {98, 0x35},  {99, 0x37},  {100, 0x38}, {102, 0x47},
    {103, 0x48}, {104, 0x49}, {105, 0x4B}, {106, 0x4D}, {107, 0x4F}, {108, 0x50},
    {109, 0x51}, {110, 0x52}, {111, 0x53}, {125, 0x5B}, {126, 0x5C}, {127, 0x5D},
};

// Lower-case Cyrillic keysyms 0x6C0..0x6DF in keysym order; the upper-case
// keysyms 0x6E0..0x6FF follow the same order 0x20 lower in Unicode.
constexpr std::uint16_t CyrillicLower[32] = {
    0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,  //
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E,  //
    0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0436, 0x0432,  //
    0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,
};

// Evdev keycodes of the alphanumeric block, row by row, and what each key is
// labelled on a US keyboard.
struct TKeyRow {
  unsigned First;
  const char* Keys;
};
constexpr TKeyRow KeyRows[] = {
    {10, "1234567890-="},
    {24, "QWERTYUIOP[]"},
    {38, "ASDFGHJKL;'`"},
    {51, "\\ZXCVBNM,./"},
};

int VkOfAscii(char c) {
  if (c >= 'A' && c <= 'Z') return c;
  if (c >= '0' && c <= '9') return c;
  switch (c) {
    case '-':
      return VK_OEM_MINUS;
    case '=':
      return VK_OEM_PLUS;
    case '[':
      return VK_OEM_4;
    case ']':
      return VK_OEM_6;
    case ';':
      return VK_OEM_1;
    case '\'':
      return VK_OEM_7;
    case '`':
      return VK_OEM_3;
    case '\\':
      return VK_OEM_5;
    case ',':
      return VK_OEM_COMMA;
    case '.':
      return VK_OEM_PERIOD;
    case '/':
      return VK_OEM_2;
    default:
      return 0;
  }
}

}  // namespace

int VirtualKeyFromKeysym(unsigned long keysym) {
  if (keysym >= XK_a && keysym <= XK_z) return int(keysym - XK_a) + 'A';
  if (keysym >= XK_A && keysym <= XK_Z) return int(keysym - XK_A) + 'A';
  if (keysym >= XK_0 && keysym <= XK_9) return int(keysym - XK_0) + '0';
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return int(keysym - XK_KP_0) + VK_NUMPAD0;
  if (keysym >= XK_F1 && keysym <= XK_F24) return int(keysym - XK_F1) + VK_F1;
  for (const TKeyPair& p : SpecialKeys)
    if (p.Keysym == keysym) return p.Vk;
  return 0;
}

int VirtualKeyFromKeycode(unsigned keycode) {
  for (const TKeyRow& row : KeyRows) {
    std::string_view keys(row.Keys);
    if (keycode >= row.First && keycode < row.First + keys.size())
      return VkOfAscii(keys[keycode - row.First]);
  }
  if (keycode == 94) return VK_OEM_102;
  return 0;
}

int ScanCodeFromKeycode(unsigned keycode) {
  if (keycode < 8) return 0;
  const unsigned evdev = keycode - 8;
  // Up to F12, evdev numbers keys exactly as set 1 does.
  if (evdev < 0x59) return int(evdev);
  for (const TExtendedKey& k : ExtendedKeys)
    if (k.Evdev == evdev) return 0x100 | k.Scan;
  return 0;
}

std::uint32_t CodePointFromKeysym(unsigned long keysym) {
  if (keysym >= 0x01000000 && keysym <= 0x0110FFFF) return std::uint32_t(keysym - 0x01000000);
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
    return std::uint32_t(keysym);
  if (keysym >= 0x6C0 && keysym <= 0x6DF) return CyrillicLower[keysym - 0x6C0];
  if (keysym >= 0x6E0 && keysym <= 0x6FF) return CyrillicLower[keysym - 0x6E0] - 0x20u;
  switch (keysym) {
    case XK_Cyrillic_io:
      return 0x0451;
    case XK_Cyrillic_IO:
      return 0x0401;
    case XK_Ukrainian_ie:
      return 0x0454;
    case XK_Ukrainian_IE:
      return 0x0404;
    case XK_Ukrainian_i:
      return 0x0456;
    case XK_Ukrainian_I:
      return 0x0406;
    case XK_Ukrainian_yi:
      return 0x0457;
    case XK_Ukrainian_YI:
      return 0x0407;
    case XK_BackSpace:
      return 0x08;
    case XK_Tab:
      return 0x09;
    case XK_Return:
    case XK_KP_Enter:
      return 0x0D;
    case XK_Escape:
      return 0x1B;
    default:
      return 0;
  }
}

std::vector<std::uint32_t> DecodeUtf8(std::string_view text) {
  std::vector<std::uint32_t> out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    unsigned c = p[i];
    int extra = 0;
    std::uint32_t cp = 0, min = 0;
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, cp = c & 0x07, min = 0x10000;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < extra; ++k, ++j) {
      if (j >= n || (p[j] & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (p[j] & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);
      // Skip the lead byte and the continuation bytes that belonged to it.
      i = ok ? j : std::max(j, i + 1);
      continue;
    }
    out.push_back(cp);
    i = j;
  }
  return out;
}

}  // namespace vm
