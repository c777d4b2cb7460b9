// The block catalogue: 255 block definitions found by name, the fixed codes and
// the named blocks the rules compare cells against.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace gravik {

// Fixed block codes, the same in every graphics set.
constexpr uint8_t BlockOutside = 0;        // what a read outside the map yields: solid
constexpr uint8_t BlockEmpty = 1;
constexpr uint8_t BlockFirstStarfield = 121;  // 121..130 starfield tiles
constexpr uint8_t BlockFirstPuzzlePicture = 131;
constexpr uint8_t BlockDeadly = 252;
constexpr uint8_t BlockTransporter = 253;
constexpr uint8_t BlockSkullGate = 254;
constexpr uint8_t BlockPuzzlePiece = 255;

// Highest code that FindBlock looks at.
constexpr int NamedBlockLimit = 120;

// One catalogue entry in its 19-byte stored form:
// name ShortString[10] (11 bytes), six flag bytes, two bytes the world ignores.
struct TBlockDef {
  static constexpr size_t StoredSize = 19;

  std::string Name;  // at most 10 characters
  uint8_t RollsLeft = 0;
  uint8_t RollsRight = 0;
  uint8_t PlayerCanEnter = 0;
  uint8_t MonsterCanEnter = 0;
  uint8_t SpiritCanEnter = 0;
  uint8_t KillsPlayer = 0;
  std::array<uint8_t, 2> Spare{};

  // Reads 19 bytes; a length byte above 10 is held at 10.
  static TBlockDef Parse(const uint8_t* bytes);
  // Writes 19 bytes; name bytes past the length are zero.
  void Write(uint8_t* bytes) const;

  bool operator==(const TBlockDef&) const = default;
};

// Codes 1..255 of the catalogue. Entry 0 is never loaded: it has no flags, so a
// cell read outside the map (code 0) is solid for every rule.
class BlockCatalogue {
 public:
  static constexpr int Count = 255;
  static constexpr size_t StoredSize = Count * TBlockDef::StoredSize;

  // Parses the 255 x 19-byte block. Returns false (catalogue unchanged) when
  // fewer than StoredSize bytes are given.
  bool Load(const uint8_t* bytes, size_t size);
  // Writes the 255 x 19-byte block (StoredSize bytes).
  void Write(uint8_t* bytes) const;

  TBlockDef& operator[](uint8_t code) { return defs_[code]; }
  const TBlockDef& operator[](uint8_t code) const { return defs_[code]; }

 private:
  std::array<TBlockDef, 256> defs_{};
};

// Code of the last entry among 1..120 whose name equals `name` exactly; 1 when
// none does.
uint8_t FindBlock(const BlockCatalogue& catalogue, const std::string& name);

// The block codes the rules use, resolved by name once at start-up.
struct NamedBlocks {
  uint8_t Transport1 = 1, Diamond = 1, Diamond2 = 1, Diamond3 = 1, Key = 1, Key3 = 1, Key2 = 1,
          Safe = 1, Earth1 = 1, Earth2 = 1, Earth3 = 1, Rock = 1, Egg = 1, EggHatch = 1,
          Player1 = 1, Meteor = 1, Spirit1 = 1, Cage = 1, Rock1 = 1, EndChar1 = 1, Monster1 = 1,
          Monster2 = 1, TimeBomb1 = 1, Puzzle = 1, Skull1 = 1, Skull2 = 1, Skull3 = 1;
  std::array<uint8_t, 4> Plant{1, 1, 1, 1};  // "PLANT1".."PLANT4"
  uint8_t Save = 1, Save2 = 1, Dead1 = 1, Dead2 = 1, Dead3 = 1;
  // Resolved after the start-up list.
  uint8_t Brick = 1, PlayerStR = 1, PlayerStL = 1;

  // Looks every name up, in the start-up order.
  void Resolve(const BlockCatalogue& catalogue);

  bool IsPlant(uint8_t code) const {
    return code == Plant[0] || code == Plant[1] || code == Plant[2] || code == Plant[3];
  }
  bool IsEarth(uint8_t code) const { return code == Earth1 || code == Earth2 || code == Earth3; }
};

// Start-up: the cracked egg may be entered by the player.
void MakeHatchEnterable(BlockCatalogue& catalogue, const NamedBlocks& named);
// Level start: the game's own flags for codes 121..131 and 252..255.
void ApplyLevelFlagOverrides(BlockCatalogue& catalogue);

}  // namespace gravik
