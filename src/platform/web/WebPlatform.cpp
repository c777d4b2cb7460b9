#include "platform/web/WebPlatform.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/Types.h"
#include "platform/Codepage.h"
#include "platform/KeyCodes.h"

namespace gravik {

// ---------------------------------------------------------------------------
// Clock

WebClock::WebClock() : start_(emscripten_get_now()) {}

uint32_t WebClock::TickCount() { return uint32_t(uint64_t(emscripten_get_now() - start_)); }

uint64_t WebClock::PerfCounter() { return uint64_t((emscripten_get_now() - start_) * 1000.0); }

// ---------------------------------------------------------------------------
// Display

bool WebDisplay::StartDrawing(bool) {
  // The canvas is always there; "full screen" is the page's own business.
  drawing_ = true;
  return true;
}

void WebDisplay::Present(const uint16_t* pixels, int width, int height, int pitch) {
  if (!drawing_ || width <= 0 || height <= 0) return;
  rgba_.resize(size_t(width) * size_t(height) * 4);
  uint32_t* out = reinterpret_cast<uint32_t*>(rgba_.data());
  for (int y = 0; y < height; ++y) {
    const uint16_t* row = pixels + size_t(y) * size_t(pitch);
    for (int x = 0; x < width; ++x) *out++ = FromRgb565(row[x]) | 0xFF000000u;
  }
  EM_ASM({ Module.gravikPage.draw($0, $1, $2); }, rgba_.data(), width, height);
}

void WebDisplay::SetTitle(const std::string& title) {
  const std::string utf8 = ToDisplayUtf8(title);
  EM_ASM({ document.title = UTF8ToString($0); }, utf8.c_str());
}

void WebDisplay::Show(bool visible) {
  EM_ASM({ Module.gravikPage.showCanvas($0); }, visible ? 1 : 0);
}

void WebDisplay::SetSystemCursorVisible(bool visible) {
  EM_ASM({ Module.gravikPage.showCursor($0); }, visible ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Input

bool WebInput::PollEvent(InputEvent& ev) {
  if (pending_.empty()) return false;
  ev = std::move(pending_.front());
  pending_.pop_front();
  return true;
}

void WebInput::Key(bool down, int hid, int keyChar, uint8_t shift, bool repeat) {
  const KeyCodes k = MapKey(hid, keyChar);
  if (k.vk == 0 && k.scan == 0) return;
  InputEvent ev;
  ev.vk = k.vk;
  ev.scan = k.scan;
  ev.shift = shift;
  if (down) {
    ev.type = InputEventType::KeyDown;
    ev.repeat = repeat;
    if (!repeat) keys_.Press(k.vk, k.scan);
    pending_.push_back(ev);
    if (const char c = ControlCharForScan(k.scan)) {
      InputEvent t;
      t.type = InputEventType::Text;
      t.text = std::string(1, c);
      t.shift = shift;
      pending_.push_back(t);
    }
  } else {
    ev.type = InputEventType::KeyUp;
    // Shift, Ctrl and Alt stay down while the key of the other side is held.
    const uint8_t partner = PartnerModifierScan(k.scan);
    keys_.Release(partner && keys_.ScanDown(partner) ? 0 : k.vk, k.scan);
    pending_.push_back(ev);
  }
}

void WebInput::Text(uint32_t cp) {
  std::string utf8;
  if (cp < 0x80) {
    utf8 += char(cp);
  } else if (cp < 0x800) {
    utf8 += char(0xC0 | (cp >> 6));
    utf8 += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    utf8 += char(0xE0 | (cp >> 12));
    utf8 += char(0x80 | ((cp >> 6) & 0x3F));
    utf8 += char(0x80 | (cp & 0x3F));
  } else {
    return;  // nothing outside the basic plane is in Windows-1252
  }
  InputEvent ev;
  ev.type = InputEventType::Text;
  ev.text = Utf8ToWindows1252(utf8);
  if (!ev.text.empty()) pending_.push_back(ev);
}

void WebInput::Mouse(InputEventType type, int x, int y, int button, uint8_t shift) {
  mouseX_ = std::clamp(x, 0, kScreenWidth - 1);
  mouseY_ = std::clamp(y, 0, kScreenHeight - 1);
  InputEvent ev;
  ev.type = type;
  ev.x = mouseX_;
  ev.y = mouseY_;
  ev.button = button;
  ev.shift = shift;
  pending_.push_back(ev);
}

void WebInput::Wheel(int direction) {
  if (direction == 0) return;
  InputEvent ev;
  ev.type = InputEventType::MouseWheel;
  ev.wheel = direction > 0 ? 1 : -1;
  ev.x = mouseX_;
  ev.y = mouseY_;
  pending_.push_back(ev);
}

void WebInput::Focus(bool gained) {
  if (!gained) keys_.ReleaseAll();
  InputEvent ev;
  ev.type = gained ? InputEventType::FocusGained : InputEventType::FocusLost;
  pending_.push_back(ev);
}

void WebInput::PointerInside(bool inside) {
  InputEvent ev;
  ev.type = inside ? InputEventType::MouseEnter : InputEventType::MouseLeave;
  pending_.push_back(ev);
}

JoystickState WebInput::Joystick() {
  // The page reads the first gamepad: present, x, y (0..65535), buttons.
  int32_t s[4] = {0, 32767, 32767, 0};
  EM_ASM({ Module.gravikPage.readPad($0 >> 2); }, s);
  JoystickState j;
  j.present = s[0] != 0;
  if (!j.present) return j;
  j.x = uint32_t(std::clamp(s[1], 0, 65535));
  j.y = uint32_t(std::clamp(s[2], 0, 65535));
  j.buttons = uint8_t(s[3] & kPadAllButtons);
  return j;
}

// ---------------------------------------------------------------------------
// Audio

bool WebAudio::Open(int rate, Callback callback) {
  Close();
  if (rate <= 0 || !callback) return false;
  const int have = EM_ASM_INT({ return Module.gravikPage.openAudio($0); }, rate);
  if (have <= 0) {
    std::fprintf(stderr, "gravik: this browser offers no Web Audio; the game stays silent\n");
    return false;
  }
  rate_ = have;
  callback_ = std::move(callback);
  open_ = true;
  return true;
}

void WebAudio::Close() {
  if (open_) EM_ASM({ Module.gravikPage.closeAudio(); });
  open_ = false;
  callback_ = nullptr;
  rate_ = 0;
}

void WebAudio::Fill(float* left, float* right, int frames) {
  if (frames <= 0) return;
  block_.assign(size_t(frames) * 2, 0);
  if (callback_) {
    try {
      callback_(block_.data(), frames);
    } catch (...) {
      std::fill(block_.begin(), block_.end(), int16_t(0));  // a failing mixer plays silence
    }
  }
  for (int i = 0; i < frames; ++i) {
    const int16_t l = block_[2 * size_t(i)], r = block_[2 * size_t(i) + 1];
    peak_ = std::max({peak_, std::abs(int(l)), std::abs(int(r))});
    left[i] = float(l) / 32768.0f;
    right[i] = float(r) / 32768.0f;
  }
}

int WebAudio::TakePeak() {
  const int p = peak_;
  peak_ = 0;
  return p;
}

// ---------------------------------------------------------------------------
// Shell

namespace {

void ShowInPage(bool error, const std::string& title, const std::string& text) {
  const std::string t = ToDisplayUtf8(title), m = WithLfLineBreaks(ToDisplayUtf8(text));
  std::fprintf(stderr, "%s: %s\n", t.c_str(), m.c_str());
  EM_ASM({ Module.gravikPage.message($0, UTF8ToString($1), UTF8ToString($2)); }, error ? 1 : 0, t.c_str(),
         m.c_str());
}

}  // namespace

void WebShell::ShowError(const std::string& title, const std::string& text) { ShowInPage(true, title, text); }

void WebShell::ShowInfo(const std::string& title, const std::string& text) { ShowInPage(false, title, text); }

// ---------------------------------------------------------------------------

WebPlatform::WebPlatform(const std::string& programPath)
    : folders(programPath), settings(folders.SettingsStoreFile()) {}

Platform WebPlatform::Get() { return Platform{display, input, audio, clock, folders, settings, shell}; }

}  // namespace gravik
