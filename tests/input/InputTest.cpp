// Key slots, key names, key capture, text entry and the joystick reader.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "input/Input.h"

namespace gravik {
namespace {

TEST(KeyNames, BothModesSpotChecks) {
  struct Case {
    int mode, code;
    std::string name;
  };
  const Case cases[] = {
      {0, 65, "A"},  {0, 37, "Left arrow"}, {0, 97, "1 (keypad)"}, {0, 105, "9 (keypad)"},
      {0, 222, "#"}, {0, 48, "???"},        {0, 112, "???"},        // digit row, F1: unnamed
      {1, 30, "A"},  {1, 11, "0"},          {1, 200, "Up arrow"},   {1, 71, "7 (keypad)"},
      {1, 15, "???"},                       // Tab, the one scan code refused by name
      {1, 59, "p"},                         // F1 names as character 112
      {1, 41, std::string(1, '\0')},        // no mapping: character 0
  };
  for (const Case& c : cases) EXPECT_EQ(BuildKeyNames(c.mode)[size_t(c.code)], c.name) << c.mode << "/" << c.code;
  InputState in;
  EXPECT_EQ(KeyNameOf(in, 256), "???");
}

TEST(ScanToKey, RangesAndUnmappedCodes) {
  const int mapped[][2] = {{1, 27},    {2, 49},    {10, 57},  {11, 48},  {29, 17},   {40, 39},  {58, 20},
                           {59, 112},  {68, 121},  {83, 110}, {88, 123}, {184, 18},  {221, 93}};
  for (const auto& m : mapped) EXPECT_EQ(ScanToKey(m[0]), m[1]) << m[0];
  for (int unmapped : {0, 12, 41, 84, 89, 222, 255, -1, 256}) EXPECT_EQ(ScanToKey(unmapped), 0) << unmapped;
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

TEST(KeyDown, ModeZeroRemembersATapUntilReadModeOneReadsNow) {
  InputState in;
  KeyState keys;
  keys.Press('M', 50);
  keys.Release('M', 50);
  EXPECT_NE(KeyDown(in, keys, 'M'), 0);  // tapped between two reads
  EXPECT_EQ(KeyDown(in, keys, 'M'), 0);
  keys.Press('M', 50);
  keys.Release('M', 50);
  FlushKeys(in, keys);  // M is slot 6's key
  EXPECT_EQ(KeyDown(in, keys, 'M'), 0);

  SetKeyboardMode(in, 1);
  keys.Press('M', 50);
  EXPECT_EQ(KeyDown(in, keys, 50), 1000);
  keys.Release('M', 50);
  EXPECT_EQ(KeyDown(in, keys, 50), 0);
}

TEST(KeyCapture, SameKeyClearsTheOtherSlotAndUnnamedKeysAreRefused) {
  InputState in;
  StartKeyCapture(in, kSlotStatus);
  for (uint16_t k : {0, 8, 48, 112, 256, 0x8000 | 65}) EXPECT_FALSE(AcceptCapturedKey(in, k)) << k;
  ASSERT_TRUE(AcceptCapturedKey(in, 77));  // M, held by the map slot
  EXPECT_EQ(in.Slot(kSlotStatus), (KeySlot{1, 77}));
  EXPECT_EQ(in.Slot(kSlotMap), (KeySlot{0, 0}));
  EXPECT_FALSE(AcceptCapturedKey(in, 65));  // nothing waits any more

  SetKeyboardMode(in, 1);
  StartKeyCapture(in, kSlotUp);
  EXPECT_FALSE(AcceptCapturedKey(in, 15));  // Tab
  EXPECT_TRUE(AcceptCapturedKey(in, 59));   // F1 has a one-character name
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

TEST(TextEntry, Rules) {
  EXPECT_EQ(Typed(" "), "");
  EXPECT_EQ(Typed("A  "), "A ");
  EXPECT_EQ(Typed("Jo  Bo"), "Jo Bo");
  EXPECT_EQ(Typed("a<b>c_#~"), "abc");
  EXPECT_EQ(Typed("(A&B)!$@.,-="), "(A&B)!$@.,-=");
  EXPECT_EQ(Typed(std::string("a\xA3\xE9" "b")), "ab");  // outside 32..126
  EXPECT_EQ(Typed("Gravik", 20, false, true), "GRAVIK");
  EXPECT_EQ(Typed("1a2 b3", 20, true), "123");
  EXPECT_EQ(Typed("ABCD\bEF", 4), "ABCE");
  EXPECT_EQ(Typed("A\b\b\bB"), "B");
  EXPECT_EQ(Typed("AB C", 3), "AB ");  // a trailing blank counts towards the maximum
}

// A joystick that answers a fixed series of reads, then is unplugged.
class ScriptedJoystick : public InputDevice {
 public:
  std::deque<JoystickState> reads;
  bool PollEvent(InputEvent&) override { return false; }
  bool WaitEvent(InputEvent&, int) override { return false; }
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

  EXPECT_EQ(PureJoystickDirection(kJoyLeft), 4);
  EXPECT_EQ(PureJoystickDirection(kJoyUp | kJoyLeft), 0);
}

TEST(Joystick, ButtonsAndTheUnpluggedError) {
  InputState in;
  ScriptedJoystick joy;
  joy.reads = {At(32768, 32768, 0x0A), JoystickState{false, 0, 0, 0x0F}};
  const JoystickReading r = ReadJoystick(in, joy);
  EXPECT_TRUE(r.Ok && r.Error.empty() && !r.Button(1) && r.Button(2) && r.Button(4));
  const JoystickReading none = ReadJoystick(in, joy);
  EXPECT_FALSE(none.Ok);
  EXPECT_EQ(none.Direction | none.Buttons, 0);
  EXPECT_EQ(none.Error, "Joystick is Unplugged");
}

// Start and Back never read as one of the game's buttons 1 to 4.
TEST(Joystick, StartAndBackStayOutOfTheFourButtons) {
  InputState in;
  ScriptedJoystick joy;
  joy.reads = {At(32768, 32768, kPadStart | kPadBack), At(32768, 32768, kPadStart | kPadA), JoystickState{false, 0, 0, 0xFF}};
  const JoystickReading both = ReadJoystick(in, joy);
  EXPECT_EQ(both.Buttons, 0);
  EXPECT_TRUE(both.Start() && both.Back());
  const JoystickReading startA = ReadJoystick(in, joy);
  EXPECT_EQ(startA.Buttons, 1);
  EXPECT_TRUE(startA.Start() && !startA.Back());
  EXPECT_EQ(ReadJoystick(in, joy).PadButtons, 0) << "nothing from an unplugged pad";
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
