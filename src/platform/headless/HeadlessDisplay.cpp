#include "platform/headless/HeadlessDisplay.h"

#include <algorithm>

#include "codec/PngEncoder.h"
#include "platform/Folders.h"

namespace gravik {

bool HeadlessDisplay::StartDrawing(bool windowed) {
  started_ = true;
  lost_ = false;
  windowed_ = windowed;
  visible_ = true;
  return true;
}

void HeadlessDisplay::StopDrawing() { started_ = false; }

void HeadlessDisplay::Present(const uint16_t* pixels, int width, int height, int pitch) {
  if (!IsDrawable() || !pixels || width <= 0 || height <= 0 || pitch < width) return;
  width_ = width;
  height_ = height;
  frame_.resize(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y) {
    std::copy_n(pixels + size_t(y) * size_t(pitch), width, frame_.begin() + size_t(y) * width);
  }
  ++presents_;
}

bool HeadlessDisplay::SaveScreenshot(const std::string& path) const {
  if (frame_.empty()) return false;
  // Shots are stored uncompressed: tests take many, and time matters more than size.
  const std::vector<uint8_t> png = EncodePngRgb565(frame_.data(), width_, height_, size_t(width_), 0);
  return WriteWholeFileAtomic(path, png.data(), png.size());
}

}  // namespace gravik
