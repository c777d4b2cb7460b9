#include "GraphicsSet.h"

#include <map>
#include <stdexcept>

#include "base/Bytes.h"
#include "data/Archive.h"
#include "gfx/Bmp.h"

namespace gravik::mkres {

namespace {

size_t CellOffset(int block, int set, int style) {
  return size_t(block - 1) * 96 + size_t(set - 1) * 16 + size_t(style - 1) * 8;
}

}  // namespace

BlockPicture RenderBlock(const Catalogue& cat, int block, int set, int style) {
  const BlockEntry& b = cat.At(block);
  const PictureRef& ref = b.Style[style - 1];
  const int drawnSet = b.PerSet ? set : 1;
  const ArtContext ctx{PaletteOf(drawnSet), drawnSet, ref.Variant, style == 2};
  Surface s = RenderArt(*FindArt(ref.Art), ctx);
  return {ToBlockBitmap(s.get(), ref.Key), ToThumbBitmap(s.get()), ref.Key};
}

std::pair<int, int> GraphicsSetData::Cell(int block, int set, int style) const {
  const size_t at = CellOffset(block, set, style);
  return {int32_t(GetU32(&CellTable[at])), int32_t(GetU32(&CellTable[at + 4]))};
}

Bitmap GraphicsSetData::BlockBitmap(int block, int set, int style) const {
  const auto [c, r] = Cell(block, set, style);
  return Crop(BlockSheet, Bounds((c - 1) * kCell, (r - 1) * kCell, kCell, kCell));
}

Bitmap GraphicsSetData::BlockThumb(int block, int set, int style) const {
  const auto [c, r] = Cell(block, set, style);
  return Crop(ThumbSheet, Bounds((c - 1) * kThumbWidth, (r - 1) * kThumbHeight, kThumbWidth, kThumbHeight));
}

std::vector<uint8_t> GraphicsSetData::Bytes() const {
  std::vector<uint8_t> out(CellTable);
  out.insert(out.end(), CatalogueRecords.begin(), CatalogueRecords.end());
  const auto sheet = SaveBmp16(BlockSheet);
  out.insert(out.end(), sheet.begin(), sheet.end());
  const auto thumbs = SaveBmp16(ThumbSheet);
  out.insert(out.end(), thumbs.begin(), thumbs.end());
  return out;
}

GraphicsSetData BuildGraphicsSet(const Catalogue& cat) {
  CheckGameRules(cat);
  GraphicsSetData gs;
  gs.Blocks = cat;
  gs.CatalogueRecords = CatalogueBytes(cat);
  gs.CellTable.assign(kCellTableBytes, 0);

  // Unique pictures in first-use order; a shared block is drawn once for set 1
  // and its other sets point at the same cell.
  std::vector<BlockPicture> cells;
  std::map<std::vector<uint16_t>, int> index;  // block + thumb pixels -> cell number
  for (int block = 1; block <= kPictureBlocks; ++block)
    for (int style = 1; style <= kStyles; ++style) {
      int sharedCell = -1;
      for (int set = 1; set <= kBlockSets; ++set) {
        int cell = sharedCell;
        if (cell < 0) {
          BlockPicture pic = RenderBlock(cat, block, set, style);
          std::vector<uint16_t> sig(pic.Block.Pixels());
          sig.insert(sig.end(), pic.Thumb.Pixels().begin(), pic.Thumb.Pixels().end());
          sig.push_back(uint16_t(pic.Key));
          auto [it, fresh] = index.emplace(std::move(sig), int(cells.size()));
          if (fresh) cells.push_back(std::move(pic));
          cell = it->second;
          if (!cat.At(block).PerSet) sharedCell = cell;
        }
        const size_t at = CellOffset(block, set, style);
        PutU32(&gs.CellTable[at], uint32_t(cell % kSheetColumns + 1));
        PutU32(&gs.CellTable[at + 4], uint32_t(cell / kSheetColumns + 1));
      }
    }

  const int rows = (int(cells.size()) + kSheetColumns - 1) / kSheetColumns;
  gs.BlockSheet.SetSize(kSheetColumns * kCell, rows * kCell);
  gs.ThumbSheet.SetSize(kSheetColumns * kThumbWidth, rows * kThumbHeight);
  for (size_t i = 0; i < cells.size(); ++i) {
    const int c = int(i) % kSheetColumns, r = int(i) / kSheetColumns;
    Draw(gs.BlockSheet, c * kCell, r * kCell, cells[i].Block);
    Draw(gs.ThumbSheet, c * kThumbWidth, r * kThumbHeight, cells[i].Thumb);
  }
  return gs;
}

void AddGraphicsSet(ArchiveWriter& archive, const GraphicsSetData& gs) { archive.SetGraphicsSet(gs.Bytes()); }

GraphicsSetData BuildGraphicsSet(const std::string& assetsDir) {
  const std::string path = assetsDir + "/blocks.txt";
  const Catalogue cat = LoadCatalogue(path);
  CheckGameRules(cat, path);
  return BuildGraphicsSet(cat);
}

}  // namespace gravik::mkres
