// TrueType text for the game's system-font texts, through SDL2_ttf. Works
// without a video system (tests use it headless).
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/TextRaster.h"

typedef struct _TTF_Font TTF_Font;

namespace gravik {

class SdlTextRaster : public TextRaster {
 public:
  SdlTextRaster();
  ~SdlTextRaster() override;
  SdlTextRaster(const SdlTextRaster&) = delete;
  SdlTextRaster& operator=(const SdlTextRaster&) = delete;

  bool LoadFaces(std::vector<uint8_t> regular, std::vector<uint8_t> bold) override;
  bool HasFaces() const override { return hasFaces_; }
  bool Measure(std::string_view utf8, int pixelSize, bool bold, int& width, int& height) override;
  bool Render(std::string_view utf8, int pixelSize, bool bold, TextMask& out) override;

  // Why the last call failed ("" after a success).
  const std::string& Error() const { return error_; }

 private:
  TTF_Font* Font(int pixelSize, bool bold);
  void CloseFonts();

  bool ttfStarted_ = false;
  bool hasFaces_ = false;
  std::vector<uint8_t> faces_[2];  // regular, bold: the opened fonts read from these
  std::map<std::pair<int, bool>, TTF_Font*> fonts_;
  std::string error_;
};

}  // namespace gravik
