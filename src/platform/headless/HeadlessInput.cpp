#include "platform/headless/HeadlessInput.h"

#include <cctype>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "base/Text.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/KeyCodes.h"

namespace gravik {

namespace {

constexpr size_t kMaxScriptBytes = 16u << 20;

std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> w;
  std::istringstream in(s);
  std::string t;
  while (in >> t) w.push_back(t);
  return w;
}

bool ParseInt(const std::string& s, long long lo, long long hi, long long& out) {
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(s.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  out = v;
  return true;
}

// What follows the first `words` words of `line` and the one blank after them,
// as written (the words are found as Words() finds them).
std::string RestOfLine(const std::string& line, int words) {
  auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  size_t at = 0;
  while (at < line.size() && static_cast<unsigned char>(line[at]) <= ' ') ++at;
  for (int word = 0; word < words; ++word) {
    while (at < line.size() && isBlank(line[at])) ++at;
    while (at < line.size() && !isBlank(line[at])) ++at;
  }
  if (at < line.size()) ++at;  // the one separating blank
  return at < line.size() ? line.substr(at) : std::string();
}

uint8_t ShiftBits(const KeyState& k) {
  uint8_t s = 0;
  if (k.VkDown(vk::Shift)) s |= kShiftBit;
  if (k.VkDown(vk::Control)) s |= kCtrlBit;
  if (k.VkDown(vk::Menu)) s |= kAltBit;
  return s;
}

}  // namespace

void HeadlessInput::Error(int lineNo, const std::string& message) {
  errors_.push_back(ScriptError{lineNo, message});
}

std::string HeadlessInput::ErrorText() const {
  std::string out;
  for (const ScriptError& e : errors_) {
    out += "line " + std::to_string(e.line) + ": " + e.message + "\n";
  }
  return out;
}

bool HeadlessInput::LoadScript(const std::string& path) {
  std::vector<uint8_t> raw;
  if (!ReadWholeFile(path, raw, kMaxScriptBytes)) {
    Error(0, "cannot read input script " + path);
    return false;
  }
  return ParseScript(std::string(raw.begin(), raw.end()));
}

bool HeadlessInput::ParseScript(const std::string& text) {
  const size_t errorsBefore = errors_.size();
  size_t pos = 0;
  int lineNo = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ParseLine(line, lineNo);
  }
  return errors_.size() == errorsBefore;
}

bool HeadlessInput::ParseLine(const std::string& line, int lineNo) {
  const std::string trimmed = Trim(line);
  if (trimmed.empty() || trimmed[0] == '#') return true;
  std::vector<std::string> w = Words(trimmed);
  long long frame = 0;
  if (!ParseInt(w[0], 0, UINT32_MAX, frame)) {
    Error(lineNo, "bad frame number '" + w[0] + "'");
    return false;
  }
  if (w.size() < 2) {
    Error(lineNo, "missing command");
    return false;
  }
  Scripted s;
  s.frame = uint32_t(frame);
  s.order = script_.size();
  InputEvent& ev = s.event;
  const std::string cmd = LowerCase(w[1]);
  const std::string sub = w.size() > 2 ? LowerCase(w[2]) : std::string();
  auto add = [&](const Scripted& item) {
    if (!script_.empty() && (item.frame < script_.back().frame)) sorted_ = false;
    script_.push_back(item);
  };

  if (cmd == "key") {
    if (w.size() != 4 || (sub != "down" && sub != "up" && sub != "tap")) {
      Error(lineNo, "expected 'key down|up|tap <name>'");
      return false;
    }
    int hidCode = ScancodeByName(w[3]);
    KeyCodes codes = MapScancode(hidCode);
    if (hidCode == 0 || (codes.vk == 0 && codes.scan == 0)) {
      Error(lineNo, "unknown key '" + w[3] + "'");
      return false;
    }
    ev.vk = codes.vk;
    ev.scan = codes.scan;
    ev.type = sub == "up" ? InputEventType::KeyUp : InputEventType::KeyDown;
    add(s);
    if (sub == "tap") {
      s.order = script_.size();
      s.event.type = InputEventType::KeyUp;
      add(s);
    }
    return true;
  }
  if (cmd == "text") {
    // Everything after "text " as typed, blanks included.
    std::string typed = RestOfLine(line, 2);
    if (IsValidUtf8(typed)) typed = Utf8ToWindows1252(typed);
    if (typed.empty()) {
      Error(lineNo, "'text' needs characters");
      return false;
    }
    ev.type = InputEventType::Text;
    ev.text = typed;
    add(s);
    return true;
  }
  if (cmd == "mouse") {
    long long x = 0, y = 0, b = 1;
    if ((sub == "move" || sub == "down" || sub == "up") && (w.size() == 5 || w.size() == 6) &&
        ParseInt(w[3], -100000, 100000, x) && ParseInt(w[4], -100000, 100000, y) &&
        (w.size() == 5 || ParseInt(w[5], 1, 3, b)) && !(sub == "move" && w.size() == 6)) {
      ev.type = sub == "move" ? InputEventType::MouseMove
                : sub == "down" ? InputEventType::MouseDown
                                : InputEventType::MouseUp;
      ev.x = int(x);
      ev.y = int(y);
      ev.button = sub == "move" ? 0 : int(b);
      add(s);
      return true;
    }
    long long n = 0;
    if (sub == "wheel" && w.size() == 4 && ParseInt(w[3], -100, 100, n) && n != 0) {
      ev.type = InputEventType::MouseWheel;
      ev.wheel = int(n);
      add(s);
      return true;
    }
    if ((sub == "enter" || sub == "leave") && w.size() == 3) {
      ev.type = sub == "enter" ? InputEventType::MouseEnter : InputEventType::MouseLeave;
      add(s);
      return true;
    }
    Error(lineNo, "bad mouse command");
    return false;
  }
  if (cmd == "focus") {
    if (w.size() == 3 && (sub == "lost" || sub == "gained")) {
      ev.type = sub == "lost" ? InputEventType::FocusLost : InputEventType::FocusGained;
      add(s);
      return true;
    }
    Error(lineNo, "expected 'focus lost|gained'");
    return false;
  }
  if (cmd == "joystick") {
    long long x = 0, y = 0, b = 0;
    if (w.size() == 3 && sub == "none") {
      s.isJoystick = true;
      s.joystick = JoystickState{};
      add(s);
      return true;
    }
    if (w.size() == 5 && ParseInt(w[2], 0, 65535, x) && ParseInt(w[3], 0, 65535, y) &&
        ParseInt(w[4], 0, kPadAllButtons, b)) {
      s.isJoystick = true;
      s.joystick.present = true;
      s.joystick.x = uint32_t(x);
      s.joystick.y = uint32_t(y);
      s.joystick.buttons = uint8_t(b);
      add(s);
      return true;
    }
    Error(lineNo, "expected 'joystick <x> <y> <buttons>' or 'joystick none'");
    return false;
  }
  if (cmd == "surface" && w.size() == 3 && sub == "reset") {
    ev.type = InputEventType::SurfaceReset;
    add(s);
    return true;
  }
  if (cmd == "shot") {
    const std::string path = Trim(RestOfLine(line, 2));
    if (path.empty()) {
      Error(lineNo, "'shot' needs a file name");
      return false;
    }
    if (!shots_.empty() && s.frame < shots_.back().frame) shotsSorted_ = false;
    shots_.push_back(ScriptShot{s.frame, path});
    return true;
  }
  if (cmd == "quit" && w.size() == 2) {
    ev.type = InputEventType::Quit;
    add(s);
    return true;
  }
  Error(lineNo, "unknown command '" + w[1] + "'");
  return false;
}

uint32_t HeadlessInput::LastScriptFrame() const {
  uint32_t last = 0;
  for (const Scripted& s : script_) last = std::max(last, s.frame);
  return last;
}

void HeadlessInput::BeginFrame(uint32_t frame) {
  if (!sorted_) {
    // Only the part not yet released is reordered.
    std::stable_sort(script_.begin() + std::ptrdiff_t(next_), script_.end(),
                     [](const Scripted& a, const Scripted& b) { return a.frame < b.frame; });
    sorted_ = true;
  }
  while (next_ < script_.size() && script_[next_].frame <= frame) {
    const Scripted& s = script_[next_++];
    if (s.isJoystick) {
      joystick_ = s.joystick;
    } else {
      pending_.push_back(s.event);
    }
  }
}

std::vector<ScriptShot> HeadlessInput::ShotsDue(uint32_t frame) {
  if (!shotsSorted_) {
    std::stable_sort(shots_.begin(), shots_.end(),
                     [](const ScriptShot& a, const ScriptShot& b) { return a.frame < b.frame; });
    shotsSorted_ = true;
  }
  const auto end = std::find_if(shots_.begin(), shots_.end(), [&](const ScriptShot& s) { return s.frame > frame; });
  std::vector<ScriptShot> due(shots_.begin(), end);
  shots_.erase(shots_.begin(), end);
  return due;
}

std::vector<ScriptShot> HeadlessInput::ShotsLeft() const {
  std::vector<ScriptShot> left = shots_;
  std::stable_sort(left.begin(), left.end(), [](const ScriptShot& a, const ScriptShot& b) { return a.frame < b.frame; });
  return left;
}

void HeadlessInput::Push(const InputEvent& ev) { pending_.push_back(ev); }

bool HeadlessInput::PollEvent(InputEvent& ev) {
  if (pending_.empty()) return false;
  ev = pending_.front();
  pending_.pop_front();
  switch (ev.type) {
    case InputEventType::KeyDown: {
      // A second "down" without "up" is an auto-repeat.
      ev.repeat = (ev.scan && keys_.ScanDown(ev.scan)) || (!ev.scan && keys_.VkDown(ev.vk));
      if (!ev.repeat) keys_.Press(ev.vk, ev.scan);
      ev.shift = ShiftBits(keys_);
      if (char c = ControlCharForScan(ev.scan)) {
        InputEvent t;
        t.type = InputEventType::Text;
        t.text = std::string(1, c);
        t.shift = ev.shift;
        pending_.push_front(t);
      }
      break;
    }
    case InputEventType::KeyUp: {
      uint8_t partner = PartnerModifierScan(ev.scan);
      keys_.Release(partner && keys_.ScanDown(partner) ? 0 : ev.vk, ev.scan);
      ev.shift = ShiftBits(keys_);
      break;
    }
    case InputEventType::MouseDown:
    case InputEventType::MouseUp:
    case InputEventType::MouseMove:
      mouseX_ = ev.x;
      mouseY_ = ev.y;
      ev.shift = ShiftBits(keys_);
      break;
    case InputEventType::FocusLost:
      keys_.ReleaseAll();
      break;
    default:
      break;
  }
  return true;
}

}  // namespace gravik
