#include "data/SaveGame.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "base/Bytes.h"
#include "base/Crc.h"
#include "codec/Codec.h"

namespace gravik {
namespace {

// A record that grows a field must be saved with it: these sizes catch that.
static_assert(sizeof(CellState) == 12 && sizeof(TMonster) == 136 && sizeof(TSpirit) == 96 &&
                  sizeof(TMeteor) == 40 && sizeof(PlayerState) == 160 && sizeof(Counters) == 32,
              "a world record changed: save and restore its new fields");

// The ports of a world that is only read into and checked, never run: any use
// of them is a fault of this file.
struct UnusedPorts final : Clock, SoundSink, StateHost {
  [[noreturn]] static void Used() { throw std::logic_error("a saved game's world was run while being read"); }
  uint32_t TickCount() override { Used(); }
  uint64_t PerfCounter() override { Used(); }
  uint64_t PerfFrequency() override { Used(); }
  void SleepMs(uint32_t) override { Used(); }
  void PlaySound(const std::string&) override { Used(); }
  void SetSoundVolume(const std::string&, int) override { Used(); }
  bool EffectsOn() const override { Used(); }
  int EffectVolumeSetting() const override { Used(); }
  bool Playing() const override { Used(); }
  void Report(WorldOutcome) override { Used(); }
};

// One list of the saved fields serves both directions: the writer and the
// reader below have the same calls, the reader's taking references to fill.
// Ticks are written as ages against the clock reading `now`.
class Writer {
 public:
  Writer(std::vector<uint8_t>& out, uint32_t now) : w_(out), now_(now) {}
  void U8(const uint8_t& v) { w_.U8(v); }
  void Bool(const bool& v) { w_.U8(v ? 1 : 0); }
  void I32(const int32_t& v) { w_.U32(uint32_t(v)); }
  void Int(const int& v) { w_.U32(uint32_t(v)); }
  void U32(const uint32_t& v) { w_.U32(v); }
  void I16(const int16_t& v) { w_.U16(uint16_t(v)); }
  void F64(const double& v) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    w_.U32(uint32_t(bits)).U32(uint32_t(bits >> 32));
  }
  void Tick(const uint32_t& t) { w_.U32(now_ - t); }
  // A tick kept in a double (whole milliseconds).
  void TickF(const double& t) { w_.U32(now_ - uint32_t(int64_t(t))); }
  template <size_t N>
  void Bytes(const std::array<uint8_t, N>& a) {
    w_.Bytes(a.data(), N);
  }
  void Raw(const void* p, size_t n) { w_.Bytes(p, n); }
  bool Ok() const { return true; }

 private:
  ByteWriter w_;
  uint32_t now_;
};

class Reader {
 public:
  Reader(std::span<const uint8_t> in, uint32_t now) : r_(in), now_(now) {}
  void U8(uint8_t& v) { Get(r_.U8(v)); }
  void Bool(bool& v) {
    uint8_t b = 0;
    Get(r_.U8(b));
    if (b > 1) ok_ = false;
    v = b != 0;
  }
  void I32(int32_t& v) {
    uint32_t u = 0;
    Get(r_.U32(u));
    v = int32_t(u);
  }
  void Int(int& v) {
    int32_t i = 0;
    I32(i);
    v = i;
  }
  void U32(uint32_t& v) { Get(r_.U32(v)); }
  void I16(int16_t& v) {
    uint16_t u = 0;
    Get(r_.U16(u));
    v = int16_t(u);
  }
  void F64(double& v) {
    uint32_t lo = 0, hi = 0;
    Get(r_.U32(lo));
    Get(r_.U32(hi));
    const uint64_t bits = uint64_t(lo) | (uint64_t(hi) << 32);
    std::memcpy(&v, &bits, sizeof v);
    if (v != v || v > 1e9 || v < -1e9) ok_ = false;  // NaN or far off any map
  }
  void Tick(uint32_t& t) {
    uint32_t age = 0;
    Get(r_.U32(age));
    t = now_ - age;
  }
  void TickF(double& t) {
    uint32_t tick = 0;
    Tick(tick);
    t = double(tick);
  }
  template <size_t N>
  void Bytes(std::array<uint8_t, N>& a) {
    Get(r_.Bytes(a.data(), N));
  }
  void Raw(void* p, size_t n) { Get(r_.Bytes(p, n)); }
  bool Ok() const { return ok_; }
  size_t Left() const { return r_.Left(); }

 private:
  void Get(bool read) { ok_ = ok_ && read; }
  ByteReader r_;
  uint32_t now_;
  bool ok_ = true;
};

template <class IO>
void CellFields(IO& io, CellState& c) {
  io.U8(c.Frame);
  io.Tick(c.AnimTime);
  io.U8(c.AnimFlag);
  io.U8(c.Motion);
  io.U8(c.PrevMotion);
}

// `live`: the monster of the running level (its times are ticks); saved levels
// keep their monsters' times as ages already.
template <class IO>
void MonsterFields(IO& io, TMonster& m, bool live) {
  io.U8(m.State);
  io.U8(m.HitSide);
  io.F64(m.BoxX);
  io.F64(m.BoxY);
  io.I32(m.PendingDirection);
  io.F64(m.TargetX);
  io.F64(m.TargetY);
  io.F64(m.PixelX);
  io.F64(m.PixelY);
  if (live) {
    io.Tick(m.AnimTime);
    io.Tick(m.HatchTime);
  } else {
    io.U32(m.AnimTime);
    io.U32(m.HatchTime);
  }
  io.I32(m.X);
  io.I32(m.Y);
  io.I32(m.Frame);
  io.U8(m.Visible);
  io.I32(m.Direction);
  io.I32(m.AnimToggle);
  io.I32(m.Wait);
  io.F64(m.Distance);
  io.U8(m.Moving);
  io.F64(m.ScreenX);
  io.F64(m.ScreenY);
}

template <class IO>
void SpiritFields(IO& io, TSpirit& s) {
  io.U8(s.Moving);
  io.U8(s.Active);
  io.TickF(s.AnimTime);
  io.I32(s.Frame);
  io.I32(s.Pattern);
  io.F64(s.PixelX);
  io.F64(s.PixelY);
  io.F64(s.TargetX);
  io.F64(s.TargetY);
  io.F64(s.Distance);
  io.I32(s.X);
  io.I32(s.Y);
  io.I32(s.HitSide);
  io.U8(s.Facing);
  io.U8(s.Drawn);
  io.F64(s.ScreenX);
  io.F64(s.ScreenY);
}

template <class IO>
void MeteorFields(IO& io, TMeteor& m) {
  io.I32(m.HitSide);
  io.U8(m.Active);
  io.F64(m.PixelX);
  io.F64(m.PixelY);
  io.U8(m.Band);
  io.I32(m.ScreenX);
  io.I32(m.ScreenY);
  io.U8(m.Drawn);
}

template <class IO>
void PlayerFields(IO& io, PlayerState& p) {
  io.I32(p.X);
  io.I32(p.Y);
  io.F64(p.PixelX);
  io.F64(p.PixelY);
  io.F64(p.ViewX);
  io.F64(p.ViewY);
  io.F64(p.TargetViewX);
  io.F64(p.TargetViewY);
  io.I32(p.TargetX);
  io.I32(p.TargetY);
  io.I32(p.Requested);
  io.I32(p.Moving);
  io.I32(p.LastDirection);
  io.F64(p.StepDistance);
  io.F64(p.StepDistanceX);
  io.F64(p.StepDistanceY);
  io.I32(p.WalkPos);
  io.TickF(p.LastWalkFrame);
  io.Tick(p.IdleRef);
  io.I32(p.IdleCycles);
  io.I32(p.IdlePos);
  io.I32(p.SettleDelay);
  io.I32(p.StepsTaken);
  io.Bool(p.ArrivedByTransporter);
  io.I32(p.Pattern);
  io.U8(p.Dead);
  io.Bool(p.GaveUp);
  io.Tick(p.DeathTime);
}

template <class IO>
void LevelStateFields(IO& io, TLevelState& s) {
  io.I32(s.Seed1);
  io.I32(s.Seed2);
  io.U8(s.Visited);
  io.Bytes(s.Seen);
  io.Bytes(s.RockFrames);
  for (TMonster& m : s.Monsters) MonsterFields(io, m, false);
  for (TSpirit& sp : s.Spirits) SpiritFields(io, sp);
  for (TMeteor& m : s.Meteors) MeteorFields(io, m);
}

// Everything of the world that play changes; the connections, the catalogue
// and the frame's own values (frame step, panel, demo flags) are not saved.
template <class IO>
void WorldFields(IO& io, World& w) {
  io.Bytes(w.Map);
  for (CellState& c : w.Cells) CellFields(io, c);
  for (TMonster& m : w.Monsters) MonsterFields(io, m, true);
  for (TSpirit& s : w.Spirits) SpiritFields(io, s);
  io.I32(w.SpiritCount);
  for (TMeteor& m : w.Meteors) MeteorFields(io, m);
  io.I32(w.MeteorCount);
  PlayerFields(io, w.Player);
  Counters& c = w.Count;
  for (int32_t* v : {&c.DiamondsLeft, &c.EarthLeft, &c.MonstersLeft, &c.TransportersLeft, &c.PuzzlePiecesLeft,
                     &c.EndCharsLeft, &c.Score, &c.DiamondsCollected})
    io.I32(*v);
  for (TLevelState& s : w.Levels) LevelStateFields(io, s);
  io.I32(w.Rng.A);
  io.I32(w.Rng.B);
  io.Int(w.GraphicsStyle);
  io.Int(w.CurrentLevel);
  io.Int(w.LevelWidth);
  io.Int(w.LevelHeight);
  io.Int(w.RightColumn);
  io.Int(w.BottomRow);
  io.Bool(w.HasEndCell);
  io.Int(w.EndX);
  io.Int(w.EndY);
  io.Int(w.PuzzleWidth);
  io.Int(w.PuzzleHeight);
  io.Bytes(w.PuzzleCollected);
  io.Bool(w.DefaultPuzzle);
  io.Bytes(w.PuzzleAreaMap);
  io.Tick(w.DiamondTimer);
  io.Tick(w.KeyTimer);
  io.Tick(w.SkullTimer);
  io.Tick(w.LastBlockPass);
  io.Tick(w.FrameTime);
  io.U8(w.KeyUsed);
  io.U8(w.RecountTargets);
  io.I32(w.TransportCount);
  io.Tick(w.JourneyStart);
  io.F64(w.IrisProgress);
  io.Bool(w.ScenarioFinished);
  io.F64(w.CompletionPercent);
  for (int32_t& t : w.InitialTotals) io.I32(t);
}

// The level records play changes: every level's cells and parameters.
template <class IO>
void LevelRecordFields(IO& io, TLevelRecord& level) {
  io.Raw(level.Cells, sizeof level.Cells);
  for (auto& column : level.Params)
    for (int16_t& p : column) io.I16(p);
}

// Positions the rules index arrays with: a saved game whose values lie outside
// them is refused rather than played.
std::string CheckWorld(const World& w) {
  auto inMap = [](int x, int y) { return InMap(x, y); };
  if (w.CurrentLevel < 1 || w.CurrentLevel > WorldLevels) return "level out of range";
  if (w.LevelWidth < 1 || w.LevelWidth > LevelSide || w.LevelHeight < 1 || w.LevelHeight > LevelSide)
    return "level size out of range";
  if (w.RightColumn < 1 || w.RightColumn > MapWidth || w.BottomRow < 1 || w.BottomRow > MapHeight)
    return "level edge out of range";
  const PlayerState& p = w.Player;
  if (!inMap(p.X, p.Y) || !inMap(p.TargetX == 0 ? p.X : p.TargetX, p.TargetY == 0 ? p.Y : p.TargetY))
    return "player outside the map";
  if (p.Requested < 0 || p.Requested > 4 || p.Moving < 0 || p.Moving > 4 || p.LastDirection < 0 ||
      p.LastDirection > 4)
    return "player direction out of range";
  if (w.HasEndCell && !inMap(w.EndX, w.EndY)) return "end cell outside the map";
  if (w.SpiritCount < 0 || w.SpiritCount > SpiritSlots || w.MeteorCount < 0 || w.MeteorCount > MeteorSlots)
    return "object count out of range";
  if (w.PuzzleWidth < 0 || w.PuzzleWidth > PuzzleColumnsMax || w.PuzzleHeight < 0 ||
      w.PuzzleHeight > PuzzleRowsMax)
    return "puzzle size out of range";
  if (w.GraphicsStyle < 1 || w.GraphicsStyle > 2) return "graphics style out of range";
  for (const TMonster& m : w.Monsters)
    if (m.State > 2 || (m.State != 0 && !inMap(m.X, m.Y)) || m.Direction < 0 || m.Direction > 4)
      return "monster out of range";
  for (const TSpirit& s : w.Spirits)
    if (s.Active && !inMap(s.X, s.Y)) return "spirit outside the map";
  for (const CellState& c : w.Cells)
    if (c.Motion > 4 || c.PrevMotion > 4) return "cell motion out of range";
  return {};
}

void SummaryFields(Writer& io, const SaveSummary& s) {
  for (const std::string* text : {&s.ScenarioFile, &s.ScenarioName}) {
    const uint8_t n = uint8_t(std::min<size_t>(text->size(), 255));
    io.U8(n);
    io.Raw(text->data(), n);
  }
  io.U32(s.ScenarioCrc);
  io.I32(s.Level);
  io.I32(s.Score);
  io.I32(s.Lives);
  io.U32(s.PlaySeconds);
}

void SummaryFields(Reader& io, SaveSummary& s) {
  for (std::string* text : {&s.ScenarioFile, &s.ScenarioName}) {
    uint8_t n = 0;
    io.U8(n);
    text->assign(n, '\0');
    io.Raw(text->data(), n);
  }
  io.U32(s.ScenarioCrc);
  io.I32(s.Level);
  io.I32(s.Score);
  io.I32(s.Lives);
  io.U32(s.PlaySeconds);
}

template <class IO>
void PlayFields(IO& io, SavedPlayValues& p) {
  io.U8(p.Lives);
  io.U32(p.TotalPlaySeconds);
  io.U32(p.LevelClockAge);
  io.I32(p.RestartX);
  io.I32(p.RestartY);
  io.I32(p.TransportersUsed);
  uint32_t lo = uint32_t(p.RandomState), hi = uint32_t(p.RandomState >> 32);
  io.U32(lo);
  io.U32(hi);
  p.RandomState = uint64_t(lo) | (uint64_t(hi) << 32);
}

// The state part of a payload into `w` (a copy of a world), the level records
// into `levels` and the chips; false when it is short, long or out of range.
bool ReadState(std::span<const uint8_t> state, World& w, std::array<TLevelRecord, LevelCount>& levels,
               std::array<uint8_t, MapCells>& chips, uint32_t now, std::string& error) {
  Reader io(state, now);
  WorldFields(io, w);
  for (TLevelRecord& level : levels) LevelRecordFields(io, level);
  io.Bytes(chips);
  if (!io.Ok() || io.Left() != 0) {
    error = "Saved game damaged.";
    return false;
  }
  if (std::string fault = CheckWorld(w); !fault.empty()) {
    error = "Saved game damaged (" + fault + ").";
    return false;
  }
  return true;
}

}  // namespace

std::vector<uint8_t> WriteSavedGame(const SaveSummary& summary, const SavedPlayValues& play, const World& world,
                                    const Scenario& scenario, std::span<const uint8_t> chips, uint32_t now) {
  std::vector<uint8_t> payload;
  payload.reserve(512 * 1024);
  Writer io(payload, now);
  SummaryFields(io, summary);
  SavedPlayValues p = play;
  PlayFields(io, p);
  WorldFields(io, const_cast<World&>(world));
  for (const TLevelRecord& level : scenario.Levels) LevelRecordFields(io, const_cast<TLevelRecord&>(level));
  std::array<uint8_t, MapCells> c{};
  std::memcpy(c.data(), chips.data(), std::min(chips.size(), c.size()));
  io.Bytes(c);

  const std::vector<uint8_t> packed = Compress(payload.data(), payload.size(), TCompressMode::Fast);
  std::vector<uint8_t> file;
  file.reserve(SaveGameHeaderSize + packed.size());
  ByteWriter out(file);
  out.Bytes(SaveGameTag, 4).U16(SaveGameVersion).U16(0).U32(uint32_t(packed.size()));
  out.U32(Crc32(packed.data(), packed.size())).Bytes(packed.data(), packed.size());
  return file;
}

bool ReadSavedGame(std::span<const uint8_t> file, SavedGame& out, std::string& error) {
  ByteReader in(file);
  char tag[4] = {};
  uint16_t version = 0, reserved = 0;
  uint32_t packedSize = 0, crc = 0;
  if (!in.Bytes(tag, 4) || std::memcmp(tag, SaveGameTag, 4) != 0) {
    error = "Not a saved game.";
    return false;
  }
  if (!in.U16(version) || !in.U16(reserved) || !in.U32(packedSize) || !in.U32(crc) || in.Left() != packedSize) {
    error = "Saved game damaged.";
    return false;
  }
  if (version != SaveGameVersion) {
    error = "Saved game of another version.";
    return false;
  }
  const uint8_t* packed = file.data() + in.Pos();
  if (Crc32(packed, packedSize) != crc) {
    error = "Saved game damaged.";
    return false;
  }
  std::vector<uint8_t> payload = Decompress(packed, packedSize, SaveGamePayloadMax);

  SavedGame saved;
  Reader io(payload, 0);
  SummaryFields(io, saved.Summary);
  PlayFields(io, saved.Play);
  if (!io.Ok()) {
    error = "Saved game damaged.";
    return false;
  }
  const size_t stateStart = payload.size() - io.Left();
  saved.State.assign(payload.begin() + std::ptrdiff_t(stateStart), payload.end());
  if (saved.Summary.Level < 1 || saved.Summary.Level > WorldLevels || saved.Play.Lives > 99) {
    error = "Saved game damaged.";
    return false;
  }

  // A dry run of the restore, so that a file read here can always be continued.
  UnusedPorts ports;
  RandomGenerator random;
  auto world = std::make_unique<World>(ports, random, ports, ports);
  auto levels = std::make_unique<std::array<TLevelRecord, LevelCount>>();
  auto chips = std::make_unique<std::array<uint8_t, MapCells>>();
  if (!ReadState(saved.State, *world, *levels, *chips, 0, error)) return false;
  out = std::move(saved);
  return true;
}

bool RestoreSavedGame(const SavedGame& saved, World& world, Scenario& scenario, std::array<uint8_t, MapCells>& chips,
                      uint32_t now, std::string& error) {
  auto w = std::make_unique<World>(world);
  auto levels = std::make_unique<std::array<TLevelRecord, LevelCount>>(scenario.Levels);
  auto c = std::make_unique<std::array<uint8_t, MapCells>>();
  if (!ReadState(saved.State, *w, *levels, *c, now, error)) return false;
  for (int i = 0; i < LevelCount; ++i) {
    const TLevelRecord& level = scenario.Levels[size_t(i)];
    if (w->Levels[size_t(i)].Visited && (level.Width == 0 || level.Height == 0)) {
      error = "Saved game does not fit its scenario.";
      return false;
    }
  }
  world = *w;
  scenario.Levels = *levels;
  chips = *c;
  return true;
}

}  // namespace gravik
