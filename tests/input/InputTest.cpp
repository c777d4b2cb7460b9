// Key slots, key names, key capture, text entry and the joystick reader.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "input/Input.h"

namespace gravik {
namespace {

TEST(KeyNames, ModeZeroNamesVirtualKeys) {
  const KeyNameTable t = BuildKeyNames(0);
  EXPECT_EQ(t[65], "A");
  EXPECT_EQ(t[90], "Z");
  EXPECT_EQ(t[13], "Enter");
  EXPECT_EQ(t[37], "Left arrow");
  EXPECT_EQ(t[40], "Down arrow");
  EXPECT_EQ(t[97], "1 (keypad)");
  EXPECT_EQ(t[105], "9 (keypad)");
  EXPECT_EQ(t[222], "#");
  // The digit row, the keypad 0 and the function keys have no name.
  EXPECT_EQ(t[48], "???");
  EXPECT_EQ(t[96], "???");
  EXPECT_EQ(t[112], "???");
  EXPECT_EQ(t[0], "???");
}

TEST(KeyNames, ModeOneNamesScanCodesThroughTheirCharacter) {
  const KeyNameTable t = BuildKeyNames(1);
  EXPECT_EQ(t[30], "A");
  EXPECT_EQ(t[2], "1");
  EXPECT_EQ(t[11], "0");
  EXPECT_EQ(t[200], "Up arrow");
  EXPECT_EQ(t[203], "Left arrow");
  EXPECT_EQ(t[71], "7 (keypad)");
  EXPECT_EQ(t[156], "Ins (keypad)");
  EXPECT_EQ(t[15], "???");           // Tab: the one key refused by name
  EXPECT_EQ(t[59], "p");             // F1 names as character 112
  EXPECT_EQ(t[41], std::string(1, '\0'));  // no mapping: character 0
}

TEST(KeyNames, CodesAbove255ShowAsUnknown) {
  InputState in;
  EXPECT_EQ(KeyNameOf(in, 256), "???");
  EXPECT_EQ(KeyNameOf(in, 0xFFFF), "???");
  EXPECT_EQ(KeyNameOf(in, 77), "M");
}

TEST(ScanToKey, MapsRangesAndSingleCodes) {
  EXPECT_EQ(ScanToKey(1), 27);
  EXPECT_EQ(ScanToKey(2), 49);
  EXPECT_EQ(ScanToKey(10), 57);
  EXPECT_EQ(ScanToKey(11), 48);
  EXPECT_EQ(ScanToKey(16), 81);   // Q
  EXPECT_EQ(ScanToKey(29), 17);
  EXPECT_EQ(ScanToKey(40), 39);
  EXPECT_EQ(ScanToKey(58), 20);
  EXPECT_EQ(ScanToKey(59), 112);
  EXPECT_EQ(ScanToKey(68), 121);
  EXPECT_EQ(ScanToKey(83), 110);
  EXPECT_EQ(ScanToKey(88), 123);
  EXPECT_EQ(ScanToKey(184), 18);
  EXPECT_EQ(ScanToKey(221), 93);
  for (int unmapped : {0, 12, 41, 84, 86, 89, 155, 222, 255, -1, 256}) EXPECT_EQ(ScanToKey(unmapped), 0) << unmapped;
}

std::vector<uint16_t> KeysOf(const KeySlots& s) {
  std::vector<uint16_t> k;
  for (const KeySlot& slot : s) {
    EXPECT_EQ(slot.Enabled, 1);
    k.push_back(slot.Key);
  }
  return k;
}

TEST(KeySlots, DefaultsAndTheModeSwitch) {
  EXPECT_EQ(KeysOf(DefaultKeySlots(0)), (std::vector<uint16_t>{38, 39, 40, 37, 13, 77, 27}));
  EXPECT_EQ(KeysOf(DefaultKeySlots(1)), (std::vector<uint16_t>{200, 205, 208, 203, 28, 50, 1}));
  EXPECT_STREQ(KeySlotLabel(7), "Lose a life: ");
  EXPECT_STREQ(KeySlotLabel(8), "");

  InputState in;
  in.Slot(kSlotMap) = KeySlot{0, 0};
  EXPECT_EQ(SwitchKeyboardMode(in), "KBI New");
  EXPECT_EQ(in.KeyboardMode, 1);
  EXPECT_EQ(KeysOf(in.Slots), (std::vector<uint16_t>{40, 45, 53, 44, 28, 50, 1}));
  EXPECT_EQ(in.KeyNames[45], "X");
  EXPECT_EQ(SwitchKeyboardMode(in), "KBI Original");
  EXPECT_EQ(KeysOf(in.Slots), (std::vector<uint16_t>{38, 39, 40, 37, 13, 77, 27}));
  EXPECT_EQ(in.KeyNames[45], "Insert");
}

TEST(KeyDown, ModeZeroRemembersAPressUntilRead) {
  InputState in;
  KeyState keys;
  keys.Press('M', 50);
  keys.Release('M', 50);
  EXPECT_NE(KeyDown(in, keys, 'M'), 0);  // tapped between two reads
  EXPECT_EQ(KeyDown(in, keys, 'M'), 0);
  keys.Press('M', 50);
  keys.Release('M', 50);
  FlushKeys(in, keys);                   // M is slot 6's key
  EXPECT_EQ(KeyDown(in, keys, 'M'), 0);
  EXPECT_EQ(KeyDown(in, keys, 300), 0);
}

TEST(KeyDown, ModeOneReadsTheScanCodeNow) {
  InputState in;
  SetKeyboardMode(in, 1);
  KeyState keys;
  keys.Press('M', 50);
  EXPECT_EQ(KeyDown(in, keys, 50), 1000);
  keys.Release('M', 50);
  EXPECT_EQ(KeyDown(in, keys, 50), 0);
  in.Slot(kSlotMap).Enabled = 0;
  keys.Press('M', 50);
  EXPECT_FALSE(SlotKeyDown(in, keys, kSlotMap));
}

TEST(KeyCapture, SameKeyClearsTheOtherSlot) {
  InputState in;
  StartKeyCapture(in, kSlotStatus);
  ASSERT_TRUE(AcceptCapturedKey(in, 77));  // M, held by the map slot
  EXPECT_EQ(in.Slot(kSlotStatus), (KeySlot{1, 77}));
  EXPECT_EQ(in.Slot(kSlotMap), (KeySlot{0, 0}));
  EXPECT_FALSE(in.Capture.Waiting);
  EXPECT_FALSE(AcceptCapturedKey(in, 65));  // nothing waits any more
}

TEST(KeyCapture, RefusesBackspaceUnnamedAndWideKeys) {
  InputState in;
  StartKeyCapture(in, kSlotUp);
  for (uint16_t k : {uint16_t(0), uint16_t(8), uint16_t(48), uint16_t(112), uint16_t(256), uint16_t(0x8000 | 65)})
    EXPECT_FALSE(AcceptCapturedKey(in, k)) << k;
  EXPECT_TRUE(in.Capture.Waiting);
  EXPECT_EQ(in.Slot(kSlotUp).Key, 38);

  SetKeyboardMode(in, 1);
  EXPECT_FALSE(AcceptCapturedKey(in, 15));  // Tab
  EXPECT_TRUE(AcceptCapturedKey(in, 59));   // F1 has a (one-character) name
  EXPECT_EQ(in.Slot(kSlotUp).Key, 59);
}

TEST(KeyCapture, ScanCaptureNeedsExactlyOneKey) {
  KeyState keys;
  EXPECT_EQ(CaptureScanKey(keys), 0);
  keys.Press(0, 200);
  EXPECT_EQ(CaptureScanKey(keys), 200);
  keys.Press(0, 30);
  EXPECT_EQ(CaptureScanKey(keys), 0);
  keys.Release(0, 200);
  EXPECT_EQ(CaptureScanKey(keys), 30);
}

std::string Typed(const std::string& keys, size_t max = 20, bool digits = false, bool upper = false) {
  InputState in;
  StartTextEntry(in, "", max, digits, upper);
  for (char c : keys) TextEntryKeyPress(in.TextEntry, c);
  return in.TextEntry.Text;
}

TEST(TextEntry, BlanksNeverLeadAndOneMayTrail) {
  EXPECT_EQ(Typed(" "), "");
  EXPECT_EQ(Typed("  A"), "A");
  EXPECT_EQ(Typed("A  "), "A ");
  EXPECT_EQ(Typed("Jo  Bo"), "Jo Bo");
}

TEST(TextEntry, FiltersCharacters) {
  EXPECT_EQ(Typed("a<b>c"), "abc");
  EXPECT_EQ(Typed("x_y#z~"), "xyz");
  EXPECT_EQ(Typed("(A&B)!$@.,-="), "(A&B)!$@.,-=");
  EXPECT_EQ(Typed(std::string("a\xA3\xE9" "b")), "ab");  // outside 32..126
  EXPECT_EQ(Typed("Gravik"), "Gravik");
  EXPECT_EQ(Typed("Gravik", 20, false, true), "GRAVIK");
  EXPECT_EQ(Typed("1a2 b3", 20, true), "123");
}

TEST(TextEntry, MaximumLengthAndBackspace) {
  EXPECT_EQ(Typed("ABCDEF", 4), "ABCD");
  EXPECT_EQ(Typed("ABCD\bE", 4), "ABCE");
  EXPECT_EQ(Typed("A\b\b\bB"), "B");
  // A trailing blank counts towards the maximum.
  EXPECT_EQ(Typed("AB C", 3), "AB ");
}

// A joystick that answers a fixed series of reads, then is unplugged.
class ScriptedJoystick : public InputDevice {
 public:
  std::deque<JoystickState> reads;
  bool PollEvent(InputEvent&) override { return false; }
  KeyState& Keys() override { return keys_; }
  void MousePosition(int& x, int& y) override { x = y = 0; }
  JoystickState Joystick() override {
    if (reads.empty()) return JoystickState{};
    JoystickState j = reads.front();
    reads.pop_front();
    return j;
  }

 private:
  KeyState keys_;
};

JoystickState At(uint32_t x, uint32_t y, uint8_t buttons = 0) { return JoystickState{true, x, y, buttons}; }

TEST(Joystick, DirectionOutsideTheDeadZoneOnly) {
  InputState in;
  ScriptedJoystick joy;
  auto dir = [&](uint32_t x, uint32_t y) {
    joy.reads = {At(x, y)};
    return ReadJoystick(in, joy).Direction;
  };
  EXPECT_EQ(dir(32768, 32768), 0);
  EXPECT_EQ(dir(22768, 42768), 0);  // exactly on the dead zone's edge
  EXPECT_EQ(dir(22767, 32768), kJoyLeft);
  EXPECT_EQ(dir(42769, 32768), kJoyRight);
  EXPECT_EQ(dir(32768, 0), kJoyUp);
  EXPECT_EQ(dir(65535, 65535), kJoyRight | kJoyDown);

  EXPECT_EQ(PureJoystickDirection(kJoyUp), 1);
  EXPECT_EQ(PureJoystickDirection(kJoyRight), 2);
  EXPECT_EQ(PureJoystickDirection(kJoyDown), 3);
  EXPECT_EQ(PureJoystickDirection(kJoyLeft), 4);
  EXPECT_EQ(PureJoystickDirection(kJoyUp | kJoyLeft), 0);
  EXPECT_EQ(PureJoystickDirection(0), 0);
}

TEST(Joystick, ButtonsAndTheUnpluggedError) {
  InputState in;
  ScriptedJoystick joy;
  joy.reads = {At(32768, 32768, 0x0A)};
  const JoystickReading r = ReadJoystick(in, joy);
  EXPECT_TRUE(r.Ok);
  EXPECT_TRUE(r.Error.empty());
  EXPECT_FALSE(r.Button(1));
  EXPECT_TRUE(r.Button(2));
  EXPECT_TRUE(r.Button(4));

  joy.reads = {JoystickState{false, 0, 0, 0x0F}};
  const JoystickReading none = ReadJoystick(in, joy);
  EXPECT_FALSE(none.Ok);
  EXPECT_EQ(none.Direction, 0);
  EXPECT_EQ(none.Buttons, 0);
  EXPECT_EQ(none.Error, "Joystick is Unplugged");
  EXPECT_FALSE(JoystickButton1(in, joy));
}

TEST(Joystick, CalibrationAveragesTheGoodReads) {
  InputState in;
  ScriptedJoystick joy;
  joy.reads = {At(10000, 40000), At(20000, 40001), At(31001, 40001)};  // then unplugged
  EXPECT_TRUE(CalibrateJoystick(in, joy));
  EXPECT_EQ(in.JoyCentreX, 20334);  // 61001 / 3, rounded
  EXPECT_EQ(in.JoyCentreY, 40001);  // 120002 / 3 = 40000.67
  // The new centre moves the dead zone with it.
  joy.reads = {At(10335, 40001)};
  EXPECT_EQ(ReadJoystick(in, joy).Direction, 0);
  joy.reads = {At(10333, 40001)};
  EXPECT_EQ(ReadJoystick(in, joy).Direction, kJoyLeft);
  // No good read: back to the middle.
  EXPECT_FALSE(CalibrateJoystick(in, joy));
  EXPECT_EQ(in.JoyCentreX, 32768);
  EXPECT_EQ(in.JoyCentreY, 32768);
}

TEST(AudioKeys, UsableOnlyWhileNoLetterIsBound) {
  InputState in;
  EXPECT_TRUE(AudioLetterKeysFree(in));
  in.Slot(kSlotUp).Key = 'W';
  EXPECT_FALSE(AudioLetterKeysFree(in));
  SetKeyboardMode(in, 1);
  in.Slots = DefaultKeySlots(1);
  EXPECT_TRUE(AudioLetterKeysFree(in));
  in.Slot(kSlotLeft).Key = 32;  // D's scan code
  EXPECT_FALSE(AudioLetterKeysFree(in));
}

}  // namespace
}  // namespace gravik
