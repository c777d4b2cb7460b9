#include "frame/Form.h"

#include <cstdio>

#include "base/Errors.h"
#include "platform/KeyState.h"

namespace gravik {

namespace {
constexpr uint32_t kModeSwitchLockoutMs = 5000;
constexpr uint32_t kStartUpDelayMs = 500;
constexpr double kPanelToggleMs = 1000;
}  // namespace

TForm1::TForm1(Game& game) : game_(game) {}

void TForm1::SetStateHandler(uint8_t state, StateHandler handler) { handlers_[state] = std::move(handler); }

void TForm1::FormCreate() {
  game_.platform.display.SetTitle("Gravik 2");
  frame().Started = false;
  frame().CreatedTick = game_.Now();
  frame().Timer1Enabled = true;
  frame().TimerEnabled = false;
}

void TForm1::Timer1Timer() {
  FrameState& f = frame();
  f.Timer1Enabled = false;
  if (f.Started) return;
  if (RunStartUp) RunStartUp(*this);
  game_.platform.display.Show(true);
  if (!game_.platform.display.IsDrawable()) {
    if (game_.platform.display.StartDrawing(f.Windowed)) DXDrawInitialize();
  } else {
    DXDrawInitialize();
  }
  f.TimerEnabled = true;
  f.Started = true;
}

void TForm1::DXDrawInitialize() {
  // Surfaces come up: every image entry is prepared for drawing, the scratch and
  // side-panel work surfaces are made anew.
  game_.images.RebuildAll();
  game_.scratch.SetSize(kScreenWidth, kScreenHeight);
  game_.panelSurface.SetSize(160, kScreenHeight);
  game_.sprites.SurfaceUp(game_.backSurface);
}

void TForm1::DXDrawRestoreSurface() {
  game_.images.RebuildAll();
  const uint8_t s = frame().GameState;
  if ((s == gsPlaying || s >= 200) && StateChangeStep) StateChangeStep(*this, s, s, /*restore*/ -1);
}

void TForm1::MeasureFrameStep() {
  FrameState& f = frame();
  Clock& clock = game_.platform.clock;
  if (f.TimingReset) {
    f.StepSum = 0;
    f.StepCount = 0;
    f.FrameStep = 0;
    f.LastCounter = clock.PerfCounter();
    f.TimingReset = false;
  }
  const uint64_t freq = clock.PerfFrequency();
  const uint64_t now = clock.PerfCounter();
  const int speed = f.Windowed ? f.MoveSpeedWindowed : f.MoveSpeedFullScreen;
  f.FrameStep = freq ? double(speed) / double(freq) * double(int64_t(now - f.LastCounter)) : 0.0;
  if (f.AfpsEnabled) {
    f.StepSum += f.FrameStep;
    ++f.StepCount;
    f.FrameStep = f.StepSum / f.StepCount;
  }
  f.LastCounter = clock.PerfCounter();
}

void TForm1::ResetFrameStepAveraging() {
  frame().StepSum = 0;
  frame().StepCount = 0;
}

void TForm1::ApplyPanelLayout() {
  if (PanelLayoutChanged) PanelLayoutChanged(*this);
}

void TForm1::Present() {
  const Bitmap& b = game_.backSurface;
  game_.platform.display.Present(b.Data(), b.Width(), b.Height(), b.Width());
}

void TForm1::DXTimerTimer() {
  FrameState& f = frame();
  Display& display = game_.platform.display;
  // 1. Nothing happens while the surface cannot be drawn to.
  if (!display.IsDrawable() || f.FatalInProgress) return;
  // 2. The display-mode switch lockout runs out after 5 s.
  if (f.ModeSwitchLockout && TicksSince(game_.Now(), f.ModeSwitchTick) > kModeSwitchLockoutMs)
    f.ModeSwitchLockout = false;
  // 3. Keyboard and joystick states are refreshed by the platform as events are
  //    pumped, so there is nothing to poll here.
  // 4. The current screen.
  if (const StateHandler& h = handlers_[f.GameState]) h(*this);
  // 5-6. Side panel or black bars, then overlays.
  if (RefreshSidePanel) RefreshSidePanel(*this);
  if (DrawOverlays) DrawOverlays(*this);
  // 7. Show the frame.
  Present();
  // 8. A pause asked for during the frame starts after it was shown.
  if (f.PauseRequested) SetGameState(gsPaused);
  const bool between = PlayerBetweenCells && PlayerBetweenCells(*this);
  // 9. Scenario completion is tested only while standing on a cell.
  if (f.GameState == gsPlaying && !between && CheckScenarioDone) CheckScenarioDone(*this);
  // 10. Tab toggles the side panel: held (down, and not freshly pressed), at most
  //     once a second, and only while standing on a cell.
  const uint16_t tab = game_.platform.input.Keys().AsyncKeyState(vk::Tab);
  const bool held = (tab & 0x8000) && !(tab & 1);
  if (held && f.GameState == gsPlaying && !between &&
      double(game_.Now()) - f.PanelToggleTick > kPanelToggleMs) {
    f.PanelShown = !f.PanelShown;
    ApplyPanelLayout();
    ResetFrameStepAveraging();
    f.PanelToggleTick = game_.Now();
  }
}

void TForm1::SetGameState(uint8_t newState) {
  FrameState& f = frame();
  GameValues& v = game_.values;
  const uint8_t old = f.GameState;
  const uint32_t now = game_.Now();
  auto step = [&](int n) {
    if (StateChangeStep) StateChangeStep(*this, old, newState, n);
  };
  // 1. Entering play: averaging restarts; the modules reset their play caches.
  if (newState == gsPlaying) {
    ResetFrameStepAveraging();
    step(1);
  }
  // 2. Leaving play adds the whole seconds of this stretch to the total.
  if (old == gsPlaying && newState != gsPlaying) v.TotalPlaySeconds += TicksSince(now, v.PlayStart) / 1000;
  // 3. Play clocks start now.
  if (newState == gsPlaying) {
    v.PlayStart = now;
    v.PlayStretchStart = now;
    step(3);
  }
  // 4. Leaving play silences the meteors.
  if (newState != gsPlaying) step(4);
  // 5. The music may be handled again.
  if (newState == gsPlaying) v.MusicHandled = false;
  // 6. Leaving the options recalibrates the joystick.
  if (old == gsOptions) step(6);
  // 7. The new state's screen must be built again.
  f.ScreenReady = false;
  f.GameState = newState;
  step(7);
  // 8. Object clocks, the player block, fonts, keys and music for play.
  if (newState == gsPlaying) {
    step(8);
    f.PanelToggleTick = now;
    v.NewGameStarted = false;
  }
  // 9. The frame step is measured from here.
  if (newState == gsMainMenu || newState == gsPlaying) f.LastCounter = game_.platform.clock.PerfCounter();
}

void TForm1::ApplyDisplayMode(bool reinitialise) {
  Display& d = game_.platform.display;
  if (reinitialise) {
    d.StopDrawing();
    game_.sprites.SurfaceDown();
    game_.images.ReleaseAll();
    if (d.StartDrawing(frame().Windowed)) DXDrawInitialize();
  }
}

void TForm1::ToggleDisplayMode() {
  FrameState& f = frame();
  if (f.ModeSwitchLockout) return;
  f.ModeSwitchLockout = true;
  f.ModeSwitchTick = game_.Now();
  f.Windowed = !f.Windowed;
  game_.platform.display.Show(false);
  ApplyDisplayMode(true);
  game_.platform.display.Show(true);
  f.WindowedPreference = f.Windowed;
  if (SaveSettings) SaveSettings(*this);
  SetGameState(f.GameState);
}

void TForm1::kvelDEActivate() {
  frame().Active = false;
  game_.platform.input.Keys().ReleaseAll();
  if (frame().GameState == gsPlaying) frame().TimingReset = true;
}

void TForm1::kvelActivate() {
  FrameState& f = frame();
  f.Active = true;
  if (f.GameState == gsPlaying) f.TimingReset = true;
  if (f.Started && !f.FatalInProgress) {
    Display& d = game_.platform.display;
    if (!d.IsDrawable() && d.StartDrawing(f.Windowed)) DXDrawInitialize();
    d.Show(true);
  }
}

void TForm1::FormClose() {
  frame().TimerEnabled = false;
  frame().Closed = true;
}

void TForm1::HandleEvent(const InputEvent& ev) {
  FrameState& f = frame();
  switch (ev.type) {
    case InputEventType::FocusGained: kvelActivate(); break;
    case InputEventType::FocusLost: kvelDEActivate(); break;
    case InputEventType::SurfaceReset: DXDrawRestoreSurface(); break;
    case InputEventType::Quit: FormClose(); break;
    case InputEventType::MouseEnter:
      f.PointerOutside = false;
      if (MouseHandler) MouseHandler(*this, ev);
      break;
    case InputEventType::MouseLeave:
      if (f.Windowed) f.PointerOutside = true;
      if (MouseHandler) MouseHandler(*this, ev);
      break;
    case InputEventType::KeyDown:
      if (FormKeyDown && f.Started) FormKeyDown(*this, ev.vk, ev.shift);
      break;
    case InputEventType::Text:
      if (FormKeyPress && f.Started)
        for (char c : ev.text) FormKeyPress(*this, c);
      break;
    case InputEventType::MouseDown:
    case InputEventType::MouseUp:
    case InputEventType::MouseMove:
    case InputEventType::MouseWheel:
      if (MouseHandler && f.Started) MouseHandler(*this, ev);
      break;
    default: break;
  }
}

void TForm1::FatalError(const std::string& message, bool halt) {
  FrameState& f = frame();
  f.FatalInProgress = true;
  Display& d = game_.platform.display;
  if (d.IsDrawable()) {
    d.StopDrawing();
    game_.sprites.SurfaceDown();
    d.Show(false);
  }
  game_.platform.shell.ShowError("Gravik 2", message);
  FormClose();
  throw GameHalt(1, message);
}

void TForm1::AppException(const std::exception& e) {
  frame().FatalInProgress = true;
  game_.platform.shell.ShowError("Gravik 2", std::string("ERROR:-\r\r") + e.what());
  FormClose();
  throw GameHalt(1, e.what());
}

int RunMessageLoop(TForm1& form, const std::function<bool()>& afterIteration) {
  Game& game = form.game();
  FrameState& f = game.frame;
  try {
    try {
      while (!f.Closed) {
        InputEvent ev;
        while (game.platform.input.PollEvent(ev)) {
          form.HandleEvent(ev);
          if (f.Closed) break;
        }
        if (f.Closed) break;
        if (f.Timer1Enabled && TicksSince(game.Now(), f.CreatedTick) >= kStartUpDelayMs) form.Timer1Timer();
        if (f.TimerEnabled && f.Active) {
          form.DXTimerTimer();
        } else if (!game.options.headless) {
          game.platform.clock.SleepMs(10);
        }
        if (afterIteration && !afterIteration()) break;
      }
    } catch (const FatalMessage& e) {
      form.FatalError(e.what(), true);
    } catch (const GameHalt&) {
      throw;
    } catch (const std::exception& e) {
      form.AppException(e);
    }
  } catch (const GameHalt& h) {
    return h.Status();
  }
  form.FormClose();
  return 0;
}

}  // namespace gravik
