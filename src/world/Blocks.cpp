#include "world/Blocks.h"

#include <algorithm>
#include <cstring>

namespace gravik {

TBlockDef TBlockDef::Parse(const uint8_t* bytes) {
  TBlockDef d;
  const size_t len = std::min<size_t>(bytes[0], 10);
  d.Name.assign(reinterpret_cast<const char*>(bytes + 1), len);
  d.RollsLeft = bytes[11];
  d.RollsRight = bytes[12];
  d.PlayerCanEnter = bytes[13];
  d.MonsterCanEnter = bytes[14];
  d.SpiritCanEnter = bytes[15];
  d.KillsPlayer = bytes[16];
  d.Spare = {bytes[17], bytes[18]};
  return d;
}

void TBlockDef::Write(uint8_t* bytes) const {
  std::memset(bytes, 0, StoredSize);
  const size_t len = std::min<size_t>(Name.size(), 10);
  bytes[0] = uint8_t(len);
  std::memcpy(bytes + 1, Name.data(), len);
  bytes[11] = RollsLeft;
  bytes[12] = RollsRight;
  bytes[13] = PlayerCanEnter;
  bytes[14] = MonsterCanEnter;
  bytes[15] = SpiritCanEnter;
  bytes[16] = KillsPlayer;
  bytes[17] = Spare[0];
  bytes[18] = Spare[1];
}

bool BlockCatalogue::Load(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr || size < StoredSize) return false;
  defs_[0] = TBlockDef{};
  for (int code = 1; code <= Count; ++code)
    defs_[code] = TBlockDef::Parse(bytes + size_t(code - 1) * TBlockDef::StoredSize);
  return true;
}

void BlockCatalogue::Write(uint8_t* bytes) const {
  for (int code = 1; code <= Count; ++code)
    defs_[code].Write(bytes + size_t(code - 1) * TBlockDef::StoredSize);
}

uint8_t FindBlock(const BlockCatalogue& catalogue, const std::string& name) {
  uint8_t found = BlockEmpty;
  for (int code = 1; code <= NamedBlockLimit; ++code)
    if (catalogue[uint8_t(code)].Name == name) found = uint8_t(code);
  return found;
}

void NamedBlocks::Resolve(const BlockCatalogue& c) {
  auto f = [&c](const char* name) { return FindBlock(c, name); };
  Transport1 = f("TRANSPORT1");
  Diamond = f("DIAMOND");
  Diamond2 = f("DIAMOND2");
  Diamond3 = f("DIAMOND3");
  Key = f("KEY");
  Key3 = f("KEY3");
  Key2 = f("KEY2");
  Safe = f("SAFE");
  Earth1 = f("EARTH1");
  Earth2 = f("EARTH2");
  Earth3 = f("EARTH3");
  Rock = f("ROCK");
  Egg = f("EGG");
  EggHatch = f("EGGHATCH");
  Player1 = f("PLAYER1");
  Meteor = f("METEOR");
  Spirit1 = f("SPIRIT1");
  Cage = f("CAGE");
  Rock1 = f("ROCK1");
  EndChar1 = f("ENDCHAR1");
  Monster1 = f("MONSTER1");
  Monster2 = f("MONSTER2");
  TimeBomb1 = f("TIMEBOMB1");
  Puzzle = f("PUZZLE");
  Skull1 = f("SKULL1");
  Skull2 = f("SKULL2");
  Skull3 = f("SKULL3");
  Plant = {f("PLANT1"), f("PLANT2"), f("PLANT3"), f("PLANT4")};
  Save = f("SAVE");
  Save2 = f("SAVE2");
  Dead1 = f("DEAD1");
  Dead2 = f("DEAD2");
  Dead3 = f("DEAD3");
  Brick = f("BRICK");
  PlayerStR = f("PLAYERSTR");
  PlayerStL = f("PLAYERSTL");
}

void MakeHatchEnterable(BlockCatalogue& catalogue, const NamedBlocks& named) {
  catalogue[named.EggHatch].PlayerCanEnter = 1;
}

void ApplyLevelFlagOverrides(BlockCatalogue& c) {
  c[252].PlayerCanEnter = 1;
  c[252].KillsPlayer = 1;
  c[253].PlayerCanEnter = 1;
  c[254].RollsLeft = 1;
  c[254].RollsRight = 1;
  c[254].PlayerCanEnter = 1;
  c[254].KillsPlayer = 1;
  c[255].PlayerCanEnter = 1;
  for (int code = 121; code <= 131; ++code) {
    TBlockDef& d = c[uint8_t(code)];
    d.RollsLeft = d.RollsRight = d.MonsterCanEnter = d.KillsPlayer = 0;
    d.PlayerCanEnter = 1;
    d.SpiritCanEnter = 1;
  }
}

}  // namespace gravik
