#include "data/SystemFaces.h"

#include <exception>

#include "data/Archive.h"

namespace gravik {

bool LoadSystemFaces(TextRaster& raster, const std::vector<std::string>& searchFolders) {
  try {
    Archive archive(searchFolders);
    archive.OpenArchive();
    if (!archive.HasItem(kSansFaceItem) || !archive.HasItem(kSansBoldFaceItem)) return false;
    std::vector<uint8_t> regular = archive.ReadItem(kSansFaceItem);
    std::vector<uint8_t> bold = archive.ReadItem(kSansBoldFaceItem);
    archive.CloseArchive();
    return raster.LoadFaces(std::move(regular), std::move(bold));
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace gravik
