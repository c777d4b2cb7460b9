#include "input/Input.h"

#include <cmath>
#include <cstring>

namespace gravik {

namespace {

constexpr std::array<uint16_t, kKeySlotCount> kMode0Keys{38, 39, 40, 37, 13, 77, 27};
constexpr std::array<uint16_t, kKeySlotCount> kMode1Keys{200, 205, 208, 203, 28, 50, 1};
// Switching to mode 1 binds the keyboard's left-hand letters and punctuation.
constexpr std::array<uint16_t, kKeySlotCount> kMode1SwitchKeys{40, 45, 53, 44, 28, 50, 1};

constexpr const char* kSlotLabels[kKeySlotCount] = {"Up:",    "Right:", "Down:",        "Left:",
                                                    "Status:", "Map:",  "Lose a life: "};

const std::string kUnnamed = "???";

KeySlots SlotsOf(const std::array<uint16_t, kKeySlotCount>& keys) {
  KeySlots s;
  for (size_t i = 0; i < s.size(); ++i) s[i] = KeySlot{1, keys[i]};
  return s;
}

struct Name {
  uint8_t code;
  const char* text;
};

constexpr Name kMode0Names[] = {
    {13, "Enter"},      {16, "Shift"},     {20, "Caps lock"},   {27, "Escape"},     {32, "Space"},
    {33, "Page up"},    {34, "Page down"}, {35, "End"},         {36, "Home"},       {37, "Left arrow"},
    {38, "Up arrow"},   {39, "Right arrow"}, {40, "Down arrow"}, {45, "Insert"},    {46, "Del"},
    {186, ";"},         {190, "."},        {191, "/"},          {192, "'"},         {219, "["},
    {221, "]"},         {222, "#"},
};

constexpr Name kMode1Names[] = {
    {1, "Escape"},        {15, "???"},          {28, "Enter"},         {54, "Shift"},
    {57, "Space"},        {58, "Caps lock"},    {71, "7 (keypad)"},    {72, "8 (keypad)"},
    {73, "9 (keypad)"},   {75, "4 (keypad)"},   {76, "5 (keypad)"},    {77, "6 (keypad)"},
    {79, "1 (keypad)"},   {80, "2 (keypad)"},   {81, "3 (keypad)"},    {156, "Ins (keypad)"},
    {199, "Home"},        {200, "Up arrow"},    {201, "Page up"},      {203, "Left arrow"},
    {205, "Right arrow"}, {207, "End"},         {208, "Down arrow"},   {209, "Page down"},
    {210, "Insert"},      {211, "Del"},
};

// Scan code -> character code for mode 1's names; unlisted codes give 0.
constexpr std::array<uint8_t, 256> MakeScanTable() {
  std::array<uint8_t, 256> t{};
  t[1] = 27;
  for (int s = 2; s <= 10; ++s) t[s] = uint8_t(49 + (s - 2));  // 1..9
  t[11] = 48;
  t[13] = 61;
  t[14] = 8;
  t[15] = 9;
  const uint8_t row1[] = {81, 87, 69, 82, 84, 89, 85, 73, 79, 80, 91, 93, 13, 17};  // 16..29
  for (int i = 0; i < 14; ++i) t[16 + i] = row1[i];
  const uint8_t row2[] = {65, 83, 68, 70, 71, 72, 74, 75, 76, 59, 39};  // 30..40
  for (int i = 0; i < 11; ++i) t[30 + i] = row2[i];
  const uint8_t row3[] = {16, 92, 90, 88, 67, 86, 66, 78, 77, 44, 46, 47, 16, 42, 18, 32, 20};  // 42..58
  for (int i = 0; i < 17; ++i) t[42 + i] = row3[i];
  for (int s = 59; s <= 68; ++s) t[s] = uint8_t(112 + (s - 59));  // F1..F10
  const uint8_t pad[] = {144, 145, 103, 104, 105, 109, 100, 101, 102, 107, 97, 98, 99, 96, 110};  // 69..83
  for (int i = 0; i < 15; ++i) t[69 + i] = pad[i];
  t[87] = 122;
  t[88] = 123;
  t[156] = 13;
  t[157] = 17;
  t[181] = 111;
  t[184] = 18;
  t[199] = 36;
  t[200] = 38;
  t[201] = 33;
  t[203] = 37;
  t[205] = 39;
  t[207] = 35;
  t[208] = 40;
  t[209] = 34;
  t[210] = 45;
  t[211] = 46;
  t[219] = 91;
  t[220] = 92;
  t[221] = 93;
  return t;
}
constexpr std::array<uint8_t, 256> kScanToKey = MakeScanTable();

// Scan codes of the letters D, Q, S, W.
constexpr uint16_t kAudioScans[] = {32, 16, 31, 17};
constexpr uint16_t kAudioVks[] = {'D', 'Q', 'S', 'W'};

bool IsBlank(char c) { return c == ' '; }

void TrimBlanks(std::string& s) {
  size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  size_t e = s.size();
  while (e > b && IsBlank(s[e - 1])) --e;
  s = s.substr(b, e - b);
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// Characters a name may hold (after upper-casing).
constexpr const char kTypable[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ 1234567890-=.,()&!$@";

}  // namespace

KeySlots DefaultKeySlots(int mode) { return SlotsOf(mode == 1 ? kMode1Keys : kMode0Keys); }

KeySlots ModeSwitchKeySlots(int mode) { return SlotsOf(mode == 1 ? kMode1SwitchKeys : kMode0Keys); }

const char* KeySlotLabel(int slot) {
  return (slot >= 1 && slot <= kKeySlotCount) ? kSlotLabels[slot - 1] : "";
}

uint8_t ScanToKey(int scan) { return (scan >= 0 && scan < 256) ? kScanToKey[size_t(scan)] : 0; }

KeyNameTable BuildKeyNames(int mode) {
  KeyNameTable t;
  if (mode == 1) {
    for (int s = 0; s < 256; ++s) t[size_t(s)] = std::string(1, char(ScanToKey(s)));
    for (const Name& n : kMode1Names) t[n.code] = n.text;
    return t;
  }
  t.fill(kUnnamed);
  for (int c = 'A'; c <= 'Z'; ++c) t[size_t(c)] = std::string(1, char(c));
  for (const Name& n : kMode0Names) t[n.code] = n.text;
  for (int d = 1; d <= 9; ++d) t[size_t(96 + d)] = std::to_string(d) + " (keypad)";
  return t;
}

InputState::InputState() : Slots(DefaultKeySlots(0)), KeyNames(BuildKeyNames(0)) {}

void SetKeyboardMode(InputState& in, int mode) {
  in.KeyboardMode = mode == 1 ? 1 : 0;
  in.KeyNames = BuildKeyNames(in.KeyboardMode);
}

std::string SwitchKeyboardMode(InputState& in) {
  SetKeyboardMode(in, in.KeyboardMode == 0 ? 1 : 0);
  in.Slots = ModeSwitchKeySlots(in.KeyboardMode);
  return in.KeyboardMode == 0 ? "KBI Original" : "KBI New";
}

const std::string& KeyNameOf(const InputState& in, int code) {
  if (code < 0 || code > 255) return kUnnamed;
  return in.KeyNames[size_t(code)];
}

uint16_t KeyDown(const InputState& in, KeyState& keys, uint16_t code) {
  if (code > 255) return 0;
  if (in.KeyboardMode == 1) return keys.ScanDown(uint8_t(code)) ? 1000 : 0;
  return keys.AsyncKeyState(uint8_t(code));
}

bool SlotKeyDown(const InputState& in, KeyState& keys, int slot) {
  if (slot < 1 || slot > kKeySlotCount) return false;
  const KeySlot& s = in.Slot(slot);
  return s.Enabled && KeyDown(in, keys, s.Key) != 0;
}

void FlushKeys(const InputState& in, KeyState& keys) {
  for (const KeySlot& s : in.Slots) (void)KeyDown(in, keys, s.Key);
}

bool AudioLetterKeysFree(const InputState& in) {
  const uint16_t* letters = in.KeyboardMode == 1 ? kAudioScans : kAudioVks;
  for (const KeySlot& s : in.Slots)
    for (int i = 0; i < 4; ++i)
      if (s.Key == letters[i]) return false;
  return true;
}

JoystickReading ReadJoystick(const InputState& in, InputDevice& device) {
  JoystickReading r;
  const JoystickState j = device.Joystick();
  if (!j.present) {
    r.Error = "Joystick is Unplugged";
    return r;
  }
  r.Ok = true;
  r.PadButtons = j.buttons & kPadAllButtons;
  r.Buttons = j.buttons & kPadFaceButtons;
  const int64_t x = j.x, y = j.y;
  if (x < int64_t(in.JoyCentreX) - kJoystickDeadZone) r.Direction = kJoyLeft;
  if (x > int64_t(in.JoyCentreX) + kJoystickDeadZone) r.Direction |= kJoyRight;
  if (y < int64_t(in.JoyCentreY) - kJoystickDeadZone) r.Direction |= kJoyUp;
  if (y > int64_t(in.JoyCentreY) + kJoystickDeadZone) r.Direction |= kJoyDown;
  return r;
}

bool JoystickButton1(const InputState& in, InputDevice& device) { return ReadJoystick(in, device).Button(1); }
bool JoystickButton2(const InputState& in, InputDevice& device) { return ReadJoystick(in, device).Button(2); }

int PureJoystickDirection(uint8_t bits) {
  switch (bits) {
    case kJoyUp: return 1;
    case kJoyRight: return 2;
    case kJoyDown: return 3;
    case kJoyLeft: return 4;
    default: return 0;
  }
}

bool CalibrateJoystick(InputState& in, InputDevice& device) {
  int64_t sumX = 0, sumY = 0;
  int good = 0;
  for (int i = 0; i < 10; ++i) {
    const JoystickState j = device.Joystick();
    if (!j.present) continue;
    sumX += j.x;
    sumY += j.y;
    ++good;
  }
  if (good == 0) {
    in.JoyCentreX = in.JoyCentreY = kJoystickCentre;
    return false;
  }
  in.JoyCentreX = int32_t(std::nearbyint(double(sumX) / good));
  in.JoyCentreY = int32_t(std::nearbyint(double(sumY) / good));
  return true;
}

uint16_t CaptureScanKey(KeyState& keys) {
  uint16_t found = 0;
  int down = 0;
  for (int s = 1; s < 256; ++s) {
    if (!keys.ScanDown(uint8_t(s))) continue;
    found = uint16_t(s);
    ++down;
  }
  return down == 1 ? found : 0;
}

void StartKeyCapture(InputState& in, int slot) {
  if (slot < 1 || slot > kKeySlotCount) return;
  in.Capture.Waiting = true;
  in.Capture.Slot = slot;
}

bool AcceptCapturedKey(InputState& in, uint16_t key) {
  if (!in.Capture.Waiting || in.Capture.Slot < 1 || in.Capture.Slot > kKeySlotCount) return false;
  if (key == 0 || key == 8 || key > 255 || in.KeyNames[key] == kUnnamed) return false;
  for (int n = 1; n <= kKeySlotCount; ++n) {
    KeySlot& s = in.Slot(n);
    if (n != in.Capture.Slot && s.Enabled && s.Key == key) s = KeySlot{0, 0};
  }
  in.Slot(in.Capture.Slot) = KeySlot{1, key};
  in.Capture = KeyCaptureState{};
  return true;
}

void StartTextEntry(InputState& in, const std::string& text, size_t maxLength, bool digitsOnly,
                    bool upperCase) {
  in.TextEntry = TextEntryState{true, text, maxLength, digitsOnly, upperCase};
}

bool TextEntryKeyPress(TextEntryState& t, char c) {
  const std::string before = t.Text;
  if (c == 8) {
    if (!t.Text.empty()) t.Text.pop_back();
    return t.Text != before;
  }
  const unsigned char u = static_cast<unsigned char>(c);
  if (u < 32 || u > 126 || c == '<' || c == '>') return false;
  if (!std::strchr(kTypable, AsciiUpper(c))) return false;
  if (t.Text.size() >= t.MaxLength) return false;
  const bool isDigit = c >= '0' && c <= '9';
  bool appended = false;
  if (!t.DigitsOnly || isDigit) {
    t.Text.push_back(c);
    appended = true;
  }
  // Words may be separated, but a name never begins with a blank and keeps at
  // most one trailing blank.
  TrimBlanks(t.Text);
  if (appended && IsBlank(c) && !t.Text.empty()) t.Text.push_back(' ');
  if (t.UpperCase)
    for (char& ch : t.Text) ch = AsciiUpper(ch);
  return t.Text != before;
}

}  // namespace gravik
