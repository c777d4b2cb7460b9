#include "editor/Palette.h"

#include <algorithm>

#include "world/Blocks.h"

namespace gravik {

namespace {

bool Starts(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

const char* GroupName(PaletteGroup g) {
  switch (g) {
    case PaletteGroup::Earth: return "Earth";
    case PaletteGroup::Walls: return "Walls";
    case PaletteGroup::Objects: return "Objects";
    case PaletteGroup::Creatures: return "Creatures";
    case PaletteGroup::Transporters: return "Transporters";
    case PaletteGroup::Puzzle: return "Puzzle";
    case PaletteGroup::Decoration: return "Decoration";
  }
  return "";
}

PaletteGroup GroupOfBlock(const std::string& n) {
  if (n == "EMPTY" || Starts(n, "EARTH")) return PaletteGroup::Earth;
  if (n == "BRICK" || n == "STEEL" || n == "GLASS" || n == "STONE" || Starts(n, "DEAD") || n == "FOG")
    return PaletteGroup::Walls;
  if (Starts(n, "DIAMOND") || Starts(n, "ROCK") || Starts(n, "KEY") || n == "SAFE" || n == "CAGE" ||
      Starts(n, "SAVE") || Starts(n, "TIMEBOMB") || Starts(n, "SKULL") || n == "METEOR")
    return PaletteGroup::Objects;
  if (Starts(n, "EGG") || Starts(n, "MONSTER") || Starts(n, "SPIRIT") || n == "PLAYER1" || n == "ENDCHAR1")
    return PaletteGroup::Creatures;
  if (Starts(n, "TRANSPORT")) return PaletteGroup::Transporters;
  if (n == "PUZZLE") return PaletteGroup::Puzzle;
  return PaletteGroup::Decoration;
}

int PictureOfCell(const BlockCatalogue& cat, uint8_t code) {
  auto named = [&cat](const char* name, int fallback) {
    const uint8_t c = FindBlock(cat, name);
    return c > 1 ? int(c) : fallback;
  };
  switch (code) {
    case BlockTransporter: return named("TRANSPORT1", 1);
    case BlockPuzzlePiece: return named("PUZZLE", 1);
    case BlockSkullGate: return named("SKULL1", 1);
    case BlockDeadly: return 1;
    default: return code >= 1 && code <= NamedBlockLimit ? code : 1;
  }
}

std::vector<PaletteEntry> BuildPalette(const BlockCatalogue& cat) {
  std::vector<PaletteEntry> out;
  for (int code = 1; code <= NamedBlockLimit; ++code) {
    const std::string& name = cat[uint8_t(code)].Name;
    if (name.empty()) continue;
    out.push_back({{uint8_t(code), 0}, name, GroupOfBlock(name), code});
  }
  out.push_back({{BlockTransporter, 0}, "TRANSPORTER", PaletteGroup::Transporters, PictureOfCell(cat, BlockTransporter)});
  out.push_back({{BlockPuzzlePiece, int16_t((1 << 5) | 1)}, "PIECE", PaletteGroup::Puzzle, PictureOfCell(cat, BlockPuzzlePiece)});
  out.push_back({{BlockSkullGate, 1}, "SKULL GATE", PaletteGroup::Puzzle, PictureOfCell(cat, BlockSkullGate)});
  out.push_back({{BlockDeadly, 0}, "DEADLY", PaletteGroup::Walls, 1});
  // The cells the game gives a meaning come first in their groups.
  auto rank = [](const PaletteEntry& e) { return e.Value.Code > NamedBlockLimit ? 0 : 1; };
  std::stable_sort(out.begin(), out.end(), [&](const PaletteEntry& a, const PaletteEntry& b) {
    if (a.Group != b.Group) return a.Group < b.Group;
    return rank(a) < rank(b);
  });
  return out;
}

}  // namespace gravik
