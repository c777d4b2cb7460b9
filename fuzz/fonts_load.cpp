// Arbitrary bytes as "fonts.dat": the reader and the whole start-up load must
// either succeed or throw the game's message.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "render/Bmp.h"
#include "render/Fonts.h"
#include "render/FontsFile.h"

using namespace gravik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const FontsFile file = ReadFontsFile(data, size);
    // What was read must write out and read back the same.
    const std::vector<uint8_t> again = WriteFontsFile(file);
    const FontsFile back = ReadFontsFile(again.data(), again.size());
    if (back.Records != file.Records || back.Bitmaps != file.Bitmaps) __builtin_trap();
  } catch (const FatalMessage&) {
    return 0;
  }

  const std::vector<uint8_t> caption = SaveBmp16(Bitmap(4, 3, 0xF800));
  ImageList images;
  images.AddImage("GameBlocks");
  FontSet fonts;
  try {
    LoadFonts(fonts, images, data, size,
              [&](const std::string&) -> std::optional<std::vector<uint8_t>> { return caption; });
  } catch (const FatalMessage&) {
    return 0;
  }
  RebuildFontIndexes(fonts, images);
  Bitmap surface(640, 480);
  const std::string text = "Score 0123456789 \x01\xC8\x7F";
  for (int colour = 0; colour < 4; ++colour) {
    SelectFont(fonts, "eras16boldV.bmp", colour);
    DrawTextCentred(fonts, surface, 10, text);
    DrawTextKeyed(fonts, surface, -5, 470, text, true);
  }
  DrawGlowText(fonts, surface, 600, 0, text, GlowKind::Caption, 1.3);
  DrawGlowText(fonts, surface, 0, 0, text, GlowKind::Value, 2.0);
  DrawLabelValue(fonts, surface, 100, "Lives", "3");
  DrawSmallNumber(fonts, images, surface, 571, 170, -1234567);
  DrawBigNumberCentred(fonts, images, surface, 574, 92, 99999);
  return 0;
}
