#include "frame/MenuFocus.h"

#include <algorithm>
#include <cstdlib>

#include "frame/Demo.h"
#include "frame/Form.h"
#include "frame/Keys.h"
#include "platform/KeyState.h"

namespace gravik {

namespace {

// The pad: a stick pushed past half way, or the d-pad, is a direction; the
// first repeat of a held one comes after 400 ms, the next every 130 ms.
constexpr int32_t kPadCentre = 32768;
constexpr int32_t kPadPush = 16384;
constexpr uint32_t kPadFirstRepeatMs = 400;
constexpr uint32_t kPadRepeatMs = 130;

// Up, Down, Left or Right as a WidgetNav value; -1 when the pad is let go.
int PadDirection(const JoystickState& j) {
  const int32_t dx = int32_t(j.x) - kPadCentre, dy = int32_t(j.y) - kPadCentre;
  if (std::max(std::abs(dx), std::abs(dy)) < kPadPush) return -1;
  if (std::abs(dx) > std::abs(dy)) return int(dx < 0 ? WidgetNav::Left : WidgetNav::Right);
  return int(dy < 0 ? WidgetNav::Up : WidgetNav::Down);
}

// The key a pad action stands for, in both key spaces.
KeyEvent PadKey(uint8_t vkCode, uint8_t scan) {
  KeyEvent key;
  key.vk = vkCode;
  key.scan = scan;
  key.pad = true;
  return key;
}

KeyEvent PadDirectionKey(int nav) {
  switch (WidgetNav(nav)) {
    case WidgetNav::Up: return PadKey(vk::Up, 200);
    case WidgetNav::Down: return PadKey(vk::Down, 208);
    case WidgetNav::Left: return PadKey(vk::Left, 203);
    default: return PadKey(vk::Right, 205);
  }
}

}  // namespace

void TakeKey(Game& g) { g.widgets.KeyTaken = true; }

int FocusedButton(Game& g) {
  const WidgetRef f = FocusedWidget(g.widgets);
  return f.Kind == WidgetKind::Button ? f.Index : 0;
}

void FocusButton(Game& g, int n) { SetFocus(g.widgets, {WidgetKind::Button, n}); }

bool MenuFocusKeyDown(TForm1& form, const KeyEvent& key) {
  Game& g = form.game();
  WidgetSet& w = g.widgets;
  if (!w.FocusOn || !form.frame().ScreenReady) return false;
  // While a key is awaited for a binding, the key is the binding's alone.
  if (g.input.Capture.Waiting && form.frame().GameState == gsOptions) return false;
  WidgetNav nav;
  if (key.shift == kShiftBit && key.vk == vk::Tab) {
    nav = WidgetNav::Previous;
  } else if (key.shift != 0) {
    return false;
  } else {
    switch (key.vk) {
      case vk::Up: nav = WidgetNav::Up; break;
      case vk::Down: nav = WidgetNav::Down; break;
      case vk::Left: nav = WidgetNav::Left; break;
      case vk::Right: nav = WidgetNav::Right; break;
      case vk::Tab: nav = WidgetNav::Next; break;
      case vk::Prior: nav = WidgetNav::PageUp; break;
      case vk::Next: nav = WidgetNav::PageDown; break;
      case vk::Home: nav = WidgetNav::Home; break;
      case vk::End: nav = WidgetNav::End; break;
      case vk::Return:
      case vk::Space:
        // A held key presses once; in a text box Space and Enter are the text's.
        if (key.repeat || (g.input.TextEntry.Active && !key.pad)) return false;
        nav = WidgetNav::Activate;
        break;
      default: return false;
    }
  }
  return NavigateWidgets(w, nav, g.Sound());
}

void PollMenuPad(TForm1& form) {
  Game& g = form.game();
  FrameState& f = form.frame();
  WidgetSet& w = g.widgets;
  if (!w.FocusOn || !f.ScreenReady) return;
  if (w.PadOwnedByScreen) return;
  const JoystickState j = g.platform.input.Joystick();
  MenuPadMemory& pad = w.Pad;
  const uint8_t buttons = j.present ? uint8_t(j.buttons & (kPadA | kPadB)) : 0;
  const int direction = j.present ? PadDirection(j) : -1;
  const uint32_t now = g.Now();
  if (!pad.Seen) {
    pad.Seen = true;
    pad.Buttons = buttons;
    pad.Direction = direction;
    pad.DirectionLocked = direction >= 0;
    return;
  }
  const uint8_t fresh = uint8_t(buttons & ~pad.Buttons);
  pad.Buttons = buttons;
  bool step = false;
  if (direction != pad.Direction) {
    pad.Direction = direction;
    pad.DirectionLocked = false;
    step = direction >= 0;
    pad.NextRepeat = now + kPadFirstRepeatMs;
  } else if (direction >= 0 && !pad.DirectionLocked && TicksSince(now, pad.NextRepeat) < 0x80000000u) {
    step = true;
    pad.NextRepeat = now + kPadRepeatMs;
  }
  if (fresh == 0 && !step) return;
  NoteUserInput(g);
  const uint8_t state = f.GameState;
  // Each action on the screen it was meant for: one that changes the screen
  // ends the pad's turn.
  if (step) FormKeyDown(form, PadDirectionKey(direction));
  if ((fresh & kPadA) && f.GameState == state) FormKeyDown(form, PadKey(vk::Return, 28));
  if ((fresh & kPadB) && f.GameState == state) FormKeyDown(form, PadKey(vk::Escape, 1));
}

}  // namespace gravik
