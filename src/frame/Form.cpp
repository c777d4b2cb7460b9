#include "frame/Form.h"

#include <cstdio>
#include <stdexcept>

#include "base/Errors.h"
#include "frame/Demo.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "frame/SaveGames.h"
#include "platform/KeyState.h"
#include "frame/MenuFocus.h"
#include "world/Tick.h"

namespace gravik {

namespace {
constexpr uint32_t kModeSwitchLockoutMs = 5000;
constexpr uint32_t kStartUpDelayMs = 500;
constexpr uint32_t kPanelToggleMs = 1000;
}  // namespace

TForm1::TForm1(Game& game) : game_(game) { game_.ConnectForm(this); }

TForm1::~TForm1() { game_.ConnectForm(nullptr); }

void TForm1::SetUnit(uint8_t state, ScreenUnit unit) {
  if (!unit.Complete())
    throw std::logic_error(std::string("screen unit of ") + GameStateName(state) + " (" + std::to_string(state) +
                           ") lacks a handler");
  units_[state] = std::make_unique<ScreenUnit>(std::move(unit));
}

void TForm1::SetStateHandler(uint8_t state, StateHandler handler) {
  SetUnit(state, ScreenUnit{NoEntry, std::move(handler), NoKeys, NoKeyPress, NoMouse});
}

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
  if (!RunStartUp) throw std::logic_error("the form has no start-up installed");
  RunStartUp(*this);
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
  if (IsPlayState(s)) RedrawSidePanel(game_);
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

void TForm1::ApplyPanelLayout() { ApplyPanelLayoutTo(game_); }

void TForm1::Present() {
  const Bitmap& b = game_.backSurface;
  game_.platform.display.Present(b.Data(), b.Width(), b.Height(), b.Width());
  presented_ = b;  // same size every frame: the copy reuses its storage
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
  //    pumped; the pad is watched (which device was used last, what is new on
  //    it) and a demo polls for a joystick button that ends it.
  WatchPad(game_);
  DemoPollJoystick(*this);
  //    A menu reads the pad as its keys.
  PollMenuPad(*this);
  // 4. The current screen: its entry routine on its first frame, then its frame.
  if (const ScreenUnit* unit = units_[f.GameState].get()) {
    const uint8_t state = f.GameState;
    if (!f.ScreenReady) {
      unit->Enter(*this);
      if (f.GameState == state) f.ScreenReady = true;
      f.ScreenRebuild = false;
    }
    if (f.GameState == state) unit->Frame(*this);
  }
  // 5-6. Side panel or black bars, then overlays.
  RefreshSidePanel(game_);
  DrawFrameOverlays(game_);
  // 7. Show the frame.
  Present();
  // 8. A pause asked for during the frame starts after it was shown, if the
  //    frame is still one of play; otherwise the request is dropped.
  if (f.PauseRequested) {
    if (f.GameState == gsPlaying) SetGameState(gsPaused);
    else f.PauseRequested = false;
  }
  const bool between = !PlayerOnCell(game_);
  // 9. Scenario completion is tested only while standing on a cell.
  if (f.GameState == gsPlaying && !between) CheckScenarioDone(game_.world);
  // 10. Tab toggles the side panel: held (down, and not freshly pressed), at most
  //     once a second, and only while standing on a cell.
  const uint16_t tab = game_.platform.input.Keys().AsyncKeyState(vk::Tab);
  const bool held = (tab & 0x8000) && !(tab & 1);
  if (held && f.GameState == gsPlaying && !between &&
      TicksSince(game_.Now(), f.PanelToggleTick) > kPanelToggleMs) {
    f.PanelShown = !f.PanelShown;
    ApplyPanelLayout();
    ResetFrameStepAveraging();
    f.PanelToggleTick = game_.Now();
  }
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
  SaveDisplaySettings(game_);
  // The current screen builds itself again on the new surfaces; what its entry
  // does once per showing (results, clocks) is not done again.
  SetGameState(f.GameState);
  f.ScreenRebuild = true;
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
  if (!closingDone_) {
    closingDone_ = true;
    for (const auto& unit : units_) {
      if (!unit || !unit->Closing) continue;
      try {
        unit->Closing(*this);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "gravik: while closing: %s\n", e.what());
      }
    }
  }
  frame().Closed = true;
}

void TForm1::HandleEvent(const InputEvent& ev) {
  FrameState& f = frame();
  switch (ev.type) {
    case InputEventType::FocusGained: kvelActivate(); break;
    case InputEventType::FocusLost: kvelDEActivate(); break;
    case InputEventType::SurfaceReset: DXDrawRestoreSurface(); break;
    case InputEventType::Quit:
      SaveBeforeClosing(*this);
      FormClose();
      break;
    case InputEventType::MouseEnter:
      f.PointerOutside = false;
      FormMouse(*this, ev);
      break;
    case InputEventType::MouseLeave:
      if (f.Windowed) f.PointerOutside = true;
      break;
    case InputEventType::KeyDown:
      NoteUserInput(game_);
      if (ev.vk != vk::F12) NoteOtherDeviceUsed(game_);  // a screenshot is no typing
      if (f.Started) FormKeyDown(*this, KeyEvent{ev.vk, ev.scan, ev.shift, ev.repeat});
      break;
    case InputEventType::Text:
      if (f.Started)
        for (char c : ev.text) FormKeyPress(*this, c);
      break;
    case InputEventType::MouseDown:
    case InputEventType::MouseUp:
    case InputEventType::MouseMove:
    case InputEventType::MouseWheel:
      NoteUserInput(game_);
      if (ev.type == InputEventType::MouseDown) NoteOtherDeviceUsed(game_);
      if (f.Started) FormMouse(*this, ev);
      break;
    default: break;
  }
}

void TForm1::PumpEvents() {
  InputEvent ev;
  while (game_.platform.input.PollEvent(ev)) held_.push_back(ev);
}

bool TForm1::TakeHeldEvent(InputEvent& ev) {
  if (held_.empty()) return false;
  ev = std::move(held_.front());
  held_.pop_front();
  return true;
}

void TForm1::FatalError(const std::string& message) {
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

int MessageLoopPass(TForm1& form, const std::function<bool()>& afterIteration) {
  Game& game = form.game();
  FrameState& f = game.frame;
  bool stopped = false;
  try {
    try {
      if (!f.Closed) {
        InputEvent ev;
        while (form.TakeHeldEvent(ev) || game.platform.input.PollEvent(ev)) {
          form.HandleEvent(ev);
          if (f.Closed) break;
        }
      }
      if (!f.Closed) {
        if (f.Timer1Enabled && TicksSince(game.Now(), f.CreatedTick) >= kStartUpDelayMs) form.Timer1Timer();
        if (f.TimerEnabled && f.Active) {
          form.DXTimerTimer();
        } else if (!game.options.headless) {
          game.platform.clock.SleepMs(10);
        }
        stopped = afterIteration && !afterIteration();
      }
    } catch (const FatalMessage& e) {
      form.FatalError(e.what());
    } catch (const GameHalt&) {
      throw;
    } catch (const std::exception& e) {
      form.AppException(e);
    }
  } catch (const GameHalt& h) {
    return h.Status();
  }
  if (!f.Closed && !stopped) return -1;
  form.FormClose();
  return 0;
}

int RunMessageLoop(TForm1& form, const std::function<bool()>& afterIteration) {
  for (;;) {
    const int status = MessageLoopPass(form, afterIteration);
    if (status >= 0) return status;
  }
}

}  // namespace gravik
