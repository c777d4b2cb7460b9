// "fonts.dat" from untrusted bytes: the reader and the whole start-up load must
// either succeed or throw the game's message, and what loads must draw safely.
// Each input is tried as a file of its own and, since a valid file is at least
// 42229 bytes, also as a patch over a small valid file: 4 bytes of offset (the
// low bit of the first one cuts the file after the patch), then the bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "base/Errors.h"
#include "gfx/Bmp.h"
#include "gfx/Fonts.h"
#include "gfx/FontsFile.h"

using namespace gravik;

namespace {

std::vector<uint8_t> ValidFile() {
  FontsFile file;
  const char* names[] = {"2eras14boldV.bmp", "3eras20boldV.bmp", "1eras16boldV.bmp"};
  for (int i = 0; i < 3; ++i) {
    file.Records[size_t(i)].Name = names[i];
    for (int k = 0; k < kGlyphCount; ++k)
      file.Records[size_t(i)].Glyphs[size_t(k)] = {(k % 16) * 3, (k / 16) * 2, 3, 8 + i};
    Bitmap pic(48, 12 + 4 * i, uint16_t(0x1111 * (i + 1)));
    pic.SetPixel(0, pic.Height() - 1, 0);
    file.Bitmaps.push_back(SaveBmp16(pic));
  }
  return WriteFontsFile(file);
}

const std::vector<uint8_t> kValidFile = ValidFile();

void Run(const uint8_t* data, size_t size) {
  try {
    const FontsFile file = ReadFontsFile(data, size);
    // What was read writes out and reads back the same.
    const std::vector<uint8_t> again = WriteFontsFile(file);
    const FontsFile back = ReadFontsFile(again.data(), again.size());
    if (back.Records != file.Records || back.Bitmaps != file.Bitmaps) __builtin_trap();
  } catch (const FatalMessage&) {
    return;
  }

  const std::vector<uint8_t> caption = SaveBmp16(Bitmap(4, 3, 0xF800));
  ImageList images;
  images.AddImage("GameBlocks");
  FontSet fonts;
  try {
    LoadFonts(fonts, images, data, size,
              [&](const std::string&) -> std::optional<std::vector<uint8_t>> { return caption; });
  } catch (const FatalMessage&) {
    return;
  }
  RebuildFontIndexes(fonts, images);
  Bitmap surface(640, 480);
  const std::string text = "Score 0123456789 \x01\xC8\x7F";
  for (int colour = 0; colour < 4; ++colour) {
    SelectFont(fonts, "eras16boldV.bmp", colour);
    DrawTextCentred(fonts, surface, 10, text);
    DrawTextKeyed(fonts, surface, -5, 470, text, colour & 1);
  }
  DrawGlowText(fonts, surface, 600, 0, text, GlowKind::Caption, 1.3);
  DrawGlowText(fonts, surface, 0, 0, text, GlowKind::Value, 2.0);
  DrawLabelValue(fonts, surface, 100, "Lives", "3");
  DrawSmallNumber(fonts, images, surface, 571, 170, -1234567);
  DrawBigNumberCentred(fonts, images, surface, 574, 92, 99999);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Run(data, size);
  if (size < 4) return 0;
  std::vector<uint8_t> file = kValidFile;
  const size_t at = gravik::GetU32(data) % file.size();
  const size_t n = std::min(size - 4, file.size() - at);
  std::copy(data + 4, data + 4 + n, file.begin() + std::ptrdiff_t(at));
  if (data[0] & 1) file.resize(at + n);
  Run(file.data(), file.size());
  return 0;
}
