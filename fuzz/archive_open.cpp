// libFuzzer target: a resource archive from outside: open, take every item,
// load the graphics set. Every failure must be one of the game's messages.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "data/Archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace gravik;
  Archive a(std::vector<uint8_t>(data, data + size), "zqresource.dat");
  try {
    a.OpenArchive();
  } catch (const FatalMessage&) {
    return 0;
  }
  for (const std::string& name : a.ItemNames()) {
    try {
      a.TakeItem(name);
    } catch (const FatalMessage&) {
    }
    a.ReleaseItem();
  }
  try {
    GraphicsSet g = a.LoadGraphicsSet();
    a.ReleaseItem();
    for (int b = 1; b <= CellTableBlocks; ++b) {
      const SheetCell& c = g.Cell(b, BlockSets, GraphicsStyles);
      if (int64_t(c.Column) * 64 > g.BlockSheetInfo.Width) __builtin_trap();
    }
  } catch (const FatalMessage&) {
  }
  a.CloseArchive();
  return 0;
}
