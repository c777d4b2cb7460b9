#include "gfx/SplashScreen.h"

#include "codec/Codec.h"
#include "gfx/Bmp.h"

namespace gravik {

namespace {
constexpr int kLabelLeft = 10;
constexpr int kLabelBottomGap = 10;
}  // namespace

bool DecodeSplashPicture(std::span<const uint8_t> container, Bitmap& out) {
  if (container.empty()) return false;
  const std::vector<uint8_t> file = Decompress(container.data(), container.size(), kMaxSplashFileSize);
  if (file.empty()) return false;
  return LoadBmp(file, out);
}

bool SplashScreen::Open(std::span<const uint8_t> container) {
  if (!splash_ || !DecodeSplashPicture(container, picture_)) return false;
  open_ = true;
  label_.clear();
  Compose();
  return true;
}

void SplashScreen::SetText(std::string_view text) {
  if (!open_) return;
  label_ = std::string(text);
  Compose();
}

void SplashScreen::Close() {
  if (!open_) return;
  open_ = false;
  splash_->Close();
}

void SplashScreen::Compose() {
  shown_ = picture_;
  if (!label_.empty()) {
    const SystemFont font;
    const int h = text_.TextHeight(label_, font);
    text_.TextOut(shown_, kLabelLeft, shown_.Height() - kLabelBottomGap - h, label_, font, kSplashLabelColour,
                  false, 0);
  }
  splash_->Show(shown_.Data(), shown_.Width(), shown_.Height());
}

}  // namespace gravik
