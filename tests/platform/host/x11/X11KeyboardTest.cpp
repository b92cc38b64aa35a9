#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/host/HostKeys.h"
#include "platform/host/x11/X11Keyboard.h"

namespace vm {
namespace {

TEST(X11Keyboard, LatinKeysymsGiveLetterAndDigitCodesWhateverTheCase) {
  EXPECT_EQ(VirtualKeyFromKeysym(XK_a), 'A');
  EXPECT_EQ(VirtualKeyFromKeysym(XK_S), 'S');
  EXPECT_EQ(VirtualKeyFromKeysym(XK_z), 'Z');
  EXPECT_EQ(VirtualKeyFromKeysym(XK_0), '0');
  EXPECT_EQ(VirtualKeyFromKeysym(XK_KP_7), VK_NUMPAD0 + 7);
  EXPECT_EQ(VirtualKeyFromKeysym(XK_F12), VK_F12);
  EXPECT_EQ(VirtualKeyFromKeysym(XK_Return), VK_RETURN);
  EXPECT_EQ(VirtualKeyFromKeysym(XK_KP_Enter), VK_RETURN);
  EXPECT_EQ(VirtualKeyFromKeysym(XK_ISO_Left_Tab), VK_TAB);
  EXPECT_EQ(VirtualKeyFromKeysym(XK_Control_R), VK_CONTROL);
  EXPECT_EQ(VirtualKeyFromKeysym(XK_Alt_L), VK_MENU);
  EXPECT_EQ(VirtualKeyFromKeysym(XK_KP_Home), VK_HOME);
  EXPECT_EQ(VirtualKeyFromKeysym(XK_slash), VK_OEM_2);
  // Non-Latin and unknown keysyms have no code of their own.
  EXPECT_EQ(VirtualKeyFromKeysym(XK_Cyrillic_ya), 0);
  EXPECT_EQ(VirtualKeyFromKeysym(0x01000430), 0);
}

TEST(X11Keyboard, KeyPositionGivesCodesOnNonLatinKeymaps) {
  // evdev keycodes + 8: row starts of a PC keyboard.
  EXPECT_EQ(VirtualKeyFromKeycode(10), '1');
  EXPECT_EQ(VirtualKeyFromKeycode(19), '0');
  EXPECT_EQ(VirtualKeyFromKeycode(24), 'Q');
  EXPECT_EQ(VirtualKeyFromKeycode(38), 'A');
  EXPECT_EQ(VirtualKeyFromKeycode(39), 'S');
  EXPECT_EQ(VirtualKeyFromKeycode(52), 'Z');
  EXPECT_EQ(VirtualKeyFromKeycode(58), 'M');
  EXPECT_EQ(VirtualKeyFromKeycode(61), VK_OEM_2);
  EXPECT_EQ(VirtualKeyFromKeycode(51), VK_OEM_5);
  // Outside the block and past the ends of the rows.
  EXPECT_EQ(VirtualKeyFromKeycode(0), 0);
  EXPECT_EQ(VirtualKeyFromKeycode(62), 0);
  EXPECT_EQ(VirtualKeyFromKeycode(255), 0);
}

TEST(X11Keyboard, ScanCodesFollowSetOneWithTheExtendedFlag) {
  EXPECT_EQ(ScanCodeFromKeycode(9), 0x01);     // Escape
  EXPECT_EQ(ScanCodeFromKeycode(38), 0x1E);    // A
  EXPECT_EQ(ScanCodeFromKeycode(37), 0x1D);    // left Ctrl
  EXPECT_EQ(ScanCodeFromKeycode(105), 0x11D);  // right Ctrl
  EXPECT_EQ(ScanCodeFromKeycode(104), 0x11C);  // keypad Enter
  EXPECT_EQ(ScanCodeFromKeycode(111), 0x148);  // Up
  EXPECT_EQ(ScanCodeFromKeycode(119), 0x153);  // Delete
  EXPECT_EQ(ScanCodeFromKeycode(3), 0);
}

TEST(X11Keyboard, KeysymCodePointsCoverUnicodeLatinAndRussian) {
  EXPECT_EQ(CodePointFromKeysym(XK_a), 0x61u);
  EXPECT_EQ(CodePointFromKeysym(XK_eacute), 0xE9u);
  EXPECT_EQ(CodePointFromKeysym(0x01000416), 0x416u);  // a Unicode keysym
  EXPECT_EQ(CodePointFromKeysym(XK_Cyrillic_a), 0x430u);
  EXPECT_EQ(CodePointFromKeysym(XK_Cyrillic_A), 0x410u);
  EXPECT_EQ(CodePointFromKeysym(XK_Cyrillic_yu), 0x44Eu);
  EXPECT_EQ(CodePointFromKeysym(XK_Cyrillic_YU), 0x42Eu);
  EXPECT_EQ(CodePointFromKeysym(XK_Cyrillic_ya), 0x44Fu);
  EXPECT_EQ(CodePointFromKeysym(XK_Cyrillic_HARDSIGN), 0x42Au);
  EXPECT_EQ(CodePointFromKeysym(XK_Cyrillic_io), 0x451u);
  EXPECT_EQ(CodePointFromKeysym(XK_Cyrillic_IO), 0x401u);
  EXPECT_EQ(CodePointFromKeysym(XK_F1), 0u);
  EXPECT_EQ(CodePointFromKeysym(XK_Shift_L), 0u);
  // Every Russian letter from its keysym: а..я in keysym order maps onto the
  // alphabet without gaps or repeats.
  std::uint32_t seen[32] = {};
  for (unsigned long k = XK_Cyrillic_yu; k <= XK_Cyrillic_hardsign; ++k) {
    std::uint32_t cp = CodePointFromKeysym(k);
    ASSERT_GE(cp, 0x430u);
    ASSERT_LE(cp, 0x44Fu);
    ++seen[cp - 0x430];
  }
  for (std::uint32_t count : seen) EXPECT_EQ(count, 1u);
}

TEST(X11Keyboard, Utf8DecodesTextAndReplacesEveryMalformedSequence) {
  using V = std::vector<std::uint32_t>;
  EXPECT_EQ(DecodeUtf8("Ab"), (V{'A', 'b'}));
  EXPECT_EQ(DecodeUtf8("\xD0\x9F\xD1\x80\xD0\xB8"), (V{0x41F, 0x440, 0x438}));  // При
  EXPECT_EQ(DecodeUtf8("\xE2\x82\xAC"), (V{0x20AC}));
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x98\x80"), (V{0x1F600}));
  EXPECT_EQ(DecodeUtf8(""), V{});
  // A stray continuation byte, an overlong slash, an encoded surrogate, a
  // value past U+10FFFF, and a sequence cut off by the end of the text.
  EXPECT_EQ(DecodeUtf8("\x80z"), (V{0xFFFD, 'z'}));
  EXPECT_EQ(DecodeUtf8("\xC0\xAF"), (V{0xFFFD}));
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), (V{0xFFFD}));
  EXPECT_EQ(DecodeUtf8("\xF4\x90\x80\x80"), (V{0xFFFD}));
  EXPECT_EQ(DecodeUtf8("a\xE2\x82"), (V{'a', 0xFFFD}));
  // A lead byte followed by a non-continuation keeps the following character.
  EXPECT_EQ(DecodeUtf8("\xD0x"), (V{0xFFFD, 'x'}));
  EXPECT_EQ(DecodeUtf8("\xFF"), (V{0xFFFD}));
}

}  // namespace
}  // namespace vm
