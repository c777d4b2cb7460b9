// libFuzzer target: a resource archive from outside: open, take every item,
// load the graphics set. Every failure must be one of the game's messages.
//
// The graphics set's CRC is fixed up first (fuzz/Fixups.h), so mutations reach
// the decoder, the sections and the sheets; the input as given, when its CRC
// was wrong, must be refused with the game's "Exception (s)".
// Seeds: scripts/test.sh writes zqresource.dat and two small archives (mkres
// fuzzseeds); fuzz/seeds/archive_open/ holds small damaged files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Fixups.h"
#include "base/Errors.h"
#include "data/Archive.h"

namespace {

using namespace gravik;

void CheckRefusedCrc(const std::vector<uint8_t>& image) {
  Archive a(image, "zqresource.dat");
  try {
    a.OpenArchive();
  } catch (const FatalMessage&) {
    return;  // refused before the graphics set for another reason
  }
  try {
    a.LoadGraphicsSet();
  } catch (const FatalMessage& e) {
    if (std::string(e.what()) != "Exception (s)") __builtin_trap();
    return;
  }
  __builtin_trap();  // a wrong CRC was taken
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (16u << 20)) return 0;  // beyond any archive the game ships
  std::vector<uint8_t> image(data, data + size);
  if (fuzz::FixArchiveCrc(image)) CheckRefusedCrc(std::vector<uint8_t>(data, data + size));

  Archive a(std::move(image), "zqresource.dat");
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
