#include "Splash.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>

#include "Pictures.h"
#include "codec/Codec.h"
#include "gfx/Bmp.h"

namespace gravik::mkres {

std::vector<uint8_t> SplashContainer(const Bitmap& picture) {
  const std::vector<uint8_t> bmp = SaveBmp16(picture);
  return Compress(bmp.data(), bmp.size(), TCompressMode::Fast);
}

std::string SplashSource(const std::vector<uint8_t>& container) {
  std::string s =
      "// Made by mkres: the start-up splash picture, a WAXF container of a 16-bit BMP.\n"
      "#include <cstddef>\n#include <cstdint>\n\nnamespace gravik {\n\nnamespace {\n"
      "const uint8_t kSplash[] = {";
  char buf[8];
  for (size_t i = 0; i < container.size(); ++i) {
    if (i % 16 == 0) s += "\n   ";
    std::snprintf(buf, sizeof buf, " %u,", unsigned(container[i]));
    s += buf;
  }
  s +=
      "\n};\n}  // namespace\n\n"
      "const uint8_t* SplashData(size_t& size) {\n  size = sizeof kSplash;\n  return kSplash;\n}\n\n"
      "}  // namespace gravik\n";
  return s;
}

bool WriteSplashSource(const std::string& path, std::string* error) {
  std::string source;
  try {
    source = SplashSource(SplashContainer(BuildSplashPicture()));
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
  {
    std::ifstream in(path, std::ios::binary);
    std::stringstream old;
    old << in.rdbuf();
    if (in && old.str() == source) return true;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << source;
  out.close();
  if (!out) {
    if (error) *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace gravik::mkres
