#include "ScenarioReplay.h"

#include <algorithm>
#include <memory>

#include "Catalogue.h"
#include "base/Random.h"
#include "data/Demo.h"
#include "data/Scenario.h"
#include "data/ScenarioLevelStore.h"
#include "data/ScenarioPlay.h"
#include "frame/GameState.h"
#include "platform/Clock.h"
#include "world/Flow.h"
#include "world/LevelSetup.h"
#include "world/Player.h"
#include "world/Targets.h"
#include "world/Tick.h"
#include "world/World.h"

namespace gravik::mkres {
namespace {

class FixedClock : public Clock {
 public:
  uint32_t Ms = 1000000;
  uint32_t TickCount() override { return Ms; }
  uint64_t PerfCounter() override { return uint64_t(Ms) * 1000; }
  uint64_t PerfFrequency() override { return 1000000; }
  void SleepMs(uint32_t ms) override { Ms += ms; }
};

class Host : public StateHost {
 public:
  uint8_t State = gsPlaying;
  bool Playing() const override { return State == gsPlaying; }
  void Report(WorldOutcome outcome) override { State = StateAfter(outcome); }
};

// The replay is silent.
class NoSound : public SoundSink {
 public:
  void PlaySound(const std::string&) override {}
  void SetSoundVolume(const std::string&, int) override {}
  bool EffectsOn() const override { return false; }
  int EffectVolumeSetting() const override { return 0; }
};

class ScriptedKeys : public PlayerInput {
 public:
  int Held = 0;
  // While a demo is recorded: a step never runs on into the next cell (a
  // demo's moves are one cell each), and every standing frame on the start
  // level is noted.
  DemoRecording* Demo = nullptr;
  const World* W = nullptr;
  uint32_t PlayStart = 0;
  int Level = 0;
  bool KeyHeld(int direction) override { return direction == Held && !(Demo && W->Player.Moving != 0); }
  bool JoystickEnabled() const override { return false; }
  bool JoystickHeld(int) override { return false; }
  bool DemoPlaying() const override { return false; }
  int DemoRequest(World&) override { return 0; }
  void ReadOtherKeys(World& w) override {
    if (Demo && w.Player.Moving == 0 && w.CurrentLevel == Level)
      Demo->StandingFrame(w.Now() - w.Player.IdleRef, w.Player.Requested, w.Now() - PlayStart);
  }
};

// The background chips as the world writes them.
class ChipGrid : public ChipMap {
 public:
  std::array<uint8_t, MapCells> Chips{};
  void SetChip(int x, int y, int pattern) override {
    if (InMap(x, y)) Chips[size_t(MapIndex(x, y))] = uint8_t(pattern < 0 ? 0 : pattern > 255 ? 255 : pattern);
  }
};

std::string At(const WalkStep& s) { return "walk step at line " + std::to_string(s.Line) + ", column " + std::to_string(s.Column); }

// Grid characters of the default legend by block name, for the level picture.
char PictureChar(const std::string& name) {
  static const std::pair<const char*, char> kChars[] = {
      {"EMPTY", '.'}, {"BRICK", '#'},  {"STEEL", '='},   {"GLASS", '|'},    {"STONE", '+'}, {"EARTH1", ':'},
      {"EARTH2", ';'}, {"EARTH3", ','}, {"ROCK", 'o'},   {"DIAMOND", '*'},  {"EGG", 'e'},   {"EGGHATCH", 'h'},
      {"KEY", 'k'},   {"SAFE", 'S'},   {"CAGE", 'C'},    {"SKULL1", 'X'},   {"PLAYER1", 'P'}, {"ENDCHAR1", 'E'},
      {"SAVE", 'v'},  {"DEAD1", '!'},  {"DEAD2", '^'},   {"DEAD3", '~'},    {"PLANT1", 'w'}, {"PLANT2", 'x'},
      {"PLANT3", 'y'}, {"PLANT4", 'z'}};
  for (const auto& [n, c] : kChars)
    if (name == n) return c;
  return '?';
}

class Runner {
 public:
  Runner(Scenario& s, const Catalogue& cat, const ReplayOptions& o) : s_(s), store_(s), opt_(o), cat_(cat) {
    const std::vector<uint8_t> bytes = CatalogueBytes(cat);
    w_.Catalogue.Load(bytes.data(), bytes.size());
    w_.Named.Resolve(w_.Catalogue);
    MakeHatchEnterable(w_.Catalogue, w_.Named);
    w_.Store = &store_;
    w_.Chips = &chips_;
  }

  // From now on the run is recorded as a demo.
  void BeginDemo(DemoRecording& demo) {
    demo.Begin(TakeDemoSnapshot(w_, chips_.Chips, host_.State));
    keys_.Demo = &demo;
    keys_.W = &w_;
    keys_.PlayStart = clock_.Ms;
    keys_.Level = w_.CurrentLevel;
  }
  uint32_t PlayMs() const { return clock_.Ms - keys_.PlayStart; }
  int CurrentLevel() const { return w_.CurrentLevel; }

  // The start of a game: the loaded scenario into the world, the start cell,
  // the first level built.
  void Start() {
    TakeScenarioIntoWorld(w_, s_);
    for (int i = 0; i < 5; ++i) w_.InitialTotals[size_t(i)] = s_.Header.Totals[i];
    w_.Count.EndCharsLeft = InitialEndCharacters(w_);
    const StartCell start = FindStartCell(w_);
    w_.CurrentLevel = start.Level;
    ApplyLevelFlagOverrides(w_.Catalogue);
    ResetPlayerMovement(w_, clock_.Ms);
    w_.Count.Score = 0;
    w_.PuzzleAreaMap.fill(w_.Named.Earth1);
    w_.RecountTargets = 1;
    w_.Player.X = start.X;
    w_.Player.Y = start.Y;
    BuildWorld(w_);
    PlacePlayer(w_, start.X, start.Y);
    for (TMonster& m : w_.Monsters) m = TMonster{};
    CountTargets(w_);
    host_.State = gsPlaying;
    RestartObjectClocks(w_, clock_.Ms);
    w_.FrameTime = clock_.Ms;
    Log("level " + std::to_string(w_.CurrentLevel) + ": start at " + Cell());
  }

  // One frame of play. False when play has ended (death or completion).
  bool Frame() {
    clock_.Ms += uint32_t(opt_.FrameMs);
    ++frames_;
    tick_.SetFrameStep(384.0 * opt_.FrameMs / 1000.0);
    GameTick(w_, tick_);
    if (w_.Player.StepDistance == 0) CheckScenarioDone(w_);
    if (host_.State == gsTransportOut) Arrive();
    return host_.State == gsPlaying;
  }

  // The transporter arrival of the game flow.
  void Arrive() {
    clock_.Ms += uint32_t(opt_.JourneyMs / 2);
    if (ArriveThroughTransporter(w_, s_.Transporters, clock_.Ms).Matched)
      Log("level " + std::to_string(w_.CurrentLevel) + ": arrived at " + Cell() + " after " + Time());
    clock_.Ms += uint32_t(opt_.JourneyMs / 2);
    host_.State = w_.Player.Dead ? gsLosingLife : gsPlaying;
  }

  // Holds the direction until Gravik stands `count` cells on.
  std::string Move(const WalkStep& step) {
    PlayerState& p = w_.Player;
    const int gx = p.X + DirDX(step.Direction) * step.Count, gy = p.Y + DirDY(step.Direction) * step.Count;
    const int startLevel = w_.CurrentLevel;
    const uint32_t deadline = clock_.Ms + uint32_t(opt_.StepTimeoutMs * step.Count);
    while (true) {
      const bool atGoal = p.X == gx && p.Y == gy;
      const bool lastStep = p.Moving != 0 && p.TargetX == gx && p.TargetY == gy;
      keys_.Held = atGoal || lastStep ? 0 : step.Direction;
      if (atGoal && p.StepDistance == 0 && p.Moving == 0) break;
      if (w_.CurrentLevel != startLevel) break;  // the goal was a transporter
      if (int32_t(clock_.Ms - deadline) > 0)
        return At(step) + ": Gravik is stuck at " + Cell() + " on the way to (" + std::to_string(gx - LevelOriginX) +
               ", " + std::to_string(gy - LevelOriginY) + ")";
      if (!Frame()) break;
    }
    keys_.Held = 0;
    // A transporter under Gravik starts its journey within a few frames.
    for (int i = 0; i < 20 && host_.State == gsPlaying && w_.CurrentLevel == startLevel && w_.TransportCount != 0; ++i)
      Frame();
    return Ended(step);
  }

  std::string Wait(const WalkStep& step) {
    keys_.Held = 0;
    const uint32_t until = clock_.Ms + uint32_t(step.WaitMs);
    while (int32_t(clock_.Ms - until) < 0)
      if (!Frame()) break;
    return Ended(step);
  }

  std::string Ended(const WalkStep& step) {
    if (host_.State == gsLosingLife || w_.Player.Dead)
      return At(step) + ": Gravik died at " + Cell() + " on level " + std::to_string(w_.CurrentLevel);
    return {};
  }

  bool Completed() const { return host_.State == gsScenarioComplete; }

  void Fill(ReplayReport& r) const {
    r.Frames = frames_;
    r.GameMs = uint32_t(frames_) * uint32_t(opt_.FrameMs);
    r.Level = w_.CurrentLevel;
    const Counters& c = w_.Count;
    r.Score = c.Score;
    r.DiamondsLeft = c.DiamondsLeft;
    r.EarthLeft = c.EarthLeft;
    r.MonstersLeft = c.MonstersLeft;
    r.TransportersLeft = c.TransportersLeft;
    r.PuzzlePiecesLeft = c.PuzzlePiecesLeft;
    r.EndCharsLeft = c.EndCharsLeft;
  }

  std::string Picture() const {
    const int w = w_.LevelWidth, h = w_.LevelHeight;
    std::vector<std::string> rows(size_t(h), std::string(size_t(w), '?'));
    for (int y = 1; y <= h; ++y)
      for (int x = 1; x <= w; ++x) {
        const int code = w_.At(x + LevelOriginX, y + LevelOriginY);
        char c = '?';
        if (code == 0 || code == 1) c = '.';
        else if (code == 253) c = 'T';
        else if (code == 254) c = 'G';
        else if (code == 255) c = 'a';
        else if (code <= kPictureBlocks) c = PictureChar(cat_.At(code).Name);
        rows[size_t(y - 1)][size_t(x - 1)] = c;
      }
    auto mark = [&](int x, int y, char c) {
      x -= LevelOriginX;
      y -= LevelOriginY;
      if (x >= 1 && x <= w && y >= 1 && y <= h) rows[size_t(y - 1)][size_t(x - 1)] = c;
    };
    for (const TMonster& m : w_.Monsters)
      if (m.State == 2) mark(m.X, m.Y, 'M');
    for (const TSpirit& sp : w_.Spirits)
      if (sp.Active) mark(sp.X, sp.Y, '@');
    mark(w_.Player.X, w_.Player.Y, 'P');
    std::string out;
    for (const std::string& r : rows) out += r + "\n";
    return out;
  }

  void Log(const std::string& s) const {
    if (opt_.Log) opt_.Log(s);
  }
  std::string Cell() const {
    return "(" + std::to_string(w_.Player.X - LevelOriginX) + ", " + std::to_string(w_.Player.Y - LevelOriginY) + ")";
  }
  std::string Time() const { return std::to_string(frames_) + " frames"; }

 private:
  Scenario& s_;
  ScenarioLevelStore store_;
  const ReplayOptions& opt_;
  FixedClock clock_;
  RandomGenerator random_{1974};
  Host host_;
  NoSound sound_;
  World w_{clock_, random_, sound_, host_};
  ChipGrid chips_;
  ScriptedKeys keys_;
  RulesOnlyHost tick_{keys_, 0};
  const Catalogue& cat_;
  int frames_ = 0;
};

// The scenario file loaded as the game loads it; null when it does not load.
std::unique_ptr<Scenario> LoadForReplay(const std::vector<uint8_t>& scenarioFile) {
  auto scenario = std::make_unique<Scenario>();
  std::vector<uint8_t> bytes = scenarioFile;
  if (LoadScenario(*scenario, bytes) != ScenarioLoaded || !scenario->CrcCorrect) return nullptr;
  Scenario& s = *scenario;
  if (s.Extras.DefaultPuzzle != 0) {
    s.Extras.PuzzleColumns = 10;
    s.Extras.PuzzleRows = 4;
  }
  s.Extras.PuzzlePieces = s.Extras.PuzzleColumns * s.Extras.PuzzleRows;
  ComputeLevelSeeds(s);
  BuildTransporterTable(s);
  return scenario;
}

}  // namespace

std::vector<uint8_t> RecordScenarioDemo(const std::vector<uint8_t>& scenarioFile,
                                        const std::vector<DemoScriptStep>& script, const Catalogue& catalogue,
                                        std::string* error) {
  auto fail = [error](const std::string& m) {
    if (error) *error = "the demo: " + m;
    return std::vector<uint8_t>{};
  };
  std::unique_ptr<Scenario> scenario = LoadForReplay(scenarioFile);
  if (!scenario) return fail("the scenario file does not load");
  ReplayOptions options;
  auto run = std::make_unique<Runner>(*scenario, catalogue, options);
  run->Start();
  DemoRecording demo;
  run->BeginDemo(demo);
  const int startLevel = run->CurrentLevel();
  for (size_t i = 0; i < script.size(); ++i) {
    const DemoScriptStep& step = script[i];
    if (!step.Caption.empty()) demo.AddCaption(run->PlayMs(), step.Caption);
    WalkStep w;
    w.Direction = step.Direction;
    w.Count = step.Count;
    w.WaitMs = step.WaitMs;
    w.Line = int(i + 1);
    const std::string failure = step.Direction ? run->Move(w) : run->Wait(w);
    if (!failure.empty()) return fail(failure);
    if (run->CurrentLevel() != startLevel) break;
  }
  std::vector<std::string> notes;
  const DemoFile file = demo.Finish(&notes);
  if (!notes.empty()) return fail(notes.front());
  return WriteDemo(file);
}

ReplayReport ReplayScenario(const std::vector<uint8_t>& scenarioFile, const std::vector<WalkStep>& walk,
                            const Catalogue& catalogue, const ReplayOptions& options) {
  ReplayReport report;
  std::unique_ptr<Scenario> scenario = LoadForReplay(scenarioFile);
  if (!scenario) {
    report.Failure = "the scenario file does not load";
    return report;
  }
  Scenario& s = *scenario;

  auto world = std::make_unique<Runner>(s, catalogue, options);
  Runner& run = *world;
  run.Start();
  for (const WalkStep& step : walk) {
    report.Failure = step.Direction ? run.Move(step) : run.Wait(step);
    if (options.PictureEachStep)
      run.Log("after the walk step at line " + std::to_string(step.Line) + ", column " + std::to_string(step.Column) +
              ", " + run.Time() + ":\n" + run.Picture());
    if (!report.Failure.empty()) break;
    ++report.StepsPlayed;
    if (run.Completed()) break;
  }
  // A little time for the last frame's counts.
  for (int i = 0; i < 10 && report.Failure.empty() && !run.Completed(); ++i) run.Frame();
  run.Fill(report);
  report.Picture = run.Picture();
  report.Completed = run.Completed();
  if (report.Failure.empty() && !report.Completed)
    report.Failure = "the walkthrough ended before the scenario was complete";
  run.Log(report.Completed ? "scenario complete after " + run.Time() : report.Failure);
  return report;
}

}  // namespace gravik::mkres
