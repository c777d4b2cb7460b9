// The graphics set block: cell table, block catalogue, block sheet and thumbnail
// sheet, built from the catalogue and the block art.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "gfx/Bitmap.h"

namespace gravik {
class ArchiveWriter;
}

namespace gravik::mkres {

constexpr int kStyles = 2;
constexpr size_t kCellTableBytes = size_t(kPictureBlocks) * kBlockSets * kStyles * 8;  // 11520
constexpr int kSheetColumns = 16;

// One block picture and its thumbnail.
struct BlockPicture {
  Bitmap Block;  // 64 x 64
  Bitmap Thumb;  // 16 x 15
  KeyMode Key = KeyMode::Solid;
};

struct GraphicsSetData {
  Catalogue Blocks;
  std::vector<uint8_t> CellTable;  // per (block, set, style): int32 column, int32 row (1-based)
  std::vector<uint8_t> CatalogueRecords;  // 255 x 19 bytes
  Bitmap BlockSheet;               // 64 x 64 cells
  Bitmap ThumbSheet;               // 16 x 15 cells, same grid as the block sheet

  // Sheet cell (1-based column, row) of a block in a set and style.
  std::pair<int, int> Cell(int block, int set, int style) const;
  // The block's picture as the game cuts it from the sheets.
  Bitmap BlockBitmap(int block, int set, int style) const;
  Bitmap BlockThumb(int block, int set, int style) const;
  // The decoded graphics set block: cell table, catalogue, then the two sheets as
  // 16-bit (565) BMP file images, so every pixel arrives unchanged.
  std::vector<uint8_t> Bytes() const;
};

// Draws one block as the catalogue says.
BlockPicture RenderBlock(const Catalogue& cat, int block, int set, int style);
// Draws every block of every set and style; identical pictures share a sheet cell.
GraphicsSetData BuildGraphicsSet(const Catalogue& cat);
// The same from the catalogue source assets/blocks.txt below `assetsDir`.
GraphicsSetData BuildGraphicsSet(const std::string& assetsDir);
// Stores the graphics set as the archive's graphics set block.
void AddGraphicsSet(ArchiveWriter& archive, const GraphicsSetData& gs);

}  // namespace gravik::mkres
