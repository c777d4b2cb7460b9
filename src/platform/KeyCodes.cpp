#include "platform/KeyCodes.h"

#include <array>

#include "base/Text.h"

namespace gravik {

namespace {

struct Row {
  uint16_t hid;
  uint8_t vk;
  uint8_t scan;
};

// Every key of a PC keyboard (plus the common media keys).
constexpr Row kRows[] = {
    // Letters A..Z: virtual keys 'A'..'Z'; DirectInput codes by row position.
    {4, 'A', 0x1E}, {5, 'B', 0x30}, {6, 'C', 0x2E}, {7, 'D', 0x20}, {8, 'E', 0x12},
    {9, 'F', 0x21}, {10, 'G', 0x22}, {11, 'H', 0x23}, {12, 'I', 0x17}, {13, 'J', 0x24},
    {14, 'K', 0x25}, {15, 'L', 0x26}, {16, 'M', 0x32}, {17, 'N', 0x31}, {18, 'O', 0x18},
    {19, 'P', 0x19}, {20, 'Q', 0x10}, {21, 'R', 0x13}, {22, 'S', 0x1F}, {23, 'T', 0x14},
    {24, 'U', 0x16}, {25, 'V', 0x2F}, {26, 'W', 0x11}, {27, 'X', 0x2D}, {28, 'Y', 0x15},
    {29, 'Z', 0x2C},
    // Digit row 1..9, 0.
    {30, '1', 0x02}, {31, '2', 0x03}, {32, '3', 0x04}, {33, '4', 0x05}, {34, '5', 0x06},
    {35, '6', 0x07}, {36, '7', 0x08}, {37, '8', 0x09}, {38, '9', 0x0A}, {39, '0', 0x0B},
    {40, 0x0D, 0x1C},  // Return
    {41, 0x1B, 0x01},  // Escape
    {42, 0x08, 0x0E},  // Backspace
    {43, 0x09, 0x0F},  // Tab
    {44, 0x20, 0x39},  // Space
    {45, 0xBD, 0x0C},  // - _
    {46, 0xBB, 0x0D},  // = +
    {47, 0xDB, 0x1A},  // [
    {48, 0xDD, 0x1B},  // ]
    {49, 0xDC, 0x2B},  // backslash (ANSI)
    {50, 0xDE, 0x2B},  // # ~ (ISO, beside Enter)
    {51, 0xBA, 0x27},  // ;
    {52, 0xC0, 0x28},  // ' @
    {53, 0xDF, 0x29},  // ` (grave)
    {54, 0xBC, 0x33},  // ,
    {55, 0xBE, 0x34},  // .
    {56, 0xBF, 0x35},  // /
    {57, 0x14, 0x3A},  // Caps lock
    // F1..F12
    {58, 0x70, 0x3B}, {59, 0x71, 0x3C}, {60, 0x72, 0x3D}, {61, 0x73, 0x3E}, {62, 0x74, 0x3F},
    {63, 0x75, 0x40}, {64, 0x76, 0x41}, {65, 0x77, 0x42}, {66, 0x78, 0x43}, {67, 0x79, 0x44},
    {68, 0x7A, 0x57}, {69, 0x7B, 0x58},
    {70, 0x2C, 0xB7},  // Print screen
    {71, 0x91, 0x46},  // Scroll lock
    {72, 0x13, 0xC5},  // Pause
    {73, 0x2D, 0xD2},  // Insert
    {74, 0x24, 0xC7},  // Home
    {75, 0x21, 0xC9},  // Page up
    {76, 0x2E, 0xD3},  // Delete
    {77, 0x23, 0xCF},  // End
    {78, 0x22, 0xD1},  // Page down
    {79, 0x27, 0xCD},  // Right
    {80, 0x25, 0xCB},  // Left
    {81, 0x28, 0xD0},  // Down
    {82, 0x26, 0xC8},  // Up
    {83, 0x90, 0x45},  // Num lock
    {84, 0x6F, 0xB5},  // keypad /
    {85, 0x6A, 0x37},  // keypad *
    {86, 0x6D, 0x4A},  // keypad -
    {87, 0x6B, 0x4E},  // keypad +
    {88, 0x0D, 0x9C},  // keypad Enter
    {89, 0x61, 0x4F}, {90, 0x62, 0x50}, {91, 0x63, 0x51},  // keypad 1..3
    {92, 0x64, 0x4B}, {93, 0x65, 0x4C}, {94, 0x66, 0x4D},  // keypad 4..6
    {95, 0x67, 0x47}, {96, 0x68, 0x48}, {97, 0x69, 0x49},  // keypad 7..9
    {98, 0x60, 0x52},   // keypad 0
    {99, 0x6E, 0x53},   // keypad .
    {100, 0xE2, 0x56},  // \ | (ISO, beside left Shift)
    {101, 0x5D, 0xDD},  // Application (menu)
    {102, 0x00, 0xDE},  // Power
    {103, 0x92, 0x8D},  // keypad =
    // F13..F24 (DirectInput knows F13..F15 only)
    {104, 0x7C, 0x64}, {105, 0x7D, 0x65}, {106, 0x7E, 0x66}, {107, 0x7F, 0}, {108, 0x80, 0},
    {109, 0x81, 0}, {110, 0x82, 0}, {111, 0x83, 0}, {112, 0x84, 0}, {113, 0x85, 0},
    {114, 0x86, 0}, {115, 0x87, 0},
    {118, 0x5D, 0xDD},  // Menu
    {127, 0xAD, 0xA0},  // Mute
    {128, 0xAF, 0xB0},  // Volume up
    {129, 0xAE, 0xAE},  // Volume down
    {133, 0x6C, 0xB3},  // keypad ,
    {135, 0xC1, 0x73},  // International 1 (ro)
    {136, 0x15, 0x70},  // International 2 (kana)
    {137, 0xDC, 0x7D},  // International 3 (yen)
    {138, 0x1C, 0x79},  // International 4 (convert)
    {139, 0x1D, 0x7B},  // International 5 (no convert)
    {224, 0x11, 0x1D},  // Left Ctrl
    {225, 0x10, 0x2A},  // Left Shift
    {226, 0x12, 0x38},  // Left Alt
    {227, 0x5B, 0xDB},  // Left Windows
    {228, 0x11, 0x9D},  // Right Ctrl
    {229, 0x10, 0x36},  // Right Shift
    {230, 0x12, 0xB8},  // Right Alt
    {231, 0x5C, 0xDC},  // Right Windows
    {258, 0xB0, 0x99},  // Next track
    {259, 0xB1, 0x90},  // Previous track
    {260, 0xB2, 0xA4},  // Stop
    {261, 0xB3, 0xA2},  // Play/pause
    {262, 0xAD, 0xA0},  // Mute
    {263, 0xB5, 0xED},  // Media select
    {264, 0xAC, 0xB2},  // WWW
    {265, 0xB4, 0xEC},  // Mail
    {266, 0xB7, 0xA1},  // Calculator
    {267, 0xB6, 0xEB},  // My computer
    {268, 0xAA, 0xE5},  // Browser search
    {269, 0xAC, 0xB2},  // Browser home
    {270, 0xA6, 0xEA},  // Browser back
    {271, 0xA7, 0xE9},  // Browser forward
    {272, 0xA9, 0xE8},  // Browser stop
    {273, 0xA8, 0xE7},  // Browser refresh
    {274, 0xAB, 0xE6},  // Browser favourites
    {282, 0x5F, 0xDF},  // Sleep
};

constexpr int kMaxHid = 512;

constexpr std::array<KeyCodes, kMaxHid> BuildTable() {
  std::array<KeyCodes, kMaxHid> t{};
  for (const Row& r : kRows) t[r.hid] = KeyCodes{r.vk, r.scan};
  return t;
}

constexpr std::array<KeyCodes, kMaxHid> kTable = BuildTable();

// Virtual-key code of a punctuation character (UK layout names), or 0.
uint8_t VkForChar(int ch) {
  switch (ch) {
    case ';': return 0xBA;
    case '=': case '+': return 0xBB;
    case ',': return 0xBC;
    case '-': return 0xBD;
    case '.': return 0xBE;
    case '/': return 0xBF;
    case '\'': return 0xC0;
    case '[': return 0xDB;
    case '\\': return 0xDC;
    case ']': return 0xDD;
    case '#': return 0xDE;
    case '`': return 0xDF;
    default: return 0;
  }
}

struct Named {
  const char* name;
  int hid;
};
constexpr Named kNames[] = {
    {"Enter", 40},      {"Return", 40},     {"Escape", 41},    {"Esc", 41},
    {"Backspace", 42},  {"Tab", 43},        {"Space", 44},     {"Minus", 45},
    {"Equals", 46},     {"LeftBracket", 47}, {"RightBracket", 48}, {"Backslash", 49},
    {"Hash", 50},       {"Semicolon", 51},  {"Apostrophe", 52}, {"Grave", 53},
    {"Comma", 54},      {"Period", 55},     {"Slash", 56},     {"CapsLock", 57},
    {"PrintScreen", 70}, {"ScrollLock", 71}, {"Pause", 72},    {"Insert", 73},
    {"Home", 74},       {"PageUp", 75},     {"Delete", 76},    {"Del", 76},
    {"End", 77},        {"PageDown", 78},   {"Right", 79},     {"Left", 80},
    {"Down", 81},       {"Up", 82},         {"NumLock", 83},   {"KPDivide", 84},
    {"KPMultiply", 85}, {"KPMinus", 86},    {"KPPlus", 87},    {"KPEnter", 88},
    {"KPPeriod", 99},   {"Shift", 225},     {"LShift", 225},   {"RShift", 229},
    {"Ctrl", 224},      {"LCtrl", 224},     {"RCtrl", 228},    {"Alt", 226},
    {"LAlt", 226},      {"RAlt", 230},
};

}  // namespace

KeyCodes MapScancode(int hidScancode) {
  if (hidScancode <= 0 || hidScancode >= kMaxHid) return KeyCodes{};
  return kTable[hidScancode];
}

KeyCodes MapKey(int hidScancode, int keycode) {
  KeyCodes k = MapScancode(hidScancode);
  if (k.vk == 0 && k.scan == 0) return k;
  const bool digitRow = hidScancode >= hid::Digit1 && hidScancode <= hid::Digit0;
  const bool keypad = hidScancode >= 84 && hidScancode <= 99;
  if (digitRow || keypad) return k;  // Windows keeps '0'..'9' and the keypad codes
  const bool letterOrPunct = (hidScancode >= hid::A && hidScancode <= hid::Z) ||
                             (hidScancode >= 45 && hidScancode <= 56) || hidScancode == 100;
  if (!letterOrPunct) return k;
  if (keycode >= 'a' && keycode <= 'z') {
    k.vk = uint8_t(keycode - 32);
  } else if (keycode >= 'A' && keycode <= 'Z') {
    k.vk = uint8_t(keycode);
  } else if (uint8_t v = VkForChar(keycode)) {
    k.vk = v;
  }
  return k;
}

uint8_t PartnerModifierScan(uint8_t scan) {
  switch (scan) {
    case 0x2A: return 0x36;
    case 0x36: return 0x2A;
    case 0x1D: return 0x9D;
    case 0x9D: return 0x1D;
    case 0x38: return 0xB8;
    case 0xB8: return 0x38;
    default: return 0;
  }
}

char ControlCharForScan(uint8_t scan) {
  switch (scan) {
    case 0x0E: return 8;
    case 0x0F: return 9;
    case 0x1C: case 0x9C: return 13;
    case 0x01: return 27;
    default: return 0;
  }
}

int ScancodeByName(const std::string& name) {
  if (name.size() == 1) {
    char c = name[0];
    if (c >= 'a' && c <= 'z') c = char(c - 32);
    if (c >= 'A' && c <= 'Z') return hid::A + (c - 'A');
    if (c >= '1' && c <= '9') return hid::Digit1 + (c - '1');
    if (c == '0') return hid::Digit0;
    return 0;
  }
  if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
    int n = 0;
    for (size_t i = 1; i < name.size(); ++i) {
      if (name[i] < '0' || name[i] > '9') return 0;
      n = n * 10 + (name[i] - '0');
    }
    if (n >= 1 && n <= 12) return hid::F1 + n - 1;
    if (n >= 13 && n <= 24) return 104 + n - 13;
    return 0;
  }
  if (name.size() == 3 && SameText(name.substr(0, 2), "KP") && name[2] >= '0' && name[2] <= '9') {
    return name[2] == '0' ? hid::Kp0 : hid::Kp1 + (name[2] - '1');
  }
  for (const Named& n : kNames) {
    if (SameText(name, n.name)) return n.hid;
  }
  return 0;
}

}  // namespace gravik
