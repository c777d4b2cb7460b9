// "demo2.dem": a recorded demonstration. A snapshot of a running level, a timed
// list of move and caption events, and the caption texts. The reader refuses a
// damaged file; the recorder turns a played run into the same format.
//
// Layout (little-endian): event count (u32), 2000 events of 8 bytes (time i32
// in ms, kind, value, 2 padding), 4 spare bytes, 100 captions of 264 bytes (a
// length byte and up to 255 characters), 1 spare byte, the snapshot length
// (u32) and the snapshot; a recording made here adds its timing block ("GRVT")
// behind the snapshot, outside its length. Event k (from 1) is at offset
// 4 + (k - 1) x 8.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "world/World.h"

namespace gravik {

inline constexpr const char* DemoItemName = "demo2.dem";
constexpr int DemoEventSlots = 2000;
constexpr int DemoCaptionSlots = 100;
constexpr size_t DemoCaptionSize = 264;
constexpr size_t DemoSnapshotOffset = 42413;  // where the snapshot starts
constexpr size_t DemoMonsterSize = 70;
// The described snapshot, without the timing block the recorder adds.
constexpr size_t DemoSnapshotSize = MapCells + 4 + 8 + 12 + size_t(MapCells) * 12 + 16 + 1 +
                                    MonsterSlots * DemoMonsterSize + MapCells;

enum DemoEventKind : uint8_t { DemoMoveEvent = 1, DemoCaptionEvent = 2 };

struct DemoEvent {
  int32_t Time = 0;  // ms since the player's movement reference; negative: at once
  uint8_t Kind = 0;
  uint8_t Value = 0;  // a Direction for a move, the caption number 1..100 for a caption
};

// The monster fields a snapshot keeps (the state byte stays as level setup left it).
struct DemoMonster {
  uint8_t HitSide = 0;
  double BoxX = 0, BoxY = 0, PixelX = 0, PixelY = 0;
  uint32_t AnimTime = 0, HatchTime = 0;
  int32_t X = 0, Y = 0;
  int32_t Frame = 0, Direction = 0, Wait = 0;
  double Distance = 0;
  uint8_t Moving = 0;
};

// What a recording made here adds after the snapshot, so that its playback
// repeats the run frame for frame: the clock reading of the snapshot (every
// tick of the snapshot is rebased on it when play begins), the game's random
// generator, and the player's and the tick's timers as ages.
struct DemoTiming {
  uint32_t Clock = 0;
  uint64_t RandomState = 0;
  int32_t LevelRandomA = 0, LevelRandomB = 0;
  uint32_t IdleAge = 0, LastBlockPassAge = 0, FrameTimeAge = 0, LevelClockAge = 0;
  double LastWalkAge = 0;
  int32_t Pattern = 0, WalkPos = 1, LastDirection = 0, IdleCycles = 0, IdlePos = 1, SettleDelay = 0,
          StepsTaken = 0;
  uint8_t KeyUsed = 0, RecountTargets = 0;
  int32_t EarthLeft = 0, MonstersLeft = 0, TransportersLeft = 0, PuzzlePiecesLeft = 0, EndCharsLeft = 0;
};

struct DemoSnapshot {
  std::array<uint8_t, MapCells> Map{};
  int32_t DeathSound = 0;  // kept as read: a death always plays "killedbyrock.wav"
  int32_t PlayerX = 6, PlayerY = 16;
  // Three tick values of the world: the diamond, key and skull timers.
  uint32_t DiamondTimer = 0, KeyTimer = 0, SkullTimer = 0;
  std::array<CellState, MapCells> Cells{};
  int32_t Score = 0;
  int32_t Collected = 0;  // diamonds collected (stored twice; the second is kept)
  int32_t DiamondsLeft = 0;
  uint8_t GameState = 2;  // kept as read; the game flow owns the state
  std::array<DemoMonster, MonsterSlots> Monsters{};
  std::array<uint8_t, MapCells> Chips{};  // background pattern per cell, column-major
  std::optional<DemoTiming> Timing;
};

struct DemoFile {
  uint32_t Count = 0;  // event count, at most DemoEventSlots
  std::array<DemoEvent, DemoEventSlots> Events{};
  std::array<std::string, DemoCaptionSlots> Captions{};
  DemoSnapshot Snapshot;

  // Event k (1-based); k outside 1..2000 gives an empty event.
  DemoEvent Event(uint32_t k) const { return k >= 1 && k <= DemoEventSlots ? Events[k - 1] : DemoEvent{}; }
  // Caption n (1..100), or null for a number outside that range.
  const std::string* Caption(int n) const {
    return n >= 1 && n <= DemoCaptionSlots ? &Captions[size_t(n - 1)] : nullptr;
  }
};

// Reads a demo. False, with the reason in `error`, when the file is too short
// for its tables or snapshot, or the snapshot's player cell lies outside
// columns 6..37 and rows 15..74. The event count is clamped to 2000.
bool ReadDemo(std::span<const uint8_t> bytes, DemoFile& out, std::string& error);
std::vector<uint8_t> WriteDemo(const DemoFile& demo);

// The running level as a snapshot; `chips` are the background's patterns and
// `gameState` the screen state it is taken in.
DemoSnapshot TakeDemoSnapshot(const World& w, const std::array<uint8_t, MapCells>& chips, uint8_t gameState);
// The snapshot's fields into the running world (the background chips are the
// caller's). The player is placed on the snapshot's cell.
void ApplyDemoSnapshot(World& w, const DemoSnapshot& s);
// When play begins: the snapshot's ticks rebased from its clock to `now`, and
// the timers and player state of the timing block. Returns the level clock.
uint32_t ApplyDemoTiming(World& w, const DemoSnapshot& s, uint32_t now);

// Turns a run into demo events. The run tells it every frame in which the
// player stood alive on a cell and the controls were read (the frames where a
// demo's next event may fire), with the time since the player's movement
// reference and the direction the controls asked for. Finish chooses event
// times so that played back each move fires on the very frame it was made,
// adding moves of direction 0 where the idle animation set the reference back.
class DemoRecording {
 public:
  void Begin(const DemoSnapshot& snapshot);
  bool Started() const { return started_; }
  void StandingFrame(uint32_t sinceReference, int requested, uint32_t playMs);
  // A caption shown from the first standing frame at or after `playMs` until
  // the player's next move.
  void AddCaption(uint32_t playMs, std::string text);
  // The demo; `notes` receives what could not be kept (captions with no frame
  // to show on, moves past the event table).
  DemoFile Finish(std::vector<std::string>* notes = nullptr) const;

 private:
  struct Frame {
    int64_t Elapsed;
    uint8_t Requested;
    uint32_t PlayMs;
  };
  struct Caption {
    uint32_t PlayMs;
    std::string Text;
  };
  bool started_ = false;
  DemoSnapshot snapshot_;
  std::vector<Frame> frames_;
  std::vector<Caption> captions_;
};

// "TIME TEXT" lines (TIME in ms since play began; '#' lines and blank lines
// skipped). False with the line's number in `error` for a malformed line.
bool ParseDemoCaptions(const std::string& text, DemoRecording& into, std::string& error);

}  // namespace gravik
