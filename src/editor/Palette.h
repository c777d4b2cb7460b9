// The blocks a level maker paints with: every block of the catalogue and the
// four cells the game gives a meaning of its own (transporter, puzzle piece,
// skull gate, deadly cell), in groups.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "editor/Document.h"

namespace gravik {

class BlockCatalogue;

enum class PaletteGroup : uint8_t { Earth, Walls, Objects, Creatures, Transporters, Puzzle, Decoration };
inline constexpr int kPaletteGroups = 7;

struct PaletteEntry {
  CellValue Value;       // what painting puts into the cell (the parameter is the editor's)
  std::string Name;      // the catalogue name, or the name of the special cell
  PaletteGroup Group = PaletteGroup::Decoration;
  int Picture = 1;       // the block picture (1..120) it is drawn with
};

const char* GroupName(PaletteGroup g);
// The group a catalogue block belongs to, by its name.
PaletteGroup GroupOfBlock(const std::string& name);
// Every named block 1..120 and the special cells, ordered by group, then code.
std::vector<PaletteEntry> BuildPalette(const BlockCatalogue& catalogue);
// The picture a cell value is drawn with (the special cells borrow one).
int PictureOfCell(const BlockCatalogue& catalogue, uint8_t code);

}  // namespace gravik
