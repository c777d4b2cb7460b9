#include <gtest/gtest.h>

#include "platform/Codepage.h"
#include "platform/KeyCodes.h"
#include "platform/KeyState.h"

namespace gravik {
namespace {

TEST(KeyState, PressedSinceLastReadInBothCodeSpaces) {
  KeyState k;
  EXPECT_EQ(k.AsyncKeyState(vk::Tab), 0);
  k.Press(vk::Tab, 0x0F);
  EXPECT_EQ(k.AsyncKeyState(vk::Tab), 0x8001);  // down, and pressed since the last read
  EXPECT_EQ(k.AsyncKeyState(vk::Tab), 0x8000);  // held: the pressed bit was consumed
  EXPECT_EQ(k.AsyncScanState(0x0F), 0x8001);    // the scan space keeps its own bit
  EXPECT_EQ(k.AsyncScanState(0x0F), 0x8000);

  // A tap between two reads: up again, but the press is still reported once.
  k.Press(vk::Left, 0xCB);
  k.Release(vk::Left, 0xCB);
  EXPECT_FALSE(k.VkDown(vk::Left));
  EXPECT_EQ(k.AsyncKeyState(vk::Left), 0x0001);
  EXPECT_EQ(k.AsyncKeyState(vk::Left), 0);
  EXPECT_EQ(k.AsyncScanState(0xCB), 0x0001);

  // Focus loss releases everything.
  k.Press('A', 0x1E);
  k.ReleaseAll();
  EXPECT_FALSE(k.VkDown('A'));
  EXPECT_FALSE(k.ScanDown(0x1E));
  EXPECT_FALSE(k.VkDown(vk::Tab));
}

TEST(KeyState, UnknownCodeZeroTouchesNothing) {
  KeyState k;
  k.Press(0, 0x56);
  EXPECT_FALSE(k.VkDown(0));
  EXPECT_TRUE(k.ScanDown(0x56));
  EXPECT_EQ(k.AsyncKeyState(0), 0);
}

TEST(KeyCodes, ImportantKeysMapToBothCodeSpaces) {
  struct Case {
    int hid;
    uint8_t vk, scan;
  } cases[] = {
      {hid::Up, 38, 200},      {hid::Right, 39, 205},   {hid::Down, 40, 208},
      {hid::Left, 37, 203},    {hid::Return, 13, 28},   {hid::Escape, 27, 1},
      {hid::Space, 32, 57},    {hid::Tab, 9, 15},       {hid::Backspace, 8, 14},
      {hid::LShift, 16, 42},   {hid::RShift, 16, 54},   {hid::LCtrl, 17, 29},
      {hid::RCtrl, 17, 157},   {hid::LAlt, 18, 56},     {hid::RAlt, 18, 184},
      {hid::A, 'A', 30},       {hid::A + 12, 'M', 50},  {hid::A + 16, 'Q', 16},
      {hid::A + 22, 'W', 17},  {hid::Z, 'Z', 44},       {hid::A + 23, 'X', 45},
      {hid::Digit1, '1', 2},   {hid::Digit0, '0', 11},  {hid::F1, 0x70, 59},
      {hid::F1 + 9, 0x79, 68}, {hid::F12, 0x7B, 88},    {hid::F1 + 10, 0x7A, 87},
      {hid::Kp1, 97, 79},      {hid::Kp1 + 8, 105, 73}, {hid::Kp0, 96, 82},
      {hid::KpEnter, 13, 156}, {84, 0x6F, 181},         {hid::Home, 36, 199},
      {hid::End, 35, 207},     {hid::PageUp, 33, 201},  {hid::PageDown, 34, 209},
      {hid::Insert, 45, 210},  {hid::Delete, 46, 211},  {hid::Pause, 0x13, 0xC5},
      {52, 192, 40},  // ' key: virtual key 192 is named "'", scan 40 as in the binding table
      {56, 191, 53},  // / key
      {50, 222, 43},  // # key (ISO)
      {57, 20, 58},   // Caps lock
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hid);
    EXPECT_EQ(MapScancode(c.hid), (KeyCodes{c.vk, c.scan}));
  }
  EXPECT_EQ(MapScancode(0), KeyCodes{});
  EXPECT_EQ(MapScancode(-5), KeyCodes{});
  EXPECT_EQ(MapScancode(100000), KeyCodes{});
}

TEST(KeyCodes, EveryLetterAndFunctionKeyHasDistinctCodes) {
  bool vkSeen[256] = {}, scanSeen[256] = {};
  auto check = [&](int hidCode) {
    KeyCodes k = MapScancode(hidCode);
    ASSERT_NE(k.vk, 0) << hidCode;
    ASSERT_NE(k.scan, 0) << hidCode;
    EXPECT_FALSE(vkSeen[k.vk]) << hidCode;
    EXPECT_FALSE(scanSeen[k.scan]) << hidCode;
    vkSeen[k.vk] = scanSeen[k.scan] = true;
  };
  for (int h = hid::A; h <= hid::Digit0; ++h) check(h);
  for (int h = hid::F1; h <= hid::F12; ++h) check(h);
  for (int h = hid::Kp1; h <= hid::Kp0; ++h) check(h);
}

TEST(KeyCodes, LayoutDecidesLetterVirtualKeysButNotScanCodes) {
  // AZERTY: the key in the Q position types 'a'.
  EXPECT_EQ(MapKey(hid::A + 16, 'a'), (KeyCodes{'A', 0x10}));
  // A German 'z' on the Y position.
  EXPECT_EQ(MapKey(hid::A + 24, 'z'), (KeyCodes{'Z', 0x15}));
  // Digits and the keypad keep their codes whatever the layout types.
  EXPECT_EQ(MapKey(hid::Digit1, '&'), (KeyCodes{'1', 2}));
  EXPECT_EQ(MapKey(hid::Kp1 + 4, 0x4000005D), (KeyCodes{0x65, 0x4C}));
  // A non-ASCII character on a letter key falls back to the position.
  EXPECT_EQ(MapKey(51, 0xF6), MapScancode(51));
  // Arrows and function keys never follow the keycode.
  EXPECT_EQ(MapKey(hid::Left, 'a'), (KeyCodes{37, 203}));
}

TEST(KeyCodes, ModifierPartnersAndControlCharacters) {
  EXPECT_EQ(PartnerModifierScan(0x2A), 0x36);
  EXPECT_EQ(PartnerModifierScan(0x36), 0x2A);
  EXPECT_EQ(PartnerModifierScan(0x1D), 0x9D);
  EXPECT_EQ(PartnerModifierScan(0xB8), 0x38);
  EXPECT_EQ(PartnerModifierScan(0x1E), 0);
  EXPECT_EQ(ControlCharForScan(0x0E), 8);
  EXPECT_EQ(ControlCharForScan(0x1C), 13);
  EXPECT_EQ(ControlCharForScan(0x9C), 13);
  EXPECT_EQ(ControlCharForScan(0x01), 27);
  EXPECT_EQ(ControlCharForScan(0x1E), 0);
}

TEST(KeyCodes, NamesForScripts) {
  EXPECT_EQ(ScancodeByName("left"), hid::Left);
  EXPECT_EQ(ScancodeByName("ENTER"), hid::Return);
  EXPECT_EQ(ScancodeByName("q"), hid::A + 16);
  EXPECT_EQ(ScancodeByName("7"), hid::Digit1 + 6);
  EXPECT_EQ(ScancodeByName("F10"), hid::F1 + 9);
  EXPECT_EQ(ScancodeByName("f13"), 104);
  EXPECT_EQ(ScancodeByName("KP0"), hid::Kp0);
  EXPECT_EQ(ScancodeByName("KP5"), hid::Kp1 + 4);
  EXPECT_EQ(ScancodeByName("F0"), 0);
  EXPECT_EQ(ScancodeByName("F99"), 0);
  EXPECT_EQ(ScancodeByName("Fx"), 0);
  EXPECT_EQ(ScancodeByName("Nope"), 0);
  EXPECT_EQ(ScancodeByName("!"), 0);
}

TEST(Codepage, Utf8ToWindows1252) {
  EXPECT_EQ(Utf8ToWindows1252("Abc 1-=.,()&"), "Abc 1-=.,()&");
  EXPECT_EQ(Utf8ToWindows1252("\xC2\xA3"), "\xA3");          // pound sign
  EXPECT_EQ(Utf8ToWindows1252("\xC3\xA9t\xC3\xA9"), "\xE9t\xE9");  // été
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x82\xAC"), "\x80");      // euro
  EXPECT_EQ(Utf8ToWindows1252("\xC5\x93"), "\x9C");          // oe ligature
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x84\xA2"), "\x99");      // trade mark
  // Characters 1252 lacks, control characters and broken sequences are dropped.
  EXPECT_EQ(Utf8ToWindows1252("a\xE4\xB8\xAD" "b"), "ab");   // CJK
  EXPECT_EQ(Utf8ToWindows1252("a\xF0\x9F\x98\x80" "b"), "ab");  // emoji
  EXPECT_EQ(Utf8ToWindows1252("a\tb\x7F" "c\xC2\x85"), "abc");
  EXPECT_EQ(Utf8ToWindows1252("a\xC3"), "a");                // truncated
  EXPECT_EQ(Utf8ToWindows1252("a\xC0\xA1" "b"), "ab");       // overlong
  EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80" "x"), "x");     // surrogate
  EXPECT_EQ(Utf8ToWindows1252("\xFF\xFE"), "");
}

TEST(Codepage, Windows1252ToUtf8RoundTrips) {
  std::string all;
  for (int b = 32; b < 256; ++b) {
    if (b == 127 || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
    all += char(b);
  }
  const std::string utf8 = Windows1252ToUtf8(all);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_EQ(Utf8ToWindows1252(utf8), all);
  EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xEF\xBF\xBD");
  EXPECT_EQ(ToDisplayUtf8("caf\xC3\xA9"), "caf\xC3\xA9");  // already UTF-8: kept
  EXPECT_EQ(ToDisplayUtf8("caf\xE9"), "caf\xC3\xA9");      // 1252: converted
  EXPECT_EQ(WithLfLineBreaks("ERROR:-\r\rx\r\ny\n"), "ERROR:-\n\nx\ny\n");
}

}  // namespace
}  // namespace gravik
