// The soak: a long run of random keys, text, mouse moves and clicks, focus
// changes and display switches over whatever screens the game has, in-process
// on the headless platform with the built data files. The game is started again
// in the same home whenever it closes (Exit, Escape on the first name entry, a
// closed window, a fatal message it gives by design).
//
// Random keys seldom get far into the built-in scenario, so some starts play it
// (--play) with its walkthrough, level by level through the transporters to
// the completion screen, before the random input takes over; and now and then
// the input falls silent on the main menu long enough for the attract demo.
// The run prints the screens it never reached.
//
// It passes when nothing crashes (the sanitizer builds abort on a fault and
// report leaks at exit), no message box appears but the game's own for the
// cases the input provokes, and the profile file loads back, as it was saved,
// after every frame that saved it.
//
//   GRAVIK_SOAK_FRAMES  frames to run (default 20000; 200000 for the long soak)
//   GRAVIK_SOAK_SEED    seed of the input (default 1); a failure prints the seed
//                       and the frame, and the same seed runs the same frames
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "ScenarioCompiler.h"
#include "base/Errors.h"
#include "data/Profile.h"
#include "frame/Form.h"
#include "app/Program.h"
#include "app/Units.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/KeyCodes.h"
#include "support/GameHarness.h"
#include "screens/ScreenMemory.h"

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_ASAN 1
#endif
#endif
#ifndef SOAK_UNDER_ASAN
#define SOAK_UNDER_ASAN 0
#endif

namespace gravik {
namespace {

uint64_t EnvNumber(const char* name, uint64_t fallback) {
  const char* v = std::getenv(name);
  if (!v || !*v) return fallback;
  char* end = nullptr;
  const unsigned long long n = std::strtoull(v, &end, 10);
  return end && *end == '\0' ? uint64_t(n) : fallback;
}

// The message boxes the game shows by design for what random input can bring
// about: a hundred profiles made on the new-player screen.
bool ProvokedMessage(const std::string& text) { return text == "Too many profiles."; }

// The built-in scenario's walkthrough, compiled from its source as the data
// build does; empty when the source does not compile.
const std::vector<mkres::WalkStep>& Walkthrough() {
  static const std::vector<mkres::WalkStep> steps = [] {
    std::string text;
    if (!mkres::ReadTextFile(std::string(GRAVIK_SOURCE_DIR) + "/assets/scenario/gravik2.txt", text))
      return std::vector<mkres::WalkStep>{};
    const mkres::Catalogue cat = mkres::LoadCatalogue(std::string(GRAVIK_SOURCE_DIR) + "/assets/blocks.txt");
    const mkres::CompileResult r = mkres::CompileScenario(text, cat);
    return r.Ok() ? r.Walkthrough : std::vector<mkres::WalkStep>{};
  }();
  return steps;
}

// How the walkthrough stretches went.
struct WalkFigures {
  int started = 0;
  int completed = 0;  // to the completion screen
  int stopped = 0;    // ended short of their step by death, a stuck move, another screen
  uint64_t steps = 0;
  int levelSwitches = 0;
  std::string lastEnd;  // why the last of those stopped
};

struct SoakFigures {
  uint64_t frames = 0;
  std::set<uint8_t> states;
  bool demoSeen = false;  // a demo played (attract mode)
  WalkFigures walks;
  int idles = 0;
  uint64_t saves = 0;
  int sessions = 0;
  uint64_t screenshots = 0;
  // The states entered, frame by frame, and the saves: the same seed gives the same trace.
  uint64_t trace = 1469598103934665603ull;
  std::string failure;  // the first fault found; the run stops there
};

// Weighted keys, by the script's key names.
struct KeyChoice {
  const char* name;
  int weight;
};
constexpr KeyChoice kKeys[] = {
    {"Up", 40},      {"Down", 40},     {"Left", 40},   {"Right", 40},    {"Enter", 22},   {"Escape", 14},
    {"Space", 8},    {"Tab", 6},       {"Backspace", 6}, {"M", 8},        {"Y", 6},        {"N", 6},
    {"Q", 3},        {"S", 3},         {"W", 3},       {"D", 3},         {"K", 3},        {"R", 3},
    {"A", 2},        {"L", 2},         {"P", 2},       {"O", 2},         {"H", 2},        {"E", 2},
    {"B", 1},        {"C", 1},         {"F", 1},       {"G", 1},         {"I", 1},        {"J", 1},
    {"T", 1},        {"U", 1},         {"V", 1},       {"X", 1},         {"Z", 1},        {"1", 1},
    {"2", 1},        {"5", 1},         {"0", 1},       {"F1", 2},        {"F2", 3},       {"F3", 1},
    {"F4", 1},       {"F5", 1},        {"F8", 3},      {"F9", 1},        {"F10", 1},      {"F11", 1},
    {"F12", 1},      {"PageUp", 2},    {"PageDown", 2}, {"Home", 2},      {"End", 2},      {"Delete", 2},
    {"Insert", 1},   {"KPEnter", 2},   {"KP8", 1},     {"KP2", 1},       {"Pause", 1},    {"Minus", 1},
    {"Period", 1},   {"Slash", 1},     {"Apostrophe", 1}, {"Hash", 1},
};

// A start of the game plays the walkthrough at this chance: every second one
// to the end, the others up to a random step, where the random input takes
// over in the middle of the scenario.
constexpr double kWalkShare = 0.12;
// A frame on the main menu starts a silent spell at this chance; the spell
// lasts one to two times kIdleFrames (30 s of menu is 1800 frames).
constexpr double kIdleChance = 0.0005;
constexpr uint64_t kIdleFrames = 2100;

class Soak {
 public:
  Soak(uint64_t seed, uint64_t frames) : seed_(seed), total_(frames), rng_(seed) {
    for (const KeyChoice& k : kKeys) {
      const int hid = ScancodeByName(k.name);
      if (hid == 0) throw std::logic_error(std::string("the soak names an unknown key: ") + k.name);
      keys_.push_back({hid, k.weight});
      weightSum_ += k.weight;
    }
  }

  SoakFigures Run() {
    while (f_.frames < total_ && f_.failure.empty()) Session();
    return f_;
  }

 private:
  struct WeightedKey {
    int hid;
    int weight;
  };
  struct Later {
    uint64_t frame;
    InputEvent event;
  };

  int Below(int n) { return int(rng_() % uint64_t(n)); }
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
  void Mix(uint64_t v) { f_.trace = (f_.trace ^ v) * 1099511628211ull; }

  void Fail(const Game& g, const std::string& what) {
    if (!f_.failure.empty()) return;
    f_.failure = "soak seed " + std::to_string(seed_) + ", frame " + std::to_string(f_.frames) + ", state " +
                 GameStateName(g.frame.GameState) + ": " + what;
  }

  // One start of the program, until it closes or the frames run out.
  void Session() {
    ++f_.sessions;
    later_.clear();
    GameOptions o = testing::GameHarness::Audible();
    o.seed = rng_() & 0xffffffffu;
    o.noMusic = Chance(0.5);
    // Now and then the dated screen's day.
    o.today = Chance(0.15) ? CalendarDate{2021, 1, 18} : CalendarDate{2024, 5, 17};
    // Now and then a start that plays the built-in scenario with its walkthrough:
    // always the second, never the first, which goes through the name entry.
    walk_ = WalkState{};
    walk_.on = !Walkthrough().empty() && (f_.sessions == 2 || (f_.sessions > 2 && Chance(kWalkShare)));
    o.play = walk_.on;
    if (walk_.on) {
      ++f_.walks.started;
      const size_t steps = Walkthrough().size();
      walk_.stopAt = f_.walks.started % 2 == 0 ? steps : size_t(Below(int(steps)));
    }
    idleUntil_ = 0;
    auto run = std::make_unique<testing::GameHarness>(o);
    Game& g = run->game_;
    HeadlessPlatform& hp = run->hp_;
    lastSaves_ = 0;
    messagesSeen_ = 0;
    uint8_t lastState = 255;
    const int status = run->RunLoop(std::numeric_limits<long>::max(), [&](long) {
      ++f_.frames;
      const uint8_t state = g.frame.GameState;
      if (g.frame.Started) f_.states.insert(state);
      // The start-up's gsShowWindow ends within the frame that sets it, and
      // that frame is the only way into gsEnterMenus.
      if (g.frame.Started && state == gsEnterMenus) f_.states.insert(gsShowWindow);
      if (state == gsPlaying && g.world.DemoMode) f_.demoSeen = true;
      if (state != lastState) {
        Mix(f_.frames);
        Mix(state);
        lastState = state;
      }
      CheckSaves(g);
      CheckMessages(g, hp);
      if (f_.frames >= total_ || !f_.failure.empty()) return false;
      if (g.frame.Started) {
        if (walk_.on) Walk(g, hp);
        else Inputs(run->form_, hp);
      }
      return true;
    });
    CheckMessages(g, hp);
    if (status != 0 && f_.failure.empty() && hp.shell.Messages().empty())
      Fail(g, "the program ended with status " + std::to_string(status) + " and no message");
    Mix(uint64_t(status) + 7);
    f_.screenshots += ScreenshotsIn(g.folders.Documents + "Screenshots/");
    // Screenshots pile up over a long run; they were counted and are cleared.
    std::error_code ec;
    std::filesystem::remove_all(g.folders.Documents + "Screenshots/", ec);
  }

  static uint64_t ScreenshotsIn(const std::string& folder) {
    std::error_code ec;
    uint64_t n = 0;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
      n += it->path().extension() == ".png";
    return n;
  }

  void CheckMessages(const Game& g, const HeadlessPlatform& hp) {
    const auto& messages = hp.shell.Messages();
    for (; messagesSeen_ < messages.size(); ++messagesSeen_) {
      const ShellMessage& m = messages[messagesSeen_];
      if (m.error && !ProvokedMessage(m.text)) Fail(g, "message box \"" + m.text + "\"");
    }
  }

  // After a frame that saved the profile: the file loads, and holds what was saved.
  void CheckSaves(Game& g) {
    const ProfileState& p = g.profile;
    if (p.SavesMade == lastSaves_) return;
    f_.saves += p.SavesMade - lastSaves_;
    Mix(p.SavesMade);
    lastSaves_ = p.SavesMade;
    ProfileState back;
    back.Folder = p.Folder;
    back.CurrentFile = p.CurrentFile;
    const ProfileResult r = LoadProfile(back);
    if (!r) {
      Fail(g, "the saved profile " + p.CurrentPath() + " does not load: " + r.Message);
    } else if (back.CurrentName != p.CurrentName) {
      Fail(g, "the saved profile holds the name \"" + back.CurrentName + "\", not \"" + p.CurrentName + "\"");
    } else if (std::memcmp(back.Record.get(), p.Record.get(), sizeof(TProfileRecord)) != 0) {
      Fail(g, "the saved profile " + p.CurrentPath() + " differs from the record in play");
    }
  }

  InputEvent KeyEventOf(InputEventType type, int hid) {
    const KeyCodes k = MapScancode(hid);
    InputEvent ev;
    ev.type = type;
    ev.vk = k.vk;
    ev.scan = k.scan;
    return ev;
  }
  void After(uint64_t frames, const InputEvent& ev) { later_.push_back({f_.frames + frames, ev}); }
  InputEvent Simple(InputEventType type) {
    InputEvent ev;
    ev.type = type;
    return ev;
  }

  void PressKey(HeadlessInput& in) {
    int pick = Below(weightSum_);
    size_t i = 0;
    while (pick >= keys_[i].weight) pick -= keys_[i++].weight;
    const int hid = keys_[i].hid;
    // Shift, Ctrl or both now and then (Ctrl+Shift+K, Shift+R...).
    std::vector<int> mods;
    if (Chance(0.06)) mods.push_back(hid::LShift);
    if (Chance(0.05)) mods.push_back(hid::LCtrl);
    if (Chance(0.01)) mods.push_back(hid::LAlt);
    const uint64_t hold = Chance(0.5) ? 0 : uint64_t(1 + Below(Chance(0.2) ? 150 : 30));
    for (int m : mods) in.Push(KeyEventOf(InputEventType::KeyDown, m));
    in.Push(KeyEventOf(InputEventType::KeyDown, hid));
    auto up = [&](const InputEvent& ev) {
      if (hold == 0) in.Push(ev);
      else After(hold, ev);
    };
    up(KeyEventOf(InputEventType::KeyUp, hid));
    for (int m : mods) up(KeyEventOf(InputEventType::KeyUp, m));
  }

  void Text(HeadlessInput& in) {
    InputEvent ev = Simple(InputEventType::Text);
    const int n = 1 + Below(8);
    for (int c = 0; c < n; ++c) ev.text += char(Chance(0.1) ? 128 + Below(128) : 32 + Below(95));
    in.Push(ev);
  }

  // A spot worth clicking: a widget of the screen, or anywhere (a little
  // outside the picture too, as a captured pointer reports).
  void Spot(const Game& g, int& x, int& y) {
    const WidgetSet& w = g.widgets;
    const int targets = w.ButtonCount + w.ImageButtonCount + w.CheckboxCount + w.SliderCount + w.OptionItemCount +
                        (w.List.Visible ? 1 : 0);
    if (targets > 0 && Chance(0.75)) {
      int t = Below(targets);
      if (t < w.ButtonCount) {
        const TButton& b = w.Buttons[size_t(t + 1)];
        x = b.X + Below(std::max(1, b.Width));
        y = b.Y + Below(std::max(1, b.Height));
        return;
      }
      t -= w.ButtonCount;
      if (t < w.ImageButtonCount) {
        const TImageButton& b = w.ImageButtons[size_t(t + 1)];
        x = b.X + Below(std::max(1, b.Width));
        y = b.Y + Below(std::max(1, b.Height));
        return;
      }
      t -= w.ImageButtonCount;
      if (t < w.CheckboxCount) {
        x = w.Checkboxes[size_t(t + 1)].X + Below(16);
        y = w.Checkboxes[size_t(t + 1)].Y + Below(16);
        return;
      }
      t -= w.CheckboxCount;
      if (t < w.SliderCount) {
        const TSlider& s = w.Sliders[size_t(t + 1)];
        x = s.X + Below(10 * std::max(1, s.Steps) + 10);
        y = s.Y + Below(16);
        return;
      }
      t -= w.SliderCount;
      if (t < w.OptionItemCount) {
        x = w.OptionItems[size_t(t + 1)].X + Below(60);
        y = w.OptionItems[size_t(t + 1)].Y + Below(16);
        return;
      }
      x = w.List.Left + Below(w.List.Columns * 10 + 30);
      y = w.List.Top + Below(w.List.Rows * 16 + 10);
      return;
    }
    x = Chance(0.05) ? -40 + Below(720) : Below(640);
    y = Chance(0.05) ? -40 + Below(560) : Below(480);
  }

  // A click on the button of this caption, when the screen has it.
  void ClickButton(const Game& g, HeadlessInput& in, const std::string& caption) {
    const WidgetSet& w = g.widgets;
    for (int i = 1; i <= w.ButtonCount; ++i) {
      const TButton& b = w.Buttons[size_t(i)];
      if (b.Caption != caption) continue;
      Click(in, b.X + Below(std::max(1, b.Width)), b.Y + Below(std::max(1, b.Height)));
      return;
    }
  }
  void Click(HeadlessInput& in, int x, int y) {
    InputEvent ev = Simple(InputEventType::MouseMove);
    ev.x = x;
    ev.y = y;
    in.Push(ev);
    ev.type = InputEventType::MouseDown;
    ev.button = 1;
    in.Push(ev);
    ev.type = InputEventType::MouseUp;
    After(2, ev);
  }

  // The profile screens lie two clicks deep and want a second player before
  // anything can be deleted: random clicks seldom get there, so the options'
  // "Profiles" button, the list, "Create" and "Delete" are clicked now and then,
  // and a name entered from there is given a name.
  void ProfileErrands(const Game& g, HeadlessInput& in) {
    const uint8_t state = g.frame.GameState;
    if (state == gsOptions && Chance(0.01)) ClickButton(g, in, "Profiles");
    if (state == gsNewProfile && ScreensOf(g).NameEntry.FromProfiles && Chance(0.01)) {
      InputEvent name = Simple(InputEventType::Text);
      name.text = "Soak " + std::to_string(Below(100));
      in.Push(name);
      ClickButton(g, in, "OK");
    }
    if (state != gsProfiles) return;
    const TListBox& list = g.widgets.List;
    if (list.Visible && !list.Items.empty() && Chance(0.02))
      Click(in, list.Left + 20 + Below(60),
            list.Top + 4 + 16 * Below(std::min<int>(list.Rows, int(list.Items.size()))));
    if (Chance(0.004)) ClickButton(g, in, "Create");
    if (Chance(0.01)) ClickButton(g, in, "Delete");
  }

  // --- the walkthrough -------------------------------------------------------
  struct WalkState {
    bool on = false;
    size_t step = 0;
    size_t stopAt = 0;   // the walk hands over before this step
    bool begun = false;  // the current step's goal is set
    int goalX = 0, goalY = 0, level = 0;
    uint32_t deadline = 0;  // game ms: a move not done by then is stuck; a wait ends then
    int settle = 0;         // frames stood on the goal while a transporter counts
    int outOfPlay = 0;      // frames in a row outside play
    bool rebound = false;   // Ctrl+Shift+K was pressed for usable keys
    uint16_t heldKey = 0;
    bool heldScan = false;
  };

  // The direction's key as the current player has bound it, held alone.
  void HoldDirection(Game& g, HeadlessInput& in, int direction) {
    const uint16_t key = direction ? g.input.Slot(direction).Key : 0;
    const bool scan = g.input.KeyboardMode == 1;
    if (key == walk_.heldKey && scan == walk_.heldScan) return;
    KeyState& keys = in.Keys();
    const auto code = [](uint16_t k, bool byScan, bool wantScan) { return uint8_t(byScan == wantScan ? k : 0); };
    if (walk_.heldKey)
      keys.Release(code(walk_.heldKey, walk_.heldScan, false), code(walk_.heldKey, walk_.heldScan, true));
    walk_.heldKey = key;
    walk_.heldScan = scan;
    if (key) keys.Press(code(key, scan, false), code(key, scan, true));
  }

  // The random input takes over from here.
  void EndWalk(Game& g, HeadlessInput& in, const std::string& why) {
    HoldDirection(g, in, 0);
    walk_.on = false;
    if (!why.empty()) {
      ++f_.walks.stopped;
      f_.walks.lastEnd = why + " (walk step " + std::to_string(walk_.step + 1) + ")";
    }
    Mix(walk_.step + 1);
  }

  // The four direction keys can steer: bound, enabled, and bound to nothing else.
  static bool DirectionKeysUsable(const InputState& in) {
    for (int d = kSlotUp; d <= kSlotLeft; ++d) {
      const KeySlot& s = in.Slot(d);
      if (!s.Enabled || s.Key == 0 || s.Key > 255) return false;
      for (int o = 1; o <= kKeySlotCount; ++o)
        if (o != d && in.Slot(o).Key == s.Key) return false;
    }
    return true;
  }

  // One frame of the walkthrough: each step holds its direction until Gravik
  // stands its count of cells on (or has left the level by a transporter), or
  // waits its time; the title card and the journeys are waited out.
  void Walk(Game& g, HeadlessPlatform& hp) {
    HeadlessInput& in = hp.input;
    const uint8_t state = g.frame.GameState;
    World& w = g.world;
    const PlayerState& p = w.Player;
    if (state == gsScenarioComplete) {
      ++f_.walks.completed;
      return EndWalk(g, in, "");
    }
    if (state != gsPlaying) {
      HoldDirection(g, in, 0);
      const bool onTheWay = state == gsShowWindow || state == gsEnterMenus || state == gsPrepareScenario ||
                            state == gsLevelIntro || state == gsTransportOut || state == gsTransportArrive ||
                            state == gsTransportIn;
      if (!onTheWay) return EndWalk(g, in, std::string("left play for ") + GameStateName(state));
      if (++walk_.outOfPlay > 1200) EndWalk(g, in, std::string("stuck in ") + GameStateName(state));
      return;
    }
    walk_.outOfPlay = 0;
    if (p.Dead) return EndWalk(g, in, "Gravik died on level " + std::to_string(w.CurrentLevel));
    if (!DirectionKeysUsable(g.input)) {
      // The random input left bindings that cannot steer: the keyboard mode
      // switch brings that mode's own.
      if (walk_.rebound) return EndWalk(g, in, "the direction keys are bound so they cannot steer");
      walk_.rebound = true;
      for (const char* k : {"LCtrl", "LShift", "K"}) in.Push(KeyEventOf(InputEventType::KeyDown, ScancodeByName(k)));
      for (const char* k : {"K", "LShift", "LCtrl"}) in.Push(KeyEventOf(InputEventType::KeyUp, ScancodeByName(k)));
      return;
    }
    const std::vector<mkres::WalkStep>& steps = Walkthrough();
    const uint32_t now = g.Now();
    if (walk_.step >= steps.size()) {
      // Every step played: the completion follows at once, or never.
      if (int32_t(now - walk_.deadline) > 0) EndWalk(g, in, "the walkthrough ended short of completion");
      return;
    }
    if (walk_.step >= walk_.stopAt) return EndWalk(g, in, "");
    const mkres::WalkStep& step = steps[walk_.step];
    if (!walk_.begun) {
      walk_.begun = true;
      walk_.settle = 0;
      walk_.level = w.CurrentLevel;
      walk_.goalX = p.X + DirDX(step.Direction) * step.Count;
      walk_.goalY = p.Y + DirDY(step.Direction) * step.Count;
      walk_.deadline = now + uint32_t(step.Direction ? 4000 * step.Count : step.WaitMs);
    }
    bool done;
    if (step.Direction == 0) {
      HoldDirection(g, in, 0);
      done = int32_t(now - walk_.deadline) >= 0;
    } else if (w.CurrentLevel != walk_.level) {
      HoldDirection(g, in, 0);
      ++f_.walks.levelSwitches;
      done = true;
    } else {
      const bool atGoal = p.X == walk_.goalX && p.Y == walk_.goalY;
      const bool lastStep = p.Moving != 0 && p.TargetX == walk_.goalX && p.TargetY == walk_.goalY;
      HoldDirection(g, in, atGoal || lastStep ? 0 : step.Direction);
      // On the goal; a transporter under Gravik starts its journey within a few frames.
      done = atGoal && p.StepDistance == 0 && p.Moving == 0 && (w.TransportCount == 0 || ++walk_.settle > 20);
      if (!done && int32_t(now - walk_.deadline) > 0)
        return EndWalk(g, in, "Gravik is stuck on level " + std::to_string(w.CurrentLevel));
    }
    if (!done) return;
    ++f_.walks.steps;
    ++walk_.step;
    walk_.begun = false;
    walk_.deadline = now + 2000;
  }

  void Inputs(TForm1& form, HeadlessPlatform& hp) {
    Game& g = form.game();
    HeadlessInput& in = hp.input;
    if (f_.frames < idleUntil_) return;
    // Now and then silence on the main menu, past the attract demo's 30 s:
    // what is still held is let go first.
    const bool idle = g.frame.GameState == gsMainMenu && Chance(kIdleChance);
    // Events due from earlier frames (key releases, button releases, focus back).
    for (size_t i = 0; i < later_.size();) {
      if (idle || later_[i].frame <= f_.frames) {
        in.Push(later_[i].event);
        later_.erase(later_.begin() + std::ptrdiff_t(i));
      } else {
        ++i;
      }
    }
    if (idle) {
      idleUntil_ = f_.frames + kIdleFrames + uint64_t(Below(kIdleFrames));
      ++f_.idles;
      Mix(idleUntil_);
      return;
    }
    if (Chance(0.12)) PressKey(in);
    ProfileErrands(g, in);
    // Now and then Shift+4 on the main menu: the dated screen, on its day.
    if (g.frame.GameState == gsMainMenu && Chance(0.002)) {
      for (const char* k : {"LShift", "4"}) in.Push(KeyEventOf(InputEventType::KeyDown, ScancodeByName(k)));
      for (const char* k : {"4", "LShift"}) in.Push(KeyEventOf(InputEventType::KeyUp, ScancodeByName(k)));
    }
    if (Chance(0.025)) Text(in);
    if (Chance(0.05) || (Chance(0.3) && g.widgets.DraggedSlider)) {
      InputEvent ev = Simple(InputEventType::MouseMove);
      Spot(g, ev.x, ev.y);
      in.Push(ev);
    }
    if (Chance(0.02)) {
      InputEvent down = Simple(InputEventType::MouseDown);
      Spot(g, down.x, down.y);
      down.button = Chance(0.85) ? 1 : 2 + Below(2);
      InputEvent move = Simple(InputEventType::MouseMove);
      move.x = down.x;
      move.y = down.y;
      in.Push(move);
      in.Push(down);
      InputEvent up = down;
      up.type = InputEventType::MouseUp;
      if (Chance(0.3)) {
        in.Push(up);
      } else {
        After(uint64_t(1 + Below(12)), up);
      }
    }
    if (Chance(0.004)) {
      InputEvent ev = Simple(InputEventType::MouseWheel);
      ev.wheel = Chance(0.5) ? 1 : -1;
      in.Push(ev);
    }
    if (Chance(0.0015)) {
      in.Push(Simple(InputEventType::FocusLost));
      After(uint64_t(1 + Below(90)), Simple(InputEventType::FocusGained));
    }
    if (Chance(0.001)) {
      in.Push(Simple(InputEventType::MouseLeave));
      After(uint64_t(1 + Below(60)), Simple(InputEventType::MouseEnter));
    }
    if (Chance(0.0008)) {
      // The display switch; the key's release follows.
      in.Push(KeyEventOf(InputEventType::KeyDown, ScancodeByName("F10")));
      After(2, KeyEventOf(InputEventType::KeyUp, ScancodeByName("F10")));
    }
    if (Chance(0.0004)) in.Push(Simple(InputEventType::SurfaceReset));
    if (Chance(0.003)) {
      JoystickState j;
      j.present = Chance(0.9);
      j.x = uint32_t(Below(65536));
      j.y = uint32_t(Below(65536));
      if (Chance(0.5)) j.x = j.y = 32767;
      j.buttons = uint8_t(Chance(0.5) ? 0 : Below(16));
      in.SetJoystick(j);
    }
    if (Chance(0.00002)) in.Push(Simple(InputEventType::Quit));
  }

  uint64_t seed_, total_;
  std::mt19937_64 rng_;
  std::vector<WeightedKey> keys_;
  int weightSum_ = 0;
  std::vector<Later> later_;
  WalkState walk_;
  uint64_t idleUntil_ = 0;
  uint32_t lastSaves_ = 0;
  size_t messagesSeen_ = 0;
  SoakFigures f_;
};

class SoakTest : public ::testing::Test {
 protected:
  void SetUp() override { GRAVIK_REQUIRE_DATA_FILES(); }
  // A soak in a fresh home.
  static SoakFigures RunSoak(uint64_t seed, uint64_t frames) {
    testing::TempHome home;
    return Soak(seed, frames).Run();
  }
};

TEST_F(SoakTest, RandomInputOverTheMenusAndPlay) {
  const uint64_t frames = EnvNumber("GRAVIK_SOAK_FRAMES", 20000);
  const uint64_t seed = EnvNumber("GRAVIK_SOAK_SEED", 1);
  std::printf("soak seed %llu, %llu frames (GRAVIK_SOAK_SEED, GRAVIK_SOAK_FRAMES)\n", (unsigned long long)seed,
              (unsigned long long)frames);
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const SoakFigures f = RunSoak(seed, frames);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::string states, missing;
  for (uint8_t s : f.states) states += std::string(states.empty() ? "" : " ") + GameStateName(s);
  for (const StateUnit& u : ScreenUnits())
    if (!f.states.count(u.State)) missing += std::string(missing.empty() ? "" : " ") + GameStateName(u.State);
  if (!f.demoSeen) missing += std::string(missing.empty() ? "" : " ") + "(a demo)";
  std::printf(
      "soak: %llu frames in %.1f s, %d starts of the game, %zu screens (%s), %llu profile saves, %llu "
      "screenshots, peak resident memory %.1f MB\n",
      (unsigned long long)f.frames, seconds, f.sessions, f.states.size(), states.c_str(),
      (unsigned long long)f.saves, (unsigned long long)f.screenshots, double(usage.ru_maxrss) / 1024.0);
  std::printf(
      "soak: walkthrough %d started, %d completed, %d stopped short%s%s, %llu steps, %d level switches; %d silent "
      "spells on the menu\n",
      f.walks.started, f.walks.completed, f.walks.stopped, f.walks.lastEnd.empty() ? "" : " (the last: ",
      (f.walks.lastEnd.empty() ? "" : f.walks.lastEnd + ")").c_str(), (unsigned long long)f.walks.steps,
      f.walks.levelSwitches, f.idles);
  std::printf("soak: never reached: %s\n", missing.empty() ? "none" : missing.c_str());
  ASSERT_TRUE(f.failure.empty()) << f.failure << "\n(run again with GRAVIK_SOAK_SEED=" << seed
                                 << " GRAVIK_SOAK_FRAMES=" << frames << ")";
  EXPECT_EQ(f.frames, frames);
  EXPECT_GE(f.states.size(), 5u) << "the input reaches only " << states;
#if !SOAK_UNDER_ASAN
  // The sanitizer's shadow memory makes the figure meaningless in its builds.
  EXPECT_LT(usage.ru_maxrss, 64 * 1024) << "peak resident memory in KB";
#endif
}

TEST_F(SoakTest, TheSameSeedRunsTheSameFrames) {
  const uint64_t seed = EnvNumber("GRAVIK_SOAK_SEED", 1) + 1000;
  const SoakFigures a = RunSoak(seed, 4000);
  const SoakFigures b = RunSoak(seed, 4000);
  ASSERT_TRUE(a.failure.empty()) << a.failure;
  EXPECT_EQ(a.trace, b.trace);
  EXPECT_EQ(a.states, b.states);
  EXPECT_EQ(a.saves, b.saves);
  EXPECT_EQ(a.sessions, b.sessions);
  EXPECT_EQ(a.walks.steps, b.walks.steps);
  const SoakFigures c = RunSoak(seed + 1, 4000);
  EXPECT_NE(a.trace, c.trace) << "another seed, other frames";
}

}  // namespace
}  // namespace gravik
