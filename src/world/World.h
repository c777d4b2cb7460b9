// The world of the current level: map, cell states, objects, player, counters
// and the saved state of every level. One `World` is owned by the Game; the
// rules are plain functions over it.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "base/Random.h"
#include "platform/Clock.h"
#include "world/Blocks.h"
#include "world/LevelRandom.h"

namespace gravik {

constexpr int MapWidth = 42;   // columns
constexpr int MapHeight = 74;  // rows
constexpr int MapCells = MapWidth * MapHeight;
constexpr int LevelOriginX = 5;
constexpr int LevelOriginY = 15;
constexpr int WorldLevels = 20;
constexpr int LevelSide = 32;  // stored level maps are 32 x 32
constexpr int MonsterSlots = 6;
constexpr int SpiritSlots = 8;
constexpr int MeteorSlots = 100;
constexpr int PuzzleRowsMax = 18;  // piece flags: 18 per grid column
constexpr int PuzzleColumnsMax = 32;

// Byte index of cell (X, Y) in a column-major 42 x 74 map.
constexpr int MapIndex(int x, int y) { return (x - 1) * MapHeight + (y - 1); }
constexpr bool InMap(int x, int y) { return x >= 1 && x <= MapWidth && y >= 1 && y <= MapHeight; }

// 0 none, 1 up, 2 right, 3 down, 4 left.
enum Direction : uint8_t { DirNone = 0, DirUp = 1, DirRight = 2, DirDown = 3, DirLeft = 4 };

constexpr int DirDX(int d) { return d == DirRight ? 1 : d == DirLeft ? -1 : 0; }
constexpr int DirDY(int d) { return d == DirDown ? 1 : d == DirUp ? -1 : 0; }

// ---------------------------------------------------------------------------
// What the world needs from the rest of the game.

// The background sprite's chip map; the frame connects it to `TBackground`.
struct ChipMap {
  virtual ~ChipMap() = default;
  virtual void SetChip(int x, int y, int pattern) = 0;
};

// Sound effects by wave name. The sink applies the on/off switch and the
// restart rules of each effect.
struct SoundSink {
  virtual ~SoundSink() = default;
  virtual void PlaySound(const std::string& name) = 0;
  // Volume in hundredths of a decibel (-10000..0) for later playings.
  virtual void SetSoundVolume(const std::string& name, int volume) = 0;
  virtual bool EffectsOn() const = 0;
  virtual int EffectVolumeSetting() const = 0;  // 0..20
};

// The scenario's 20 stored level records as the world reads and writes them.
// Levels are 1..20, cells 1..32.
struct LevelStore {
  virtual ~LevelStore() = default;
  virtual int Width(int level) const = 0;
  virtual int Height(int level) const = 0;
  virtual uint8_t SpaceFlag(int level) const = 0;
  virtual std::string BorderName(int level) const = 0;
  virtual uint8_t Cell(int level, int x, int y) const = 0;
  virtual void SetCell(int level, int x, int y, uint8_t code) = 0;
  virtual int16_t Param(int level, int x, int y) const = 0;
  virtual void SetParam(int level, int x, int y, int16_t value) = 0;
};

// A plain in-memory LevelStore (tests, and anything without a scenario file).
struct LevelData {
  uint8_t Width = 0, Height = 0, Space = 0;
  std::string Border = "BRICK";
  std::array<uint8_t, LevelSide * LevelSide> Cells{};   // column-major, 32 per column
  std::array<int16_t, LevelSide * LevelSide> Params{};
};

class ArrayLevelStore : public LevelStore {
 public:
  std::array<LevelData, WorldLevels> Levels{};

  int Width(int level) const override { return L(level).Width; }
  int Height(int level) const override { return L(level).Height; }
  uint8_t SpaceFlag(int level) const override { return L(level).Space; }
  std::string BorderName(int level) const override { return L(level).Border; }
  uint8_t Cell(int level, int x, int y) const override { return L(level).Cells[Ix(x, y)]; }
  void SetCell(int level, int x, int y, uint8_t code) override { L(level).Cells[Ix(x, y)] = code; }
  int16_t Param(int level, int x, int y) const override { return L(level).Params[Ix(x, y)]; }
  void SetParam(int level, int x, int y, int16_t v) override { L(level).Params[Ix(x, y)] = v; }

 private:
  static int Ix(int x, int y) { return (x - 1) * LevelSide + (y - 1); }
  const LevelData& L(int level) const { return Levels[size_t(level - 1)]; }
  LevelData& L(int level) { return Levels[size_t(level - 1)]; }
};

// What happened in the world that ends plain play; the frame picks the screen
// that follows.
enum class WorldOutcome : uint8_t { PlayerDied, ScenarioDone, TransporterEntered };

// The frame's screen-state machine as the rules see it: whether plain play is
// running (the rules act only then), and the outcomes that end it.
struct StateHost {
  virtual ~StateHost() = default;
  virtual bool Playing() const = 0;
  virtual void Report(WorldOutcome outcome) = 0;
};

// The level graphics set-up that BuildWorld runs before recounting targets.
struct LevelGraphicsHook {
  virtual ~LevelGraphicsHook() = default;
  virtual void SetUpLevelGraphics() = 0;
};

// ---------------------------------------------------------------------------
// Records.

struct CellState {
  uint8_t Frame = 0;       // rock rotation frame 1..4, or a cell animation frame
  uint32_t AnimTime = 0;   // tick of the last animation step
  uint8_t AnimFlag = 0;    // a cell animation is running
  uint8_t Motion = 0;      // Direction of the last block pass: 0, 2, 3 or 4
  uint8_t PrevMotion = 0;  // motion of the pass before
};

struct TMonster {
  uint8_t State = 0;  // 0 free, 1 hatching, 2 active
  uint8_t HitSide = 0;
  double BoxX = 0, BoxY = 0;
  int32_t PendingDirection = 0;
  double TargetX = 0, TargetY = 0;
  double PixelX = 0, PixelY = 0;
  uint32_t AnimTime = 0;   // saved records hold the age instead
  uint32_t HatchTime = 0;  // saved records hold the age instead
  int32_t X = 0, Y = 0;
  int32_t Frame = 0;
  uint8_t Visible = 0;
  int32_t Direction = 0;
  int32_t AnimToggle = 0;
  int32_t Wait = 0;
  double Distance = 0;
  uint8_t Moving = 0;
  double ScreenX = 0, ScreenY = 0;
};

struct TSpirit {
  uint8_t Moving = 0;
  uint8_t Active = 0;
  double AnimTime = 0;
  int32_t Frame = 0;    // 1..4
  int32_t Pattern = 0;  // image pattern that follows the frame
  double PixelX = 0, PixelY = 0;
  double TargetX = 0, TargetY = 0;
  double Distance = 0;
  int32_t X = 0, Y = 0;
  int32_t HitSide = 0;
  uint8_t Facing = 0;  // SpiritFacing
  uint8_t Drawn = 0;
  double ScreenX = 0, ScreenY = 0;
};

struct TMeteor {
  int32_t HitSide = 0;
  uint8_t Active = 0;
  double PixelX = 0, PixelY = 0;
  uint8_t Band = 0;
  int32_t ScreenX = 0, ScreenY = 0;
  uint8_t Drawn = 0;
};

struct PlayerState {
  int32_t X = 6, Y = 16;              // PlayerX, PlayerY
  double PixelX = 0, PixelY = 0;      // (cell - 1) x 64 on a cell
  double ViewX = 0, ViewY = 0;        // ViewOffset
  double TargetViewX = 0, TargetViewY = 0;
  int32_t TargetX = 0, TargetY = 0;   // cell the step goes to
  int32_t Requested = 0;              // requested direction
  int32_t Moving = 0;                 // moving direction, 0 when standing
  int32_t LastDirection = 0;
  double StepDistance = 0, StepDistanceX = 0, StepDistanceY = 0;
  int32_t WalkPos = 1;
  double LastWalkFrame = 0;
  uint32_t IdleRef = 0;
  int32_t IdleCycles = 0;
  int32_t IdlePos = 1;
  int32_t SettleDelay = 0;
  int32_t StepsTaken = 0;
  bool ArrivedByTransporter = false;
  int32_t Pattern = 0;                // pattern shown by the player sprite
  uint8_t Dead = 0;                   // PlayerDead
  bool GaveUp = false;
  uint32_t DeathTime = 0;
};

struct Counters {
  int32_t DiamondsLeft = 0;
  int32_t EarthLeft = 0;
  int32_t MonstersLeft = 0;
  int32_t TransportersLeft = 0;
  int32_t PuzzlePiecesLeft = 0;
  int32_t EndCharsLeft = 0;
  int32_t Score = 0;
  int32_t DiamondsCollected = 0;
};

// Saved state of one level of the scenario.
struct TLevelState {
  int32_t Seed1 = 0, Seed2 = 0;
  uint8_t Visited = 0;
  std::array<uint8_t, MapCells> Seen{};
  std::array<uint8_t, MapCells> RockFrames{};
  std::array<TMonster, MonsterSlots> Monsters{};  // times stored as ages
  std::array<TSpirit, SpiritSlots> Spirits{};
  std::array<TMeteor, MeteorSlots> Meteors{};
};

// ---------------------------------------------------------------------------

struct World {
  // A world is made with the services every rule may use: time, chance, sound
  // and the screen-state machine.
  World(Clock& time, RandomGenerator& random, SoundSink& sound, StateHost& host)
      : time_(&time), random_(&random), sound_(&sound), host_(&host) {}

  // Optional connections: without a chip map the background is not drawn, a
  // world built without a level store or level graphics has neither.
  ChipMap* Chips = nullptr;
  LevelStore* Store = nullptr;
  LevelGraphicsHook* LevelGraphics = nullptr;

  BlockCatalogue Catalogue;
  NamedBlocks Named;

  std::array<uint8_t, MapCells> Map{};  // WorldMap
  std::array<CellState, MapCells> Cells{};

  std::array<TMonster, MonsterSlots> Monsters{};
  std::array<TSpirit, SpiritSlots> Spirits{};
  int32_t SpiritCount = 0;
  std::array<TMeteor, MeteorSlots> Meteors{};
  int32_t MeteorCount = 0;

  PlayerState Player;
  Counters Count;
  std::array<TLevelState, WorldLevels> Levels{};
  LevelRandom Rng;  // LevelRandom
  int GraphicsStyle = 1;

  // Current level and its limits.
  int CurrentLevel = 1;
  int LevelWidth = 0, LevelHeight = 0;  // W and H of the current level
  int RightColumn = 0;
  int BottomRow = 0;
  bool HasEndCell = false;
  int EndX = 0, EndY = 0;

  // Puzzle: PW x PH pieces; flag 1 = collected. Index (c - 1) * 18 + (r - 1).
  int PuzzleWidth = 0, PuzzleHeight = 0;
  std::array<uint8_t, PuzzleColumnsMax * PuzzleRowsMax> PuzzleCollected{};
  bool DefaultPuzzle = false;
  // Saved area below level 1: 32 x 32, 32 per column.
  std::array<uint8_t, LevelSide * LevelSide> PuzzleAreaMap{};
  bool DemoMode = false;
  int ForcedBlockSet = 0;  // 6 while a demo forces the level's block set, else 0

  // Frame values the rules read (kept up to date by the frame).
  double FrameStep = 0;
  bool PanelShown = false;

  // Tick values.
  uint32_t DiamondTimer = 0, KeyTimer = 0, SkullTimer = 0;
  uint32_t LastBlockPass = 0;
  uint32_t FrameTime = 0;
  uint8_t KeyUsed = 0;
  uint8_t RecountTargets = 0;
  int32_t TransportCount = 0;
  uint32_t JourneyStart = 0;
  double IrisProgress = 0;

  // Completion.
  bool ScenarioFinished = false;
  double CompletionPercent = 0;
  std::array<int32_t, 5> InitialTotals{};  // diamonds, monsters, transporters, pieces, earth

  // ---- map access -------------------------------------------------------
  // Block code at (X, Y); BlockOutside (solid) outside the map.
  uint8_t At(int x, int y) const { return InMap(x, y) ? Map[size_t(MapIndex(x, y))] : BlockOutside; }
  // Catalogue entry of the cell (entry 0, no flags, outside the map).
  const TBlockDef& DefAt(int x, int y) const { return Catalogue[At(x, y)]; }
  bool IsEmpty(int x, int y) const { return At(x, y) == BlockEmpty; }
  CellState& StateAt(int x, int y) { return Cells[size_t(MapIndex(x, y))]; }

  // Writes the map byte and the chip (code - 1). Ignored outside the map.
  void SetCell(int x, int y, uint8_t code);
  // The map byte alone (the player block).
  void SetMapByte(int x, int y, uint8_t code);
  // The chip alone (visual changes).
  void SetChip(int x, int y, int pattern);

  // ---- services ------------------------------------------------------------
  Clock& Time() const { return *time_; }
  RandomGenerator& Random() const { return *random_; }
  SoundSink& Sound() const { return *sound_; }
  uint32_t Now() const { return time_->TickCount(); }
  int32_t RandomInt(int32_t n) { return random_->Random(n); }
  void Play(const std::string& name) { sound_->PlaySound(name); }
  // Plain play is running.
  bool Playing() const { return host_->Playing(); }
  void Report(WorldOutcome outcome) { host_->Report(outcome); }
  TLevelState& Level() { return Levels[size_t(CurrentLevel - 1)]; }

  // ---- slots -----------------------------------------------------------------
  // Index (0..5) of the highest-numbered free monster slot, -1 when none is free.
  int FreeMonsterSlot() const;
  // Claims it; FatalMessage "Unable to find monster slot." when none is free.
  int ClaimMonsterSlot();

 private:
  Clock* time_;
  RandomGenerator* random_;
  SoundSink* sound_;
  StateHost* host_;
};

// A digest of what a player sees or what decides what comes next: the map, the
// player, the counters, the level and the creatures (never absolute ticks, so
// a game continued on another clock digests the same).
uint64_t WorldDigest(const World& w);

// Marks the 9 x 9 square around (x, y) seen in `level`, clipped to the map.
void MarkSeen(TLevelState& level, int x, int y);

}  // namespace gravik
