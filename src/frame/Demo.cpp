#include "frame/Demo.h"

#include <cstdio>

#include "base/Text.h"
#include "frame/Form.h"
#include "frame/GameFlow.h"
#include "frame/Keys.h"
#include "platform/Folders.h"
#include "render/Panel.h"

namespace gravik {

namespace {

constexpr size_t kDemoFileLimit = 16u << 20;

bool ReadDemoBytes(Game& g, const std::string& file, std::vector<uint8_t>& bytes, std::string& error) {
  if (!file.empty()) {
    if (ReadWholeFile(file, bytes, kDemoFileLimit)) return true;
    error = file + " cannot be read";
    return false;
  }
  if (!g.archive) {
    error = "the resource archive is not open";
    return false;
  }
  Archive& a = *g.archive;
  if (!a.IsOpen()) a.OpenArchive();
  if (!a.HasItem(DemoItemName)) {
    error = std::string(DemoItemName) + " is not in the resource archive";
    return false;
  }
  bytes = a.ReadItem(DemoItemName);
  return true;
}

}  // namespace

std::array<uint8_t, MapCells> BackgroundChips(Game& g) {
  std::array<uint8_t, MapCells> chips{};
  if (TBackgroundSprite* bg = g.playfield.Background)
    for (int x = 1; x <= MapWidth; ++x)
      for (int y = 1; y <= MapHeight; ++y) {
        const int c = bg->Cell(x, y);
        chips[size_t(MapIndex(x, y))] = uint8_t(c < 0 ? 0 : c > 255 ? 255 : c);
      }
  return chips;
}

bool DemoState(uint8_t s) {
  return s == gsPrepareScenario || s == gsLevelIntro || IsPlayState(s);
}

bool BeginDemo(TForm1& form, const std::string& file) {
  Game& g = form.game();
  std::vector<uint8_t> bytes;
  std::string error;
  auto demo = std::make_unique<DemoFile>();
  if (!ReadDemoBytes(g, file, bytes, error) || !ReadDemo(bytes, *demo, error)) {
    std::fprintf(stderr, "gravik: the demo was refused: %s\n", error.c_str());
    return false;
  }
  g.demo->File = std::move(demo);
  g.demo->EventNumber = 1;
  g.demo->TimingPending = false;
  g.world.DemoMode = true;
  form.SetGameState(gsPrepareScenario);
  return true;
}

void StartDemo(TForm1& form) {
  Game& g = form.game();
  World& w = g.world;
  DemoPlayback& d = *g.demo;
  if (!w.DemoMode) return;
  if (!d.File) {
    // Demo mode was switched on without a demo read beforehand: the built-in one.
    std::vector<uint8_t> bytes;
    std::string error;
    auto demo = std::make_unique<DemoFile>();
    if (!ReadDemoBytes(g, "", bytes, error) || !ReadDemo(bytes, *demo, error)) {
      std::fprintf(stderr, "gravik: the demo was refused: %s\n", error.c_str());
      EndDemo(form);
      return;
    }
    d.File = std::move(demo);
  }
  const DemoSnapshot& s = d.File->Snapshot;
  ApplyDemoSnapshot(w, s);
  if (TBackgroundSprite* bg = g.playfield.Background)
    for (int x = 1; x <= MapWidth; ++x)
      for (int y = 1; y <= MapHeight; ++y) bg->SetCell(x, y, s.Chips[size_t(MapIndex(x, y))]);
  g.values.RestartX = s.PlayerX;
  g.values.RestartY = s.PlayerY;
  PlacePlayerAtRestart(g);
  d.EventNumber = 1;
  d.TimingPending = true;
  w.DemoMode = true;
}

void DemoPlayBegins(Game& g) {
  DemoPlayback& d = *g.demo;
  if (!d.TimingPending || !d.File) return;
  d.TimingPending = false;
  const uint32_t clock = ApplyDemoTiming(g.world, d.File->Snapshot, g.Now());
  if (d.File->Snapshot.Timing) g.values.LevelClock = clock;
}

int DemoInput(TForm1& form, World& w) {
  Game& g = form.game();
  DemoPlayback& d = *g.demo;
  if (!d.File) {
    EndDemo(form);
    return DirNone;
  }
  int direction = DirNone;
  const PlayerState& p = w.Player;
  if (!p.Dead && p.Moving == 0) {
    const DemoEvent e = d.File->Event(d.EventNumber);
    const int64_t since = int64_t(uint32_t(w.Now() - p.IdleRef));
    if (e.Time < 0 || since >= e.Time) {
      if (e.Kind == DemoMoveEvent && e.Value <= DirLeft) direction = e.Value;
      // A demo may stand the player on the map's last row: no move leaves the map.
      if (!InMap(p.X + DirDX(direction), p.Y + DirDY(direction))) direction = DirNone;
      ++d.EventNumber;
      if (d.EventNumber >= d.File->Count) {
        EndDemo(form);
        return direction;
      }
    }
  }
  if (g.platform.input.Keys().AsyncKeyState(vk::Escape) & 0x8000) EndDemo(form);
  return direction;
}

void LeaveDemoMode(Game& g) {
  g.world.DemoMode = false;
  g.demo->File.reset();
  g.demo->TimingPending = false;
  ClearHitMarks(g.world);
  ShowPlayfield(g, false);
}

void EndDemo(TForm1& form) {
  LeaveDemoMode(form.game());
  form.SetGameState(gsMainMenu);
}

bool DemoCaptionPending(const Game& g) {
  const DemoPlayback& d = *g.demo;
  if (!g.world.DemoMode || !d.File || g.world.Player.Moving != 0) return false;
  if (d.EventNumber <= 1) return false;
  const DemoEvent e = d.File->Event(d.EventNumber);
  return e.Kind == DemoCaptionEvent && d.File->Caption(e.Value) != nullptr;
}

void DrawDemoCaption(Game& g, Bitmap& surface) {
  if (!DemoCaptionPending(g)) return;
  const DemoEvent e = g.demo->File->Event(g.demo->EventNumber);
  DrawDemoCaptionBox(surface, g.systemText, *g.demo->File->Caption(e.Value));
}

bool DemoTakesKey(TForm1& form) {
  if (!form.game().world.DemoMode || !DemoState(form.frame().GameState)) return false;
  EndDemo(form);
  return true;
}

bool DemoTakesClick(TForm1& form) { return DemoTakesKey(form); }

void DemoPollJoystick(TForm1& form) {
  Game& g = form.game();
  if (!g.world.DemoMode || !g.input.JoystickEnabled || !DemoState(form.frame().GameState)) return;
  if (NewJoystickButtons(g) != 0) EndDemo(form);
}

void NoteUserInput(Game& g) { g.values.LastInputTick = g.Now(); }

void MaybeStartAttractDemo(TForm1& form) {
  Game& g = form.game();
  if (form.frame().GameState != gsMainMenu || g.world.DemoMode) return;
  if (g.input.JoystickEnabled) {
    const JoystickReading r = ReadJoystick(g.input, g.platform.input);
    const uint8_t seen = r.Ok ? uint8_t(r.Buttons | (r.Direction << 4)) : 0;
    if (r.PadButtons != 0 || seen != g.values.JoystickSeen) NoteUserInput(g);
    g.values.JoystickSeen = seen;
  }
  if (TicksSince(g.Now(), g.values.LastInputTick) <= AttractDemoIdleMs) return;
  NoteUserInput(g);  // a refused demo is tried again after another idle spell
  BeginDemo(form, "");
}

// --- recording ------------------------------------------------------------------

bool SetUpRecorder(Game& g, std::string& error) {
  if (g.options.recordDemo.empty()) return true;
  auto rec = std::make_unique<DemoRecorder>(g.options.recordDemo);
  if (!g.options.demoCaptions.empty()) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(g.options.demoCaptions, bytes, 1u << 20)) {
      error = g.options.demoCaptions + " cannot be read";
      return false;
    }
    if (!ParseDemoCaptions(std::string(bytes.begin(), bytes.end()), rec->Recording, error)) {
      error = g.options.demoCaptions + ": " + error;
      return false;
    }
  }
  g.recorder = std::move(rec);
  return true;
}

bool Recording(const Game& g) { return g.recorder && g.recorder->InProgress() && !g.world.DemoMode; }

void RecordPlayBegins(Game& g) {
  DemoRecorder* r = g.recorder.get();
  if (!r || r->Written || r->Recording.Started() || g.world.DemoMode) return;
  DemoSnapshot s = TakeDemoSnapshot(g.world, BackgroundChips(g), g.frame.GameState);
  s.Timing->LevelClockAge = g.Now() - g.values.LevelClock;
  r->PlayStart = g.Now();
  r->Recording.Begin(s);
}

void FinishRecording(Game& g) {
  DemoRecorder* r = g.recorder.get();
  if (!r || !r->InProgress()) return;
  r->Written = true;
  std::vector<std::string> notes;
  const DemoFile demo = r->Recording.Finish(&notes);
  for (const std::string& n : notes) std::fprintf(stderr, "gravik: recording: %s\n", n.c_str());
  const std::vector<uint8_t> bytes = WriteDemo(demo);
  if (WriteWholeFileAtomic(r->Path, bytes.data(), bytes.size()))
    std::fprintf(stderr, "gravik: demo of %u events written to %s\n", unsigned(demo.Count - 1), r->Path.c_str());
  else
    std::fprintf(stderr, "gravik: the demo could not be written to %s\n", r->Path.c_str());
}

bool RecordingInput::KeyHeld(int direction) { return g_.world.Player.Moving == 0 && inner_.KeyHeld(direction); }

bool RecordingInput::JoystickHeld(int direction) {
  return g_.world.Player.Moving == 0 && inner_.JoystickHeld(direction);
}

void RecordingInput::ReadOtherKeys(World& w) {
  if (Recording(g_) && w.Player.Moving == 0)
    g_.recorder->Recording.StandingFrame(w.Now() - w.Player.IdleRef, w.Player.Requested,
                                         w.Now() - g_.recorder->PlayStart);
  inner_.ReadOtherKeys(w);
}

}  // namespace gravik
