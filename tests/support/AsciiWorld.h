// Worlds for rule tests, drawn as small ASCII maps.
//
// Default legend:
//   .  empty            #  BRICK (round)       S  STEEL (not round)
//   O  ROCK             E  EGG                 H  EGGHATCH
//   D  DIAMOND          K  KEY                 X  SAFE
//   C  CAGE             :  EARTH1              ;  EARTH2   ,  EARTH3
//   P  PLAYER1 (also sets the player's cell)   Z  ENDCHAR1
//   *  SKULL1           T  transporter (253)   G  skull gate (254)
//   $  puzzle piece (255)   s  SPIRIT1         V  SAVE     L  PLANT1
//   !  DEAD1 (deadly)
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Random.h"
#include "platform/Clock.h"
#include "world/World.h"

namespace gravik::testing {

// A catalogue with the fixed codes of the game's block table (1 empty,
// 6 "EARTH1", 7 "BRICK", 38 "PLAYERST") and flags that make the rules work.
BlockCatalogue TestCatalogue();

// Character -> block name (or "#253" style numeric codes) of the default legend.
const std::map<char, std::string>& DefaultLegend();

// Code of a legend character in the test catalogue.
uint8_t CodeOf(char c);

class ManualClock : public Clock {
 public:
  uint32_t Ms = 100000;
  uint32_t TickCount() override { return Ms; }
  uint64_t PerfCounter() override { return uint64_t(Ms) * 1000; }
  uint64_t PerfFrequency() override { return 1000000; }
  void SleepMs(uint32_t ms) override { Ms += ms; }
};

class ArrayChips : public ChipMap {
 public:
  ArrayChips() { Chips.fill(-1); }
  std::array<int, MapCells> Chips;
  void SetChip(int x, int y, int pattern) override { Chips[size_t(MapIndex(x, y))] = pattern; }
  int At(int x, int y) const { return Chips[size_t(MapIndex(x, y))]; }
};

class RecordingSound : public SoundSink {
 public:
  std::vector<std::string> Played;
  std::map<std::string, int> Volumes;
  bool On = true;
  int Setting = 20;
  void PlaySound(const std::string& name) override { Played.push_back(name); }
  void SetSoundVolume(const std::string& name, int v) override { Volumes[name] = v; }
  bool EffectsOn() const override { return On; }
  int EffectVolumeSetting() const override { return Setting; }
  int CountOf(const std::string& name) const;
};

// The frame's state machine as far as the rules reach it: outcomes become the
// screen states the frame would switch to, and every switch is recorded.
class RecordingHost : public StateHost {
 public:
  uint8_t State = 2;  // gsPlaying
  std::vector<uint8_t> Changes;
  bool Playing() const override { return State == 2; }
  void Report(WorldOutcome outcome) override;
  void ChangeState(uint8_t s) {
    State = s;
    Changes.push_back(s);
  }
};

// Every service a World is made with, as test doubles.
struct TestPorts {
  ManualClock Clock;
  RandomGenerator Rand{12345};
  RecordingSound Sound;
  RecordingHost Host;
};

// A world on the heap (it is large) connected to `ports`.
std::unique_ptr<World> MakeWorld(TestPorts& ports);

// A World with every service connected to a test double. The picture's top
// left character lies at world cell (OriginX, OriginY); the rest of the map is
// BRICK. The level is the picture: W and H its size, BottomRow and
// RightColumn its last row and column.
class AsciiWorld {
 public:
  static constexpr int OriginX = LevelOriginX + 1;
  static constexpr int OriginY = LevelOriginY + 1;

  explicit AsciiWorld(const std::vector<std::string>& picture);

  ArrayChips Chips;
  RecordingSound Sound;
  ManualClock Clock;
  RandomGenerator Rand{12345};
  ArrayLevelStore Store;
  RecordingHost Host;
  World W{Clock, Rand, Sound, Host};

  // World cell of picture character (col, row), both 0-based.
  static int X(int col) { return OriginX + col; }
  static int Y(int row) { return OriginY + row; }

  // The picture area drawn back with the legend ('?' for unknown codes).
  std::vector<std::string> Picture() const;

 private:
  int width_ = 0, height_ = 0;
};

// A stored level from a picture (at most 32 x 32) with the default legend;
// W and H are the picture's size.
LevelData LevelFromAscii(const std::vector<std::string>& picture);

}  // namespace gravik::testing
