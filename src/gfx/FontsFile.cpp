#include "gfx/FontsFile.h"

#include <algorithm>
#include <stdexcept>

#include "base/Bytes.h"
#include "base/Errors.h"
#include "gfx/Bmp.h"

namespace gravik {
namespace {

[[noreturn]] void Damaged(const std::string& what) {
  throw FatalMessage("fonts.dat is damaged: " + what + ".");
}

}  // namespace

FontsFile ReadFontsFile(const uint8_t* data, size_t size) {
  FontsFile file;
  if (size < 1 + kFontTableSize) Damaged("the font table is incomplete");
  const int count = data[0] > kFontCapacity ? kFontCapacity : data[0];

  const uint8_t* p = data + 1;
  for (TFontRecord& rec : file.Records) {
    const size_t len = p[0] > kFontNameField - 1 ? kFontNameField - 1 : p[0];
    rec.Name.assign(reinterpret_cast<const char*>(p + 1), len);
    const uint8_t* g = p + kFontNameField;
    for (TGlyphRect& r : rec.Glyphs) {
      r.Left = int32_t(GetU32(g));
      r.Top = int32_t(GetU32(g + 4));
      r.Width = int32_t(GetU32(g + 8));
      r.Height = int32_t(GetU32(g + 12));
      g += 16;
    }
    p += kFontRecordSize;
  }

  size_t at = 1 + kFontTableSize;
  for (int i = 1; i <= count; ++i) {
    if (at >= size) Damaged("bitmap " + std::to_string(i) + " is missing");
    const size_t len = BmpImageLength(data + at, size - at);
    if (len == 0) Damaged("bitmap " + std::to_string(i) + " is truncated or not a bitmap");
    file.Bitmaps.emplace_back(data + at, data + at + len);
    at += len;
  }
  return file;
}

std::vector<uint8_t> WriteFontsFile(const FontsFile& file) {
  if (file.Bitmaps.size() > size_t(kFontCapacity))
    throw std::invalid_argument("fonts.dat holds at most 27 fonts");
  size_t total = 1 + kFontTableSize;
  for (const auto& bmp : file.Bitmaps) {
    if (bmp.empty() || BmpImageLength(bmp.data(), bmp.size()) != bmp.size())
      throw std::invalid_argument("font bitmap is not a complete BMP image");
    total += bmp.size();
  }

  std::vector<uint8_t> out(total, 0);
  out[0] = uint8_t(file.Bitmaps.size());
  size_t at = 1;
  for (const TFontRecord& rec : file.Records) {
    if (rec.Name.size() > kFontNameField - 1)
      throw std::invalid_argument("font name longer than 27 characters: " + rec.Name);
    out[at] = uint8_t(rec.Name.size());
    for (size_t i = 0; i < rec.Name.size(); ++i) out[at + 1 + i] = uint8_t(rec.Name[i]);
    size_t g = at + kFontNameField;
    for (const TGlyphRect& r : rec.Glyphs) {
      PutU32(out.data() + g, uint32_t(r.Left));
      PutU32(out.data() + g + 4, uint32_t(r.Top));
      PutU32(out.data() + g + 8, uint32_t(r.Width));
      PutU32(out.data() + g + 12, uint32_t(r.Height));
      g += 16;
    }
    at += kFontRecordSize;
  }
  for (const auto& bmp : file.Bitmaps) {
    std::copy(bmp.begin(), bmp.end(), out.begin() + std::ptrdiff_t(at));
    at += bmp.size();
  }
  return out;
}

}  // namespace gravik
