#include "support/GameHarness.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/Errors.h"
#include "gfx/Png.h"

namespace gravik::testing {

GameHarness::GameHarness(GameOptions o, Handlers h, const std::string& program)
    : hp_(program), platform_(hp_.Get()), game_(platform_, o), form_(game_) {
  hp_.shell.SetEcho(false);
  hp_.clock.SetFrameStepUs(kFrameUs);
  form_.FormCreate();
  if (h == Handlers::Game) InstallGameHandlers(form_);
}

GameOptions GameHarness::Silent() {
  GameOptions o = Audible();
  o.noMusic = o.noSound = true;
  return o;
}

GameOptions GameHarness::Audible() {
  GameOptions o;
  o.headless = true;
  return o;
}

int GameHarness::Start() {
  try {
    form_.Timer1Timer();
  } catch (const GameHalt& h) {
    return h.Status();
  }
  return 0;
}

std::string GameHarness::LastMessage() const {
  return hp_.shell.Messages().empty() ? "" : hp_.shell.Messages().back().text;
}

void GameHarness::Frame(int n) {
  for (int i = 0; i < n; ++i) {
    hp_.clock.AdvanceFrame();
    form_.DXTimerTimer();
  }
}

void GameHarness::Open(uint8_t state) {
  form_.SetGameState(state);
  FrameNow();
}

bool GameHarness::RunUntilState(uint8_t state, int frames) {
  for (int i = 0; i < frames && State() != state; ++i) Frame();
  return State() == state;
}

void GameHarness::SetFrameMs(double ms) {
  frameMs_ = ms;
  hp_.clock.SetFrameStepUs(uint64_t(std::llround(ms * 1000.0)));
}

namespace {

InputEvent KeyEvent(InputEventType type, uint8_t vk, uint8_t scan, uint8_t shift) {
  InputEvent ev;
  ev.type = type;
  ev.vk = vk;
  ev.scan = scan;
  ev.shift = shift;
  return ev;
}

InputEvent MouseEvent(InputEventType type, int x, int y) {
  InputEvent ev;
  ev.type = type;
  ev.x = x;
  ev.y = y;
  ev.button = 1;
  return ev;
}

}  // namespace

void GameHarness::KeyDown(uint8_t vk, uint8_t scan, uint8_t shift) {
  Event(KeyEvent(InputEventType::KeyDown, vk, scan, shift));
}

void GameHarness::KeyUp(uint8_t vk, uint8_t scan, uint8_t shift) {
  Event(KeyEvent(InputEventType::KeyUp, vk, scan, shift));
}

void GameHarness::Tap(uint8_t vk, uint8_t scan, uint8_t shift) {
  KeyDown(vk, scan, shift);
  KeyUp(vk, scan, shift);
}

void GameHarness::QueueKeyDown(uint8_t vk, uint8_t scan) {
  hp_.input.Push(KeyEvent(InputEventType::KeyDown, vk, scan, 0));
}

void GameHarness::Type(const std::string& text) {
  InputEvent ev;
  ev.type = InputEventType::Text;
  ev.text = text;
  Event(ev);
}

void GameHarness::MouseMove(int x, int y) { Event(MouseEvent(InputEventType::MouseMove, x, y)); }
void GameHarness::MouseDown(int x, int y) { Event(MouseEvent(InputEventType::MouseDown, x, y)); }
void GameHarness::MouseUp(int x, int y) { Event(MouseEvent(InputEventType::MouseUp, x, y)); }

void GameHarness::Click(int x, int y) {
  MouseMove(x, y);
  FrameNow();
  MouseDown(x, y);
  MouseUp(x, y);
}

int GameHarness::RunLoop(long maxFrames, const std::function<bool(long)>& each) {
  long frame = 0;
  hp_.BeginFrame(0);
  return RunMessageLoop(form_, [&] {
    hp_.EndFrame();
    ++frame;
    if (!each(frame) || frame >= maxFrames) return false;
    hp_.BeginFrame(uint32_t(frame));
    return true;
  });
}

void GameHarness::Schedule(const std::vector<Move>& moves, long fromFrame) {
  const double frameMs = frameMs_;
  std::string script;
  for (const Move& m : moves) {
    const long down = fromFrame + std::lround(m.atMs / frameMs);
    const long up = down + std::max(1L, std::lround(m.holdMs / frameMs));
    script += std::to_string(down) + " key down " + m.key + "\n";
    script += std::to_string(up) + " key up " + m.key + "\n";
  }
  hp_.input.ParseScript(script);
}

int GameHarness::Play(const std::vector<Move>& moves, int playMs, const std::function<void(Game&)>& perFrame) {
  long playFrame = -1;
  const long playFrames = std::lround(playMs / frameMs_);
  const long startLimit = std::lround(20000 / frameMs_);
  return RunLoop(std::numeric_limits<long>::max(), [&](long frame) {
    if (playFrame < 0 && State() == gsPlaying) {
      playFrame = frame;
      Schedule(moves, playFrame);
    }
    if (playFrame >= 0) {
      if (perFrame) perFrame(game_);
      return frame - playFrame < playFrames;
    }
    return frame <= startLimit;
  });
}

bool GameHarness::Screenshot(const std::string& pngPath) const { return WritePng(pngPath, form_.PresentedFrame()); }

}  // namespace gravik::testing
