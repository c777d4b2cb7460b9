// The block catalogue as the builder reads it from assets/blocks.txt: per code
// 1..120 the block's name, its six rule flags and the picture each graphics style
// uses. Compiles to the game's 255 x 19-byte catalogue.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Picture.h"
#include "base/Errors.h"

namespace gravik::mkres {

constexpr int kPictureBlocks = 120;    // codes with pictures and records
constexpr int kCatalogueEntries = 255;
constexpr int kBlockDefSize = 19;
constexpr size_t kCatalogueBytes = size_t(kCatalogueEntries) * kBlockDefSize;  // 4845
constexpr int kMaxNameLength = 10;

// A damaged catalogue source; the message names the file and line.
class CatalogueError : public GameError {
 public:
  using GameError::GameError;
};

struct PictureRef {
  std::string Art;  // drawing function name (see FindArt)
  int Variant = 0;
  KeyMode Key = KeyMode::Solid;
};

struct BlockEntry {
  int Code = 0;
  std::string Name;
  bool RollsLeft = false, RollsRight = false, PlayerCanEnter = false, MonsterCanEnter = false,
       SpiritCanEnter = false, KillsPlayer = false;
  bool PerSet = false;          // drawn in the colours of each block set
  PictureRef Style[2];          // graphics style 1 and 2
  int Line = 0;                 // source line
};

struct Catalogue {
  std::array<BlockEntry, kPictureBlocks> Blocks;  // Blocks[code - 1]

  const BlockEntry& At(int code) const { return Blocks.at(size_t(code - 1)); }
  // Code of the last block of that exact name, 0 when there is none.
  int Find(std::string_view name) const;
};

// Parses the table; throws CatalogueError "<file>:<line>: <problem>".
Catalogue ParseCatalogue(std::string_view text, std::string_view fileName = "blocks.txt");
// Checks what the game relies on: the fixed codes (1 empty, 6 "EARTH1", 7 a
// solid border picture, 38 "PLAYERST"), every block the game finds by name, the
// consecutive groups it steps through and the flags its rules need. Throws
// CatalogueError naming the file (and the line of the offending block).
void CheckGameRules(const Catalogue& cat, std::string_view fileName = "blocks.txt");
// Reads and parses a file; a missing file is a CatalogueError too.
Catalogue LoadCatalogue(const std::string& path);
// The 4845 bytes of the game's catalogue (records 121..255 all zero).
std::vector<uint8_t> CatalogueBytes(const Catalogue& cat);

}  // namespace gravik::mkres
